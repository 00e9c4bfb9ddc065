#include "core/commandlinetext.h"
#include "graph/gstgraph.h"
#include "window/mainform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // The video sinks draw into an X11 window: on Wayland run through
    // XWayland unless the user chose a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("OblenPlayer"));
    GstFilgraphManager::initialise();

    mainform window;
    window.show();
    // The medium opens once the window is on screen.
    QCoreApplication::processEvents();
    window.openFromCommandLine(commandLineText(app.arguments().mid(1)));
    return app.exec();
}
