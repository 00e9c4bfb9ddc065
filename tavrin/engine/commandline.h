#pragma once

#include "enginelaunch.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class OptionStore;
class PlayerState;

// What the command line needs from outside the state record and the options.
struct LaunchEnvironment
{
    QString enginePath;
    QString windowId;         // "-wid": the video window's X11 id, decimal
    QString colourKey;        // "-colorkey": the video window's background, decimal COLORREF
    QString desktopWindowId;  // the X11 root window, for desktop mode
    QString subtitleStylePath;
    QString processorCount = QStringLiteral("1");
    QString subtitleCodePage = QStringLiteral("cp949");
    // A file beside the medium would hold the engine: no subtitle files
    // are loaded by the engine itself ("-noautosub").
    bool noSubtitleAutoload = false;
    // Whether mediaPathField names a file that exists: such a path is always
    // a file, even when it reads like a DVD source.
    bool mediaIsExistingFile = false;
    // The device paths of the optical drives the program listed ("/dev/sr0").
    QStringList opticalDrives;
};

// One piece of the command line: its text in the log, and the arguments
// it stands for.
struct CommandLinePiece
{
    QString text;
    QStringList arguments;
};

// The text between the first "(" and the following ")" of a caption: the
// video driver of a videoOutputMenu item, the code of a filter item.
QString textInParentheses(const QString &caption);

// The media argument as the engine must get it: a path that would read as
// an option gets "./" in front.
QString mediaArgument(const QString &mediaPath);

// The engine arguments of a DVD source in the one form the program builds
// for a drive of its list: "dvdnav://" or "dvd://", " -dvd-device " and the
// drive's path. Any other text, whatever it begins with, gives nothing: it is
// one argument like every other medium, so that a typed or passed text can
// never smuggle options to the engine.
std::optional<QStringList> dvdDriveArguments(const QString &mediaPath, const QStringList &drives);

// The video and audio filter chains and the decoder options, as they follow
// " -vf ", " -af " and " -lavdopts ".
QString videoFilterChain(const OptionStore &options);
QString audioFilterChain(const PlayerState &state, const OptionStore &options);
QString decoderOptions(const OptionStore &options, const QString &processorCount);

// The pieces of the engine command line, in their order; pieces whose
// condition fails are empty.
QList<CommandLinePiece> commandLinePieces(const PlayerState &state, const OptionStore &options,
                                          const LaunchEnvironment &environment);

// The engine's argument list and its display text for the current state.
EngineLaunch buildEngineLaunch(const PlayerState &state, const OptionStore &options,
                               const LaunchEnvironment &environment);

// The subtitle style file: the header, the style values joined by ",", the
// border style "1", the alignment "2" and CR LF. CR, LF and "," are dropped
// from each value.
QString subtitleStyleText(const PlayerState &state);
