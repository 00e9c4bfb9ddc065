#pragma once

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
class PlaybackTracker : public QObject
{
    Q_OBJECT
public:
    // A position request that got no answer in this time is given up, so a
    // lost answer never stops the poll.
    static constexpr int answerTimeoutMs = 1000;

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
    std::optional<QString> secondsToShow() const;

    PlayerCore &m_core;
    std::function<std::optional<double>()> m_knobFraction;
    bool m_requestOutstanding = false;
    QElapsedTimer m_requestSent;
};
