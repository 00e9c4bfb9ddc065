#pragma once

#include <QFile>
#include <QString>

// Whether the process runs (a zombie has ended; only its parent has not yet
// collected it).
inline bool processRunning(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close >= 0 && text.size() > close + 2 && text.at(close + 2) != 'Z';
}
