#include "writablefolder.h"

#include <QDir>
#include <QFileInfo>

namespace {
bool isInstallationBinFolder(const QFileInfo &folder)
{
    return folder.fileName() == QLatin1String("bin") &&
           QFileInfo(folder.absoluteFilePath() + QStringLiteral("/../share")).isDir();
}
} // namespace

QString folderForWrites(const QString &programFolder, const QString &userFolder)
{
    const QFileInfo folder(programFolder);
    if (folder.isDir() && folder.isWritable() && !isInstallationBinFolder(folder))
        return programFolder;
    QDir().mkpath(userFolder);
    return userFolder;
}
