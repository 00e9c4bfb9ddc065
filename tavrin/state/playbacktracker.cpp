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
    for (QTimer *timer : {&detailInfoTimer, &colourSpaceTimer, &positionTimer}) {
        timer->setInterval(windowTimerInterval);
        timer->setSingleShot(true);
    }
    connect(&detailInfoTimer, &QTimer::timeout, this, &PlaybackTracker::detailInfoTick);
    connect(&colourSpaceTimer, &QTimer::timeout, this, &PlaybackTracker::colourSpaceTick);
    connect(&positionTimer, &QTimer::timeout, this, &PlaybackTracker::positionTick);
    connect(&core, &PlayerCore::engineRunningChanged, this, &PlaybackTracker::onEngineRunning);
    connect(&core, &PlayerCore::positionAnswered, this, &PlaybackTracker::onPositionAnswered);
    connect(&core.state(), &PlayerState::outputAppended, this, &PlaybackTracker::onOutputGrew);
    connect(&core.state(), &PlayerState::changed, this, &PlaybackTracker::onStateChanged);
}

bool PlaybackTracker::isPlaying() const
{
    return m_running && m_core.state().is(Field::playStateField, PlayState::playing);
}

void PlaybackTracker::onEngineRunning(bool running)
{
    m_running = running;
    m_requestOutstanding = false;
    if (running) {
        // A fresh run: its output is parsed once playback has started.
        m_parsePending = true;
        m_outputSizePending = true;
        detailInfoTimer.start();
        colourSpaceTimer.start();
        positionTimer.start(windowTimerInterval);
    } else {
        // Between runs neither the output nor the position changes.
        detailInfoTimer.stop();
        colourSpaceTimer.stop();
        positionTimer.stop();
        refreshPositionLabel();
    }
}

void PlaybackTracker::onOutputGrew()
{
    if (m_parsePending && !detailInfoTimer.isActive())
        detailInfoTimer.start();
    if (m_outputSizePending && !colourSpaceTimer.isActive())
        colourSpaceTimer.start();
}

void PlaybackTracker::onStateChanged(Field field)
{
    switch (field) {
    case Field::currentSecondsField:
    case Field::seekingFlag:
    case Field::totalSecondsField:
        refreshPositionLabel();
        break;
    case Field::playStateField:
        if (isPlaying() && !positionTimer.isActive())
            positionTimer.start(windowTimerInterval);
        break;
    default:
        break;
    }
}

void PlaybackTracker::detailInfoTick()
{
    PlayerState &state = m_core.state();
    if (!runDetailParse(state, m_core.options()))
        return;
    m_parsePending = false;
    Q_EMIT sourceSizeKnown();
    // The playback information is complete: look for the video-output line.
    m_outputSizePending = true;
    colourSpaceTimer.start();
    qCDebug(lcPlayback) << "parsed:" << state.value(Field::infoLabel);
    Q_EMIT detailParsed();
}

void PlaybackTracker::colourSpaceTick()
{
    if (extractColourSpaceAndOutputSize(m_core.state()))
        m_outputSizePending = false;
}

void PlaybackTracker::onPositionAnswered()
{
    m_requestOutstanding = false;
    if (!isPlaying())
        return;
    // The next request goes at once, but never sooner than the spacing after
    // the last one.
    const qint64 since = m_requestSent.isValid() ? m_requestSent.elapsed() : positionSpacingMs;
    if (since >= positionSpacingMs)
        positionTick();
    else
        positionTimer.start(int(positionSpacingMs - since));
}

void PlaybackTracker::positionTick()
{
    if (isPlaying() && m_core.cm()) {
        // The engine answers one request per video frame. Asking on every tick
        // regardless would pile requests up in its input faster than it
        // answers them, and every command the user gives would wait behind
        // the pile; so a new request goes only once the last one is answered
        // (or has waited so long that its answer is taken as lost).
        if (!m_requestOutstanding || m_requestSent.hasExpired(answerTimeoutMs)) {
            // Encoded once: it goes out many times a second.
            static const QByteArray request =
                (EngineCommand::getTimePos + QStringLiteral("\r\n")).toLatin1();
            if (m_core.cm()->WriteLine(request) >= 0) {
                qCDebug(lcPlayback) << "position requested";
                m_requestOutstanding = true;
                m_requestSent.start();
            }
        }
        // Wait for the answer; without one, ask again once it is taken as lost
        // (a coarse timer may fire a little early: wait out the remainder).
        // A watch that is already running is left to run: the answers come
        // many times a second, and re-arming the timer for every request
        // would cost more than the one early tick a second that finds the
        // latest request still fresh and waits out its remainder.
        if (m_requestOutstanding && !positionTimer.isActive())
            positionTimer.start(
                int(qMax<qint64>(1, answerTimeoutMs + 1 - m_requestSent.elapsed())));
    }
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
    const std::optional<qint64> seconds = wholeInt64(std::floor(vbVal(total) * *fraction));
    if (!seconds)
        return std::nullopt;
    return QString::number(*seconds);
}

void PlaybackTracker::refreshPositionLabel()
{
    PlayerState &state = m_core.state();
    const std::optional<QString> seconds = secondsToShow();
    if (!seconds || seconds->isEmpty())
        return;
    if (*seconds == m_shownSeconds && state.is(Field::currentTimeLabel, m_shownText))
        return;
    const std::optional<QString> text = formatTime(*seconds);
    if (!text)
        return;
    m_shownSeconds = *seconds;
    m_shownText = *text;
    if (state.is(Field::currentTimeLabel, *text))
        return;
    if (!state.value(Field::frameRateField).isEmpty())
        state.setValue(Field::playingFrameField,
                       frameNumberText(vbVal(*seconds), state.value(Field::frameRateField)));
    state.setValue(Field::currentTimeLabel, *text);
}
