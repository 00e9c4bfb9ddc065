#pragma once

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

private:
    QString m_path;
    qsizetype m_seen = 0;
};
