#pragma once

#include <algorithm>
#include <optional>

// A slider knob that lies over its panel, in the coordinates of the bar that
// holds both: the knob's left edge moves between the panel's left edge and
// the panel's right edge less the knob's width.
struct KnobTrack
{
    int panelLeft = 0;
    int panelWidth = 0;
    int knobWidth = 0;
    int knobLeft = 0;
    // Held down; a released seek knob stays "held" for its release delay.
    bool dragging = false;
    // Where the knob was grabbed, in the knob's own coordinates.
    int grabX = 0;

    int travel() const { return panelWidth - knobWidth; }

    void press(int x)
    {
        dragging = true;
        grabX = x;
    }

    // A move to x (knob coordinates) while held: the grabbed point follows
    // the pointer, the knob stays on the panel. Returns whether it was held.
    bool moveTo(int x)
    {
        if (!dragging)
            return false;
        int left = knobLeft + x - grabX;
        if (left < panelLeft)
            left = panelLeft;
        if (left > panelLeft + travel())
            left = panelLeft + travel();
        knobLeft = left;
        return true;
    }

    // Where the knob stands, 0 at the left end and 1 at the right end.
    std::optional<double> fraction() const
    {
        if (travel() <= 0)
            return std::nullopt;
        return static_cast<double>(knobLeft - panelLeft) / travel();
    }

    // The fraction a release at x on the track stands for, kept between 0
    // and 1: a button pressed on the track may be let go anywhere on the
    // screen, and a target beyond the ends would seek past the medium.
    std::optional<double> trackFraction(int x) const
    {
        if (travel() <= 0)
            return std::nullopt;
        return std::clamp((x - knobWidth / 2.0) / travel(), 0.0, 1.0);
    }

    // The knob's left edge for a fraction of the travel, kept on the panel.
    int leftFor(double ratio) const
    {
        if (travel() <= 0 || !(ratio > 0.0))
            return panelLeft;
        // Clamped before the conversion: a position far past an absurd
        // length gives a ratio no integer holds.
        return panelLeft + static_cast<int>(travel() * std::min(ratio, 1.0));
    }
};
