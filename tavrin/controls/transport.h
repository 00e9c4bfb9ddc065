#pragma once

#include "knobtrack.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

class PlayerCore;

// The transport of the main window as operations: play, pause, stop, frame
// step, speed, jumps, the held seek buttons, the seek and volume knobs,
// volume steps, mute and the two delays. Each turns a user action into
// engine commands and keeps the state record in step; the buttons, keys and
// menu entries only call these.
class Transport : public QObject
{
    Q_OBJECT
public:
    enum class SeekButton
    {
        Back,
        Forward
    };

    static constexpr int seekRepeatMs = 100;
    static constexpr int seekReleaseDelayMs = 200;
    static constexpr int jumpSeconds = 10;

    explicit Transport(PlayerCore &core, QObject *parent = nullptr);

    // How an engine run is started when play is pressed with none running;
    // the core's own launchEngine unless the window supplies its own.
    void setLauncher(std::function<void()> launcher) { m_launcher = std::move(launcher); }

    void play();
    void pause();
    void togglePlayPause();
    void stopPlayback();
    void frameStep();
    void speedDown();
    void speedUp();
    void resetSpeed();
    void jump(int seconds);
    // "seek " + S + " 2 ": the absolute seek the seek knob and track make.
    void seekToSeconds(qint64 seconds);

    void seekButtonPressed(SeekButton button, Qt::MouseButton mouseButton);
    void seekButtonReleased(SeekButton button, Qt::MouseButton mouseButton);

    // Geometry of the knobs and their panels, in bar coordinates.
    void setSeekGeometry(int panelLeft, int panelWidth, int knobWidth);
    void setVolumeGeometry(int panelLeft, int panelWidth, int knobWidth);
    const KnobTrack &seekKnob() const { return m_seek; }
    const KnobTrack &volumeKnob() const { return m_volume; }
    std::optional<double> seekKnobFraction() const { return m_seek.fraction(); }

    // x is in the knob's own coordinates, or the track's for a track click.
    void seekKnobPressed(int x);
    void seekKnobMoved(int x);
    void seekKnobReleased();
    // The knob was let go without a release (it was disabled while held):
    // the drag ends where it is, without a seek.
    void seekKnobAbandoned();
    void seekTrackReleased(int x);
    void volumeKnobPressed(int x);
    void volumeKnobMoved(int x);
    void volumeKnobReleased();
    void volumeTrackReleased(int x);

    // Clamps volumeField to 0-100, sends it unless stopped, clears mute.
    void applyVolume();
    void stepVolume(int step);
    void toggleMute();
    void stepAudioDelay(double step);
    void resetAudioDelay();
    void stepSubDelay(double step);
    void resetSubDelay();

    // Subtitle text size: the style's font scale while the style file is in
    // use, the plain text scale otherwise; one step of 0.1 within 0..100.
    // The scale is sent also when it is at its limit and did not change.
    void subtitleSmaller();
    void subtitleLarger();
    // Shows or hides the subtitles; showSubtitlesMenu's check mark is the state.
    void toggleSubtitleVisibility();
    // The previous (-1) or next (+1) subtitle.
    void subtitleStep(int step);

    // The caption of the play/pause button names what a click will do.
    static QString playPauseCaption(const QString &playState);

    QTimer seekBackTimer;
    QTimer seekForwardTimer;
    QTimer seekReleaseTimer;
    // Moves the volume knob to volumeField within one window-timer tick of a
    // change, whoever made it; it runs only when there is something to move.
    QTimer volumeSliderTimer;

Q_SIGNALS:
    void seekKnobMovedTo(int left);
    void volumeKnobMovedTo(int left);
    // The video window should take the keyboard focus.
    void videoFocusRequested();

private:
    void followPosition();
    void followVolume();
    void setSeekKnobLeft(int left);
    void setVolumeKnobLeft(int left);
    void seekTo(const std::optional<double> &fraction);
    void setVolumeFromFraction(const std::optional<double> &fraction);
    void setPlayState(const QString &state);
    QTimer &timerFor(SeekButton button);
    void stepSubtitleScale(double step);

    PlayerCore &m_core;
    std::function<void()> m_launcher;
    KnobTrack m_seek;
    KnobTrack m_volume;
};
