#pragma once

#include "common/commandlinetext.h"
#include "graph/filgraph.h"
#include "graph/filterbrowser.h"

#include <QObject>
#include <QStringList>
#include <QThreadPool>
#include <QTimer>

#include <memory>

// The window's state fields: texts, as the player has always kept them.
struct PlayerFields
{
    QString fileOrUrlField;
    QString openingFlag = QStringLiteral("0");
    QString savedPositionField;
    QString savedStateField;
    QString parameterInfoField;
    QString seekTargetField;
    QString txtDuration;
    QString txtElapsed;
    QString durationTextField;
    QString positionTextField;
};

// The player's controls as values; the window shows them and feeds user
// changes back through the core.
struct PlayerControls
{
    int volumeBar = 0; // hundredths of a dB
    int balanceBar = 0;
    int rendererOption = 2;
    bool avsAudio = true;
    int positionBarMaximum = 0;
    int positionBarValue = 0;
    bool positionBarEnabled = false;
    // Volume slider, balance buttons and the audio menu.
    bool audioEnabled = true;
    bool videoCoverVisible = true;
};

// The video area the graph's window goes into, in pixels.
struct VideoArea
{
    quintptr handle = 0;
    int width = 0;
    int height = 0;
};

// OblenPlayer without its widgets: the graph of the open medium, the state
// fields, the building, rebuilding and closing procedures, the transport and
// the timers that keep the position up to date.
class PlayerCore : public QObject
{
    Q_OBJECT
public:
    static inline const QString programTitle = QStringLiteral("Oblen Player v1.0.3");
    static inline const QString titleSuffix = QStringLiteral(" - Oblen Player v1.0.3");
    // The window style a renderer's window gets: clip children, clip siblings.
    static constexpr long videoWindowStyle = 0x06000000;
    static constexpr int rendererCount = 4;
    // The renderer that always works here, used before quitting with the
    // optional one selected.
    static constexpr int fallbackRenderer = 1;
    static constexpr int optionalRenderer = 3;
    // Timers that run "as often as possible" tick at the window-timer rate.
    static constexpr int timerInterval = 15;

    static QString rendererCaption(int index);
    static QString rendererFilterName(int index);
    // The window title for a path: its file name and the program title.
    static QString titleFor(const QString &path);

    explicit PlayerCore(GraphFactory factory, QObject *parent = nullptr);
    ~PlayerCore() override;
    void setGraphFactory(GraphFactory factory) { m_factory = std::move(factory); }

    PlayerFields &fields() { return m_fields; }
    const PlayerControls &controls() const { return m_controls; }
    FilgraphManager *graph() const { return m_graph.get(); }
    FilterBrowser &browser() { return m_browser; }
    bool isOpening() const { return m_fields.openingFlag == QLatin1String("1"); }
    // The built graph is being taken into use (the renderer message may be
    // up): opening and closing wait until it is done.
    bool isApplying() const { return m_applying; }
    bool isLoaded() const { return !m_fields.durationTextField.isEmpty(); }
    QString title() const { return m_title; }

    // The window keeps this current as the video area moves and resizes.
    void setVideoArea(const VideoArea &area) { m_videoArea = area; }
    const VideoArea &videoArea() const { return m_videoArea; }

    QTimer positionBarTimer;
    QTimer positionTextTimer;
    QTimer durationTextTimer;
    QTimer statusTimer;
    QTimer layoutTimer;

    // Opening: the path becomes the medium, it is loaded, the window asked
    // for original size, and the graph runs. The graph is built and
    // prerolled away from the window's thread; the rest follows once it is
    // ready (openingFinished). An open or a close meanwhile wins: the
    // pending graph is dropped.
    void openMedia(const QString &path);
    // The medium of the program's command line, if it names one.
    void openFromCommandLine(const ProgramCommandLine &commandLine);

    void loadMedia();
    // The graph is let go of: it is stopped and torn down on a worker
    // thread, and destroyed back on this one.
    void unloadMedia();
    void closeMedia();
    // Rebuilds the graph for the same medium keeping position and state;
    // rendererIndex < 0 means the selected renderer.
    void rebuildKeepingState(int rendererIndex = -1) { rebuild(rendererIndex, false); }
    void rebuildWithVideoRenderer() { rebuildKeepingState(fallbackRenderer); }
    // Before quitting: an open under way is dropped, the optional renderer
    // is swapped for the fallback (built while the caller waits), then the
    // graph goes, here and now.
    void prepareQuit();

    void selectRenderer(int index);
    void setAvsAudio(bool on);

    void play();
    void pause();
    void stop();
    void jump(double deltaSeconds);
    void changeRate(double delta);
    void normalSpeed();
    void setVolume(int volume);
    void changeVolume(int delta);
    void wheelVolume(int notches);
    void setBalance(int balance);
    // The seek slider: pressed, moved (pixels; holding the left button),
    // released.
    void seekSliderPressed();
    void seekSliderMoved(int xPixels, int widthPixels, bool leftButtonHeld, int sliderValue);
    void seekSliderReleased();

Q_SIGNALS:
    void titleChanged(const QString &title);
    // Shown with an OK button and waited for: building goes on afterwards.
    void rendererMessage(const QString &text);
    void originalSizeRequested();
    void focusVideoRequested();
    // Any control value or state field changed.
    void controlsChanged();
    void mediaClosed();
    // A medium has been built (or failed to be); the opening flag is "0".
    void openingFinished();

private:
    struct Build;
    // What follows once a graph is taken into use.
    enum class AfterBuild
    {
        Nothing,
        Run,
        RestoreState
    };
    void rebuild(int rendererIndex, bool wait);
    // Building the graph: the window's part now, the graph's on a worker
    // thread (or here, when `wait`), the rest in finishBuild.
    void loadMediaWith(const QString &rendererName, AfterBuild after = AfterBuild::Nothing,
                       bool wait = false);
    static void runBuild(Build &build);
    void finishBuild(const std::shared_ptr<Build> &build);
    // Drops the build under way, if any: it is told to stop waiting, and its
    // graph is retired once its thread is done with it.
    void dropPendingBuild();
    void retireBuild(const std::shared_ptr<Build> &build);
    // Takes the graph out of use on this thread (its window) and hands it
    // back to be stopped and torn down.
    std::shared_ptr<FilgraphManager> takeGraph();
    static std::shared_ptr<FilgraphManager> shutDown(std::shared_ptr<FilgraphManager> graph);
    void retire(std::shared_ptr<FilgraphManager> graph);
    // Destroys the graph on this thread, which owns its window. A graph is
    // shared only on its way there.
    void destroyLater(std::shared_ptr<FilgraphManager> graph);
    // Empties the time fields and the seek range, for a medium without a duration.
    void forgetTimes();
    // The medium's length: its text, the seek range, the duration text soon.
    void takeDuration(double seconds);
    void setTitle(const QString &title);
    void tickPositionBar();
    void tickPositionText();
    void tickDurationText();

    GraphFactory m_factory;
    std::unique_ptr<FilgraphManager> m_graph;
    FilterBrowser m_browser;
    PlayerFields m_fields;
    PlayerControls m_controls;
    VideoArea m_videoArea;
    QString m_title = programTitle;
    // Builds and tear-downs. Not the global pool: a build waiting on a
    // server must not hold up anyone else's work.
    QThreadPool m_workers;
    std::shared_ptr<Build> m_pending;
    // Counts the builds started: a result that comes back after a newer
    // open or a close is dropped.
    quint64 m_generation = 0;
    bool m_applying = false;
    // Set when a graph is taken into use: once it plays, what the open left
    // free is given back (see tickPositionBar).
    bool m_releaseAfterStart = false;
};
