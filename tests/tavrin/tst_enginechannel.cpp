// The engine channel against a scripted engine: the bytes that reach it, the
// routing of what it prints, and the window's state after every kind of end.
#include "engine/cmdmod.h"
#include "engine/commands.h"
#include "engine/playercore.h"
#include "fakesystem.h"
#include "receivedlog.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

namespace {
const QString fakeEngine = QStringLiteral(FAKE_MPLAYER_PATH);

bool waitFor(const std::function<bool()> &condition, int ms = 5000)
{
    return QTest::qWaitFor(condition, ms);
}
} // namespace

class EngineChannelTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void everyCommandReachesTheEngineAsItsTextAndCrLf();
    void writesWithoutAnEngineChangeNothing();
    void positionAnswersGoToTheFieldNotTheBox();
    void endOfRunResetsTheWindow();
    void endWithRestartStartsAgainAndKeepsTheInformation();
    void missingEngineReturnsToStopped();
    void killedEngineReturnsToStopped();
    void priorityGoesWithTheEngine();
    void mediaPathIsOneArgument();
    void hiddenSubtitlesAndGammaAreSentAfterTheStart();

private:
    void startPlaying(PlayerCore &core, const QString &media = QStringLiteral("/media/a.mkv"));
    QString log() const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

void EngineChannelTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("TAVRIN_MPLAYER", fakeEngine.toLocal8Bit());
    qputenv("FAKE_MPLAYER_LOG", m_dir->filePath(QStringLiteral("received")).toLocal8Bit());
}

void EngineChannelTest::cleanup()
{
    qunsetenv("FAKE_MPLAYER_SCRIPT");
    m_dir.reset();
}

QString EngineChannelTest::log() const
{
    return ReceivedLog(m_dir->filePath(QStringLiteral("received"))).all();
}

void EngineChannelTest::startPlaying(PlayerCore &core, const QString &media)
{
    core.options().choose(Menu::videoOutputMenu, 1);
    core.state().setValue(Field::mediaPathField, media);
    core.launchEngine();
    QVERIFY(core.isEngineRunning());
    QVERIFY(waitFor([&] {
        return core.state().value(Field::engineOutputBox).contains(
            QStringLiteral("Starting playback...\r\n"));
    }));
}

void EngineChannelTest::everyCommandReachesTheEngineAsItsTextAndCrLf()
{
    using namespace EngineCommand;
    FakeSystem system;
    PlayerCore core(&system);
    startPlaying(core);
    const QStringList commands = {
        EngineCommand::pause, frameStep, getTimePosKeepPause, seekRelative(-10), seekAbsolute(42),
        volumeKeepPause(QStringLiteral("55")), volume(QStringLiteral("55")),
        switchAudio(QStringLiteral("1")), muteOn, muteOff, speedSet(QStringLiteral("1.5")),
        speedReset, audioDelay(QStringLiteral("0.1")), subDelay(QStringLiteral("-0.1")),
        subScale(QStringLiteral("1.5")), subVisibilityOff, subVisibilityOn, subStepBack,
        subStepForward, subSourceNone, subFile(1), subDemux(QStringLiteral("0")),
        gamma(QStringLiteral("10")), contrast(QStringLiteral("-5")),
        brightness(QStringLiteral("3")), hue(QStringLiteral("2")),
        saturation(QStringLiteral("1")),
        equalizerBands(QStringLiteral("0:0:0:0:0:0:0:0:0:0")), voFullscreenOff, dvdnavUp,
        dvdnavDown, dvdnavLeft, dvdnavRight, dvdnavSelect, dvdnavPrev, dvdnavMouse,
        setMousePos(10.f, 20.5f), QStringLiteral("say 한글 명령")};
    QString expected;
    for (const QString &command : commands) {
        core.sendCommand(command);
        QCOMPARE(core.state().value(Field::commandInputField), QString());
        expected += command + QStringLiteral("\r\n");
    }
    core.sendCommand(quit);
    expected += quit + QStringLiteral("\r\n");
    QVERIFY(waitFor([&] { return !core.isEngineRunning(); }));
    QCOMPARE(log(), expected);
    QVERIFY(core.state().value(Field::engineOutputBox).contains(QStringLiteral("한글 명령")));
}

void EngineChannelTest::writesWithoutAnEngineChangeNothing()
{
    FakeSystem system;
    PlayerCore core(&system);
    // Before any run there is no channel at all.
    core.sendCommand(EngineCommand::pause);
    QCOMPARE(core.state().value(Field::commandInputField), QString());

    startPlaying(core);
    core.sendCommand(EngineCommand::quit);
    QVERIFY(waitFor([&] { return !core.isEngineRunning(); }));

    QStringList before;
    for (int i = 0; i < fieldCount; ++i)
        before << core.state().value(static_cast<Field>(i));
    QSignalSpy changes(&core.state(), &PlayerState::changed);
    QCOMPARE(core.cm()->WriteData(EngineCommand::pause), -1);
    core.sendCommand(EngineCommand::pause);
    QStringList after;
    for (int i = 0; i < fieldCount; ++i)
        after << core.state().value(static_cast<Field>(i));
    QCOMPARE(after, before);
    // sendCommand writes the field and empties it again, nothing else.
    for (const QList<QVariant> &change : changes)
        QCOMPARE(change.at(0).value<Field>(), Field::commandInputField);
}

void EngineChannelTest::positionAnswersGoToTheFieldNotTheBox()
{
    FakeSystem system;
    PlayerCore core(&system);
    startPlaying(core);
    const QString lineBefore = core.state().value(Field::oneLineInfoLabel);
    core.sendCommand(EngineCommand::getTimePos);
    QVERIFY(waitFor([&] { return core.state().is(Field::currentSecondsField, "1.0"); }));
    core.sendCommand(EngineCommand::getTimePos);
    QVERIFY(waitFor([&] { return core.state().is(Field::currentSecondsField, "1.5"); }));
    QVERIFY(!core.state().value(Field::engineOutputBox).contains(QStringLiteral("ANS_")));
    QCOMPARE(core.state().value(Field::oneLineInfoLabel), lineBefore);
    core.sendCommand(EngineCommand::quit);
    QVERIFY(waitFor([&] { return !core.isEngineRunning(); }));
}

void EngineChannelTest::endOfRunResetsTheWindow()
{
    FakeSystem system;
    PlayerCore core(&system);
    RecordingWallpaper &wallpaper = system.recorder;
    QSignalSpy running(&core, &PlayerCore::engineRunningChanged);
    startPlaying(core);

    OptionStore &options = core.options();
    QVERIFY(options.entry(Menu::back10Menu).enabled);
    QVERIFY(options.entry(Menu::subtitleNoneMenu).enabled);
    QCOMPARE(core.state().value(Field::playStateField), PlayState::playing);

    // What a run fills in: streams in the menus, media information.
    options.setCaption(Menu::audioTrackMenu, 0, QStringLiteral("0 - kor"));
    options.setEnabled(Menu::audioTrackMenu, 0, true);
    options.setCaption(Menu::audioTrackMenu, options.loadItem(Menu::audioTrackMenu),
                       QStringLiteral("1 - eng"));
    options.choose(Menu::audioTrackMenu, 1);
    options.setVisible(Menu::subtitleFileMenu, 0, true);
    options.setEnabled(Menu::subtitleFileMenu, 0, true);
    options.choose(Menu::subtitleFileMenu, options.loadItem(Menu::subtitleFileMenu));
    options.setChecked(Menu::subtitleNoneMenu, false);
    options.loadItem(Menu::embeddedSubtitleMenu);
    for (const Field f : mediaInformationFields)
        core.state().setValue(f, QStringLiteral("x"));
    core.state().setValue(Field::gpuAdapterField, QStringLiteral("Xvfb adapter"));

    core.sendCommand(EngineCommand::quit);
    QVERIFY(waitFor([&] { return !core.isEngineRunning(); }));

    QCOMPARE(running.count(), 2);
    QCOMPARE(running.at(0).at(0).toBool(), true);
    QCOMPARE(running.at(1).at(0).toBool(), false);
    QCOMPARE(core.state().value(Field::playStateField), PlayState::stopped);
    for (Menu m : {Menu::back10Menu, Menu::forward10Menu, Menu::back60Menu, Menu::forward60Menu,
                   Menu::back600Menu, Menu::forward600Menu, Menu::subtitleNoneMenu})
        QVERIFY2(!options.entry(m).enabled, qPrintable(OptionStore::nameOf(m)));
    QVERIFY(options.isChecked(Menu::subtitleNoneMenu));

    QCOMPARE(options.itemCount(Menu::audioTrackMenu), 1);
    MenuEntry audio = options.entry(Menu::audioTrackMenu, 0);
    QCOMPARE(audio.caption, QStringLiteral("(비어 있음)"));
    QVERIFY(!audio.enabled && !audio.checked && audio.visible);
    for (Menu m : {Menu::subtitleFileMenu, Menu::embeddedSubtitleMenu}) {
        QCOMPARE(options.itemCount(m), 1);
        const MenuEntry e = options.entry(m, 0);
        QCOMPARE(e.caption, QStringLiteral("(비어 있음)"));
        QVERIFY(!e.enabled && !e.checked && !e.visible);
    }
    for (const Field f : mediaInformationFields)
        QVERIFY2(core.state().value(f).isEmpty(), qPrintable(PlayerState::nameOf(f)));
    QCOMPARE(core.state().value(Field::gpuAdapterField), QStringLiteral("Xvfb adapter"));
    QCOMPARE(wallpaper.timesApplied(), 2); // cleared at the start and at the end
    QCOMPARE(wallpaper.value(), QString());
    QVERIFY(core.state().value(Field::engineOutputBox).endsWith(QStringLiteral("(Quit)\r\n")));
}

void EngineChannelTest::endWithRestartStartsAgainAndKeepsTheInformation()
{
    FakeSystem system;
    PlayerCore core(&system);
    startPlaying(core);
    const QString firstPid = core.state().value(Field::processHandleField);
    core.state().setValue(Field::sourceWidthField, QStringLiteral("640"));
    core.options().loadItem(Menu::audioTrackMenu);
    core.state().setValue(Field::restartFlag, QStringLiteral("1"));
    core.sendCommand(EngineCommand::quit);

    QVERIFY(waitFor([&] {
        return core.isEngineRunning() && core.state().value(Field::processHandleField) != firstPid;
    }));
    QCOMPARE(core.state().value(Field::restartFlag), QStringLiteral("0"));
    QCOMPARE(core.state().value(Field::sourceWidthField), QStringLiteral("640"));
    QCOMPARE(core.options().itemCount(Menu::audioTrackMenu), 1);
    QCOMPARE(core.state().value(Field::playStateField), PlayState::playing);
    QVERIFY(waitFor([&] {
        return core.state().value(Field::engineOutputBox).contains(
            QStringLiteral("Starting playback..."));
    }));
    // The new run's box starts with its own command line.
    QVERIFY(!core.state().value(Field::engineOutputBox).contains(QStringLiteral("(Quit)")));

    core.sendCommand(EngineCommand::quit);
    QVERIFY(waitFor([&] { return !core.isEngineRunning(); }));
    QCOMPARE(core.state().value(Field::sourceWidthField), QString());
}

void EngineChannelTest::missingEngineReturnsToStopped()
{
    qputenv("TAVRIN_MPLAYER", "/nonexistent/mplayer");
    FakeSystem system;
    PlayerCore core(&system);
    QSignalSpy running(&core, &PlayerCore::engineRunningChanged);
    core.state().setValue(Field::mediaPathField, QStringLiteral("/media/a.mkv"));
    core.launchEngine();
    QVERIFY(waitFor([&] { return running.count() == 2; }));
    QCOMPARE(core.state().value(Field::processHandleField), QStringLiteral("0"));
    QVERIFY(!core.isEngineRunning());
    QCOMPARE(core.state().value(Field::playStateField), PlayState::stopped);
    QCOMPARE(core.cm()->WriteData(EngineCommand::quit), -1);
    // And the next attempt is possible.
    qputenv("TAVRIN_MPLAYER", fakeEngine.toLocal8Bit());
    startPlaying(core);
    core.sendCommand(EngineCommand::quit);
    QVERIFY(waitFor([&] { return !core.isEngineRunning(); }));
}

void EngineChannelTest::killedEngineReturnsToStopped()
{
    FakeSystem system;
    PlayerCore core(&system);
    startPlaying(core);
    const qint64 pid = core.cm()->processId();
    QVERIFY(pid > 0);
    ::kill(static_cast<pid_t>(pid), SIGKILL);
    QVERIFY(waitFor([&] { return !core.isEngineRunning(); }));
    QCOMPARE(core.state().value(Field::playStateField), PlayState::stopped);
    QVERIFY(!core.options().entry(Menu::forward600Menu).enabled);
}

void EngineChannelTest::priorityGoesWithTheEngine()
{
    FakeSystem system;
    PlayerCore core(&system);
    core.options().choose(Menu::cpuPriorityMenu, 4); // "낮은 우선 순위"
    startPlaying(core);
    QVERIFY(core.state().value(Field::engineOutputBox).contains(QStringLiteral("FAKE_NICE=5\r\n")));
    const auto pid = static_cast<id_t>(core.cm()->processId());
    QVERIFY(core.setEnginePriority(cmdmod::IDLE_PRIORITY_CLASS) != 0);
    QCOMPARE(getpriority(PRIO_PROCESS, pid), 19);
    core.sendCommand(EngineCommand::quit);
    QVERIFY(waitFor([&] { return !core.isEngineRunning(); }));
    // The ended run's id may belong to someone else by now: never touched.
    QCOMPARE(core.setEnginePriority(cmdmod::NORMAL_PRIORITY_CLASS), 0);
}

void EngineChannelTest::mediaPathIsOneArgument()
{
    FakeSystem system;
    PlayerCore core(&system);
    const QString media = QStringLiteral("/tmp/a b \"c\" 'd' $(touch pwned) 한글.mkv");
    startPlaying(core, media);
    const QString box = core.state().value(Field::engineOutputBox);
    QVERIFY(box.contains(QStringLiteral("\r\nFAKE_ARG=") + media + QStringLiteral("\r\nFAKE_ARG=-wid\r\n")));
    QVERIFY(!QFile::exists(QStringLiteral("pwned")));
    core.sendCommand(EngineCommand::quit);
    QVERIFY(waitFor([&] { return !core.isEngineRunning(); }));
}

void EngineChannelTest::hiddenSubtitlesAndGammaAreSentAfterTheStart()
{
    FakeSystem system;
    PlayerCore core(&system);
    core.options().setChecked(Menu::showSubtitlesMenu, false);
    core.state().setValue(Field::gammaField, QStringLiteral("-7"));
    core.state().setValue(Field::savedSecondsField, QStringLiteral("12.5"));
    startPlaying(core);
    QCOMPARE(core.state().value(Field::savedSecondsField), QString());
    QVERIFY(core.state().value(Field::engineOutputBox).contains(QStringLiteral("FAKE_ARG=-ss\r\nFAKE_ARG=12.5\r\n")));
    core.sendCommand(EngineCommand::quit);
    QVERIFY(waitFor([&] { return !core.isEngineRunning(); }));
    QCOMPARE(log(), QStringLiteral("pausing_keep_force sub_visibility 0 \r\n"
                                   "pausing_keep_force gamma -7 1 \r\nquit \r\n"));

    // The saved position was used once: the next run starts from the beginning.
    core.options().setChecked(Menu::showSubtitlesMenu, true);
    core.state().setValue(Field::gammaField, QStringLiteral("0"));
    startPlaying(core);
    QVERIFY(!core.state().value(Field::engineOutputBox).contains(QStringLiteral("FAKE_ARG=-ss")));
    core.sendCommand(EngineCommand::quit);
    QVERIFY(waitFor([&] { return !core.isEngineRunning(); }));
    QCOMPARE(log(), QStringLiteral("quit \r\n"));
}

QTEST_GUILESS_MAIN(EngineChannelTest)
#include "tst_enginechannel.moc"
