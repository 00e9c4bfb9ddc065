#include "engineprogram.h"

#include <QFileInfo>
#include <QStandardPaths>

QString locateEngine(const QString &programFolder)
{
    const QString fromEnvironment = qEnvironmentVariable("TAVRIN_MPLAYER");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    const QString bundled = programFolder + QStringLiteral("/mplayer/mplayer");
    if (QFileInfo(bundled).isExecutable())
        return bundled;
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("mplayer"));
    return onPath.isEmpty() ? QStringLiteral("mplayer") : onPath;
}
