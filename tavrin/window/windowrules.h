#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

// The main window's geometry rules and small input rules, free of widgets so
// that they can be checked without a display. Sizes are logical pixels.
namespace WindowRules {

// The smallest client area: 320 pixels wide, and tall enough for both bars.
QSize minimumClientSize(int statusBarHeight, int bottomBarHeight);

// Where the video frame lies in a client area of that size: between the bars
// when the window has its border and shows them, over the whole area when it
// is borderless or minimal (the bars then appear over the picture).
QRect videoFrameRect(QSize client, bool borderless, bool minimal, int statusBarHeight,
                     int bottomBarHeight);

// The bottom strip that brings the bars up in minimal and borderless modes:
// the bottom bar's height, the whole width.
QRect hoverZoneRect(QSize client, int bottomBarHeight);

// The client size for a window that shows the source at `factor` times its
// size, one source pixel to one device pixel, plus the bars unless minimal.
// None when the source size is unknown, not a size, or one that no window
// can have (a broken stream's 2147483647).
std::optional<QSize> clientSizeForFactor(const QString &sourceWidth, const QString &sourceHeight,
                                         double factor, double devicePixelRatio, bool minimal,
                                         int barsHeight);

// Whether the always-on-top choice wants the windows on top: item 0 always,
// item 1 only while playing, item 2 never; none checked leaves them as they are.
std::optional<bool> alwaysOnTopWanted(std::optional<int> checkedItem, const QString &playState);

// The wheel as volume steps. Only vertical turns count, and one step is
// 120 units of accumulated delta (a notch of a classic wheel), so a
// high-resolution wheel or a touchpad that sends many small deltas per notch
// steps once per notch too.
class WheelSteps
{
public:
    static constexpr int unitsPerStep = 120;

    // Adds a delta; the steps it completes, positive away from the user.
    int add(int verticalDelta);

private:
    int m_pending = 0;
};

// Hides the pointer in full screen once it has rested: fed the pointer's
// horizontal position at every tick, it says whether to hide it.
class CursorIdle
{
public:
    static constexpr int tickMs = 100;
    static constexpr int hideAfterMs = 900;

    // True when the pointer should be hidden after this tick.
    bool tick(int pointerX);
    void reset() { m_idleMs = 0; }
    int idleMs() const { return m_idleMs; }

private:
    std::optional<int> m_lastX;
    int m_idleMs = 0;
};

} // namespace WindowRules
