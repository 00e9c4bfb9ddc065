// The processor's load per core from the kernel's counters, and its name.
#include "info/cpuload.h"
#include "platform/systemservices.h"

#include <QTest>
#include <atomic>
#include <pthread.h>
#include <sched.h>
#include <thread>

namespace {
// A /proc/stat row; the columns after idle are iowait irq softirq steal
// guest guest_nice.
QString row(int core, quint64 user, quint64 system, quint64 idle, quint64 iowait = 0,
            quint64 guest = 0)
{
    return QString::asprintf("cpu%d %llu 0 %llu %llu %llu 0 0 0 %llu 0\n", core, user, system, idle,
                             iowait, guest);
}
const QString summary = QStringLiteral("cpu  100 0 100 100 0 0 0 0 0 0\n");
const QString tail = QStringLiteral("intr 1 2 3\nctxt 99\n");
} // namespace

class PlayInfoTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void loadBetweenTwoReadings_data();
    void loadBetweenTwoReadings();
    void processorName_data();
    void processorName();
    void busyCoreOfThisMachineReadsNearlyFull();
};

void PlayInfoTest::loadBetweenTwoReadings_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<int>("processors");
    QTest::addColumn<QString>("perCore");
    QTest::addColumn<QString>("average");

    // Core 0 spends 124 of 1000 ticks busy, core 1 304: 12.4% and 30.4%.
    const QString before = summary + row(0, 1000, 0, 5000) + row(1, 2000, 0, 6000) + tail;
    const QString after = summary + row(0, 1100, 24, 5876) + row(1, 2300, 4, 6696) + tail;
    QTest::newRow("two cores") << before << after << 2 << "코어1: 12%, 코어2: 30%"
                               << "21%";
    QTest::newRow("one core") << summary + row(0, 10, 10, 80) << summary + row(0, 60, 20, 120) << 1
                              << "코어1: 60%"
                              << "60%";
    QTest::newRow("halves round up")
        << row(0, 0, 0, 0) + row(1, 0, 0, 0) << row(0, 125, 0, 875) + row(1, 375, 0, 625) << 2
        << "코어1: 13%, 코어2: 38%"
        << "26%";
    // iowait is idle; guest time is in user already.
    QTest::newRow("iowait and guest")
        << row(0, 0, 0, 0) << row(0, 500, 0, 400, 100, 400) << 1 << "코어1: 50%"
        << "50%";
    // The first core gone from the second reading: no stray separator, and
    // the second core keeps its own number; the average still divides by 2.
    QTest::newRow("first core without a value")
        << before << summary + row(1, 2300, 4, 6696) << 2 << "코어2: 30%"
        << "15%";
    QTest::newRow("counters that did not move") << before << before << 2 << ""
                                                << "-";
    QTest::newRow("more processors than rows")
        << row(0, 0, 0, 0) << row(0, 80, 0, 20) << 4 << "코어1: 80%"
        << "20%";
}

void PlayInfoTest::loadBetweenTwoReadings()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(int, processors);
    QFETCH(QString, perCore);
    QFETCH(QString, average);
    CpuLoadMeter meter(processors);
    const CpuLoad::Texts opening = meter.sample(first);
    QCOMPARE(opening.perCore, QString());
    QCOMPARE(opening.average, QStringLiteral("-"));
    const CpuLoad::Texts texts = meter.sample(second);
    QCOMPARE(texts.perCore, perCore);
    QCOMPARE(texts.average, average);
}

void PlayInfoTest::processorName_data()
{
    QTest::addColumn<QString>("cpuinfo");
    QTest::addColumn<QString>("name");
    QTest::newRow("x86") << "processor\t: 0\nvendor_id\t: GenuineIntel\nmodel\t\t: 142\n"
                            "model name\t: Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz\n"
                            "processor\t: 1\nmodel name\t: second\n"
                         << "Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz";
    QTest::newRow("no model name") << "processor\t: 0\nBogoMIPS\t: 48.00\nCPU part\t: 0xd03\n"
                                   << "";
}

void PlayInfoTest::processorName()
{
    QFETCH(QString, cpuinfo);
    QFETCH(QString, name);
    QCOMPARE(LinuxSystem::processorNameFromCpuinfo(cpuinfo), name);
}

// The real counters: a loop pinned to one core keeps that core busy,
// whatever else the machine runs, since work of any kind counts as busy.
void PlayInfoTest::busyCoreOfThisMachineReadsNearlyFull()
{
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    QVERIFY(sched_getaffinity(0, sizeof allowed, &allowed) == 0);
    int core = -1;
    for (int i = 0; i < CPU_SETSIZE && i < CpuLoad::maxCounters; ++i)
        if (CPU_ISSET(i, &allowed))
            core = i;
    QVERIFY(core >= 0);

    std::atomic<bool> pinned{false};
    std::atomic<bool> stop{false};
    std::thread spinner([&] {
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(core, &one);
        pinned = pthread_setaffinity_np(pthread_self(), sizeof one, &one) == 0;
        volatile quint64 n = 0;
        while (!stop)
            n = n + 1;
    });
    QTest::qWait(100);

    LinuxSystem system;
    const int processors = qMax(system.processorCount(), core + 1);
    const std::optional<QString> first = system.processorCounters();
    QTest::qWait(1000);
    const std::optional<QString> second = system.processorCounters();
    stop = true;
    spinner.join();
    QVERIFY(pinned);
    QVERIFY(first && second);

    const auto loads =
        CpuLoad::coreLoads(CpuLoad::parseStat(*first), CpuLoad::parseStat(*second), processors);
    QVERIFY(loads.at(core));
    QVERIFY2(*loads.at(core) >= 90.0, qPrintable(QString::number(*loads.at(core))));
}

QTEST_GUILESS_MAIN(PlayInfoTest)
#include "tst_playinfo.moc"
