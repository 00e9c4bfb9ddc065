// Tavrin's main window under a flood of engine output. The engine named by
// TAVRIN_MPLAYER (the scripted one, with a script that floods) is started as
// "/open" would start it; once the line "ID_EXIT=EOF" arrives, or after the
// time limit, the window is closed and destroyed as at the end of the
// program. Prints the longest stall of the event loop while the output pours
// in, the peak resident memory, the size of the output box, how long closing
// took and whether the engine was still there afterwards. Figures only.
//
//   tavrin_flood_bench [limit in seconds]
#include "engine/playercore.h"
#include "processstate.h"
#include "window/mainform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTimer>

#include <csignal>
#include <cstdio>

namespace {
// Peak resident memory of this process so far, in kB.
long peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int limitSeconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 60;

    auto *window = new mainform;
    window->show();

    // A probe that wants to run every 5 ms: the longest gap between its runs,
    // less 5 ms, is the longest time the window could not react.
    QElapsedTimer sinceProbe;
    qint64 longestStall = 0;
    bool flooding = true;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(5);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (flooding)
            longestStall = qMax(longestStall, sinceProbe.elapsed() - 5);
        sinceProbe.restart();
    });

    qint64 received = 0;
    QElapsedTimer clock;
    QObject::connect(&window->core().state(), &PlayerState::outputAppended,
                     [&](const QString &piece) {
                         received += piece.size();
                         if (piece.contains(QStringLiteral("ID_EXIT=EOF")))
                             app.quit();
                     });
    QTimer::singleShot(limitSeconds * 1000, &app, &QApplication::quit);

    clock.start();
    sinceProbe.start();
    probe.start();
    window->start(QStringLiteral("/open \"/media/flood.mkv\""));
    app.exec();
    flooding = false;
    const qint64 floodMs = clock.elapsed();
    const qint64 receivedBeforeClose = received;
    const long peakKb = peakResidentKb();
    const qsizetype boxChars = window->core().state().value(Field::engineOutputBox).size();
    const int boxLines = window->engineOutputBox()->document()->blockCount();
    const qint64 engine = window->core().cm() ? window->core().cm()->processId() : 0;

    // As at the end of the program: the window closes, then goes.
    clock.restart();
    window->close();
    delete window;
    const qint64 closeMs = clock.elapsed();
    const bool engineLeft = processRunning(engine);
    if (engineLeft)
        ::kill(static_cast<pid_t>(engine), SIGKILL);

    std::printf("flood: %.1f MB of text taken in %lld ms%s\n", receivedBeforeClose / 1e6,
                static_cast<long long>(floodMs),
                floodMs >= limitSeconds * 1000LL ? " (time limit reached)" : "");
    std::printf("longest event-loop stall: %lld ms\n", static_cast<long long>(longestStall));
    std::printf("peak resident memory: %.1f MiB\n", peakKb / 1024.0);
    std::printf("engineOutputBox: %lld characters; text box: %d lines\n",
                static_cast<long long>(boxChars), boxLines);
    std::printf("close: %lld ms; engine after close: %s\n", static_cast<long long>(closeMs),
                engineLeft ? "STILL RUNNING" : "gone");
    return 0;
}
