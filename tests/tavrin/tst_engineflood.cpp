// Tavrin's window against an engine that floods its output: the box stays
// bounded and its view follows it, the parsers still find the clip's details,
// closing ends the engine, and no engine outlives the program even when the
// program is killed.
#include "engine/playercore.h"
#include "fakesystem.h"
#include "processstate.h"
#include "state/outputbound.h"
#include "window/mainform.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

namespace {
const QString fakeEngine = QStringLiteral(FAKE_MPLAYER_PATH);
constexpr qsizetype bound = OutputBound::limitChars + 8192;

QString forDisplay(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}
} // namespace

class EngineFloodTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void floodedBoxStaysBoundedAndTheDetailsAreRead();
    void closingDuringAFloodEndsTheEngine_data();
    void closingDuringAFloodEndsTheEngine();
    void noEngineOutlivesAKilledProgram();

private:
    // The recorded output of the sample with floods of `bytes` where the
    // lines that start with the given texts were.
    QString writeScript(const QStringList &floodBefore, qint64 bytes, const QString &end);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeSystem> m_system;
    std::unique_ptr<mainform> m_window;
};

void EngineFloodTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("TAVRIN_MPLAYER", fakeEngine.toLocal8Bit());
    m_system = std::make_unique<FakeSystem>();
    m_window = std::make_unique<mainform>(m_system.get());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->start(QString());
}

void EngineFloodTest::cleanup()
{
    if (m_window)
        m_window->close();
    m_window.reset();
    m_system.reset();
    m_dir.reset();
    qunsetenv("FAKE_MPLAYER_SCRIPT");
    qunsetenv("FAKE_MPLAYER_PIDFILE");
    qunsetenv("FAKE_MPLAYER_HANG");
}

QString EngineFloodTest::writeScript(const QStringList &floodBefore, qint64 bytes,
                                     const QString &end)
{
    QFile recorded(QStringLiteral(TAVRIN_TEST_DATA "/mplayer-sample-x11.out"));
    if (!recorded.open(QIODevice::ReadOnly))
        return QString();
    QString script;
    for (const QString &line : QString::fromUtf8(recorded.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("Exiting")))
            break;
        for (const QString &start : floodBefore) {
            if (line.startsWith(start))
                script += QStringLiteral("@flood %1\n").arg(bytes);
        }
        script += line + QLatin1Char('\n');
    }
    script += end;
    const QString path = m_dir->filePath(QStringLiteral("script"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(script.toUtf8());
    qputenv("FAKE_MPLAYER_SCRIPT", path.toLocal8Bit());
    return path;
}

void EngineFloodTest::floodedBoxStaysBoundedAndTheDetailsAreRead()
{
    const QStringList floodBefore = {"ID_VIDEO_ID=", "ID_SUBTITLE_ID=", "Opening audio decoder",
                                     "Starting playback...", "Shared memory"};
    const QString script =
        writeScript(floodBefore, 2000000, QStringLiteral("@flood 2000000\nID_EXIT=EOF\n"));
    QVERIFY(!script.isEmpty());
    m_window->openCommandLineMedia(QStringLiteral("/open \"/media/flood.mkv\""));
    PlayerState &state = m_window->core().state();
    qsizetype largest = 0;
    connect(&state, &PlayerState::outputAppended, this,
            [&] { largest = qMax(largest, state.value(Field::engineOutputBox).size()); });
    QTRY_VERIFY_WITH_TIMEOUT(
        state.value(Field::engineOutputBox).contains(QStringLiteral("ID_EXIT=EOF")), 60000);
    QVERIFY2(largest <= bound, qPrintable(QString::number(largest)));

    const QString box = state.value(Field::engineOutputBox);
    QVERIFY(box.startsWith(m_window->core().cm()->launch().displayText + QStringLiteral("\r\n")));
    // The view follows the box once its pending copy is made.
    QTRY_COMPARE(m_window->engineOutputBox()->toPlainText(), forDisplay(box));

    const OptionStore &options = m_window->core().options();
    QCOMPARE(options.caption(Menu::audioTrackMenu, 1), QStringLiteral("1 - eng"));
    QCOMPARE(options.caption(Menu::embeddedSubtitleMenu, 0), QStringLiteral("내장 자막: 0 - kor"));
    QCOMPARE(state.value(Field::totalTimeLabel), QStringLiteral("00:00:10.0"));
    QCOMPARE(state.value(Field::infoLabel), QStringLiteral("H264 | MP4A, 48000HZ, 2CH"));
    QTRY_COMPARE(state.value(Field::colourSpaceField), QStringLiteral("Planar YV12 "));
}

void EngineFloodTest::closingDuringAFloodEndsTheEngine_data()
{
    QTest::addColumn<bool>("hung");
    QTest::newRow("engine obeys quit") << false;
    QTest::newRow("engine ignores quit") << true;
}

void EngineFloodTest::closingDuringAFloodEndsTheEngine()
{
    QFETCH(bool, hung);
    if (hung)
        qputenv("FAKE_MPLAYER_HANG", "1");
    QVERIFY(!writeScript(QStringList(), 0, QStringLiteral("@flood 0\n")).isEmpty());
    PlayerState &state = m_window->core().state();
    qint64 received = 0;
    connect(&state, &PlayerState::outputAppended, this,
            [&](const QString &piece) { received += piece.size(); });
    m_window->openCommandLineMedia(QStringLiteral("/open \"/media/flood.mkv\""));
    QTRY_VERIFY_WITH_TIMEOUT(received > 5000000, 60000);
    const qint64 engine = m_window->core().cm()->processId();
    QVERIFY(processRunning(engine));
    QVERIFY(state.value(Field::engineOutputBox).size() <= bound);

    // As at the end of the program: the window closes, then goes. Nothing
    // the engine prints meanwhile is routed any more.
    m_window->close();
    const qint64 receivedAtClose = received;
    m_window.reset();
    QCOMPARE(received, receivedAtClose);
    QVERIFY(!processRunning(engine));
}

void EngineFloodTest::noEngineOutlivesAKilledProgram()
{
    // A hung engine ignores "quit ", SIGTERM and the loss of its input.
    const QString pidFile = m_dir->filePath(QStringLiteral("engine.pid"));
    qputenv("FAKE_MPLAYER_PIDFILE", pidFile.toLocal8Bit());
    qputenv("FAKE_MPLAYER_HANG", "1");
    QProcess tavrin;
    tavrin.setProcessChannelMode(QProcess::ForwardedChannels);
    tavrin.start(QStringLiteral(TAVRIN_PROGRAM_PATH),
                 {QStringLiteral("/open"), QStringLiteral("/media/hung.mkv")});
    QVERIFY(tavrin.waitForStarted());
    qint64 engine = 0;
    const auto engineStarted = [&] {
        QFile file(pidFile);
        if (file.open(QIODevice::ReadOnly))
            engine = file.readAll().trimmed().toLongLong();
        return engine > 0;
    };
    QTRY_VERIFY_WITH_TIMEOUT(engineStarted(), 15000);
    const auto reap = qScopeGuard([&] {
        if (processRunning(engine))
            ::kill(static_cast<pid_t>(engine), SIGKILL);
    });
    QVERIFY(processRunning(engine));

    ::kill(static_cast<pid_t>(tavrin.processId()), SIGKILL);
    QVERIFY(tavrin.waitForFinished());
    QTRY_VERIFY_WITH_TIMEOUT(!processRunning(engine), 5000);
}

QTEST_MAIN(EngineFloodTest)
#include "tst_engineflood.moc"
