#pragma once
// Formats and conversions of dates, numbers and money, in one place, over
// the system locale (United States conventions when the system locale is
// C/POSIX).  These are the conversion functions the windows and reports use:
// what a user types is read here, and what a user sees is written here.
#include "core/currency.h"

#include <QDate>
#include <QLocale>
#include <QString>

namespace cvd::fmt {

// The locale in force.  The tests pin en_US with setLocale.
const QLocale& locale();
void setLocale(const QLocale& l);
// The system locale, or en_US where the system has C/POSIX.
QLocale systemLocale();

// "short date": the system's short date format (3/5/1998 in en_US).
QString shortDate(const QDate& d);
// "currency": symbol, thousands separators, two decimals ($1,234.50; ($3.00) negative in en_US).
QString currency(Currency c);
// "mm/dd/yy", used inside SQL texts (03/05/98).
QString mmddyy(const QDate& d);
// A number as plain text, the way the program shows Hours and Minutes (1.5, 0, 12).
QString numberText(double d);
QString numberText(float f);

// The numeric test: what a user may type as a number in the locale
// (signs, decimals, thousands separators, the currency symbol, parentheses
// for a negative amount).  The empty text is not a number.
bool isNumeric(const QString& text);
// The date test: 3/5/98, 3/5/1998, March 5, 1998, 1998-03-05 and the
// locale's own short and long formats.
bool isDate(const QString& text);

// Reading text; error 13 for a text that is not a number or a date, 6 for
// an overflow.
double toDouble(const QString& text);
float toSingle(const QString& text);
Currency toCurrency(const QString& text);
QDate toDate(const QString& text);

// Two-digit years: 30-99 are 19xx, 00-29 are 20xx.
int expandTwoDigitYear(int yy);

} // namespace cvd::fmt
