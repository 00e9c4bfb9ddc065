// The graph layer against real GStreamer under X: what the player relies on
// from a graph, on media made with ffmpeg.
#include "graph/filterbrowser.h"
#include "graph/gstgraph.h"
#include "hiddendecoders.h"
#include "window/graphvideowindow.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QWidget>

#include <gst/gl/gl.h>

#include <sys/stat.h>

namespace {

QString media(const QString &name)
{
    return QStringLiteral(OBLEN_TEST_MEDIA "/") + name;
}

QString sample(const QString &name)
{
    return QStringLiteral(SAMPLE_MEDIA "/") + name;
}

QStringList names(const std::vector<std::shared_ptr<IFilterInfo>> &filters)
{
    QStringList list;
    for (const auto &f : filters)
        list << f->Name();
    return list;
}

std::shared_ptr<IRegFilterInfo> registered(FilgraphManager &graph, const QString &name)
{
    for (const auto &r : graph.RegFilterCollection())
        if (r->Name() == name)
            return r;
    return nullptr;
}

std::shared_ptr<IPinInfo> onlyPin(const std::shared_ptr<IFilterInfo> &filter)
{
    const auto pins = filter->Pins();
    return pins.size() == 1 ? pins.front() : nullptr;
}

// The GL display an OpenGL sink draws through, with a reference; null when
// it has none.
GstGLDisplay *glDisplayOf(GstElement *sink)
{
    GstQuery *query = gst_query_new_context(GST_GL_DISPLAY_CONTEXT_TYPE);
    GstGLDisplay *display = nullptr;
    if (gst_element_query(sink, query)) {
        GstContext *context = nullptr;
        gst_query_parse_context(query, &context);
        if (context)
            gst_context_get_gl_display(context, &display);
    }
    gst_query_unref(query);
    return display;
}

// Every OpenGL sink added to any bin while it lives, with a reference.
class OpenGlSinkWatch
{
public:
    OpenGlSinkWatch()
    {
        m_signal = g_signal_lookup("element-added", GST_TYPE_BIN);
        m_hook = g_signal_add_emission_hook(m_signal, 0, &OpenGlSinkWatch::added, this, nullptr);
    }
    ~OpenGlSinkWatch()
    {
        g_signal_remove_emission_hook(m_signal, m_hook);
        for (GstElement *sink : sinks)
            gst_object_unref(sink);
    }
    std::vector<GstElement *> sinks;

private:
    static gboolean added(GSignalInvocationHint *, guint count, const GValue *values, gpointer data)
    {
        auto *element = count > 1 ? GST_ELEMENT(g_value_get_object(&values[1])) : nullptr;
        GstElementFactory *factory = element ? gst_element_get_factory(element) : nullptr;
        if (factory && g_str_equal(GST_OBJECT_NAME(factory), "glimagesink"))
            static_cast<OpenGlSinkWatch *>(data)->sinks.push_back(
                GST_ELEMENT(gst_object_ref(element)));
        return TRUE;
    }
    guint m_signal = 0;
    gulong m_hook = 0;
};

} // namespace

Q_DECLARE_METATYPE(GraphProblem::Kind)

class GstGraphTest : public QObject
{
    Q_OBJECT

    QWidget *m_videoArea = nullptr;
    QTemporaryDir m_dir;

    std::unique_ptr<GstFilgraphManager> newGraph()
    {
        return std::make_unique<GstFilgraphManager>(GraphVideoWindow::factory(m_videoArea)());
    }

    // Source + X11 renderer + Render on the source pin: what the player builds.
    std::unique_ptr<GstFilgraphManager> playable(const QString &path, bool *rendered = nullptr)
    {
        auto graph = newGraph();
        auto source = graph->AddSourceFilter(path);
        if (auto r = registered(*graph, QStringLiteral("ximagesink")))
            r->Filter();
        const bool ok = source && onlyPin(source) && onlyPin(source)->Render();
        if (rendered)
            *rendered = ok;
        return graph;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(GstFilgraphManager::initialise());
        m_videoArea = new QWidget;
        m_videoArea->setAttribute(Qt::WA_NativeWindow);
        m_videoArea->setGeometry(940, 20, 320, 240);
        m_videoArea->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_videoArea));
        QVERIFY(m_dir.isValid());
        QVERIFY(QFile::link(media(QStringLiteral("clip.mp4")),
                            m_dir.filePath(QStringLiteral("link.mp4"))));
        QCOMPARE(
            mkfifo(QFile::encodeName(m_dir.filePath(QStringLiteral("pipe.mp4"))).constData(), 0600),
            0);
    }

    void cleanupTestCase() { delete m_videoArea; }

    void sourceFilterHasOneOutputPin()
    {
        auto graph = newGraph();
        const QString path = media(QStringLiteral("clip.mp4"));
        auto source = graph->AddSourceFilter(path);
        QVERIFY(source);
        QCOMPARE(source->Name(), path);
        QVERIFY(source->IsFileSource());
        QVERIFY(!source->VendorInfo().isEmpty());
        auto pin = onlyPin(source);
        QVERIFY(pin);
        QCOMPARE(pin->Direction(), int(IPinInfo::Output));
        QVERIFY(!pin->ConnectedTo());
        QVERIFY(!pin->ConnectionMediaType());
        QCOMPARE(FilterBrowser::describePin(*pin), QStringLiteral(" \r\n방향: 출력"));
        QCOMPARE(names(graph->FilterCollection()), QStringList{path});
        // A graph takes one source.
        QVERIFY(!graph->AddSourceFilter(path));
    }

    void registeredFiltersAreFactories()
    {
        auto graph = newGraph();
        const auto regs = graph->RegFilterCollection();
        QVERIFY(regs.size() > 100);
        QVERIFY(registered(*graph, QStringLiteral("ximagesink")));
        QVERIFY(registered(*graph, QStringLiteral("glimagesink")));
        // Not installed here: the renderer that cannot be inserted.
        QVERIFY(!registered(*graph, QStringLiteral("vaapisink")));
    }

    void rendererThatCannotWorkIsNotInserted()
    {
        // Xvfb has XVideo without ports: xvimagesink cannot open.
        auto graph = newGraph();
        graph->AddSourceFilter(media(QStringLiteral("clip.mp4")));
        auto xv = registered(*graph, QStringLiteral("xvimagesink"));
        QVERIFY(xv);
        QVERIFY(!xv->Filter());
        QCOMPARE(graph->FilterCollection().size(), size_t(1));
        auto gl = registered(*graph, QStringLiteral("glimagesink"));
        auto inserted = gl->Filter();
        QVERIFY(inserted);
        QCOMPARE(inserted->Pins().size(), size_t(1));
        QCOMPARE(FilterBrowser::describePin(*inserted->Pins().front()),
                 QStringLiteral(" \r\n방향: 입력"));
    }

    void anIdleInsertedFilterDoesNotDisturbPlayback()
    {
        auto graph = newGraph();
        auto source = graph->AddSourceFilter(media(QStringLiteral("clip.mp4")));
        // A source of its own, linked to nothing: it must stay idle.
        QVERIFY(registered(*graph, QStringLiteral("videotestsrc"))->Filter());
        QVERIFY(onlyPin(source)->Render());
        QVERIFY(graph->Run());
        QCOMPARE(graph->GetState(2000), std::optional(GraphState::Running));
        QTRY_VERIFY_WITH_TIMEOUT(*graph->CurrentPosition() > 0.3, 15000);
        QVERIFY(graph->Duration());
    }

    void renderBuildsTheChainWithTheSourceLast()
    {
        bool rendered = false;
        const QString path = media(QStringLiteral("clip.mp4"));
        auto graph = playable(path, &rendered);
        QVERIFY(rendered);
        const QStringList list = names(graph->FilterCollection());
        QCOMPARE(list.last(), path);
        QVERIFY(list.at(list.size() - 2).startsWith(QLatin1String("ximagesink")));
        QVERIFY(list.contains(QLatin1String("typefind")));
        for (const char *prefix : {"qtdemux", "avdec_h264", "avdec_aac", "videoconvert", "volume",
                                   "audiopanorama", "autoaudiosink"}) {
            QVERIFY2(
                std::any_of(list.begin(), list.end(),
                            [&](const QString &n) { return n.startsWith(QLatin1String(prefix)); }),
                prefix);
        }
        // The renderer was used, not a second, default one.
        QVERIFY(!std::any_of(list.begin(), list.end(), [](const QString &n) {
            return n.startsWith(QLatin1String("autovideosink"));
        }));

        auto filters = graph->FilterCollection();
        auto sourcePin = onlyPin(filters.back());
        QCOMPARE(FilterBrowser::describePin(*sourcePin),
                 QStringLiteral("연결된핀: sink \r\n필터: typefind \r\n미디어 종류: "
                                "video/quicktime \r\n방향: 출력"));
        auto rendererPin = onlyPin(filters.at(filters.size() - 2));
        const QString rendererText = FilterBrowser::describePin(*rendererPin);
        QVERIFY2(rendererText.startsWith(QStringLiteral("연결된핀: src \r\n필터: videoscale")),
                 qPrintable(rendererText));
        QVERIFY(rendererText.endsWith(QStringLiteral("미디어 종류: video/x-raw \r\n방향: 입력")));
        QCOMPARE(rendererPin->ConnectedTo()->FilterInfo()->Name(),
                 rendererText.section(QStringLiteral("필터: "), 1).section(QLatin1Char(' '), 0, 0));
        // Rendering twice is refused: the pin is connected.
        QVERIFY(!sourcePin->Render());

        QCOMPARE(graph->SourceWidth(), std::optional<int>(320));
        QCOMPARE(graph->SourceHeight(), std::optional<int>(240));
    }

    void stateSequence()
    {
        bool rendered = false;
        auto graph = playable(media(QStringLiteral("clip.mp4")), &rendered);
        QVERIFY(rendered);
        QCOMPARE(graph->GetState(1000), std::optional(GraphState::Stopped));
        QVERIFY(graph->Run());
        QCOMPARE(graph->GetState(2000), std::optional(GraphState::Running));
        QVERIFY(graph->Pause());
        QCOMPARE(graph->GetState(2000), std::optional(GraphState::Paused));
        QVERIFY(graph->Stop());
        QCOMPARE(graph->GetState(2000), std::optional(GraphState::Stopped));
        QVERIFY(graph->Run());
        QCOMPARE(graph->GetState(2000), std::optional(GraphState::Running));
        // Stop must not drop the decoders: the same filters come back.
        const QStringList before = names(graph->FilterCollection());
        QVERIFY(graph->Stop());
        QVERIFY(graph->Pause());
        QCOMPARE(graph->GetState(2000), std::optional(GraphState::Paused));
        QCOMPARE(names(graph->FilterCollection()), before);
    }

    // A flushing seek (a jump, the slider, a rate change, stop) makes the
    // graph preroll again, and until it has, GStreamer's pending state is
    // PAUSED whatever the graph was doing: the answer must be the state the
    // graph is on its way back to.
    void stateDuringTheRepreroll_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("rateChange");
        QTest::newRow("running, seek") << int(GraphState::Running) << false;
        QTest::newRow("running, rate") << int(GraphState::Running) << true;
        QTest::newRow("paused, seek") << int(GraphState::Paused) << false;
        QTest::newRow("paused, rate") << int(GraphState::Paused) << true;
        QTest::newRow("stopped, seek") << int(GraphState::Stopped) << false;
    }

    void stateDuringTheRepreroll()
    {
        QFETCH(int, state);
        QFETCH(bool, rateChange);
        const auto expected = std::optional(GraphState(state));
        auto graph = playable(media(QStringLiteral("clip.mp4")));
        if (expected == GraphState::Running)
            QVERIFY(graph->Run());
        else if (expected == GraphState::Paused)
            QVERIFY(graph->Pause());
        else
            QVERIFY(graph->Stop());
        QCOMPARE(graph->GetState(2000), expected);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(rateChange ? graph->SetRate(1.1 + 0.2 * i)
                               : graph->SetCurrentPosition(1.0 + i));
            QCOMPARE(graph->GetState(0), expected);
            QCOMPARE(graph->GetState(2000), expected);
        }
    }

    void durationPositionAndSeek()
    {
        auto graph = playable(media(QStringLiteral("clip.mp4")));
        const auto duration = graph->Duration();
        QVERIFY(duration);
        QVERIFY(qAbs(*duration - 5.0) < 0.1);
        QVERIFY(graph->CurrentPosition());
        QVERIFY(*graph->CurrentPosition() < 0.1);
        QVERIFY(graph->SetCurrentPosition(3.0));
        graph->GetState(2000);
        QVERIFY(qAbs(*graph->CurrentPosition() - 3.0) < 0.05);

        // Playing moves the position on.
        QVERIFY(graph->Run());
        graph->GetState(2000);
        QTRY_VERIFY_WITH_TIMEOUT(*graph->CurrentPosition() > 3.2, 15000);
    }

    void rateIsKeptAcrossSeeks()
    {
        auto graph = playable(media(QStringLiteral("clip.mp4")));
        QCOMPARE(graph->Rate(), std::optional(1.0));
        QVERIFY(graph->SetRate(1.5));
        QCOMPARE(graph->Rate(), std::optional(1.5));
        QVERIFY(!graph->SetRate(0.0));
        QVERIFY(!graph->SetRate(-0.1));
        QCOMPARE(graph->Rate(), std::optional(1.5));
        QVERIFY(graph->SetCurrentPosition(1.0));
        QCOMPARE(graph->Rate(), std::optional(1.5));
        QVERIFY(graph->Run());
        graph->GetState(2000);
        QTRY_VERIFY_WITH_TIMEOUT(*graph->CurrentPosition() > 1.3, 15000);
    }

    void volumeAndBalanceReadBack()
    {
        auto graph = playable(media(QStringLiteral("clip.mp4")));
        QCOMPARE(graph->Volume(), std::optional(0L));
        QCOMPARE(graph->Balance(), std::optional(0L));
        QVERIFY(graph->SetVolume(-2000));
        QCOMPARE(graph->Volume(), std::optional(-2000L));
        QVERIFY(graph->SetVolume(-10000));
        QCOMPARE(graph->Volume(), std::optional(-10000L));
        QVERIFY(!graph->SetVolume(100));
        QVERIFY(graph->SetBalance(10000));
        QCOMPARE(graph->Balance(), std::optional(10000L));
        QVERIFY(graph->SetBalance(-10000));
        QCOMPARE(graph->Balance(), std::optional(-10000L));
        QVERIFY(graph->SetBalance(-600));
        QCOMPARE(graph->Balance(), std::optional(-600L));
    }

    void videoOnlyReadsAsNoAudio()
    {
        bool rendered = false;
        auto graph = playable(media(QStringLiteral("video-only.mp4")), &rendered);
        QVERIFY(rendered);
        QVERIFY(!graph->Volume());
        QVERIFY(!graph->Balance());
        QVERIFY(!graph->SetVolume(-1000));
        QVERIFY(graph->SourceWidth());
    }

    void audioOnlyPrerollsWithAWaitingVideoRenderer()
    {
        // The inserted video renderer stays unlinked and must not block.
        bool rendered = false;
        auto graph = playable(sample(QStringLiteral("audio-only.mp3")), &rendered);
        QVERIFY(rendered);
        QVERIFY(graph->Volume());
        QVERIFY(!graph->SourceWidth());
        // No picture, no window: the video area is left alone.
        QVERIFY(!graph->SetOwner(quintptr(m_videoArea->winId())));
        QVERIFY(!m_videoArea->findChild<GraphVideoWindow *>()->isVisible());
        QVERIFY(graph->Run());
        QCOMPARE(graph->GetState(2000), std::optional(GraphState::Running));
        QVERIFY(graph->SetCurrentPosition(9.5));
        QTRY_VERIFY_WITH_TIMEOUT(graph->CurrentPosition() == graph->Duration(), 5000);
    }

    void twoAudioTracksAndSubtitlesPlay()
    {
        bool rendered = false;
        auto graph = playable(sample(QStringLiteral("sample.mkv")), &rendered);
        QVERIFY(rendered);
        QVERIFY(graph->Run());
        QCOMPARE(graph->GetState(2000), std::optional(GraphState::Running));
        QVERIFY(graph->SetCurrentPosition(5.0));
        QTRY_VERIFY_WITH_TIMEOUT(*graph->CurrentPosition() > 5.2, 15000);
    }

    void endOfStreamReportsTheDuration()
    {
        auto graph = playable(media(QStringLiteral("clip.mp4")));
        QVERIFY(graph->SetCurrentPosition(4.6));
        QVERIFY(graph->Run());
        QTRY_COMPARE_WITH_TIMEOUT(graph->CurrentPosition(), graph->Duration(), 5000);
        // A seek after the end plays again.
        QVERIFY(graph->SetCurrentPosition(0.0));
        graph->GetState(2000);
        QVERIFY(*graph->CurrentPosition() < 1.0);
    }

    // Windows Media and RealMedia are among the supported files.
    void windowsAndRealMediaPlay_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("WMV") << QStringLiteral("clip.wmv");
        QTest::newRow("RealMedia") << QStringLiteral("clip.rm");
    }

    void windowsAndRealMediaPlay()
    {
        QFETCH(QString, name);
        bool rendered = false;
        auto graph = playable(media(name), &rendered);
        QVERIFY(rendered);
        const std::optional<double> duration = graph->Duration();
        QVERIFY(duration);
        QVERIFY2(qAbs(*duration - 3.0) < 0.2, qPrintable(QString::number(*duration)));
        QCOMPARE(graph->SourceWidth(), std::optional(320));
        QCOMPARE(graph->SourceHeight(), std::optional(240));
        QVERIFY(graph->Volume());
        QVERIFY(graph->Run());
        QCOMPARE(graph->GetState(2000), std::optional(GraphState::Running));
        QTRY_VERIFY_WITH_TIMEOUT(*graph->CurrentPosition() > 0.3, 15000);
    }

    // Only a regular file or an address becomes a source: opening a named
    // pipe without a writer, or a device, blocks until something writes.
    void sourceFilterOnlyForFilesAndAddresses_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("accepted");
        const QString clip = media(QStringLiteral("clip.mp4"));
        QTest::newRow("file") << clip << true;
        QTest::newRow("link to a file") << m_dir.filePath(QStringLiteral("link.mp4")) << true;
        QTest::newRow("file URL") << QUrl::fromLocalFile(clip).toString() << true;
        QTest::newRow("address") << QStringLiteral("http://127.0.0.1:9/clip.mp4") << true;
        QTest::newRow("named pipe") << m_dir.filePath(QStringLiteral("pipe.mp4")) << false;
        QTest::newRow("named pipe URL")
            << QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("pipe.mp4"))).toString() << false;
        QTest::newRow("device") << QStringLiteral("/dev/zero") << false;
        QTest::newRow("folder") << media(QStringLiteral("folder.mp4")) << false;
        QTest::newRow("missing") << media(QStringLiteral("gone.mp4")) << false;
    }

    void sourceFilterOnlyForFilesAndAddresses()
    {
        QFETCH(QString, path);
        QFETCH(bool, accepted);
        auto graph = newGraph();
        auto source = graph->AddSourceFilter(path);
        QCOMPARE(bool(source), accepted);
        QCOMPARE(graph->FilterCollection().size(), size_t(accepted ? 1 : 0));
    }

    void badInputFailsQuietly_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("missing") << media(QStringLiteral("no such file.mp4"));
        QTest::newRow("truncated") << media(QStringLiteral("truncated.mp4"));
        QTest::newRow("text") << media(QStringLiteral("text.mp4"));
        QTest::newRow("folder") << media(QStringLiteral("folder.mp4"));
        QTest::newRow("unreachable url") << QStringLiteral("http://127.0.0.1:9/none.mp4");
    }

    void badInputFailsQuietly()
    {
        QFETCH(QString, path);
        QElapsedTimer clock;
        clock.start();
        bool rendered = true;
        auto graph = playable(path, &rendered);
        QVERIFY(!rendered);
        QVERIFY(!graph->Duration());
        QVERIFY(!graph->Volume());
        graph->Run();
        graph->GetState(100);
        graph.reset();
        // Bounded by the preroll's own time-out (a file whose error the
        // decoder swallows waits it out), not hung; a loaded machine adds to it.
        QVERIFY2(clock.elapsed() < 30000, qPrintable(QString::number(clock.elapsed())));

        // The next medium plays.
        bool next = false;
        auto good = playable(media(QStringLiteral("clip.mp4")), &next);
        QVERIFY(next);
    }

    // Each way a medium fails is named, as gst-play names it: "Resource not
    // found", "Stream contains no data", "Could not determine type of
    // stream", "This file contains no playable streams", "No decoder
    // available for type video/x-h264".
    void problemsAreNamed_data()
    {
        using Kind = GraphProblem::Kind;
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("hideH264");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<bool>("fatal");
        QTest::addColumn<bool>("plays");
        QTest::newRow("plays") << media(QStringLiteral("clip.mp4")) << false << Kind::None << false
                               << true;
        QTest::newRow("missing") << media(QStringLiteral("gone.mp4")) << false << Kind::NotFound
                                 << true << false;
        QTest::newRow("folder") << media(QStringLiteral("folder.mp4")) << false << Kind::NotAFile
                                << true << false;
        QTest::newRow("no bytes") << media(QStringLiteral("empty.mp4")) << false << Kind::Empty
                                  << true << false;
        QTest::newRow("text") << media(QStringLiteral("text.mp4")) << false << Kind::UnknownType
                              << true << false;
        QTest::newRow("truncated")
            << media(QStringLiteral("truncated.mp4")) << false << Kind::Damaged << true << false;
        QTest::newRow("no video decoder, sound plays")
            << media(QStringLiteral("clip.mp4")) << true << Kind::MissingDecoder << false << true;
        QTest::newRow("no video decoder, nothing else")
            << media(QStringLiteral("video-only.mp4")) << true << Kind::MissingDecoder << true
            << false;
    }

    void problemsAreNamed()
    {
        QFETCH(QString, path);
        QFETCH(bool, hideH264);
        QFETCH(GraphProblem::Kind, kind);
        QFETCH(bool, fatal);
        QFETCH(bool, plays);
        std::optional<HiddenDecoders> hidden;
        if (hideH264) {
            hidden.emplace("video/x-h264");
            QVERIFY(hidden->count() > 0);
        }
        bool rendered = false;
        auto graph = playable(path, &rendered);
        QCOMPARE(rendered, plays);
        const GraphProblem problem = graph->Problem();
        QCOMPARE(int(problem.kind), int(kind));
        QCOMPARE(problem.fatal, fatal);
        QCOMPARE(problem.missingAudio, QStringList());
        if (hideH264) {
            QCOMPARE(problem.missingVideo.size(), 1);
            QVERIFY2(problem.missingVideo.front().contains(QLatin1String("H.264")),
                     qPrintable(problem.missingVideo.front()));
        } else {
            QCOMPARE(problem.missingVideo, QStringList());
        }
        if (plays) {
            QVERIFY(graph->Run());
            QTRY_VERIFY_WITH_TIMEOUT(graph->CurrentPosition().value_or(0) > 0.2, 5000);
            QCOMPARE(int(graph->Problem().kind), int(kind));
        }
    }

    void releasedGraphsLeaveNothingRunning_data()
    {
        QTest::addColumn<QString>("renderer");
        QTest::newRow("OpenGL") << QStringLiteral("glimagesink");
        QTest::newRow("X11") << QStringLiteral("ximagesink");
    }

    void releasedGraphsLeaveNothingRunning()
    {
        QFETCH(QString, renderer);
        const auto threads = []() { return QDir(QStringLiteral("/proc/self/task")).count(); };
        const auto playOnce = [&]() {
            auto graph = newGraph();
            auto source = graph->AddSourceFilter(media(QStringLiteral("clip.mp4")));
            registered(*graph, renderer)->Filter();
            onlyPin(source)->Render();
            graph->Run();
            graph->GetState(2000);
        };
        playOnce();
        QTest::qWait(300);
        const auto before = threads();
        for (int i = 0; i < 4; ++i)
            playOnce();
        // The graphs' threads end a little after the graphs; a busy machine
        // takes its time.
        QVERIFY2(QTest::qWaitFor([&] { return threads() <= before + 1; }, 10000),
                 qPrintable(QStringLiteral("%1 threads, then %2").arg(before).arg(threads())));
    }

    // A GL display of its own for every graph costs the driver's memory for
    // each medium opened: the OpenGL renderers of one graph after another
    // draw through one display.
    void openGlGraphsShareOneDisplay()
    {
        OpenGlSinkWatch watch;
        std::vector<GstGLDisplay *> displays;
        for (int i = 0; i < 3; ++i) {
            auto graph = newGraph();
            auto source = graph->AddSourceFilter(media(QStringLiteral("clip.mp4")));
            QVERIFY(source);
            registered(*graph, QStringLiteral("glimagesink"))->Filter();
            QVERIFY(onlyPin(source)->Render());
            QVERIFY(graph->Run());
            QTRY_VERIFY_WITH_TIMEOUT(graph->CurrentPosition().value_or(0) > 0.1, 5000);
            QCOMPARE(watch.sinks.size(), size_t(i + 1));
            // Held past the graph, so a new display cannot reuse the address.
            displays.push_back(glDisplayOf(watch.sinks.back()));
            QVERIFY(displays.back());
        }
        const bool shared = displays[1] == displays[0] && displays[2] == displays[0];
        for (GstGLDisplay *display : displays)
            gst_object_unref(display);
        QVERIFY(shared);
    }

    void rendererWindowIsOwnedByTheVideoArea()
    {
        auto graph = playable(media(QStringLiteral("clip.mp4")));
        auto *window = dynamic_cast<QWidget *>(m_videoArea->findChild<GraphVideoWindow *>());
        QVERIFY(window);
        QVERIFY(!window->isVisible());
        QVERIFY(graph->SetWindowStyle(0x06000000));
        QVERIFY(graph->SetLeft(0));
        QVERIFY(graph->SetTop(0));
        QVERIFY(graph->SetWidth(200));
        QVERIFY(graph->SetHeight(150));
        QVERIFY(graph->SetOwner(quintptr(m_videoArea->winId())));
        QVERIFY(graph->SetMessageDrain(quintptr(m_videoArea->winId())));
        QVERIFY(window->isVisible());
        QCOMPARE(window->geometry(), QRect(0, 0, 200, 150));
        QVERIFY(!graph->SetOwner(0));
        graph.reset();
        QVERIFY(!m_videoArea->findChild<GraphVideoWindow *>());
    }
};

QTEST_MAIN(GstGraphTest)
#include "tst_gstgraph.moc"
