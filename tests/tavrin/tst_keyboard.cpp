// The keyboard of the main window against the scripted engine, which
// records every command it receives: key presses sent to whichever widget
// has the focus, the lines they send and the state they leave; the DVD
// keys; the size keys; the keys that open and close media; the popup menu;
// shifted symbols from a real X keyboard; and two keys on the real MPlayer.
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

int combined(Qt::KeyboardModifiers modifiers, Qt::Key key)
{
    return QKeyCombination(modifiers, key).toCombined();
}

int plain(Qt::Key key)
{
    return QKeyCombination(key).toCombined();
}

const Qt::KeyboardModifiers shift(Qt::ShiftModifier);
const Qt::KeyboardModifiers ctrl(Qt::ControlModifier);
const Qt::KeyboardModifiers alt(Qt::AltModifier);
const Qt::KeyboardModifiers keypad(Qt::KeypadModifier);

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
    void applicationsKeyOpensThePopupMenu();
    void keyReappliesAlwaysOnTop();
    void shiftedSymbolsFromTheXKeyboard();
    void realEnginePausesAndSeeks();

private:
    void play(const QString &path);
    // Sends the key to the bar's play button, which has the focus.
    void press(int key, bool autoRepeat = false);
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

void KeyboardTest::press(int key, bool autoRepeat)
{
    QPushButton *button = m_window->bottomToolbar()->playPauseButton();
    button->setFocus();
    const QKeyCombination combination = QKeyCombination::fromCombined(key);
    if (!autoRepeat) {
        QTest::keyClick(button, combination.key(), combination.keyboardModifiers());
        return;
    }
    QKeyEvent event(QEvent::KeyPress, combination.key(), combination.keyboardModifiers(),
                    QString(), true);
    QApplication::sendEvent(button, &event);
}

void KeyboardTest::keysSendTheirCommands_data()
{
    QTest::addColumn<QString>("medium"); // empty: nothing plays
    QTest::addColumn<QStringList>("before"); // fields set first, "name=value"
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QStringList>("after"); // fields expected, "name=value"

    const QString clip = QStringLiteral("/media/clip.mkv");
    const QString dvd = QStringLiteral("dvdnav://");
    const QString playing = QStringLiteral("playStateField=재생");
    const QString paused = QStringLiteral("playStateField=일시정지");
    QTest::newRow("Space twice")
        << clip << QStringList() << QList<int>{plain(Qt::Key_Space), plain(Qt::Key_Space)}
        << QStringList{"pause ", "pause "} << QStringList{playing};
    QTest::newRow("Shift+Space toggles")
        << clip << QStringList() << QList<int>{combined(shift, Qt::Key_Space)}
        << QStringList{"pause "} << QStringList{paused};
    QTest::newRow("Right") << clip << QStringList() << QList<int>{plain(Qt::Key_Right)}
                           << QStringList{"seek 10 0 "} << QStringList{playing};
    QTest::newRow("Ctrl+Right") << clip << QStringList()
                                << QList<int>{combined(ctrl, Qt::Key_Right)}
                                << QStringList{"seek 60 0 "} << QStringList();
    QTest::newRow("Shift+Left") << clip << QStringList()
                                << QList<int>{combined(shift, Qt::Key_Left)}
                                << QStringList{"seek -600 0 "} << QStringList();
    QTest::newRow("Ctrl+Shift+Left")
        << clip << QStringList() << QList<int>{combined(ctrl | shift, Qt::Key_Left)}
        << QStringList{"seek -10 0 "} << QStringList();
    QTest::newRow("Right while stopped") << QString() << QStringList()
                                         << QList<int>{plain(Qt::Key_Right)} << QStringList()
                                         << QStringList{"playStateField=정지"};
    QTest::newRow("audio delay")
        << clip << QStringList()
        << QList<int>{combined(shift, Qt::Key_Greater), combined(shift, Qt::Key_Greater),
                      combined(shift, Qt::Key_Greater), combined(shift, Qt::Key_Question),
                      combined(shift, Qt::Key_Less)}
        << QStringList{"pausing_keep_force audio_delay 0.1 1 ",
                       "pausing_keep_force audio_delay 0.2 1 ",
                       "pausing_keep_force audio_delay 0.3 1 ",
                       "pausing_keep_force audio_delay 0 1 ",
                       "pausing_keep_force audio_delay -0.1 1 "}
        << QStringList{"audioDelayField=-0.1", "subDelayField=0"};
    QTest::newRow("subtitle delay")
        << clip << QStringList()
        << QList<int>{plain(Qt::Key_Period), plain(Qt::Key_Period), plain(Qt::Key_Comma),
                      plain(Qt::Key_Slash), combined(keypad, Qt::Key_Period)}
        << QStringList{"pausing_keep_force sub_delay 0.1 1 ", "pausing_keep_force sub_delay 0.2 1 ",
                       "pausing_keep_force sub_delay 0.1 1 ", "pausing_keep_force sub_delay 0 1 "}
        << QStringList{"subDelayField=0", "audioDelayField=0"};
    QTest::newRow("speed")
        << clip << QStringList()
        << QList<int>{plain(Qt::Key_Z), plain(Qt::Key_X), plain(Qt::Key_X), plain(Qt::Key_C)}
        << QStringList{"pausing_keep_force speed_set 1.0", "pausing_keep_force speed_set 0.9 ",
                       "pausing_keep_force speed_set 0.8 ", "pausing_keep_force speed_set 0.9 "}
        << QStringList{"speedField=0.9"};
    QTest::newRow("volume and mute")
        << clip << QStringList()
        << QList<int>{plain(Qt::Key_Up), plain(Qt::Key_Up), plain(Qt::Key_Down),
                      plain(Qt::Key_M), combined(shift, Qt::Key_M)}
        << QStringList{"pausing_keep_force volume 55 1 ", "pausing_keep_force volume 60 1 ",
                       "pausing_keep_force volume 55 1 ", "pausing_keep_force mute 1 ",
                       "pausing_keep_force mute 0 "}
        << QStringList{"volumeField=55"};
    QTest::newRow("frame step") << clip << QStringList() << QList<int>{plain(Qt::Key_F)}
                                << QStringList{"frame_step ", "pausing_keep_force get_time_pos "}
                                << QStringList{paused};
    QTest::newRow("subtitle step")
        << clip << QStringList()
        << QList<int>{plain(Qt::Key_BracketLeft), plain(Qt::Key_BracketRight)}
        << QStringList{"pausing_keep_force sub_step -1 ", "pausing_keep_force sub_step +1 "}
        << QStringList();
    QTest::newRow("Alt+H twice, H alone nothing")
        << clip << QStringList()
        << QList<int>{combined(alt, Qt::Key_H), plain(Qt::Key_H), combined(alt, Qt::Key_H)}
        << QStringList{"pausing_keep_force sub_visibility 0 ",
                       "pausing_keep_force sub_visibility 1 "}
        << QStringList();
    QTest::newRow("P then O") << clip << QStringList()
                              << QList<int>{plain(Qt::Key_P), plain(Qt::Key_O)}
                              << QStringList{"pausing_keep_force sub_scale 3.1 1 ",
                                             "pausing_keep_force sub_scale 3.0 1 "}
                              << QStringList{"textSubScaleField=3.0"};
    QTest::newRow("O at 0.0 sends 0.0 again")
        << clip
        << QStringList{"useDefaultSubtitleSettingsField=0", "assFontScaleField=0.0"}
        << QList<int>{plain(Qt::Key_O)}
        << QStringList{"pausing_keep_force sub_scale 0.0 1 "}
        << QStringList{"assFontScaleField=0.0"};
    QTest::newRow("Ctrl+Space stops") << clip << QStringList()
                                      << QList<int>{combined(ctrl, Qt::Key_Space)}
                                      << QStringList{"stop "} << QStringList();

    // A DVD plays: the menu command first, then the general key.
    QTest::newRow("DVD Up") << dvd << QStringList() << QList<int>{plain(Qt::Key_Up)}
                            << QStringList{"dvdnav up ", "pausing_keep_force volume 55 1 "}
                            << QStringList{playing};
    QTest::newRow("DVD Backspace") << dvd << QStringList{paused}
                                   << QList<int>{plain(Qt::Key_Backspace)}
                                   << QStringList{"dvdnav prev "} << QStringList{playing};
    QTest::newRow("DVD Enter") << dvd << QStringList() << QList<int>{plain(Qt::Key_Return)}
                               << QStringList{"dvdnav select ",
                                              "pausing_keep_force vo_fullscreen 0 "}
                               << QStringList{"fullScreenStateField=전체 화면"};
    QTest::newRow("DVD Right jumps too")
        << dvd << QStringList() << QList<int>{plain(Qt::Key_Right)}
        << QStringList{"dvdnav right ", "seek 10 0 "} << QStringList{playing};
    QTest::newRow("DVD Space twice")
        << dvd << QStringList() << QList<int>{plain(Qt::Key_Space), plain(Qt::Key_Space)}
        << QStringList{"pause ", "pause "} << QStringList{playing};
    QTest::newRow("DVD paused, unbound key")
        << dvd << QStringList{paused} << QList<int>{plain(Qt::Key_Q)} << QStringList()
        << QStringList{paused};
    QTest::newRow("file named dvd…")
        << QString("dvd.avi") << QStringList() << QList<int>{plain(Qt::Key_Up)}
        << QStringList{"pausing_keep_force volume 55 1 "} << QStringList();
}

void KeyboardTest::keysSendTheirCommands()
{
    QFETCH(QString, medium);
    QFETCH(QStringList, before);
    QFETCH(QList<int>, keys);
    QFETCH(QStringList, commands);
    QFETCH(QStringList, after);

    if (medium == QLatin1String("dvd.avi")) {
        // A file whose name begins with "dvd" is a file, not a disc.
        QFile file(m_dir->filePath(medium));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(QDir::setCurrent(m_dir->path()));
    }
    if (!medium.isEmpty())
        play(medium);
    PlayerState &state = m_window->core().state();
    for (const QString &pair : before)
        state.setValue(PlayerState::fromName(pair.section(QLatin1Char('='), 0, 0)),
                       pair.section(QLatin1Char('='), 1));
    for (int key : keys)
        press(key);
    QCOMPARE(received(), commands);
    for (const QString &pair : after)
        QCOMPARE(state.value(PlayerState::fromName(pair.section(QLatin1Char('='), 0, 0))),
                 pair.section(QLatin1Char('='), 1));
}

void KeyboardTest::heldKeyRepeats()
{
    play(QStringLiteral("/media/clip.mkv"));
    press(plain(Qt::Key_Right));
    press(plain(Qt::Key_Right), true);
    press(plain(Qt::Key_Right), true);
    QCOMPARE(received(), QStringList(3, QStringLiteral("seek 10 0 ")));
}

void KeyboardTest::sizeKeys()
{
    play(QStringLiteral("/media/clip.mkv"));
    QWidget *picture = m_window->videoWindow();
    QTRY_COMPARE(picture->size(), QSize(640, 360));
    const struct
    {
        int key;
        QSize picture;
    } rows[] = {{plain(Qt::Key_1), {320, 180}},
                {combined(keypad, Qt::Key_2), {320, 180}}, // the keypad does not size
                {plain(Qt::Key_3), {960, 540}},
                {combined(shift, Qt::Key_Exclam), {320, 180}},
                {plain(Qt::Key_4), {1280, 720}},
                {plain(Qt::Key_2), {640, 360}}};
    for (const auto &row : rows) {
        press(row.key);
        QTest::qWait(100);
        QTRY_COMPARE(picture->size(), row.picture);
    }
}

void KeyboardTest::openAndCloseKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("fileDialogs");
    QTest::addColumn<int>("addressWindows");
    QTest::addColumn<bool>("closes");
    QTest::newRow("Ctrl+O") << combined(ctrl, Qt::Key_O) << 1 << 0 << false;
    QTest::newRow("F2") << plain(Qt::Key_F2) << 1 << 0 << false;
    QTest::newRow("Shift+F2") << combined(shift, Qt::Key_F2) << 1 << 0 << false;
    QTest::newRow("F3") << plain(Qt::Key_F3) << 1 << 0 << false;
    QTest::newRow("Ctrl+D") << combined(ctrl, Qt::Key_D) << 1 << 0 << false;
    QTest::newRow("Ctrl+U") << combined(ctrl, Qt::Key_U) << 0 << 1 << false;
    QTest::newRow("O alone") << plain(Qt::Key_O) << 0 << 0 << false;
    QTest::newRow("F4") << plain(Qt::Key_F4) << 0 << 0 << true;
}

void KeyboardTest::openAndCloseKeys()
{
    QFETCH(int, key);
    QFETCH(int, fileDialogs);
    QFETCH(int, addressWindows);
    QFETCH(bool, closes);
    play(QStringLiteral("/media/clip.mkv"));
    PlayerState &state = m_window->core().state();
    QStringList timerOff; // cursorTimerOffField while each dialog is open
    int files = 0;
    int addresses = 0;
    OpenActions &actions = m_window->openActions();
    actions.chooseFile = [&] {
        ++files;
        timerOff << state.value(Field::cursorTimerOffField);
        return QString(); // cancelled
    };
    actions.askAddress = [&] {
        ++addresses;
        timerOff << state.value(Field::cursorTimerOffField);
        return QString();
    };
    press(key);
    QCOMPARE(files, fileDialogs);
    QCOMPARE(addresses, addressWindows);
    QCOMPARE(timerOff, QStringList(fileDialogs + addressWindows, QStringLiteral("1")));
    QCOMPARE(state.value(Field::cursorTimerOffField), QStringLiteral("0"));
    QTRY_COMPARE_WITH_TIMEOUT(m_window->core().isEngineRunning(), !closes, 5000);
    QCOMPARE(state.value(Field::mediaPathField).isEmpty(), closes);
    QCOMPARE(m_window->windowTitle(), closes ? QStringLiteral("Tavrin v1.0.53")
                                             : m_window->windowTitle());
}

void KeyboardTest::applicationsKeyOpensThePopupMenu()
{
    play(QStringLiteral("/media/clip.mkv"));
    QCursor::setPos(m_window->mapToGlobal(QPoint(200, 150)));
    press(plain(Qt::Key_Menu));
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
    press(plain(Qt::Key_Q));
    QVERIFY(handle->flags().testFlag(Qt::WindowStaysOnTopHint));
    // Paused, the choice wants it off: any key takes it off.
    m_window->core().state().setValue(Field::playStateField, PlayState::paused);
    handle->setFlag(Qt::WindowStaysOnTopHint, true);
    press(plain(Qt::Key_Q));
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
    press(plain(Qt::Key_Space));
    QCOMPARE(state.value(Field::playStateField), PlayState::paused);
    const double pausedAt = position();
    QTest::qWait(600);
    QCOMPARE(position(), pausedAt);
    // "seek" resumes the engine, as the state says.
    press(plain(Qt::Key_Right));
    QCOMPARE(state.value(Field::playStateField), PlayState::playing);
    QVERIFY(QTest::qWaitFor([&] { return position() >= pausedAt + 9.5; }, 10000));
}

QTEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
