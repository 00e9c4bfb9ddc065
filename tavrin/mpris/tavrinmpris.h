#pragma once

#include "common/mpris/mprisplayer.h"
#include "common/mpris/mprisservice.h"

class PlayerCore;
class QWidget;
class Transport;

// Tavrin as the desktop's media controls see it: the state record's play
// state, medium, position, volume and speed, and the transport operations
// the buttons and keys run.
class TavrinMpris : public MprisPlayer
{
    Q_OBJECT
public:
    // The speeds the speed keys reach (they step by 0.1 up to 100.0); 0.0
    // would be a pause, which the desktop asks for as such.
    static constexpr double slowestRate = 0.1;
    static constexpr double fastestRate = 100.0;

    TavrinMpris(PlayerCore &core, Transport &transport, QWidget &window, QObject *parent = nullptr);

    // org.mpris.MediaPlayer2.tavrin, named and typed as the desktop entry.
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
    PlayerCore &m_core;
    Transport &m_transport;
    QWidget &m_window;
    void expectSeek(double targetSeconds);
    void positionAnswered();

    // A seek was sent: where from and where to, in seconds. An answer to a
    // position request sent before the seek can still arrive and tells the
    // old place; the first answer nearer the target than the start is
    // where the seek went (or the third answer, whatever it says).
    struct PendingSeek
    {
        double from = 0;
        double to = 0;
        int answers = 0;
    };
    std::optional<PendingSeek> m_seek;
};
