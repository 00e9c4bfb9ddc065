#pragma once

#include "common/mpris/mprisplayer.h"
#include "common/mpris/mprisservice.h"

class PlayerCore;
class QWidget;

// OblenPlayer as the desktop's media controls see it: the graph's state,
// the medium and times the window keeps, the volume slider, and the
// operations of the control bar's buttons and keys.
class OblenMpris : public MprisPlayer
{
    Q_OBJECT
public:
    // The rates offered to the desktop: the speed buttons have no bound of
    // their own, and the graph plays these.
    static constexpr double slowestRate = 0.1;
    static constexpr double fastestRate = 10.0;

    OblenMpris(PlayerCore &core, QWidget &window, QObject *parent = nullptr);

    // org.mpris.MediaPlayer2.oblenplayer, named and typed as the desktop entry.
    static MprisIdentity identity();

    Status status() const override;
    std::optional<Medium> medium() const override;
    qint64 positionUs() const override;
    double volume() const override;
    void setVolume(double volume) override;
    double rate() const override;
    double minimumRate() const override { return slowestRate; }
    double maximumRate() const override { return fastestRate; }
    void setRate(double rate) override;

    void play() override;
    void pause() override;
    void playPause() override;
    void stop() override;
    void seekBy(qint64 offsetUs) override;
    void seekTo(qint64 positionUs) override;
    void raise() override;
    void quit() override;

private:
    void reportSeek();

    PlayerCore &m_core;
    QWidget &m_window;
};
