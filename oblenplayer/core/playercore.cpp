#include "playercore.h"

#include "core/timetext.h"
#include "core/transport.h"
#include "graph/graphbuilder.h"

#include "common/filename.h"

#include <array>
#include <cmath>

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

} // namespace

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
}

PlayerCore::~PlayerCore()
{
    unloadMedia();
}

void PlayerCore::setTitle(const QString &title)
{
    m_title = title;
    Q_EMIT titleChanged(title);
}

void PlayerCore::openMedia(const QString &path)
{
    // A second open while one is being built (from inside the renderer
    // message) would pull the graph from under the builder.
    if (path.isEmpty() || isOpening())
        return;
    m_fields.fileOrUrlField = path;
    setTitle(titleFor(path));
    loadMedia();
    Q_EMIT originalSizeRequested();
    if (m_graph)
        m_graph->Run();
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

void PlayerCore::loadMediaWith(const QString &rendererName)
{
    if (isOpening())
        return;
    m_fields.openingFlag = QStringLiteral("1");
    unloadMedia();
    m_controls.videoCoverVisible = false;
    m_controls.positionBarEnabled = true;
    statusTimer.start();
    Q_EMIT controlsChanged();

    m_graph = m_factory ? m_factory() : nullptr;
    std::optional<double> duration;
    if (m_graph) {
        FilgraphManager &graph = *m_graph;
        GraphBuilder::build(graph, m_browser,
                            {m_fields.fileOrUrlField, rendererName, m_controls.avsAudio},
                            [this](const QString &text) { Q_EMIT rendererMessage(text); });

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

        duration = graph.Duration();
        if (duration) {
            m_fields.txtDuration = Transport::doubleText(*duration);
            durationTextTimer.start();
            m_controls.positionBarMaximum = int(Transport::wholeSeconds(*duration));
        }

        // A graph without an audio renderer answers neither: no audio.
        const bool volumeRead = graph.Volume().has_value();
        const bool balanceRead = graph.Balance().has_value();
        m_controls.audioEnabled = volumeRead || balanceRead;
    }
    if (!duration)
        forgetTimes();
    m_fields.openingFlag = QStringLiteral("0");
    Q_EMIT controlsChanged();
    Q_EMIT openingFinished();
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
    if (m_graph) {
        m_graph->Stop();
        m_graph->SetOwner(m_videoArea.handle);
    }
    m_browser.clear();
    m_graph.reset();
}

void PlayerCore::closeMedia()
{
    if (isOpening())
        return;
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

void PlayerCore::rebuildKeepingState(int rendererIndex)
{
    if (!isLoaded() || isOpening())
        return;
    if (m_graph) {
        // A fixed wait, not the clip's duration read as milliseconds: 20 ms
        // for a 20 s clip is shorter than the preroll after a seek or a rate
        // change, and two hours of film would wait 7 s on a graph that does
        // not settle.
        if (const std::optional<GraphState> state = m_graph->GetState(stateWaitMs))
            m_fields.savedStateField = QString::number(int(*state));
    }
    statusTimer.stop();
    m_fields.savedPositionField = m_fields.txtElapsed;
    if (rendererIndex < 0)
        loadMedia();
    else
        loadMediaWith(rendererFilterName(rendererIndex));
    if (!m_graph)
        return;
    m_graph->SetCurrentPosition(Transport::textValue(m_fields.savedPositionField));
    statusTimer.start();
    if (m_fields.savedStateField == QLatin1String("0"))
        m_graph->Stop();
    else if (m_fields.savedStateField == QLatin1String("1"))
        m_graph->Pause();
    else if (m_fields.savedStateField == QLatin1String("2"))
        m_graph->Run();
}

void PlayerCore::prepareQuit()
{
    if (m_controls.rendererOption == optionalRenderer)
        rebuildWithVideoRenderer();
    unloadMedia();
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

void PlayerCore::tickPositionBar()
{
    if (!m_graph)
        return;
    const std::optional<double> position = m_graph->CurrentPosition();
    if (!position)
        return;
    const int value = int(Transport::wholeSeconds(*position));
    m_fields.txtElapsed = Transport::doubleText(*position);
    if (value != m_controls.positionBarValue) {
        m_controls.positionBarValue = value;
        Q_EMIT controlsChanged();
    }
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
