#pragma once

#include "mprisplayer.h"
#include "mprisvalues.h"

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>

#include <optional>

// Who the player is on the bus and to the desktop.
struct MprisIdentity
{
    // The last part of the bus name: org.mpris.MediaPlayer2.<busName>.
    QString busName;
    // The name the desktop shows.
    QString identity;
    // The desktop entry's file name without ".desktop".
    QString desktopEntry;
    QStringList uriSchemes;
    QStringList mimeTypes;
};

// Serves one player over MPRIS 2: the root and Player interfaces at
// /org/mpris/MediaPlayer2, and PropertiesChanged for every value that really
// changed (never for the position, which the desktop asks for).
class MprisService : public QObject
{
    Q_OBJECT
public:
    static inline const QString objectPath = QStringLiteral("/org/mpris/MediaPlayer2");
    static inline const QString noTrack =
        QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");

    MprisService(MprisPlayer &player, MprisIdentity identity, QObject *parent = nullptr);
    ~MprisService() override;

    // Takes the player's name on the bus (or, while another instance holds
    // it, a name of this process's own). False, with nothing registered, when
    // there is no bus or it refuses: the program goes on without.
    bool registerOn(const QDBusConnection &bus);
    // The name taken on the bus; empty while not registered.
    QString serviceName() const { return m_serviceName; }

    MprisPlayer &player() { return m_player; }
    const MprisIdentity &identity() const { return m_identity; }

    QString playbackStatus() const;
    // mpris:trackid, mpris:length, xesam:title and xesam:url of the open
    // medium; only the "no track" id without one.
    QVariantMap metadata();
    // The current medium's track id: a new one whenever another medium opens.
    QString trackId();
    void setVolume(double volume);
    void setRate(double rate);
    // Ignored unless the id names the open medium and the position lies in it.
    void setPosition(const QString &trackId, qint64 positionUs);

private:
    // The Player interface's values that PropertiesChanged reports.
    QVariantMap playerValues();
    void publishChanges();

    MprisPlayer &m_player;
    MprisIdentity m_identity;
    QObject m_object;
    std::optional<QDBusConnection> m_bus;
    QString m_serviceName;
    QVariantMap m_published;
    // Many changes of one event go out as one signal.
    QTimer m_publishTimer;
    QString m_trackUrl;
    quint64 m_trackNumber = 0;
};
