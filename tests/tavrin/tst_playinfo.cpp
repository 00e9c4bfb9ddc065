// The texts of the playback information window: the media values made from
// the state record, the processor load from the kernel's counters.
#include "info/cpuload.h"
#include "info/playinfotexts.h"
#include "platform/systemservices.h"

#include <QTest>
#include <atomic>
#include <pthread.h>
#include <sched.h>
#include <thread>

using Value = PlayInfo::Value;
Q_DECLARE_METATYPE(Value)
using Fields = QList<QPair<Field, QString>>;

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
    void mediaValues_data();
    void mediaValues();
    void loadBetweenTwoReadings_data();
    void loadBetweenTwoReadings();
    void processorName_data();
    void processorName();
    void busyCoreOfThisMachineReadsNearlyFull();
};

void PlayInfoTest::mediaValues_data()
{
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<Value>("value");
    QTest::addColumn<QString>("expected"); // "<keep>": the label keeps its text

    const QString keep = QStringLiteral("<keep>");
    QTest::newRow("decoder as given")
        << Fields{{Field::videoDecoderField, "ffh264"}} << Value::videoDecoder << "ffh264";
    QTest::newRow("source size") << Fields{{Field::sourceWidthField, "640"},
                                           {Field::sourceHeightField, "360"}}
                                 << Value::sourceSize << "640 x 360";
    QTest::newRow("frame rate") << Fields{{Field::frameRateField, "25.000"}} << Value::frameRate
                                << "25.000 프레임/초";
    QTest::newRow("audio bitrate in kilobits")
        << Fields{{Field::audioBitrateField, "128000"}} << Value::audioBitrate << "128 킬로비트/초";
    QTest::newRow("video bitrate, shortest text") << Fields{{Field::videoBitrateField, "1234567"}}
                                                  << Value::videoBitrate << "1234.567 킬로비트/초";
    QTest::newRow("sample rate wants both")
        << Fields{{Field::sourceSampleRateField, "48000"}} << Value::sampleRate << keep;
    QTest::newRow("sample rates") << Fields{{Field::sourceSampleRateField, "48000"},
                                            {Field::outputSampleRateField, "44100"}}
                                  << Value::sampleRate << "48000 Hz -> 44100 Hz";
    QTest::newRow("channels") << Fields{{Field::audioChannelsField, "2"}} << Value::channels
                              << "2 채널";
}

void PlayInfoTest::mediaValues()
{
    QFETCH(Fields, fields);
    QFETCH(Value, value);
    QFETCH(QString, expected);
    PlayerState state;
    for (const auto &[field, text] : fields)
        state.setValue(field, text);
    const std::optional<QString> text = PlayInfo::text(value, state);
    QCOMPARE(text.value_or(QStringLiteral("<keep>")), expected);
    for (const auto &[field, text] : fields)
        QVERIFY2(PlayInfo::feedsWindow(field), qPrintable(PlayerState::nameOf(field)));
}

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
