#pragma once

#include "graph/filgraph.h"
#include "graph/renderwindow.h"

#include <QString>

#include <memory>
#include <thread>

class GstGraphCore;

// GStreamer's start (reading the plugin registry) on a thread of its own,
// begun first thing, while Qt builds the window. A graph made meanwhile
// waits for it as it would anyway. The thread is joined when this goes.
//
// When the medium to open at start is of a kind whose streams usually play
// through libav (FFmpeg's codecs and all they link, some 60 ms to load
// here), the thread goes on to load it: the first build would otherwise load
// it only once it has found the medium's streams. Loading a library holds
// up any thread that loads one or starts meanwhile, so the window comes up
// some 30 ms later, but the first picture about 15 ms sooner
// (bench/oblenplayer-first-picture.sh); started any later, the load
// overlaps nothing. Other kinds are left alone: libav's pages would add
// some 30 MB to a program playing FLAC.
class GraphStartUp
{
public:
    explicit GraphStartUp(const QString &mediumToOpen);
    ~GraphStartUp();
    GraphStartUp(const GraphStartUp &) = delete;
    GraphStartUp &operator=(const GraphStartUp &) = delete;

    // By the name's extension: MP4, Matroska, AVI, MPEG, Windows Media,
    // RealMedia, AAC and MP3, whose usual codecs (H.264, H.265, MPEG-2 and
    // 4, AAC, MP3, WMV, WMA) libav decodes at the highest rank; not Ogg,
    // WebM, FLAC, Opus, WAV or AC-3, which have decoders of their own.
    static bool usuallyDecodedByLibav(const QString &fileOrUrl);

private:
    std::thread m_thread;
};

// The filter graph on GStreamer: one GstPipeline per opened medium. Element
// factories are the registered filters (named by factory name, since long
// names repeat), elements are the filters and pads are the pins.
class GstFilgraphManager : public FilgraphManager
{
public:
    // Initialises GStreamer once per process; false when it cannot start.
    static bool initialise();

    // window: the renderer's window, created now so its handle is ready
    // before any sink asks; may be empty (sinks then open their own).
    explicit GstFilgraphManager(std::unique_ptr<RenderWindow> window = nullptr);
    ~GstFilgraphManager() override;
    GstFilgraphManager(const GstFilgraphManager &) = delete;
    GstFilgraphManager &operator=(const GstFilgraphManager &) = delete;

    std::shared_ptr<IFilterInfo> AddSourceFilter(const QString &fileOrUrl) override;
    std::vector<std::shared_ptr<IRegFilterInfo>> RegFilterCollection() override;
    std::vector<std::shared_ptr<IFilterInfo>> FilterCollection() override;
    bool Run() override;
    bool Pause() override;
    bool Stop() override;
    std::optional<GraphState> GetState(int timeoutMs) override;

    std::optional<double> Duration() override;
    std::optional<double> CurrentPosition() override;
    bool SetCurrentPosition(double seconds) override;
    std::optional<double> Rate() override;
    bool SetRate(double rate) override;

    std::optional<long> Volume() override;
    bool SetVolume(long volume) override;
    std::optional<long> Balance() override;
    bool SetBalance(long balance) override;

    std::optional<int> SourceWidth() override;
    std::optional<int> SourceHeight() override;

    bool SetWindowStyle(long style) override;
    bool SetLeft(int left) override;
    bool SetTop(int top) override;
    bool SetWidth(int width) override;
    bool SetHeight(int height) override;
    bool SetOwner(quintptr window) override;
    bool SetMessageDrain(quintptr window) override;
    bool SetVisible(bool visible) override;
    GraphProblem Problem() override;
    void Abort() override;
    void ShutDown() override;

    // The renderer's window, for the player's layout and for tests.
    RenderWindow *renderWindow() const { return m_window.get(); }

private:
    bool moveWindow(const QRect &pixels);

    std::unique_ptr<RenderWindow> m_window;
    std::shared_ptr<GstGraphCore> m_core;
};
