#include "gstgraphcore.h"

#include "gstelements.h"

#include <QCoreApplication>
#include <QLoggingCategory>

#include <gst/audio/streamvolume.h>
#include <gst/gl/gl.h>
#include <gst/pbutils/missing-plugins.h>
#include <gst/video/videooverlay.h>

#include <algorithm>
#include <cmath>

Q_LOGGING_CATEGORY(lcGraph, "oblenplayer.graph", QtWarningMsg)

using namespace gstutil;
using namespace graphlimits;

namespace {
// How long Render waits for the graph to preroll. Files preroll in well under
// a second; an address that does not answer must not freeze the window.
constexpr GstClockTime prerollTimeout = 5 * GST_SECOND;

// One GL display for the whole program, made when the first OpenGL sink
// asks. A sink left to find its own opens a display connection, and the
// driver a screen on it, for every graph; the driver keeps much of each
// after the graph is gone (Mesa: over 2 MB per open), so memory grew with
// every medium opened. Kept until the program ends.
GstGLDisplay *programGlDisplay()
{
    static GstGLDisplay *const display = gst_gl_display_new();
    return display;
}
} // namespace

GstGraphCore::~GstGraphCore()
{
    tearDown();
}

void GstGraphCore::tearDown()
{
    if (!pipeline)
        return;
    {
        // A redraw asked for earlier must not reach a sink on its way down.
        std::lock_guard<std::mutex> lock(stateMutex);
        aborted = true;
    }
    tornDown = true;
    // No renderer is still being tried when the pipeline goes.
    std::map<GstElement *, std::shared_future<bool>> tries;
    {
        std::lock_guard<std::mutex> lock(mutex);
        tries.swap(rendererTries);
    }
    for (const auto &entry : tries)
        entry.second.wait();
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

void GstGraphCore::abort()
{
    {
        std::lock_guard<std::mutex> lock(stateMutex);
        aborted = true;
    }
    // Going down to NULL ends the builder's wait for the preroll (and with
    // it the network source's wait for a server that does not answer).
    if (pipeline)
        gst_element_set_state(pipeline, GST_STATE_NULL);
}

GstBusSyncReply GstGraphCore::onBusMessage(GstBus *, GstMessage *message, gpointer data)
{
    static_cast<GstGraphCore *>(data)->handleMessage(message);
    // Everything the player needs is taken here; nothing waits on the
    // bus. A dropped message is the handler's to release.
    gst_message_unref(message);
    return GST_BUS_DROP;
}

void GstGraphCore::handleMessage(GstMessage *message)
{
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ELEMENT:
        if (gst_is_video_overlay_prepare_window_handle_message(message))
            giveWindow(GST_ELEMENT(GST_MESSAGE_SRC(message)));
        else if (gst_is_missing_plugin_message(message))
            noteProblem(message);
        break;
    case GST_MESSAGE_ERROR:
        noteProblem(message);
        failed = true;
        break;
    case GST_MESSAGE_EOS:
        endOfStream = true;
        break;
    case GST_MESSAGE_NEED_CONTEXT:
        shareGlDisplay(message);
        break;
    default:
        break;
    }
}

void GstGraphCore::shareGlDisplay(GstMessage *message)
{
    const gchar *type = nullptr;
    if (!gst_message_parse_context_type(message, &type) ||
        g_strcmp0(type, GST_GL_DISPLAY_CONTEXT_TYPE) != 0)
        return;
    // Answered at once on the asking thread: the sink looks for the display
    // right after its question and makes its own when none has come.
    GstContext *context = gst_context_new(GST_GL_DISPLAY_CONTEXT_TYPE, TRUE);
    gst_context_set_gl_display(context, programGlDisplay());
    gst_element_set_context(GST_ELEMENT(GST_MESSAGE_SRC(message)), context);
    gst_context_unref(context);
}

void GstGraphCore::giveWindow(GstElement *sink)
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

void GstGraphCore::expose()
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

void GstGraphCore::exposeLater()
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app) {
        expose();
        return;
    }
    if (exposePending.exchange(true))
        return;
    QMetaObject::invokeMethod(
        app,
        [weak = weak_from_this()]() {
            if (const std::shared_ptr<GstGraphCore> core = weak.lock()) {
                core->exposePending = false;
                // Held through the redraw: a graph retired meanwhile is
                // being brought down on another thread.
                std::lock_guard<std::mutex> lock(core->stateMutex);
                if (!core->aborted)
                    core->expose();
            }
        },
        Qt::QueuedConnection);
}

void GstGraphCore::firstPictureArrived()
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return;
    QMetaObject::invokeMethod(
        app,
        [weak = weak_from_this()]() {
            const std::shared_ptr<GstGraphCore> core = weak.lock();
            if (core && !core->tornDown && core->onFirstPicture) {
                core->onFirstPicture();
                // Drawn while the window was not on screen yet.
                core->exposeLater();
            }
        },
        Qt::QueuedConnection);
}

GstElement *GstGraphCore::insert(const QString &factory)
{
    if (!pipeline)
        return nullptr;
    GstElement *element = gst_element_factory_make(factory.toUtf8().constData(), nullptr);
    if (!element)
        return nullptr;
    if (!GST_OBJECT_FLAG_IS_SET(element, GST_ELEMENT_FLAG_SINK)) {
        gst_bin_add(GST_BIN(pipeline), element);
        // Nothing links a filter inserted by name but a renderer: left to
        // the pipeline's state changes, an idle source would push into
        // nothing and fail the graph.
        gst_element_set_locked_state(element, TRUE);
        return element;
    }
    // Tried outside the pipeline, which is finding the source's streams
    // meanwhile: what a sink would ask the pipeline for (the window, the GL
    // display) it is given now, and what it says while it fails reaches
    // no one.
    gst_object_ref_sink(element); // the waiting list's
    GST_OBJECT_FLAG_UNSET(element, GST_ELEMENT_FLAG_SINK);
    gst_element_set_locked_state(element, TRUE);
    if (GST_IS_VIDEO_OVERLAY(element))
        giveWindow(element);
    GstContext *display = gst_context_new(GST_GL_DISPLAY_CONTEXT_TYPE, TRUE);
    gst_context_set_gl_display(display, programGlDisplay());
    gst_element_set_context(element, display);
    gst_context_unref(display);
    std::shared_future<bool> works = std::async(std::launch::async, [element]() {
                                         return gst_element_set_state(element, GST_STATE_READY) !=
                                                GST_STATE_CHANGE_FAILURE;
                                     }).share();
    std::lock_guard<std::mutex> lock(mutex);
    rendererTries.emplace(element, std::move(works));
    waitingRenderers.push_back(element);
    return element;
}

bool GstGraphCore::rendererWorks(GstElement *element)
{
    std::shared_future<bool> works;
    {
        std::lock_guard<std::mutex> lock(mutex);
        const auto found = rendererTries.find(element);
        if (found == rendererTries.end())
            return true;
        works = found->second;
    }
    if (!works.get())
        return false;
    // Into the graph, waiting (locked) to be linked.
    std::lock_guard<std::mutex> lock(mutex);
    if (pipeline && !GST_OBJECT_PARENT(element))
        gst_bin_add(GST_BIN(pipeline), element);
    return true;
}

bool GstGraphCore::settleRenderer(GstElement *element)
{
    if (rendererWorks(element))
        return true;
    GstElement *listed = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex);
        const auto it = std::find(waitingRenderers.begin(), waitingRenderers.end(), element);
        if (it != waitingRenderers.end()) {
            listed = *it;
            waitingRenderers.erase(it);
        }
    }
    if (listed) {
        gst_element_set_state(listed, GST_STATE_NULL);
        gst_object_unref(listed);
    }
    return false;
}

GstElement *GstGraphCore::takeWaitingRenderer(bool video)
{
    for (;;) {
        GstElement *renderer = nullptr;
        {
            std::lock_guard<std::mutex> lock(mutex);
            auto it = std::find_if(waitingRenderers.begin(), waitingRenderers.end(),
                                   [&](GstElement *e) {
                                       return video ? isVideoRenderer(e) : isAudioRenderer(e);
                                   });
            if (it == waitingRenderers.end())
                return nullptr;
            renderer = *it; // keeps the list's reference for the caller
            waitingRenderers.erase(it);
        }
        if (rendererWorks(renderer))
            return renderer;
        gst_element_set_state(renderer, GST_STATE_NULL);
        gst_object_unref(renderer);
    }
}

void GstGraphCore::onPadAdded(GstElement *, GstPad *pad, gpointer data)
{
    auto *core = static_cast<GstGraphCore *>(data);
    core->renderDownstream(pad);
}

bool GstGraphCore::renderDownstream(GstPad *pad)
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
        g_signal_connect(decoder, "pad-added", G_CALLBACK(&GstGraphCore::onPadAdded), this);
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
    if (video && linked) {
        GstPad *sinkPad = gst_element_get_static_pad(renderer, "sink");
        if (sinkPad) {
            gst_pad_add_probe(
                sinkPad, GST_PAD_PROBE_TYPE_BUFFER,
                [](GstPad *, GstPadProbeInfo *, gpointer data) {
                    static_cast<GstGraphCore *>(data)->firstPictureArrived();
                    return GST_PAD_PROBE_REMOVE;
                },
                this, nullptr);
            gst_object_unref(sinkPad);
        }
    }
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

void GstGraphCore::applyVolume(GstElement *element, long hundredthsDb)
{
    const double linear = hundredthsDb <= silence
                              ? 0.0
                              : gst_stream_volume_convert_volume(GST_STREAM_VOLUME_FORMAT_DB,
                                                                 GST_STREAM_VOLUME_FORMAT_LINEAR,
                                                                 hundredthsDb / 100.0);
    g_object_set(element, "volume", linear, nullptr);
}

gfloat GstGraphCore::panoramaFor(long balance)
{
    if (balance == 0)
        return 0.0f;
    const double gain = std::pow(10.0, -std::abs(balance) / 2000.0);
    return static_cast<gfloat>((balance < 0 ? -1.0 : 1.0) * (1.0 - gain));
}

void GstGraphCore::applyBalance(GstElement *element, long balance)
{
    g_object_set(element, "panorama", panoramaFor(balance), nullptr);
}

bool GstGraphCore::preroll(int chainsBefore)
{
    if (!pipeline || failed)
        return false;
    GstState current = GST_STATE_NULL;
    GstState pending = GST_STATE_VOID_PENDING;
    gst_element_get_state(pipeline, &current, &pending, 0);
    const GstState target = pending != GST_STATE_VOID_PENDING ? pending : current;
    {
        std::lock_guard<std::mutex> lock(stateMutex);
        if (aborted)
            return false;
        if (target < GST_STATE_PAUSED &&
            gst_element_set_state(pipeline, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
            failed = true;
        }
    }
    if (!failed) {
        const GstStateChangeReturn settled =
            gst_element_get_state(pipeline, nullptr, nullptr, prerollTimeout);
        if (settled == GST_STATE_CHANGE_FAILURE)
            failed = true;
        else if (settled == GST_STATE_CHANGE_ASYNC)
            timedOut = true;
    }
    {
        std::lock_guard<std::mutex> lock(stateMutex);
        if (aborted)
            return false;
    }
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

namespace {

GraphProblem::Kind kindOf(const GError *error)
{
    using Kind = GraphProblem::Kind;
    struct Known
    {
        GQuark domain;
        gint code;
        Kind kind;
    };
    const Known known[] = {
        {GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_NOT_FOUND, Kind::NotFound},
        {GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_OPEN_READ, Kind::Unreadable},
        {GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_OPEN_READ_WRITE, Kind::Unreadable},
        {GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_READ, Kind::Unreadable},
        {GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_NOT_AUTHORIZED, Kind::Unreadable},
        {GST_STREAM_ERROR, GST_STREAM_ERROR_TYPE_NOT_FOUND, Kind::UnknownType},
        {GST_STREAM_ERROR, GST_STREAM_ERROR_CODEC_NOT_FOUND, Kind::MissingDecoder},
        {GST_STREAM_ERROR, GST_STREAM_ERROR_DEMUX, Kind::Damaged},
        {GST_STREAM_ERROR, GST_STREAM_ERROR_DECODE, Kind::Damaged},
        {GST_STREAM_ERROR, GST_STREAM_ERROR_FORMAT, Kind::Damaged},
        {GST_STREAM_ERROR, GST_STREAM_ERROR_WRONG_TYPE, Kind::Damaged},
        {GST_CORE_ERROR, GST_CORE_ERROR_MISSING_PLUGIN, Kind::MissingDecoder},
    };
    for (const Known &k : known) {
        if (error->domain == k.domain && error->code == k.code)
            return k.kind;
    }
    return Kind::Other;
}

} // namespace

void GstGraphCore::noteProblem(GstMessage *message)
{
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
        GError *error = nullptr;
        gst_message_parse_error(message, &error, nullptr);
        if (!error)
            return;
        qCDebug(lcGraph) << "graph error:" << error->message;
        GraphProblem p;
        p.kind = kindOf(error);
        p.detail = QString::fromUtf8(error->message);
        g_clear_error(&error);
        std::lock_guard<std::mutex> lock(mutex);
        if (!firstError)
            firstError = p;
        return;
    }
    // A decoder that is not installed: the stream stays unrendered while
    // the others play, so this is the only sign of it.
    gchar *description = gst_missing_plugin_message_get_description(message);
    const GstStructure *s = gst_message_get_structure(message);
    const GValue *detail = gst_structure_get_value(s, "detail");
    QString type;
    if (detail && G_VALUE_HOLDS(detail, GST_TYPE_CAPS)) {
        const GstCaps *caps = gst_value_get_caps(detail);
        if (caps && gst_caps_get_size(caps) > 0)
            type = QString::fromUtf8(gst_structure_get_name(gst_caps_get_structure(caps, 0)));
    }
    const QString text = QString::fromUtf8(description ? description : "");
    g_free(description);
    std::lock_guard<std::mutex> lock(mutex);
    QStringList &list = type.startsWith(QLatin1String("audio/")) ? missingAudio : missingVideo;
    if (!text.isEmpty() && !list.contains(text))
        list << text;
}

GraphProblem GstGraphCore::problem()
{
    using Kind = GraphProblem::Kind;
    GraphProblem p;
    std::optional<GraphProblem> error;
    {
        std::lock_guard<std::mutex> lock(mutex);
        p.missingVideo = missingVideo;
        p.missingAudio = missingAudio;
        error = firstError;
    }
    const bool missing = !p.missingVideo.isEmpty() || !p.missingAudio.isEmpty();
    if (sourceProblem != Kind::None) {
        p.kind = sourceProblem;
        p.fatal = true;
    } else if (failed) {
        p.fatal = true;
        if (missing)
            p.kind = Kind::MissingDecoder;
        else if (error)
            p.kind = error->kind;
        // decodebin now and then drops the error a demuxer posts while it
        // is still being set up (an MP4 file cut off before its index): a
        // local file that never prerolls is one it could not read. An
        // address simply did not answer.
        else if (timedOut)
            p.kind = localFile ? Kind::Damaged : Kind::NoAnswer;
        else
            p.kind = Kind::NoStreams;
    } else if (missing) {
        p.kind = Kind::MissingDecoder;
    }
    if (error)
        p.detail = error->detail;
    return p;
}

bool GstGraphCore::setState(GstState state)
{
    if (!pipeline || failed)
        return false;
    return gst_element_set_state(pipeline, state) != GST_STATE_CHANGE_FAILURE;
}

bool GstGraphCore::seek(double rateValue, double seconds)
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

std::optional<double> GstGraphCore::duration()
{
    gint64 value = 0;
    if (!pipeline || failed || !gst_element_query_duration(pipeline, GST_FORMAT_TIME, &value) ||
        value < 0)
        return std::nullopt;
    return double(value) / GST_SECOND;
}

std::optional<int> GstGraphCore::videoDimension(const char *field)
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
