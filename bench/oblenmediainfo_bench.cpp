// Describes the files named on the command line through the main window's
// batch path (as a drop of all of them) and prints the wall time, then the
// same files one after another on one thread, and whether both texts agree.
//
//   oblenmediainfo_bench <file>...
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
    const QStringList files = app.arguments().mid(1);
    if (files.isEmpty()) {
        std::fprintf(stderr, "usage: oblenmediainfo_bench <file>...\n");
        return 2;
    }

    oblenmediainfo::main window;
    window.show();
    // Load the library first, so that the figure is the batch itself.
    MediaInfoDLLMOD library;
    library.IsLoaded();

    QEventLoop loop;
    QObject::connect(&window, &oblenmediainfo::main::describingFinished, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    window.describeDroppedFiles(files);
    loop.exec();
    const qint64 batchMs = timer.elapsed();
    const QString shown = window.infoText()->toPlainText();

    timer.restart();
    QString sequential;
    for (const QString &file : files)
        sequential = report::appendReport(sequential, report::describe(library, file));
    const qint64 sequentialMs = timer.elapsed();
    sequential.replace(report::lineBreak, QStringLiteral("\n"));

    std::printf("files: %lld\n", static_cast<long long>(files.size()));
    std::printf("threads: %d\n", window.describer().maxThreadCount());
    std::printf("window batch path: %lld ms\n", static_cast<long long>(batchMs));
    std::printf("one thread, no window: %lld ms\n", static_cast<long long>(sequentialMs));
    std::printf("texts agree: %s\n", shown == sequential ? "yes" : "NO");
    return shown == sequential ? 0 : 1;
}
