#include "playercore.h"

#include "core/timetext.h"
#include "core/transport.h"
#include "graph/graphbuilder.h"

#include "common/filename.h"
#include "common/freedmemory.h"

#include <QCoreApplication>

#include <array>
#include <cmath>
#include <mutex>

namespace {

struct Renderer
{
    const char *caption;
    const char *filterName;
};

// The four renderer choices: their order and roles stay as the settings file
// knows them (overlay, plain, mixing, optional), with the sinks of X11.
constexpr std::array<Renderer, PlayerCore::rendererCount> renderers{{
    {"X Video (xvimagesink)", "xvimagesink"},
    {"X11 (ximagesink)", "ximagesink"},
    {"OpenGL (glimagesink)", "glimagesink"},
    {"VA-API (vaapisink)", "vaapisink"},
}};

// More than the two builds a person can start: a build waiting on an
// address holds its thread until it is dropped.
constexpr int workerThreads = 8;

} // namespace

// One graph being built. The graph and the lists are the worker's until it
// hands the build back to the window's thread; the window's thread alone
// then takes them into use, or retires a dropped one.
struct PlayerCore::Build
{
    quint64 generation = 0;
    AfterBuild after = AfterBuild::Nothing;
    GraphBuildRequest request;
    std::unique_ptr<FilgraphManager> graph;
    // The build's own lists, with nothing connected: the player's lists
    // take them over when the graph is ready.
    FilterBrowser browser;
    // Found while building, shown once the graph is ready.
    std::optional<QString> rendererMessage;
    std::optional<double> duration;
    // Between aborting a dropped build and taking its graph away.
    std::mutex graphMutex;
};

QString PlayerCore::rendererCaption(int index)
{
    if (index < 0 || index >= rendererCount)
        return QString();
    return QString::fromLatin1(renderers[size_t(index)].caption);
}

QString PlayerCore::rendererFilterName(int index)
{
    if (index < 0 || index >= rendererCount)
        return QString();
    return QString::fromLatin1(renderers[size_t(index)].filterName);
}

QString PlayerCore::titleFor(const QString &path)
{
    return fileNameForDisplay(path.section(QLatin1Char('/'), -1)) + titleSuffix;
}

PlayerCore::PlayerCore(GraphFactory factory, QObject *parent)
    : QObject(parent), m_factory(std::move(factory))
{
    for (QTimer *timer :
         {&positionBarTimer, &positionTextTimer, &durationTextTimer, &statusTimer, &layoutTimer})
        timer->setInterval(timerInterval);
    connect(&positionBarTimer, &QTimer::timeout, this, &PlayerCore::tickPositionBar);
    connect(&positionTextTimer, &QTimer::timeout, this, &PlayerCore::tickPositionText);
    connect(&durationTextTimer, &QTimer::timeout, this, &PlayerCore::tickDurationText);
    positionBarTimer.start();
    positionTextTimer.start();
    layoutTimer.start();
    m_workers.setMaxThreadCount(workerThreads);
}

PlayerCore::~PlayerCore()
{
    dropPendingBuild();
    unloadMedia();
    // No thread outlives the player; the graphs they hand back are
    // destroyed here, before the window they draw into goes.
    m_workers.waitForDone();
    QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
}

void PlayerCore::setTitle(const QString &title)
{
    m_title = title;
    Q_EMIT titleChanged(title);
}

void PlayerCore::openMedia(const QString &path)
{
    // From inside the renderer message the graph being taken into use
    // stays: the step the message interrupts goes on after it.
    if (path.isEmpty() || m_applying)
        return;
    m_fields.fileOrUrlField = path;
    setTitle(titleFor(path));
    // The old medium's times would stand under the new title until the
    // new graph is ready.
    forgetTimes();
    loadMediaWith(rendererFilterName(m_controls.rendererOption), AfterBuild::Run);
}

void PlayerCore::openFromCommandLine(const ProgramCommandLine &commandLine)
{
    if (commandLine.text.isEmpty())
        return;
    m_fields.parameterInfoField = commandLine.text;
    openMedia(commandLine.openPath);
}

void PlayerCore::loadMedia()
{
    loadMediaWith(rendererFilterName(m_controls.rendererOption));
}

void PlayerCore::loadMediaWith(const QString &rendererName, AfterBuild after, bool wait)
{
    if (m_applying)
        return;
    dropPendingBuild();
    m_fields.openingFlag = QStringLiteral("1");
    std::shared_ptr<FilgraphManager> previous = takeGraph();
    m_controls.videoCoverVisible = false;
    m_controls.positionBarEnabled = true;
    statusTimer.start();
    Q_EMIT controlsChanged();

    auto build = std::make_shared<Build>();
    build->generation = ++m_generation;
    build->after = after;
    build->request = {m_fields.fileOrUrlField, rendererName, m_controls.avsAudio};
    // Made here: the graph's window belongs to this thread.
    build->graph = m_factory ? m_factory() : nullptr;
    m_pending = build;
    if (!build->graph || wait) {
        if (previous)
            shutDown(std::move(previous));
        if (build->graph)
            runBuild(*build);
        finishBuild(build);
        return;
    }
    // The previous graph goes down first: it may hold what the new one
    // needs (the sound device, the display's GL context).
    m_workers.start([this, build, previous = std::move(previous)]() mutable {
        if (previous)
            destroyLater(shutDown(std::move(previous)));
        runBuild(*build);
        QMetaObject::invokeMethod(
            this, [this, build]() { finishBuild(build); }, Qt::QueuedConnection);
    });
}

void PlayerCore::runBuild(Build &build)
{
    GraphBuilder::build(*build.graph, build.browser, build.request,
                        [&build](const QString &text) { build.rendererMessage = text; });
    build.duration = build.graph->Duration();
}

void PlayerCore::finishBuild(const std::shared_ptr<Build> &build)
{
    if (build->generation != m_generation || build != m_pending) {
        retireBuild(build);
        return;
    }
    m_applying = true;
    // Waited for before the graph is taken into use, as when it came up
    // in the middle of building.
    if (build->rendererMessage)
        Q_EMIT rendererMessage(*build->rendererMessage);
    m_pending.reset();
    m_graph = std::move(build->graph);
    m_browser.adopt(build->browser);
    const std::optional<double> duration = m_graph ? build->duration : std::nullopt;
    if (m_graph) {
        FilgraphManager &graph = *m_graph;
        graph.SetVolume(m_controls.volumeBar);
        graph.SetBalance(m_controls.balanceBar);

        graph.SetWindowStyle(videoWindowStyle);
        graph.SetTop(0);
        graph.SetLeft(0);
        graph.SetWidth(m_videoArea.width);
        graph.SetHeight(m_videoArea.height);
        graph.SetOwner(m_videoArea.handle);
        graph.SetMessageDrain(m_videoArea.handle);

        graph.SetRate(1.0);

        if (duration)
            takeDuration(*duration);

        // A graph without an audio renderer answers neither: no audio.
        const bool volumeRead = graph.Volume().has_value();
        const bool balanceRead = graph.Balance().has_value();
        m_controls.audioEnabled = volumeRead || balanceRead;
    }
    if (!duration)
        forgetTimes();
    m_fields.openingFlag = QStringLiteral("0");
    m_releaseAfterStart = m_graph != nullptr;
    m_applying = false;
    Q_EMIT controlsChanged();
    Q_EMIT openingFinished();

    if (build->after == AfterBuild::Run) {
        Q_EMIT originalSizeRequested();
        if (m_graph)
            m_graph->Run();
    } else if (build->after == AfterBuild::RestoreState && m_graph) {
        m_graph->SetCurrentPosition(Transport::textValue(m_fields.savedPositionField));
        statusTimer.start();
        if (m_fields.savedStateField == QLatin1String("0"))
            m_graph->Stop();
        else if (m_fields.savedStateField == QLatin1String("1"))
            m_graph->Pause();
        else if (m_fields.savedStateField == QLatin1String("2"))
            m_graph->Run();
    }
}

void PlayerCore::dropPendingBuild()
{
    ++m_generation;
    const std::shared_ptr<Build> build = std::exchange(m_pending, nullptr);
    if (!build)
        return;
    // Aborting may wait for the graph's own locks: not on this thread.
    m_workers.start([build]() {
        std::lock_guard<std::mutex> lock(build->graphMutex);
        if (build->graph)
            build->graph->Abort();
    });
}

void PlayerCore::retireBuild(const std::shared_ptr<Build> &build)
{
    m_workers.start([this, build]() {
        std::unique_ptr<FilgraphManager> graph;
        {
            std::lock_guard<std::mutex> lock(build->graphMutex);
            graph = std::move(build->graph);
        }
        if (!graph)
            return;
        graph->ShutDown();
        destroyLater(std::shared_ptr<FilgraphManager>(std::move(graph)));
    });
}

std::shared_ptr<FilgraphManager> PlayerCore::takeGraph()
{
    if (m_graph) {
        m_graph->SetOwner(m_videoArea.handle);
        // It lingers until its pipeline is down.
        m_graph->SetVisible(false);
    }
    m_browser.clear();
    return std::shared_ptr<FilgraphManager>(std::move(m_graph));
}

std::shared_ptr<FilgraphManager> PlayerCore::shutDown(std::shared_ptr<FilgraphManager> graph)
{
    graph->Stop();
    graph->ShutDown();
    return graph;
}

void PlayerCore::retire(std::shared_ptr<FilgraphManager> graph)
{
    // Stopping a pipeline and bringing it down can take a while (an OpenGL
    // sink waits for its thread, a source for a server): not on the
    // window's thread.
    m_workers.start([this, graph]() mutable { destroyLater(shutDown(std::move(graph))); });
}

void PlayerCore::destroyLater(std::shared_ptr<FilgraphManager> graph)
{
    // Should the player go first, its destructor drops the call and with it
    // the graph, on its own thread.
    QMetaObject::invokeMethod(
        this, [graph = std::move(graph)]() mutable { graph.reset(); }, Qt::QueuedConnection);
}

void PlayerCore::forgetTimes()
{
    // Nothing refreshes them while the graph has no duration and no
    // position: left alone they would show the previous medium's times and
    // seek range under the new medium's title.
    durationTextTimer.stop();
    m_fields.txtDuration.clear();
    m_fields.durationTextField.clear();
    m_fields.txtElapsed.clear();
    m_fields.positionTextField.clear();
    m_controls.positionBarMaximum = 0;
    m_controls.positionBarValue = 0;
}

void PlayerCore::unloadMedia()
{
    if (std::shared_ptr<FilgraphManager> graph = takeGraph())
        retire(std::move(graph));
}

void PlayerCore::closeMedia()
{
    if (m_applying)
        return;
    dropPendingBuild();
    m_fields.openingFlag = QStringLiteral("0");
    unloadMedia();
    m_controls.videoCoverVisible = true;
    m_controls.audioEnabled = true;
    m_controls.positionBarValue = 0;
    m_controls.positionBarEnabled = false;
    statusTimer.stop();
    durationTextTimer.stop();
    m_fields.savedPositionField.clear();
    m_fields.txtDuration.clear();
    m_fields.txtElapsed.clear();
    m_fields.durationTextField.clear();
    m_fields.positionTextField.clear();
    m_fields.savedStateField.clear();
    setTitle(programTitle);
    Q_EMIT mediaClosed();
    Q_EMIT controlsChanged();
}

void PlayerCore::rebuild(int rendererIndex, bool wait)
{
    if (!isLoaded() || isOpening())
        return;
    if (m_graph) {
        // Not waited for: a graph still changing state (the preroll after a
        // seek or a rate change) answers with the state it is going to,
        // which is the one to restore.
        if (const std::optional<GraphState> state = m_graph->GetState(0))
            m_fields.savedStateField = QString::number(int(*state));
    }
    statusTimer.stop();
    m_fields.savedPositionField = m_fields.txtElapsed;
    loadMediaWith(rendererFilterName(rendererIndex < 0 ? m_controls.rendererOption : rendererIndex),
                  AfterBuild::RestoreState, wait);
}

void PlayerCore::prepareQuit()
{
    if (m_applying)
        return;
    dropPendingBuild();
    m_fields.openingFlag = QStringLiteral("0");
    if (m_controls.rendererOption == optionalRenderer)
        rebuild(fallbackRenderer, true);
    // Here and now: the window the graph draws into goes next.
    if (std::shared_ptr<FilgraphManager> graph = takeGraph())
        shutDown(std::move(graph));
}

void PlayerCore::selectRenderer(int index)
{
    if (index < 0 || index >= rendererCount || index == m_controls.rendererOption)
        return;
    m_controls.rendererOption = index;
    Q_EMIT controlsChanged();
    if (isLoaded())
        rebuildKeepingState();
}

void PlayerCore::setAvsAudio(bool on)
{
    m_controls.avsAudio = on;
    rebuildKeepingState();
}

void PlayerCore::play()
{
    if (m_graph) {
        const std::optional<double> position = m_graph->CurrentPosition();
        const std::optional<double> duration = m_graph->Duration();
        if (position && duration && Transport::playRestartsFromStart(*position, *duration))
            m_graph->SetCurrentPosition(0);
        m_graph->Run();
    }
    Q_EMIT focusVideoRequested();
}

void PlayerCore::pause()
{
    if (m_graph)
        m_graph->Pause();
    Q_EMIT focusVideoRequested();
}

void PlayerCore::stop()
{
    if (m_graph) {
        m_graph->Stop();
        m_graph->SetCurrentPosition(0);
    }
    Q_EMIT focusVideoRequested();
}

void PlayerCore::jump(double deltaSeconds)
{
    if (!m_graph)
        return;
    const std::optional<double> position = m_graph->CurrentPosition();
    const std::optional<double> duration = m_graph->Duration();
    if (position && duration)
        m_graph->SetCurrentPosition(Transport::jumpTarget(*position, deltaSeconds, *duration));
}

void PlayerCore::changeRate(double delta)
{
    if (!m_graph)
        return;
    // No bound of its own: a rate the graph refuses is simply not taken.
    // Kept to tenths, so ten steps down from 1.0 reach 0 (refused) rather
    // than a rate a hair above it, and the rate reads as 0.7, not 0.7000000000000001.
    if (const std::optional<double> rate = m_graph->Rate())
        m_graph->SetRate(std::round((*rate + delta) * 10.0) / 10.0);
}

void PlayerCore::normalSpeed()
{
    if (m_graph)
        m_graph->SetRate(1.0);
}

void PlayerCore::setVolume(int volume)
{
    m_controls.volumeBar =
        std::clamp(volume, int(Transport::volumeMinimum), int(Transport::volumeMaximum));
    if (m_graph)
        m_graph->SetVolume(m_controls.volumeBar);
    Q_EMIT controlsChanged();
}

void PlayerCore::changeVolume(int delta)
{
    setVolume(Transport::steppedVolume(m_controls.volumeBar, delta));
}

void PlayerCore::wheelVolume(int notches)
{
    setVolume(Transport::wheelVolume(m_controls.volumeBar, notches));
}

void PlayerCore::setBalance(int balance)
{
    m_controls.balanceBar =
        std::clamp(balance, int(Transport::balanceMinimum), int(Transport::balanceMaximum));
    if (m_graph)
        m_graph->SetBalance(m_controls.balanceBar);
    Q_EMIT controlsChanged();
}

void PlayerCore::seekSliderPressed()
{
    positionBarTimer.stop();
}

void PlayerCore::seekSliderMoved(int xPixels, int widthPixels, bool leftButtonHeld, int sliderValue)
{
    const double duration = Transport::textValue(m_fields.txtDuration);
    if (const std::optional<QString> target = Transport::seekTarget(xPixels, widthPixels, duration))
        m_fields.seekTargetField = *target;
    if (leftButtonHeld)
        m_fields.txtElapsed = QString::number(sliderValue);
}

void PlayerCore::seekSliderReleased()
{
    if (m_graph && !m_fields.seekTargetField.isEmpty())
        m_graph->SetCurrentPosition(Transport::textValue(m_fields.seekTargetField));
    positionBarTimer.start();
}

void PlayerCore::takeDuration(double seconds)
{
    m_fields.txtDuration = Transport::doubleText(seconds);
    durationTextTimer.start();
    m_controls.positionBarMaximum = int(Transport::wholeSeconds(seconds));
}

void PlayerCore::tickPositionBar()
{
    if (!m_graph)
        return;
    const std::optional<double> position = m_graph->CurrentPosition();
    if (!position)
        return;
    const int value = int(Transport::wholeSeconds(*position));
    m_fields.txtElapsed = Transport::doubleText(*position);
    if (value == m_controls.positionBarValue)
        return;
    m_controls.positionBarValue = value;
    // The open built the graph on a worker, read the medium's headers and
    // took down the graph before it; by the bar's first step (half a second
    // of playing) the decoders and sinks have set up their buffers. What all
    // that freed stays in the threads' malloc arenas (a few megabytes)
    // unless given back.
    if (m_releaseAfterStart && value >= 1) {
        m_releaseAfterStart = false;
        releaseFreedMemory();
    }
    // Some media (MPEG transport streams) can tell their length only once
    // they play: until then it is asked for once a second of playing, not
    // on every tick (a live stream never tells it).
    if (m_fields.txtDuration.isEmpty() && !isOpening()) {
        if (const std::optional<double> duration = m_graph->Duration())
            takeDuration(*duration);
    }
    Q_EMIT controlsChanged();
}

void PlayerCore::tickPositionText()
{
    m_fields.positionTextField = positionText(m_fields.txtElapsed);
}

void PlayerCore::tickDurationText()
{
    m_fields.durationTextField = durationText(m_fields.txtDuration);
    durationTextTimer.stop();
}
