#include "windowrules.h"

#include "state/playerstate.h"
#include "state/vbnumber.h"

#include <cmath>

namespace WindowRules {

namespace {
// Qt's largest widget size (QWIDGETSIZE_MAX); a factor may not take a window
// past it.
constexpr double largestSide = 16777215.0;

int side(double pixels)
{
    return static_cast<int>(std::lround(std::min(pixels, largestSide)));
}
} // namespace

QSize minimumClientSize(int statusBarHeight, int bottomBarHeight)
{
    return QSize(320, statusBarHeight + bottomBarHeight);
}

QRect videoFrameRect(QSize client, bool borderless, bool minimal, int statusBarHeight,
                     int bottomBarHeight)
{
    if (borderless || minimal)
        return QRect(QPoint(0, 0), client);
    return QRect(0, statusBarHeight, client.width(),
                 std::max(0, client.height() - statusBarHeight - bottomBarHeight));
}

QRect hoverZoneRect(QSize client, int bottomBarHeight)
{
    return QRect(0, client.height() - bottomBarHeight, client.width(), bottomBarHeight);
}

std::optional<QSize> clientSizeForFactor(const QString &sourceWidth, const QString &sourceHeight,
                                         double factor, double devicePixelRatio, bool minimal,
                                         int barsHeight)
{
    if (sourceWidth.isEmpty() || sourceHeight.isEmpty())
        return std::nullopt;
    const double width = vbVal(sourceWidth);
    const double height = vbVal(sourceHeight);
    if (!(width > 0) || !(height > 0) || !(devicePixelRatio > 0))
        return std::nullopt;
    // A side no window can have is a broken stream's nonsense, not a video.
    if (width > largestSide || height > largestSide)
        return std::nullopt;
    const double scale = factor / devicePixelRatio;
    return QSize(side(width * scale), side(height * scale + (minimal ? 0 : barsHeight)));
}

std::optional<bool> alwaysOnTopWanted(std::optional<int> checkedItem, const QString &playState)
{
    if (!checkedItem)
        return std::nullopt;
    switch (*checkedItem) {
    case 0:
        return true;
    case 1:
        return playState == PlayState::playing;
    case 2:
        return false;
    default:
        return std::nullopt;
    }
}

int WheelSteps::add(int verticalDelta)
{
    if (verticalDelta == 0)
        return 0;
    // A turn the other way starts afresh: what was left of the old direction
    // must not swallow the new one.
    if ((m_pending > 0 && verticalDelta < 0) || (m_pending < 0 && verticalDelta > 0))
        m_pending = 0;
    m_pending += verticalDelta;
    const int steps = m_pending / unitsPerStep;
    m_pending -= steps * unitsPerStep;
    return steps;
}

bool CursorIdle::tick(int pointerX)
{
    // Only the horizontal position counts, as it always has for this player.
    if (m_lastX != pointerX)
        m_idleMs = 0;
    else
        m_idleMs += tickMs;
    m_lastX = pointerX;
    if (m_idleMs >= hideAfterMs) {
        m_idleMs = hideAfterMs;
        return true;
    }
    return false;
}

} // namespace WindowRules
