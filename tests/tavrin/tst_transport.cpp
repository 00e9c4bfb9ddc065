// The transport against the scripted engine: the exact lines each operation
// writes, the state it leaves, and the knob mechanics; and the position poll.
#include "controls/transport.h"
#include "engine/commands.h"
#include "engine/playercore.h"
#include "receivedlog.h"
#include "state/playbacktracker.h"

#include <QFile>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

namespace {
const QString fakeEngine = QStringLiteral(FAKE_MPLAYER_PATH);
const QString crlf = QStringLiteral("\r\n");

// Seek panel 200..443 px with an 11 px knob: 232 px of travel.
constexpr int panelLeft = 200, panelWidth = 243, knobWidth = 11;
} // namespace

class TransportTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void playAndPause();
    void toggleAndStopAndFrameStep();
    void speedStepsStopAtTheLimits();
    void delaysAreShortDecimals();
    void volumeStepsClampAndClearMute();
    void volumeIsOnlyKeptWhileStopped();
    void seekButtonsRepeatOnlyForTheLeftButton();
    void seekKnobStaysOnThePanelAndSeeksOnRelease();
    void seekKnobReleaseWithoutLengthSeeksToZero();
    void trackReleaseStaysOnTheTrack_data();
    void trackReleaseStaysOnTheTrack();
    void volumeKnobDragAndTrackClick();
    void knobFollowsLongMedia();
    void numbersThatDoNotConvertAreSkipped();
    void playPauseCaption();
    void subtitleSizeAndVisibility_data();
    void subtitleSizeAndVisibility();
    void positionPollOnlyWhilePlayingAndOneAtATime();
    void unansweredPollIsNotRepeatedEveryTick();
    void positionLabelFollowsTheHeldKnob();

private:
    void startEngine();
    void stopEngine();
    // What the engine received since the last call, as lines without CR LF.
    QStringList received();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<PlayerCore> m_core;
    std::unique_ptr<Transport> m_transport;
    ReceivedLog m_log;
};

void TransportTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("TAVRIN_MPLAYER", fakeEngine.toLocal8Bit());
    qputenv("FAKE_MPLAYER_LOG", m_dir->filePath(QStringLiteral("received")).toLocal8Bit());
    m_log.setPath(m_dir->filePath(QStringLiteral("received")));
    m_core = std::make_unique<PlayerCore>();
    m_log.follow(m_core.get());
    m_core->options().choose(Menu::videoOutputMenu, 1);
    m_core->state().setValue(Field::mediaPathField, QStringLiteral("/media/a.mkv"));
    m_transport = std::make_unique<Transport>(*m_core);
    m_transport->setSeekGeometry(panelLeft, panelWidth, knobWidth);
    m_transport->setVolumeGeometry(136, 84, 11);
}

void TransportTest::cleanup()
{
    if (m_core->isEngineRunning())
        stopEngine();
    m_transport.reset();
    m_core.reset();
    qunsetenv("FAKE_MPLAYER_SCRIPT");
    m_dir.reset();
}

void TransportTest::startEngine()
{
    m_core->launchEngine();
    QVERIFY(m_core->isEngineRunning());
    QVERIFY(QTest::qWaitFor([&] {
        return m_core->state()
            .value(Field::engineOutputBox)
            .contains(QStringLiteral("Starting playback..."));
    }));
}

void TransportTest::stopEngine()
{
    m_core->sendCommand(EngineCommand::quit);
    QVERIFY(QTest::qWaitFor([&] { return !m_core->isEngineRunning(); }));
}

QStringList TransportTest::received()
{
    return m_log.fresh(100);
}

void TransportTest::playAndPause()
{
    PlayerState &state = m_core->state();
    QSignalSpy running(m_core.get(), &PlayerCore::engineRunningChanged);
    m_transport->play();
    QCOMPARE(running.count(), 1);
    startEngine();
    QCOMPARE(state.value(Field::playStateField), PlayState::playing);

    m_transport->play();
    QCOMPARE(received(), QStringList());
    m_transport->pause();
    m_transport->pause();
    QCOMPARE(state.value(Field::playStateField), PlayState::paused);
    QCOMPARE(received(), QStringList{EngineCommand::pause});
    m_transport->play();
    m_transport->play();
    QCOMPARE(state.value(Field::playStateField), PlayState::playing);
    QCOMPARE(received(), QStringList{EngineCommand::pause});
    QCOMPARE(running.count(), 1);
}

void TransportTest::toggleAndStopAndFrameStep()
{
    startEngine();
    QSignalSpy focus(m_transport.get(), &Transport::videoFocusRequested);
    m_transport->togglePlayPause();
    m_transport->togglePlayPause();
    m_transport->frameStep();
    QCOMPARE(m_core->state().value(Field::playStateField), PlayState::paused);
    m_transport->jump(-600);
    QCOMPARE(m_core->state().value(Field::playStateField), PlayState::playing);
    m_transport->resetSpeed();
    QCOMPARE(received(),
             (QStringList{"pause ", "pause ", "frame_step ", "pausing_keep_force get_time_pos ",
                          "seek -600 0 ", "pausing_keep_force speed_set 1.0"}));
    m_transport->stopPlayback();
    QCOMPARE(focus.count(), 3);
    // Stop only asks; the end of the run puts the state back.
    QVERIFY(QTest::qWaitFor([&] { return !m_core->isEngineRunning(); }));
    QCOMPARE(m_core->state().value(Field::playStateField), PlayState::stopped);
    QCOMPARE(received(), QStringList{"stop "});
}

void TransportTest::speedStepsStopAtTheLimits()
{
    startEngine();
    PlayerState &state = m_core->state();
    m_transport->speedDown();
    QCOMPARE(state.value(Field::speedField), QStringLiteral("0.9"));
    state.setValue(Field::speedField, QStringLiteral("99.9"));
    m_transport->speedUp();
    m_transport->speedUp();
    QCOMPARE(state.value(Field::speedField), QStringLiteral("100.0"));
    state.setValue(Field::speedField, QStringLiteral("0.1"));
    m_transport->speedDown();
    m_transport->speedDown();
    QCOMPARE(state.value(Field::speedField), QStringLiteral("0.0"));
    QCOMPARE(
        received(),
        (QStringList{"pausing_keep_force speed_set 0.9 ", "pausing_keep_force speed_set 100.0 ",
                     "pausing_keep_force speed_set 100.0 ", "pausing_keep_force speed_set 0.0 ",
                     "pausing_keep_force speed_set 0.0 "}));
}

void TransportTest::delaysAreShortDecimals()
{
    startEngine();
    PlayerState &state = m_core->state();
    for (int i = 0; i < 3; ++i)
        m_transport->stepSubDelay(0.1);
    QCOMPARE(state.value(Field::subDelayField), QStringLiteral("0.3"));
    m_transport->stepAudioDelay(-0.1);
    m_transport->stepAudioDelay(-0.1);
    m_transport->resetSubDelay();
    QCOMPARE(received(),
             (QStringList{
                 "pausing_keep_force sub_delay 0.1 1 ", "pausing_keep_force sub_delay 0.2 1 ",
                 "pausing_keep_force sub_delay 0.3 1 ", "pausing_keep_force audio_delay -0.1 1 ",
                 "pausing_keep_force audio_delay -0.2 1 ", "pausing_keep_force sub_delay 0 1 "}));
    QCOMPARE(state.value(Field::subDelayField), QStringLiteral("0"));
    // Delays go whatever the play state.
    m_transport->pause();
    received();
    m_transport->resetAudioDelay();
    QCOMPARE(received(), QStringList{"pausing_keep_force audio_delay 0 1 "});
}

void TransportTest::volumeStepsClampAndClearMute()
{
    startEngine();
    PlayerState &state = m_core->state();
    OptionStore &options = m_core->options();
    m_transport->toggleMute();
    QVERIFY(options.isChecked(Menu::muteMenu));
    state.setValue(Field::volumeField, QStringLiteral("98"));
    m_transport->stepVolume(5);
    QCOMPARE(state.value(Field::volumeField), QStringLiteral("100"));
    QVERIFY(!options.isChecked(Menu::muteMenu));
    state.setValue(Field::volumeField, QStringLiteral("3"));
    m_transport->stepVolume(-5);
    QCOMPARE(state.value(Field::volumeField), QStringLiteral("0"));
    m_transport->stepVolume(5);
    m_transport->toggleMute();
    m_transport->toggleMute();
    // Clearing the mark sends no mute command.
    QCOMPARE(received(),
             (QStringList{"pausing_keep_force mute 1 ", "pausing_keep_force volume 100 1 ",
                          "pausing_keep_force volume 0 1 ", "pausing_keep_force volume 5 1 ",
                          "pausing_keep_force mute 1 ", "pausing_keep_force mute 0 "}));
}

void TransportTest::volumeIsOnlyKeptWhileStopped()
{
    PlayerState &state = m_core->state();
    m_transport->stepVolume(5);
    QCOMPARE(state.value(Field::volumeField), QStringLiteral("55"));
    startEngine();
    stopEngine();
    received();
    m_transport->stepVolume(-5);
    QCOMPARE(state.value(Field::volumeField), QStringLiteral("50"));
    QCOMPARE(received(), QStringList());
}

void TransportTest::seekButtonsRepeatOnlyForTheLeftButton()
{
    startEngine();
    m_transport->pause();
    received();
    m_transport->seekButtonPressed(Transport::SeekButton::Forward, Qt::RightButton);
    QVERIFY(!m_transport->seekForwardTimer.isActive());
    QCOMPARE(m_core->state().value(Field::playStateField), PlayState::paused);
    QCOMPARE(received(), QStringList());

    m_transport->seekButtonPressed(Transport::SeekButton::Back, Qt::LeftButton);
    QCOMPARE(m_core->state().value(Field::playStateField), PlayState::playing);
    // Held until the repeats have begun, however slow the machine.
    QVERIFY(QTest::qWaitFor(
        [&] { return m_log.all().count(QStringLiteral("seek -10 0 \r\n")) >= 3; }, 10000));
    m_transport->seekButtonReleased(Transport::SeekButton::Back, Qt::LeftButton);
    QVERIFY(!m_transport->seekBackTimer.isActive());
    const QStringList jumps = received();
    // One at once, then one every 100 ms while held.
    QVERIFY2(jumps.size() >= 3, qPrintable(jumps.join(QLatin1Char('|'))));
    QCOMPARE(jumps.count(QStringLiteral("seek -10 0 ")), jumps.size());
    QTest::qWait(250);
    QCOMPARE(received(), QStringList());
}

void TransportTest::seekKnobStaysOnThePanelAndSeeksOnRelease()
{
    startEngine();
    PlayerState &state = m_core->state();
    state.setValue(Field::totalSecondsField, QStringLiteral("10.02"));
    QSignalSpy moved(m_transport.get(), &Transport::seekKnobMovedTo);
    m_transport->seekKnobPressed(5);
    QCOMPARE(state.value(Field::seekingFlag), QStringLiteral("1"));
    m_transport->seekKnobMoved(-5000);
    QCOMPARE(m_transport->seekKnob().knobLeft, panelLeft);
    m_transport->seekKnobMoved(9000);
    QCOMPARE(m_transport->seekKnob().knobLeft, panelLeft + panelWidth - knobWidth);
    QCOMPARE(moved.last().at(0).toInt(), panelLeft + panelWidth - knobWidth);
    m_transport->seekKnobReleased();
    QCOMPARE(received(), QStringList{"seek 10 2 "});
    QCOMPARE(state.value(Field::playStateField), PlayState::playing);
    // Still held for the release delay: the knob does not jump back.
    QVERIFY(m_transport->seekKnob().dragging);
    QCOMPARE(state.value(Field::seekingFlag), QStringLiteral("1"));
    QVERIFY(
        QTest::qWaitFor([&] { return state.is(Field::seekingFlag, QStringLiteral("0")); }, 1000));
    QVERIFY(!m_transport->seekKnob().dragging);

    // The grabbed point follows the pointer's motion, wherever the knob was.
    m_transport->seekKnobPressed(5);
    const int left = m_transport->seekKnob().knobLeft;
    m_transport->seekKnobMoved(5 + 58);
    QCOMPARE(m_transport->seekKnob().knobLeft, left + 58);
    m_transport->seekKnobReleased();
    const auto target = qint64(std::floor(10.02 * (left + 58 - panelLeft) / 232.0));
    QCOMPARE(received(), QStringList{QStringLiteral("seek %1 2 ").arg(target)});
}

void TransportTest::seekKnobReleaseWithoutLengthSeeksToZero()
{
    startEngine();
    m_core->state().setValue(Field::totalSecondsField, QString());
    m_transport->seekKnobPressed(0);
    m_transport->seekKnobMoved(100);
    m_transport->seekKnobReleased();
    QCOMPARE(received(), QStringList{"seek 0 2 "});
}

void TransportTest::trackReleaseStaysOnTheTrack_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<QString>("seek");
    QTest::addColumn<QString>("volume");
    // The same x on both tracks. Half the knob's width is the zero point;
    // the seek travel is 232 px for 232 s, the volume travel 73 px. A button
    // pressed on a track and let go beyond its ends (off the window, too)
    // is taken at the nearer end.
    QTest::newRow("on the track") << 121 << "seek 115 2 "
                                  << "100";
    QTest::newRow("left edge") << 0 << "seek 0 2 "
                               << "0";
    QTest::newRow("right edge") << 243 << "seek 232 2 "
                                << "100";
    QTest::newRow("far right, off the window") << 5000 << "seek 232 2 "
                                               << "100";
    QTest::newRow("far left, off the window") << -900 << "seek 0 2 "
                                              << "0";
    QTest::newRow("middle of the volume travel") << 42 << "seek 36 2 "
                                                 << "50";
}

void TransportTest::trackReleaseStaysOnTheTrack()
{
    QFETCH(int, x);
    QFETCH(QString, seek);
    QFETCH(QString, volume);
    startEngine();
    m_core->state().setValue(Field::totalSecondsField, QStringLiteral("232"));
    received();
    m_transport->seekTrackReleased(x);
    QCOMPARE(received(), QStringList{seek});
    QVERIFY(!m_transport->seekKnob().dragging);
    m_transport->volumeTrackReleased(x);
    QCOMPARE(m_core->state().value(Field::volumeField), volume);
}

void TransportTest::volumeKnobDragAndTrackClick()
{
    PlayerState &state = m_core->state();
    // 84 px panel, 11 px knob: 73 px of travel; 50 puts the knob at 36.
    QCOMPARE(m_transport->volumeKnob().knobLeft, 136 + 36);
    m_transport->volumeKnobPressed(3);
    m_transport->volumeKnobMoved(3 + 1000);
    QCOMPARE(state.value(Field::volumeField), QStringLiteral("100"));
    m_transport->volumeKnobMoved(3 - 73);
    QCOMPARE(state.value(Field::volumeField), QStringLiteral("0"));
    m_transport->volumeKnobReleased();
    // Stopped: kept, not sent.
    startEngine();
    QCOMPARE(received(), QStringList());
    m_transport->pause();
    received();
    m_transport->volumeTrackReleased(6 + 73);
    QCOMPARE(state.value(Field::volumeField), QStringLiteral("100"));
    m_transport->volumeTrackReleased(5 + 36);
    QCOMPARE(received(),
             (QStringList{"pausing_keep_force volume 100 1 ", "pausing_keep_force volume 48 1 "}));
    // The knob follows the field within one window-timer tick.
    QVERIFY(QTest::qWaitFor([&] { return m_transport->volumeKnob().knobLeft == 136 + 35; }, 500));
}

void TransportTest::knobFollowsLongMedia()
{
    startEngine();
    PlayerState &state = m_core->state();
    // Past 32767 seconds the knob still follows.
    state.setValue(Field::totalSecondsField, QStringLiteral("80000"));
    state.setValue(Field::currentSecondsField, QStringLiteral("40000.5"));
    QVERIFY(
        QTest::qWaitFor([&] { return m_transport->seekKnob().knobLeft == panelLeft + 116; }, 1000));
    // A position past the length keeps the knob on the panel.
    state.setValue(Field::currentSecondsField, QStringLiteral("90000"));
    QVERIFY(
        QTest::qWaitFor([&] { return m_transport->seekKnob().knobLeft == panelLeft + 232; }, 1000));
    // No length: the left end.
    state.setValue(Field::totalSecondsField, QString());
    QVERIFY(QTest::qWaitFor([&] { return m_transport->seekKnob().knobLeft == panelLeft; }, 1000));
}

void TransportTest::numbersThatDoNotConvertAreSkipped()
{
    startEngine();
    PlayerState &state = m_core->state();
    PlaybackTracker tracker(*m_core);
    tracker.setSeekKnobFraction([this] { return m_transport->seekKnobFraction(); });
    state.setValue(Field::totalSecondsField, QStringLiteral("80000"));
    state.setValue(Field::currentSecondsField, QStringLiteral("40000.5"));
    QVERIFY(
        QTest::qWaitFor([&] { return m_transport->seekKnob().knobLeft == panelLeft + 116; }, 1000));
    // A position no integer holds leaves the knob and the label alone.
    QString label = state.value(Field::currentTimeLabel);
    state.setValue(Field::currentSecondsField, QStringLiteral("1e96"));
    QCOMPARE(m_transport->seekKnob().knobLeft, panelLeft + 116);
    QCOMPARE(state.value(Field::currentTimeLabel), label);
    // A position that converts but lies absurdly far past the length: the right end.
    state.setValue(Field::totalSecondsField, QStringLiteral("1"));
    state.setValue(Field::currentSecondsField, QStringLiteral("1e18"));
    QVERIFY(
        QTest::qWaitFor([&] { return m_transport->seekKnob().knobLeft == panelLeft + 232; }, 1000));
    // A length no integer holds: no seek target, nothing is sent, and the
    // time under the held knob cannot be told.
    label = state.value(Field::currentTimeLabel);
    state.setValue(Field::totalSecondsField, QStringLiteral("1e300"));
    state.setValue(Field::currentSecondsField, QStringLiteral("1e300"));
    QCOMPARE(m_transport->seekKnob().knobLeft, panelLeft + 232);
    m_transport->seekTrackReleased(121);
    m_transport->seekKnobPressed(0);
    tracker.refreshPositionLabel();
    m_transport->seekKnobReleased();
    QCOMPARE(received(), QStringList());
    QCOMPARE(state.value(Field::currentTimeLabel), label);
}

void TransportTest::subtitleSizeAndVisibility_data()
{
    QTest::addColumn<QString>("useDefault");
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("larger");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("sent");
    // Plain subtitles scale textSubScaleField, styled ones assFontScaleField.
    QTest::newRow("plain larger") << "1" << "3" << true << "3.1" << "3.1";
    QTest::newRow("plain smaller") << "1" << "3.1" << false << "3.0" << "3.0";
    QTest::newRow("styled larger") << "0" << "1.0" << true << "1.1" << "1.1";
    QTest::newRow("styled at zero resends") << "0" << "0.0" << false << "0.0" << "0.0";
    QTest::newRow("plain at the top resends") << "1" << "100" << true << "100" << "100";
    QTest::newRow("below zero is not lowered") << "1" << "-1" << false << "-1" << "-1";
}

void TransportTest::subtitleSizeAndVisibility()
{
    QFETCH(QString, useDefault);
    QFETCH(QString, start);
    QFETCH(bool, larger);
    QFETCH(QString, kept);
    QFETCH(QString, sent);
    PlayerState &state = m_core->state();
    const Field field = useDefault == QLatin1String("0") ? Field::assFontScaleField
                                                          : Field::textSubScaleField;
    const Field other = field == Field::assFontScaleField ? Field::textSubScaleField
                                                          : Field::assFontScaleField;
    const QString otherBefore = state.value(other);
    state.setValue(Field::useDefaultSubtitleSettingsField, useDefault);
    state.setValue(field, start);
    startEngine();
    received();
    larger ? m_transport->subtitleLarger() : m_transport->subtitleSmaller();
    QCOMPARE(state.value(field), kept);
    QCOMPARE(state.value(other), otherBefore);

    // Visibility toggles the check mark and says so; the steps go either way.
    m_transport->toggleSubtitleVisibility();
    QVERIFY(!m_core->options().isChecked(Menu::showSubtitlesMenu));
    m_transport->toggleSubtitleVisibility();
    QVERIFY(m_core->options().isChecked(Menu::showSubtitlesMenu));
    m_transport->subtitleStep(-1);
    m_transport->subtitleStep(1);
    QCOMPARE(received(),
             (QStringList{QStringLiteral("pausing_keep_force sub_scale ") + sent
                              + QStringLiteral(" 1 "),
                          QStringLiteral("pausing_keep_force sub_visibility 0 "),
                          QStringLiteral("pausing_keep_force sub_visibility 1 "),
                          QStringLiteral("pausing_keep_force sub_step -1 "),
                          QStringLiteral("pausing_keep_force sub_step +1 ")}));
}

void TransportTest::playPauseCaption()
{
    QCOMPARE(Transport::playPauseCaption(PlayState::playing), QStringLiteral("일시정지"));
    QCOMPARE(Transport::playPauseCaption(PlayState::paused), QStringLiteral("재생"));
    QCOMPARE(Transport::playPauseCaption(PlayState::stopped), QStringLiteral("재생"));
}

void TransportTest::positionPollOnlyWhilePlayingAndOneAtATime()
{
    PlaybackTracker tracker(*m_core);
    startEngine();
    QVERIFY(QTest::qWaitFor(
        [&] { return m_core->state().is(Field::totalTimeLabel, QStringLiteral("00:00:10.0")); }));
    QVERIFY(QTest::qWaitFor(
        [&] { return m_core->state().is(Field::currentTimeLabel, QStringLiteral("00:00:01.0")); },
        10000));
    // The scripted engine answers at once: requests follow each other, each
    // after the answer to the last, spaced as the label's tenths need. A busy
    // machine may send fewer, never more.
    received();
    QElapsedTimer spell;
    spell.start();
    QStringList polls;
    QVERIFY(QTest::qWaitFor(
        [&] {
            polls += received();
            return polls.size() >= 3;
        },
        10000));
    QVERIFY2(polls.size() <= spell.elapsed() / PlaybackTracker::positionSpacingMs + 2,
             qPrintable(QStringLiteral("%1 in %2 ms").arg(polls.size()).arg(spell.elapsed())));
    QCOMPARE(polls.count(EngineCommand::getTimePos), polls.size());
    QVERIFY(QTest::qWaitFor(
        [&] { return !m_core->state().is(Field::currentTimeLabel, QStringLiteral("00:00:01.0")); },
        10000));

    m_transport->pause();
    received();
    const QString label = m_core->state().value(Field::currentTimeLabel);
    QTest::qWait(200);
    QCOMPARE(received(), QStringList());
    QCOMPARE(m_core->state().value(Field::currentTimeLabel), label);
    // The frame counter follows the label when a rate is known.
    m_core->state().setValue(Field::frameRateField, QStringLiteral("25.000"));
    m_transport->frameStep();
    QVERIFY(QTest::qWaitFor(
        [&] { return !m_core->state().value(Field::playingFrameField).isEmpty(); }, 10000));
}

void TransportTest::unansweredPollIsNotRepeatedEveryTick()
{
    qputenv("FAKE_MPLAYER_SILENT", "1");
    PlaybackTracker tracker(*m_core);
    QElapsedTimer since;
    since.start();
    startEngine();
    qunsetenv("FAKE_MPLAYER_SILENT");
    // Without an answer the request is repeated once its time-out has passed,
    // not on every 15 ms tick: at most one more per time-out, however long
    // a busy machine takes.
    QStringList polls;
    auto upTo = [&](qsizetype count) {
        return QTest::qWaitFor(
            [&] {
                polls += received();
                return polls.size() >= count;
            },
            10000);
    };
    QVERIFY(upTo(2));
    QCOMPARE(polls.count(EngineCommand::getTimePos), polls.size());
    QVERIFY2(polls.size() <= 1 + since.elapsed() / PlaybackTracker::answerTimeoutMs,
             qPrintable(QStringLiteral("%1 in %2 ms").arg(polls.size()).arg(since.elapsed())));
}

void TransportTest::positionLabelFollowsTheHeldKnob()
{
    PlaybackTracker tracker(*m_core);
    tracker.setSeekKnobFraction([this] { return m_transport->seekKnobFraction(); });
    connect(m_transport.get(), &Transport::seekKnobMovedTo, &tracker,
            &PlaybackTracker::refreshPositionLabel);
    startEngine();
    PlayerState &state = m_core->state();
    QVERIFY(QTest::qWaitFor(
        [&] { return state.is(Field::totalSecondsField, QStringLiteral("10.02")); }));
    m_transport->pause();
    m_transport->seekKnobPressed(0);
    m_transport->seekKnobMoved(116 - (m_transport->seekKnob().knobLeft - panelLeft));
    // Whole seconds under the knob: floor(10.02 * 0.5).
    QVERIFY(QTest::qWaitFor(
        [&] { return state.is(Field::currentTimeLabel, QStringLiteral("00:00:05.0")); }, 1000));
    m_transport->seekKnobReleased();
}

QTEST_GUILESS_MAIN(TransportTest)
#include "tst_transport.moc"
