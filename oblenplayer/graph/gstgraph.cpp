#include "gstgraph.h"

#include <QFile>
#include <QLoggingCategory>

#include <gst/audio/streamvolume.h>
#include <gst/gst.h>
#include <gst/video/videooverlay.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>

Q_LOGGING_CATEGORY(lcGraph, "oblenplayer.graph", QtWarningMsg)

namespace {

// How long Render waits for the graph to preroll. Files preroll in well under
// a second; an address that does not answer must not freeze the window.
constexpr GstClockTime prerollTimeout = 5 * GST_SECOND;
// The network source gives up on a silent server after this many seconds.
constexpr guint networkTimeoutSeconds = 5;
constexpr long silence = -10000;
constexpr long fullBalance = 10000;

// Owns one reference to a GObject.
template <typename T> struct Ref
{
    T *p = nullptr;
    Ref() = default;
    explicit Ref(T *adopt) : p(adopt) {}
    Ref(const Ref &) = delete;
    Ref &operator=(const Ref &) = delete;
    Ref(Ref &&other) noexcept : p(std::exchange(other.p, nullptr)) {}
    ~Ref()
    {
        if (p)
            gst_object_unref(p);
    }
    explicit operator bool() const { return p != nullptr; }
};

QString factoryName(GstElement *element)
{
    GstElementFactory *factory = gst_element_get_factory(element);
    return factory ? QString::fromUtf8(GST_OBJECT_NAME(factory)) : QString();
}

QString factoryKlass(GstElement *element)
{
    GstElementFactory *factory = gst_element_get_factory(element);
    if (!factory)
        return QString();
    return QString::fromUtf8(gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS));
}

bool isSinkOrSource(GstElement *element)
{
    const QString klass = factoryKlass(element);
    return klass.contains(QLatin1String("Sink")) || klass.contains(QLatin1String("Source")) ||
           GST_OBJECT_FLAG_IS_SET(element, GST_ELEMENT_FLAG_SINK) ||
           GST_OBJECT_FLAG_IS_SET(element, GST_ELEMENT_FLAG_SOURCE);
}

// A bin that is neither a sink nor a source (decodebin) is not a filter of
// its own: its children are listed in its place, as a graph would show them.
bool isFlattened(GstElement *element)
{
    return GST_IS_BIN(element) && !GST_IS_PIPELINE(element) && !isSinkOrSource(element);
}

bool isVideoRenderer(GstElement *element)
{
    const QString klass = factoryKlass(element);
    return klass.contains(QLatin1String("Sink")) && klass.contains(QLatin1String("Video"));
}

bool isAudioRenderer(GstElement *element)
{
    const QString klass = factoryKlass(element);
    return klass.contains(QLatin1String("Sink")) && klass.contains(QLatin1String("Audio"));
}

QString capsName(const GstCaps *caps)
{
    if (!caps || gst_caps_is_empty(caps) || gst_caps_is_any(caps))
        return QString();
    return QString::fromUtf8(gst_structure_get_name(gst_caps_get_structure(caps, 0)));
}

GstElement *padOwner(GstPad *pad)
{
    GstObject *parent = gst_pad_get_parent(pad);
    if (parent && GST_IS_ELEMENT(parent))
        return GST_ELEMENT(parent);
    if (parent)
        gst_object_unref(parent);
    return nullptr;
}

// The peer of a pad as the listing shows it: ghost pads of flattened bins are
// followed through to the pad of a listed filter.
GstPad *listedPeer(GstPad *pad)
{
    GstPad *peer = gst_pad_get_peer(pad);
    for (int hops = 0; peer && hops < 16; ++hops) {
        if (GST_IS_GHOST_PAD(peer)) {
            Ref<GstElement> owner(padOwner(peer));
            if (!owner || !isFlattened(owner.p))
                return peer;
            GstPad *target = gst_ghost_pad_get_target(GST_GHOST_PAD(peer));
            gst_object_unref(peer);
            peer = target;
        } else if (GST_IS_PROXY_PAD(peer)) {
            // The inside face of a ghost pad: carry on from the ghost pad.
            GstPad *ghost = GST_PAD(gst_proxy_pad_get_internal(GST_PROXY_PAD(peer)));
            gst_object_unref(peer);
            if (!ghost)
                return nullptr;
            Ref<GstElement> owner(padOwner(ghost));
            if (!owner || !isFlattened(owner.p))
                return ghost;
            peer = gst_pad_get_peer(ghost);
            gst_object_unref(ghost);
        } else {
            return peer;
        }
    }
    return peer;
}

} // namespace

struct GstFilgraphManager::Core : std::enable_shared_from_this<GstFilgraphManager::Core>
{
    GstElement *pipeline = nullptr;
    GstElement *source = nullptr;
    QString sourceName;
    quintptr windowHandle = 0;

    std::mutex mutex; // guards everything below it: streaming threads add chains
    std::vector<GstElement *> waitingRenderers;
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

    std::atomic<bool> stopped{true};
    std::atomic<bool> endOfStream{false};
    std::atomic<bool> failed{false};
    std::atomic<GstElement *> probing{nullptr};
    // Renderer chains built so far; a Render that adds none has failed.
    std::atomic<int> chains{0};
    double rate = 1.0;
    // The last position known: right after a flushing seek the pipeline
    // cannot answer a position query until it has prerolled again.
    std::optional<double> lastPosition;

    ~Core() { tearDown(); }

    void tearDown()
    {
        if (!pipeline)
            return;
        gst_element_set_state(pipeline, GST_STATE_NULL);
        std::lock_guard<std::mutex> lock(mutex);
        // Renderers still waiting are locked out of the pipeline's state
        // changes and must be brought down by hand.
        for (GstElement *renderer : waitingRenderers) {
            gst_element_set_state(renderer, GST_STATE_NULL);
            gst_object_unref(renderer);
        }
        waitingRenderers.clear();
        for (GstElement *e : volumes)
            gst_object_unref(e);
        for (GstElement *e : panoramas)
            gst_object_unref(e);
        volumes.clear();
        panoramas.clear();
        if (videoInput)
            gst_object_unref(videoInput);
        videoInput = nullptr;
        if (overlay)
            gst_object_unref(overlay);
        overlay = nullptr;
        gst_bus_set_sync_handler(GST_ELEMENT_BUS(pipeline), nullptr, nullptr, nullptr);
        gst_object_unref(pipeline);
        pipeline = nullptr;
        source = nullptr;
    }

    static GstBusSyncReply onBusMessage(GstBus *, GstMessage *message, gpointer data)
    {
        static_cast<Core *>(data)->handleMessage(message);
        // Everything the player needs is taken here; nothing waits on the
        // bus. A dropped message is the handler's to release.
        gst_message_unref(message);
        return GST_BUS_DROP;
    }

    void handleMessage(GstMessage *message)
    {
        GstElement *probed = probing.load();
        const bool fromProbe =
            probed && gst_object_has_as_ancestor(GST_MESSAGE_SRC(message), GST_OBJECT(probed));
        switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_ELEMENT:
            if (gst_is_video_overlay_prepare_window_handle_message(message))
                giveWindow(GST_ELEMENT(GST_MESSAGE_SRC(message)));
            break;
        case GST_MESSAGE_ERROR:
            if (!fromProbe) {
                GError *error = nullptr;
                gst_message_parse_error(message, &error, nullptr);
                qCDebug(lcGraph) << "graph error:" << (error ? error->message : "");
                g_clear_error(&error);
                failed = true;
            }
            break;
        case GST_MESSAGE_EOS:
            endOfStream = true;
            break;
        default:
            break;
        }
    }

    void giveWindow(GstElement *sink)
    {
        if (windowHandle) {
            gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(sink), windowHandle);
            // The player's own window takes the input; the sink must not.
            gst_video_overlay_handle_events(GST_VIDEO_OVERLAY(sink), FALSE);
        }
        std::lock_guard<std::mutex> lock(mutex);
        if (overlay)
            gst_object_unref(overlay);
        overlay = GST_ELEMENT(gst_object_ref(sink));
    }

    void expose()
    {
        GstElement *sink = nullptr;
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (overlay)
                sink = GST_ELEMENT(gst_object_ref(overlay));
        }
        if (sink) {
            gst_video_overlay_expose(GST_VIDEO_OVERLAY(sink));
            gst_object_unref(sink);
        }
    }

    // Inserts a new element made by a factory. A renderer is tried at once
    // inside the pipeline (a sink opened outside it asks for no window and
    // opens its own) and then waits unlinked: locked, and not counted as a
    // sink, so that it neither blocks the preroll nor the end of the stream.
    GstElement *insert(const QString &factory)
    {
        if (!pipeline)
            return nullptr;
        GstElement *element = gst_element_factory_make(factory.toUtf8().constData(), nullptr);
        if (!element)
            return nullptr;
        const bool renderer = GST_OBJECT_FLAG_IS_SET(element, GST_ELEMENT_FLAG_SINK);
        gst_bin_add(GST_BIN(pipeline), element);
        if (!renderer) {
            // Nothing links a filter inserted by name but a renderer: left to
            // the pipeline's state changes, an idle source would push into
            // nothing and fail the graph.
            gst_element_set_locked_state(element, TRUE);
            return element;
        }
        GST_OBJECT_FLAG_UNSET(element, GST_ELEMENT_FLAG_SINK);
        gst_element_set_locked_state(element, TRUE);
        probing = element;
        const bool works =
            gst_element_set_state(element, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
        probing = nullptr;
        if (!works) {
            gst_element_set_state(element, GST_STATE_NULL);
            gst_bin_remove(GST_BIN(pipeline), element);
            return nullptr;
        }
        std::lock_guard<std::mutex> lock(mutex);
        waitingRenderers.push_back(GST_ELEMENT(gst_object_ref(element)));
        return element;
    }

    // Takes the first waiting renderer of the kind; the caller links it.
    GstElement *takeWaitingRenderer(bool video)
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto it =
            std::find_if(waitingRenderers.begin(), waitingRenderers.end(), [&](GstElement *e) {
                return video ? isVideoRenderer(e) : isAudioRenderer(e);
            });
        if (it == waitingRenderers.end())
            return nullptr;
        GstElement *renderer = *it; // keeps the list's reference for the caller
        waitingRenderers.erase(it);
        return renderer;
    }

    static void onPadAdded(GstElement *, GstPad *pad, gpointer data)
    {
        auto *core = static_cast<Core *>(data);
        core->renderDownstream(pad);
    }

    // Builds the chain behind an output pad: raw video to the video
    // renderer, raw audio through volume and balance to the audio renderer,
    // anything still encoded into a decoder bin whose pads get the same rule.
    bool renderDownstream(GstPad *pad)
    {
        if (!pipeline || GST_PAD_DIRECTION(pad) != GST_PAD_SRC || gst_pad_is_linked(pad))
            return false;
        GstCaps *caps = gst_pad_get_current_caps(pad);
        const QString type = capsName(caps);
        if (caps)
            gst_caps_unref(caps);

        std::vector<GstElement *> chain;
        GstElement *renderer = nullptr;
        bool waiting = false;
        const bool video = type == QLatin1String("video/x-raw");
        const bool audio = type == QLatin1String("audio/x-raw");
        if (video) {
            {
                // One picture per graph: a second video stream stays unrendered.
                std::lock_guard<std::mutex> lock(mutex);
                if (videoClaimed)
                    return false;
                videoClaimed = true;
            }
            chain = {gst_element_factory_make("videoconvert", nullptr),
                     gst_element_factory_make("videoscale", nullptr)};
            renderer = takeWaitingRenderer(true);
            waiting = renderer != nullptr;
            if (!renderer)
                renderer = gst_element_factory_make("autovideosink", nullptr);
        } else if (audio) {
            {
                // The first audio track is heard; further tracks stay unrendered.
                std::lock_guard<std::mutex> lock(mutex);
                if (audioClaimed)
                    return false;
                audioClaimed = true;
            }
            GstElement *panorama = gst_element_factory_make("audiopanorama", nullptr);
            if (panorama)
                g_object_set(panorama, "method", 1 /* simple: attenuate the other side */, nullptr);
            chain = {gst_element_factory_make("audioconvert", nullptr),
                     gst_element_factory_make("audioresample", nullptr),
                     gst_element_factory_make("volume", nullptr), panorama};
            renderer = takeWaitingRenderer(false);
            waiting = renderer != nullptr;
            if (!renderer)
                renderer = gst_element_factory_make("autoaudiosink", nullptr);
        } else if (type.startsWith(QLatin1String("video/")) ||
                   type.startsWith(QLatin1String("audio/")) || type.isEmpty() ||
                   type.startsWith(QLatin1String("application/"))) {
            GstElement *decoder = gst_element_factory_make("decodebin", nullptr);
            if (!decoder)
                return false;
            g_signal_connect(decoder, "pad-added", G_CALLBACK(&Core::onPadAdded), this);
            gst_bin_add(GST_BIN(pipeline), decoder);
            GstPad *input = gst_element_get_static_pad(decoder, "sink");
            const bool linked = gst_pad_link(pad, input) == GST_PAD_LINK_OK;
            gst_object_unref(input);
            if (!linked) {
                gst_bin_remove(GST_BIN(pipeline), decoder);
                return false;
            }
            gst_element_sync_state_with_parent(decoder);
            return true;
        } else {
            // Subtitles and other streams: no renderer of this player takes them.
            return false;
        }

        const bool complete = renderer && std::all_of(chain.begin(), chain.end(),
                                                      [](GstElement *e) { return e != nullptr; });
        if (!complete) {
            for (GstElement *e : chain)
                if (e)
                    gst_object_unref(gst_object_ref_sink(e));
            std::lock_guard<std::mutex> lock(mutex);
            if (renderer && waiting)
                waitingRenderers.push_back(renderer); // still in the graph, still waiting
            else if (renderer)
                gst_object_unref(gst_object_ref_sink(renderer));
            (video ? videoClaimed : audioClaimed) = false;
            return false;
        }

        for (GstElement *e : chain)
            gst_bin_add(GST_BIN(pipeline), e);
        if (waiting) {
            gst_element_set_locked_state(renderer, FALSE);
            GST_OBJECT_FLAG_SET(renderer, GST_ELEMENT_FLAG_SINK);
        } else {
            gst_bin_add(GST_BIN(pipeline), renderer);
        }
        bool linked = true;
        for (size_t i = 0; i + 1 < chain.size(); ++i)
            linked = linked && gst_element_link(chain[i], chain[i + 1]);
        linked = linked && gst_element_link(chain.back(), renderer);
        GstPad *input = gst_element_get_static_pad(chain.front(), "sink");
        linked = linked && gst_pad_link(pad, input) == GST_PAD_LINK_OK;

        {
            std::lock_guard<std::mutex> lock(mutex);
            if (video && !videoInput)
                videoInput = GST_PAD(gst_object_ref(input));
            if (audio) {
                volumes.push_back(GST_ELEMENT(gst_object_ref(chain[2])));
                panoramas.push_back(GST_ELEMENT(gst_object_ref(chain[3])));
                applyVolume(chain[2], volume);
                applyBalance(chain[3], balance);
            }
        }
        gst_object_unref(input);
        if (linked)
            ++chains;
        if (waiting)
            gst_object_unref(renderer); // the list's reference; the pipeline holds its own
        // Downstream first, so nothing upstream pushes into an element that is
        // not ready yet.
        gst_element_sync_state_with_parent(renderer);
        for (auto it = chain.rbegin(); it != chain.rend(); ++it)
            gst_element_sync_state_with_parent(*it);
        return linked;
    }

    static void applyVolume(GstElement *element, long hundredthsDb)
    {
        const double linear = hundredthsDb <= silence
                                  ? 0.0
                                  : gst_stream_volume_convert_volume(
                                        GST_STREAM_VOLUME_FORMAT_DB,
                                        GST_STREAM_VOLUME_FORMAT_LINEAR, hundredthsDb / 100.0);
        g_object_set(element, "volume", linear, nullptr);
    }

    // Balance attenuates the other channel: at b, that side is at
    // 10^(-|b|/2000), so 10000 leaves it at -100 dB.
    static gfloat panoramaFor(long balance)
    {
        if (balance == 0)
            return 0.0f;
        const double gain = std::pow(10.0, -std::abs(balance) / 2000.0);
        return static_cast<gfloat>((balance < 0 ? -1.0 : 1.0) * (1.0 - gain));
    }

    static void applyBalance(GstElement *element, long balance)
    {
        g_object_set(element, "panorama", panoramaFor(balance), nullptr);
    }

    // Decoders and chains exist only once the graph has prerolled, so Render
    // waits for it before anyone asks for filters, pins or positions.
    bool preroll(int chainsBefore)
    {
        if (!pipeline || failed)
            return false;
        GstState current = GST_STATE_NULL;
        GstState pending = GST_STATE_VOID_PENDING;
        gst_element_get_state(pipeline, &current, &pending, 0);
        const GstState target = pending != GST_STATE_VOID_PENDING ? pending : current;
        if (target < GST_STATE_PAUSED &&
            gst_element_set_state(pipeline, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
            failed = true;
        }
        if (!failed && gst_element_get_state(pipeline, nullptr, nullptr, prerollTimeout) ==
                           GST_STATE_CHANGE_FAILURE)
            failed = true;
        // A stream with nothing playable in it (a file that is not media,
        // a cut-off index) prerolls with no renderer at all.
        if (chains == chainsBefore)
            failed = true;
        if (failed) {
            // A medium that cannot be played leaves a quiet, empty graph.
            gst_element_set_state(pipeline, GST_STATE_NULL);
            return false;
        }
        return true;
    }

    bool setState(GstState state)
    {
        if (!pipeline || failed)
            return false;
        return gst_element_set_state(pipeline, state) != GST_STATE_CHANGE_FAILURE;
    }

    bool seek(double rateValue, double seconds)
    {
        if (!pipeline || failed || rateValue <= 0.0 || !std::isfinite(rateValue) ||
            !std::isfinite(seconds))
            return false;
        const gint64 at = static_cast<gint64>(std::max(0.0, seconds) * GST_SECOND);
        const bool ok =
            gst_element_seek(pipeline, rateValue, GST_FORMAT_TIME,
                             GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                             GST_SEEK_TYPE_SET, at, GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE);
        if (ok) {
            endOfStream = false;
            lastPosition = double(at) / GST_SECOND;
        }
        return ok;
    }

    std::optional<double> duration()
    {
        gint64 value = 0;
        if (!pipeline || failed || !gst_element_query_duration(pipeline, GST_FORMAT_TIME, &value) ||
            value < 0)
            return std::nullopt;
        return double(value) / GST_SECOND;
    }

    std::optional<int> videoDimension(const char *field)
    {
        GstCaps *caps = nullptr;
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (videoInput)
                caps = gst_pad_get_current_caps(videoInput);
        }
        if (!caps)
            return std::nullopt;
        int value = 0;
        const bool ok = gst_structure_get_int(gst_caps_get_structure(caps, 0), field, &value);
        gst_caps_unref(caps);
        if (!ok || value <= 0)
            return std::nullopt;
        return value;
    }
};

namespace {

using Core = GstFilgraphManager::Core;

class GstFilterInfo;

class GstPinInfo : public IPinInfo
{
public:
    GstPinInfo(std::shared_ptr<Core> core, GstPad *pad)
        : m_core(std::move(core)), m_pad(GST_PAD(gst_object_ref(pad)))
    {
    }
    ~GstPinInfo() override { gst_object_unref(m_pad); }

    QString Name() const override { return QString::fromUtf8(GST_OBJECT_NAME(m_pad)); }
    int Direction() const override
    {
        return GST_PAD_DIRECTION(m_pad) == GST_PAD_SRC ? Output : Input;
    }
    std::shared_ptr<IPinInfo> ConnectedTo() const override
    {
        Ref<GstPad> peer(listedPeer(m_pad));
        if (!peer)
            return nullptr;
        return std::make_shared<GstPinInfo>(m_core, peer.p);
    }
    std::optional<QString> ConnectionMediaType() const override
    {
        Ref<GstPad> peer(listedPeer(m_pad));
        if (!peer)
            return std::nullopt;
        GstCaps *caps = gst_pad_get_current_caps(m_pad);
        if (!caps)
            caps = gst_pad_get_current_caps(peer.p);
        if (!caps) {
            // A source's link carries no caps: the type finder behind it
            // knows what the stream is.
            Ref<GstElement> owner(padOwner(peer.p));
            if (owner && g_object_class_find_property(G_OBJECT_GET_CLASS(owner.p), "caps"))
                g_object_get(owner.p, "caps", &caps, nullptr);
        }
        const QString type = capsName(caps);
        if (caps)
            gst_caps_unref(caps);
        if (type.isEmpty())
            return std::nullopt;
        return type;
    }
    std::shared_ptr<IFilterInfo> FilterInfo() const override;
    bool Render() override
    {
        const int before = m_core->chains;
        if (!m_core->pipeline || !m_core->renderDownstream(m_pad))
            return false;
        return m_core->preroll(before);
    }

private:
    std::shared_ptr<Core> m_core;
    GstPad *m_pad;
};

class GstFilterInfo : public IFilterInfo
{
public:
    GstFilterInfo(std::shared_ptr<Core> core, GstElement *element)
        : m_core(std::move(core)), m_element(GST_ELEMENT(gst_object_ref(element)))
    {
    }
    ~GstFilterInfo() override { gst_object_unref(m_element); }

    QString Name() const override
    {
        if (m_element == m_core->source)
            return m_core->sourceName;
        return QString::fromUtf8(GST_OBJECT_NAME(m_element));
    }
    QString VendorInfo() const override
    {
        GstElementFactory *factory = gst_element_get_factory(m_element);
        if (!factory)
            return QString();
        GstPlugin *plugin = gst_plugin_feature_get_plugin(GST_PLUGIN_FEATURE(factory));
        if (!plugin)
            return QString();
        const QString package = QString::fromUtf8(gst_plugin_get_package(plugin));
        gst_object_unref(plugin);
        return package;
    }
    bool IsFileSource() const override
    {
        return factoryName(m_element) == QLatin1String("filesrc");
    }
    std::vector<std::shared_ptr<IPinInfo>> Pins() const override
    {
        std::vector<std::shared_ptr<IPinInfo>> pins;
        GST_OBJECT_LOCK(m_element);
        std::vector<GstPad *> pads;
        for (GList *l = GST_ELEMENT_PADS(m_element); l; l = l->next)
            pads.push_back(GST_PAD(gst_object_ref(l->data)));
        GST_OBJECT_UNLOCK(m_element);
        for (GstPad *pad : pads) {
            pins.push_back(std::make_shared<GstPinInfo>(m_core, pad));
            gst_object_unref(pad);
        }
        return pins;
    }

private:
    std::shared_ptr<Core> m_core;
    GstElement *m_element;
};

std::shared_ptr<IFilterInfo> GstPinInfo::FilterInfo() const
{
    Ref<GstElement> owner(padOwner(m_pad));
    if (!owner)
        return nullptr;
    return std::make_shared<GstFilterInfo>(m_core, owner.p);
}

class GstRegFilterInfo : public IRegFilterInfo
{
public:
    GstRegFilterInfo(std::weak_ptr<Core> core, QString name)
        : m_core(std::move(core)), m_name(std::move(name))
    {
    }
    QString Name() const override { return m_name; }
    std::shared_ptr<IFilterInfo> Filter() override
    {
        std::shared_ptr<Core> core = m_core.lock();
        if (!core)
            return nullptr;
        GstElement *element = core->insert(m_name);
        if (!element)
            return nullptr;
        return std::make_shared<GstFilterInfo>(core, element);
    }

private:
    std::weak_ptr<Core> m_core;
    QString m_name;
};

void collectFilters(GstBin *bin, std::vector<GstElement *> &out)
{
    std::vector<GstElement *> children;
    GST_OBJECT_LOCK(bin);
    // A bin keeps its newest child first, so the first-added filter comes last.
    for (GList *l = bin->children; l; l = l->next)
        children.push_back(GST_ELEMENT(gst_object_ref(l->data)));
    GST_OBJECT_UNLOCK(bin);
    for (GstElement *child : children) {
        if (isFlattened(child)) {
            collectFilters(GST_BIN(child), out);
            gst_object_unref(child);
        } else {
            out.push_back(child);
        }
    }
}

} // namespace

bool GstFilgraphManager::initialise()
{
    static const bool ok = gst_init_check(nullptr, nullptr, nullptr);
    return ok;
}

GstFilgraphManager::GstFilgraphManager(std::unique_ptr<RenderWindow> window)
    : m_window(std::move(window)), m_core(std::make_shared<Core>())
{
    if (!initialise())
        return;
    m_core->pipeline = gst_pipeline_new(nullptr);
    gst_object_ref_sink(m_core->pipeline);
    m_core->windowHandle = m_window ? m_window->handle() : 0;
    gst_bus_set_sync_handler(GST_ELEMENT_BUS(m_core->pipeline), &Core::onBusMessage, m_core.get(),
                             nullptr);
}

GstFilgraphManager::~GstFilgraphManager()
{
    // Stops the streaming threads before the window they draw into goes.
    m_core->tearDown();
}

std::shared_ptr<IFilterInfo> GstFilgraphManager::AddSourceFilter(const QString &fileOrUrl)
{
    if (!m_core->pipeline || m_core->source || fileOrUrl.isEmpty())
        return nullptr;
    const QByteArray text = fileOrUrl.toUtf8();
    gchar *uri = nullptr;
    if (gst_uri_is_valid(text.constData()))
        uri = g_strdup(text.constData());
    else
        uri = gst_filename_to_uri(QFile::encodeName(fileOrUrl).constData(), nullptr);
    if (!uri)
        return nullptr;
    GstElement *source = gst_element_make_from_uri(GST_URI_SRC, uri, nullptr, nullptr);
    g_free(uri);
    if (!source)
        return nullptr;
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(source), "timeout"))
        g_object_set(source, "timeout", networkTimeoutSeconds, nullptr);
    gst_bin_add(GST_BIN(m_core->pipeline), source);
    m_core->source = source;
    m_core->sourceName = fileOrUrl;
    return std::make_shared<GstFilterInfo>(m_core, source);
}

std::vector<std::shared_ptr<IRegFilterInfo>> GstFilgraphManager::RegFilterCollection()
{
    std::vector<std::shared_ptr<IRegFilterInfo>> filters;
    if (!m_core->pipeline)
        return filters;
    GList *features = gst_registry_get_feature_list(gst_registry_get(), GST_TYPE_ELEMENT_FACTORY);
    QStringList names;
    for (GList *l = features; l; l = l->next)
        names << QString::fromUtf8(GST_OBJECT_NAME(l->data));
    gst_plugin_feature_list_free(features);
    names.sort();
    filters.reserve(names.size());
    for (const QString &name : std::as_const(names))
        filters.push_back(std::make_shared<GstRegFilterInfo>(m_core, name));
    return filters;
}

std::vector<std::shared_ptr<IFilterInfo>> GstFilgraphManager::FilterCollection()
{
    std::vector<std::shared_ptr<IFilterInfo>> filters;
    if (!m_core->pipeline)
        return filters;
    std::vector<GstElement *> elements;
    collectFilters(GST_BIN(m_core->pipeline), elements);
    for (GstElement *element : elements) {
        filters.push_back(std::make_shared<GstFilterInfo>(m_core, element));
        gst_object_unref(element);
    }
    return filters;
}

bool GstFilgraphManager::Run()
{
    m_core->stopped = false;
    return m_core->setState(GST_STATE_PLAYING);
}

bool GstFilgraphManager::Pause()
{
    m_core->stopped = false;
    return m_core->setState(GST_STATE_PAUSED);
}

bool GstFilgraphManager::Stop()
{
    // Stopped is a paused graph reported as stopped: going down to READY
    // would drop the decoder's pads and never preroll again.
    m_core->stopped = true;
    return m_core->setState(GST_STATE_PAUSED);
}

std::optional<GraphState> GstFilgraphManager::GetState(int timeoutMs)
{
    if (!m_core->pipeline)
        return std::nullopt;
    GstState current = GST_STATE_NULL;
    GstState pending = GST_STATE_VOID_PENDING;
    const GstStateChangeReturn ret = gst_element_get_state(
        m_core->pipeline, &current, &pending, GstClockTime(std::max(0, timeoutMs)) * GST_MSECOND);
    if (ret == GST_STATE_CHANGE_FAILURE && m_core->failed)
        return std::nullopt;
    const GstState state = pending != GST_STATE_VOID_PENDING ? pending : current;
    if (state == GST_STATE_PLAYING)
        return GraphState::Running;
    if (state == GST_STATE_PAUSED && !m_core->stopped)
        return GraphState::Paused;
    return GraphState::Stopped;
}

std::optional<double> GstFilgraphManager::Duration()
{
    return m_core->duration();
}

std::optional<double> GstFilgraphManager::CurrentPosition()
{
    if (!m_core->pipeline || m_core->failed)
        return std::nullopt;
    // At the end of the stream the position is the duration, as the player's
    // "play again from the start" rule expects.
    if (m_core->endOfStream) {
        if (std::optional<double> length = m_core->duration())
            return length;
    }
    gint64 value = 0;
    if (!gst_element_query_position(m_core->pipeline, GST_FORMAT_TIME, &value) || value < 0)
        return m_core->chains > 0 ? m_core->lastPosition : std::nullopt;
    m_core->lastPosition = double(value) / GST_SECOND;
    return m_core->lastPosition;
}

bool GstFilgraphManager::SetCurrentPosition(double seconds)
{
    return m_core->seek(m_core->rate, seconds);
}

std::optional<double> GstFilgraphManager::Rate()
{
    if (!m_core->pipeline || m_core->failed)
        return std::nullopt;
    return m_core->rate;
}

bool GstFilgraphManager::SetRate(double rate)
{
    if (rate <= 0.0 || !std::isfinite(rate) || !m_core->pipeline || m_core->failed)
        return false;
    if (rate == m_core->rate)
        return true;
    std::optional<double> position = CurrentPosition();
    if (!position)
        return false;
    if (!m_core->seek(rate, *position))
        return false;
    m_core->rate = rate;
    return true;
}

std::optional<long> GstFilgraphManager::Volume()
{
    std::lock_guard<std::mutex> lock(m_core->mutex);
    if (m_core->volumes.empty())
        return std::nullopt;
    double linear = 1.0;
    g_object_get(m_core->volumes.front(), "volume", &linear, nullptr);
    if (linear <= 0.0)
        return silence;
    const double db = gst_stream_volume_convert_volume(GST_STREAM_VOLUME_FORMAT_LINEAR,
                                                       GST_STREAM_VOLUME_FORMAT_DB, linear);
    return std::clamp(std::lround(db * 100.0), silence, 0L);
}

bool GstFilgraphManager::SetVolume(long volume)
{
    if (volume < silence || volume > 0)
        return false;
    std::lock_guard<std::mutex> lock(m_core->mutex);
    m_core->volume = volume;
    for (GstElement *element : m_core->volumes)
        Core::applyVolume(element, volume);
    return !m_core->volumes.empty();
}

std::optional<long> GstFilgraphManager::Balance()
{
    std::lock_guard<std::mutex> lock(m_core->mutex);
    if (m_core->panoramas.empty())
        return std::nullopt;
    gfloat panorama = 0.0f;
    g_object_get(m_core->panoramas.front(), "panorama", &panorama, nullptr);
    // The panorama is single precision, too coarse near the ends to give
    // back the value exactly: the value set is the answer while it holds.
    if (panorama == Core::panoramaFor(m_core->balance))
        return m_core->balance;
    const double gain = 1.0 - std::abs(double(panorama));
    if (gain <= 0.0)
        return panorama < 0 ? -fullBalance : fullBalance;
    const long amount = std::min(fullBalance, std::lround(-2000.0 * std::log10(gain)));
    return panorama < 0 ? -amount : amount;
}

bool GstFilgraphManager::SetBalance(long balance)
{
    if (balance < -fullBalance || balance > fullBalance)
        return false;
    std::lock_guard<std::mutex> lock(m_core->mutex);
    m_core->balance = balance;
    for (GstElement *element : m_core->panoramas)
        Core::applyBalance(element, balance);
    return !m_core->panoramas.empty();
}

std::optional<int> GstFilgraphManager::SourceWidth()
{
    return m_core->videoDimension("width");
}

std::optional<int> GstFilgraphManager::SourceHeight()
{
    return m_core->videoDimension("height");
}

bool GstFilgraphManager::SetWindowStyle(long style)
{
    if (!m_window)
        return false;
    m_window->setStyle(style);
    return true;
}

bool GstFilgraphManager::moveWindow(const QRect &pixels)
{
    if (!m_window)
        return false;
    m_window->setGeometry(pixels);
    // A sink keeps drawing at the size it negotiated until it is told the
    // window changed.
    m_core->expose();
    return true;
}

bool GstFilgraphManager::SetLeft(int left)
{
    if (!m_window)
        return false;
    QRect r = m_window->geometry();
    r.moveLeft(left);
    return moveWindow(r);
}

bool GstFilgraphManager::SetTop(int top)
{
    if (!m_window)
        return false;
    QRect r = m_window->geometry();
    r.moveTop(top);
    return moveWindow(r);
}

bool GstFilgraphManager::SetWidth(int width)
{
    if (!m_window || width < 0)
        return false;
    QRect r = m_window->geometry();
    r.setWidth(width);
    return moveWindow(r);
}

bool GstFilgraphManager::SetHeight(int height)
{
    if (!m_window || height < 0)
        return false;
    QRect r = m_window->geometry();
    r.setHeight(height);
    return moveWindow(r);
}

bool GstFilgraphManager::SetOwner(quintptr window)
{
    // Like a renderer that is not connected, a graph without a picture has
    // no window to show: the video area stays as it is.
    bool hasVideo = false;
    {
        std::lock_guard<std::mutex> lock(m_core->mutex);
        hasVideo = m_core->videoInput != nullptr;
    }
    if (!hasVideo || !m_window || !m_window->setOwner(window))
        return false;
    m_core->expose();
    return true;
}

bool GstFilgraphManager::SetMessageDrain(quintptr window)
{
    return m_window && m_window->setMessageDrain(window);
}
