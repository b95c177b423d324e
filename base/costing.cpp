#include "base/costing.h"

#include "base/globals.h"
#include "db/database.h"

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

void readCostingValues(Database& db)
{
    auto settings = db.OpenRecordset(QStringLiteral("Select DefHourlyRate, DefMinCharge from Settings"),
                                     RecordsetType::ForwardOnly);
    if (settings->Eof())
        return;
    // An empty field is no amount: the one held is kept, as when the
    // defaults window stores an empty field.
    const auto read = [&](int field, Currency& into) {
        const Value v = settings->Field(field);
        if (!v.isNull())
            into = v.toCurrency();
    };
    read(0, DefaultHourlyRate);
    read(1, DefaultMinCharge);
}

} // namespace cvd
