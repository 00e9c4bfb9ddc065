// oblenmediainfo-describe: describes files for the OblenMediaInfo window in a
// process of its own (see report/describehelper.h). It takes the library's
// name as its one argument and talks on descriptor 3; it is not meant to be
// started by hand. It ends when the channel closes, which happens when the
// window's process ends, however it ends (a parent-death signal would not do:
// it follows the thread that started the process, and the window starts them
// from worker threads that come and go).
#include "library/MediaInfoDLLMOD.h"
#include "report/describehelper.h"
#include "report/report.h"

#include <QFile>

#include <clocale>

int main(int argc, char *argv[])
{
    // The same locale as the window's process, whose application object sets
    // it from the environment: the library's texts follow it.
    std::setlocale(LC_ALL, "");

    MediaInfoDLLMOD library(argc > 1 ? QFile::decodeName(argv[1])
                                     : MediaInfoDLLMOD::defaultLibraryName);
    library.prepare();
    const int channel = describechannel::processSide;
    if (!describechannel::send(channel, library.Option(nullptr, QStringLiteral("Info_Version"),
                                                       QString())))
        return 1;
    while (const std::optional<QString> path = describechannel::receive(channel)) {
        if (!describechannel::send(channel, report::describe(library, *path)))
            return 1;
    }
    return 0;
}
