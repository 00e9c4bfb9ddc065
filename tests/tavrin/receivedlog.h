#pragma once

#include "engine/commands.h"
#include "engine/playercore.h"

#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTest>

// What the scripted or tapped engine received on its input, as it wrote it
// to its log file.
class ReceivedLog
{
public:
    explicit ReceivedLog(QString path = QString()) : m_path(std::move(path)) {}

    void setPath(const QString &path)
    {
        m_path = path;
        m_seen = 0;
        m_run = nullptr;
    }

    // Every byte received so far, as text, without the marks of fresh().
    QString all() const
    {
        QString text = raw();
        text.remove(markLine());
        return text;
    }

    // Marks in the input of the engine that runs now, when fresh() is asked:
    // the engine writes what it reads in order, so once the mark is in the log
    // every command sent before it is too, however slow the machine. Only the
    // engine run that this log belongs to is marked (the first one seen after
    // setPath()); an unknown command is ignored by the real engine and the
    // scripted one alike.
    void follow(PlayerCore *core) { m_core = core; }

    // The lines received since the last call, without their CR LF. The window
    // is given a moment first for commands that its own timers send.
    QStringList fresh(int settleMs = 100)
    {
        QTest::qWait(settleMs);
        waitForMark();
        // Whole lines only: the engine writes its log a byte at a time, and a
        // line it is still writing is taken whole next time.
        const QString text = raw();
        const qsizetype last = text.lastIndexOf(QStringLiteral("\r\n"));
        const qsizetype end = last < 0 ? 0 : last + 2;
        QString added = end > m_seen ? text.mid(m_seen, end - m_seen) : QString();
        m_seen = qMax(m_seen, end);
        added.remove(markLine());
        if (added.endsWith(QStringLiteral("\r\n")))
            added.chop(2);
        return added.isEmpty() ? QStringList() : added.split(QStringLiteral("\r\n"));
    }

    // The same without the position polls, which come and go with the timer.
    QStringList freshCommands(int settleMs = 100)
    {
        QStringList lines = fresh(settleMs);
        lines.removeAll(EngineCommand::getTimePos);
        return lines;
    }

    // Has the scripted engine play `script` and log what it receives in
    // `folder`, read through this log.
    bool useScriptedEngine(const QString &folder, const QByteArray &script)
    {
        QFile f(folder + QStringLiteral("/script"));
        if (!f.open(QIODevice::WriteOnly) || f.write(script) != script.size())
            return false;
        f.close();
        setPath(folder + QStringLiteral("/received"));
        qputenv("FAKE_MPLAYER_SCRIPT", f.fileName().toLocal8Bit());
        qputenv("FAKE_MPLAYER_LOG", m_path.toLocal8Bit());
        return true;
    }

private:
    static QRegularExpression markLine()
    {
        return QRegularExpression(QStringLiteral("test_input_mark [0-9]+\r\n"));
    }

    QString raw() const
    {
        QFile f(m_path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    void waitForMark()
    {
        if (!m_core || !m_core->isEngineRunning() || !m_core->cm())
            return;
        if (!m_run)
            m_run = m_core->cm();
        if (m_run != m_core->cm())
            return;
        const QString mark = QStringLiteral("test_input_mark %1").arg(++m_marks);
        m_core->cm()->WriteData(mark);
        QVERIFY2(QTest::qWaitFor([&] { return raw().contains(mark + QStringLiteral("\r\n")); },
                                 20000),
                 "the engine did not read its input");
    }

    QString m_path;
    qsizetype m_seen = 0;
    PlayerCore *m_core = nullptr;
    const cmdcls *m_run = nullptr;
    int m_marks = 0;
};
