// Describes the files named on the command line through the main window's
// batch path (as a drop of all of them) and prints the wall and CPU time from
// the drop to the last report in the text box, and the longest time the event
// loop went without turning meanwhile. The process then ends, so that a
// timing of the whole process (bench/oblenmediainfo.sh) holds start-up, batch
// and shut-down, as the `mediainfo` command's does.
//
// With --check it then describes the files again one after another on this
// thread and checks that both give the same text (not timed).
//
// With --in-process the window reads the files on threads of its own instead
// of in describing processes.
//
// With --batches N the files are dropped N times, one batch after the other
// in the same window, and the resident memory of this process and of the
// describing process kept between batches is printed after each: what a batch
// leaves behind shows as growth from one line to the next.
//
//   oblenmediainfo_bench [--threads N] [--in-process] [--check] [--batches N] <file>...
#include "platform/processmemory.h"
#include "report/report.h"
#include "window/infotextbox.h"
#include "window/main.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {

qint64 cpuMs(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStringList files = app.arguments().mid(1);
    int threads = 0;
    bool check = false;
    bool inProcess = false;
    int batches = 1;
    while (!files.isEmpty() && files.first().startsWith(QStringLiteral("--"))) {
        if (files.first() == QStringLiteral("--threads") && files.size() > 1) {
            threads = files.at(1).toInt();
            files = files.mid(2);
        } else if (files.first() == QStringLiteral("--check")) {
            check = true;
            files = files.mid(1);
        } else if (files.first() == QStringLiteral("--batches") && files.size() > 1) {
            batches = files.at(1).toInt();
            files = files.mid(2);
        } else if (files.first() == QStringLiteral("--in-process")) {
            inProcess = true;
            files = files.mid(1);
        } else {
            break;
        }
    }
    if (files.isEmpty()) {
        std::fprintf(stderr, "usage: oblenmediainfo_bench [--threads N] [--in-process] [--check] "
                             "[--batches N] <file>...\n");
        return 2;
    }

    oblenmediainfo::main window;
    if (inProcess)
        window.describer().setHelperProgram(QString());
    if (threads > 0)
        window.describer().setMaxThreadCount(threads);
    window.show();

    // A fine timer on the event loop: the longest gap between two of its
    // ticks is the longest the window did not answer.
    QElapsedTimer sinceTick;
    qint64 longestStall = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longestStall = std::max(longestStall, sinceTick.restart());
    });

    // The window's library is loaded and set up at its first call, inside the
    // timed batch, as the `mediainfo` command's is inside its run.
    QEventLoop loop;
    QObject::connect(&window, &oblenmediainfo::main::describingFinished, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    const qint64 cpuAtStart = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
    const qint64 windowCpuAtStart = cpuMs(CLOCK_THREAD_CPUTIME_ID);
    timer.start();
    sinceTick.start();
    tick.start();
    window.describeDroppedFiles(files);
    loop.exec();
    tick.stop();
    const qint64 batchMs = timer.elapsed();
    const qint64 batchCpuMs = cpuMs(CLOCK_PROCESS_CPUTIME_ID) - cpuAtStart;
    const qint64 windowCpuMs = cpuMs(CLOCK_THREAD_CPUTIME_ID) - windowCpuAtStart;

    // The describing processes' CPU time counts in the whole process's once
    // they are reaped (at the window's end); their memory does not, so it is
    // printed here while they still run.
    std::printf("window batch path, %d workers %s: %lld ms wall, %lld ms "
                "CPU in this process (window thread %lld ms); longest event-loop stall %lld "
                "ms; describing processes' peak memory %lld KB\n",
                window.describer().maxThreadCount(),
                inProcess ? "on threads" : "with processes of their own",
                static_cast<long long>(batchMs), static_cast<long long>(batchCpuMs),
                static_cast<long long>(windowCpuMs), static_cast<long long>(longestStall),
                static_cast<long long>(window.describer().helperPeakMemoryKb()));
    // Memory once a batch has settled: the workers have ended, the one
    // describing process kept is idle and the text box has been painted.
    const auto printMemory = [&window](int batch) {
        QEventLoop settle;
        QTimer::singleShot(500, &settle, &QEventLoop::quit);
        settle.exec();
        qint64 kept = 0;
        for (const pid_t process : window.describer().helperProcessIds())
            kept += processMemoryKb(QString::number(process), "VmRSS");
        std::printf("batch %d: window %lld KB, kept describing process %lld KB\n", batch,
                    static_cast<long long>(processMemoryKb(QStringLiteral("self"), "VmRSS")),
                    static_cast<long long>(kept));
    };
    for (int batch = 2; batch <= batches; ++batch) {
        if (batch == 2)
            printMemory(1);
        window.describeDroppedFiles(files);
        loop.exec();
        printMemory(batch);
    }
    if (!check)
        return 0;

    const QString shown = window.infoText()->toPlainText();
    MediaInfoDLLMOD library;
    QString sequential;
    for (const QString &file : files)
        sequential = report::appendReport(sequential, report::describe(library, file));
    sequential.replace(report::lineBreak, QStringLiteral("\n"));
    std::printf("same text as one thread without window: %s\n", shown == sequential ? "yes" : "NO");
    return shown == sequential ? 0 : 1;
}
