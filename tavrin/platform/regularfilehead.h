#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <sys/types.h>
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

// An entry of a folder read by bytes (QDir lists no name that is not UTF-8),
// named as common/filename.h holds names, with what it is once its links are
// followed (nothing for a broken link).
struct FolderEntry
{
    QString name;
    std::optional<mode_t> type;
};
QList<FolderEntry> folderEntries(const QString &folder);
