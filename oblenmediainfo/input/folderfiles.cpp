#include "folderfiles.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <set>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace {

using FolderId = std::pair<dev_t, ino_t>;

// The folders from the top down to the one being read: a folder met again
// among them is a loop. The same folder reached through a link elsewhere is
// read again, as `mediainfo` does.
void collect(const QByteArray &folder, std::set<FolderId> &above, std::vector<QByteArray> &files)
{
    DIR *dir = opendir(folder.constData());
    if (!dir)
        return;
    std::vector<std::pair<QByteArray, FolderId>> folders;
    while (const dirent *entry = readdir(dir)) {
        const char *name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        const QByteArray path = folder.endsWith('/') ? folder + name : folder + '/' + name;
        // Through links; a link to nothing is passed over.
        struct stat info
        {
        };
        if (stat(path.constData(), &info) != 0)
            continue;
        if (S_ISDIR(info.st_mode))
            folders.emplace_back(path, FolderId{info.st_dev, info.st_ino});
        else if (S_ISREG(info.st_mode) && name[0] != '.')
            files.push_back(path);
    }
    closedir(dir);
    for (const auto &[path, id] : folders) {
        if (!above.insert(id).second)
            continue;
        collect(path, above, files);
        above.erase(id);
    }
}

} // namespace

QStringList filesBelow(const QString &folder)
{
    const QByteArray top = QFile::encodeName(folder);
    struct stat info
    {
    };
    if (stat(top.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return {};
    std::set<FolderId> above{{info.st_dev, info.st_ino}};
    std::vector<QByteArray> files;
    collect(top, above, files);
    std::sort(files.begin(), files.end());
    QStringList paths;
    paths.reserve(qsizetype(files.size()));
    for (const QByteArray &file : files)
        paths << QFile::decodeName(file);
    return paths;
}
