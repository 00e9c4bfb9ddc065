#pragma once

#include "graph/filgraph.h"

#include <QString>

#include <gst/gst.h>

#include <atomic>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace graphlimits {
constexpr long silence = -10000;
constexpr long fullBalance = 10000;
// The network source gives up on a silent server after this many seconds.
constexpr guint networkTimeoutSeconds = 5;
} // namespace graphlimits

// One pipeline and what the graph layer knows about it: the source, the
// renderers waiting to be linked, the audio chain's volume and balance, the
// video sink and the state the player sees. Shared by the graph and the
// filter and pin objects it hands out, which may outlive it.
class GstGraphCore : public std::enable_shared_from_this<GstGraphCore>
{
public:
    ~GstGraphCore();
    // Brings the pipeline down and lets go of it; the graph is empty afterwards.
    void tearDown();
    // From any thread: a preroll under way gives up at once and none starts
    // again; the pipeline goes down to NULL.
    void abort();
    static GstBusSyncReply onBusMessage(GstBus *, GstMessage *message, gpointer data);
    void handleMessage(GstMessage *message);
    // Hands an OpenGL sink the program's one GL display.
    static void shareGlDisplay(GstMessage *message);
    void giveWindow(GstElement *sink);
    void expose();
    // One expose, from the event loop, for any number of window changes
    // made meanwhile: the OpenGL sink redraws the picture for each, and
    // waits for it, and placing the window takes six or more in a row.
    // Right away where no event loop runs.
    void exposeLater();
    // Called on the event loop's thread once the video renderer has its
    // first picture (the preroll's): the graph shows its window then,
    // rather than after the whole graph has prerolled and been placed.
    std::function<void()> onFirstPicture;
    void firstPictureArrived();

    // Inserts a new element made by a factory. A renderer is first tried,
    // given the window and the GL display it would ask for, on a thread of
    // its own (an OpenGL sink sets up its driver and context: 50-150 ms)
    // while the source's streams are being found; it joins the pipeline
    // once it works and waits there unlinked: locked, and not counted as a
    // sink, so that it neither blocks the preroll nor the end of the stream.
    GstElement *insert(const QString &factory);
    // Waits for the try of a renderer insert made: one that works joins the
    // graph, waiting to be linked; one that cannot work here is let go of.
    // True for any other element.
    bool settleRenderer(GstElement *element);
    // The same, leaving one that cannot work to the caller.
    bool rendererWorks(GstElement *element);

    // Takes the first waiting renderer of the kind that works; the caller
    // links it.
    GstElement *takeWaitingRenderer(bool video);
    static void onPadAdded(GstElement *, GstPad *pad, gpointer data);

    // Builds the chain behind an output pad: raw video to the video
    // renderer, raw audio through volume and balance to the audio renderer,
    // anything still encoded into a decoder bin whose pads get the same rule.
    bool renderDownstream(GstPad *pad);
    static void applyVolume(GstElement *element, long hundredthsDb);

    // Balance attenuates the other channel: at b, that side is at
    // 10^(-|b|/2000), so 10000 leaves it at -100 dB.
    static gfloat panoramaFor(long balance);
    static void applyBalance(GstElement *element, long balance);

    // Decoders and chains exist only once the graph has prerolled, so Render
    // waits for it before anyone asks for filters, pins or positions.
    bool preroll(int chainsBefore);
    bool setState(GstState state);
    bool seek(double rateValue, double seconds);
    std::optional<double> duration();
    std::optional<int> videoDimension(const char *field);

    // Collects what the bus says went wrong: the first error and every
    // decoder found missing.
    void noteProblem(GstMessage *message);
    // The graph's problem as the player is told it.
    GraphProblem problem();

    GstElement *pipeline = nullptr;
    GstElement *source = nullptr;
    QString sourceName;
    quintptr windowHandle = 0;

    std::mutex mutex; // guards everything below it: streaming threads add chains
    std::vector<GstElement *> waitingRenderers;
    // The tries of the renderers inserted, by element, until the graph goes.
    std::map<GstElement *, std::shared_future<bool>> rendererTries;
    std::vector<GstElement *> volumes;
    std::vector<GstElement *> panoramas;
    GstPad *videoInput = nullptr;
    // Set while the one video and the one audio chain are being built, so
    // that two streams appearing at once do not both take them.
    bool videoClaimed = false;
    bool audioClaimed = false;
    GstElement *overlay = nullptr;
    long volume = 0;
    long balance = 0;

    std::atomic<bool> exposePending{false};
    // Set once the pipeline is being brought down: a retired graph shows no window.
    std::atomic<bool> tornDown{false};
    std::atomic<bool> stopped{true};
    std::atomic<bool> endOfStream{false};
    std::atomic<bool> failed{false};
    // Renderer chains built so far; a Render that adds none has failed.
    std::atomic<int> chains{0};
    // The preroll gave up waiting.
    std::atomic<bool> timedOut{false};
    // Set by abort; read and set under stateMutex together with the
    // preroll's state change, so that no preroll starts after an abort.
    bool aborted = false;
    std::mutex stateMutex;
    // Found before the source was made: a missing file, a folder, a file of
    // no bytes. Set on the window's thread before any streaming starts.
    GraphProblem::Kind sourceProblem = GraphProblem::Kind::None;
    bool localFile = false;
    // Under the mutex: written from streaming threads.
    std::optional<GraphProblem> firstError;
    QStringList missingVideo;
    QStringList missingAudio;
    double rate = 1.0;
    // The last position known: right after a flushing seek the pipeline
    // cannot answer a position query until it has prerolled again.
    std::optional<double> lastPosition;
};
