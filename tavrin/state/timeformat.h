#pragma once

#include <QString>
#include <optional>

class PlayerState;

// The one time format of the player: hours:minutes:seconds.tenth, each part
// two digits, "00:00:00.0" for an empty text. Under a minute the seconds keep
// the digits the engine printed and are cut to one decimal (45.25 shows
// 00:00:45.2); from a minute on they are rounded (75.26 shows 00:01:15.3).
// A text that is not a finite number, or one too large to count its minutes,
// gives nothing: the caller keeps its last text.
std::optional<QString> formatTime(const QString &seconds);

// Reads the length from the first complete "ID_LENGTH=" line of the engine
// output into totalSecondsField and shows it in totalTimeLabel. Without such
// a line both keep what they hold.
void parseDuration(PlayerState &state);

// The frame shown at a position: seconds times frames per second as a whole
// number, empty for frame 0 or a rate that is not a number.
QString frameNumberText(double seconds, const QString &frameRate);
