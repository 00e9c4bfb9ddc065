// Describes the files named on the command line through the main window's
// batch path (as a drop of all of them) and prints the wall time from the
// drop to the last report in the text box. Then describes them one after
// another on this thread with the library already set up, and checks that
// both give the same text.
//
//   oblenmediainfo_bench [--threads N] <file>...
#include "report/report.h"
#include "window/infotextbox.h"
#include "window/main.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStringList files = app.arguments().mid(1);
    int threads = 0;
    if (files.size() > 1 && files.first() == QStringLiteral("--threads")) {
        threads = files.at(1).toInt();
        files = files.mid(2);
    }
    if (files.isEmpty()) {
        std::fprintf(stderr, "usage: oblenmediainfo_bench [--threads N] <file>...\n");
        return 2;
    }

    oblenmediainfo::main window;
    if (threads > 0)
        window.describer().setMaxThreadCount(threads);
    window.show();

    // The window's library is loaded and set up at its first call, inside the
    // timed batch, as the `mediainfo` command's is inside its run.
    QEventLoop loop;
    QObject::connect(&window, &oblenmediainfo::main::describingFinished, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    window.describeDroppedFiles(files);
    loop.exec();
    const qint64 batchMs = timer.elapsed();
    const QString shown = window.infoText()->toPlainText();

    MediaInfoDLLMOD library;
    timer.restart();
    QString sequential;
    for (const QString &file : files)
        sequential = report::appendReport(sequential, report::describe(library, file));
    const qint64 sequentialMs = timer.elapsed();
    sequential.replace(report::lineBreak, QStringLiteral("\n"));

    std::printf("window batch path, %d workers: %lld ms; one thread without window: %lld ms; "
                "same text: %s\n",
                window.describer().maxThreadCount(), static_cast<long long>(batchMs),
                static_cast<long long>(sequentialMs), shown == sequential ? "yes" : "NO");
    return shown == sequential ? 0 : 1;
}
