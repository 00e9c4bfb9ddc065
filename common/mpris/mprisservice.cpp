#include "mprisservice.h"

#include "mprisadaptors.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QLoggingCategory>

#include <algorithm>
#include <cmath>

Q_LOGGING_CATEGORY(lcMpris, "suite.mpris", QtInfoMsg)

namespace {
const QString playerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
} // namespace

MprisService::MprisService(MprisPlayer &player, MprisIdentity identity, QObject *parent)
    : QObject(parent), m_player(player), m_identity(std::move(identity))
{
    new MprisRootAdaptor(*this, &m_object);
    new MprisPlayerAdaptor(*this, &m_object);
    m_publishTimer.setSingleShot(true);
    m_publishTimer.setInterval(0);
    connect(&m_publishTimer, &QTimer::timeout, this, &MprisService::publishChanges);
    connect(&player, &MprisPlayer::changed, &m_publishTimer, qOverload<>(&QTimer::start));
}

MprisService::~MprisService()
{
    if (!m_bus)
        return;
    m_bus->unregisterObject(objectPath);
    m_bus->unregisterService(m_serviceName);
}

bool MprisService::registerOn(const QDBusConnection &bus)
{
    if (m_bus || !bus.isConnected())
        return false;
    QDBusConnection connection = bus;
    if (!connection.registerObject(objectPath, &m_object, QDBusConnection::ExportAdaptors)) {
        qCInfo(lcMpris) << "cannot serve" << objectPath << connection.lastError().message();
        return false;
    }
    // A second instance is still reachable, under a name of its own
    // (org.mpris.MediaPlayer2.NAME.instancePID, as media players name theirs).
    const QString name = QStringLiteral("org.mpris.MediaPlayer2.") + m_identity.busName;
    const QString instanceName =
        name + QStringLiteral(".instance") + QString::number(QCoreApplication::applicationPid());
    for (const QString &candidate : {name, instanceName}) {
        if (connection.registerService(candidate)) {
            m_bus = connection;
            m_serviceName = candidate;
            m_published = playerValues();
            return true;
        }
    }
    qCInfo(lcMpris) << "cannot take" << name << connection.lastError().message();
    connection.unregisterObject(objectPath);
    return false;
}

QString MprisService::playbackStatus() const
{
    return mprisStatusText(m_player.status());
}

QString MprisService::trackId()
{
    const std::optional<MprisPlayer::Medium> medium = m_player.medium();
    if (!medium) {
        // Closing and opening the same file again is another track.
        m_trackUrl.clear();
        return noTrack;
    }
    if (m_trackNumber == 0 || medium->url != m_trackUrl) {
        m_trackUrl = medium->url;
        ++m_trackNumber;
    }
    return QStringLiteral("/org/oblensuite/%1/track/%2").arg(m_identity.busName).arg(m_trackNumber);
}

QVariantMap MprisService::metadata()
{
    QVariantMap values{
        {QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(trackId()))}};
    const std::optional<MprisPlayer::Medium> medium = m_player.medium();
    if (!medium)
        return values;
    values.insert(QStringLiteral("xesam:title"), medium->title);
    values.insert(QStringLiteral("xesam:url"), medium->url);
    if (medium->lengthUs)
        values.insert(QStringLiteral("mpris:length"), qlonglong(*medium->lengthUs));
    return values;
}

void MprisService::setVolume(double volume)
{
    if (std::isnan(volume))
        return;
    m_player.setVolume(std::clamp(volume, 0.0, 1.0));
    publishChanges();
}

void MprisService::setRate(double rate)
{
    if (std::isnan(rate))
        return;
    // A rate of 0 is how the desktop asks for a pause.
    if (rate == 0.0)
        m_player.pause();
    else
        m_player.setRate(std::clamp(rate, m_player.minimumRate(), m_player.maximumRate()));
    publishChanges();
}

void MprisService::setPosition(const QString &trackId, qint64 positionUs)
{
    const std::optional<MprisPlayer::Medium> medium = m_player.medium();
    // A request meant for a medium that has since been replaced is stale.
    if (!medium || trackId != this->trackId() || positionUs < 0)
        return;
    if (medium->lengthUs && positionUs > *medium->lengthUs)
        return;
    m_player.seekTo(positionUs);
}

QVariantMap MprisService::playerValues()
{
    return {{QStringLiteral("PlaybackStatus"), playbackStatus()},
            {QStringLiteral("Metadata"), metadata()},
            {QStringLiteral("Volume"), m_player.volume()},
            {QStringLiteral("Rate"), m_player.rate()},
            {QStringLiteral("MinimumRate"), m_player.minimumRate()},
            {QStringLiteral("MaximumRate"), m_player.maximumRate()}};
}

void MprisService::publishChanges()
{
    m_publishTimer.stop();
    if (!m_bus)
        return;
    const QVariantMap now = playerValues();
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (m_published.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    }
    m_published = now;
    if (changed.isEmpty())
        return;
    QDBusMessage signal =
        QDBusMessage::createSignal(objectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << playerInterface << changed << QStringList();
    m_bus->send(signal);
}
