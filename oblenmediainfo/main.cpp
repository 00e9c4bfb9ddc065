#include "window/main.h"
#include "common/commandlinetext.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[])
{
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
    return app.exec();
}
