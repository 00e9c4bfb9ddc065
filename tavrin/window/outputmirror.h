#pragma once

#include "state/playerstate.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QPlainTextEdit;

// Keeps a text box showing engineOutputBox: each chunk the engine prints is
// added at the end, and the whole text is copied again when the box was set
// anew or cut short. A large copy costs more than a frame's time, and an
// engine that floods its output has the box cut over and over: so a large
// text is copied at most every resyncSpacingMs, the chunks in between being
// part of that copy.
class OutputMirror : public QObject
{
    Q_OBJECT
public:
    static constexpr int resyncSpacingMs = 100;
    // A text up to this size is copied at once whenever it changes.
    static constexpr qsizetype smallTextChars = 16 * 1024;

    OutputMirror(PlayerState &state, QPlainTextEdit *view, QObject *parent = nullptr);

    // Copies the whole text at once: for a view that starts mirroring after
    // the output has begun.
    void showWhole() { resync(); }

private:
    void onAppended(const QString &piece);
    void onChanged(Field field, const QString &value);
    void resync();

    PlayerState &m_state;
    QPlainTextEdit *m_view;
    QTimer m_resyncTimer;
    QElapsedTimer m_sinceResync;
    // The view lags behind until the pending copy.
    bool m_stale = false;
};
