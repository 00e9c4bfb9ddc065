#pragma once

// Makes the decoders of one stream type unavailable for as long as it lives,
// the way a system without them is: their rank drops below what decodebin
// takes. A decodebin made afterwards finds none; the ranks come back at the
// end.
#include <gst/gst.h>

#include <utility>
#include <vector>

class HiddenDecoders
{
public:
    explicit HiddenDecoders(const char *caps)
    {
        GstCaps *wanted = gst_caps_from_string(caps);
        GList *decoders =
            gst_element_factory_list_get_elements(GST_ELEMENT_FACTORY_TYPE_DECODER, GST_RANK_NONE);
        GList *taking = gst_element_factory_list_filter(decoders, wanted, GST_PAD_SINK, FALSE);
        for (GList *l = taking; l; l = l->next) {
            auto *feature = GST_PLUGIN_FEATURE(gst_object_ref(l->data));
            m_ranks.emplace_back(feature, gst_plugin_feature_get_rank(feature));
            gst_plugin_feature_set_rank(feature, GST_RANK_NONE);
        }
        gst_plugin_feature_list_free(taking);
        gst_plugin_feature_list_free(decoders);
        gst_caps_unref(wanted);
    }
    ~HiddenDecoders()
    {
        for (auto &[feature, rank] : m_ranks) {
            gst_plugin_feature_set_rank(feature, rank);
            gst_object_unref(feature);
        }
    }
    HiddenDecoders(const HiddenDecoders &) = delete;
    HiddenDecoders &operator=(const HiddenDecoders &) = delete;
    size_t count() const { return m_ranks.size(); }

private:
    std::vector<std::pair<GstPluginFeature *, guint>> m_ranks;
};
