#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>

class QThread;

// The slave commands the engine program understands, as "-input cmdlist"
// prints them. Builds differ (Debian's MPlayer has no af_eq_set_bands) and an
// engine ignores an unknown command without a word, so a command that has an
// alternative is chosen by this list.
class EngineCommandList : public QObject
{
    Q_OBJECT
public:
    // The longest the engine may take to print its list.
    static constexpr int answerTimeoutMs = 5000;

    explicit EngineCommandList(QObject *parent = nullptr);
    // Waits for a question still out (at most answerTimeoutMs).
    ~EngineCommandList() override;

    // Asks the engine program once, on a worker thread; answered() follows
    // in this object's thread. Later calls, and calls once the list is
    // known, do nothing.
    void query(const QString &enginePath);
    bool wasAsked() const { return m_asked; }
    // The answer has arrived (or was set).
    bool isKnown() const { return m_known; }
    // False while the answer is not known.
    bool lists(const QString &command) const { return m_names.contains(command); }
    QStringList names() const;
    // Takes a list as the answer, for a caller that already knows it.
    void setNames(const QStringList &names);

    // The command names in the output of "-input cmdlist": the first word of
    // each line that starts with a lower-case name.
    static QStringList parse(const QByteArray &output);
    // Runs "<engine> -input cmdlist" and waits for it: for worker threads.
    static QByteArray fetch(const QString &enginePath);

Q_SIGNALS:
    void answered();

private:
    QSet<QString> m_names;
    std::unique_ptr<QThread> m_worker;
    bool m_asked = false;
    bool m_known = false;
};
