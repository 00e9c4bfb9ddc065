// The player's procedures and transport rules on a scripted graph: exact
// calls, fields and control values.
#include "common/commandlinetext.h"
#include "core/playercore.h"
#include "core/statustext.h"
#include "core/timetext.h"
#include "core/transport.h"
#include "fakegraph.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <cstdlib>
#include <cstring>
#include <vector>

class PlayerCoreTest : public QObject
{
    Q_OBJECT

    QStringList m_log;
    FakeGraphScript m_script;
    std::unique_ptr<PlayerCore> m_core;
    int m_graphsMade = 0;

    FakeGraph *graph() const { return static_cast<FakeGraph *>(m_core->graph()); }

    // The graph is built on a worker thread and taken into use after.
    void waitOpened() { QTRY_VERIFY_WITH_TIMEOUT(!m_core->isOpening(), 10000); }

    void openClip(const QString &path = QStringLiteral("/media/clip.mp4"))
    {
        m_core->openMedia(path);
        waitOpened();
        QVERIFY(graph());
        // The duration text comes one timer tick after loading.
        QTRY_VERIFY(m_core->isLoaded());
        m_log.clear();
    }

private Q_SLOTS:
    void init()
    {
        m_log.clear();
        m_script = FakeGraphScript{};
        m_core = std::make_unique<PlayerCore>([this]() {
            ++m_graphsMade;
            return std::make_unique<FakeGraph>(m_script, &m_log);
        });
        m_core->setVideoArea({0x1234, 320, 180});
    }

    void cleanup() { m_core.reset(); }

    void openingBuildsPlacesAndRuns()
    {
        QSignalSpy title(m_core.get(), &PlayerCore::titleChanged);
        QSignalSpy originalSize(m_core.get(), &PlayerCore::originalSizeRequested);
        m_core->setVolume(-2500);
        m_core->setBalance(600);
        m_core->openMedia(QStringLiteral("/media/a clip.mp4"));
        QCOMPARE(title.last().first().toString(),
                 QStringLiteral("a clip.mp4 - Oblen Player v1.0.3"));
        waitOpened();
        QCOMPARE(originalSize.count(), 1);
        QCOMPARE(m_log.first(), QStringLiteral("AddSourceFilter /media/a clip.mp4"));
        QCOMPARE(m_log.last(), QStringLiteral("Run"));
        FakeGraph *g = graph();
        QCOMPARE(g->volume, -2500L);
        QCOMPARE(g->balance, 600L);
        QCOMPARE(g->window.at("WindowStyle"), 0x06000000L);
        QCOMPARE(g->window.at("Left"), 0L);
        QCOMPARE(g->window.at("Top"), 0L);
        QCOMPARE(g->window.at("Width"), 320L);
        QCOMPARE(g->window.at("Height"), 180L);
        QCOMPARE(g->window.at("Owner"), 0x1234L);
        QCOMPARE(g->window.at("MessageDrain"), 0x1234L);
        QCOMPARE(m_core->fields().txtDuration, QStringLiteral("10"));
        QCOMPARE(m_core->fields().openingFlag, QStringLiteral("0"));
        QCOMPARE(m_core->controls().positionBarMaximum, 10);
        QVERIFY(m_core->controls().positionBarEnabled);
        QVERIFY(!m_core->controls().videoCoverVisible);
        QVERIFY(m_core->controls().audioEnabled);
        QTRY_COMPARE(m_core->fields().durationTextField, QStringLiteral("00:00:10"));
        QVERIFY(m_core->statusTimer.isActive());
    }

    // The window's part of opening comes first, the rest when the graph is
    // ready, in the order of a graph built on the spot.
    void effectsComeInOrderOnceTheGraphIsReady()
    {
        m_script.gate = std::make_shared<RenderGate>();
        QStringList effects;
        connect(m_core.get(), &PlayerCore::titleChanged, this, [&]() { effects << "title"; });
        connect(m_core.get(), &PlayerCore::controlsChanged, this, [&]() { effects << "controls"; });
        connect(m_core.get(), &PlayerCore::openingFinished, this, [&]() {
            effects << "finished";
            QCOMPARE(m_core->fields().openingFlag, QStringLiteral("0"));
            QVERIFY(!m_log.contains("Run"));
        });
        connect(m_core.get(), &PlayerCore::originalSizeRequested, this, [&]() {
            effects << "size";
            QVERIFY(!m_log.contains("Run"));
        });
        m_core->openMedia(QStringLiteral("/media/slow.mp4"));
        QTRY_COMPARE(m_script.gate->waitingNow(), 1);
        QCOMPARE(effects, (QStringList{"title", "controls"}));
        QVERIFY(m_core->isOpening());
        QVERIFY(!m_core->graph());
        m_script.gate->release();
        waitOpened();
        QCOMPARE(effects, (QStringList{"title", "controls", "controls", "finished", "size"}));
        QCOMPARE(m_log.last(), QStringLiteral("Run"));
        QCOMPARE(m_core->browser().listFilters().last(), QStringLiteral("/media/slow.mp4"));
    }

    // A close or another open while a graph is still being built wins at
    // once; the abandoned graph is aborted, its result dropped, and it is
    // destroyed on the window's thread.
    void aCloseOrAnOpenWinsOverAPendingBuild_data()
    {
        QTest::addColumn<QString>("then");
        QTest::newRow("close") << QString();
        QTest::newRow("another open") << "/media/clip.mp4";
    }

    void aCloseOrAnOpenWinsOverAPendingBuild()
    {
        QFETCH(QString, then);
        m_script.gate = std::make_shared<RenderGate>();
        const std::shared_ptr<RenderGate> gate = m_script.gate;
        QSignalSpy finished(m_core.get(), &PlayerCore::openingFinished);
        QSignalSpy title(m_core.get(), &PlayerCore::titleChanged);
        m_core->openMedia(QStringLiteral("/media/slow.mp4"));
        QTRY_COMPARE(gate->waitingNow(), 1);
        if (then.isEmpty()) {
            m_core->closeMedia();
            QCOMPARE(m_core->title(), PlayerCore::programTitle);
            QVERIFY(m_core->controls().videoCoverVisible);
        } else {
            m_core->openMedia(then);
            QCOMPARE(m_core->title(), PlayerCore::titleFor(then));
            QVERIFY(m_core->isOpening());
            waitOpened();
            QVERIFY(m_log.contains(QStringLiteral("AddSourceFilter ") + then));
            QCOMPARE(m_log.last(), QStringLiteral("Run"));
        }
        // The build held at the server was told to stop waiting.
        QTRY_COMPARE(gate->waitingNow(), 0);
        QTRY_COMPARE(gate->graphsAlive.load(), then.isEmpty() ? 0 : 1);
        QVERIFY(!gate->destroyedOffMainThread);
        QVERIFY(!m_core->isOpening());
        QCOMPARE(finished.count(), then.isEmpty() ? 0 : 1);
        QCOMPARE(m_core->fields().fileOrUrlField, then.isEmpty() ? "/media/slow.mp4" : then);
        QCOMPARE(m_core->graph() != nullptr, !then.isEmpty());
        QCOMPARE(title.last().first().toString(),
                 then.isEmpty() ? PlayerCore::programTitle : PlayerCore::titleFor(then));
        QCOMPARE(m_core->browser().listFilters().isEmpty(), then.isEmpty());
    }

    void noAudioDisablesTheAudioControls()
    {
        m_script.hasAudio = false;
        openClip();
        QVERIFY(!m_core->controls().audioEnabled);
        m_script.hasAudio = true;
        openClip();
        QVERIFY(m_core->controls().audioEnabled);
    }

    void openingAgainReplacesTheGraph()
    {
        openClip();
        const int made = m_graphsMade;
        m_core->openMedia(QStringLiteral("/media/other.mkv"));
        waitOpened();
        QCOMPARE(m_graphsMade, made + 1);
        QCOMPARE(m_log.first(), QStringLiteral("Stop"));
        QCOMPARE(m_log.at(1), QStringLiteral("AddSourceFilter /media/other.mkv"));
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("opened");
        QTest::newRow("from a shell") << QStringList{"/open", "/m/a b.mp4"} << "/m/a b.mp4";
        QTest::newRow("as one text") << QStringList{"/open \"/m/a b.mp4\""} << "/m/a b.mp4";
        QTest::newRow("quoted argument") << QStringList{"/open", "\"/m/a.mp4\""} << "/m/a.mp4";
        QTest::newRow("first path only")
            << QStringList{"/open", "/m/a.mp4", "/open", "/m/b.mp4"} << "/m/a.mp4";
        QTest::newRow("no marker") << QStringList{"/m/a.mp4"} << QString();
        QTest::newRow("no closing quote") << QStringList{"/open \"/m/a.mp4"} << QString();
        QTest::newRow("empty path") << QStringList{"/open \"\""} << QString();
        QTest::newRow("nothing") << QStringList() << QString();
        QTest::newRow("quote inside the path")
            << QStringList{"/open", "/m/dq\"uote.mp4"} << "/m/dq\"uote.mp4";
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, opened);
        const ProgramCommandLine line = readCommandLine(arguments);
        m_core->openFromCommandLine(line);
        waitOpened();
        QCOMPARE(m_core->fields().parameterInfoField, line.text);
        QCOMPARE(m_core->fields().fileOrUrlField, opened);
        QCOMPARE(m_core->graph() != nullptr, !opened.isEmpty());
    }

    void playAtTheEndStartsAgain_data()
    {
        QTest::addColumn<double>("position");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("at the end") << 10.0 << QStringList{"SetCurrentPosition 0", "Run"};
        QTest::newRow("rounds to the end") << 9.6 << QStringList{"SetCurrentPosition 0", "Run"};
        QTest::newRow("before the end") << 9.4 << QStringList{"Run"};
    }

    void playAtTheEndStartsAgain()
    {
        QFETCH(double, position);
        QFETCH(QStringList, calls);
        openClip();
        graph()->position = position;
        QSignalSpy focus(m_core.get(), &PlayerCore::focusVideoRequested);
        m_core->play();
        QCOMPARE(m_log, calls);
        QCOMPARE(focus.count(), 1);
    }

    void stopReturnsToTheStart()
    {
        openClip();
        graph()->position = 4.0;
        m_core->stop();
        QCOMPARE(m_log, (QStringList{"Stop", "SetCurrentPosition 0"}));
    }

    void jumps_data()
    {
        QTest::addColumn<double>("position");
        QTest::addColumn<double>("delta");
        QTest::addColumn<double>("target");
        QTest::newRow("back at 3 s") << 3.0 << -5.0 << 0.0;
        QTest::newRow("back at 7 s") << 7.0 << -5.0 << 2.0;
        QTest::newRow("forward near the end") << 8.0 << 5.0 << 10.0;
        QTest::newRow("forward") << 4.5 << 5.0 << 9.5;
    }

    void jumps()
    {
        QFETCH(double, position);
        QFETCH(double, delta);
        QFETCH(double, target);
        openClip();
        graph()->position = position;
        m_core->jump(delta);
        QCOMPARE(graph()->position, target);
    }

    void rateSteps()
    {
        openClip();
        m_core->changeRate(Transport::rateStep);
        QCOMPARE(graph()->rate, 1.1);
        m_core->normalSpeed();
        for (int i = 0; i < 12; ++i)
            m_core->changeRate(-Transport::rateStep);
        // Down to 0.1; the graph refuses 0.
        QCOMPARE(graph()->rate, 0.1);
        m_core->changeRate(-Transport::rateStep);
        QCOMPARE(graph()->rate, 0.1);
        for (int i = 0; i < 6; ++i)
            m_core->changeRate(Transport::rateStep);
        QCOMPARE(graph()->rate, 0.7);
    }

    void volumeButtonsAndWheel_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("buttonDelta");
        QTest::addColumn<int>("notches");
        QTest::addColumn<int>("expected");
        QTest::newRow("up at full") << 0 << 1000 << 0 << 0;
        QTest::newRow("down") << -2000 << -1000 << 0 << -3000;
        QTest::newRow("down at the bottom") << -9500 << -1000 << 0 << -10000;
        QTest::newRow("wheel up to the top") << -300 << 0 << 1 << 0;
        QTest::newRow("wheel up") << -2000 << 0 << 1 << -1500;
        QTest::newRow("wheel down to -100 dB") << -9800 << 0 << -1 << -10000;
        QTest::newRow("wheel, three notches down") << -1000 << 0 << -3 << -2500;
        // The label's dB value is what the wheel steps from.
        QTest::newRow("wheel from a part dB") << -2550 << 0 << -1 << -3050;
    }

    void volumeButtonsAndWheel()
    {
        QFETCH(int, start);
        QFETCH(int, buttonDelta);
        QFETCH(int, notches);
        QFETCH(int, expected);
        openClip();
        m_core->setVolume(start);
        if (buttonDelta)
            m_core->changeVolume(buttonDelta);
        if (notches)
            m_core->wheelVolume(notches);
        QCOMPARE(m_core->controls().volumeBar, expected);
        QCOMPARE(graph()->volume, long(expected));
    }

    void seekSlider()
    {
        openClip();
        QVERIFY(m_core->positionBarTimer.isActive());
        m_core->seekSliderPressed();
        QVERIFY(!m_core->positionBarTimer.isActive());
        // 200 px = 3000 twips, 120 twips of margin at each end.
        m_core->seekSliderMoved(100, 200, true, 6);
        QCOMPARE(m_core->fields().seekTargetField, QStringLiteral("5.0"));
        QCOMPARE(m_core->fields().txtElapsed, QStringLiteral("6"));
        m_core->seekSliderMoved(8, 200, true, 0);
        QCOMPARE(m_core->fields().seekTargetField, QStringLiteral("0.0"));
        m_core->seekSliderMoved(150, 200, false, 0);
        QCOMPARE(m_core->fields().seekTargetField, QStringLiteral("7.7"));
        m_core->seekSliderReleased();
        QCOMPARE(graph()->position, 7.7);
        QVERIFY(m_core->positionBarTimer.isActive());
        // A slider with no room between its margins computes nothing.
        m_core->seekSliderMoved(5, 16, true, 0);
        QCOMPARE(m_core->fields().seekTargetField, QStringLiteral("7.7"));
    }

    void positionTimerFollowsTheGraph()
    {
        openClip();
        graph()->position = 6.6;
        QTRY_COMPARE(m_core->controls().positionBarValue, 7);
        QCOMPARE(m_core->fields().txtElapsed, QStringLiteral("6.6"));
        QTRY_COMPARE(m_core->fields().positionTextField, QStringLiteral("00:00:06.6"));
    }

    // An MPEG transport stream, say, knows its length only once it plays.
    void aLengthKnownLaterIsTakenWhenKnown()
    {
        m_script.duration.reset();
        m_core->openMedia(QStringLiteral("/media/clip.ts"));
        waitOpened();
        graph()->position = 1.0;
        QTRY_COMPARE(m_core->fields().txtElapsed, QStringLiteral("1"));
        QVERIFY(!m_core->isLoaded());
        graph()->script.duration = 12.5;
        // Asked for again as the next second plays.
        graph()->position = 2.0;
        QTRY_COMPARE(m_core->fields().durationTextField, QStringLiteral("00:00:12.5"));
        QCOMPARE(m_core->controls().positionBarMaximum, 13);
    }

    // What the open left free (here: 20 MB of small blocks below one still
    // in use, which glibc never gives back by itself) is given back once
    // the position bar first moves on.
    void freedMemoryIsGivenBackOnceItPlays()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the sanitizer's allocator keeps what is freed in its own quarantine");
#endif
        const auto residentKb = [] {
            QFile statm(QStringLiteral("/proc/self/statm"));
            return statm.open(QIODevice::ReadOnly)
                       ? statm.readAll().split(' ').value(1).toLongLong() * 4
                       : -1;
        };
        openClip();
        std::vector<void *> blocks(40000);
        for (void *&block : blocks)
            block = std::memset(std::malloc(500), 1, 500);
        void *const inUse = std::memset(std::malloc(500), 1, 500);
        for (void *block : blocks)
            std::free(block);
        graph()->position = 0.4;
        QTRY_COMPARE(m_core->fields().txtElapsed, QStringLiteral("0.4"));
        const qint64 before = residentKb();
        graph()->position = 1.2;
        QTRY_COMPARE(m_core->controls().positionBarValue, 1);
        const qint64 after = residentKb();
        std::free(inUse);
        QVERIFY2(before - after > 10 * 1024,
                 qPrintable(QStringLiteral("%1 -> %2 KiB").arg(before).arg(after)));
    }

    void rebuildKeepsPositionAndState_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("lastCall");
        QTest::newRow("stopped") << int(GraphState::Stopped) << "Stop";
        QTest::newRow("paused") << int(GraphState::Paused) << "Pause";
        QTest::newRow("running") << int(GraphState::Running) << "Run";
    }

    void rebuildKeepsPositionAndState()
    {
        QFETCH(int, state);
        QFETCH(QString, lastCall);
        openClip();
        graph()->state = GraphState(state);
        graph()->position = 4.25;
        QTRY_COMPARE(m_core->fields().txtElapsed, QStringLiteral("4.25"));
        const int made = m_graphsMade;
        m_core->selectRenderer(1);
        waitOpened();
        QCOMPARE(m_graphsMade, made + 1);
        QVERIFY(m_log.contains("Filter ximagesink"));
        QCOMPARE(m_log.at(m_log.size() - 2), QStringLiteral("SetCurrentPosition 4.25"));
        QCOMPARE(m_log.last(), lastCall);
        QCOMPARE(m_core->fields().savedStateField, QString::number(state));
        QCOMPARE(m_core->fields().savedPositionField, QStringLiteral("4.25"));
    }

    void aFailedOpenForgetsTheOldTimes()
    {
        openClip();
        graph()->position = 6.6;
        QTRY_COMPARE(m_core->controls().positionBarValue, 7);
        QCOMPARE(m_core->controls().positionBarMaximum, 10);
        QTRY_VERIFY(!m_core->fields().positionTextField.isEmpty());
        // The next file has nothing the graph can render.
        m_script.sourcePins.clear();
        m_core->openMedia(QStringLiteral("/media/broken.mp4"));
        waitOpened();
        QVERIFY(!graph()->Duration());
        QCOMPARE(m_core->controls().positionBarMaximum, 0);
        QCOMPARE(m_core->controls().positionBarValue, 0);
        QTest::qWait(4 * PlayerCore::timerInterval);
        const PlayerFields &f = m_core->fields();
        for (const QString *field :
             {&f.txtDuration, &f.txtElapsed, &f.durationTextField, &f.positionTextField})
            QVERIFY(field->isEmpty());
        QVERIFY(!m_core->isLoaded());
        QCOMPARE(m_core->title(), QStringLiteral("broken.mp4 - Oblen Player v1.0.3"));
    }

    void rendererChoiceWithNothingLoadedOnlyChooses()
    {
        m_core->selectRenderer(0);
        QCOMPARE(m_core->controls().rendererOption, 0);
        QVERIFY(!m_core->graph());
        QVERIFY(m_log.isEmpty());
    }

    void quittingWithTheOptionalRendererFallsBack()
    {
        m_core->selectRenderer(PlayerCore::optionalRenderer);
        openClip();
        m_core->prepareQuit();
        QVERIFY(m_log.contains("Filter ximagesink"));
        QVERIFY(!m_core->graph());
    }

    void closingResetsTheWindow()
    {
        openClip();
        QSignalSpy title(m_core.get(), &PlayerCore::titleChanged);
        m_core->closeMedia();
        QVERIFY(!m_core->graph());
        QCOMPARE(title.last().first().toString(), QStringLiteral("Oblen Player v1.0.3"));
        const PlayerFields &f = m_core->fields();
        for (const QString *field :
             {&f.savedPositionField, &f.txtDuration, &f.txtElapsed, &f.durationTextField,
              &f.positionTextField, &f.savedStateField})
            QVERIFY(field->isEmpty());
        QVERIFY(m_core->controls().videoCoverVisible);
        QVERIFY(!m_core->controls().positionBarEnabled);
        QCOMPARE(m_core->controls().positionBarValue, 0);
        QVERIFY(!m_core->statusTimer.isActive());
        QVERIFY(m_core->browser().listFilters().isEmpty());
        // F5 with nothing loaded does nothing.
        m_core->rebuildKeepingState();
        QVERIFY(!m_core->graph());
    }

    void reopeningFromInsideTheRendererMessageIsRefused()
    {
        m_script.failing = {"glimagesink"};
        int messages = 0;
        connect(m_core.get(), &PlayerCore::rendererMessage, this, [&]() {
            ++messages;
            QVERIFY(m_core->isOpening());
            m_core->openMedia(QStringLiteral("/media/other.mp4"));
            m_core->closeMedia();
        });
        m_core->openMedia(QStringLiteral("/media/clip.mp4"));
        waitOpened();
        QCOMPARE(messages, 1);
        QCOMPARE(m_core->fields().fileOrUrlField, QStringLiteral("/media/clip.mp4"));
        QVERIFY(graph());
        QVERIFY(!m_core->isOpening());
    }

    void timeTexts_data()
    {
        QTest::addColumn<QString>("seconds");
        QTest::addColumn<QString>("position");
        QTest::addColumn<QString>("duration");
        QTest::newRow("5.36") << "5.36"
                              << "00:00:05.3"
                              << "00:00:05.3";
        QTest::newRow("75.36") << "75.36"
                               << "00:01:15.4"
                               << "00:01:15.4";
        QTest::newRow("7") << "7"
                           << "00:00:07.0"
                           << "00:00:07";
        QTest::newRow("42.5") << "42.5"
                              << "00:00:42.5"
                              << "00:00:42.5";
        QTest::newRow("3725") << "3725"
                              << "01:02:05.0"
                              << "01:02:05.0";
        QTest::newRow("empty") << ""
                               << ""
                               << "";
    }

    void timeTexts()
    {
        QFETCH(QString, seconds);
        QFETCH(QString, position);
        QFETCH(QString, duration);
        QCOMPARE(positionText(seconds), position);
        QCOMPARE(durationText(seconds), duration);
    }

    // Positions as the graph answers them, through the stored text; the
    // panel texts the graph's values make.
    void graphValueTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("tiny") << Transport::doubleText(9.99e-05) << "0.0000999";
        QTest::newRow("tiny position")
            << positionText(Transport::doubleText(9.99e-05)) << "00:00:00.0";
        QTest::newRow("tinier") << Transport::doubleText(1.5e-9) << "0.0000000015";
        QTest::newRow("balance 2500") << StatusText::balance(2500) << "밸런스: 2500";
        QTest::newRow("volume -5.5") << StatusText::volume(-550) << "볼륨: -5.5dB";
    }

    void graphValueTexts()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(text, expected);
    }

    void numberTexts()
    {
        QCOMPARE(Transport::doubleText(10.0), QStringLiteral("10"));
        QCOMPARE(Transport::doubleText(4.25), QStringLiteral("4.25"));
        QCOMPARE(Transport::oneDecimal(0.25), QStringLiteral("0.3"));
        QCOMPARE(Transport::oneDecimal(-0.04), QStringLiteral("0.0"));
        const struct
        {
            const char *text;
            double value;
        } leading[] = {
            {"12.5abc", 12.5}, {"abc", 0.0},      {"  -3.25 s", -3.25}, {"+.5", 0.5},
            {"7.", 7.0},       {"1e3x", 1000.0},  {"2.5E-1", 0.25},     {"4e", 4.0},
            {"4e+", 4.0},      {".", 0.0},        {"-", 0.0},           {"", 0.0},
            {"1.2.3", 1.2},    {"\xd9\xa3", 0.0},
        };
        for (const auto &row : leading)
            QCOMPARE(Transport::textValue(QString::fromUtf8(row.text)), row.value);
    }
};

QTEST_GUILESS_MAIN(PlayerCoreTest)
#include "tst_playercore.moc"
