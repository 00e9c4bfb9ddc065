#include "common/commandlinetext.h"
#include "common/desktopidentity.h"
#include "common/filename.h"
#include "common/terminationsignals.h"
#include "mpris/tavrinmpris.h"
#include "window/mainform.h"

#include <QApplication>
#include <QDBusConnection>
#include <QLibraryInfo>
#include <QTranslator>
#include <csignal>

int main(int argc, char *argv[])
{
    // The engine draws into an X11 window id: on Wayland run through XWayland
    // unless the user chose a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrin"));
    setDesktopIdentity(QStringLiteral("tavrin"));

    // Every caption of the program is Korean: Qt's own dialogs (the open and
    // colour dialogs' buttons and labels) follow, whatever the desktop's language.
    QTranslator qtTranslation;
    if (qtTranslation.load(QStringLiteral("qtbase_ko"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslation);

    mainform window;
    // Asked to end from outside, the program ends as its window's close ends
    // it: the engine told to quit, the subtitle style file removed.
    TerminationSignals endRequests({SIGTERM, SIGHUP, SIGINT});
    QObject::connect(&endRequests, &TerminationSignals::received, &window, [&window] {
        window.close();
        QCoreApplication::quit();
    });
    // The desktop's media keys and controls; without a session bus the
    // program runs as it would anyway.
    TavrinMpris mediaControls(window.core(), window.transport(), window);
    MprisService mpris(mediaControls, TavrinMpris::identity());
    mpris.registerOn(QDBusConnection::sessionBus());
    window.show();
    if (!window.start(readCommandLine(programArguments(argc, argv))))
        return 1;
    return app.exec();
}
