// The ways a medium reaches the engine, start-up's machine defaults and the
// bounded wait for an engine that will not go, against the scripted engine.
#include "engine/commands.h"
#include "engine/openpaths.h"
#include "engine/playercore.h"
#include "engine/startup.h"
#include "fakesystem.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

namespace {
bool waitFor(const std::function<bool()> &condition, int ms = 5000)
{
    return QTest::qWaitFor(condition, ms);
}

bool started(PlayerCore &core)
{
    return core.state().value(Field::engineOutputBox).contains(QStringLiteral("Starting playback..."));
}
} // namespace

class OpenPathsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void commandLineMedia_data();
    void commandLineMedia();
    void openingStopsTheOldEngineAndTitlesTheWindow();
    void closeCurrentMediaClearsThePlaybackFields();
    void dvdDriveCaptions();
    void typedDvdTextIsOneArgument();
    void aviSynthScriptReplacesEveryPlaceholder();
    void restartKeepsTheCheckedTrackNumberOnly();
    void openingAnotherMediumDropsAPendingRestart();
    void hungEngineIsEndedWithinTheBound();
    void droppedFiles_data();
    void droppedFiles();

    void videoDriverByAdapter_data();
    void videoDriverByAdapter();
    void machineDefaults();

private:
    std::unique_ptr<FakeSystem> m_system;
    std::unique_ptr<PlayerCore> m_core;
    std::unique_ptr<MediaOpener> m_opener;
};

void OpenPathsTest::init()
{
    qputenv("TAVRIN_MPLAYER", FAKE_MPLAYER_PATH);
    m_system = std::make_unique<FakeSystem>();
    m_core = std::make_unique<PlayerCore>(m_system.get());
    m_opener = std::make_unique<MediaOpener>(*m_core);
    Startup::chooseMachineDefaults(*m_core);
}

void OpenPathsTest::cleanup()
{
    qunsetenv("FAKE_MPLAYER_HANG");
    if (m_core->isEngineRunning()) {
        m_core->sendCommand(EngineCommand::quit);
        m_opener->waitForEngineEnd();
    }
    m_opener.reset();
    m_core.reset();
    m_system.reset();
}

void OpenPathsTest::commandLineMedia_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("medium");
    QTest::newRow("marker and quoted path") << "/open \"/media/a b.mkv\"" << "/media/a b.mkv";
    QTest::newRow("after other words") << "-x /open \"/media/c.mkv\" y" << "/media/c.mkv";
    QTest::newRow("no marker") << "\"/media/a.mkv\"" << "";
    QTest::newRow("marker in capitals") << "/OPEN \"/media/a.mkv\"" << "";
    QTest::newRow("no closing quote") << "/open \"/media/a.mkv" << "";
    QTest::newRow("empty") << "" << "";
}

void OpenPathsTest::commandLineMedia()
{
    QFETCH(QString, commandLine);
    QFETCH(QString, medium);
    m_opener->openCommandLineMedia(commandLine);
    const PlayerState &state = m_core->state();
    QCOMPARE(state.value(Field::mediaPathField), medium);
    QCOMPARE(m_core->isEngineRunning(), !medium.isEmpty());
    QCOMPARE(state.value(Field::parameterInfoField), commandLine);
    QCOMPARE(state.value(Field::parameterOpenedField),
             commandLine.isEmpty() ? QString() : QStringLiteral("1"));
    QCOMPARE(m_opener->windowTitle(),
             medium.isEmpty() ? QStringLiteral("Tavrin v1.0.53")
                              : MediaOpener::displayNameOf(medium) + QStringLiteral(" - Tavrin v1.0.53"));
}

void OpenPathsTest::openingStopsTheOldEngineAndTitlesTheWindow()
{
    QSignalSpy titles(m_opener.get(), &MediaOpener::windowTitleChanged);
    m_opener->openAndPlay(QStringLiteral("/media/first.mkv"), QStringLiteral("first.mkv"));
    QVERIFY(waitFor([&] { return started(*m_core); }));
    const QString firstRun = m_core->state().value(Field::processHandleField);
    m_opener->openAndPlay(QStringLiteral("/media/둘째.mkv"), QStringLiteral("둘째.mkv"));
    QVERIFY(m_core->isEngineRunning());
    QVERIFY(m_core->state().value(Field::processHandleField) != firstRun);
    QVERIFY(waitFor([&] {
        return m_core->state().value(Field::engineOutputBox).contains(
            QStringLiteral("FAKE_ARG=/media/둘째.mkv"));
    }));
    QCOMPARE(titles.last().at(0).toString(), QStringLiteral("둘째.mkv - Tavrin v1.0.53"));
}

void OpenPathsTest::closeCurrentMediaClearsThePlaybackFields()
{
    m_opener->openAndPlay(QStringLiteral("/media/a.mkv"), QStringLiteral("a.mkv"));
    PlayerState &state = m_core->state();
    state.setValue(Field::currentSecondsField, QStringLiteral("3.2"));
    state.setValue(Field::totalSecondsField, QStringLiteral("10.0"));
    state.setValue(Field::currentTimeLabel, QStringLiteral("00:00:03.2"));
    m_opener->closeCurrentMedia();
    QVERIFY(!m_core->isEngineRunning());
    QCOMPARE(m_opener->windowTitle(), QStringLiteral("Tavrin v1.0.53"));
    for (Field f : {Field::mediaPathField, Field::currentSecondsField, Field::totalSecondsField})
        QCOMPARE(state.value(f), QString());
    QCOMPARE(state.value(Field::currentTimeLabel), QStringLiteral("00:00:00.0"));
    QCOMPARE(state.value(Field::totalTimeLabel), QStringLiteral("00:00:00.0"));
}

void OpenPathsTest::dvdDriveCaptions()
{
    m_system->drives = {{QStringLiteral("/dev/sr0"), QString()},
                        {QStringLiteral("/dev/sr1"), QStringLiteral("MOVIE DISC")}};
    Startup::chooseMachineDefaults(*m_core);
    m_opener->playDvdDrive(QStringLiteral("/dev/sr1: Movie Disc"));
    QCOMPARE(m_core->state().value(Field::mediaPathField),
             QStringLiteral("dvdnav:// -dvd-device /dev/sr1"));
    QCOMPARE(m_opener->windowTitle(), QStringLiteral("Movie Disc - Tavrin v1.0.53"));
    QVERIFY(waitFor([&] { return started(*m_core); }));
    QVERIFY(m_core->state().value(Field::engineOutputBox).contains(
        QStringLiteral("FAKE_ARG=dvdnav://\r\nFAKE_ARG=-dvd-device\r\nFAKE_ARG=/dev/sr1\r\n")));
    // A drive without a label gives an empty name before the suffix.
    m_opener->playDvdDrive(QStringLiteral("/dev/sr0: "));
    QCOMPARE(m_opener->windowTitle(), QStringLiteral(" - Tavrin v1.0.53"));
}

void OpenPathsTest::typedDvdTextIsOneArgument()
{
    // What the address window or "/open" may pass: text that begins with
    // "dvd" and carries options reaches the engine as one medium name.
    const QString typed = QStringLiteral("dvd /some/file.mkv -dumpstream -dumpfile /tmp/x");
    m_opener->openAndPlay(typed, MediaOpener::displayNameOf(typed));
    QVERIFY(waitFor([&] { return started(*m_core); }));
    QVERIFY(m_core->state()
                .value(Field::engineOutputBox)
                .contains(QStringLiteral("\r\nFAKE_ARG=") + typed +
                          QStringLiteral("\r\nFAKE_ARG=-wid\r\n")));
    QVERIFY(!m_core->state()
                 .value(Field::engineOutputBox)
                 .contains(QStringLiteral("FAKE_ARG=-dumpstream")));
}

void OpenPathsTest::aviSynthScriptReplacesEveryPlaceholder()
{
    m_core->state().setValue(Field::scriptTemplateBox,
                             QStringLiteral("A(\"%원본위치%\")\r\nB(\"%원본위치%\")\r\n"));
    m_opener->openWithAviSynth(QStringLiteral("/media/원본 영상.avi"));
    QFile script(m_opener->aviSynthScriptPath());
    QVERIFY(script.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(script.readAll()),
             QStringLiteral("A(\"/media/원본 영상.avi\")\r\nB(\"/media/원본 영상.avi\")\r\n\r\n"));
    QCOMPARE(m_core->state().value(Field::mediaPathField), m_opener->aviSynthScriptPath());
    QCOMPARE(m_opener->windowTitle(), QStringLiteral("원본 영상.avi - Tavrin v1.0.53"));
    // The default template is the two-line DirectShow script.
    QCOMPARE(MediaOpener::aviSynthTemplate(),
             QStringLiteral("DirectShowSource(\"%원본위치%\", convertfps=true)\r\nConvertToYV12()\r\n"));
}

void OpenPathsTest::restartKeepsTheCheckedTrackNumberOnly()
{
    m_opener->openAndPlay(QStringLiteral("/media/a.mkv"), QStringLiteral("a.mkv"));
    QVERIFY(waitFor([&] { return started(*m_core); }));
    OptionStore &options = m_core->options();
    options.setCaption(Menu::audioTrackMenu, 0, QStringLiteral("0 - kor"));
    options.setCaption(Menu::audioTrackMenu, options.loadItem(Menu::audioTrackMenu),
                       QStringLiteral("1 - eng"));
    options.setCaption(Menu::audioTrackMenu, options.loadItem(Menu::audioTrackMenu),
                       QStringLiteral("2 - jpn"));
    options.choose(Menu::audioTrackMenu, 1);
    m_core->state().setValue(Field::currentSecondsField, QStringLiteral("4.5"));
    const QString firstRun = m_core->state().value(Field::processHandleField);

    m_opener->restartAtPosition();
    QCOMPARE(m_core->state().value(Field::audioStreamBackupField), QStringLiteral(" -aid 1"));
    QVERIFY(waitFor([&] {
        return m_core->state().value(Field::processHandleField) != firstRun && started(*m_core);
    }));
    const QString box = m_core->state().value(Field::engineOutputBox);
    QVERIFY(box.contains(QStringLiteral(" -aid 1 -channels")));
    QVERIFY(box.contains(QStringLiteral("FAKE_ARG=-ss\r\nFAKE_ARG=4.5\r\n")));
    QCOMPARE(m_core->state().value(Field::savedSecondsField), QString());
    QCOMPARE(MediaOpener::trackNumberOf(QStringLiteral(" 12 - kor")), QStringLiteral("12"));

    // Without an engine the restart does nothing.
    m_core->sendCommand(EngineCommand::quit);
    QVERIFY(waitFor([&] { return !m_core->isEngineRunning(); }));
    m_opener->restartAtPosition();
    QCOMPARE(m_core->state().value(Field::restartFlag), QStringLiteral("0"));
}

void OpenPathsTest::openingAnotherMediumDropsAPendingRestart()
{
    m_opener->openAndPlay(QStringLiteral("/media/a.mkv"), QStringLiteral("a.mkv"));
    QVERIFY(waitFor([&] { return started(*m_core); }));
    OptionStore &options = m_core->options();
    options.setCaption(Menu::audioTrackMenu, 0, QStringLiteral("0 - kor"));
    options.choose(Menu::audioTrackMenu, 0);
    PlayerState &state = m_core->state();
    state.setValue(Field::currentSecondsField, QStringLiteral("3.1"));

    // The restart has asked the engine to quit but has not seen it go when
    // the user opens another medium: that one starts from its beginning,
    // with its own audio track.
    m_opener->restartAtPosition();
    m_opener->openAndPlay(QStringLiteral("/media/b.mkv"), QStringLiteral("b.mkv"));
    QVERIFY(waitFor([&] {
        return started(*m_core) && state.value(Field::engineOutputBox)
                                       .contains(QStringLiteral("FAKE_ARG=/media/b.mkv"));
    }));
    const QString box = state.value(Field::engineOutputBox);
    QVERIFY2(!box.contains(QStringLiteral("FAKE_ARG=-ss\r\n")), qPrintable(box));
    QVERIFY2(!box.contains(QStringLiteral("FAKE_ARG=-aid\r\n")), qPrintable(box));
    for (Field f : {Field::savedSecondsField, Field::audioStreamBackupField})
        QCOMPARE(state.value(f), QString());
    QCOMPARE(state.value(Field::restartFlag), QStringLiteral("0"));
}

void OpenPathsTest::hungEngineIsEndedWithinTheBound()
{
    qputenv("FAKE_MPLAYER_HANG", "1");
    m_opener->openAndPlay(QStringLiteral("/media/hung.mkv"), QStringLiteral("hung.mkv"));
    QVERIFY(waitFor([&] { return started(*m_core); }));
    const qint64 hungPid = m_core->cm()->processId();
    qunsetenv("FAKE_MPLAYER_HANG");

    QElapsedTimer clock;
    clock.start();
    m_opener->openAndPlay(QStringLiteral("/media/next.mkv"), QStringLiteral("next.mkv"));
    const qint64 took = clock.elapsed();
    QVERIFY(m_core->isEngineRunning());
    QVERIFY(m_core->cm()->processId() != hungPid);
    QVERIFY2(took < MediaOpener::quitWaitMs + 2 * MediaOpener::terminateWaitMs + 1000,
             qPrintable(QString::number(took)));
    QVERIFY(::kill(static_cast<pid_t>(hungPid), 0) != 0); // the hung engine is gone
}

void OpenPathsTest::droppedFiles_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("opened");
    // Names in a folder of the test's own: "a.mkv" and "b.mkv" are files,
    // "folder" a folder, "link.mkv" a link to a.mkv, "gone.mkv" does not exist.
    QTest::newRow("one file") << QStringList{"a.mkv"} << "a.mkv";
    QTest::newRow("a link to a file") << QStringList{"link.mkv"} << "link.mkv";
    QTest::newRow("two files") << QStringList{"a.mkv", "b.mkv"} << "";
    QTest::newRow("nothing") << QStringList{} << "";
    QTest::newRow("a folder alone") << QStringList{"folder"} << "";
    QTest::newRow("a file and a folder") << QStringList{"a.mkv", "folder"} << "";
    QTest::newRow("a file that is not there") << QStringList{"gone.mkv"} << "";
}

void OpenPathsTest::droppedFiles()
{
    QFETCH(QStringList, names);
    QFETCH(QString, opened);
    QTemporaryDir dir;
    const QDir folder(dir.path());
    for (const QString &name : {QStringLiteral("a.mkv"), QStringLiteral("b.mkv")}) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(folder.mkdir(QStringLiteral("folder")));
    QVERIFY(QFile::link(folder.filePath(QStringLiteral("a.mkv")),
                        folder.filePath(QStringLiteral("link.mkv"))));
    QStringList paths;
    for (const QString &name : names)
        paths << folder.filePath(name);
    QCOMPARE(MediaOpener::singleDroppedFile(paths),
             opened.isEmpty() ? QString() : folder.filePath(opened));
}

void OpenPathsTest::videoDriverByAdapter_data()
{
    // Names as libpci gives them ("vendor device"); the vendor number decides.
    QTest::addColumn<QList<DisplayAdapter>>("adapters");
    QTest::addColumn<int>("item");
    const auto one = [](quint16 vendor, const char *name) {
        return QList<DisplayAdapter>{{vendor, QString::fromLatin1(name)}};
    };
    QTest::newRow("nvidia") << one(0x10de, "NVIDIA Corporation GA106 [GeForce RTX 3060]") << 4;
    QTest::newRow("ati") << one(0x1002, "Advanced Micro Devices, Inc. [AMD/ATI] Navi 23") << 4;
    QTest::newRow("nvidia without a name") << one(0x10de, "Device 2504") << 4;
    QTest::newRow("vmware") << one(0x15ad, "VMware SVGA II Adapter") << 1;
    QTest::newRow("virtualbox") << one(0x80ee,
                                       "InnoTek Systemberatung GmbH VirtualBox Graphics Adapter")
                                << 1;
    QTest::newRow("hyper-v") << one(0x1414, "Microsoft Corporation Hyper-V virtual VGA") << 1;
    // "Corporation" and "Integrated" hold the letters "ati": no reason for OpenGL YUV.
    QTest::newRow("intel") << one(0x8086, "Intel Corporation Alder Lake-P Integrated Graphics")
                           << 5;
    QTest::newRow("a name that says ATI") << one(0x1af4, "Red Hat, Inc. ATI-like Virtio GPU") << 5;
    QTest::newRow("anything else")
        << one(0x1b36, "Red Hat, Inc. QXL paravirtual graphic card") << 5;
    QTest::newRow("two adapters: the last decides")
        << QList<DisplayAdapter>{{0x10de, QStringLiteral("NVIDIA Corporation TU117")},
                                 {0x1af4, QStringLiteral("Red Hat, Inc. Virtio GPU")}}
        << 5;
    QTest::newRow("two adapters: the virtual one last")
        << QList<DisplayAdapter>{{0x8086, QStringLiteral("Intel Corporation UHD Graphics 620")},
                                 {0x80ee, QStringLiteral("InnoTek Systemberatung GmbH VirtualBox")}}
        << 1;
    QTest::newRow("none (a virtual X server)") << QList<DisplayAdapter>{} << 1;
}

void OpenPathsTest::videoDriverByAdapter()
{
    QFETCH(QList<DisplayAdapter>, adapters);
    QFETCH(int, item);
    QCOMPARE(Startup::videoOutputItemFor(adapters), item);
}

void OpenPathsTest::machineDefaults()
{
    FakeSystem system;
    system.adapters = {{0x10de, QStringLiteral("NVIDIA Corporation TU117")},
                       {0x15ad, QStringLiteral("VMware SVGA II")}};
    system.processors = 1;
    system.drives = {{QStringLiteral("/dev/sr0"), QStringLiteral("MY MOVIE disc")},
                     {QStringLiteral("/dev/sr1"), QString()}};
    PlayerCore core(&system);
    QVERIFY(!core.options().checkedItem(Menu::videoOutputMenu));
    QVERIFY(!core.options().checkedItem(Menu::cpuPriorityMenu));
    core.state().setValue(Field::subFontPathField, QStringLiteral("/my/font.ttf"));
    Startup::chooseMachineDefaults(core);

    QCOMPARE(core.state().value(Field::gpuAdapterField), QStringLiteral("VMware SVGA II"));
    QCOMPARE(core.options().checkedItem(Menu::videoOutputMenu).value_or(-1), 1);
    QCOMPARE(core.options().checkedItem(Menu::cpuPriorityMenu).value_or(-1), 4);
    QCOMPARE(core.options().indices(Menu::dvdDriveMenu), QList<int>({0, 1}));
    QCOMPARE(core.options().caption(Menu::dvdDriveMenu, 0), QStringLiteral("/dev/sr0: My Movie Disc"));
    QCOMPARE(core.options().caption(Menu::dvdDriveMenu, 1), QStringLiteral("/dev/sr1: "));
    QVERIFY(core.options().entry(Menu::dvdDriveMenu, 1).enabled);
    QCOMPARE(core.state().value(Field::subFontPathField), QStringLiteral("/my/font.ttf"));

    FakeSystem two;
    two.processors = 2;
    PlayerCore other(&two);
    Startup::chooseMachineDefaults(other);
    QCOMPARE(other.options().checkedItem(Menu::cpuPriorityMenu).value_or(-1), 3);
    QCOMPARE(other.options().caption(Menu::dvdDriveMenu, 0), QStringLiteral("(비어 있음)"));
    QVERIFY(!other.options().entry(Menu::dvdDriveMenu, 0).enabled);
    QCOMPARE(other.state().value(Field::subFontPathField), two.font);
    QCOMPARE(LinuxSystem::drivesFromCdromInfo(QStringLiteral(
                 "CD-ROM information, Id: cdrom.c 3.20 2003/12/17\n\ndrive name:\t\tsr1\tsr0\n"
                 "drive speed:\t\t1\t1\n")),
             QStringList({"/dev/sr0", "/dev/sr1"}));
}

QTEST_GUILESS_MAIN(OpenPathsTest)
#include "tst_openpaths.moc"
