// The main window's layout, picture sizes and display modes on a bare X
// display (no window manager), driven against the scripted engine, which
// records every command it receives.
#include "controls/transport.h"
#include "engine/commands.h"
#include "fakesystem.h"
#include "receivedlog.h"
#include "window/bottomtoolbar.h"
#include "window/knobslider.h"
#include "window/mainform.h"
#include "window/pointerinput.h"
#include "window/screenmodes.h"
#include "window/statustoolbar.h"
#include "window/videowindow.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <QWindow>

namespace {
const QString voFullscreen = EngineCommand::voFullscreenOff.trimmed() + QLatin1Char(' ');
const QPoint home(200, 150);

QRect savedRect(const PlayerState &s, Field l, Field t, Field w, Field h)
{
    return QRect(s.value(l).toInt(), s.value(t).toInt(), s.value(w).toInt(), s.value(h).toInt());
}

void wheel(QWidget *over, QPoint angle)
{
    const QPointF at = over->rect().center();
    QWheelEvent event(at, over->mapToGlobal(at), QPoint(), angle, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(over, &event);
}
} // namespace

class ScreenModesTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void layoutFollowsTheWindow_data();
    void layoutFollowsTheWindow();
    void pictureFollowsTheAspectChoice_data();
    void pictureFollowsTheAspectChoice();
    void fullAndFillScreenAndBack();
    void middleClickAndSizeKeysLeaveBorderless();
    void leavingLaysOutWhenNoResizeComes();
    void fullScreenCoversTheWindowsOwnMonitor();
    void windowSizeFactors();
    void wheelIsVolume();
    void alwaysOnTopWhilePlaying();
    void dvdMenusGetThePointer();
    void rightReleaseOverTheBarsOpensThePopup();

private:
    void play(const QString &path = QStringLiteral("/media/clip.mkv"));
    // The commands received since the last look, but the position polls.
    QStringList received() { return m_log.freshCommands(150); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeSystem> m_system;
    std::unique_ptr<mainform> m_window;
    ReceivedLog m_log;
};

void ScreenModesTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("TAVRIN_MPLAYER", FAKE_MPLAYER_PATH);
    QVERIFY(m_log.useScriptedEngine(
        m_dir->path(),
        "ID_VIDEO_WIDTH=640\nID_VIDEO_HEIGHT=360\nID_LENGTH=10.02\nStarting playback...\n"));

    m_system = std::make_unique<FakeSystem>();
    m_window = std::make_unique<mainform>(m_system.get());
    m_log.follow(&m_window->core());
    m_window->move(home);
    m_window->resize(640, 422);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QVERIFY(m_window->start(QString()));
}

void ScreenModesTest::cleanup()
{
    if (m_window && m_window->core().isEngineRunning()) {
        m_window->sendCommand(EngineCommand::quit);
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->core().isEngineRunning(), 5000);
    }
    m_window.reset();
    m_system.reset();
    qunsetenv("FAKE_MPLAYER_SCRIPT");
    qunsetenv("FAKE_MPLAYER_LOG");
    qunsetenv("TAVRIN_MPLAYER");
}

void ScreenModesTest::play(const QString &path)
{
    PlayerState &state = m_window->core().state();
    state.setValue(Field::mediaPathField, path);
    m_window->launchEngine();
    QVERIFY(m_window->core().isEngineRunning());
    QTRY_COMPARE_WITH_TIMEOUT(state.value(Field::sourceHeightField), QStringLiteral("360"), 5000);
    received();
}

void ScreenModesTest::layoutFollowsTheWindow_data()
{
    QTest::addColumn<QSize>("client");
    QTest::addColumn<bool>("minimal");
    QTest::newRow("normal 640x422") << QSize(640, 422) << false;
    QTest::newRow("normal 1000x700") << QSize(1000, 700) << false;
    QTest::newRow("normal at the minimum") << QSize(320, 62) << false;
    QTest::newRow("minimal 800x450") << QSize(800, 450) << true;
}

void ScreenModesTest::layoutFollowsTheWindow()
{
    QFETCH(QSize, client);
    QFETCH(bool, minimal);
    minimal ? m_window->minimalMode() : m_window->normalMode();
    m_window->core().state().setValue(Field::infoLabel,
                                      QStringLiteral("H264 | MP4A, 48000HZ, 2CH"));
    m_window->resize(client);
    QTRY_COMPARE(m_window->size(), client);

    StatusToolbar *status = m_window->statusToolbar();
    BottomToolbar *bottom = m_window->bottomToolbar();
    QCOMPARE(status->isVisible(), !minimal);
    QCOMPARE(bottom->isVisible(), !minimal);
    const QRect frame =
        minimal ? QRect(QPoint(0, 0), client) : QRect(0, 22, client.width(), client.height() - 62);
    QCOMPARE(m_window->videoFrame()->geometry(), frame);
    // Unknown source: the picture fills its frame.
    QCOMPARE(m_window->videoWindow()->geometry(), QRect(QPoint(0, 0), frame.size()));
    // Minimal: the bars come up over the picture, laid out for the window.
    if (minimal)
        m_window->screenModes().setBarsVisible(true);
    QCOMPARE(status->geometry(), QRect(0, 0, client.width(), 22));
    QCOMPARE(bottom->geometry(), QRect(0, client.height() - 40, client.width(), 40));

    // The right parts stay flush right; the status one grows with its text.
    QWidget *bottomRight = bottom->bottomRightToolbar();
    QCOMPARE(bottomRight->geometry().right(), client.width() - 1);
    QWidget *statusRight = status->infoLabel()->parentWidget();
    QCOMPARE(statusRight->geometry().right(), client.width() - 1);
    QCOMPARE(statusRight->width(), status->infoLabel()->width() + 4);
    // The seek panel takes what the right part leaves.
    QWidget *seekPanel = bottom->seekSliderPanel();
    QCOMPARE(seekPanel->width(), qMax(0, client.width() - (200 + bottomRight->width())));

    m_window->setWindowTitle(QStringLiteral("clip.mkv - Tavrin v1.0.53"));
    QCOMPARE(status->nameLabel()->text(), QStringLiteral("clip.mkv"));
    QCOMPARE(m_window->minimumSize(), QSize(320, 62));
}

void ScreenModesTest::pictureFollowsTheAspectChoice_data()
{
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<int>("item");
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<QSize>("picture");
    const QSize frame(700, 500);
    QTest::newRow("source ratio 16:9") << "640"
                                       << "360" << 0 << frame << QSize(700, 392);
    QTest::newRow("source ratio 5:4") << "720"
                                      << "576" << 0 << frame << QSize(624, 500);
    QTest::newRow("4 : 3") << "640"
                           << "360" << 1 << frame << QSize(668, 500);
    QTest::newRow("16 : 9") << "720"
                            << "576" << 2 << frame << QSize(700, 392);
    QTest::newRow("16 : 9 in a square") << "720"
                                        << "576" << 2 << QSize(500, 500) << QSize(500, 280);
    QTest::newRow("1.85 : 1") << "640"
                              << "360" << 3 << frame << QSize(700, 380);
    QTest::newRow("2.35 : 1") << "640"
                              << "360" << 4 << frame << QSize(700, 296);
    QTest::newRow("비율 유지 안 함") << "640"
                                     << "360" << 5 << frame << frame;
    QTest::newRow("source unknown") << ""
                                    << "" << 2 << frame << frame;
}

void ScreenModesTest::pictureFollowsTheAspectChoice()
{
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(int, item);
    QFETCH(QSize, frame);
    QFETCH(QSize, picture);
    PlayerCore &core = m_window->core();
    m_window->minimalMode();
    m_window->resize(frame);
    QTRY_COMPARE(m_window->videoFrame()->size(), frame);
    // Topmost by "사용", so that the stretched picture can be seen to drop it.
    core.options().choose(Menu::alwaysOnTopMenu, 0);
    QCOMPARE(core.state().value(Field::alwaysOnTopFlag), QStringLiteral("1"));
    core.state().setValue(Field::sourceWidthField, width);
    core.state().setValue(Field::sourceHeightField, height);
    core.options().choose(Menu::aspectMenu, item);
    // What the menu's entry and the source-size parse both run.
    m_window->applyAspect();
    const QRect expected(
        QPoint((frame.width() - picture.width()) / 2, (frame.height() - picture.height()) / 2),
        picture);
    QCOMPARE(m_window->videoWindow()->geometry(), expected);
    const bool stretched = item == 5 && !width.isEmpty();
    QCOMPARE(core.state().value(Field::alwaysOnTopFlag),
             stretched ? QStringLiteral("0") : QStringLiteral("1"));
    QCOMPARE(m_window->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint), !stretched);
}

void ScreenModesTest::fullAndFillScreenAndBack()
{
    play();
    m_window->normalMode();
    PlayerState &state = m_window->core().state();
    ScreenModes &modes = m_window->screenModes();
    const QRect window = m_window->geometry();
    const QRect frame = m_window->videoFrame()->geometry();
    const QRect picture = m_window->videoWindow()->geometry();
    const QRect screen = m_window->screen()->geometry();
    const QString caption = m_window->windowTitle();

    // Enter: borderless over the screen, bars gone, hover strip at the bottom.
    m_window->externalFullScreen();
    QCOMPARE(received(), QStringList{voFullscreen});
    QVERIFY(modes.isBorderless());
    QVERIFY(m_window->windowHandle()->flags().testFlag(Qt::FramelessWindowHint));
    QTRY_COMPARE(m_window->geometry(), screen);
    QCOMPARE(state.value(Field::fullScreenStateField), QStringLiteral("전체 화면"));
    QVERIFY(!m_window->statusToolbar()->isVisible());
    QVERIFY(!m_window->bottomToolbar()->isVisible());
    QCOMPARE(modes.hoverZone(), QRect(0, screen.height() - 40, screen.width(), 40));
    QCOMPARE(savedRect(state, Field::F_LEFT, Field::F_TOP, Field::F_WIDTH, Field::F_HEIGHT),
             window);
    QCOMPARE(savedRect(state, Field::PT_LEFT, Field::PT_TOP, Field::PT_WIDTH, Field::PT_HEIGHT),
             frame);
    QCOMPARE(savedRect(state, Field::P_LEFT, Field::P_TOP, Field::P_WIDTH, Field::P_HEIGHT),
             picture);
    QCOMPARE(state.value(Field::P_CAPTION), caption);
    QCOMPARE(m_window->windowTitle(), caption);
    QCOMPARE(m_window->videoFrame()->geometry(), QRect(QPoint(0, 0), screen.size()));
    const QSize keptRatio(screen.width(), 4 * qRound(screen.width() * 9.0 / 16 / 4));
    QCOMPARE(m_window->videoWindow()->size(), keptRatio);

    // The bottom strip brings the bars up over the picture; the picture
    // puts them away again.
    QTest::mouseMove(
        m_window->videoWindow(),
        QPoint(screen.width() / 2, screen.height() - 5 - m_window->videoWindow()->y()));
    QTRY_VERIFY(m_window->bottomToolbar()->isVisible());
    QVERIFY(m_window->statusToolbar()->isVisible());
    QCOMPARE(m_window->videoFrame()->geometry(), QRect(QPoint(0, 0), screen.size()));
    QTest::mouseMove(m_window->videoWindow(), m_window->videoWindow()->rect().center());
    QTRY_VERIFY(!m_window->bottomToolbar()->isVisible());

    // Ctrl+Enter in full screen: fill screen, no border change.
    m_window->externalFillScreen();
    QCOMPARE(received(), QStringList());
    QCOMPARE(state.value(Field::fullScreenStateField), QStringLiteral("꽉찬 화면"));
    QCOMPARE(m_window->videoWindow()->size(), screen.size());
    QVERIFY(modes.isBorderless());

    // Enter in fill screen: full screen again, still no border change.
    m_window->externalFullScreen();
    QCOMPARE(received(), QStringList());
    QCOMPARE(state.value(Field::fullScreenStateField), QStringLiteral("전체 화면"));
    QCOMPARE(m_window->videoWindow()->size(), keptRatio);

    // Enter again: back to the old place and size with the bars.
    m_window->externalFullScreen();
    QCOMPARE(received(), QStringList{voFullscreen});
    QVERIFY(!modes.isBorderless());
    QVERIFY(!m_window->windowHandle()->flags().testFlag(Qt::FramelessWindowHint));
    QTRY_COMPARE(m_window->geometry(), window);
    QCOMPARE(state.value(Field::fullScreenStateField), QString());
    QCOMPARE(m_window->videoFrame()->geometry(), frame);
    QCOMPARE(m_window->videoWindow()->geometry(), picture);
    QVERIFY(m_window->statusToolbar()->isVisible());
    QVERIFY(m_window->bottomToolbar()->isVisible());
    QCOMPARE(modes.hoverZone(), QRect());
    QCOMPARE(m_window->windowTitle(), caption);

    // Ctrl+Enter from the window: fill screen at once, the flag only held
    // while it went over.
    m_window->externalFillScreen();
    QCOMPARE(received(), QStringList{voFullscreen});
    QCOMPARE(state.value(Field::fullScreenStateField), QStringLiteral("꽉찬 화면"));
    QCOMPARE(state.value(Field::fillScreenFlag), QStringLiteral("0"));
    QCOMPARE(m_window->videoWindow()->size(), screen.size());
    m_window->externalFillScreen();
    QCOMPARE(received(), QStringList{voFullscreen});
    QTRY_COMPARE(m_window->geometry(), window);
    QCOMPARE(state.value(Field::fullScreenStateField), QString());
}

void ScreenModesTest::middleClickAndSizeKeysLeaveBorderless()
{
    play();
    ScreenModes &modes = m_window->screenModes();
    PlayerState &state = m_window->core().state();
    m_window->minimalMode();
    const QRect window = m_window->geometry();

    // The middle button over the picture toggles full screen on its release.
    VideoWindow *video = m_window->videoWindow();
    QTest::mousePress(video, Qt::MiddleButton, {}, video->rect().center());
    QVERIFY(!modes.isBorderless());
    QTest::mouseRelease(video, Qt::MiddleButton, {}, video->rect().center());
    QVERIFY(modes.isBorderless());
    QCOMPARE(state.value(Field::mouseButtonKindField), QStringLiteral("4"));

    // The bar choice while borderless only picks the window to return to.
    m_window->normalMode();
    QVERIFY(!m_window->bottomToolbar()->isVisible());
    QVERIFY(modes.isBorderless());
    QCOMPARE(state.value(Field::minimalModeFlag), QStringLiteral("0"));
    QTest::mouseClick(video, Qt::MiddleButton, {}, video->rect().center());
    QVERIFY(!modes.isBorderless());
    QVERIFY(m_window->bottomToolbar()->isVisible());
    QCOMPARE(modes.hoverZone(), QRect());
    QCOMPARE(received(), (QStringList{voFullscreen, voFullscreen}));

    // A size key in fill screen first returns to the window, then sizes it.
    m_window->externalFillScreen();
    QVERIFY(m_window->setWindowSizeFactor(0.5));
    QVERIFY(!modes.isBorderless());
    QTRY_COMPARE(m_window->size(), QSize(320, 180 + 62));
    QCOMPARE(m_window->pos(), window.topLeft());
    QCOMPARE(received(), (QStringList{voFullscreen, voFullscreen}));
}

void ScreenModesTest::leavingLaysOutWhenNoResizeComes()
{
    // A window the size of its screen: leaving full screen gives it no new
    // size, so no resize event lays it out.
    m_window->minimalMode();
    const QRect screen = m_window->screen()->geometry();
    m_window->setGeometry(screen);
    QTRY_COMPARE(m_window->geometry(), screen);
    m_window->toggleFullScreen();
    m_window->normalMode();
    m_window->toggleFullScreen();
    QTRY_COMPARE(m_window->geometry(), screen);
    QCOMPARE(m_window->videoFrame()->geometry(),
             QRect(0, 22, screen.width(), screen.height() - 62));
    QVERIFY(m_window->statusToolbar()->isVisible());
}

void ScreenModesTest::fullScreenCoversTheWindowsOwnMonitor()
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screens.size() < 2)
        QSKIP("needs a display of two monitors (own_display.sh --two-monitors)");
    QScreen *second = screens.at(1);
    m_window->move(second->geometry().topLeft() + QPoint(40, 40));
    QTRY_COMPARE(m_window->screen(), second);
    const QRect window = m_window->geometry();
    m_window->toggleFullScreen();
    QTRY_COMPARE(m_window->geometry(), second->geometry());
    QCOMPARE(m_window->videoFrame()->size(), second->geometry().size());
    m_window->toggleFullScreen();
    QTRY_COMPARE(m_window->geometry(), window);
}

void ScreenModesTest::windowSizeFactors()
{
    // Without a source size the keys do nothing.
    m_window->normalMode();
    const QSize before = m_window->size();
    QVERIFY(!m_window->setWindowSizeFactor(2.0));
    QTest::qWait(50);
    QCOMPARE(m_window->size(), before);

    play();
    const struct
    {
        double factor;
        bool minimal;
        QSize client;
    } rows[] = {{0.5, false, {320, 242}},
                {1.0, false, {640, 422}},
                {1.5, true, {960, 540}},
                {2.0, true, {1280, 720}},
                {1.0, true, {640, 360}}};
    for (const auto &row : rows) {
        row.minimal ? m_window->minimalMode() : m_window->normalMode();
        QVERIFY(m_window->setWindowSizeFactor(row.factor));
        QTRY_COMPARE(m_window->size(), row.client);
        // The picture fills its frame: the window has the source's ratio.
        QCOMPARE(m_window->videoWindow()->size(), m_window->videoFrame()->size());
    }
    // Maximised first goes back to a normal window.
    m_window->showMaximized();
    QVERIFY(m_window->setWindowSizeFactor(0.5));
    QVERIFY(!m_window->isMaximized());
    QTRY_COMPARE(m_window->size(), QSize(320, 180));
}

void ScreenModesTest::wheelIsVolume()
{
    play();
    const PlayerState &state = m_window->core().state();
    wheel(m_window->videoWindow(), QPoint(0, 120));
    QCOMPARE(received(), QStringList{QStringLiteral("pausing_keep_force volume 55 1 ")});
    // Over a bar as well; a horizontal turn is not a volume change.
    m_window->normalMode();
    wheel(m_window->bottomToolbar()->playPauseButton(), QPoint(0, -120));
    wheel(m_window->statusToolbar()->nameLabel(), QPoint(-120, 0));
    wheel(m_window->videoFrame(), QPoint(120, 0));
    QCOMPARE(received(), QStringList{QStringLiteral("pausing_keep_force volume 50 1 ")});
    // A high-resolution wheel's small deltas make one step per notch.
    for (int i = 0; i < 8; ++i)
        wheel(m_window->videoWindow(), QPoint(0, -15));
    QCOMPARE(received(), QStringList{QStringLiteral("pausing_keep_force volume 45 1 ")});
    QCOMPARE(state.value(Field::volumeField), QStringLiteral("45"));
}

void ScreenModesTest::alwaysOnTopWhilePlaying()
{
    PlayerCore &core = m_window->core();
    const PlayerState &state = core.state();
    auto onTop = [&] {
        return m_window->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
    };
    // "재생시만 사용" is the default: on top exactly while playing.
    QCOMPARE(core.options().checkedItem(Menu::alwaysOnTopMenu), std::optional<int>(1));
    QVERIFY(!onTop());
    play();
    QVERIFY(onTop());
    QCOMPARE(state.value(Field::alwaysOnTopFlag), QStringLiteral("1"));
    m_window->transport().pause();
    QVERIFY(!onTop());
    QCOMPARE(state.value(Field::alwaysOnTopFlag), QStringLiteral("0"));
    m_window->transport().play();
    QVERIFY(onTop());
    // A stretched picture takes it off, but only while playing holds.
    core.options().choose(Menu::aspectMenu, 5);
    m_window->applyAspect();
    QVERIFY(onTop());
    core.options().choose(Menu::aspectMenu, 0);
    // Full screen takes it off, and coming back puts it on again.
    m_window->toggleFullScreen();
    QVERIFY(!onTop());
    m_window->toggleFullScreen();
    QVERIFY(onTop());
    // "사용 안 함" at once, and playing does not change it.
    core.options().choose(Menu::alwaysOnTopMenu, 2);
    QVERIFY(!onTop());
    m_window->transport().pause();
    m_window->transport().play();
    QVERIFY(!onTop());
    core.options().choose(Menu::alwaysOnTopMenu, 0);
    QVERIFY(onTop());
    core.options().choose(Menu::alwaysOnTopMenu, 1);
    m_window->sendCommand(EngineCommand::quit);
    QTRY_VERIFY(!core.isEngineRunning());
    QVERIFY(!onTop());
    QCOMPARE(state.value(Field::alwaysOnTopFlag), QStringLiteral("0"));
}

void ScreenModesTest::dvdMenusGetThePointer()
{
    play(QStringLiteral("dvdnav:// -dvd-device /dev/sr0"));
    PlayerState &state = m_window->core().state();
    m_window->transport().pause();
    received();
    VideoWindow *video = m_window->videoWindow();
    QTest::mouseMove(video, QPoint(10, 20));
    QTRY_VERIFY(m_log.all().contains(QStringLiteral("set_mouse_pos 10 20 \r\n")));
    QTest::mousePress(video, Qt::LeftButton, {}, QPoint(10, 20));
    QTest::mouseRelease(video, Qt::LeftButton, {}, QPoint(10, 20));
    QTRY_VERIFY(m_log.all().contains(QStringLiteral("dvdnav mouse \r\n")));
    QCOMPARE(state.value(Field::playStateField), PlayState::playing);
    // The frame around the picture is no menu.
    received();
    m_window->resize(m_window->width() + 200, m_window->height());
    QTRY_VERIFY(video->x() > 0);
    QTest::mousePress(m_window->videoFrame(), Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseRelease(m_window->videoFrame(), Qt::LeftButton, {}, QPoint(2, 2));
    const QStringList lines = received();
    QVERIFY2(!lines.contains(QStringLiteral("dvdnav mouse ")), qPrintable(lines.join(u'|')));
}

void ScreenModesTest::rightReleaseOverTheBarsOpensThePopup()
{
    m_window->normalMode();
    m_window->resize(900, 422);
    m_window->core().state().setValue(Field::infoLabel, QStringLiteral("H264 | MP4A"));
    m_window->setWindowTitle(QStringLiteral("clip.mkv - Tavrin v1.0.53"));
    StatusToolbar *status = m_window->statusToolbar();
    BottomToolbar *bottom = m_window->bottomToolbar();
    QMenu *popup = m_window->popupMenu();
    const struct
    {
        const char *name;
        QWidget *widget;
        QPoint at;
        bool opens;
    } rows[] = {
        {"name label", status->nameLabel(), {2, 2}, true},
        {"info label", status->infoLabel(), {2, 2}, true},
        {"status bar", status, {status->width() / 2, 5}, true},
        {"bottom right part", bottom->bottomRightToolbar(), {1, 1}, true},
        {"bottom bar", bottom, {198, 20}, true},
        {"play button", bottom->playPauseButton(), {5, 5}, false},
        {"stop button", bottom->stopButton(), {5, 5}, false},
        {"left button on the status bar", status, {status->width() / 2, 5}, false},
    };
    for (const auto &row : rows) {
        const Qt::MouseButton button =
            QByteArray(row.name).startsWith("left") ? Qt::LeftButton : Qt::RightButton;
        QTest::mouseClick(row.widget, button, {}, row.at);
        QTest::qWait(50);
        QVERIFY2(popup->isVisible() == row.opens, row.name);
        popup->close();
        QTRY_VERIFY(!popup->isVisible());
    }
}

QTEST_MAIN(ScreenModesTest)
#include "tst_screenmodes.moc"
