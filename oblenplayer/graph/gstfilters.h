#pragma once

#include "graph/filgraph.h"

#include <gst/gst.h>

class GstGraphCore;

// The graph's filters, pins and registered filters as the player sees them:
// elements, pads and element factories.
std::shared_ptr<IFilterInfo> makeFilterInfo(std::shared_ptr<GstGraphCore> core,
                                            GstElement *element);
std::shared_ptr<IRegFilterInfo> makeRegFilterInfo(std::weak_ptr<GstGraphCore> core,
                                                  const QString &factory);
// The filters of a bin, newest first, with a reference each; bins that are
// neither sinks nor sources are replaced by their children.
void collectFilters(GstBin *bin, std::vector<GstElement *> &out);
