#include "engine/commandlinetext.h"
#include "window/mainform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // The engine draws into an X11 window id: on Wayland run through XWayland
    // unless the user chose a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrin"));

    mainform window;
    window.show();
    window.start(commandLineText(app.arguments().mid(1)));
    return app.exec();
}
