// The playback information window over the main window, with the real engine
// for the media values and a machine of fixed answers for the processor.
#include "info/playinfoform.h"
#include "modalwindow.h"
#include "realenginewindow.h"

#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using Value = PlayInfo::Value;
using Shown = QList<QPair<Value, QString>>;

namespace {
QString text(QWidget *widget)
{
    if (auto *label = qobject_cast<QLabel *>(widget))
        return label->text();
    return qobject_cast<QAbstractButton *>(widget)->text();
}
} // namespace

class PlayInfoWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void showsWhatTheEngineReported_data();
    void showsWhatTheEngineReported();
    void aNewRunForgetsTheLastMediumsValues();
    void foldsByItsOwnFlag();
    void opensOnceUntilClosed();
    void onTopAsChosenWhenOpened_data();
    void onTopAsChosenWhenOpened();
    void processorLoad_data();
    void processorLoad();

private:
    QTemporaryDir m_engineHome;
    std::unique_ptr<FakeSystem> m_system;
    std::unique_ptr<mainform> m_window;
};

void PlayInfoWindowTest::initTestCase()
{
    // The test machine has no sound card, and an engine with neither sound
    // nor picture ends before it plays: its own settings give it the null
    // sound output.
    QVERIFY(m_engineHome.isValid());
    QFile config(m_engineHome.filePath(QStringLiteral("config")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write("ao=null\n");
    qputenv("MPLAYER_HOME", QFile::encodeName(m_engineHome.path()));
}

void PlayInfoWindowTest::init()
{
    m_system = std::make_unique<FakeSystem>();
    QVERIFY(showRealEngineWindow(m_window, *m_system));
}

void PlayInfoWindowTest::cleanup()
{
    closeRealEngineWindow(m_window);
    m_system.reset();
}

void PlayInfoWindowTest::showsWhatTheEngineReported_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<Shown>("shown");
    QTest::addColumn<bool>("videoDecoder");

    QTest::newRow("sample.mkv") << "sample.mkv"
                                << Shown{{Value::sourceSize, "640 x 360"},
                                         {Value::frameRate, "25.000 프레임/초"},
                                         {Value::videoBitrate, "0 킬로비트/초"},
                                         {Value::videoCodec, "[ffh264] vfm: ffmpeg (FFmpeg H.264)"},
                                         {Value::videoDecoder,
                                          "[ffmpeg] FFmpeg's libavcodec codec family"},
                                         {Value::audioBitrate, "0 킬로비트/초"},
                                         {Value::channels, "2 채널"},
                                         {Value::sampleRate, "48000 Hz -> 48000 Hz"}}
                                << true;
    QTest::newRow("audio only") << "audio-only.mp3"
                                << Shown{{Value::audioBitrate, "128 킬로비트/초"},
                                         {Value::audioDecoder,
                                          "[mpg123] MPEG 1.0/2.0/2.5 layers I, II, III"},
                                         {Value::sampleRate, "44100 Hz -> 44100 Hz"},
                                         {Value::sourceSize, ""},
                                         {Value::frameRate, ""}}
                                << false;
}

void PlayInfoWindowTest::showsWhatTheEngineReported()
{
    QFETCH(QString, file);
    QFETCH(Shown, shown);
    QFETCH(bool, videoDecoder);
    // Open before the medium: the values arrive while the window shows.
    m_window->showPlaybackInfo();
    playinfoform *info = m_window->playbackInfoWindow();
    QVERIFY(QTest::qWaitForWindowExposed(info));
    m_window->openActions().chooseFile = [file] {
        return QStringLiteral(SAMPLE_MEDIA_DIR "/") + file;
    };
    m_window->openActions().openMediaFile();
    QVERIFY(QTest::qWaitFor(
        [&] { return !m_window->core().state().value(Field::audioCodecField).isEmpty(); }, 15000));
    // The engine's end empties the state's media values; the window keeps them.
    for (bool ended : {false, true}) {
        if (ended) {
            m_window->sendCommand(EngineCommand::quit);
            QVERIFY(m_window->opener().waitForEngineEnd());
            QCOMPARE(m_window->core().state().value(Field::audioDecoderField), QString());
        }
        for (const auto &[value, expected] : shown)
            QCOMPARE(text(info->valueWidget(value)), expected);
        QCOMPARE(info->valueWidget(Value::videoDecoder)->isEnabled(), videoDecoder);
        QVERIFY(info->valueWidget(Value::audioDecoder)->isEnabled());
    }
}

void PlayInfoWindowTest::aNewRunForgetsTheLastMediumsValues()
{
    QTemporaryDir dir;
    const QString silent = dir.filePath(QStringLiteral("no-sound.mkv"));
    QCOMPARE(
        QProcess::execute(QStringLiteral("ffmpeg"), {"-loglevel", "error", "-nostdin", "-y", "-f",
                                                     "lavfi", "-i", "testsrc=size=160x120:rate=10",
                                                     "-t", "10", "-c:v", "mpeg4", "-an", silent}),
        0);
    m_window->showPlaybackInfo();
    playinfoform *info = m_window->playbackInfoWindow();
    QVERIFY(QTest::qWaitForWindowExposed(info));
    PlayerState &state = m_window->core().state();
    const auto open = [this](const QString &file) {
        m_window->openActions().chooseFile = [file] { return file; };
        m_window->openActions().openMediaFile();
    };
    open(QStringLiteral(SAMPLE_MEDIA_DIR "/sample.mkv"));
    QTRY_VERIFY_WITH_TIMEOUT(!state.value(Field::audioCodecField).isEmpty(), 15000);
    QVERIFY(info->valueWidget(Value::audioDecoder)->isEnabled());

    open(silent);
    QTRY_COMPARE_WITH_TIMEOUT(text(info->valueWidget(Value::sourceSize)), "160 x 120", 15000);
    for (Value value : {Value::audioDecoder, Value::audioCodec, Value::audioFormat,
                        Value::sampleRate, Value::channels, Value::audioBitrate})
        QCOMPARE(text(info->valueWidget(value)), QString());
    QVERIFY(!info->valueWidget(Value::audioDecoder)->isEnabled());
    QVERIFY(info->valueWidget(Value::videoDecoder)->isEnabled());
}

void PlayInfoWindowTest::foldsByItsOwnFlag()
{
    m_window->showPlaybackInfo();
    playinfoform *info = m_window->playbackInfoWindow();
    QVERIFY(QTest::qWaitForWindowExposed(info));
    QCOMPARE(info->width(), playinfoform::foldedWidth);
    for (int width :
         {playinfoform::unfoldedWidth, playinfoform::foldedWidth, playinfoform::unfoldedWidth}) {
        info->systemInfoButton()->click();
        QCOMPARE(info->width(), width);
    }
    // A window manager that moved the width a little must not stop the fold.
    info->setFixedWidth(playinfoform::unfoldedWidth - 3);
    info->systemInfoButton()->click();
    QCOMPARE(info->width(), playinfoform::foldedWidth);
    QVERIFY(!info->isUnfolded());
}

void PlayInfoWindowTest::opensOnceUntilClosed()
{
    m_window->showPlaybackInfo();
    QPointer<playinfoform> first = m_window->playbackInfoWindow();
    m_window->showPlaybackInfo();
    QCOMPARE(m_window->playbackInfoWindow(), first.data());
    QCOMPARE(m_window->findChildren<playinfoform *>().size(), 1);
    first->findChild<QPushButton *>(QStringLiteral("okButton"))->click();
    QVERIFY(QTest::qWaitFor([&] { return first.isNull(); }, 2000));
    QVERIFY(!m_window->playbackInfoWindow());
    m_window->showPlaybackInfo();
    QVERIFY(m_window->playbackInfoWindow());
    QCOMPARE(m_window->findChildren<playinfoform *>().size(), 1);
}

void PlayInfoWindowTest::onTopAsChosenWhenOpened_data()
{
    QTest::addColumn<int>("choice"); // 사용, 재생시만 사용, 사용 안 함
    QTest::addColumn<QString>("playState");
    QTest::addColumn<bool>("onTop");
    QTest::newRow("always") << 0 << PlayState::stopped << true;
    QTest::newRow("while playing, playing") << 1 << PlayState::playing << true;
    QTest::newRow("never") << 2 << PlayState::playing << false;
}

void PlayInfoWindowTest::onTopAsChosenWhenOpened()
{
    QFETCH(int, choice);
    QFETCH(QString, playState);
    QFETCH(bool, onTop);
    m_window->core().options().choose(Menu::alwaysOnTopMenu, choice);
    m_window->core().state().setValue(Field::playStateField, playState);
    m_window->showPlaybackInfo();
    QCOMPARE(m_window->playbackInfoWindow()->windowFlags().testFlag(Qt::WindowStaysOnTopHint),
             onTop);
}

void PlayInfoWindowTest::processorLoad_data()
{
    QTest::addColumn<QStringList>("samples");
    QTest::addColumn<QString>("perCore");
    QTest::addColumn<QString>("average");

    // Core 0 busy 124 of 1000 ticks, core 1 304.
    QTest::newRow("two cores") << QStringList{"cpu0 0 0 0 0\ncpu1 0 0 0 0\n",
                                              "cpu0 124 0 0 876\ncpu1 304 0 0 696\n"}
                               << "코어1: 12%, 코어2: 30%"
                               << "21%";
    QTest::newRow("unreadable") << QStringList{} << ""
                                << "-";
}

void PlayInfoWindowTest::processorLoad()
{
    QFETCH(QStringList, samples);
    QFETCH(QString, perCore);
    QFETCH(QString, average);
    m_system->counterSamples = samples;
    m_system->countersReadable = !samples.isEmpty();
    QString told;
    if (samples.isEmpty())
        whenModalShows([&told](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            told = box ? box->text() : QString();
            modal->close();
        });
    m_window->showPlaybackInfo();
    playinfoform *info = m_window->playbackInfoWindow();
    QVERIFY(QTest::qWaitForWindowExposed(info));
    QCOMPARE(told, samples.isEmpty() ? QStringLiteral("CPU 사용률 추출 실패") : QString());
    QCOMPARE(info->cpuNameLabel()->text(), m_system->cpuName);
    QCOMPARE(info->processorCountLabel()->text(), QStringLiteral("2"));
    QCOMPARE(info->cpuLoadTimer()->isActive(), !samples.isEmpty());
    QVERIFY(QTest::qWaitFor([&] { return m_system->countersRead >= samples.size(); }, 3000));
    QCOMPARE(info->perCoreLoadLabel()->text(), perCore);
    QCOMPARE(info->averageLoadLabel()->text(), average);
}

QTEST_MAIN(PlayInfoWindowTest)
#include "tst_playinfowindow.moc"
