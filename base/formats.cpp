#include "base/formats.h"

namespace cvd::fmt {

namespace {

// The amount in whole cents, rounded halves away from zero, without its sign.
unsigned long long centsOf(Currency c)
{
    const unsigned long long mag = c.units < 0 ? 0ULL - static_cast<unsigned long long>(c.units)
                                               : static_cast<unsigned long long>(c.units);
    return (mag + 50) / 100;
}

} // namespace

Currency asShown(Currency c)
{
    const auto cents = static_cast<std::int64_t>(centsOf(c));
    return Currency::fromUnits((c.units < 0 ? -cents : cents) * 100);
}

QString currency(Currency c)
{
    const QLocale& loc = locale();
    // Round to cents, halves away from zero, on the exact amount.
    const bool negative = c.units < 0;
    const unsigned long long cents = centsOf(c);
    const unsigned long long whole = cents / 100;
    const unsigned cent = unsigned(cents % 100);

    QString number = loc.toString(qulonglong(whole)) + loc.decimalPoint()
                     + loc.toString(cent).rightJustified(2, loc.zeroDigit().at(0));
    const QString symbol = loc.currencySymbol(QLocale::CurrencySymbol);

    // The locale's pattern, taken from the amount one, with our digits put in.
    const QString one = loc.toString(1) + loc.decimalPoint() + loc.toString(0) + loc.toString(0);
    const bool parens = negative && cents != 0 && loc.territory() == QLocale::UnitedStates;
    const double sample = (negative && cents != 0 && !parens) ? -1.0 : 1.0;
    QString pattern = loc.toCurrencyString(sample, symbol, 2);
    const qsizetype at = pattern.indexOf(one);
    QString out;
    if (at < 0)
        out = (sample < 0 ? loc.negativeSign() : QString()) + symbol + number;
    else
        out = pattern.replace(at, one.size(), number);
    if (parens)
        out = u'(' + out + u')';
    return out;
}

QString sqlDate(const QDate& d)
{
    if (!d.isValid())
        return {};
    return QStringLiteral("%1/%2/%3")
        .arg(d.month(), 2, 10, QChar(u'0'))
        .arg(d.day(), 2, 10, QChar(u'0'))
        .arg(d.year(), 4, 10, QChar(u'0'));
}

} // namespace cvd::fmt
