#pragma once

#include "enginelaunch.h"

#include <QString>

class OptionStore;
class PlayerState;

// What the command line needs from outside the state record and the options.
struct LaunchEnvironment
{
    QString enginePath;
    QString windowId;  // "-wid": the video window's X11 id, decimal
    QString colourKey; // "-colorkey": the video window's background, decimal COLORREF
};

// The text between the first "(" and the following ")" of a caption: the
// video driver of a videoOutputMenu item, the code of a filter item.
QString textInParentheses(const QString &caption);

// The media argument as the engine must get it: a DVD specification as it
// is, a path that would read as an option with "./" in front.
QString mediaArgument(const QString &mediaPath);

// The engine's argument list and its display text for the current state.
EngineLaunch buildEngineLaunch(const PlayerState &state, const OptionStore &options,
                               const LaunchEnvironment &environment);
