#include "aspect.h"

#include "vbnumber.h"

#include <cmath>

namespace {
const QString fillScreen = QStringLiteral("꽉찬 화면");

// Nearest multiple of 4, halves away from zero.
int multipleOfFour(double value)
{
    return 4 * static_cast<int>(std::round(value / 4.0));
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

    const int widthForFullHeight = multipleOfFour(frameH * (w / h));
    const int heightForFullWidth = multipleOfFour(frameW * (h / w));
    // Ratios compared to two decimals, so a picture within a hair of the
    // frame's ratio fills it exactly.
    const long long picture = static_cast<long long>(std::floor(w / h * 100.0));
    const long long frame = static_cast<long long>(std::floor(frameW / frameH * 100.0));
    if (picture > frame)
        result.size = QSize(input.frame.width(), heightForFullWidth);
    else if (frame > picture)
        result.size = QSize(widthForFullHeight, input.frame.height());
    return result;
}
