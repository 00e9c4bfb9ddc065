#pragma once

#include <QString>

// Numbers read from the state record's text fields. A text that is not a
// number reads as its leading numeric part, else 0 ("12abc" is 12, "abc" and
// "" are 0); blanks before and inside the number are skipped, as the
// program's number reading always did. Never depends on the user's locale:
// the decimal point is ".".
double vbVal(const QString &text);

// Whether the text reads as the number zero (an empty text does).
inline bool isZeroValue(const QString &text)
{
    return vbVal(text) == 0.0;
}
