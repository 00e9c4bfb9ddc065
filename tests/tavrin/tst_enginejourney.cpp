// A user's session with the real MPlayer, step by step, on a display of its
// own: after every step the engine draws its picture into a live video
// window (read back from that X window) and the position moves. "Stop" is the
// step the real engine makes hard: it destroys the window it drew into.
#include "controls/menuform.h"
#include "controls/transport.h"
#include "engine/commands.h"
#include "enginepause.h"
#include "fakesystem.h"
#include "picturecheck.h"
#include "processstate.h"
#include "window/bottomtoolbar.h"
#include "window/mainform.h"
#include "window/videowindow.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QTest>
#include <xcb/xcb.h>

namespace {
const QString clip = QStringLiteral(SAMPLE_MEDIA_DIR "/clip.mp4");
const QString sample = QStringLiteral(SAMPLE_MEDIA_DIR "/sample.mkv");

// Whether the X server still has the window.
bool windowExists(WId id)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *c = x11->connection();
    xcb_generic_error_t *error = nullptr;
    xcb_get_window_attributes_reply_t *reply =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, xcb_window_t(id)), &error);
    free(error);
    const bool exists = reply != nullptr;
    free(reply);
    return exists;
}

// A step checked by a helper: the test goes no further once it failed.
#define STEP(call)                                                                                 \
    do {                                                                                           \
        call;                                                                                      \
        if (QTest::currentTestFailed())                                                            \
            return;                                                                                \
    } while (false)

// The three ways the user reaches a control: its key, its button, its
// popup menu entry.
enum class Way
{
    keys,
    button,
    menu
};

struct Control
{
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    QPushButton *(BottomToolbar::*button)() const;
    const char *menuEntry;
};

const Control stopControl{Qt::Key_Space, Qt::ControlModifier, &BottomToolbar::stopButton,
                          "stopMenu"};
const Control playPauseControl{Qt::Key_Space, Qt::NoModifier, &BottomToolbar::playPauseButton,
                               "playPauseMenu"};
} // namespace

Q_DECLARE_METATYPE(Way)

class EngineJourneyTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void everyWayToStopLeavesAWindowToPlayIn_data();
    void everyWayToStopLeavesAWindowToPlayIn();
    void sessionDrawsAfterEveryStep();

private:
    PlayerState &state() { return m_window->core().state(); }
    double position() { return state().value(Field::currentSecondsField).toDouble(); }
    void use(const Control &control, Way way);
    void stop(Way way) { use(stopControl, way); }
    void playOrPause(Way way) { use(playPauseControl, way); }
    // The engine draws into the live video window and the position moves on
    // by half a second.
    void verifyPlaying(const char *step);
    // What a paused engine answers for its position.
    double pausedPosition();
    // The current run has ended; the window it drew into is not handed out.
    void verifyStopped(WId used);

    std::unique_ptr<FakeSystem> m_system;
    std::unique_ptr<mainform> m_window;
};

void EngineJourneyTest::initTestCase()
{
    QVERIFY2(QFile::exists(clip) && QFile::exists(sample), "the sample media is made by the build");
    qunsetenv("TAVRIN_MPLAYER");
}

void EngineJourneyTest::init()
{
    m_system = std::make_unique<FakeSystem>();
    m_system->font = QStringLiteral(KOREAN_FONT);
    m_window = std::make_unique<mainform>(m_system.get());
    m_window->move(40, 40);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QVERIFY(m_window->start(QString()));
    m_window->normalMode();
}

void EngineJourneyTest::cleanup()
{
    if (m_window && m_window->core().isEngineRunning()) {
        m_window->sendCommand(EngineCommand::quit);
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->core().isEngineRunning(), 10000);
    }
    m_window.reset();
    m_system.reset();
}

void EngineJourneyTest::use(const Control &control, Way way)
{
    switch (way) {
    case Way::keys:
        QTest::keyClick(m_window.get(), control.key, control.modifiers);
        break;
    case Way::button:
        QTest::mouseClick((m_window->bottomToolbar()->*control.button)(), Qt::LeftButton);
        break;
    case Way::menu:
        m_window->menuForm()->entry(QString::fromLatin1(control.menuEntry))->trigger();
        break;
    }
}

void EngineJourneyTest::verifyPlaying(const char *step)
{
    qInfo("%s", step);
    VideoWindow *video = m_window->videoWindow();
    QVERIFY(m_window->core().isEngineRunning());
    // A position this run reports, not one the last run left.
    state().setValue(Field::currentSecondsField, QString());
    QTRY_VERIFY_WITH_TIMEOUT(!state().value(Field::currentSecondsField).isEmpty(), 15000);
    const double from = position();
    QTRY_VERIFY_WITH_TIMEOUT(position() > from + 0.5, 10000);
    QVERIFY(windowExists(video->winId()));
    QTRY_VERIFY_WITH_TIMEOUT(pictureDrawn(windowPixels(video)), 5000);
    QVERIFY2(!state().value(Field::engineOutputBox).contains(QStringLiteral("X11 error")),
             qPrintable(state().value(Field::engineOutputBox).right(400)));
}

double EngineJourneyTest::pausedPosition()
{
    state().setValue(Field::currentSecondsField, QString());
    m_window->sendCommand(EngineCommand::getTimePosKeepPause);
    return QTest::qWaitFor([&] { return !state().value(Field::currentSecondsField).isEmpty(); },
                           5000)
               ? position()
               : -1.0;
}

void EngineJourneyTest::verifyStopped(WId used)
{
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->core().isEngineRunning(), 10000);
    QCOMPARE(state().value(Field::playStateField), PlayState::stopped);
    VideoWindow *video = m_window->videoWindow();
    QVERIFY(video->winId() != used);
    QVERIFY(windowExists(video->winId()));
}

void EngineJourneyTest::everyWayToStopLeavesAWindowToPlayIn_data()
{
    QTest::addColumn<Way>("way");
    QTest::newRow("Ctrl+Space, then Space") << Way::keys;
    QTest::newRow("정지 button, then 재생") << Way::button;
    QTest::newRow("재생 menu: 정지, then 재생／일시정지") << Way::menu;
}

void EngineJourneyTest::everyWayToStopLeavesAWindowToPlayIn()
{
    QFETCH(Way, way);
    m_window->openCommandLineMedia(QStringLiteral("/open \"") + clip + QLatin1Char('"'));
    STEP(verifyPlaying("playing"));
    const WId used = m_window->videoWindow()->winId();

    stop(way);
    STEP(verifyStopped(used));
    playOrPause(way);
    STEP(verifyPlaying("playing again"));
}

void EngineJourneyTest::sessionDrawsAfterEveryStep()
{
    VideoWindow *video = m_window->videoWindow();
    m_window->openCommandLineMedia(QStringLiteral("/open \"") + clip + QLatin1Char('"'));
    STEP(verifyPlaying("open"));

    // Paused, the picture stays in the window and the engine stays where it
    // is for as long as a playing engine would take to move on.
    playOrPause(Way::keys);
    QCOMPARE(state().value(Field::playStateField), PlayState::paused);
    // A position request sent just before the pause is answered with the
    // frame before the one the engine stops on: read the position once the
    // engine has taken the pause in and every earlier answer is in.
    QVERIFY(waitForEnginePause(m_window->core()));
    const double pausedAt = pausedPosition();
    QVERIFY(pausedAt > 0);
    QElapsedTimer watched;
    watched.start();
    while (watched.elapsed() < 600)
        QCOMPARE(pausedPosition(), pausedAt);
    QVERIFY(pictureDrawn(windowPixels(video)));

    const WId used = video->winId();
    stop(Way::keys);
    STEP(verifyStopped(used));

    playOrPause(Way::keys);
    STEP(verifyPlaying("play after stop"));

    const double beforeSeek = position();
    QTest::mouseClick(m_window->bottomToolbar()->seekForwardButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(position() >= beforeSeek + 8, 10000);
    STEP(verifyPlaying("seek"));

    // An option that restarts the engine: a new process, at the position the
    // old one had reached.
    const QString firstProcess = state().value(Field::processHandleField);
    const double beforeRestart = position();
    m_window->menuForm()->entry(QStringLiteral("blurMenu"))->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(state().value(Field::processHandleField) != firstProcess, 10000);
    STEP(verifyPlaying("option restart"));
    QVERIFY2(position() >= beforeRestart, qPrintable(QString::number(position())));

    m_window->opener().openAndPlay(sample, QStringLiteral("sample.mkv"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("sample.mkv - Tavrin v1.0.53"));
    STEP(verifyPlaying("another file"));

    const qint64 engine = m_window->core().cm()->processId();
    const QString styleFile = m_window->core().subtitleStylePath();
    QVERIFY(QFile::exists(styleFile));
    QVERIFY(m_window->close());
    m_window.reset();
    QVERIFY(!processRunning(engine));
    QVERIFY(!QFile::exists(styleFile));
}

QTEST_MAIN(EngineJourneyTest)
#include "tst_enginejourney.moc"
