#include "regularfilehead.h"

#include "common/filename.h"

#include <QFile>
#include <dirent.h>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Closes the descriptor on every way out.
struct Descriptor
{
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};
} // namespace

std::optional<RegularFileHead> readRegularFileHead(const QString &path, qint64 maxBytes)
{
    char resolved[PATH_MAX];
    if (!::realpath(QFile::encodeName(path).constData(), resolved))
        return std::nullopt;
    struct stat before = {};
    if (::stat(resolved, &before) != 0 || !S_ISREG(before.st_mode))
        return std::nullopt;
    // The name may have been swapped for a link or a pipe since: no link is
    // followed now, the open does not wait, and what was opened is checked
    // again before a byte is read.
    const Descriptor file{
        ::open(resolved, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC)};
    if (file.fd < 0)
        return std::nullopt;
    struct stat opened = {};
    if (::fstat(file.fd, &opened) != 0 || !S_ISREG(opened.st_mode))
        return std::nullopt;

    RegularFileHead head;
    head.size = opened.st_size;
    head.bytes.resize(qMax<qint64>(0, qMin(maxBytes, head.size)));
    qint64 filled = 0;
    while (filled < head.bytes.size()) {
        const ssize_t got =
            ::read(file.fd, head.bytes.data() + filled, size_t(head.bytes.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        filled += got;
    }
    head.bytes.truncate(filled);
    return head;
}

QList<FolderEntry> folderEntries(const QString &folder)
{
    QList<FolderEntry> entries;
    DIR *listing = ::opendir(fileNameBytes(folder).constData());
    if (!listing)
        return entries;
    while (const dirent *entry = ::readdir(listing)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        struct stat info = {};
        const bool resolved = ::fstatat(::dirfd(listing), entry->d_name, &info, 0) == 0;
        entries.append({fileNameFromBytes(name),
                        resolved ? std::optional<mode_t>(info.st_mode & S_IFMT) : std::nullopt});
    }
    ::closedir(listing);
    return entries;
}
