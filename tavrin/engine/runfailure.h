#pragma once

#include <QObject>
#include <QString>

class PlayerCore;

// Why an engine run ended before it ever played, in words for the user. The
// engine says why in its output (in English, among much else); nothing else
// would tell the user, who only sees the picture stay black.
namespace RunFailure {

// The text shown for a run that ended without "Starting playback...": the
// reason read from the run's output (or from the medium where the engine
// says nothing useful), else a general one with the engine's last line.
QString describe(const QString &runOutput, const QString &medium);
// For a run whose engine program could not be started at all.
QString engineMissing();

} // namespace RunFailure

// Follows each engine run and, when one ends that never started playback
// and that the program did not end itself, tells the reason. A new run
// takes the reason back.
class RunFailureWatch : public QObject
{
    Q_OBJECT
public:
    explicit RunFailureWatch(PlayerCore &core, QObject *parent = nullptr);

    QString reason() const { return m_reason; }

Q_SIGNALS:
    // The reason of the run that just failed, or empty when a run starts.
    void reasonChanged(const QString &reason);

private:
    void onEngineRunning(bool running);
    void onOutput(const QString &piece);
    void setReason(const QString &reason);

    PlayerCore &m_core;
    // The run's output so far, its end only: enough for the reason, and
    // for "Starting playback..." split across two pieces.
    QString m_tail;
    bool m_started = false;
    QString m_reason;
};
