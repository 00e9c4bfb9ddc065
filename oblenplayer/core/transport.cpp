#include "transport.h"

#include "common/decimaltext.h"

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
    // The number the text starts with, as Val() reads it: blanks, a sign,
    // digits with at most one point, an exponent only when digits follow.
    // Scanned by hand: this runs on every position tick.
    const qsizetype n = text.size();
    auto digit = [&](qsizetype i) {
        return i < n && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9');
    };
    qsizetype i = 0;
    while (i < n && text.at(i).isSpace())
        ++i;
    const qsizetype start = i;
    if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        ++i;
    qsizetype digits = 0;
    for (; digit(i); ++i)
        ++digits;
    if (i < n && text.at(i) == QLatin1Char('.'))
        for (++i; digit(i); ++i)
            ++digits;
    if (digits == 0)
        return 0.0;
    if (i < n && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        qsizetype e = i + 1;
        if (e < n && (text.at(e) == QLatin1Char('-') || text.at(e) == QLatin1Char('+')))
            ++e;
        if (digit(e)) {
            while (digit(e))
                ++e;
            i = e;
        }
    }
    return QStringView(text).mid(start, i - start).toDouble();
}

} // namespace Transport
