#include "desktopidentity.h"

#include <QGuiApplication>
#include <QIcon>

void setDesktopIdentity(const QString &name)
{
    QGuiApplication::setDesktopFileName(name);
    // Every rendered size, so no window manager has to scale the largest one
    // down to a blur for a 16-pixel title bar.
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1x%1/apps/%2.png").arg(size).arg(name),
                     QSize(size, size));
    QGuiApplication::setWindowIcon(icon);
}
