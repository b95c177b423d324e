#pragma once
// Numbers and money as texts, by the locale in force: the numeric test,
// reading what a user typed, and the plain text of a number.  These are the
// conversions of the value type and of every box that takes a number.
#include "db/currency.h"

#include <QString>

namespace cvd::fmt {

// The numeric test: what a user may type as a number in the locale
// (signs, decimals, thousands separators, the currency symbol, parentheses
// for a negative amount).  The empty text is not a number.
bool isNumeric(const QString& text);

// Reading text; error 13 for a text that is not a number, 6 for an overflow.
double toDouble(const QString& text);
float toSingle(const QString& text);
// Exact: the text's decimal digits to ten-thousandths, halves to even.
Currency toCurrency(const QString& text);

// A number as plain text, the way the program shows Hours and Minutes (1.5, 0, 12).
QString numberText(double d);
QString numberText(float f);

} // namespace cvd::fmt
