#include "common/mpris/mprisservice.h"

#include <QDBusObjectPath>
#include <QDir>
#include <QTest>

#include <cmath>
#include <limits>

namespace {
// A player whose state the test sets and whose operations it records.
class ScriptedPlayer : public MprisPlayer
{
public:
    std::optional<Medium> open;
    QStringList calls;
    double volumeSet = -1;
    double rateSet = -1;
    qint64 seekedTo = -1;

    Status status() const override { return Status::Playing; }
    std::optional<Medium> medium() const override { return open; }
    qint64 positionUs() const override { return 0; }
    double volume() const override { return 0.5; }
    void setVolume(double volume) override { volumeSet = volume; }
    double rate() const override { return 1.0; }
    double minimumRate() const override { return 0.1; }
    double maximumRate() const override { return 4.0; }
    void setRate(double rate) override { rateSet = rate; }
    void play() override { calls << QStringLiteral("play"); }
    void pause() override { calls << QStringLiteral("pause"); }
    void playPause() override {}
    void stop() override {}
    void seekBy(qint64) override {}
    void seekTo(qint64 positionUs) override { seekedTo = positionUs; }
    void raise() override {}
    void quit() override {}
};

MprisIdentity testIdentity()
{
    MprisIdentity identity;
    identity.busName = QStringLiteral("test");
    return identity;
}

MprisPlayer::Medium mediumAt(const QString &path, std::optional<qint64> lengthUs = 60000000)
{
    return {path.mid(path.lastIndexOf(QLatin1Char('/')) + 1), mprisUrlOf(path), lengthUs};
}
} // namespace

class tst_mpris : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void urls_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("url");
        QTest::newRow("blanks and Korean")
            << QStringLiteral("/tmp/a b/클립.mp4")
            << QStringLiteral("file:///tmp/a%20b/%ED%81%B4%EB%A6%BD.mp4");
        QTest::newRow("percent and hash")
            << QStringLiteral("/m/100% #1.mkv") << QStringLiteral("file:///m/100%25%20%231.mkv");
        QTest::newRow("address") << QStringLiteral("http://host/x.mp4?a=1")
                                 << QStringLiteral("http://host/x.mp4?a=1");
        QTest::newRow("disc") << QStringLiteral("dvdnav://") << QStringLiteral("dvdnav://");
        // The same file: two slashes in a path are one.
        QTest::newRow("absolute path with an address in it")
            << QStringLiteral("/tmp/dvd://1") << QStringLiteral("file:///tmp/dvd%3A/1");
        QTest::newRow("relative file")
            << QStringLiteral("clip.mp4")
            << QStringLiteral("file://") +
                   QString::fromLatin1(QUrl::toPercentEncoding(QDir::currentPath().toUtf8(), "/")) +
                   QStringLiteral("/clip.mp4");
    }
    void urls()
    {
        QFETCH(QString, path);
        QFETCH(QString, url);
        QCOMPARE(mprisUrlOf(path), url);
    }

    void volumes_data()
    {
        QTest::addColumn<int>("hundredthsDb");
        QTest::addColumn<double>("amplitude");
        QTest::newRow("full") << 0 << 1.0;
        QTest::newRow("-20 dB") << -2000 << 0.1;
        QTest::newRow("-6 dB is about half") << -602 << 0.5;
        QTest::newRow("-60 dB") << -6000 << 0.001;
        QTest::newRow("silence") << -10000 << 0.0;
    }
    void volumes()
    {
        QFETCH(int, hundredthsDb);
        QFETCH(double, amplitude);
        QVERIFY(std::abs(mprisAmplitudeOf(hundredthsDb, -10000) - amplitude) < 0.0005);
        QCOMPARE(mprisHundredthsDbOf(amplitude, -10000), hundredthsDb);
    }

    void volumesOutOfRange()
    {
        // Louder than full, quieter than the scale, and no number at all.
        QCOMPARE(mprisHundredthsDbOf(3.0, -10000), 0);
        QCOMPARE(mprisHundredthsDbOf(1e-9, -10000), -10000);
        QCOMPARE(mprisHundredthsDbOf(-0.5, -10000), -10000);
        QCOMPARE(mprisHundredthsDbOf(std::numeric_limits<double>::quiet_NaN(), -10000), -10000);
        QCOMPARE(mprisAmplitudeOf(-12000, -10000), 0.0);
    }

    void trackIdChangesPerMedium()
    {
        ScriptedPlayer player;
        MprisService service(player, testIdentity());
        QCOMPARE(service.trackId(), MprisService::noTrack);
        QCOMPARE(service.metadata().size(), 1);

        player.open = mediumAt(QStringLiteral("/m/a.mkv"));
        const QString first = service.trackId();
        QVERIFY(first != MprisService::noTrack);
        QCOMPARE(service.trackId(), first);
        const QVariantMap metadata = service.metadata();
        QCOMPARE(metadata.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path(),
                 first);
        QCOMPARE(metadata.value(QStringLiteral("mpris:length")).toLongLong(), 60000000);
        QCOMPARE(metadata.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("a.mkv"));
        QCOMPARE(metadata.value(QStringLiteral("xesam:url")).toString(),
                 QStringLiteral("file:///m/a.mkv"));

        player.open = mediumAt(QStringLiteral("/m/b.mkv"), std::nullopt);
        const QString second = service.trackId();
        QVERIFY(second != first);
        QVERIFY(!service.metadata().contains(QStringLiteral("mpris:length")));

        // Closed and opened again: another track, not the old one back.
        player.open.reset();
        QCOMPARE(service.trackId(), MprisService::noTrack);
        player.open = mediumAt(QStringLiteral("/m/a.mkv"));
        QVERIFY(service.trackId() != first && service.trackId() != second);
    }

    void setPosition_data()
    {
        QTest::addColumn<bool>("ownTrack");
        QTest::addColumn<qint64>("positionUs");
        QTest::addColumn<qint64>("seekedTo");
        QTest::newRow("inside") << true << qint64(30000000) << qint64(30000000);
        QTest::newRow("the very end") << true << qint64(60000000) << qint64(60000000);
        QTest::newRow("beyond the end") << true << qint64(60000001) << qint64(-1);
        QTest::newRow("before the start") << true << qint64(-1) << qint64(-1);
        QTest::newRow("another track") << false << qint64(30000000) << qint64(-1);
    }
    void setPosition()
    {
        QFETCH(bool, ownTrack);
        QFETCH(qint64, positionUs);
        QFETCH(qint64, seekedTo);
        ScriptedPlayer player;
        MprisService service(player, testIdentity());
        player.open = mediumAt(QStringLiteral("/m/a.mkv"));
        const QString id = ownTrack ? service.trackId() : QStringLiteral("/other/track/1");
        service.setPosition(id, positionUs);
        QCOMPARE(player.seekedTo, seekedTo);
    }

    void rateAndVolumeBounds()
    {
        ScriptedPlayer player;
        MprisService service(player, testIdentity());
        service.setRate(9.0);
        QCOMPARE(player.rateSet, 4.0);
        service.setRate(0.01);
        QCOMPARE(player.rateSet, 0.1);
        // A rate of 0 is a pause, not a speed.
        player.rateSet = -1;
        service.setRate(0.0);
        QCOMPARE(player.rateSet, -1.0);
        QCOMPARE(player.calls, QStringList{QStringLiteral("pause")});
        service.setVolume(1.5);
        QCOMPARE(player.volumeSet, 1.0);
        service.setVolume(-0.2);
        QCOMPARE(player.volumeSet, 0.0);
    }
};

QTEST_GUILESS_MAIN(tst_mpris)
#include "tst_mpris.moc"
