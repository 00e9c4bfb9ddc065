#pragma once

#include <QString>

// Seconds text (as stored in the elapsed and duration fields) to the display
// text HH:MM:SS.t, at most 10 characters. A position of whole seconds gets
// ".0" added; a duration keeps its short form. An empty source gives an
// empty text.
QString positionText(const QString &seconds);
QString durationText(const QString &seconds);
