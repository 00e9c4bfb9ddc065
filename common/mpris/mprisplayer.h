#pragma once

#include <QObject>
#include <QString>

#include <optional>

// What a player offers the desktop's media controls: its state read from
// what the program already keeps, and the operations its own buttons and
// keys perform. Each program implements it once, over its own window and
// core; MprisService puts it on the session bus.
class MprisPlayer : public QObject
{
    Q_OBJECT
public:
    enum class Status
    {
        Playing,
        Paused,
        Stopped
    };

    // The open medium as the desktop shows it.
    struct Medium
    {
        QString title;
        // A URI: file:// for a local file, the address itself otherwise.
        QString url;
        // Microseconds; none while the length is not known.
        std::optional<qint64> lengthUs;
    };

    using QObject::QObject;

    virtual Status status() const = 0;
    // None while no medium is open.
    virtual std::optional<Medium> medium() const = 0;
    virtual qint64 positionUs() const = 0;
    // 0.0 (silent) .. 1.0 (the program's full volume).
    virtual double volume() const = 0;
    virtual void setVolume(double volume) = 0;
    virtual double rate() const = 0;
    virtual double minimumRate() const = 0;
    virtual double maximumRate() const = 0;
    virtual void setRate(double rate) = 0;

    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void playPause() = 0;
    virtual void stop() = 0;
    virtual void seekBy(qint64 offsetUs) = 0;
    // Within the open medium; the service has checked the range.
    virtual void seekTo(qint64 positionUs) = 0;
    virtual void raise() = 0;
    virtual void quit() = 0;

Q_SIGNALS:
    // Something the desktop shows (state, medium, volume, rate) may have
    // changed; the service tells the bus only what really did.
    void changed();
    // A seek asked through the bus has taken the position here.
    void seeked(qint64 positionUs);
};
