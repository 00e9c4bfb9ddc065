#include "window/main.h"
#include "input/commandlinetext.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("OblenMediaInfo"));
    QApplication::setDesktopFileName(QStringLiteral("oblenmediainfo"));

    oblenmediainfo::main window;
    window.show();
    window.openCommandLine(commandLineText(app.arguments().mid(1)));
    return app.exec();
}
