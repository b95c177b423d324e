#pragma once
// Dates as texts, by the locale in force: the date test, reading what a user
// typed, the short date the program shows, and the one rule for two-digit
// years that every date text follows.
#include <QDate>
#include <QString>

namespace cvd::fmt {

// The date test: 3/5/98, 3/5/1998, March 5, 1998, 1998-03-05 and the
// locale's own short and long formats.
bool isDate(const QString& text);
// Error 13 for a text that is not a date.
QDate toDate(const QString& text);

// "short date": the system's short date format, with the year in four
// digits (3/5/1998 in en_US).
QString shortDate(const QDate& d);
// The locale's long date with the day's name ("Tuesday, March 5, 1998" in
// en_US): how a date is read aloud.
QString longDate(const QDate& d);

// Two-digit years: 30-99 are 19xx, 00-29 are 20xx.
int expandTwoDigitYear(int yy);

} // namespace cvd::fmt
