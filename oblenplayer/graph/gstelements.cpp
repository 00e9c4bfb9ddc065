#include "gstelements.h"

namespace gstutil {

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

// Listed in its children's place, as a graph would show them.
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

} // namespace gstutil
