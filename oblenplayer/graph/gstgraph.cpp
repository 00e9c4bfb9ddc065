#include "gstgraph.h"

#include "gstfilters.h"
#include "gstgraphcore.h"

#include "common/filename.h"

#include <QFile>
#include <QStringList>

#include <gst/audio/streamvolume.h>
#include <gst/gst.h>

#include <algorithm>
#include <cmath>

#include <sys/stat.h>

using namespace graphlimits;

namespace {

// Why a local name cannot become a source. It has to be a regular file (a
// link to one will do): the file source opens on the window's thread, a
// named pipe without a writer blocks that open until something writes,
// which may be never, and a device may block as well or never end; a folder
// or a missing file would only fail later. Any other address is left to the
// source its protocol names. An empty file is opened all the same, to fail
// as the media framework fails it, but is named for what it is.
GraphProblem::Kind localFileProblem(const gchar *uri)
{
    using Kind = GraphProblem::Kind;
    if (!gst_uri_has_protocol(uri, "file"))
        return Kind::None;
    gchar *name = g_filename_from_uri(uri, nullptr, nullptr);
    if (!name)
        return Kind::NotFound;
    struct stat info
    {
    };
    const bool exists = stat(name, &info) == 0;
    g_free(name);
    if (!exists)
        return Kind::NotFound;
    if (!S_ISREG(info.st_mode))
        return Kind::NotAFile;
    return info.st_size == 0 ? Kind::Empty : Kind::None;
}

} // namespace

bool GstFilgraphManager::initialise()
{
    static const bool ok = gst_init_check(nullptr, nullptr, nullptr);
    return ok;
}

GraphStartUp::GraphStartUp(const QString &mediumToOpen)
    : m_thread([loadDecoders = usuallyDecodedByLibav(mediumToOpen)] {
          if (!GstFilgraphManager::initialise() || !loadDecoders)
              return;
          // Not there (no gstreamer1.0-libav): the build finds what it can.
          if (GstPlugin *decoders = gst_plugin_load_by_name("libav"))
              gst_object_unref(decoders);
      })
{
}

bool GraphStartUp::usuallyDecodedByLibav(const QString &fileOrUrl)
{
    static const char *const kinds[] = {"mp4", "m4v",  "m4a", "mov",  "3gp",  "k3g", "mkv", "avi",
                                        "ts",  "m2ts", "mts", "mpg",  "mpeg", "flv", "asf", "wmv",
                                        "wma", "rm",   "ram", "rmvb", "skm",  "aac", "mp3"};
    const QString name = fileOrUrl.section(QLatin1Char('/'), -1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return false;
    const QString extension = name.mid(dot + 1).toLower();
    return std::any_of(std::begin(kinds), std::end(kinds),
                       [&](const char *kind) { return extension == QLatin1String(kind); });
}

GraphStartUp::~GraphStartUp()
{
    m_thread.join();
}

GstFilgraphManager::GstFilgraphManager(std::unique_ptr<RenderWindow> window)
    : m_window(std::move(window)), m_core(std::make_shared<GstGraphCore>())
{
    if (!initialise())
        return;
    m_core->pipeline = gst_pipeline_new(nullptr);
    gst_object_ref_sink(m_core->pipeline);
    m_core->windowHandle = m_window ? m_window->handle() : 0;
    if (m_window)
        m_core->onFirstPicture = [window = m_window.get()]() { window->setVisible(true); };
    gst_bus_set_sync_handler(GST_ELEMENT_BUS(m_core->pipeline), &GstGraphCore::onBusMessage,
                             m_core.get(), nullptr);
}

GstFilgraphManager::~GstFilgraphManager()
{
    // The window goes with this graph; the core may outlive it.
    m_core->onFirstPicture = nullptr;
    // Stops the streaming threads before the window they draw into goes.
    m_core->tearDown();
}

std::shared_ptr<IFilterInfo> GstFilgraphManager::AddSourceFilter(const QString &fileOrUrl)
{
    if (!m_core->pipeline || m_core->source || fileOrUrl.isEmpty())
        return nullptr;
    // A name keeps its bytes (common/filename.h); one that names a file is
    // that file even when it reads as an address ("http://x" in this folder).
    const QByteArray text = fileNameBytes(fileOrUrl);
    gchar *uri = nullptr;
    if (readsAsAddress(fileOrUrl) && gst_uri_is_valid(text.constData()))
        uri = g_strdup(text.constData());
    else
        uri = gst_filename_to_uri(text.constData(), nullptr);
    const GraphProblem::Kind problem = uri ? localFileProblem(uri) : GraphProblem::Kind::NotFound;
    m_core->sourceProblem = problem;
    m_core->localFile = uri && gst_uri_has_protocol(uri, "file");
    if (problem != GraphProblem::Kind::None && problem != GraphProblem::Kind::Empty) {
        g_free(uri);
        return nullptr;
    }
    GstElement *source = gst_element_make_from_uri(GST_URI_SRC, uri, nullptr, nullptr);
    g_free(uri);
    if (!source)
        return nullptr;
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(source), "timeout"))
        g_object_set(source, "timeout", networkTimeoutSeconds, nullptr);
    gst_bin_add(GST_BIN(m_core->pipeline), source);
    m_core->source = source;
    m_core->sourceName = fileOrUrl;
    return makeFilterInfo(m_core, source);
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
        filters.push_back(makeRegFilterInfo(m_core, name));
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
        filters.push_back(makeFilterInfo(m_core, element));
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
    // While a change is under way the answer is where the graph is going.
    // That is the target state, not the pending one: during the preroll
    // that follows every flushing seek a running pipeline is PAUSED with
    // PAUSED pending, and only its target still says PLAYING.
    GstState state = current;
    if (ret == GST_STATE_CHANGE_ASYNC || pending != GST_STATE_VOID_PENDING) {
        GST_OBJECT_LOCK(m_core->pipeline);
        state = GST_STATE_TARGET(m_core->pipeline);
        GST_OBJECT_UNLOCK(m_core->pipeline);
    }
    if (state == GST_STATE_PLAYING)
        return GraphState::Running;
    if (state == GST_STATE_PAUSED && !m_core->stopped)
        return GraphState::Paused;
    return GraphState::Stopped;
}

GraphProblem GstFilgraphManager::Problem()
{
    return m_core->problem();
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
        GstGraphCore::applyVolume(element, volume);
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
    if (panorama == GstGraphCore::panoramaFor(m_core->balance))
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
        GstGraphCore::applyBalance(element, balance);
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
    if (m_window->geometry() == pixels)
        return true;
    m_window->setGeometry(pixels);
    // A sink keeps drawing at the size it negotiated until it is told the
    // window changed.
    m_core->exposeLater();
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
    m_core->exposeLater();
    return true;
}

bool GstFilgraphManager::SetMessageDrain(quintptr window)
{
    return m_window && m_window->setMessageDrain(window);
}

bool GstFilgraphManager::SetVisible(bool visible)
{
    if (!m_window)
        return false;
    m_window->setVisible(visible);
    return true;
}

void GstFilgraphManager::Abort()
{
    m_core->abort();
}

void GstFilgraphManager::ShutDown()
{
    m_core->tearDown();
}
