#pragma once
// The formats the windows and reports show: money in the system's currency
// format and dates inside SQL texts.  The conversions of texts to numbers
// and dates, and the short date, belong to the values of the engine (the
// engine converts an assigned text exactly as a box does); they are
// offered here too, so that a window includes one header.
#include "db/currency.h"
#include "db/datetext.h"
#include "db/locale.h"
#include "db/numbertext.h"

#include <QDate>
#include <QString>

namespace cvd::fmt {

// "currency": symbol, thousands separators, two decimals ($1,234.50; ($3.00) negative in en_US).
QString currency(Currency c);
// The amount as currency() shows it: to the cent, halves away from zero
// ($10.005 shows, and is, $10.01).  Totals add the amounts as shown, so
// that a reader who adds the printed figures finds the printed total.
Currency asShown(Currency c);
// A date inside an SQL text: "mm/dd/yyyy" (03/05/1998), the year always in
// four digits so that no century is guessed; empty for an invalid date.
QString sqlDate(const QDate& d);

} // namespace cvd::fmt
