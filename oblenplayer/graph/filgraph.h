#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// The filter graph the player builds, plays and browses: one object per
// opened medium. It answers the player's graph questions (source filter,
// registered filters, filters and pins, rendering, state, position, rate,
// volume, balance, picture size, video window) and nothing else, so the
// player never touches the media framework underneath. Every call may fail:
// a failing write returns false, a failing read returns no value, and the
// player carries on with its next step.

class IFilterInfo;

class IPinInfo
{
public:
    enum Direction
    {
        Input = 0,
        Output = 1
    };

    virtual ~IPinInfo() = default;
    virtual QString Name() const = 0;
    virtual int Direction() const = 0;
    // The peer pin; nullptr when the pin is not connected.
    virtual std::shared_ptr<IPinInfo> ConnectedTo() const = 0;
    // The major media type of the connection as text; none when unconnected.
    virtual std::optional<QString> ConnectionMediaType() const = 0;
    virtual std::shared_ptr<IFilterInfo> FilterInfo() const = 0;
    // Completes the graph downstream of this output pin, with a suitable
    // renderer already in the graph or else the system's default one.
    virtual bool Render() = 0;
};

class IFilterInfo
{
public:
    virtual ~IFilterInfo() = default;
    virtual QString Name() const = 0;
    virtual QString VendorInfo() const = 0;
    virtual bool IsFileSource() const = 0;
    virtual std::vector<std::shared_ptr<IPinInfo>> Pins() const = 0;
    // Whether the filter can work in this graph. A renderer may still be
    // finding out after it was inserted: this waits for its answer, and
    // one that cannot work is taken out of the graph.
    virtual bool Works() { return true; }
};

class IRegFilterInfo
{
public:
    virtual ~IRegFilterInfo() = default;
    virtual QString Name() const = 0;
    // Inserts a new instance of this filter into the graph; nullptr when the
    // filter cannot be created or cannot work here.
    virtual std::shared_ptr<IFilterInfo> Filter() = 0;
    // The same, without waiting for a renderer to find out whether it can
    // work here: the graph goes on being built meanwhile, and Works() of the
    // filter returned gives the answer.
    virtual std::shared_ptr<IFilterInfo> StartFilter() { return Filter(); }
};

// What went wrong with the medium, as far as the graph knows. The player
// has no other way to learn why a file shows nothing or plays without its
// picture.
struct GraphProblem
{
    enum class Kind
    {
        None,
        NotFound,
        // A folder, a pipe or a device: only regular files are opened.
        NotAFile,
        Empty,
        Unreadable,
        UnknownType,
        // Cut off or damaged: the format is known but its streams are not.
        Damaged,
        MissingDecoder,
        // Built and prerolled with nothing that any renderer takes.
        NoStreams,
        // The address did not answer in time.
        NoAnswer,
        Other
    };
    Kind kind = Kind::None;
    // Nothing of the medium plays; otherwise some streams play without the rest.
    bool fatal = false;
    // The decoders that are not installed, in the media framework's words.
    QStringList missingVideo;
    QStringList missingAudio;
    // The media framework's own message.
    QString detail;
};

// Graph states as GetState reports them.
enum class GraphState
{
    Stopped = 0,
    Paused = 1,
    Running = 2
};

class FilgraphManager
{
public:
    virtual ~FilgraphManager() = default;

    // IMediaControl
    virtual std::shared_ptr<IFilterInfo> AddSourceFilter(const QString &fileOrUrl) = 0;
    virtual std::vector<std::shared_ptr<IRegFilterInfo>> RegFilterCollection() = 0;
    // The graph's filters, the first-added filter last.
    virtual std::vector<std::shared_ptr<IFilterInfo>> FilterCollection() = 0;
    virtual bool Run() = 0;
    virtual bool Pause() = 0;
    virtual bool Stop() = 0;
    // While a change is still under way after timeoutMs, the target state.
    virtual std::optional<GraphState> GetState(int timeoutMs) = 0;

    // IMediaPosition: seconds.
    virtual std::optional<double> Duration() = 0;
    virtual std::optional<double> CurrentPosition() = 0;
    virtual bool SetCurrentPosition(double seconds) = 0;
    virtual std::optional<double> Rate() = 0;
    virtual bool SetRate(double rate) = 0;

    // IBasicAudio: volume in hundredths of a dB (-10000 silence .. 0 full),
    // balance -10000 (left only) .. 10000 (right only). Reading fails while
    // the graph has no audio renderer.
    virtual std::optional<long> Volume() = 0;
    virtual bool SetVolume(long volume) = 0;
    virtual std::optional<long> Balance() = 0;
    virtual bool SetBalance(long balance) = 0;

    // IBasicVideo2: the source picture in pixels.
    virtual std::optional<int> SourceWidth() = 0;
    virtual std::optional<int> SourceHeight() = 0;

    // IVideoWindow: the renderer's window, in pixels and window handles.
    virtual bool SetWindowStyle(long style) = 0;
    virtual bool SetLeft(int left) = 0;
    virtual bool SetTop(int top) = 0;
    virtual bool SetWidth(int width) = 0;
    virtual bool SetHeight(int height) = 0;
    virtual bool SetOwner(quintptr window) = 0;
    virtual bool SetMessageDrain(quintptr window) = 0;
    virtual bool SetVisible(bool visible) = 0;

    // Why the medium does not play, or plays only in part; Kind::None while
    // all is well.
    virtual GraphProblem Problem() { return {}; }

    // The graph is built on a thread of its own, away from the window; only
    // the video window members above must be called on the window's thread.
    // Abort may be called from any thread while the building goes on: every
    // wait of the building ends at once and the graph starts nothing new.
    virtual void Abort() {}
    // Brings the media framework's side of the graph down, on any thread
    // and after the building has ended, so that destroying the object later
    // (on the window's thread, which owns the video window) is quick.
    virtual void ShutDown() {}
};

// Makes a new, empty graph; the player asks for one per opened medium.
using GraphFactory = std::function<std::unique_ptr<FilgraphManager>()>;
