#pragma once

#include <QString>

// A number as plain decimal text, as both players write times, rates and
// delays: rounded to 15 significant digits (0.1 + 0.2 gives "0.3"), trailing
// zeros dropped, never with an exponent (a tiny position stays "0.0000999",
// not "9.99e-05"), "-0" and what is not finite as "0".
QString plainDecimal(double value);
