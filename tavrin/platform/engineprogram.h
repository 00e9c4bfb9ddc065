#pragma once

#include <QString>

// Where the engine is: the file named by TAVRIN_MPLAYER when that is set
// (even when it does not exist: the run then fails and the window stays
// stopped); "mplayer/mplayer" under the program folder for a portable
// install; otherwise mplayer from PATH.
QString locateEngine(const QString &programFolder);
