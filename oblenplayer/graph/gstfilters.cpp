#include "gstfilters.h"

#include "gstelements.h"
#include "gstgraphcore.h"

using namespace gstutil;

namespace {

using Core = GstGraphCore;

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
    bool Works() override { return m_core->settleRenderer(m_element); }
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
    std::shared_ptr<IFilterInfo> Filter() override { return insert(true); }
    std::shared_ptr<IFilterInfo> StartFilter() override { return insert(false); }

private:
    std::shared_ptr<IFilterInfo> insert(bool wait)
    {
        std::shared_ptr<Core> core = m_core.lock();
        if (!core)
            return nullptr;
        GstElement *element = core->insert(m_name);
        if (!element || (wait && !core->settleRenderer(element)))
            return nullptr;
        return std::make_shared<GstFilterInfo>(core, element);
    }

    std::weak_ptr<Core> m_core;
    QString m_name;
};

} // namespace

std::shared_ptr<IFilterInfo> makeFilterInfo(std::shared_ptr<GstGraphCore> core, GstElement *element)
{
    return std::make_shared<GstFilterInfo>(std::move(core), element);
}

std::shared_ptr<IRegFilterInfo> makeRegFilterInfo(std::weak_ptr<GstGraphCore> core,
                                                  const QString &factory)
{
    return std::make_shared<GstRegFilterInfo>(std::move(core), factory);
}

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
