#pragma once
// The cost of a request: the time at the hourly rate plus the additional
// charge, never less than the minimum charge.
#include "db/currency.h"

namespace cvd {

// hours x rate and minutes x rate / 60, each converted to money (to the
// nearest ten-thousandth), plus the additional charge; raised to `minimum`
// when below it, also when no time was spent.  The boxes hold hours,
// minutes and the charge as single-precision numbers, hence the floats.
// Error 6 when the amount is out of range.
Currency requestCost(float hours, float minutes, float addCharge, Currency hourlyRate, Currency minimum);

class Database;

// The hourly rate and the minimum charge as the Settings record holds them
// now, into DefaultHourlyRate and DefaultMinCharge: every desk costs with
// the stored values, also after another desk changed them.  An empty field
// is no amount, and leaves the one held (as the defaults window leaves it);
// without a Settings record both stay as they are.
void readCostingValues(Database& db);

} // namespace cvd
