// oblenmediainfo-describe: describes files for the OblenMediaInfo window in a
// process of its own (see report/describehelper.h). It takes the library's
// name as its one argument and talks on descriptor 3; it is not meant to be
// started by hand.
#include "library/MediaInfoDLLMOD.h"
#include "report/describehelper.h"
#include "report/report.h"

#include <QFile>

#include <clocale>
#include <csignal>
#include <sys/prctl.h>

int main(int argc, char *argv[])
{
    // Ends with the window even when the window dies while a file is being
    // read (the closing channel would be noticed only after the file).
    prctl(PR_SET_PDEATHSIG, SIGKILL);
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
