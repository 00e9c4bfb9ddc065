#pragma once

#include "graph/filgraph.h"

#include <QString>

#include <optional>

// The texts of the five status panels, from the values the graph answers.
namespace StatusText {

// Panel 1: "재생시간: " position "/" duration.
QString playTime(const QString &position, const QString &duration);
// Panel 2: the video area in pixels.
QString size(int width, int height);
// Panel 3: volume in hundredths of a dB.
QString volume(long volume);
// Panel 4: the ends and the middle by name, anything else as the number.
QString balance(long balance);
// Panel 5: playback rate.
QString rate(double rate);

// What the status display says about a medium that does not play: in
// panel 1, in place of the empty times, when nothing plays; in the panel of
// the missing part (2, the picture, or 3, the sound) when the rest plays.
struct Problem
{
    int panel = 1;
    QString text;
};
std::optional<Problem> problem(const GraphProblem &problem);

} // namespace StatusText
