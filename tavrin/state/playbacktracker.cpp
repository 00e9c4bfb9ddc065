#include "playbacktracker.h"

#include "engine/commands.h"
#include "engine/playercore.h"
#include "identifyparser.h"
#include "timeformat.h"
#include "vbnumber.h"
#include "windowtimer.h"

#include <QLoggingCategory>
#include <cmath>

Q_LOGGING_CATEGORY(lcPlayback, "tavrin.playback", QtInfoMsg)

PlaybackTracker::PlaybackTracker(PlayerCore &core, QObject *parent) : QObject(parent), m_core(core)
{
    for (QTimer *timer : {&detailInfoTimer, &colourSpaceTimer, &positionTimer})
        timer->setInterval(windowTimerInterval);
    connect(&detailInfoTimer, &QTimer::timeout, this, &PlaybackTracker::detailInfoTick);
    connect(&colourSpaceTimer, &QTimer::timeout, this, &PlaybackTracker::colourSpaceTick);
    connect(&positionTimer, &QTimer::timeout, this, &PlaybackTracker::positionTick);
    connect(&core, &PlayerCore::engineRunningChanged, this, &PlaybackTracker::onEngineRunning);
    connect(&core, &PlayerCore::positionAnswered, this, [this] { m_requestOutstanding = false; });
}

void PlaybackTracker::onEngineRunning(bool running)
{
    m_requestOutstanding = false;
    // Between runs neither the output nor the position can change, so the
    // timers rest instead of waking the program 66 times a second for nothing;
    // the next run starts them again on its own output.
    if (running) {
        detailInfoTimer.start();
        colourSpaceTimer.start();
        positionTimer.start();
    } else {
        positionTick();
        positionTimer.stop();
        colourSpaceTimer.stop();
        detailInfoTimer.stop();
    }
}

void PlaybackTracker::detailInfoTick()
{
    PlayerState &state = m_core.state();
    if (!runDetailParse(state, m_core.options()))
        return;
    Q_EMIT sourceSizeKnown();
    // The playback information is complete: look for the video-output line.
    colourSpaceTimer.start();
    detailInfoTimer.stop();
    qCDebug(lcPlayback) << "parsed:" << state.value(Field::infoLabel);
    Q_EMIT detailParsed();
}

void PlaybackTracker::colourSpaceTick()
{
    if (extractColourSpaceAndOutputSize(m_core.state()))
        colourSpaceTimer.stop();
}

std::optional<QString> PlaybackTracker::secondsToShow() const
{
    const PlayerState &state = m_core.state();
    if (!state.is(Field::seekingFlag, QStringLiteral("1")))
        return state.value(Field::currentSecondsField);
    // The time under the knob while the user holds it, in whole seconds.
    const QString total = state.value(Field::totalSecondsField);
    const std::optional<double> fraction = m_knobFraction ? m_knobFraction() : std::nullopt;
    if (total.isEmpty() || !fraction)
        return std::nullopt;
    return QString::number(static_cast<qint64>(std::floor(vbVal(total) * *fraction)));
}

void PlaybackTracker::positionTick()
{
    PlayerState &state = m_core.state();
    if (state.is(Field::playStateField, PlayState::playing) && m_core.cm()) {
        // The engine answers one request per video frame. Asking on every tick
        // regardless would pile requests up in its input faster than it
        // answers them, and every command the user gives would wait behind
        // the pile; so a new request goes only once the last one is answered.
        if (!m_requestOutstanding || m_requestSent.hasExpired(answerTimeoutMs)) {
            if (m_core.cm()->WriteData(EngineCommand::getTimePos) >= 0) {
                qCDebug(lcPlayback) << "position requested";
                m_requestOutstanding = true;
                m_requestSent.start();
            }
        }
    }

    const std::optional<QString> seconds = secondsToShow();
    if (!seconds || seconds->isEmpty())
        return;
    const std::optional<QString> text = formatTime(*seconds);
    if (!text || state.is(Field::currentTimeLabel, *text))
        return;
    if (!state.value(Field::frameRateField).isEmpty())
        state.setValue(Field::playingFrameField,
                       frameNumberText(vbVal(*seconds), state.value(Field::frameRateField)));
    state.setValue(Field::currentTimeLabel, *text);
}
