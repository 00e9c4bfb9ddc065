#pragma once

#include "mprisplayer.h"

#include <QString>

// The values the desktop's media controls speak in, from the players' own.

// Seconds as the bus's microseconds; 0 for what is not a number.
qint64 mprisMicroseconds(double seconds);
// The status as the bus spells it.
QString mprisStatusText(MprisPlayer::Status status);
// A medium's path or address as xesam:url: an address stays as it is, a
// file becomes a file:// URI of its bytes (any file name, UTF-8 or not).
QString mprisUrlOf(const QString &pathOrAddress);
// A volume in hundredths of a dB (silenceAt and below: silent, 0: full) as
// the amplitude 0..1 the desktop shows, and back, so that the desktop's
// half is half the loudness a listener hears at full volume.
double mprisAmplitudeOf(int hundredthsDb, int silenceAt);
int mprisHundredthsDbOf(double amplitude, int silenceAt);
