#pragma once

#include "graph/filterbrowser.h"

#include <functional>

// Builds the graph for one medium the way the player always has: the source
// filter, then the chosen renderer, then Render on the source's pin (or on
// both pins of a two-pin source), steering the filter and pin lists to pick
// the pins.
struct GraphBuildRequest
{
    QString fileOrUrl;
    // The registered name of the renderer to insert before rendering.
    QString rendererName;
    // Render the first pin of an AviSynth script (its audio) as well.
    bool avsAudio = true;
};

namespace GraphBuilder {

// The message shown when the renderer cannot be inserted, for a source with
// one pin and with two pins.
QString rendererMessage(bool twoPins);

// Runs the building steps on a new, empty graph. Any failing step is
// skipped; showMessage is called (at most once) when the renderer cannot be
// inserted, and building goes on with the system's default renderer.
void build(FilgraphManager &graph, FilterBrowser &browser, const GraphBuildRequest &request,
           const std::function<void(const QString &)> &showMessage);

} // namespace GraphBuilder
