#pragma once
// The locale in force for every conversion between texts and values: what a
// user types is read by its rules, and numbers and dates are shown by them.
// It is the system locale, with United States conventions where the system
// has C/POSIX; the tests pin en_US with setLocale.
#include <QLocale>
#include <QString>

namespace cvd::fmt {

const QLocale& locale();
void setLocale(const QLocale& l);
// Grows with every setLocale, so that what is made for a locale (the
// collation of names) is made again for the next.
int localeSerial();
// The system locale, or en_US where the system has C/POSIX.
QLocale systemLocale();

// A blank of any kind, the no-break ones included.
bool isBlank(QChar c);
// The text without blanks of any kind at either end.
QString trimmedBlanks(const QString& s);

} // namespace cvd::fmt
