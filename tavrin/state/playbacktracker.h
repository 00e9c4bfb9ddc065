#pragma once

#include "playerstate.h"
#include "windowtimer.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

class PlayerCore;

// Follows an engine run: parses the identify output once playback has
// started (detailInfoTimer), waits for the video-output line
// (colourSpaceTimer), and asks for the playing position and keeps the
// position label and the frame counter current (positionTimer).
//
// The timers tick at the window-timer rate but only when there is something
// to do: the two output timers when the output has grown, the position timer
// while playing, once the last request has been answered. The label follows
// its inputs (the position, the held knob) as they change.
class PlaybackTracker : public QObject
{
    Q_OBJECT
public:
    // A position request that got no answer in this time is given up, so a
    // lost answer never stops the poll.
    static constexpr int answerTimeoutMs = 1000;
    // Requests are at least one window-timer tick apart, and only one is
    // outstanding at a time.
    static constexpr int positionSpacingMs = windowTimerInterval;

    explicit PlaybackTracker(PlayerCore &core, QObject *parent = nullptr);

    // Where the seek knob stands as a fraction of its track, while the user
    // holds it; nothing when it cannot be told.
    void setSeekKnobFraction(std::function<std::optional<double>()> fraction)
    {
        m_knobFraction = std::move(fraction);
    }

    void detailInfoTick();
    void colourSpaceTick();
    void positionTick();
    // Shows the position (or the time under the held knob) in the label.
    void refreshPositionLabel();

    QTimer detailInfoTimer;
    QTimer colourSpaceTimer;
    QTimer positionTimer;

Q_SIGNALS:
    // sourceWidthField and sourceHeightField were read: size the picture.
    void sourceSizeKnown();
    // The one parse of this run has run.
    void detailParsed();

private:
    void onEngineRunning(bool running);
    void onOutputGrew();
    void onPositionAnswered();
    void onStateChanged(Field field);
    bool isPlaying() const;
    std::optional<QString> secondsToShow() const;

    PlayerCore &m_core;
    std::function<std::optional<double>()> m_knobFraction;
    bool m_running = false;
    bool m_parsePending = false;
    bool m_outputSizePending = false;
    bool m_requestOutstanding = false;
    QElapsedTimer m_requestSent;
    // The seconds the label was last made from and its text: the same answer
    // again needs no formatting.
    QString m_shownSeconds;
    QString m_shownText;
};
