#pragma once

#include <QString>

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

} // namespace StatusText
