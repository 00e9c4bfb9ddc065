// The keyboard of the main window against the scripted engine, which
// records every command it receives: key presses sent to whichever widget
// has the focus, the lines they send and the state they leave; the DVD
// keys; the size keys; the keys that open and close media; the popup menu;
// shifted symbols from a real X keyboard; and two keys on the real MPlayer.
#include "enginepause.h"
#include "fakesystem.h"
#include "receivedlog.h"
#include "window/bottomtoolbar.h"
#include "window/keyboardinput.h"
#include "window/mainform.h"
#include "window/screenmodes.h"
#include "window/videowindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

namespace {
// An hour long: a seek of ten seconds stays inside it.
const QString longSample = QStringLiteral(SAMPLE_MEDIA_DIR "/long.mkv");
const QByteArray script =
    "ID_VIDEO_WIDTH=640\nID_VIDEO_HEIGHT=360\nID_LENGTH=10.02\nStarting playback...\n";

bool xdotool(const QStringList &arguments)
{
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}
} // namespace

class KeyboardTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void keysSendTheirCommands_data();
    void keysSendTheirCommands();
    void heldKeyRepeats();
    void sizeKeys();
    void openAndCloseKeys_data();
    void openAndCloseKeys();
    void windowKeysAskForTheirWindows();
    void applicationsKeyOpensThePopupMenu();
    void keyReappliesAlwaysOnTop();
    void shiftedSymbolsFromTheXKeyboard();
    void realEnginePausesAndSeeks();

private:
    void play(const QString &path);
    // Sends the key ("Shift+>", "Num+1") to the bar's play button, which
    // has the focus.
    void press(const QString &key, bool autoRepeat = false);
    QStringList received() { return m_log.freshCommands(150); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeSystem> m_system;
    std::unique_ptr<mainform> m_window;
    ReceivedLog m_log;
    QString m_startFolder;
};

void KeyboardTest::init()
{
    m_startFolder = QDir::currentPath();
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("TAVRIN_MPLAYER", FAKE_MPLAYER_PATH);
    QVERIFY(m_log.useScriptedEngine(m_dir->path(), script));
    m_system = std::make_unique<FakeSystem>();
    m_window = std::make_unique<mainform>(m_system.get());
    m_log.follow(&m_window->core());
    m_window->move(100, 100);
    m_window->resize(640, 422);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QVERIFY(m_window->start(QString()));
}

void KeyboardTest::cleanup()
{
    if (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
    if (m_window && m_window->core().isEngineRunning()) {
        m_window->sendCommand(EngineCommand::quit);
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->core().isEngineRunning(), 10000);
    }
    m_window.reset();
    m_system.reset();
    qunsetenv("FAKE_MPLAYER_SCRIPT");
    qunsetenv("FAKE_MPLAYER_LOG");
    qunsetenv("TAVRIN_MPLAYER");
    qunsetenv("ENGINE_TAP_LOG");
    QDir::setCurrent(m_startFolder);
}

void KeyboardTest::play(const QString &path)
{
    PlayerState &state = m_window->core().state();
    state.setValue(Field::mediaPathField, path);
    m_window->launchEngine();
    QVERIFY(m_window->core().isEngineRunning());
    QTRY_COMPARE_WITH_TIMEOUT(state.value(Field::sourceHeightField), QStringLiteral("360"), 10000);
    received();
}

void KeyboardTest::press(const QString &key, bool autoRepeat)
{
    QPushButton *button = m_window->bottomToolbar()->playPauseButton();
    button->setFocus();
    const QKeyCombination combination = QKeySequence::fromString(key)[0];
    if (!autoRepeat) {
        QTest::keyClick(button, combination.key(), combination.keyboardModifiers());
        return;
    }
    QKeyEvent event(QEvent::KeyPress, combination.key(), combination.keyboardModifiers(), QString(),
                    true);
    QApplication::sendEvent(button, &event);
}

void KeyboardTest::keysSendTheirCommands_data()
{
    QTest::addColumn<QString>("medium");   // empty: nothing plays
    QTest::addColumn<QString>("before");   // fields set first, "name=value;…"
    QTest::addColumn<QString>("keys");     // as X delivers them, blank-separated
    QTest::addColumn<QString>("commands"); // "|"-separated
    QTest::addColumn<QString>("after");    // fields expected, "name=value;…"
    const QString clip = QStringLiteral("/media/clip.mkv");
    const QString dvd = QStringLiteral("dvdnav://");
    const QString playing = QStringLiteral("playStateField=재생");
    const QString paused = QStringLiteral("playStateField=일시정지");
    const QString audioDelay = QStringLiteral("pausing_keep_force audio_delay %1 1 ");
    const QString subDelay = QStringLiteral("pausing_keep_force sub_delay %1 1 ");
    const QString volume = QStringLiteral("pausing_keep_force volume %1 1 ");
    // clang-format off
    QTest::newRow("Space twice") << clip << "" << "Space Space" << "pause |pause " << playing;
    QTest::newRow("Shift+Space") << clip << "" << "Shift+Space" << "pause " << paused;
    QTest::newRow("Right") << clip << "" << "Right" << "seek 10 0 " << playing;
    QTest::newRow("Ctrl+Right") << clip << "" << "Ctrl+Right" << "seek 60 0 " << "";
    QTest::newRow("Shift+Left") << clip << "" << "Shift+Left" << "seek -600 0 " << "";
    QTest::newRow("Ctrl+Shift+Left") << clip << "" << "Ctrl+Shift+Left" << "seek -10 0 " << "";
    QTest::newRow("Right stopped") << "" << "" << "Right" << "" << "playStateField=정지";
    QTest::newRow("audio delay") << clip << "" << "Shift+> Shift+> Shift+> Shift+? Shift+<"
        << QStringList{audioDelay.arg("0.1"), audioDelay.arg("0.2"), audioDelay.arg("0.3"),
                       audioDelay.arg("0"), audioDelay.arg("-0.1")}.join('|')
        << "audioDelayField=-0.1;subDelayField=0";
    QTest::newRow("subtitle delay, keypad . nothing") << clip << "" << ". . , / Num+."
        << QStringList{subDelay.arg("0.1"), subDelay.arg("0.2"), subDelay.arg("0.1"),
                       subDelay.arg("0")}.join('|')
        << "subDelayField=0;audioDelayField=0";
    QTest::newRow("speed") << clip << "" << "Z X X C"
        << "pausing_keep_force speed_set 1.0|pausing_keep_force speed_set 0.9 |"
           "pausing_keep_force speed_set 0.8 |pausing_keep_force speed_set 0.9 "
        << "speedField=0.9";
    QTest::newRow("volume and mute") << clip << "" << "Up Up Down M Shift+M"
        << QStringList{volume.arg(55), volume.arg(60), volume.arg(55),
                       "pausing_keep_force mute 1 ", "pausing_keep_force mute 0 "}.join('|')
        << "volumeField=55";
    QTest::newRow("frame step") << clip << "" << "F"
        << "frame_step |pausing_keep_force get_time_pos " << paused;
    QTest::newRow("subtitle step") << clip << "" << "[ ]"
        << "pausing_keep_force sub_step -1 |pausing_keep_force sub_step +1 " << "";
    QTest::newRow("Alt+H twice, H nothing") << clip << "" << "Alt+H H Alt+H"
        << "pausing_keep_force sub_visibility 0 |pausing_keep_force sub_visibility 1 " << "";
    QTest::newRow("P then O") << clip << "" << "P O"
        << "pausing_keep_force sub_scale 3.1 1 |pausing_keep_force sub_scale 3.0 1 "
        << "textSubScaleField=3.0";
    QTest::newRow("O at 0.0") << clip << "useDefaultSubtitleSettingsField=0;assFontScaleField=0.0"
        << "O" << "pausing_keep_force sub_scale 0.0 1 " << "assFontScaleField=0.0";
    QTest::newRow("Ctrl+Space") << clip << "" << "Ctrl+Space" << "stop " << "";
    // A DVD plays: the menu command first, then the general key.
    QTest::newRow("DVD Up") << dvd << "" << "Up" << "dvdnav up |" + volume.arg(55) << playing;
    QTest::newRow("DVD Backspace") << dvd << paused << "Backspace" << "dvdnav prev " << playing;
    QTest::newRow("DVD Enter") << dvd << "" << "Return"
        << "dvdnav select |pausing_keep_force vo_fullscreen 0 "
        << "fullScreenStateField=전체 화면";
    QTest::newRow("DVD Right") << dvd << "" << "Right" << "dvdnav right |seek 10 0 " << playing;
    QTest::newRow("DVD Space twice") << dvd << "" << "Space Space" << "pause |pause " << playing;
    QTest::newRow("DVD paused, unbound key") << dvd << paused << "Q" << "" << paused;
    QTest::newRow("file named dvd…") << "dvd.avi" << "" << "Up" << volume.arg(55) << "";
    // clang-format on
}

void KeyboardTest::keysSendTheirCommands()
{
    QFETCH(QString, medium);
    QFETCH(QString, before);
    QFETCH(QString, keys);
    QFETCH(QString, commands);
    QFETCH(QString, after);
    if (medium == QLatin1String("dvd.avi")) {
        // A file whose name begins with "dvd" is a file, not a disc.
        QFile file(m_dir->filePath(medium));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(QDir::setCurrent(m_dir->path()));
    }
    if (!medium.isEmpty())
        play(medium);
    PlayerState &state = m_window->core().state();
    auto fields = [](const QString &pairs) { return pairs.split(';', Qt::SkipEmptyParts); };
    auto field = [](const QString &pair) {
        return PlayerState::fromName(pair.section(QLatin1Char('='), 0, 0));
    };
    for (const QString &pair : fields(before))
        state.setValue(field(pair), pair.section(QLatin1Char('='), 1));
    for (const QString &key : keys.split(' ', Qt::SkipEmptyParts))
        press(key);
    QCOMPARE(received(), commands.split('|', Qt::SkipEmptyParts));
    for (const QString &pair : fields(after))
        QCOMPARE(state.value(field(pair)), pair.section(QLatin1Char('='), 1));
}

void KeyboardTest::heldKeyRepeats()
{
    play(QStringLiteral("/media/clip.mkv"));
    press("Right");
    press("Right", true);
    press("Right", true);
    QCOMPARE(received(), QStringList(3, QStringLiteral("seek 10 0 ")));
}

void KeyboardTest::sizeKeys()
{
    play(QStringLiteral("/media/clip.mkv"));
    QWidget *picture = m_window->videoWindow();
    QTRY_COMPARE(picture->size(), QSize(640, 360));
    const struct
    {
        const char *key;
        QSize picture;
    } rows[] = {{"1", {320, 180}}, {"Num+2", {320, 180}}, // the keypad does not size
                {"3", {960, 540}}, {"Shift+!", {320, 180}}, {"4", {1280, 720}}, {"2", {640, 360}}};
    for (const auto &row : rows) {
        press(QString::fromLatin1(row.key));
        QTest::qWait(100);
        QTRY_COMPARE(picture->size(), row.picture);
    }
}

void KeyboardTest::openAndCloseKeys_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("asked"); // what the key asks for: "file", "address", none
    QTest::addColumn<bool>("closes");
    // clang-format off
    QTest::newRow("Ctrl+O") << "Ctrl+O" << "file" << false;
    QTest::newRow("F2") << "F2" << "file" << false;
    QTest::newRow("Shift+F2") << "Shift+F2" << "file" << false;
    QTest::newRow("F3") << "F3" << "file" << false;
    QTest::newRow("Ctrl+D") << "Ctrl+D" << "file" << false;
    QTest::newRow("Ctrl+U") << "Ctrl+U" << "address" << false;
    QTest::newRow("O alone") << "O" << "" << false;
    QTest::newRow("F4") << "F4" << "" << true;
    // clang-format on
}

void KeyboardTest::openAndCloseKeys()
{
    QFETCH(QString, key);
    QFETCH(QString, asked);
    QFETCH(bool, closes);
    play(QStringLiteral("/media/clip.mkv"));
    PlayerState &state = m_window->core().state();
    // What was asked for, each with cursorTimerOffField while it was open.
    QStringList asks;
    OpenActions &actions = m_window->openActions();
    actions.chooseFile = [&] {
        asks << "file" + state.value(Field::cursorTimerOffField);
        return QString(); // cancelled
    };
    actions.askAddress = [&] {
        asks << "address" + state.value(Field::cursorTimerOffField);
        return QString();
    };
    press(key);
    QCOMPARE(asks.join(' '), asked.isEmpty() ? QString() : asked + QLatin1Char('1'));
    QCOMPARE(state.value(Field::cursorTimerOffField), QStringLiteral("0"));
    QTRY_COMPARE_WITH_TIMEOUT(m_window->core().isEngineRunning(), !closes, 5000);
    QCOMPARE(state.value(Field::mediaPathField).isEmpty(), closes);
}

void KeyboardTest::windowKeysAskForTheirWindows()
{
    QSignalSpy asked(&m_window->keyboardInput(), &KeyboardInput::showWindowRequested);
    for (const char *key : {"F1", "Ctrl+F1", "Ctrl+V", "V", "Shift+A", "Alt+S", "S"})
        press(QString::fromLatin1(key));
    QList<ToolWindow> windows;
    for (const QList<QVariant> &signal : asked)
        windows << signal.at(0).value<ToolWindow>();
    QCOMPARE(windows,
             (QList<ToolWindow>{ToolWindow::programInfo, ToolWindow::playInfo, ToolWindow::videoEq,
                                ToolWindow::audioEq, ToolWindow::subtitleSettings}));
}

void KeyboardTest::applicationsKeyOpensThePopupMenu()
{
    play(QStringLiteral("/media/clip.mkv"));
    QCursor::setPos(m_window->mapToGlobal(QPoint(200, 150)));
    press("Menu");
    QMenu *menu = m_window->popupMenu();
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(menu->pos(), QCursor::pos());
    // While the menu is open the keys are its own: Space does not pause.
    QTest::keyClick(menu, Qt::Key_Space);
    QTest::keyClick(menu, Qt::Key_Escape);
    QTRY_VERIFY(!menu->isVisible());
    QCOMPARE(received(), QStringList());
    QCOMPARE(m_window->core().state().value(Field::playStateField), PlayState::playing);
}

void KeyboardTest::keyReappliesAlwaysOnTop()
{
    play(QStringLiteral("/media/clip.mkv"));
    m_window->core().options().choose(Menu::alwaysOnTopMenu, 1); // while playing
    QWindow *handle = m_window->windowHandle();
    QVERIFY(handle->flags().testFlag(Qt::WindowStaysOnTopHint));
    // Something else took the window off the top: the next key puts it back.
    handle->setFlag(Qt::WindowStaysOnTopHint, false);
    press("Q");
    QVERIFY(handle->flags().testFlag(Qt::WindowStaysOnTopHint));
    // Paused, the choice wants it off: any key takes it off.
    m_window->core().state().setValue(Field::playStateField, PlayState::paused);
    handle->setFlag(Qt::WindowStaysOnTopHint, true);
    press("Q");
    QVERIFY(!handle->flags().testFlag(Qt::WindowStaysOnTopHint));
}

void KeyboardTest::shiftedSymbolsFromTheXKeyboard()
{
    play(QStringLiteral("/media/clip.mkv"));
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QSignalSpy keys(m_window.get(), &mainform::keyPressed);
    QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("50"),
                     QStringLiteral("shift+period"), QStringLiteral("shift+period"),
                     QStringLiteral("shift+comma"), QStringLiteral("period"),
                     QStringLiteral("shift+slash")}));
    QTRY_COMPARE(keys.count(), 9); // the four Shift presses as well
    QCOMPARE(received(), (QStringList{"pausing_keep_force audio_delay 0.1 1 ",
                                      "pausing_keep_force audio_delay 0.2 1 ",
                                      "pausing_keep_force audio_delay 0.1 1 ",
                                      "pausing_keep_force sub_delay 0.1 1 ",
                                      "pausing_keep_force audio_delay 0 1 "}));
}

void KeyboardTest::realEnginePausesAndSeeks()
{
    if (!QFile::exists(longSample))
        QSKIP("the sample media is made by the build");
    qputenv("TAVRIN_MPLAYER", ENGINE_TAP_PATH);
    qputenv("ENGINE_TAP_LOG", m_dir->filePath(QStringLiteral("tapped")).toLocal8Bit());
    m_log.setPath(m_dir->filePath(QStringLiteral("tapped")));
    m_window->openCommandLineMedia(QStringLiteral("/open \"") + longSample + QLatin1Char('"'));
    PlayerState &state = m_window->core().state();
    QVERIFY(QTest::qWaitFor([&] { return !state.value(Field::infoLabel).isEmpty(); }, 15000));
    auto position = [&] {
        state.setValue(Field::currentSecondsField, QString());
        m_window->sendCommand(EngineCommand::getTimePosKeepPause);
        if (!QTest::qWaitFor([&] { return !state.value(Field::currentSecondsField).isEmpty(); },
                             5000))
            return -1.0;
        return state.value(Field::currentSecondsField).toDouble();
    };
    // Well into the medium, where the position moves with every frame.
    QVERIFY(QTest::qWaitFor(
        [&] { return state.value(Field::currentSecondsField).toDouble() > 1.0; }, 15000));
    press("Space");
    QCOMPARE(state.value(Field::playStateField), PlayState::paused);
    QVERIFY(waitForEnginePause(m_window->core()));
    const double pausedAt = position();
    QTest::qWait(600);
    QCOMPARE(position(), pausedAt);
    // "seek" resumes the engine, as the state says.
    press("Right");
    QCOMPARE(state.value(Field::playStateField), PlayState::playing);
    QVERIFY(QTest::qWaitFor([&] { return position() >= pausedAt + 9.5; }, 10000));
}

QTEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
