// Opens one medium again and again in the real OblenPlayer window and prints
// the process's resident memory, threads and open descriptors after each
// open, once the graph plays. Used by bench/oblenplayer-reopen.sh.
//
//   oblenplayer_reopen_bench FILE OPENS RENDERER(0-3)
#include "graph/gstgraph.h"
#include "window/mainform.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <cstdio>

namespace {

long statusField(const char *name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(name) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

int openDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd"))
                   .entryList(QDir::NoDotAndDotDot | QDir::AllEntries)
                   .size());
}

// Lets the graph play until its position has moved, so every open has drawn
// pictures through its renderer before the next one replaces it.
bool waitForPlayback(PlayerCore &core)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        FilgraphManager *graph = core.graph();
        if (graph) {
            const std::optional<double> at = graph->CurrentPosition();
            if (at && *at >= 0.3)
                return true;
        }
        QThread::msleep(5);
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: %s FILE OPENS RENDERER\n", argv[0]);
        return 2;
    }
    const QString file = args.at(1);
    const int opens = args.at(2).toInt();
    const int renderer = args.at(3).toInt();
    GstFilgraphManager::initialise();

    mainform window;
    window.resize(640, 480);
    window.show();
    QCoreApplication::processEvents();
    window.core().selectRenderer(renderer);

    std::printf("open  rss_kb  threads  fds  played\n");
    for (int i = 1; i <= opens; ++i) {
        window.core().openMedia(file);
        const bool played = waitForPlayback(window.core());
        std::printf("%4d  %6ld  %7ld  %3d  %s\n", i, statusField("VmRSS"), statusField("Threads"),
                    openDescriptors(), played ? "yes" : "no");
        std::fflush(stdout);
    }
    window.core().closeMedia();
    QCoreApplication::processEvents();
    std::printf("closed  %6ld  %7ld  %3d\n", statusField("VmRSS"), statusField("Threads"),
                openDescriptors());
    return 0;
}
