#include "decimaltext.h"

#include <cmath>

QString plainDecimal(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    QString text = QString::number(value, 'g', 15);
    if (!text.contains(QLatin1Char('e')))
        return text == QLatin1String("-0") ? QStringLiteral("0") : text;
    // Very small or very large: the same digits written out in full.
    const double rounded = text.toDouble();
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(rounded))));
    text = QString::number(rounded, 'f', exponent < 0 ? 14 - exponent : 0);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text;
}
