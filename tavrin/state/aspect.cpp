#include "aspect.h"

#include "vbnumber.h"

#include <cmath>
#include <limits>
#include <optional>

namespace {
const QString fillScreen = QStringLiteral("꽉찬 화면");

// Nearest multiple of 4, halves away from zero; nothing when it is no size
// a window can have.
std::optional<int> multipleOfFour(double value)
{
    const std::optional<int> quarters = wholeInt(std::round(value / 4.0));
    if (!quarters || *quarters > std::numeric_limits<int>::max() / 4 ||
        *quarters < std::numeric_limits<int>::min() / 4)
        return std::nullopt;
    return 4 * *quarters;
}
} // namespace

AspectResult applyAspect(const AspectInput &input)
{
    AspectResult result{input.frame, false};
    if (input.sourceWidth.isEmpty() || input.sourceHeight.isEmpty())
        return result;
    if (input.fullScreenState == fillScreen || input.fillScreenFlag == QLatin1String("1") ||
        input.aspectItem == keepNoRatioItem) {
        result.stretched = true;
        return result;
    }

    double w = vbVal(input.sourceWidth);
    double h = vbVal(input.sourceHeight);
    switch (input.aspectItem.value_or(0)) {
    case 1:
        w = 4, h = 3;
        break;
    case 2:
        w = 16, h = 9;
        break;
    case 3:
        w = 1.85, h = 1;
        break;
    case 4:
        w = 2.35, h = 1;
        break;
    default:
        break;
    }
    const double frameW = input.frame.width();
    const double frameH = input.frame.height();
    // A source or frame without area has no ratio: fill the frame.
    if (w <= 0 || h <= 0 || frameW <= 0 || frameH <= 0)
        return result;

    // Ratios compared to two decimals, so a picture within a hair of the
    // frame's ratio fills it exactly. Compared as doubles: a source size the
    // engine printed absurdly large ("ID_VIDEO_WIDTH=1e300") makes a ratio no
    // integer holds. Only the side that is actually computed can then be too
    // large, and a size that does not fit leaves the frame as it is.
    const double picture = std::floor(w / h * 100.0);
    const double frame = std::floor(frameW / frameH * 100.0);
    if (picture > frame) {
        if (const std::optional<int> height = multipleOfFour(frameW * (h / w)))
            result.size = QSize(input.frame.width(), *height);
    } else if (frame > picture) {
        if (const std::optional<int> width = multipleOfFour(frameH * (w / h)))
            result.size = QSize(*width, input.frame.height());
    }
    return result;
}
