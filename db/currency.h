#pragma once
// Money: an exact fixed-point amount with four decimal places, held as a
// count of ten-thousandths.  Never floating point.
// moc (Qt 6.4) cannot read <concepts>, which <compare> pulls in; moc needs
// nothing from it.
#ifndef Q_MOC_RUN
#include <compare>
#endif
#include <cstdint>

namespace cvd {

struct Currency {
    std::int64_t units = 0; // ten-thousandths

    static constexpr std::int64_t Scale = 10000;
    static constexpr Currency fromUnits(std::int64_t u) { return Currency{u}; }
    static constexpr Currency fromWhole(std::int64_t w) { return Currency{w * Scale}; }
    // The nearest ten-thousandth, halves to even; error 6 when out of range.
    static Currency fromDouble(double d);
    double toDouble() const { return double(units) / double(Scale); }

    // Addition and subtraction raise error 6 on overflow.
    Currency operator+(Currency o) const;
    Currency operator-(Currency o) const;
    friend constexpr auto operator<=>(Currency, Currency) = default;
};

} // namespace cvd
