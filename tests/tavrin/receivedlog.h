#pragma once

#include "engine/commands.h"

#include <QFile>
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
    }

    // Every byte received so far, as text.
    QString all() const
    {
        QFile f(m_path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    // The lines received since the last call, without their CR LF. The engine
    // reads its input a byte at a time: it is given a moment first.
    QStringList fresh(int settleMs = 100)
    {
        QTest::qWait(settleMs);
        const QString text = all();
        QString added = text.mid(m_seen);
        m_seen = text.size();
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
    QString m_path;
    qsizetype m_seen = 0;
};
