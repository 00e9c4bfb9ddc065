#pragma once

// A scripted graph for exact tests of what the player asks of a graph: a
// source filter with the pins a test gives it, registered filters that can be
// made to fail, and a log of every call that changes the graph.
#include "graph/filgraph.h"

#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

// Holds Render of a medium whose name says "slow" until opened or until the
// graph is aborted, as a server that does not answer holds a real preroll.
// Also counts the graphs alive and notes the thread the last one died on.
struct RenderGate
{
    std::mutex mutex;
    std::condition_variable changed;
    bool open = false;
    int waiting = 0;
    std::atomic<int> graphsAlive{0};
    std::atomic<bool> destroyedOffMainThread{false};
    std::thread::id mainThread = std::this_thread::get_id();

    void release()
    {
        std::lock_guard<std::mutex> lock(mutex);
        open = true;
        changed.notify_all();
    }
    int waitingNow()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return waiting;
    }
};

struct FakeGraphScript
{
    QStringList sourcePins = {QStringLiteral("Output")};
    QStringList registered = {QStringLiteral("ximagesink"), QStringLiteral("glimagesink")};
    // Registered names whose insertion fails, and names whose inserted
    // filter says it is a file source.
    QStringList failing;
    QStringList fileSources;
    bool hasAudio = true;
    // None: the graph cannot tell its length (yet).
    std::optional<double> duration = 10.0;
    int sourceWidth = 640;
    int sourceHeight = 360;
    std::shared_ptr<RenderGate> gate;
};

class FakeGraph;

class FakeFilter : public IFilterInfo, public std::enable_shared_from_this<FakeFilter>
{
public:
    FakeFilter(FakeGraph *graph, QString name, QStringList pins, bool fileSource);
    QString Name() const override { return m_name; }
    QString VendorInfo() const override { return QStringLiteral("Fake vendor"); }
    bool IsFileSource() const override { return m_fileSource; }
    std::vector<std::shared_ptr<IPinInfo>> Pins() const override;

    FakeGraph *graph;
    QString m_name;
    bool m_fileSource;
    std::vector<std::shared_ptr<IPinInfo>> m_pins;
};

class FakePin : public IPinInfo
{
public:
    FakePin(FakeFilter *filter, QString name, int direction)
        : m_filter(filter), m_name(std::move(name)), m_direction(direction)
    {
    }
    QString Name() const override { return m_name; }
    int Direction() const override { return m_direction; }
    std::shared_ptr<IPinInfo> ConnectedTo() const override { return m_peer.lock(); }
    std::optional<QString> ConnectionMediaType() const override
    {
        if (m_peer.expired())
            return std::nullopt;
        return QStringLiteral("{73646976-0000-0010-8000-00AA00389B71}");
    }
    std::shared_ptr<IFilterInfo> FilterInfo() const override
    {
        return m_filter->shared_from_this();
    }
    bool Render() override;

    FakeFilter *m_filter;
    QString m_name;
    int m_direction;
    std::weak_ptr<IPinInfo> m_peer;
};

class FakeGraph : public FilgraphManager
{
public:
    explicit FakeGraph(FakeGraphScript script, QStringList *log = nullptr)
        : script(std::move(script)), m_log(log)
    {
        if (this->script.gate)
            ++this->script.gate->graphsAlive;
    }
    ~FakeGraph() override
    {
        if (const auto &gate = script.gate) {
            if (std::this_thread::get_id() != gate->mainThread)
                gate->destroyedOffMainThread = true;
            --gate->graphsAlive;
        }
    }
    void Abort() override
    {
        aborted = true;
        if (const auto &gate = script.gate) {
            std::lock_guard<std::mutex> lock(gate->mutex);
            gate->changed.notify_all();
        }
    }
    // Waits at the gate, if the medium is a slow one; false when aborted.
    bool passGate(const QString &source)
    {
        const auto &gate = script.gate;
        if (!gate || !source.contains(QLatin1String("slow")))
            return true;
        std::unique_lock<std::mutex> lock(gate->mutex);
        ++gate->waiting;
        gate->changed.wait(lock, [&] { return gate->open || aborted; });
        --gate->waiting;
        return !aborted;
    }
    std::atomic<bool> aborted{false};

    FakeGraphScript script;
    std::vector<std::shared_ptr<FakeFilter>> filters; // in the order added
    GraphState state = GraphState::Stopped;
    double position = 0.0;
    double rate = 1.0;
    long volume = 0;
    long balance = 0;
    std::map<QString, long> window;
    bool rendered = false;

    void log(const QString &line)
    {
        if (m_log)
            *m_log << line;
    }

    std::shared_ptr<IFilterInfo> AddSourceFilter(const QString &path) override
    {
        log(QStringLiteral("AddSourceFilter ") + path);
        auto f = std::make_shared<FakeFilter>(this, path, script.sourcePins, true);
        filters.push_back(f);
        return f;
    }
    std::vector<std::shared_ptr<IRegFilterInfo>> RegFilterCollection() override;
    std::vector<std::shared_ptr<IFilterInfo>> FilterCollection() override
    {
        return {filters.rbegin(), filters.rend()};
    }
    bool Run() override
    {
        log(QStringLiteral("Run"));
        state = GraphState::Running;
        return true;
    }
    bool Pause() override
    {
        log(QStringLiteral("Pause"));
        state = GraphState::Paused;
        return true;
    }
    bool Stop() override
    {
        log(QStringLiteral("Stop"));
        state = GraphState::Stopped;
        return true;
    }
    std::optional<GraphState> GetState(int) override { return state; }
    std::optional<double> Duration() override { return rendered ? script.duration : std::nullopt; }
    std::optional<double> CurrentPosition() override
    {
        return rendered ? std::optional(position) : std::nullopt;
    }
    bool SetCurrentPosition(double seconds) override
    {
        log(QStringLiteral("SetCurrentPosition %1").arg(seconds));
        position = seconds;
        return rendered;
    }
    std::optional<double> Rate() override { return rate; }
    bool SetRate(double r) override
    {
        if (r <= 0.0)
            return false;
        rate = r;
        return true;
    }
    std::optional<long> Volume() override
    {
        return script.hasAudio && rendered ? std::optional(volume) : std::nullopt;
    }
    bool SetVolume(long v) override
    {
        volume = v;
        return script.hasAudio;
    }
    std::optional<long> Balance() override
    {
        return script.hasAudio && rendered ? std::optional(balance) : std::nullopt;
    }
    bool SetBalance(long b) override
    {
        balance = b;
        return script.hasAudio;
    }
    std::optional<int> SourceWidth() override { return script.sourceWidth; }
    std::optional<int> SourceHeight() override { return script.sourceHeight; }
    bool SetWindowStyle(long style) override { return setWindow("WindowStyle", style); }
    bool SetLeft(int v) override { return setWindow("Left", v); }
    bool SetTop(int v) override { return setWindow("Top", v); }
    bool SetWidth(int v) override { return setWindow("Width", v); }
    bool SetHeight(int v) override { return setWindow("Height", v); }
    bool SetOwner(quintptr w) override { return setWindow("Owner", long(w)); }
    bool SetMessageDrain(quintptr w) override { return setWindow("MessageDrain", long(w)); }
    bool SetVisible(bool v) override { return setWindow("Visible", long(v)); }

private:
    bool setWindow(const char *name, long value)
    {
        window[QString::fromLatin1(name)] = value;
        return true;
    }
    QStringList *m_log;
};

class FakeRegFilter : public IRegFilterInfo
{
public:
    FakeRegFilter(FakeGraph *graph, QString name) : m_graph(graph), m_name(std::move(name)) {}
    QString Name() const override { return m_name; }
    std::shared_ptr<IFilterInfo> Filter() override
    {
        m_graph->log(QStringLiteral("Filter ") + m_name);
        if (m_graph->script.failing.contains(m_name))
            return nullptr;
        auto f = std::make_shared<FakeFilter>(m_graph, m_name, QStringList{QStringLiteral("In")},
                                              m_graph->script.fileSources.contains(m_name));
        m_graph->filters.push_back(f);
        return f;
    }

private:
    FakeGraph *m_graph;
    QString m_name;
};

inline FakeFilter::FakeFilter(FakeGraph *g, QString name, QStringList pins, bool fileSource)
    : graph(g), m_name(std::move(name)), m_fileSource(fileSource)
{
    for (const QString &pin : pins)
        m_pins.push_back(std::make_shared<FakePin>(
            this, pin, pin == QLatin1String("In") ? IPinInfo::Input : IPinInfo::Output));
}

inline std::vector<std::shared_ptr<IPinInfo>> FakeFilter::Pins() const
{
    return m_pins;
}

inline bool FakePin::Render()
{
    FakeGraph *g = m_filter->graph;
    g->log(QStringLiteral("Render ") + m_filter->Name() + QLatin1Char(':') + m_name);
    if (!m_peer.expired() || m_direction != Output || !g->passGate(m_filter->Name()))
        return false;
    // Rendering adds a decoder whose input takes this pin.
    auto decoder = std::make_shared<FakeFilter>(g, QStringLiteral("Decoder"),
                                                QStringList{QStringLiteral("In")}, false);
    g->filters.push_back(decoder);
    m_peer = decoder->m_pins.front();
    for (const auto &self : m_filter->m_pins)
        if (self.get() == this)
            static_cast<FakePin *>(decoder->m_pins.front().get())->m_peer = self;
    g->rendered = true;
    return true;
}

inline std::vector<std::shared_ptr<IRegFilterInfo>> FakeGraph::RegFilterCollection()
{
    std::vector<std::shared_ptr<IRegFilterInfo>> list;
    for (const QString &name : script.registered)
        list.push_back(std::make_shared<FakeRegFilter>(this, name));
    return list;
}
