#include "openselection.h"

#include <QDir>

namespace {
const QChar separator = QChar(u'\0');
const QChar slash = QLatin1Char('/');
} // namespace

OpenSelection openSelectionFromDialogText(const QString &returned)
{
    OpenSelection selection;
    if (returned.isEmpty())
        return selection;
    const QStringList parts = returned.split(separator);
    selection.highestIndex = static_cast<int>(parts.size()) - 1;
    if (selection.highestIndex == 0) {
        selection.paths << parts.first();
        return selection;
    }
    // The folder of the root ends in its own "/": no second one is added.
    const QString &folder = parts.first();
    const QString prefix = folder.endsWith(slash) ? folder : folder + slash;
    for (qsizetype i = 1; i < parts.size(); ++i)
        selection.paths << prefix + parts.at(i);
    return selection;
}

QString dialogTextForFiles(const QString &folder, const QStringList &absolutePaths)
{
    if (absolutePaths.size() == 1)
        return absolutePaths.first();
    if (absolutePaths.isEmpty())
        return QString();
    const QDir dir(folder);
    QStringList parts{folder};
    for (const QString &path : absolutePaths)
        parts << dir.relativeFilePath(path);
    return parts.join(separator);
}
