#include "report/describehelper.h"
#include "window/main.h"
#include "common/commandlinetext.h"
#include "common/desktopidentity.h"
#include "common/filename.h"
#include "common/terminationsignals.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <csignal>
#include <thread>

int main(int argc, char *argv[])
{
    // The files are read by describing processes (report/describehelper.h).
    // The first one is started before anything else: loading libmediainfo and
    // its tables takes about as long as reaching the display, so the window's
    // first report finds it ready. Without the helper program the window reads
    // files itself, and the library is loaded meanwhile on a thread.
    const QString helperProgram = DescribeHelper::installedProgram();
    std::unique_ptr<DescribeHelper> firstHelper =
        DescribeHelper::spawn(helperProgram, MediaInfoDLLMOD::defaultLibraryName);
    MediaInfoDLLMOD preparedLibrary;
    std::thread preparing;
    if (!firstHelper)
        preparing = std::thread([&preparedLibrary] { preparedLibrary.prepare(); });

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("OblenMediaInfo"));
    setDesktopIdentity(QStringLiteral("oblenmediainfo"));

    // Every caption of the program is Korean, so Qt's own dialogs (the open
    // dialog's buttons and labels) are shown in Korean too, whatever the
    // desktop's language; without the translation they stay English.
    QTranslator qtTranslation;
    if (qtTranslation.load(QStringLiteral("qtbase_ko"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslation);

    oblenmediainfo::main window;
    window.describer().adoptHelper(std::move(firstHelper));
    // Asked to end from outside, the program ends as its window's close ends
    // it: the files being described are dropped, their processes ended.
    TerminationSignals endRequests({SIGTERM, SIGHUP, SIGINT});
    QObject::connect(&endRequests, &TerminationSignals::received, &window, [&window] {
        window.close();
        QCoreApplication::quit();
    });
    window.show();
    window.openCommandLine(readCommandLine(programArguments(argc, argv)));
    const int status = app.exec();
    if (preparing.joinable())
        preparing.join();
    return status;
}
