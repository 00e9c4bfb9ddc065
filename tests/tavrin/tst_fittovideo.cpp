// The window fitted to the video on a command-line open, with the scripted
// engine printing a source size no window can have.
#include "fakesystem.h"
#include "state/playbacktracker.h"
#include "window/mainform.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class FitToVideoTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void sizeNoWindowCanHaveKeepsTheWindow_data();
    void sizeNoWindowCanHaveKeepsTheWindow();
};

void FitToVideoTest::sizeNoWindowCanHaveKeepsTheWindow_data()
{
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::newRow("largest int") << "2147483647"
                                 << "2147483647";
    QTest::newRow("tall only") << "640"
                               << "2147483000";
    QTest::newRow("wide only") << "2147483000"
                               << "360";
}

void FitToVideoTest::sizeNoWindowCanHaveKeepsTheWindow()
{
    QFETCH(QString, width);
    QFETCH(QString, height);
    QTemporaryDir dir;
    QFile script(dir.filePath(QStringLiteral("script")));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("ID_VIDEO_WIDTH=%1\nID_VIDEO_HEIGHT=%2\nID_LENGTH=10.02\n"
                                "Starting playback...\n")
                     .arg(width, height)
                     .toUtf8());
    script.close();
    qputenv("TAVRIN_MPLAYER", FAKE_MPLAYER_PATH);
    qputenv("FAKE_MPLAYER_SCRIPT", script.fileName().toLocal8Bit());

    FakeSystem system;
    mainform window(&system);
    window.resize(640, 420);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QSize before = window.size();
    QSignalSpy parsed(&window.tracker(), &PlaybackTracker::detailParsed);
    window.openCommandLineMedia(QStringLiteral("/open \"/media/a.mkv\""));
    QVERIFY(parsed.wait(10000));
    QCOMPARE(window.core().state().value(Field::sourceHeightField), height);
    QCOMPARE(window.size(), before);
    // The fit is over for this medium all the same.
    QCOMPARE(window.core().state().value(Field::parameterOpenedField), QStringLiteral("0"));

    window.sendCommand(QStringLiteral("quit "));
    QVERIFY(QTest::qWaitFor([&] { return !window.core().isEngineRunning(); }, 5000));
    qunsetenv("FAKE_MPLAYER_SCRIPT");
    qunsetenv("TAVRIN_MPLAYER");
}

QTEST_MAIN(FitToVideoTest)
#include "tst_fittovideo.moc"
