// The main window under a window manager (openbox), with the real pointer
// (xdotool) and the window manager's view of it (xprop): minimum size,
// always-on-top, full screen, dragging by the picture, double-clicks, the
// pointer hidden while it rests in full screen, and the real engine still
// drawing after every mode change. The drag also runs on a bare display,
// where the window moves itself.
#include "engine/commands.h"
#include "fakesystem.h"
#include "picturecheck.h"
#include "receivedlog.h"
#include "window/bottomtoolbar.h"
#include "window/mainform.h"
#include "window/pointerinput.h"
#include "window/screenmodes.h"
#include "window/videowindow.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

namespace {
const QString sample = QStringLiteral(SAMPLE_MEDIA_DIR "/sample.mkv");

QString run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(5000) || p.exitCode() != 0)
        return QStringLiteral("(%1 failed)").arg(program);
    return QString::fromUtf8(p.readAllStandardOutput());
}

void xdotool(const QStringList &arguments)
{
    run(QStringLiteral("xdotool"), arguments);
}

void pointerTo(QPoint global)
{
    xdotool(
        {QStringLiteral("mousemove"), QString::number(global.x()), QString::number(global.y())});
}

QString windowState(QWidget *w)
{
    return run(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(w->winId()),
                                         QStringLiteral("_NET_WM_STATE")});
}

bool windowManagerRuns()
{
    return run(QStringLiteral("xprop"),
               {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
        .contains(QStringLiteral("window id"));
}

// Waits until Qt knows the frame the window manager put around the window.
// A widget takes the frame's extents in only when its window moves or
// changes size; when the window manager set them after the last such change
// the widget goes on without a frame. Once the window manager has set them,
// a size changed there and back makes the widget read them.
bool waitForFrame(QWidget *w)
{
    const QSize size = w->size();
    QElapsedTimer nudged;
    return QTest::qWaitFor(
        [&] {
            if (w->frameGeometry().top() < w->geometry().top() && w->size() == size)
                return true;
            if (nudged.isValid() && nudged.elapsed() < 2000)
                return false;
            if (run(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(w->winId()),
                                              QStringLiteral("_NET_FRAME_EXTENTS")})
                    .contains(QLatin1Char('='))) {
                w->resize(size + QSize(1, 0));
                w->resize(size);
                nudged.start();
            }
            return false;
        },
        30000);
}

// Whether the pointer shows nothing: every pixel of its image transparent.
bool cursorBlank()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    XFixesCursorImage *image = XFixesGetCursorImage(x11->display());
    if (!image)
        return false;
    bool blank = true;
    for (int i = 0; i < image->width * image->height && blank; ++i)
        blank = (image->pixels[i] >> 24) == 0;
    XFree(image);
    return blank;
}

} // namespace

class WindowPointerTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void minimumSizeForTheWindowManager();
    void onTopWhilePlayingAndFullScreenState();
    void dragMovesTheWindowByThePicture();
    void doubleClickPausesOnlyOnThePicture();
    void pointerHidesWhileItRestsInFullScreen();
    void realEngineKeepsDrawingThroughTheModes();
    void wheelNotchesOfTheRealPointer();
    void fullScreenFromMaximisedReturnsToTheNormalWindow();

private:
    void playFake();
    QStringList received() { return m_log.freshCommands(200); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeSystem> m_system;
    std::unique_ptr<mainform> m_window;
    ReceivedLog m_log;
};

void WindowPointerTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_log.useScriptedEngine(
        m_dir->path(),
        "ID_VIDEO_WIDTH=640\nID_VIDEO_HEIGHT=360\nID_LENGTH=10.02\nStarting playback...\n"));
    m_system = std::make_unique<FakeSystem>();
    m_system->font = QStringLiteral(KOREAN_FONT);
    m_window = std::make_unique<mainform>(m_system.get());
    m_log.follow(&m_window->core());
    m_window->move(200, 150);
    m_window->resize(640, 360);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QVERIFY(m_window->start(QString()));
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    // The frame's extents may reach Qt after the window is active; a place
    // taken before then is the client's, which the tests would see as a move.
    if (windowManagerRuns())
        QVERIFY2(waitForFrame(m_window.get()), "Qt never learnt the window manager's frame");
}

void WindowPointerTest::cleanup()
{
    if (m_window && m_window->core().isEngineRunning()) {
        m_window->sendCommand(EngineCommand::quit);
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->core().isEngineRunning(), 5000);
    }
    m_window.reset();
    m_system.reset();
    qunsetenv("TAVRIN_MPLAYER");
    qunsetenv("FAKE_MPLAYER_SCRIPT");
    qunsetenv("FAKE_MPLAYER_LOG");
}

void WindowPointerTest::playFake()
{
    qputenv("TAVRIN_MPLAYER", FAKE_MPLAYER_PATH);
    PlayerState &state = m_window->core().state();
    state.setValue(Field::mediaPathField, QStringLiteral("/media/clip.mkv"));
    m_window->launchEngine();
    QTRY_COMPARE_WITH_TIMEOUT(state.value(Field::sourceHeightField), QStringLiteral("360"), 5000);
    received();
}

void WindowPointerTest::minimumSizeForTheWindowManager()
{
    if (!windowManagerRuns())
        QSKIP("needs a window manager (own_display.sh --openbox)");
    const QString hints =
        run(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(m_window->winId()),
                                      QStringLiteral("WM_NORMAL_HINTS")});
    QVERIFY2(hints.contains(QStringLiteral("program specified minimum size: 320 by 62")),
             qPrintable(hints));
    // Asked through the window manager for less, the window keeps the least.
    xdotool({QStringLiteral("windowsize"), QString::number(m_window->winId()),
             QStringLiteral("100"), QStringLiteral("20")});
    QTest::qWait(300);
    QVERIFY2(m_window->width() >= 320 && m_window->height() >= 62,
             qPrintable(QStringLiteral("%1x%2").arg(m_window->width()).arg(m_window->height())));
}

void WindowPointerTest::onTopWhilePlayingAndFullScreenState()
{
    if (!windowManagerRuns())
        QSKIP("needs a window manager (own_display.sh --openbox)");
    const QString above = QStringLiteral("_NET_WM_STATE_ABOVE");
    const QString full = QStringLiteral("_NET_WM_STATE_FULLSCREEN");
    QVERIFY(!windowState(m_window.get()).contains(above));
    playFake();
    const QRect window = m_window->geometry();
    QTRY_VERIFY(windowState(m_window.get()).contains(above));

    m_window->externalFullScreen();
    QTRY_VERIFY(windowState(m_window.get()).contains(full));
    QVERIFY(!windowState(m_window.get()).contains(above));
    // The inside, not the widget's frame: openbox drops the border after it
    // has configured the window, and Qt reads the border again only on a move.
    QTRY_COMPARE(m_window->geometry(), m_window->screen()->geometry());
    m_window->externalFillScreen();
    m_window->externalFillScreen();
    QTRY_VERIFY(!windowState(m_window.get()).contains(full));
    QTRY_VERIFY(windowState(m_window.get()).contains(above));
    // Back where it was, as big as it was.
    QTRY_COMPARE(m_window->geometry(), window);

    m_window->sendCommand(EngineCommand::quit);
    QTRY_VERIFY(!m_window->core().isEngineRunning());
    QTRY_VERIFY(!windowState(m_window.get()).contains(above));
}

void WindowPointerTest::dragMovesTheWindowByThePicture()
{
    playFake();
    const QPoint before = m_window->frameGeometry().topLeft();
    VideoWindow *video = m_window->videoWindow();
    const QPoint start = video->mapToGlobal(video->rect().center());
    pointerTo(start);
    xdotool({QStringLiteral("mousedown"), QStringLiteral("1")});
    // In steps, as a hand moves: first past the drag distance, where the
    // window follows and the window manager takes over, then on. (The window
    // manager tells where the window went when the move ends.)
    pointerTo(start + QPoint(20, 10));
    QTRY_COMPARE(m_window->frameGeometry().topLeft(), before + QPoint(20, 10));
    QTest::qWait(300);
    for (const QPoint step : {QPoint(60, 30), QPoint(100, 50)}) {
        pointerTo(start + step);
        QTest::qWait(150);
    }
    // A window manager slowed down by a loaded machine may still be on an
    // earlier motion: a last one to the same place before letting go.
    pointerTo(start + QPoint(99, 50));
    pointerTo(start + QPoint(100, 50));
    QTest::qWait(300);
    xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
    QTRY_COMPARE(m_window->frameGeometry().topLeft(), before + QPoint(100, 50));
    QTest::qWait(200);
    QCOMPARE(m_window->frameGeometry().topLeft(), before + QPoint(100, 50));
    QCOMPARE(received(), QStringList());
    QCOMPARE(m_window->core().state().value(Field::playStateField), PlayState::playing);
}

void WindowPointerTest::doubleClickPausesOnlyOnThePicture()
{
    playFake();
    // Wider than the picture's ratio: a black border on both sides.
    m_window->resize(900, 360);
    QTRY_VERIFY(m_window->videoWindow()->x() > 100);
    const QPoint before = m_window->frameGeometry().topLeft();
    VideoWindow *video = m_window->videoWindow();
    const QStringList doubleClick = {QStringLiteral("click"), QStringLiteral("--repeat"),
                                     QStringLiteral("2"),     QStringLiteral("--delay"),
                                     QStringLiteral("80"),    QStringLiteral("1")};

    pointerTo(m_window->videoFrame()->mapToGlobal(QPoint(20, 180)));
    xdotool(doubleClick);
    QCOMPARE(received(), QStringList());
    QCOMPARE(m_window->core().state().value(Field::mouseButtonKindField), QString());

    pointerTo(video->mapToGlobal(video->rect().center()));
    xdotool(doubleClick);
    QCOMPARE(received(), QStringList{EngineCommand::pause});
    QCOMPARE(m_window->core().state().value(Field::playStateField), PlayState::paused);
    QCOMPARE(m_window->frameGeometry().topLeft(), before);
}

void WindowPointerTest::pointerHidesWhileItRestsInFullScreen()
{
    playFake();
    PointerInput &pointer = m_window->pointerInput();
    m_window->toggleFullScreen();
    QTRY_COMPARE(m_window->geometry(), m_window->screen()->geometry());
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    const QPoint middle = m_window->screen()->geometry().center();
    pointerTo(middle);
    pointerTo(middle + QPoint(5, 0));
    QTRY_VERIFY_WITH_TIMEOUT(pointer.isMouseHidden(), 10000);
    QTRY_VERIFY(cursorBlank());
    QVERIFY(pointer.cursorTimer.isActive());

    // Up and down only: it stays hidden.
    pointerTo(middle + QPoint(5, 60));
    QTest::qWait(300);
    QVERIFY(cursorBlank());
    // Sideways: back within a tick or so.
    pointerTo(middle + QPoint(40, 60));
    QTRY_VERIFY_WITH_TIMEOUT(!cursorBlank(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(cursorBlank(), 10000);

    // Suspended (an open dialog): shown, and the hiding stops.
    m_window->core().state().setValue(Field::cursorTimerOffField, QStringLiteral("1"));
    QTRY_VERIFY_WITH_TIMEOUT(!pointer.isMouseHidden(), 5000);
    QVERIFY(!pointer.cursorTimer.isActive());
    m_window->core().state().setValue(Field::cursorTimerOffField, QStringLiteral("0"));
    pointerTo(middle + QPoint(60, 60));
    QTRY_VERIFY_WITH_TIMEOUT(cursorBlank(), 10000);

    // The right button shows it at once, with the popup menu.
    xdotool({QStringLiteral("click"), QStringLiteral("3")});
    QTRY_VERIFY(m_window->popupMenu()->isVisible());
    QVERIFY(!pointer.isMouseHidden());
    QVERIFY(!pointer.cursorTimer.isActive());
    m_window->popupMenu()->close();
    QTRY_VERIFY(!cursorBlank());

    // Back in the window the pointer never hides.
    m_window->toggleFullScreen();
    QVERIFY(!pointer.cursorTimer.isActive());
    QVERIFY(!pointer.isMouseHidden());
}

void WindowPointerTest::realEngineKeepsDrawingThroughTheModes()
{
    if (!QFile::exists(sample))
        QSKIP("the sample media is made by the build");
    qunsetenv("TAVRIN_MPLAYER");
    m_window->normalMode();
    m_window->openCommandLineMedia(QStringLiteral("/open \"") + sample + QLatin1Char('"'));
    PlayerState &state = m_window->core().state();
    QTRY_VERIFY_WITH_TIMEOUT(state.value(Field::currentSecondsField).toDouble() > 1.0, 15000);
    VideoWindow *video = m_window->videoWindow();
    QTRY_VERIFY_WITH_TIMEOUT(pictureMoves(video), 5000);
    m_window->screen()->grabWindow(0).save(QStringLiteral("tavrin-normal.png"));

    m_window->externalFullScreen();
    QTRY_COMPARE(video->width(), m_window->screen()->geometry().width());
    QTRY_VERIFY_WITH_TIMEOUT(pictureMoves(video), 5000);
    m_window->screen()->grabWindow(0).save(QStringLiteral("tavrin-full-screen.png"));
    // The bottom strip brings the bars up over the picture.
    pointerTo(QPoint(m_window->width() / 2, m_window->height() - 10));
    QTRY_VERIFY(m_window->bottomToolbar()->isVisible());
    QTest::qWait(300);
    m_window->screen()->grabWindow(0).save(QStringLiteral("tavrin-full-screen-bars.png"));
    pointerTo(QPoint(m_window->width() / 2, m_window->height() / 2));
    QTRY_VERIFY(!m_window->bottomToolbar()->isVisible());
    m_window->externalFillScreen();
    QTRY_COMPARE(video->size(), m_window->screen()->geometry().size());
    QTRY_VERIFY_WITH_TIMEOUT(pictureMoves(video), 5000);
    m_window->screen()->grabWindow(0).save(QStringLiteral("tavrin-fill-screen.png"));
    m_window->externalFillScreen();
    QTRY_VERIFY(!m_window->screenModes().isBorderless());
    QTRY_COMPARE(video->size(), QSize(640, 360));
    QCOMPARE(state.value(Field::alwaysOnTopFlag), QStringLiteral("1"));
    QTRY_VERIFY_WITH_TIMEOUT(pictureMoves(video), 5000);
    // The engine still draws into the very window it was given.
    QCOMPARE(QString::number(video->winId()), video->windowIdText());
    QVERIFY(m_window->core().isEngineRunning());
    m_window->screen()->grabWindow(0).save(QStringLiteral("tavrin-back-in-the-window.png"));
}

void WindowPointerTest::wheelNotchesOfTheRealPointer()
{
    playFake();
    VideoWindow *video = m_window->videoWindow();
    pointerTo(video->mapToGlobal(video->rect().center()));
    // Buttons 4 and 5 turn the wheel up and down, 6 and 7 tilt it sideways.
    // The server hands the clicks over in order: once the last notch's
    // command is there, whatever the tilts sent would be before it.
    for (const char *button : {"4", "6", "7", "5"})
        xdotool({QStringLiteral("click"), QString::fromLatin1(button)});
    const QStringList expected = {QStringLiteral("pausing_keep_force volume 55 1 "),
                                  QStringLiteral("pausing_keep_force volume 50 1 ")};
    QStringList lines;
    const bool last = QTest::qWaitFor(
        [&] {
            lines += received();
            return lines.contains(expected.last());
        },
        20000);
    QVERIFY2(last, qPrintable(lines.join(QLatin1Char('|'))));
    QCOMPARE(lines, expected);
}

void WindowPointerTest::fullScreenFromMaximisedReturnsToTheNormalWindow()
{
    if (!windowManagerRuns())
        QSKIP("needs a window manager (own_display.sh --openbox)");
    // Every step waits on the window manager, slow on a loaded machine.
    const QRect normal = m_window->geometry();
    m_window->showMaximized();
    QTRY_VERIFY_WITH_TIMEOUT(windowState(m_window.get()).contains(QStringLiteral("MAXIMIZED")),
                             20000);
    QTRY_VERIFY_WITH_TIMEOUT(m_window->width() > normal.width(), 20000);
    m_window->toggleFullScreen();
    QTRY_VERIFY_WITH_TIMEOUT(
        windowState(m_window.get()).contains(QStringLiteral("_NET_WM_STATE_FULLSCREEN")), 20000);
    m_window->toggleFullScreen();
    QTRY_VERIFY_WITH_TIMEOUT(
        !windowState(m_window.get()).contains(QStringLiteral("_NET_WM_STATE_FULLSCREEN")), 20000);
    // The window it was before it was maximised, not a maximised-sized one.
    QTRY_COMPARE_WITH_TIMEOUT(m_window->geometry(), normal, 20000);
    QVERIFY(!windowState(m_window.get()).contains(QStringLiteral("MAXIMIZED")));

    // Qt follows the window manager's state changes one at a time: on the
    // way from maximised to full screen it believes for a moment that the
    // window is normal while the window manager has it in full screen. A
    // second Enter then must still take the window out. The test makes that
    // moment: the state taken off and put back by another client, with Qt
    // having seen only the first change.
    m_window->toggleFullScreen();
    QTRY_VERIFY_WITH_TIMEOUT(
        windowState(m_window.get()).contains(QStringLiteral("_NET_WM_STATE_FULLSCREEN")), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(m_window->isFullScreen(), 20000);
    const QString id = QString::number(m_window->winId());
    const QString wmctrl = QStringLiteral("wmctrl");
    run(wmctrl, {QStringLiteral("-i"), QStringLiteral("-r"), id, QStringLiteral("-b"),
                 QStringLiteral("remove,fullscreen")});
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->isFullScreen(), 20000);
    run(wmctrl, {QStringLiteral("-i"), QStringLiteral("-r"), id, QStringLiteral("-b"),
                 QStringLiteral("add,fullscreen")});
    // Read straight from the server, without letting Qt see the change.
    QDeadlineTimer deadline(10000);
    while (!windowState(m_window.get()).contains(QStringLiteral("_NET_WM_STATE_FULLSCREEN")) &&
           !deadline.hasExpired())
        QThread::msleep(20);
    QVERIFY(!m_window->isFullScreen());
    m_window->toggleFullScreen();
    QTRY_VERIFY_WITH_TIMEOUT(
        !windowState(m_window.get()).contains(QStringLiteral("_NET_WM_STATE_FULLSCREEN")), 20000);
    QTRY_COMPARE_WITH_TIMEOUT(m_window->geometry(), normal, 20000);

    // A size key on a maximised window: a normal window of that size.
    playFake();
    m_window->showMaximized();
    QTRY_VERIFY_WITH_TIMEOUT(windowState(m_window.get()).contains(QStringLiteral("MAXIMIZED")),
                             20000);
    QVERIFY(m_window->setWindowSizeFactor(0.5));
    QTRY_COMPARE_WITH_TIMEOUT(m_window->size(), QSize(320, 180), 20000);
    QTest::qWait(300);
    QCOMPARE(m_window->size(), QSize(320, 180));
    QVERIFY(!windowState(m_window.get()).contains(QStringLiteral("MAXIMIZED")));
}

QTEST_MAIN(WindowPointerTest)
#include "tst_windowpointer.moc"
