#include "window/main.h"
#include "common/commandlinetext.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <thread>

int main(int argc, char *argv[])
{
    // Loading libmediainfo and its tables takes about as long as reaching the
    // display; done meanwhile on a thread of its own, the window's first
    // report finds the library ready. This binding keeps it loaded.
    MediaInfoDLLMOD preparedLibrary;
    std::thread preparing([&preparedLibrary] { preparedLibrary.prepare(); });

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("OblenMediaInfo"));
    QApplication::setDesktopFileName(QStringLiteral("oblenmediainfo"));

    // Every caption of the program is Korean, so Qt's own dialogs (the open
    // dialog's buttons and labels) are shown in Korean too, whatever the
    // desktop's language; without the translation they stay English.
    QTranslator qtTranslation;
    if (qtTranslation.load(QStringLiteral("qtbase_ko"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslation);

    oblenmediainfo::main window;
    window.show();
    window.openCommandLine(readCommandLine(app.arguments().mid(1)));
    const int status = app.exec();
    preparing.join();
    return status;
}
