// The texts of the engine channel: the commands as they go out, the routing
// of what comes back.
#include "engine/cmdmod.h"
#include "engine/commands.h"
#include "engine/outputrouting.h"
#include "state/playerstate.h"

#include <QFile>
#include <QTest>

namespace {
QString crlf(QString text)
{
    return text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
}

QByteArray recordedOutput()
{
    QFile f(QStringLiteral(TAVRIN_TEST_DATA "/mplayer-sample.out"));
    if (!f.open(QIODevice::ReadOnly))
        qFatal("missing test data");
    return f.readAll();
}
} // namespace

class ChannelTextTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void commandTexts_data();
    void commandTexts();

    void routing_data();
    void routing();
    void recordedRunRoutesLikeTheEngineSaidIt();

    void assemblerMakesCrLfAndWholeLines();
    void assemblerKeepsSplitCharactersWhole();
    void assemblerLetsAnEndlessLineThrough();
    void answersOnlyReadsRouteAsTheirText_data();
    void answersOnlyReadsRouteAsTheirText();


    void priorityTable();
};

void ChannelTextTest::commandTexts_data()
{
    using namespace EngineCommand;
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    auto row = [](const char *name, const QString &text, const char *expected) {
        QTest::newRow(name) << text << QString::fromLatin1(expected);
    };
    row("quit", quit, "quit ");
    row("stop", stop, "stop ");
    row("pause", pause, "pause ");
    row("frame step", frameStep, "frame_step ");
    row("position", getTimePos, "get_time_pos ");
    row("position keeping pause", getTimePosKeepPause, "pausing_keep_force get_time_pos ");
    row("ten seconds back", seekRelative(-10), "seek -10 0 ");
    row("ten minutes on", seekRelative(600), "seek 600 0 ");
    row("absolute seek", seekAbsolute(3600), "seek 3600 2 ");
    row("volume keeping pause", volumeKeepPause(QStringLiteral("55")),
        "pausing_keep_force volume 55 1 ");
    row("volume after switch", volume(QStringLiteral("50")), "volume 50 1 ");
    row("switch audio", switchAudio(QStringLiteral("1")), "switch_audio 1 ");
    row("mute on", muteOn, "pausing_keep_force mute 1 ");
    row("mute off", muteOff, "pausing_keep_force mute 0 ");
    row("speed 1.5", speedSet(QStringLiteral("1.5")), "pausing_keep_force speed_set 1.5 ");
    row("speed reset has no blank", speedReset, "pausing_keep_force speed_set 1.0");
    row("audio delay", audioDelay(QStringLiteral("-0.1")), "pausing_keep_force audio_delay -0.1 1 ");
    row("sub delay reset", subDelay(QStringLiteral("0")), "pausing_keep_force sub_delay 0 1 ");
    row("sub scale", subScale(QStringLiteral("3.5")), "pausing_keep_force sub_scale 3.5 1 ");
    row("sub hidden", subVisibilityOff, "pausing_keep_force sub_visibility 0 ");
    row("sub shown", subVisibilityOn, "pausing_keep_force sub_visibility 1 ");
    row("previous sub", subStepBack, "pausing_keep_force sub_step -1 ");
    row("next sub", subStepForward, "pausing_keep_force sub_step +1 ");
    row("no sub", subSourceNone, "sub_source -1 ");
    row("sub file", subFile(2), "sub_file 2 ");
    row("sub demux", subDemux(QStringLiteral("0")), "sub_demux 0 ");
    row("gamma", gamma(QStringLiteral("-12")), "pausing_keep_force gamma -12 1 ");
    row("contrast", contrast(QStringLiteral("5")), "pausing_keep_force contrast 5 1 ");
    row("brightness", brightness(QStringLiteral("5")), "pausing_keep_force brightness 5 1 ");
    row("hue", hue(QStringLiteral("5")), "pausing_keep_force hue 5 1 ");
    row("saturation", saturation(QStringLiteral("5")), "pausing_keep_force saturation 5 1 ");
    row("equalizer", equalizerBands(QStringLiteral("0:1:2:3:4:5:6:7:8:9")),
        "pausing_keep_force af_eq_set_bands 0:1:2:3:4:5:6:7:8:9 ");
    row("fullscreen off", voFullscreenOff, "pausing_keep_force vo_fullscreen 0 ");
    row("dvd up", dvdnavUp, "dvdnav up ");
    row("dvd prev", dvdnavPrev, "dvdnav prev ");
    row("dvd mouse", dvdnavMouse, "dvdnav mouse ");
    row("mouse position", setMousePos(120.f, 45.5f), "set_mouse_pos 120 45.5 ");
}

void ChannelTextTest::commandTexts()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(text, expected);
}

void ChannelTextTest::routing_data()
{
    QTest::addColumn<QString>("chunk");
    QTest::addColumn<QString>("position"); // "-" for none
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("oneLine");

    QTest::newRow("position alone") << crlf("ANS_TIME_POSITION=1.3\n") << "1.3" << "" << false;
    QTest::newRow("two values: the last wins, both go")
        << crlf("ANS_TIME_POSITION=1.3\nANS_TIME_POSITION=1.6\n") << "1.6" << "" << false;
    QTest::newRow("answers among output")
        << crlf("ANS_TIME_POSITION=1.3\nA\nANS_TIME_POSITION=1.6\nB\n") << "1.6"
        << crlf("A\nB\n") << false;
    QTest::newRow("the last answer unfinished: the chunk is output")
        << crlf("ANS_TIME_POSITION=1.3\nA\nANS_TIME_POSITION=1.7") << "-"
        << crlf("ANS_TIME_POSITION=1.3\nA\nANS_TIME_POSITION=1.7") << true;
    QTest::newRow("same value twice: both go")
        << crlf("ANS_TIME_POSITION=2.0\nANS_TIME_POSITION=2.0\n") << "2.0" << "" << false;
    QTest::newRow("position without its line end")
        << crlf("A: 1\nANS_TIME_POSITION=1.3") << "-" << crlf("A: 1\nANS_TIME_POSITION=1.3")
        << true;
    QTest::newRow("output with a position")
        << crlf("Starting playback...\nANS_TIME_POSITION=0.0\nVO: [x11] 640x360\n") << "0.0"
        << crlf("Starting playback...\nVO: [x11] 640x360\n") << false;
    QTest::newRow("ordinary output") << crlf("Starting playback...\n") << "-"
                                     << crlf("Starting playback...\n") << true;
    QTest::newRow("nothing") << "" << "-" << "" << false;
}

void ChannelTextTest::routing()
{
    QFETCH(QString, chunk);
    QFETCH(QString, position);
    QFETCH(QString, output);
    QFETCH(bool, oneLine);
    const RoutedChunk routed = routeChunk(chunk);
    QCOMPARE(routed.position.value_or(QStringLiteral("-")), position);
    QCOMPARE(routed.output, output);
    QCOMPARE(routed.showAsOneLine, oneLine);
}

void ChannelTextTest::recordedRunRoutesLikeTheEngineSaidIt()
{
    // Real engine output fed in reads of many sizes: the routed text is
    // always the whole output in CR LF without the answers, and the last
    // answer is the position.
    const QByteArray bytes = recordedOutput();
    for (int size = 1; size < 98; size += 4) {
        EngineOutputAssembler assembler;
        QString box;
        QString current;
        for (int at = 0; at < bytes.size(); at += size) {
            // As the channel reads: answers alone skip the assembler.
            const QByteArray read = bytes.mid(at, size);
            if (const auto value = assembler.answersOnly(read)) {
                current = value->toByteArray();
                continue;
            }
            const RoutedChunk routed = routeChunk(assembler.feed(read));
            box += routed.output;
            if (routed.position)
                current = *routed.position;
        }
        box += routeChunk(assembler.flush()).output;
        QCOMPARE(current, QStringLiteral("1.6"));
        QVERIFY(!box.contains(QStringLiteral("ANS_TIME_POSITION")));
        QVERIFY(box.contains(QStringLiteral("ID_AID_0_NAME=한국어\r\n")));
        QVERIFY(box.contains(QStringLiteral("\r\nStarting playback...\r\n")));
        QVERIFY(box.contains(QStringLiteral("\r\nID_VIDEO_WIDTH=640\r\n")));
        QCOMPARE(box.count(QLatin1Char('\n')), box.count(QStringLiteral("\r\n")));
        QString expected = QString::fromUtf8(bytes);
        expected.remove(QStringLiteral("ANS_TIME_POSITION=1.3\n"));
        expected.remove(QStringLiteral("ANS_TIME_POSITION=1.6\n"));
        QCOMPARE(box, crlf(expected));
    }
}

void ChannelTextTest::assemblerMakesCrLfAndWholeLines()
{
    EngineOutputAssembler a;
    // A read that ends in the middle of a line keeps that line back.
    QCOMPARE(a.feed("Playing a.mkv.\nID_VIDEO_WID"), QStringLiteral("Playing a.mkv.\r\n"));
    QCOMPARE(a.feed("TH=640\n"), QStringLiteral("ID_VIDEO_WIDTH=640\r\n"));
    // A read that ends between CR and LF: the pair stays one line end.
    QCOMPARE(a.feed("VO: x11\r"), QString());
    QCOMPARE(a.feed("\nAO: null\r\n"), QStringLiteral("VO: x11\r\nAO: null\r\n"));
    // A position answer cut in two reaches the router whole.
    QCOMPARE(a.feed("ANS_TIME_POSITION=1"), QString());
    const RoutedChunk routed = routeChunk(a.feed(".3\n"));
    QCOMPARE(routed.position.value_or(QString()), QStringLiteral("1.3"));
    QVERIFY(routed.output.isEmpty());
    // What is left at the end is let through.
    QCOMPARE(a.feed("Exiting..."), QString());
    QCOMPARE(a.flush(), QStringLiteral("Exiting..."));
    QCOMPARE(a.flush(), QString());
}

void ChannelTextTest::assemblerKeepsSplitCharactersWhole()
{
    EngineOutputAssembler a;
    const QByteArray line = QStringLiteral("ID_AID_0_NAME=한국어\n").toUtf8();
    const int cut = line.indexOf("\xed\x95\x9c") + 1; // inside the first Hangul syllable
    QCOMPARE(a.feed(line.left(cut)), QString());
    QCOMPARE(a.feed(line.mid(cut)), QStringLiteral("ID_AID_0_NAME=한국어\r\n"));
}

void ChannelTextTest::assemblerLetsAnEndlessLineThrough()
{
    EngineOutputAssembler a;
    const QByteArray status(EngineOutputAssembler::maxHeldBack + 10, 'x');
    QCOMPARE(a.feed(status.left(100)), QString());
    QCOMPARE(a.feed(status.mid(100)).size(), status.size());
    QCOMPARE(a.flush(), QString());
}

void ChannelTextTest::answersOnlyReadsRouteAsTheirText_data()
{
    QTest::addColumn<QByteArray>("before"); // fed to the assembler first
    QTest::addColumn<QByteArray>("read");
    QTest::addColumn<QString>("value"); // "-": the read must be assembled

    QTest::newRow("one answer") << QByteArray() << QByteArray("ANS_TIME_POSITION=1.3\n") << "1.3";
    QTest::newRow("answers: the last") << QByteArray()
                                       << QByteArray("ANS_TIME_POSITION=1.3\nANS_TIME_POSITION=1.4\n")
                                       << "1.4";
    QTest::newRow("CR LF ends") << QByteArray("VO: x11\n")
                                << QByteArray("ANS_TIME_POSITION=2.0\r\n") << "2.0";
    QTest::newRow("answer unfinished") << QByteArray()
                                       << QByteArray("ANS_TIME_POSITION=1.3\nANS_TIME_POSITION=1")
                                       << "-";
    QTest::newRow("other output after") << QByteArray()
                                        << QByteArray("ANS_TIME_POSITION=1.3\nA: 1\n") << "-";
    QTest::newRow("other output before") << QByteArray()
                                         << QByteArray("A: 1\nANS_TIME_POSITION=1.3\n") << "-";
    QTest::newRow("a line held back") << QByteArray("ID_VIDEO_WID")
                                      << QByteArray("ANS_TIME_POSITION=1.3\n") << "-";
    QTest::newRow("a CR held back") << QByteArray("VO: x11\r")
                                    << QByteArray("ANS_TIME_POSITION=1.3\n") << "-";
    QTest::newRow("a character cut") << QByteArray("ID_AID_0_NAME=\xed\x95")
                                     << QByteArray("ANS_TIME_POSITION=1.3\n") << "-";
    QTest::newRow("not ASCII") << QByteArray()
                               << QByteArray("ANS_TIME_POSITION=\xed\x95\x9c\n") << "-";
    QTest::newRow("nothing") << QByteArray() << QByteArray() << "-";
}

void ChannelTextTest::answersOnlyReadsRouteAsTheirText()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, read);
    QFETCH(QString, value);
    EngineOutputAssembler assembler;
    EngineOutputAssembler alike;
    assembler.feed(before);
    alike.feed(before);
    const std::optional<QByteArrayView> taken = assembler.answersOnly(read);
    QCOMPARE(taken ? QString::fromLatin1(*taken) : QStringLiteral("-"), value);
    if (!taken)
        return;
    // What the read would have given through the assembler and the router.
    const RoutedChunk routed = routeChunk(alike.feed(read));
    QCOMPARE(routed.position.value_or(QStringLiteral("-")), value);
    QCOMPARE(routed.output, QString());
    // Taken without feeding, the read leaves the assembler where it was.
    QCOMPARE(assembler.feed("A: 2\n"), QStringLiteral("A: 2\r\n"));
}

void ChannelTextTest::priorityTable()
{
    using namespace cmdmod;
    const int classes[] = {REALTIME_PRIORITY_CLASS,     HIGH_PRIORITY_CLASS,
                           ABOVE_NORMAL_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS,
                           BELOW_NORMAL_PRIORITY_CLASS, IDLE_PRIORITY_CLASS};
    const int nices[] = {-20, -10, -5, 0, 5, 19};
    for (int item = 0; item < 6; ++item) {
        QCOMPARE(priorityClassForItem(item), classes[item]);
        QCOMPARE(niceForPriorityClass(classes[item]).value_or(99), nices[item]);
    }
    QCOMPARE(priorityClassForItem(std::nullopt), 0);
    QVERIFY(!niceForPriorityClass(0));
    PlayerState state;
    QCOMPARE(setEnginePriority(state, nullptr, NORMAL_PRIORITY_CLASS), 0);
    state.setValue(Field::processHandleField, QStringLiteral("1"));
    QCOMPARE(setEnginePriority(state, nullptr, NORMAL_PRIORITY_CLASS), 0);
}

QTEST_GUILESS_MAIN(ChannelTextTest)
#include "tst_channeltext.moc"
