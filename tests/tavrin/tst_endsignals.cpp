// The program asked to end from outside (a signal), on the real engine: it
// ends as its window's close ends it, and leaves no process or file behind.
#include "processstate.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

namespace {
const QString sample = QStringLiteral(SAMPLE_MEDIA_DIR "/sample.mkv");

// The processes whose parent is `parent`, with their command names.
QList<QPair<qint64, QByteArray>> childrenOf(qint64 parent)
{
    QList<QPair<qint64, QByteArray>> children;
    QDirIterator proc(QStringLiteral("/proc"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (proc.hasNext()) {
        bool number = false;
        const qint64 pid = proc.next().section(QLatin1Char('/'), -1).toLongLong(&number);
        QFile stat(proc.filePath() + QStringLiteral("/stat"));
        if (!number || !stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const qsizetype open = text.indexOf('('), close = text.lastIndexOf(')');
        const QList<QByteArray> rest = text.mid(close + 2).split(' ');
        if (open >= 0 && rest.size() > 1 && rest.at(1).toLongLong() == parent)
            children.append({pid, text.mid(open + 1, close - open - 1)});
    }
    return children;
}

qint64 childNamed(qint64 parent, const QByteArray &name)
{
    for (const auto &[pid, command] : childrenOf(parent)) {
        if (command == name && processRunning(pid))
            return pid;
    }
    return 0;
}

// The program run from a folder of its own, which it may write to: its
// style file goes under that folder.
struct Program
{
    QTemporaryDir folder;
    QProcess process;

    bool start(const QStringList &arguments, const QString &engine = {})
    {
        const QString program = folder.filePath(QStringLiteral("tavrin"));
        if (!QFile::copy(QStringLiteral(TAVRIN_PROGRAM_PATH), program))
            return false;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (engine.isEmpty())
            environment.remove(QStringLiteral("TAVRIN_MPLAYER"));
        else
            environment.insert(QStringLiteral("TAVRIN_MPLAYER"), engine);
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program, arguments);
        return process.waitForStarted();
    }
    QString styleFile() const { return folder.filePath(QStringLiteral("setting/subtitle.ass")); }
    ~Program()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
};

bool xdotool(const QStringList &arguments)
{
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}
} // namespace

class EndSignalsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void signalsEndLikeTheWindowsClose_data();
    void signalsEndLikeTheWindowsClose();
    void theVersionProbeEndsWithTheProgram_data();
    void theVersionProbeEndsWithTheProgram();
};

void EndSignalsTest::initTestCase()
{
    if (!QFile::exists(sample))
        QSKIP("the sample media is made by the build");
    // Keys typed by xdotool must not repeat on a busy machine.
    QProcess::execute(QStringLiteral("xset"), {QStringLiteral("r"), QStringLiteral("off")});
}

void EndSignalsTest::signalsEndLikeTheWindowsClose_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGHUP") << SIGHUP;
    QTest::newRow("SIGINT") << SIGINT;
}

void EndSignalsTest::signalsEndLikeTheWindowsClose()
{
    QFETCH(int, signalNumber);
    Program tavrin;
    QVERIFY(tavrin.start({QStringLiteral("/open"), sample}));
    const qint64 pid = tavrin.process.processId();
    qint64 engine = 0;
    QTRY_VERIFY_WITH_TIMEOUT((engine = childNamed(pid, "mplayer")) != 0, 15000);
    QVERIFY(QFile::exists(tavrin.styleFile()));

    QCOMPARE(::kill(pid_t(pid), signalNumber), 0);
    QVERIFY(tavrin.process.waitForFinished(10000));
    QCOMPARE(tavrin.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tavrin.process.exitCode(), 0);
    QVERIFY(!QFile::exists(tavrin.styleFile()));
    QTRY_VERIFY_WITH_TIMEOUT(!processRunning(engine), 5000);
}

void EndSignalsTest::theVersionProbeEndsWithTheProgram_data()
{
    QTest::addColumn<int>("signalNumber");
    // Killed, the program cannot end the probe itself.
    QTest::newRow("SIGKILL") << SIGKILL;
    QTest::newRow("SIGTERM") << SIGTERM;
}

void EndSignalsTest::theVersionProbeEndsWithTheProgram()
{
    QFETCH(int, signalNumber);
    Program tavrin;
    // An engine that never prints its banner: the probe F1 starts stays.
    const QString engine = tavrin.folder.filePath(QStringLiteral("silent-engine"));
    QFile script(engine);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nexec sleep 30\n");
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
    QVERIFY(tavrin.start({}, engine));
    const QString pid = QString::number(tavrin.process.processId());

    // A window just shown may not take keys yet: F1 again until the probe
    // runs (a second F1 only raises the open window).
    qint64 probe = 0;
    const auto pressF1 = [&] {
        xdotool({QStringLiteral("search"), QStringLiteral("--sync"),
                 QStringLiteral("--onlyvisible"), QStringLiteral("--pid"), pid,
                 QStringLiteral("--name"), QStringLiteral("^Tavrin"), QStringLiteral("windowfocus"),
                 QStringLiteral("--sync"), QStringLiteral("key"), QStringLiteral("F1")});
        return QTest::qWaitFor([&] { return (probe = childNamed(pid.toLongLong(), "sleep")) != 0; },
                               1000);
    };
    QVERIFY(QTest::qWaitFor(pressF1, 15000));

    QCOMPARE(::kill(pid.toInt(), signalNumber), 0);
    QVERIFY(tavrin.process.waitForFinished(10000));
    const auto ended = [probe] { return !processRunning(probe); };
    const bool probeEnded = QTest::qWaitFor(ended, 3000);
    if (!probeEnded)
        ::kill(pid_t(probe), SIGKILL);
    QVERIFY2(probeEnded, "the version probe outlived the program");
}

QTEST_GUILESS_MAIN(EndSignalsTest)
#include "tst_endsignals.moc"
