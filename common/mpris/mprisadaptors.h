#pragma once

#include "mprisservice.h"

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>

// org.mpris.MediaPlayer2: who the player is, raising and quitting it.
class MprisRootAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ yes)
    Q_PROPERTY(bool CanRaise READ yes)
    Q_PROPERTY(bool HasTrackList READ no)
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QString DesktopEntry READ desktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ uriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ mimeTypes)
public:
    MprisRootAdaptor(MprisService &service, QObject *object)
        : QDBusAbstractAdaptor(object), m_service(service)
    {
    }
    bool yes() const { return true; }
    bool no() const { return false; }
    QString identity() const { return m_service.identity().identity; }
    QString desktopEntry() const { return m_service.identity().desktopEntry; }
    QStringList uriSchemes() const { return m_service.identity().uriSchemes; }
    QStringList mimeTypes() const { return m_service.identity().mimeTypes; }

public Q_SLOTS:
    void Raise() { m_service.player().raise(); }
    void Quit() { m_service.player().quit(); }

private:
    MprisService &m_service;
};

// org.mpris.MediaPlayer2.Player: the transport, the medium and the volume.
class MprisPlayerAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(double Rate READ rate WRITE setRate)
    Q_PROPERTY(double MinimumRate READ minimumRate)
    Q_PROPERTY(double MaximumRate READ maximumRate)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(double Volume READ volume WRITE setVolume)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(bool CanGoNext READ no)
    Q_PROPERTY(bool CanGoPrevious READ no)
    Q_PROPERTY(bool CanPlay READ yes)
    Q_PROPERTY(bool CanPause READ yes)
    Q_PROPERTY(bool CanSeek READ yes)
    Q_PROPERTY(bool CanControl READ yes)
public:
    MprisPlayerAdaptor(MprisService &service, QObject *object)
        : QDBusAbstractAdaptor(object), m_service(service)
    {
        connect(&service.player(), &MprisPlayer::seeked, this, &MprisPlayerAdaptor::Seeked);
    }
    bool yes() const { return true; }
    bool no() const { return false; }
    QString playbackStatus() const { return m_service.playbackStatus(); }
    double rate() const { return m_service.player().rate(); }
    void setRate(double rate) { m_service.setRate(rate); }
    double minimumRate() const { return m_service.player().minimumRate(); }
    double maximumRate() const { return m_service.player().maximumRate(); }
    QVariantMap metadata() const { return m_service.metadata(); }
    double volume() const { return m_service.player().volume(); }
    void setVolume(double volume) { m_service.setVolume(volume); }
    qlonglong position() const { return m_service.player().positionUs(); }

public Q_SLOTS:
    // There is one medium and no list: nothing comes before or after it.
    void Next() {}
    void Previous() {}
    void Play() { m_service.player().play(); }
    void Pause() { m_service.player().pause(); }
    void PlayPause() { m_service.player().playPause(); }
    void Stop() { m_service.player().stop(); }
    void Seek(qlonglong Offset) { m_service.player().seekBy(Offset); }
    void SetPosition(const QDBusObjectPath &TrackId, qlonglong Position)
    {
        m_service.setPosition(TrackId.path(), Position);
    }

Q_SIGNALS:
    void Seeked(qlonglong Position);

private:
    MprisService &m_service;
};
