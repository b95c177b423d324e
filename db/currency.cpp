#include "db/currency.h"

#include "db/errors.h"

#include <cmath>
#include <limits>

namespace cvd {

// The double is taken apart into its exact integer mantissa and binary
// exponent, d = m * 2^e, so that d * 10000 = m * 10000 * 2^e is worked out
// in exact integer arithmetic.  Whether a value lies exactly halfway between
// two ten-thousandths is decided on the double's exact value, not on a
// rounded product: 1.03125 is a true half (-> 1.0312), while 0.00005 as a
// double lies a little above the half (-> 0.0001).
Currency Currency::fromDouble(double d)
{
    if (!std::isfinite(d))
        raise(ErrNo::Overflow);
    if (d == 0.0)
        return Currency{0};

    const bool negative = d < 0;
    int exp = 0;
    const double frac = std::frexp(std::fabs(d), &exp); // |d| = frac * 2^exp, 0.5 <= frac < 1
    // 53-bit integer mantissa: |d| = mant * 2^e.
    const auto mant = static_cast<unsigned __int128>(std::ldexp(frac, 53));
    const int e = exp - 53;

    constexpr unsigned __int128 limitPos = static_cast<unsigned __int128>(std::numeric_limits<std::int64_t>::max());
    const unsigned __int128 limit = negative ? limitPos + 1 : limitPos;

    unsigned __int128 scaled = mant * Scale; // < 2^67
    unsigned __int128 result;
    if (e >= 0) {
        if (e >= 64)
            raise(ErrNo::Overflow);
        // scaled < 2^67; shifting by up to 63 stays below 2^128.
        result = scaled << e;
    } else {
        const int shift = -e;
        if (shift >= 100) {
            result = 0; // far below half a ten-thousandth
        } else {
            result = scaled >> shift;
            const unsigned __int128 rest = scaled - (result << shift);
            const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
            if (rest > half || (rest == half && (result & 1)))
                ++result;
        }
    }
    if (result > limit)
        raise(ErrNo::Overflow);
    if (negative)
        return Currency{static_cast<std::int64_t>(-static_cast<__int128>(result))};
    return Currency{static_cast<std::int64_t>(result)};
}

Currency Currency::operator+(Currency o) const
{
    std::int64_t r = 0;
    if (__builtin_add_overflow(units, o.units, &r))
        raise(ErrNo::Overflow);
    return Currency{r};
}

Currency Currency::operator-(Currency o) const
{
    std::int64_t r = 0;
    if (__builtin_sub_overflow(units, o.units, &r))
        raise(ErrNo::Overflow);
    return Currency{r};
}

} // namespace cvd
