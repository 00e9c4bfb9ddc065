#pragma once

#include <QString>

// The main window's display modes and which change a request makes. The
// window is either windowed (its sizable border; the bars shown or, minimal,
// hidden) or borderless over its whole screen (full screen keeps the
// picture's ratio, fill screen stretches it).
namespace DisplayMode {

// fullScreenStateField's two values.
inline const QString fullScreen = QStringLiteral("전체 화면");
inline const QString fillScreen = QStringLiteral("꽉찬 화면");

enum class Mode
{
    Normal,
    Minimal,
    FullScreen,
    FillScreen
};

enum class Request
{
    // The middle button over the picture, and the hidden procedure itself.
    ToggleFullScreen,
    // Enter and the "전체 화면" entries.
    ExternalFullScreen,
    // Ctrl+Enter and the "꽉찬 화면" entries.
    ExternalFillScreen,
    // A window-size key or entry: it first returns a borderless window.
    SizeFactor
};

enum class Step
{
    None,
    // Take off the border and cover the screen.
    EnterFullScreen,
    EnterFillScreen,
    // Put the border back and return to the saved place and size.
    Leave,
    // Borderless already: only the picture's rule changes.
    SwitchToFullScreen,
    SwitchToFillScreen
};

// What a request does, from whether the window is borderless and the
// current fullScreenStateField.
Step stepFor(Request request, bool borderless, const QString &fullScreenState);

Mode modeOf(bool borderless, const QString &fullScreenState, bool minimal);

// The mode a step leads to (minimal: which windowed mode a window returns to).
Mode modeAfter(Mode mode, Step step, bool minimal);

} // namespace DisplayMode
