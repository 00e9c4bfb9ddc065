// How long the OblenPlayer window stops answering while it opens media: a
// 5 ms timer runs in the real window's event loop and the longest gap
// between two of its ticks is the longest stall. Measured from the open
// until the graph has played 0.3 s (or the open has failed), for each medium
// given, then for F5 (the rebuild keeping the state) on it, and for an
// address of a local server that takes the connection and never answers:
// the stall of opening it, of closing it while it opens, and of opening a
// file in its place. Used by bench/oblenplayer-open-stall.sh.
//
//   oblenplayer_open_stall_bench RENDERER(0-3) MEDIUM...
#include "graph/gstgraph.h"
#include "window/mainform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>
#include <functional>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A local port that takes connections (the kernel completes them) and
// never answers; 0 when none could be made.
int silentPort(int *fd)
{
    *fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (*fd < 0 || bind(*fd, reinterpret_cast<sockaddr *>(&address), length) != 0 ||
        listen(*fd, 16) != 0 ||
        getsockname(*fd, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        return 0;
    return ntohs(address.sin_port);
}

// The longest gap between ticks of a 5 ms timer while a step runs.
class StallMeter
{
public:
    StallMeter()
    {
        m_tick.setInterval(5);
        m_tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_tick, &QTimer::timeout,
                         [this]() { m_longest = std::max(m_longest, m_since.restart()); });
    }
    // Runs `step` from inside the event loop, then keeps the loop running
    // until `done` holds or `deadlineMs` has passed. Returns the longest
    // stall in ms, and in `tookMs` the time until `done` (-1: never).
    qint64 measure(const std::function<void()> &step, const std::function<bool()> &done,
                   int deadlineMs, qint64 *tookMs)
    {
        QElapsedTimer clock;
        clock.start();
        m_longest = 0;
        m_since.start();
        m_tick.start();
        QTimer::singleShot(0, step);
        *tookMs = -1;
        // The first pass lets the step run before `done` is asked.
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        while (clock.elapsed() < deadlineMs) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
            if (done()) {
                *tookMs = clock.elapsed();
                break;
            }
        }
        // The gap still open when the loop ends counts as well.
        m_longest = std::max(m_longest, m_since.elapsed());
        m_tick.stop();
        return m_longest;
    }

private:
    QTimer m_tick;
    QElapsedTimer m_since;
    qint64 m_longest = 0;
};

bool played(PlayerCore &core, bool opened)
{
    if (!opened || core.isOpening())
        return false;
    FilgraphManager *graph = core.graph();
    if (!graph)
        return true;
    if (!graph->Duration())
        return true; // failed: nothing more will come
    const std::optional<double> at = graph->CurrentPosition();
    return at && *at >= 0.3;
}

void row(const QString &what, qint64 stall, qint64 took)
{
    std::printf("%-28s %8lld %10s\n", qPrintable(what), static_cast<long long>(stall),
                took < 0 ? "never" : qPrintable(QString::number(took)));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: %s RENDERER MEDIUM...\n", argv[0]);
        return 2;
    }
    const int renderer = args.at(1).toInt();
    GstFilgraphManager::initialise();

    mainform window;
    window.resize(640, 480);
    window.show();
    QCoreApplication::processEvents();
    window.core().selectRenderer(renderer);
    PlayerCore &core = window.core();
    bool opened = false;
    QObject::connect(&core, &PlayerCore::openingFinished, [&]() { opened = true; });

    StallMeter meter;
    qint64 took = 0;
    std::printf("%-28s %8s %10s\n", "step", "stall_ms", "ready_ms");
    // A first open loads the plug-ins and the drivers; not counted.
    if (args.size() > 2) {
        opened = false;
        meter.measure([&]() { core.openMedia(args.at(2)); }, [&]() { return played(core, opened); },
                      10000, &took);
        core.closeMedia();
    }
    for (const QString &medium : args.mid(2)) {
        const QString name = QFileInfo(medium).fileName();
        opened = false;
        const qint64 stall = meter.measure([&]() { core.openMedia(medium); },
                                           [&]() { return played(core, opened); }, 10000, &took);
        row(QStringLiteral("open ") + name, stall, took);
        // F5 rebuilds a medium whose length is known; a transport stream
        // learns it only while it plays.
        QElapsedTimer known;
        known.start();
        while (!core.isLoaded() && known.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        opened = false;
        const qint64 rebuild = meter.measure(
            [&]() {
                window.core().setVideoArea({quintptr(window.picVideoWindow()->winId()),
                                            window.picVideoWindow()->width(),
                                            window.picVideoWindow()->height()});
                core.rebuildKeepingState();
            },
            [&]() { return played(core, opened); }, 10000, &took);
        row(QStringLiteral("F5 ") + name, rebuild, took);
    }

    // Takes the connection and never says a word.
    int silent = -1;
    const QString address = QStringLiteral("http://127.0.0.1:%1/clip.mp4").arg(silentPort(&silent));
    opened = false;
    qint64 stall =
        meter.measure([&]() { core.openMedia(address); }, [&]() { return opened; }, 10000, &took);
    row(QStringLiteral("open silent address"), stall, took);
    core.closeMedia();
    // A close one second into a silent open: how long until the window is
    // back to its title and answers.
    opened = false;
    core.openMedia(address);
    QElapsedTimer wait;
    wait.start();
    while (wait.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    stall = meter.measure([&]() { core.closeMedia(); },
                          [&]() { return window.windowTitle() == PlayerCore::programTitle; }, 10000,
                          &took);
    row(QStringLiteral("close during silent open"), stall, took);
    // Another open one second into a silent open.
    if (args.size() > 2) {
        core.openMedia(address);
        wait.restart();
        while (wait.elapsed() < 1000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        opened = false;
        const QString medium = args.at(2);
        stall = meter.measure(
            [&]() { core.openMedia(medium); },
            [&]() { return played(core, opened) && core.fields().fileOrUrlField == medium; }, 10000,
            &took);
        row(QStringLiteral("open during silent open"), stall, took);
    }
    core.closeMedia();
    ::close(silent);
    return 0;
}
