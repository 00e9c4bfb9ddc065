#include "transport.h"

#include "common/decimaltext.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace Transport {

long wholeSeconds(double seconds)
{
    return std::lround(seconds);
}

bool playRestartsFromStart(double position, double duration)
{
    return wholeSeconds(position) == wholeSeconds(duration);
}

double jumpTarget(double position, double delta, double duration)
{
    const double target = position + delta;
    if (target < 0)
        return 0;
    if (target > duration)
        return duration;
    return target;
}

int steppedVolume(int volume, int delta)
{
    return std::clamp(volume + delta, volumeMinimum, volumeMaximum);
}

int wheelVolume(int volume, int notches)
{
    // Steps from the dB value the label shows, fractions included.
    const double db =
        std::clamp(volume / 100.0 + 5.0 * notches, volumeMinimum / 100.0, volumeMaximum / 100.0);
    return int(std::lround(db * 100.0));
}

std::optional<QString> seekTarget(int xPixels, int widthPixels, double duration)
{
    const double x = double(xPixels) * twipsPerPixel;
    const double usable = double(widthPixels) * twipsPerPixel - 2 * seekSliderMarginTwips;
    if (usable <= 0)
        return std::nullopt;
    return oneDecimal((x - seekSliderMarginTwips) / usable * duration);
}

QString doubleText(double value)
{
    // The time texts are cut from this text by position: never an exponent.
    return plainDecimal(value);
}

QString oneDecimal(double value)
{
    const double rounded = std::round(value * 10.0) / 10.0;
    return QString::number(rounded == 0.0 ? 0.0 : rounded, 'f', 1);
}

double textValue(const QString &text)
{
    static const QRegularExpression leadingNumber(
        QStringLiteral("^\\s*[-+]?(\\d+\\.?\\d*|\\.\\d+)([eE][-+]?\\d+)?"));
    const QRegularExpressionMatch match = leadingNumber.match(text);
    return match.hasMatch() ? match.captured(0).trimmed().toDouble() : 0.0;
}

} // namespace Transport
