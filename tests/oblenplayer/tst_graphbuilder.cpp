// The graph builder and the filter lists, driven through a scripted graph:
// which filters are inserted, which pins rendered, which message shown.
#include "fakegraph.h"
#include "graph/filterbrowser.h"
#include "graph/graphbuilder.h"

#include <QSignalSpy>
#include <QTest>

namespace {
const QString vmr = QStringLiteral("glimagesink");
}

class GraphBuilderTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void build_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("pins");
        QTest::addColumn<bool>("avsAudio");
        QTest::addColumn<QStringList>("failing");
        QTest::addColumn<QStringList>("expectedLog");
        QTest::addColumn<QString>("expectedMessage");

        const QString one = GraphBuilder::rendererMessage(false);
        const QString two = GraphBuilder::rendererMessage(true);
        const QStringList av = {QStringLiteral("Audio"), QStringLiteral("Video")};

        QTest::newRow("one pin") << "/m/a.mp4" << QStringList{"Output"} << true << QStringList()
                                 << QStringList{"AddSourceFilter /m/a.mp4", "Filter glimagesink",
                                                "Render /m/a.mp4:Output"}
                                 << QString();
        QTest::newRow("one pin, renderer fails")
            << "/m/a.mp4" << QStringList{"Output"} << true << QStringList{vmr}
            << QStringList{"AddSourceFilter /m/a.mp4", "Filter glimagesink",
                           "Render /m/a.mp4:Output"}
            << one;
        QTest::newRow("avs, audio off")
            << "/m/s.avs" << av << false << QStringList()
            << QStringList{"AddSourceFilter /m/s.avs", "Filter glimagesink",
                           "Render /m/s.avs:Video"}
            << QString();
        QTest::newRow("avs, audio on")
            << "/m/s.avs" << av << true << QStringList()
            << QStringList{"AddSourceFilter /m/s.avs", "Render /m/s.avs:Audio",
                           "Filter glimagesink", "Render /m/s.avs:Video"}
            << QString();
        QTest::newRow("not avs, audio off")
            << "/m/s.avi" << av << false << QStringList()
            << QStringList{"AddSourceFilter /m/s.avi", "Render /m/s.avi:Audio",
                           "Filter glimagesink", "Render /m/s.avi:Video"}
            << QString();
        // The extension is compared exactly.
        QTest::newRow("AVS in capitals")
            << "/m/s.AVS" << av << false << QStringList()
            << QStringList{"AddSourceFilter /m/s.AVS", "Render /m/s.AVS:Audio",
                           "Filter glimagesink", "Render /m/s.AVS:Video"}
            << QString();
        QTest::newRow("two pins, renderer fails")
            << "/m/s.avs" << av << false << QStringList{vmr}
            << QStringList{"AddSourceFilter /m/s.avs", "Filter glimagesink",
                           "Render /m/s.avs:Video"}
            << two;
        QTest::newRow("three pins render nothing")
            << "/m/x.mkv" << QStringList{"A", "B", "C"} << true << QStringList()
            << QStringList{"AddSourceFilter /m/x.mkv"} << QString();
        QTest::newRow("no pins") << "/m/x.mkv" << QStringList() << true << QStringList()
                                 << QStringList{"AddSourceFilter /m/x.mkv"} << QString();
    }

    void build()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, pins);
        QFETCH(bool, avsAudio);
        QFETCH(QStringList, failing);
        QFETCH(QStringList, expectedLog);
        QFETCH(QString, expectedMessage);

        QStringList log;
        FakeGraphScript script;
        script.sourcePins = pins;
        script.failing = failing;
        FakeGraph graph(script, &log);
        FilterBrowser browser;
        QStringList messages;
        GraphBuilder::build(graph, browser, {path, vmr, avsAudio},
                            [&](const QString &text) { messages << text; });
        QCOMPARE(log, expectedLog);
        QCOMPARE(messages,
                 expectedMessage.isEmpty() ? QStringList() : QStringList{expectedMessage});
        // The source, added first, is always the last line.
        QCOMPARE(browser.listFilters().last(), path);
        QCOMPARE(browser.listRegFilters(), script.registered);
        QCOMPARE(browser.regFilterLine(), 1);
    }

    void missingOrFileSourceRendererShowsTheMessage_data()
    {
        QTest::addColumn<QStringList>("registered");
        QTest::addColumn<QStringList>("fileSources");
        QTest::newRow("not registered") << QStringList{"ximagesink"} << QStringList();
        QTest::newRow("a file source") << QStringList{"glimagesink"} << QStringList{"glimagesink"};
    }

    void missingOrFileSourceRendererShowsTheMessage()
    {
        QFETCH(QStringList, registered);
        QFETCH(QStringList, fileSources);
        QStringList log;
        FakeGraphScript script;
        script.registered = registered;
        script.fileSources = fileSources;
        FakeGraph graph(script, &log);
        FilterBrowser browser;
        int shown = 0;
        GraphBuilder::build(graph, browser, {"/m/a.mp4", vmr, true},
                            [&](const QString &) { ++shown; });
        QCOMPARE(shown, 1);
        // Rendering still happens, with the default renderer.
        QVERIFY(log.contains("Render /m/a.mp4:Output"));
    }

    void onlyTheFirstRegisteredFilterOfTheNameIsInserted()
    {
        QStringList log;
        FakeGraphScript script;
        script.registered = {"glimagesink", "glimagesink"};
        FakeGraph graph(script, &log);
        FilterBrowser browser;
        GraphBuilder::build(graph, browser, {"/m/a.mp4", vmr, true}, {});
        QCOMPARE(log.count("Filter glimagesink"), 1);
    }

    void messageTexts()
    {
        QCOMPARE(
            GraphBuilder::rendererMessage(false),
            QStringLiteral("현재 렌더러는 선택하실 수 없습니다.\r\n\r\n그래픽 드라이버가 설치되지 "
                           "않았거나 Direct3D를 지원하지 않는 그래픽카드입니다.\r\n\r\n다른 "
                           "렌더러를 선택해 주세요. (재생은 시스템 기본 렌더로 재생됩니다.)"));
        QVERIFY(GraphBuilder::rendererMessage(true).endsWith(
            QStringLiteral("\r\n\r\n다른 렌더러를 선택해 주세요.")));
    }

    void pinDescriptions()
    {
        FakeGraph graph(FakeGraphScript{});
        FilterBrowser browser;
        GraphBuilder::build(graph, browser, {"/m/a.mp4", vmr, true}, {});
        // After building: Decoder, glimagesink, source.
        QCOMPARE(browser.listFilters(), (QStringList{"Decoder", "glimagesink", "/m/a.mp4"}));
        browser.selectFilter(2);
        QCOMPARE(browser.lblFilterName(), QStringLiteral("/m/a.mp4"));
        QCOMPARE(browser.lblVendorInfo(), QStringLiteral("Fake vendor"));
        QCOMPARE(browser.txtPinInfo(),
                 QStringLiteral("연결된핀: In \r\n필터: Decoder \r\n미디어 종류: "
                                "{73646976-0000-0010-8000-00AA00389B71} \r\n방향: 출력"));
        browser.selectFilter(0);
        QCOMPARE(browser.txtPinInfo(),
                 QStringLiteral("연결된핀: Output \r\n필터: /m/a.mp4 \r\n미디어 종류: "
                                "{73646976-0000-0010-8000-00AA00389B71} \r\n방향: 입력"));
        // The renderer's pin is left unconnected: direction only.
        browser.selectFilter(1);
        QCOMPARE(browser.txtPinInfo(), QStringLiteral(" \r\n방향: 입력"));
        QCOMPARE(browser.selectedPin()->Name(), QStringLiteral("In"));
    }

    void refreshSelectsTheFirstLineAndRepeatedNamesPickTheLater()
    {
        FakeGraphScript script;
        script.sourcePins = {"One", "Two", "Three"};
        FakeGraph graph(script);
        FilterBrowser browser;
        browser.setGraph(&graph);
        graph.AddSourceFilter("same");
        graph.filters.push_back(
            std::make_shared<FakeFilter>(&graph, "same", QStringList{"Only"}, false));
        QSignalSpy refreshed(&browser, &FilterBrowser::filtersRefreshed);
        browser.RefreshFilters();
        QCOMPARE(refreshed.count(), 1);
        QCOMPARE(browser.filterLine(), 0);
        // Two filters named "same": the later one in the collection, the source, wins.
        QCOMPARE(browser.listPins(), (QStringList{"One", "Two", "Three"}));
        QCOMPARE(browser.pinLine(), 0);
        QCOMPARE(browser.selectedPin()->Name(), QStringLiteral("One"));
        browser.selectPin(2);
        QCOMPARE(browser.selectedPin()->Name(), QStringLiteral("Three"));

        browser.clear();
        QVERIFY(browser.listFilters().isEmpty());
        QVERIFY(!browser.selectedFilter());
        QVERIFY(!browser.selectedPin());
        QCOMPARE(refreshed.count(), 2);
        QVERIFY(refreshed.last().first().toStringList().isEmpty());
    }
};

QTEST_GUILESS_MAIN(GraphBuilderTest)
#include "tst_graphbuilder.moc"
