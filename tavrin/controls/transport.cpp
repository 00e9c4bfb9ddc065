#include "transport.h"

#include "engine/commands.h"
#include "engine/playercore.h"
#include "state/vbnumber.h"
#include "state/windowtimer.h"

#include <QLoggingCategory>
#include <cmath>

Q_LOGGING_CATEGORY(lcTransport, "tavrin.transport", QtInfoMsg)

namespace {
const QString one = QStringLiteral("1");
const QString zero = QStringLiteral("0");
} // namespace

Transport::Transport(PlayerCore &core, QObject *parent)
    : QObject(parent), m_core(core), m_launcher([&core] { core.launchEngine(); })
{
    const int jump = jumpSeconds;
    seekBackTimer.setInterval(seekRepeatMs);
    seekForwardTimer.setInterval(seekRepeatMs);
    connect(&seekBackTimer, &QTimer::timeout, this,
            [this, jump] { m_core.sendCommand(EngineCommand::seekRelative(-jump)); });
    connect(&seekForwardTimer, &QTimer::timeout, this,
            [this, jump] { m_core.sendCommand(EngineCommand::seekRelative(jump)); });

    seekReleaseTimer.setInterval(seekReleaseDelayMs);
    seekReleaseTimer.setSingleShot(true);
    connect(&seekReleaseTimer, &QTimer::timeout, this, [this] {
        m_seek.dragging = false;
        m_core.state().setValue(Field::seekingFlag, zero);
        followPosition();
    });

    volumeSliderTimer.setInterval(windowTimerInterval);
    volumeSliderTimer.setSingleShot(true);
    connect(&volumeSliderTimer, &QTimer::timeout, this, &Transport::followVolume);
    connect(&core.state(), &PlayerState::changed, this, [this](Field field) {
        if (field == Field::volumeField && !volumeSliderTimer.isActive())
            volumeSliderTimer.start();
        // The knob follows the position as it changes, in the same turn as
        // the position label: a move joins the label's repaint instead of
        // costing a timer's wake-up and a repaint of its own, and it moves
        // only when it lands on another pixel (whole seconds).
        if (field == Field::currentSecondsField || field == Field::totalSecondsField)
            followPosition();
    });
}

void Transport::setPlayState(const QString &state)
{
    m_core.state().setValue(Field::playStateField, state);
}

void Transport::play()
{
    PlayerState &state = m_core.state();
    if (state.is(Field::playStateField, PlayState::playing))
        return;
    if (!m_core.isEngineRunning()) {
        m_launcher();
        return;
    }
    // The same command pauses and resumes.
    m_core.sendCommand(EngineCommand::pause);
    setPlayState(PlayState::playing);
}

void Transport::pause()
{
    if (m_core.state().is(Field::playStateField, PlayState::paused))
        return;
    m_core.sendCommand(EngineCommand::pause);
    setPlayState(PlayState::paused);
}

void Transport::togglePlayPause()
{
    if (m_core.state().is(Field::playStateField, PlayState::playing))
        pause();
    else
        play();
    Q_EMIT videoFocusRequested();
}

void Transport::stopPlayback()
{
    // The engine ends its run; the end of the run puts the window back.
    m_core.sendCommand(EngineCommand::stop);
    Q_EMIT videoFocusRequested();
}

void Transport::frameStep()
{
    m_core.sendCommand(EngineCommand::frameStep);
    m_core.sendCommand(EngineCommand::getTimePosKeepPause);
    setPlayState(PlayState::paused);
}

void Transport::speedDown()
{
    PlayerState &state = m_core.state();
    const double speed = vbVal(state.value(Field::speedField));
    if (speed > 0)
        state.setValue(Field::speedField, formatOneDecimal(speed - 0.1));
    // At the limit the unchanged speed is sent again.
    m_core.sendCommand(EngineCommand::speedSet(state.value(Field::speedField)));
}

void Transport::speedUp()
{
    PlayerState &state = m_core.state();
    const double speed = vbVal(state.value(Field::speedField));
    if (speed < 100)
        state.setValue(Field::speedField, formatOneDecimal(speed + 0.1));
    m_core.sendCommand(EngineCommand::speedSet(state.value(Field::speedField)));
}

void Transport::resetSpeed()
{
    m_core.sendCommand(EngineCommand::speedReset);
    m_core.state().setValue(Field::speedField, QStringLiteral("1.0"));
}

void Transport::jump(int seconds)
{
    m_core.sendCommand(EngineCommand::seekRelative(seconds));
    setPlayState(PlayState::playing);
}

QTimer &Transport::timerFor(SeekButton button)
{
    return button == SeekButton::Back ? seekBackTimer : seekForwardTimer;
}

void Transport::seekButtonPressed(SeekButton button, Qt::MouseButton mouseButton)
{
    if (mouseButton != Qt::LeftButton)
        return;
    const int seconds = button == SeekButton::Back ? -jumpSeconds : jumpSeconds;
    m_core.sendCommand(EngineCommand::seekRelative(seconds));
    timerFor(button).start();
    setPlayState(PlayState::playing);
}

void Transport::seekButtonReleased(SeekButton button, Qt::MouseButton mouseButton)
{
    if (mouseButton == Qt::LeftButton)
        timerFor(button).stop();
    Q_EMIT videoFocusRequested();
}

void Transport::setSeekGeometry(int panelLeft, int panelWidth, int knobWidth)
{
    m_seek.panelLeft = panelLeft;
    m_seek.panelWidth = panelWidth;
    m_seek.knobWidth = knobWidth;
    if (m_seek.dragging)
        m_seek.moveTo(m_seek.grabX);
    else
        followPosition();
}

void Transport::setVolumeGeometry(int panelLeft, int panelWidth, int knobWidth)
{
    m_volume.panelLeft = panelLeft;
    m_volume.panelWidth = panelWidth;
    m_volume.knobWidth = knobWidth;
    followVolume();
}

void Transport::setSeekKnobLeft(int left)
{
    if (m_seek.knobLeft == left)
        return;
    m_seek.knobLeft = left;
    Q_EMIT seekKnobMovedTo(left);
}

void Transport::setVolumeKnobLeft(int left)
{
    if (m_volume.knobLeft == left)
        return;
    m_volume.knobLeft = left;
    Q_EMIT volumeKnobMovedTo(left);
}

void Transport::followPosition()
{
    const PlayerState &state = m_core.state();
    // Whole seconds, wide enough for any length; a value too large even for
    // that leaves the knob where it is.
    const std::optional<qint64> current =
        wholeInt64(vbVal(state.value(Field::currentSecondsField)));
    const std::optional<qint64> total = wholeInt64(vbVal(state.value(Field::totalSecondsField)));
    if (!current || !total)
        return;
    // Without a length the knob rests at the left end.
    const double ratio =
        *total == 0 ? 0.0 : static_cast<double>(*current) / static_cast<double>(*total);
    if (!m_seek.dragging)
        setSeekKnobLeft(m_seek.leftFor(ratio));
}

void Transport::followVolume()
{
    const double volume = std::trunc(vbVal(m_core.state().value(Field::volumeField)));
    if (!m_volume.dragging)
        setVolumeKnobLeft(m_volume.leftFor(volume / 100.0));
}

void Transport::seekTo(const std::optional<double> &fraction)
{
    // A panel narrower than its knob has no positions to seek to.
    if (!fraction)
        return;
    const double length = vbVal(m_core.state().value(Field::totalSecondsField));
    const std::optional<qint64> target = wholeInt64(std::floor(length * *fraction));
    if (!target)
        return;
    qCDebug(lcTransport) << "seek to" << *target << "of" << length;
    seekToSeconds(*target);
}

void Transport::seekToSeconds(qint64 seconds)
{
    m_core.sendCommand(EngineCommand::seekAbsolute(seconds));
    setPlayState(PlayState::playing);
}

void Transport::seekKnobPressed(int x)
{
    m_core.state().setValue(Field::seekingFlag, one);
    seekReleaseTimer.stop();
    m_seek.press(x);
}

void Transport::seekKnobMoved(int x)
{
    const int before = m_seek.knobLeft;
    if (m_seek.moveTo(x) && m_seek.knobLeft != before)
        Q_EMIT seekKnobMovedTo(m_seek.knobLeft);
}

void Transport::seekKnobReleased()
{
    if (!m_seek.dragging)
        return;
    seekTo(m_seek.fraction());
    // The knob stays where it was dropped until the engine has moved there.
    seekReleaseTimer.start();
}

void Transport::seekKnobAbandoned()
{
    // The run the drag was meant for has ended: there is nothing to seek in,
    // and the next run must show its own position, not the knob's.
    seekReleaseTimer.stop();
    m_seek.dragging = false;
    m_core.state().setValue(Field::seekingFlag, zero);
    followPosition();
}

void Transport::seekTrackReleased(int x)
{
    seekTo(m_seek.trackFraction(x));
    m_seek.dragging = false;
}

void Transport::setVolumeFromFraction(const std::optional<double> &fraction)
{
    if (!fraction)
        return;
    m_core.state().setValue(Field::volumeField,
                            QString::number(static_cast<long long>(std::floor(*fraction * 100))));
    applyVolume();
}

void Transport::volumeKnobPressed(int x)
{
    m_volume.press(x);
}

void Transport::volumeKnobMoved(int x)
{
    const int before = m_volume.knobLeft;
    if (!m_volume.moveTo(x))
        return;
    if (m_volume.knobLeft != before)
        Q_EMIT volumeKnobMovedTo(m_volume.knobLeft);
    setVolumeFromFraction(m_volume.fraction());
}

void Transport::volumeKnobReleased()
{
    m_volume.dragging = false;
}

void Transport::volumeTrackReleased(int x)
{
    setVolumeFromFraction(m_volume.trackFraction(x));
    m_volume.dragging = false;
}

void Transport::applyVolume()
{
    PlayerState &state = m_core.state();
    const double volume = vbVal(state.value(Field::volumeField));
    if (!(volume > 0))
        state.setValue(Field::volumeField, zero);
    else if (volume >= 100)
        state.setValue(Field::volumeField, QStringLiteral("100"));
    // Without an engine the volume is only kept: the next run starts with it.
    if (!state.is(Field::playStateField, PlayState::stopped))
        m_core.sendCommand(EngineCommand::volumeKeepPause(state.value(Field::volumeField)));
    if (m_core.options().isChecked(Menu::muteMenu))
        m_core.options().setChecked(Menu::muteMenu, false);
}

void Transport::stepVolume(int step)
{
    PlayerState &state = m_core.state();
    state.setValue(Field::volumeField,
                   shortestDecimal(vbVal(state.value(Field::volumeField)) + step));
    applyVolume();
}

void Transport::toggleMute()
{
    OptionStore &options = m_core.options();
    const bool muted = options.isChecked(Menu::muteMenu);
    options.setChecked(Menu::muteMenu, !muted);
    m_core.sendCommand(muted ? EngineCommand::muteOff : EngineCommand::muteOn);
}

void Transport::stepAudioDelay(double step)
{
    PlayerState &state = m_core.state();
    state.setValue(Field::audioDelayField,
                   shortestDecimal(vbVal(state.value(Field::audioDelayField)) + step));
    m_core.sendCommand(EngineCommand::audioDelay(state.value(Field::audioDelayField)));
}

void Transport::resetAudioDelay()
{
    m_core.state().setValue(Field::audioDelayField, zero);
    m_core.sendCommand(EngineCommand::audioDelay(zero));
}

void Transport::stepSubDelay(double step)
{
    PlayerState &state = m_core.state();
    state.setValue(Field::subDelayField,
                   shortestDecimal(vbVal(state.value(Field::subDelayField)) + step));
    m_core.sendCommand(EngineCommand::subDelay(state.value(Field::subDelayField)));
}

void Transport::resetSubDelay()
{
    m_core.state().setValue(Field::subDelayField, zero);
    m_core.sendCommand(EngineCommand::subDelay(zero));
}

void Transport::stepSubtitleScale(double step)
{
    PlayerState &state = m_core.state();
    const Field field = vbVal(state.value(Field::useDefaultSubtitleSettingsField)) == 0.0
        ? Field::assFontScaleField
        : Field::textSubScaleField;
    const double value = vbVal(state.value(field));
    if (step < 0 ? value > 0 : value < 100)
        state.setValue(field, formatOneDecimal(value + step));
    m_core.sendCommand(EngineCommand::subScale(state.value(field)));
}

void Transport::subtitleSmaller()
{
    stepSubtitleScale(-0.1);
}

void Transport::subtitleLarger()
{
    stepSubtitleScale(0.1);
}

void Transport::toggleSubtitleVisibility()
{
    OptionStore &options = m_core.options();
    const bool show = !options.isChecked(Menu::showSubtitlesMenu);
    options.setChecked(Menu::showSubtitlesMenu, show);
    m_core.sendCommand(show ? EngineCommand::subVisibilityOn : EngineCommand::subVisibilityOff);
}

void Transport::subtitleStep(int step)
{
    m_core.sendCommand(step < 0 ? EngineCommand::subStepBack : EngineCommand::subStepForward);
}

QString Transport::playPauseCaption(const QString &playState)
{
    return playState == PlayState::playing ? PlayState::paused : PlayState::playing;
}
