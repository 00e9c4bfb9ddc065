// engineOutputBox under a flood of engine output: it stays bounded, keeps the
// command line and every line the parsers read, and views that follow its
// signals stay equal to it.
#include "controls/optionstore.h"
#include "state/identifyparser.h"
#include "state/outputbound.h"
#include "state/playerstate.h"

#include <QFile>
#include <QTest>

namespace {
const QString crlf = QStringLiteral("\r\n");
const QString commandLine = QStringLiteral("/usr/bin/mplayer \"/media/a.mkv\" -wid 1 -idx");

// The recorded output of the sample, as chunks of whole lines ended by CR LF.
QStringList recordedLines()
{
    QFile file(QStringLiteral(TAVRIN_TEST_DATA "/mplayer-sample-x11.out"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// About `chars` characters of warnings, in chunks of whole lines as the
// channel routes them.
void flood(PlayerState &state, qsizetype chars, const QString &tag = QStringLiteral("flood"))
{
    QString chunk;
    for (qsizetype n = 0; n * 64 < chars; ++n) {
        chunk += QStringLiteral("[%1] %2 decoder warning: the quick brown fox jumps\r\n")
                     .arg(tag)
                     .arg(n, 8, 10, QLatin1Char('0'));
        if (chunk.size() > 4000) {
            state.appendOutput(chunk);
            chunk.clear();
        }
    }
    if (!chunk.isEmpty())
        state.appendOutput(chunk);
}

// A view that follows the box as the windows do: set on changed(), grown
// on outputAppended().
struct Follower
{
    QString text;
    explicit Follower(PlayerState &state)
    {
        QObject::connect(&state, &PlayerState::changed, [this](Field field, const QString &value) {
            if (field == Field::engineOutputBox)
                text = value;
        });
        QObject::connect(&state, &PlayerState::outputAppended,
                         [this](const QString &piece) { text += piece; });
    }
};

constexpr qsizetype bound = OutputBound::limitChars + 8192;
} // namespace

class OutputBoundTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void parsersFindEverythingAfterFloods_data();
    void parsersFindEverythingAfterFloods();
    void theLastValueOfAKeyWins();
    void aFloodOfIdentifyLinesStaysBounded();
    void aNewRunStartsUncut();
    void parsedLines_data();
    void parsedLines();
};

void OutputBoundTest::parsersFindEverythingAfterFloods_data()
{
    // Where the floods come, by the line of the recorded output they follow.
    QTest::addColumn<QStringList>("after");
    QTest::newRow("no flood") << QStringList{};
    QTest::newRow("before the identify lines") << QStringList{"Playing "};
    QTest::newRow("between the streams") << QStringList{"ID_AID_0_LANG=", "ID_SID_0_LANG="};
    QTest::newRow("before and after the start")
        << QStringList{"libavformat file format", "Starting playback...", "VO: "};
    QTest::newRow("after every line") << QStringList{""};
}

void OutputBoundTest::parsersFindEverythingAfterFloods()
{
    QFETCH(QStringList, after);
    PlayerState state;
    OptionStore options;
    Follower view(state);
    state.setValue(Field::engineOutputBox, commandLine + crlf);
    const QStringList lines = recordedLines();
    QVERIFY(lines.size() > 60);
    for (const QString &line : lines) {
        state.appendOutput(line + crlf);
        for (const QString &start : after) {
            if (line.startsWith(start))
                flood(state, after.size() == 1 && start.isEmpty() ? 40000 : 1500000);
        }
        QVERIFY2(state.value(Field::engineOutputBox).size() <= bound,
                 qPrintable(QString::number(state.value(Field::engineOutputBox).size())));
    }
    flood(state, 300000);

    const QString box = state.value(Field::engineOutputBox);
    QVERIFY(box.startsWith(commandLine + crlf));
    QVERIFY(box.size() <= bound);
    QCOMPARE(view.text, box);

    QVERIFY(runDetailParse(state, options));
    QVERIFY(extractColourSpaceAndOutputSize(state));
    QCOMPARE(options.caption(Menu::audioTrackMenu, 0), QStringLiteral("0 - kor"));
    QCOMPARE(options.caption(Menu::audioTrackMenu, 1), QStringLiteral("1 - eng"));
    QCOMPARE(options.caption(Menu::embeddedSubtitleMenu, 0), QStringLiteral("내장 자막: 0 - kor"));
    QCOMPARE(options.caption(Menu::subtitleFileMenu, 0), QStringLiteral("sample.srt"));
    QCOMPARE(state.value(Field::totalSecondsField), QStringLiteral("10.02"));
    QCOMPARE(state.value(Field::sourceWidthField), QStringLiteral("640"));
    QCOMPARE(state.value(Field::sourceHeightField), QStringLiteral("360"));
    QCOMPARE(state.value(Field::outputWidthField), QStringLiteral("640"));
    QCOMPARE(state.value(Field::colourSpaceField), QStringLiteral("Planar YV12 "));
    QCOMPARE(state.value(Field::videoCodecField),
             QStringLiteral("[ffh264] vfm: ffmpeg (FFmpeg H.264)"));
    QCOMPARE(state.value(Field::outputSampleRateField), QStringLiteral("48000"));
    QCOMPARE(state.value(Field::infoLabel), QStringLiteral("H264 | MP4A, 48000HZ, 2CH"));
}

void OutputBoundTest::theLastValueOfAKeyWins()
{
    PlayerState state;
    state.setValue(Field::engineOutputBox, commandLine + crlf);
    for (const char *width : {"640", "320", "640", "1280"}) {
        state.appendOutput(QStringLiteral("ID_VIDEO_WIDTH=%1\r\n").arg(QLatin1String(width)));
        flood(state, 600000);
        QCOMPARE(
            lastValueOf(state.value(Field::engineOutputBox), QStringLiteral("ID_VIDEO_WIDTH=")),
            QString::fromLatin1(width));
    }
    QVERIFY(state.value(Field::engineOutputBox).size() <= bound);
}

void OutputBoundTest::aFloodOfIdentifyLinesStaysBounded()
{
    PlayerState state;
    Follower view(state);
    state.setValue(Field::engineOutputBox, commandLine + crlf);
    state.appendOutput(QStringLiteral("ID_LENGTH=10.02\r\nStarting playback...\r\n"));
    for (int n = 0; n < 200; ++n) {
        QString chunk;
        for (int i = 0; i < 100; ++i)
            chunk += QStringLiteral("ID_CLIP_INFO_VALUE%1=x\r\n").arg(n * 100 + i);
        state.appendOutput(chunk);
    }
    const QString box = state.value(Field::engineOutputBox);
    QVERIFY(box.size() <= bound);
    QVERIFY(box.contains(QStringLiteral("ID_CLIP_INFO_VALUE19999=x\r\n")));
    QVERIFY(box.contains(QStringLiteral("Starting playback...\r\n")));
    QCOMPARE(view.text, box);
}

void OutputBoundTest::aNewRunStartsUncut()
{
    PlayerState state;
    state.setValue(Field::engineOutputBox, commandLine + crlf);
    flood(state, 2000000, QStringLiteral("first run"));
    // The next run's box is its command line and its own output, whole.
    const QString next = QStringLiteral("/usr/bin/mplayer \"/media/b.mkv\"\r\n");
    state.setValue(Field::engineOutputBox, next);
    flood(state, 100000, QStringLiteral("second run"));
    const QString box = state.value(Field::engineOutputBox);
    QVERIFY(box.startsWith(next + crlf + QStringLiteral("[second run] 00000000 ")));
    QVERIFY(box.contains(QStringLiteral("[second run] 00001562 ")));
    QVERIFY(!box.contains(QStringLiteral("first run")));
}

void OutputBoundTest::parsedLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("kept");
    QTest::newRow("identify") << "ID_AUDIO_ID=1" << true;
    QTest::newRow("a key the parsers do not read yet") << "ID_CHAPTER_0_START=0" << true;
    QTest::newRow("start") << "Starting playback..." << true;
    QTest::newRow("video output") << "VO: [x11] 640x360 => 640x360 Planar YV12 " << true;
    QTest::newRow("audio output") << "AO: [null] 48000Hz 2ch floatle (4 bytes per sample)" << true;
    QTest::newRow("decoder") << "Opening audio decoder: [ffmpeg] FFmpeg/libavcodec" << true;
    QTest::newRow("codec") << "Selected video codec: [ffh264] vfm: ffmpeg" << true;
    QTest::newRow("warning") << "[h264 @ 0x55] error while decoding MB 3 4" << false;
    QTest::newRow("after the end of another line") << "[fID_SUBTITLE_ID=0" << true;
    QTest::newRow("start after another line") << "[flood] 0001Starting playback..." << true;
    QTest::newRow("empty") << "" << false;
}

void OutputBoundTest::parsedLines()
{
    QFETCH(QString, line);
    QFETCH(bool, kept);
    QCOMPARE(OutputBound::isParsedLine(line), kept);
}

QTEST_GUILESS_MAIN(OutputBoundTest)
#include "tst_outputbound.moc"
