#include "vbnumber.h"

#include <cmath>

double vbVal(const QString &text)
{
    QByteArray digits;
    digits.reserve(text.size());
    int i = 0;
    const int n = static_cast<int>(text.size());
    auto skipBlanks = [&] {
        while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t') ||
                         text[i] == QLatin1Char('\n') || text[i] == QLatin1Char('\r')))
            ++i;
    };
    auto takeDigits = [&] {
        bool any = false;
        for (skipBlanks(); i < n && text[i].isDigit() && text[i].unicode() < 128; skipBlanks()) {
            digits += static_cast<char>(text[i].unicode());
            ++i;
            any = true;
        }
        return any;
    };

    skipBlanks();
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        digits += static_cast<char>(text[i].unicode());
        ++i;
    }
    bool mantissa = takeDigits();
    if (i < n && text[i] == QLatin1Char('.')) {
        digits += '.';
        ++i;
        mantissa = takeDigits() || mantissa;
    }
    if (!mantissa)
        return 0.0;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E') ||
                  text[i] == QLatin1Char('d') || text[i] == QLatin1Char('D'))) {
        const int mark = i;
        const qsizetype kept = digits.size();
        digits += 'e';
        ++i;
        if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
            digits += static_cast<char>(text[i].unicode());
            ++i;
        }
        if (!takeDigits()) {
            i = mark;
            digits.truncate(kept);
        }
    }
    bool ok = false;
    const double value = digits.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}
