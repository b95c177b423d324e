#include "base/costing.h"

namespace cvd {

Currency requestCost(float hours, float minutes, float addCharge, Currency hourlyRate, Currency minimum)
{
    const double rate = hourlyRate.toDouble();
    const Currency time = Currency::fromDouble(double(hours) * rate);
    const Currency part = Currency::fromDouble(double(minutes) * rate / 60.0);
    const Currency extra = Currency::fromDouble(double(addCharge));
    const Currency total = time + part + extra;
    return total < minimum ? minimum : total;
}

} // namespace cvd
