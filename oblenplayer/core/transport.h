#pragma once

#include <QString>

#include <optional>

// The player's transport and volume rules as plain functions.
namespace Transport {

constexpr int volumeMinimum = -10000; // hundredths of a dB: silence
constexpr int volumeMaximum = 0;
constexpr int volumeStep = 1000; // the volume buttons: 10 dB
constexpr int balanceMinimum = -10000;
constexpr int balanceMaximum = 10000;
constexpr double jumpSeconds = 5.0;
constexpr double rateStep = 0.1;
// The seek slider's thumb cannot reach its last 120 twips at either end.
constexpr double seekSliderMarginTwips = 120.0;
constexpr int twipsPerPixel = 15;

// Play restarts from 0 when position and duration round to the same second.
bool playRestartsFromStart(double position, double duration);
// A 5 s jump, clamped to 0 and to the duration.
double jumpTarget(double position, double delta, double duration);
// The volume slider after a button (±1000), clamped to its range.
int steppedVolume(int volume, int delta);
// The volume slider after wheel notches: ±5 dB a notch on the dB value the
// label shows, clamped to 0 and -100 dB.
int wheelVolume(int volume, int notches);
// The seek target for the mouse at x on a slider of the given width (both
// pixels), as "0.0" text; none when the slider is too narrow to seek on.
std::optional<QString> seekTarget(int xPixels, int widthPixels, double duration);

// Seconds rounded to whole seconds, halves away from zero.
long wholeSeconds(double seconds);
// A double as the text the player stores: shortest form, "." decimals,
// never an exponent.
QString doubleText(double value);
// The "0.0" number format: one decimal, rounded half away from zero.
QString oneDecimal(double value);
// A text read as a number: its leading numeric part, else 0.
double textValue(const QString &text);

} // namespace Transport
