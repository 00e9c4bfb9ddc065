// The transport in the real window with the real MPlayer playing the sample:
// what the engine received (through a tap that copies its input), the
// position, the labels, the knobs and the end of the medium.
#include "enginepause.h"
#include "receivedlog.h"
#include "controls/transport.h"
#include "state/playbacktracker.h"
#include "state/timeformat.h"
#include "window/bottomtoolbar.h"
#include "window/knobslider.h"
#include "window/mainform.h"
#include "window/statustoolbar.h"
#include "window/videowindow.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString sample = QStringLiteral(SAMPLE_MEDIA_DIR "/sample.mkv");
const QString tap = QStringLiteral(ENGINE_TAP_PATH);

double seconds(const PlayerState &state)
{
    return state.value(Field::currentSecondsField).toDouble();
}

void click(QWidget *widget, int x, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(widget, button, {}, QPoint(x, widget->height() / 2));
}

// What the seek panel shows behind its track: a corner away from the groove
// drawn along its middle.
QColor seekPanelBackground(BottomToolbar *bar)
{
    return bar->seekSliderPanel()->grab().toImage().pixelColor(1, 1);
}

QColor buttonFace()
{
    return QApplication::palette().color(QPalette::Button);
}
} // namespace

class TransportWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void playbackShowsItsStreamsTimesAndKnob();
    void trackClickPauseAndVolumeReachTheEngine();
    void endOfMediumLeavesTheLastTimes();
    void seekControlsHeldAtTheEndOfARunLetGo();
    void timeLabelsOpenThePopupMenuOnTheRightButton();

private:
    void openSample();
    void endRun();
    // Plays the stopped medium again; the lines the new run received once
    // it has asked for its position a few times.
    QStringList playAgain();
    // The lines the engine received since the last call.
    QStringList received();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<mainform> m_window;
    ReceivedLog m_log;
};

void TransportWindowTest::initTestCase()
{
    QVERIFY2(QFile::exists(sample), "the sample media is made by the build");
}

void TransportWindowTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("TAVRIN_MPLAYER", tap.toLocal8Bit());
    qputenv("ENGINE_TAP_LOG", m_dir->filePath(QStringLiteral("received")).toLocal8Bit());
    m_log.setPath(m_dir->filePath(QStringLiteral("received")));
    m_window = std::make_unique<mainform>();
    m_log.follow(&m_window->core());
    m_window->move(40, 40);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TransportWindowTest::cleanup()
{
    if (m_window && m_window->core().isEngineRunning()) {
        m_window->sendCommand(QStringLiteral("quit "));
        QVERIFY(QTest::qWaitFor([&] { return !m_window->core().isEngineRunning(); }, 10000));
    }
    m_window.reset();
    qunsetenv("TAVRIN_MPLAYER");
    qunsetenv("ENGINE_TAP_LOG");
}

void TransportWindowTest::openSample()
{
    m_window->openCommandLineMedia(QStringLiteral("/open \"") + sample + QLatin1Char('"'));
    QVERIFY(m_window->core().isEngineRunning());
    PlayerState &state = m_window->core().state();
    QVERIFY(QTest::qWaitFor([&] { return !state.value(Field::infoLabel).isEmpty(); }, 15000));
}

QStringList TransportWindowTest::received()
{
    return m_log.fresh(150);
}

void TransportWindowTest::endRun()
{
    m_window->sendCommand(QStringLiteral("quit "));
    QVERIFY(QTest::qWaitFor([&] { return !m_window->core().isEngineRunning(); }, 10000));
}

QStringList TransportWindowTest::playAgain()
{
    received();
    QTest::mouseClick(m_window->bottomToolbar()->playPauseButton(), Qt::LeftButton);
    QStringList lines;
    const bool polled = QTest::qWaitFor(
        [&] {
            lines += received();
            return lines.count(QStringLiteral("get_time_pos ")) >= 5;
        },
        15000);
    return polled ? lines : QStringList{QStringLiteral("(the new run never asked its position)")};
}

void TransportWindowTest::playbackShowsItsStreamsTimesAndKnob()
{
    openSample();
    PlayerState &state = m_window->core().state();
    const OptionStore &options = m_window->core().options();
    BottomToolbar *bar = m_window->bottomToolbar();

    QCOMPARE(options.caption(Menu::audioTrackMenu, 0), QStringLiteral("0 - kor"));
    QCOMPARE(options.caption(Menu::audioTrackMenu, 1), QStringLiteral("1 - eng"));
    QCOMPARE(options.checkedItem(Menu::audioTrackMenu), std::optional<int>(0));
    QCOMPARE(options.caption(Menu::embeddedSubtitleMenu, 0), QStringLiteral("내장 자막: 0 - kor"));
    QCOMPARE(options.caption(Menu::subtitleFileMenu, 0), QStringLiteral("sample.srt"));
    QVERIFY(state.value(Field::infoLabel).startsWith(QStringLiteral("H264 | MP4A, ")));
    QCOMPARE(m_window->statusToolbar()->infoLabel()->text(), state.value(Field::infoLabel));
    QCOMPARE(m_window->statusToolbar()->nameLabel()->text(), QStringLiteral("sample.mkv"));
    QCOMPARE(bar->totalTimeLabel()->text(), QStringLiteral("00:00:10.0"));
    QCOMPARE(bar->playPauseButton()->text(), QStringLiteral("일시정지"));
    QVERIFY(bar->seekSlider()->isEnabled());
    QCOMPARE(seekPanelBackground(bar), QColor(Qt::white));

    // A command-line medium fits the window to the video and the bars.
    QVERIFY(
        QTest::qWaitFor([&] { return m_window->videoWindow()->size() == QSize(640, 360); }, 15000));
    QCOMPARE(m_window->size(),
             QSize(640, 360 + StatusToolbar::barHeight + BottomToolbar::barHeight));
    QCOMPARE(state.value(Field::parameterOpenedField), QStringLiteral("0"));
    QVERIFY(QTest::qWaitFor([&] { return !state.value(Field::outputWidthField).isEmpty(); }, 5000));

    QVERIFY(QTest::qWaitFor([&] { return seconds(state) >= 3.0; }, 10000));
    // The label shows the position the engine reports, within a poll.
    const QString shown = bar->currentTimeLabel()->text();
    QVERIFY2(shown.startsWith(QStringLiteral("00:00:0")), qPrintable(shown));
    QVERIFY(qAbs(shown.mid(6).toDouble() - seconds(state)) <= 0.3);
    QVERIFY(!state.value(Field::playingFrameField).isEmpty());
    // The knob stands where the position is, within the 100 ms it follows at.
    const KnobTrack &knob = m_window->transport().seekKnob();
    QVERIFY(QTest::qWaitFor(
        [&] {
            const int expected = knob.panelLeft + int(knob.travel() * int(seconds(state)) / 10.0);
            return qAbs(bar->seekSlider()->x() - expected) <= knob.travel() / 10 + 1;
        },
        1000));
    m_window->screen()->grabWindow(0).save(QStringLiteral("tavrin-transport-playing.png"));

    // Only "get_time_pos " polls so far, never more than are answered.
    const QStringList polls = received();
    QVERIFY(polls.size() > 10);
    QCOMPARE(polls.count(QStringLiteral("get_time_pos ")), polls.size());
}

void TransportWindowTest::trackClickPauseAndVolumeReachTheEngine()
{
    openSample();
    PlayerState &state = m_window->core().state();
    BottomToolbar *bar = m_window->bottomToolbar();
    QVERIFY(QTest::qWaitFor([&] { return seconds(state) >= 1.0; }, 10000));

    // Pause: the polls stop and the position stays.
    QTest::mouseClick(bar->playPauseButton(), Qt::LeftButton);
    QCOMPARE(state.value(Field::playStateField), PlayState::paused);
    QStringList lines = received();
    QCOMPARE(lines.last(), QStringLiteral("pause "));
    // A request sent just before the click may still be answered; after that
    // nothing is asked and the position stays.
    QVERIFY(waitForEnginePause(m_window->core()));
    received();
    const double pausedAt = seconds(state);
    QTest::qWait(600);
    QCOMPARE(received(), QStringList());
    QCOMPARE(seconds(state), pausedAt);
    QCOMPARE(bar->playPauseButton()->text(), QStringLiteral("재생"));

    // The volume slider while paused sends the volume and keeps the pause.
    SliderTrack *volumeTrack = bar->volumeSliderPanel()->track();
    click(volumeTrack, volumeTrack->width() - 1);
    QCOMPARE(state.value(Field::volumeField), QStringLiteral("100"));
    QCOMPARE(received(), QStringList{QStringLiteral("pausing_keep_force volume 100 1 ")});
    QCOMPARE(state.value(Field::playStateField), PlayState::paused);

    // A click in the middle of the seek track goes to the middle and plays.
    SliderTrack *seekTrack = bar->seekSliderPanel()->track();
    click(seekTrack, seekTrack->width() / 2);
    QCOMPARE(state.value(Field::playStateField), PlayState::playing);
    lines = received();
    QVERIFY(!lines.isEmpty());
    QVERIFY2(lines.first() == QStringLiteral("seek 4 2 ") ||
                 lines.first() == QStringLiteral("seek 5 2 "),
             qPrintable(lines.first()));
    QVERIFY(QTest::qWaitFor([&] { return seconds(state) >= 4.0; }, 3000));
    QVERIFY(seconds(state) < 7.0);
    QVERIFY(QTest::qWaitFor([&] { return received().count(QStringLiteral("get_time_pos ")) > 0; },
                            2000));
}

void TransportWindowTest::endOfMediumLeavesTheLastTimes()
{
    openSample();
    PlayerState &state = m_window->core().state();
    BottomToolbar *bar = m_window->bottomToolbar();
    // Jump close to the end with the forward button.
    QVERIFY(QTest::qWaitFor([&] { return seconds(state) >= 0.5; }, 10000));
    QTest::mousePress(bar->seekForwardButton(), Qt::RightButton);
    QTest::mouseRelease(bar->seekForwardButton(), Qt::RightButton);
    QTest::mouseClick(bar->seekBackButton(), Qt::LeftButton);
    QStringList lines = received();
    QVERIFY(!lines.contains(QStringLiteral("seek 10 0 ")));
    QVERIFY(lines.contains(QStringLiteral("seek -10 0 ")));
    m_window->transport().jump(7);

    QVERIFY(QTest::qWaitFor([&] { return !m_window->core().isEngineRunning(); }, 15000));
    QCOMPARE(state.value(Field::playStateField), PlayState::stopped);
    QCOMPARE(bar->playPauseButton()->text(), QStringLiteral("재생"));
    QVERIFY(!bar->seekSlider()->isEnabled());
    QVERIFY(!bar->seekBackButton()->isEnabled());
    QCOMPARE(seekPanelBackground(bar), buttonFace());
    QCOMPARE(state.value(Field::infoLabel), QString());
    QCOMPARE(m_window->core().options().caption(Menu::audioTrackMenu, 0), emptyListCaption);
    // The labels keep their last text until the medium is closed.
    QCOMPARE(bar->totalTimeLabel()->text(), QStringLiteral("00:00:10.0"));
    QVERIFY2(bar->currentTimeLabel()->text() >= QStringLiteral("00:00:08.0"),
             qPrintable(bar->currentTimeLabel()->text()));
    QCOMPARE(m_window->statusToolbar()->infoLabel()->text(), QString());
    QTest::qWait(1000);
    m_window->screen()->grabWindow(0).save(QStringLiteral("tavrin-transport-ended.png"));

    // Stopped: the volume slider keeps the volume and sends nothing.
    received();
    SliderTrack *volumeTrack = bar->volumeSliderPanel()->track();
    click(volumeTrack, 0);
    QCOMPARE(state.value(Field::volumeField), QStringLiteral("0"));
    QVERIFY(QTest::qWaitFor(
        [&] { return bar->volumeSlider()->x() == bar->volumeSliderPanel()->x(); }, 500));
    QCOMPARE(received(), QStringList());
}

void TransportWindowTest::seekControlsHeldAtTheEndOfARunLetGo()
{
    openSample();
    PlayerState &state = m_window->core().state();
    BottomToolbar *bar = m_window->bottomToolbar();
    Transport &transport = m_window->transport();
    QVERIFY(QTest::qWaitFor([&] { return seconds(state) >= 0.5; }, 10000));

    // ">" is held while the run ends. The disabled button gets no release,
    // so the end of the run itself must let go of it.
    QTest::mousePress(bar->seekForwardButton(), Qt::LeftButton);
    QVERIFY(transport.seekForwardTimer.isActive());
    endRun();
    QTest::mouseRelease(bar->seekForwardButton(), Qt::LeftButton);
    QVERIFY(!transport.seekForwardTimer.isActive());
    QStringList lines = playAgain();
    QVERIFY2(!lines.contains(QStringLiteral("seek 10 0 ")), qPrintable(lines.join(u'|')));

    // The knob is dragged to the right end and held while the run ends.
    SliderKnob *knob = bar->seekSlider();
    const QPoint grip(knob->width() / 2, knob->height() / 2);
    QTest::mousePress(knob, Qt::LeftButton, {}, grip);
    QTest::mouseMove(knob, grip + QPoint(2000, 0));
    QCOMPARE(state.value(Field::seekingFlag), QStringLiteral("1"));
    const int heldAt = knob->x();
    endRun();
    QTest::mouseRelease(knob, Qt::LeftButton, {}, grip + QPoint(2000, 0));
    QCOMPARE(state.value(Field::seekingFlag), QStringLiteral("0"));
    QVERIFY(!transport.seekKnob().dragging);

    // The next run shows its own position, and the knob follows it.
    lines = playAgain();
    QVERIFY2(lines.filter(QStringLiteral("seek ")).isEmpty(), qPrintable(lines.join(u'|')));
    QVERIFY(QTest::qWaitFor(
        [&] {
            return seconds(state) >= 1.0 &&
                   bar->currentTimeLabel()->text() ==
                       formatTime(state.value(Field::currentSecondsField)) &&
                   knob->x() < heldAt;
        },
        10000));
}

void TransportWindowTest::timeLabelsOpenThePopupMenuOnTheRightButton()
{
    BottomToolbar *bar = m_window->bottomToolbar();
    // Before any run the seek panel has the buttons' colour.
    QCOMPARE(seekPanelBackground(bar), buttonFace());
    QTest::mouseClick(bar->currentTimeLabel(), Qt::LeftButton);
    QVERIFY(!m_window->popupMenu()->isVisible());
    QTest::mouseClick(bar->totalTimeLabel(), Qt::RightButton);
    QVERIFY(QTest::qWaitFor([&] { return m_window->popupMenu()->isVisible(); }, 1000));
    m_window->popupMenu()->close();
}

QTEST_MAIN(TransportWindowTest)
#include "tst_transportwindow.moc"
