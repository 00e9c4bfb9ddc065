#include "common/commandlinetext.h"
#include "common/desktopidentity.h"
#include "common/filename.h"
#include "common/terminationsignals.h"
#include "graph/gstgraph.h"
#include "mpris/oblenmpris.h"
#include "window/mainform.h"
#include "window/popupmenu.h"

#include <QApplication>
#include <QDBusConnection>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTranslator>
#include <csignal>

int main(int argc, char *argv[])
{
    // The video sinks draw into an X11 window: on Wayland run through
    // XWayland unless the user chose a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    // The plugin registry is read while Qt connects and builds the window.
    const ProgramCommandLine commandLine = readCommandLine(programArguments(argc, argv));
    const GraphStartUp graphStartUp(commandLine.openPath);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("OblenPlayer"));
    setDesktopIdentity(QStringLiteral("oblenplayer"));

    // Every caption of the program is Korean: Qt's own dialogs (the open and
    // colour dialogs' buttons and labels) follow, whatever the desktop's language.
    QTranslator qtTranslation;
    if (qtTranslation.load(QStringLiteral("qtbase_ko"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslation);

    mainform window;
    window.popupMenu()->setSettingsPath(
        settingsFilePath(QCoreApplication::applicationDirPath(),
                         QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)));
    // The saved position is taken before the window is shown, so it appears there.
    window.popupMenu()->startUp();
    // The graph is built away from this thread: it starts now, once the
    // settings have chosen its renderer and the video area has its window,
    // while the window is shown. It is taken into use once the window is on
    // screen, as before.
    window.openFromCommandLine(commandLine);
    // The desktop's media keys and controls; without a session bus the
    // program runs as it would anyway.
    OblenMpris mediaControls(window.core(), window);
    MprisService mpris(mediaControls, OblenMpris::identity());
    mpris.registerOn(QDBusConnection::sessionBus());
    // Asked to end from outside, the program ends as its window's close ends
    // it: the settings saved, the graph taken down.
    TerminationSignals endRequests({SIGTERM, SIGHUP, SIGINT});
    QObject::connect(&endRequests, &TerminationSignals::received, &window, [&window] {
        if (window.endOnRequest())
            QCoreApplication::quit();
    });
    window.show();
    return app.exec();
}
