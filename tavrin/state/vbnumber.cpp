#include "vbnumber.h"

#include "common/decimaltext.h"

#include <cmath>

double vbVal(const QString &text)
{
    QString digits;
    digits.reserve(text.size());
    bool seenDigit = false, seenPoint = false, seenExponent = false;
    for (const QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
            c == QLatin1Char('\r'))
            continue;
        const QChar last = digits.isEmpty() ? QChar() : digits.back();
        if (c.isDigit() && c.unicode() < 128) {
            seenDigit = true;
        } else if ((c == QLatin1Char('-') || c == QLatin1Char('+')) &&
                   (digits.isEmpty() || last == QLatin1Char('e'))) {
        } else if (c == QLatin1Char('.') && !seenPoint && !seenExponent) {
            seenPoint = true;
        } else if ((c == QLatin1Char('e') || c == QLatin1Char('E')) && seenDigit && !seenExponent) {
            seenExponent = true;
            digits += QLatin1Char('e');
            continue;
        } else {
            break;
        }
        digits += c;
    }
    // A trailing exponent mark or sign without digits is not part of the number.
    while (!digits.isEmpty() && !digits.back().isDigit() && digits.back() != QLatin1Char('.'))
        digits.chop(1);
    bool ok = false;
    const double value = digits.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

std::optional<double> strictNumber(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

namespace {
// Whether the whole part of value lies in [low, high). Both bounds are powers
// of two, so they are exact as doubles, and NaN fails every comparison.
bool wholePartWithin(double value, double low, double high)
{
    return std::isfinite(value) && std::trunc(value) >= low && std::trunc(value) < high;
}
} // namespace

std::optional<qint64> wholeInt64(double value)
{
    constexpr double twoTo63 = 9223372036854775808.0;
    if (!wholePartWithin(value, -twoTo63, twoTo63))
        return std::nullopt;
    return static_cast<qint64>(value);
}

std::optional<int> wholeInt(double value)
{
    constexpr double twoTo31 = 2147483648.0;
    if (!wholePartWithin(value, -twoTo31, twoTo31))
        return std::nullopt;
    return static_cast<int>(value);
}

QString formatOneDecimal(double value)
{
    const double tenths = std::round(value * 10.0);
    // Never "-0.0".
    const double rounded = tenths == 0.0 ? 0.0 : tenths / 10.0;
    return QString::number(rounded, 'f', 1);
}

QString formatWholeOrEmpty(double value)
{
    const double whole = std::round(value);
    if (whole == 0.0 || !std::isfinite(whole))
        return QString();
    return QString::number(whole, 'f', 0);
}

QString shortestDecimal(double value)
{
    return plainDecimal(value);
}
