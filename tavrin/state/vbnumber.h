#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// The number rules the player's texts follow, fixed and independent of the
// user's locale: "." is always the decimal point.

// The leading numeric part of a text, else 0: "12.5kbps" reads 12.5, "" and
// "abc" read 0. Blanks and tabs are skipped wherever they stand.
double vbVal(const QString &text);

// The whole text as a number (blanks around it allowed), or nothing when it
// is empty or not a number. For values that must convert or be skipped.
std::optional<double> strictNumber(const QString &text);

// The whole part of a value (cut towards zero) as a 64-bit integer, or
// nothing when the value is not finite or its whole part does not fit. The
// engine's numbers are input: "ID_LENGTH=1e300" must fail to convert, never
// reach a cast whose result C++ leaves undefined.
std::optional<qint64> wholeInt64(double value);
// The same for an int.
std::optional<int> wholeInt(double value);

// Exactly one decimal, rounded half away from zero: 0.9, 1.0, 100.0.
QString formatOneDecimal(double value);

// A whole number without leading zeros, rounded half away from zero; 0 gives
// an empty text.
QString formatWholeOrEmpty(double value);

// The shortest decimal text with at most 15 significant digits, never with
// an exponent: 0.3, -0.1, 1.2, 0.
QString shortestDecimal(double value);

// Whether the text reads as the number zero (an empty text does).
inline bool isZeroValue(const QString &text)
{
    return vbVal(text) == 0.0;
}
