// Media that cannot play, on the real engine: the window says why, in the
// bar and over the picture; and without a medium the picture says how to
// begin.
#include "engine/runfailure.h"
#include "realenginewindow.h"
#include "window/statustoolbar.h"
#include "window/videowindow.h"

#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString sample = QStringLiteral(SAMPLE_MEDIA_DIR "/sample.mkv");

// A clip whose video format no decoder of the engine knows: an MPEG-4 AVI
// with its format code changed to one nobody uses.
bool makeClipWithoutCodec(const QString &path)
{
    const QString made = path + QStringLiteral(".made.avi");
    if (QProcess::execute(QStringLiteral("ffmpeg"),
                          {"-loglevel", "error", "-nostdin", "-y", "-f", "lavfi", "-i",
                           "testsrc=size=160x120:rate=10", "-t", "2", "-c:v", "mpeg4", "-vtag",
                           "XVID", "-an", made}) != 0)
        return false;
    QFile in(made), out(path);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        return false;
    return out.write(in.readAll().replace("XVID", "QQQQ")) > 0;
}

// How many pixels of the picture area are light (the hint's letters).
int lightPixels(QWidget *video)
{
    const QPoint at = video->mapToGlobal(QPoint(0, 0));
    const QImage shot =
        video->screen()->grabWindow(0, at.x(), at.y(), video->width(), video->height()).toImage();
    int light = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            light += qGray(shot.pixel(x, y)) > 128;
    return light;
}
} // namespace

class RunFailureTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void reasonsReadFromTheOutput_data();
    void reasonsReadFromTheOutput();
    void unplayableInputSaysWhy_data();
    void unplayableInputSaysWhy();
    void runsThatPlayOrAreEndedSayNothing();
    void sideFilesThatWouldHoldTheEngineDoNot_data();
    void sideFilesThatWouldHoldTheEngineDoNot();
    void thePictureTellsHowToBeginUntilItPlays();

private:
    QString shownReason() const;

    QTemporaryDir m_dir;
    std::unique_ptr<FakeSystem> m_system;
    std::unique_ptr<mainform> m_window;
};

void RunFailureTest::init()
{
    m_system = std::make_unique<FakeSystem>();
    QVERIFY(showRealEngineWindow(m_window, *m_system));
    // The bar with the reason shows.
    m_window->normalMode();
}

void RunFailureTest::cleanup()
{
    closeRealEngineWindow(m_window);
}

QString RunFailureTest::shownReason() const
{
    return m_window->statusToolbar()->infoLabel()->text();
}

void RunFailureTest::reasonsReadFromTheOutput_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("medium");
    QTest::addColumn<QString>("reason");
    const QString start = "MPlayer UNKNOWN-12 (C) 2000-2023 MPlayer Team\r\n"
                          "Failed to open LIRC support. You will not be able to use your remote "
                          "control.\r\n\r\n";
    QTest::newRow("missing file")
        << start + "Playing /m/a.mp4.\r\nFile not found: '/m/a.mp4'\r\nFailed to open /m/a.mp4.\r\n"
        << "/m/a.mp4"
        << "파일을 찾을 수 없습니다.";
    QTest::newRow("an option the engine refuses")
        << start + "The subpos option must be an integer: 97.5\r\n"
                   "Error parsing option on the command line: -subpos\r\n"
        << "/m/a.mp4"
        << "재생기에 줄 설정 값이 잘못되었습니다.";
    QTest::newRow("no sound device and no picture")
        << start + "Playing /m/a.mp3.\r\nCould not open/initialize audio device -> no sound.\r\n"
                   "Audio: no sound\r\nVideo: no video\r\n\r\nExiting... (End of file)\r\n"
        << "/m/a.mp3"
        << "소리 장치를 열 수 없습니다.";
    QTest::newRow("nothing said: the engine's last line")
        << start + "Playing /m/a.xyz.\r\nlibavformat version 59.27.100 (external)\r\n"
                   "Something odd\r\nID_EXIT=EOF\r\n\r\nExiting... (End of file)\r\n"
        << "/m/a.xyz"
        << "재생을 시작하지 못했습니다. (Something odd)";
    QTest::newRow("start-up notes are no reason")
        << start + "Playing /m/a.xyz.\r\n\r\nExiting... (End of file)\r\n"
        << "/m/a.xyz"
        << "재생을 시작하지 못했습니다.";
}

void RunFailureTest::reasonsReadFromTheOutput()
{
    QFETCH(QString, output);
    QFETCH(QString, medium);
    QFETCH(QString, reason);
    QCOMPARE(RunFailure::describe(output, medium), "재생할 수 없음: " + reason);
}

void RunFailureTest::unplayableInputSaysWhy_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("engineSaid"); // in the log, as the engine said it
    QTest::newRow("missing file") << "missing"
                                  << "파일을 찾을 수 없습니다."
                                  << "File not found";
    QTest::newRow("0-byte file") << "empty"
                                 << "빈 파일입니다."
                                 << "Exiting...";
    QTest::newRow("text named .mp4") << "text"
                                     << "파일 형식을 알 수 없습니다."
                                     << "av_open_input_stream() failed";
    QTest::newRow("no codec") << "codec"
                              << "이 영상 형식을 풀 코덱이 없습니다."
                              << "Cannot find codec";
    QTest::newRow("외부코덱으로 열기")
        << "avisynth"
        << "AviSynth 스크립트(외부코덱으로 열기)는 이 시스템에서 쓸 수 없습니다."
        << "Exiting...";
}

void RunFailureTest::unplayableInputSaysWhy()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QFETCH(QString, engineSaid);
    const QString medium = m_dir.filePath(kind + QStringLiteral(".mp4"));
    QFile file(medium);
    if (kind == "empty" || kind == "text") {
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kind == "text" ? "not a film, only some words\n" : "");
        file.close();
    } else if (kind == "codec") {
        QVERIFY(makeClipWithoutCodec(medium));
    }
    PlayerCore &core = m_window->core();
    if (kind == "avisynth")
        m_window->opener().openWithAviSynth(sample);
    else
        m_window->opener().openAndPlay(medium, MediaOpener::displayNameOf(medium));
    QTRY_VERIFY_WITH_TIMEOUT(!core.isEngineRunning(), 15000);

    const QString expected = QStringLiteral("재생할 수 없음: ") + reason;
    QTRY_COMPARE(shownReason(), expected);
    QVERIFY(m_window->videoWindow()->hint().startsWith(expected));
    // The log is left as the engine wrote it.
    QVERIFY(core.state().value(Field::engineOutputBox).contains(engineSaid));

    // The next run takes the reason back.
    m_window->opener().openAndPlay(sample, QStringLiteral("sample.mkv"));
    QTRY_VERIFY_WITH_TIMEOUT(core.isEngineRunning(), 5000);
    QCOMPARE(shownReason(), QString());
}

void RunFailureTest::runsThatPlayOrAreEndedSayNothing()
{
    PlayerCore &core = m_window->core();
    // Told to quit before it played: the program ended it, nothing failed.
    core.state().setValue(Field::mediaPathField, sample);
    m_window->launchEngine();
    m_window->sendCommand(EngineCommand::quit);
    QVERIFY(m_window->opener().waitForEngineEnd());
    QCOMPARE(shownReason(), QString());

    // Played and stopped.
    m_window->launchEngine();
    QTRY_VERIFY_WITH_TIMEOUT(!core.state().value(Field::currentSecondsField).isEmpty(), 15000);
    m_window->sendCommand(EngineCommand::stop);
    QTRY_VERIFY_WITH_TIMEOUT(!core.isEngineRunning(), 5000);
    QCOMPARE(shownReason(), QString());
    QCOMPARE(m_window->videoWindow()->hint(), QString());
}

void RunFailureTest::sideFilesThatWouldHoldTheEngineDoNot_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("target"); // empty: a named pipe itself
    QTest::newRow("link to /dev/zero") << "m.srt"
                                       << "/dev/zero";
    QTest::newRow("named pipe") << "m.txt"
                                << "";
    QTest::newRow("link to a named pipe") << "m.idx"
                                          << "pipe";
}

// The engine reads the subtitle files named like the medium by itself, and
// one that is a pipe or a device holds it before it plays, for ever.
void RunFailureTest::sideFilesThatWouldHoldTheEngineDoNot()
{
    QFETCH(QString, name);
    QFETCH(QString, target);
    const QString medium = m_dir.filePath(QStringLiteral("m.mkv"));
    QFile::remove(medium);
    QVERIFY(QFile::copy(sample, medium));
    const QString side = m_dir.filePath(name);
    QFile::remove(side);
    if (target.isEmpty()) {
        QCOMPARE(QProcess::execute(QStringLiteral("mkfifo"), {side}), 0);
    } else {
        const QString pipe = m_dir.filePath(target);
        if (target == QLatin1String("pipe") && !QFile::exists(pipe))
            QCOMPARE(QProcess::execute(QStringLiteral("mkfifo"), {pipe}), 0);
        QVERIFY(QFile::link(target.startsWith('/') ? target : pipe, side));
    }
    m_window->opener().openAndPlay(medium, QStringLiteral("m.mkv"));
    QTRY_VERIFY_WITH_TIMEOUT(
        m_window->core().state().value(Field::engineOutputBox).contains("Starting playback..."),
        15000);
    QFile::remove(side);
}

void RunFailureTest::thePictureTellsHowToBeginUntilItPlays()
{
    VideoWindow *video = m_window->videoWindow();
    QVERIFY(video->hint().contains("F2"));
    QVERIFY(video->hint().contains(QStringLiteral("오른쪽 버튼")));
    m_window->raise();
    QTRY_VERIFY(lightPixels(video) > 100);

    m_window->opener().openAndPlay(sample, QStringLiteral("sample.mkv"));
    QCOMPARE(video->hint(), QString());
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->core().state().value(Field::currentSecondsField).isEmpty(),
                             15000);
    // Closed again, the window is back to its first look.
    m_window->opener().closeCurrentMedia();
    QVERIFY(video->hint().contains("F2"));
}

QTEST_MAIN(RunFailureTest)
#include "tst_runfailure.moc"
