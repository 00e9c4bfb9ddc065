#pragma once

#include <QString>

#include <gst/gst.h>

#include <utility>

// Small helpers over GStreamer elements and pads for the graph layer.
namespace gstutil {

// Owns one reference to a GstObject.
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

QString factoryName(GstElement *element);
QString factoryKlass(GstElement *element);
bool isSinkOrSource(GstElement *element);
// A bin that is neither a sink nor a source (decodebin) is not a filter of
// its own: its children are listed in its place.
bool isFlattened(GstElement *element);
bool isVideoRenderer(GstElement *element);
bool isAudioRenderer(GstElement *element);
// The structure name of the first caps structure; empty for none or ANY.
QString capsName(const GstCaps *caps);
// The element owning a pad, with a reference; nullptr for none.
GstElement *padOwner(GstPad *pad);
// The peer of a pad as the filter listing shows it, with a reference.
GstPad *listedPeer(GstPad *pad);

} // namespace gstutil
