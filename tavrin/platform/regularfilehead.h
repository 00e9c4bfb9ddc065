#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The start of a file that sits beside a medium and may be anything a user
// or a download left there: a link to a device, a named pipe, a socket.
struct RegularFileHead
{
    QByteArray bytes; // at most the bytes asked for, from the start
    qint64 size = 0;  // the whole file's size
};

// Reads at most maxBytes from the start of path, when path is, after its
// links are resolved, a regular file. Nothing else is ever opened: opening a
// named pipe waits for a writer, and a device such as /dev/zero never ends.
// Nothing when the path is not a readable regular file.
std::optional<RegularFileHead> readRegularFileHead(const QString &path, qint64 maxBytes);
