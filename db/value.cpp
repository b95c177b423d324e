#include "db/value.h"

#include "db/datetext.h"
#include "db/errors.h"
#include "db/locale.h"
#include "db/numbertext.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

namespace cvd {

namespace {

// Dates count as numbers by their day count from 30 December 1899.
const QDate& dateZero()
{
    static const QDate z(1899, 12, 30);
    return z;
}

double dateSerial(const QDate& d) { return double(dateZero().daysTo(d)); }

QDate dateFromSerial(double serial)
{
    if (!std::isfinite(serial))
        raise(ErrNo::Overflow);
    // Whole days only; a time of day is dropped.
    const double days = std::trunc(serial);
    const QDate d = dateZero().addDays(static_cast<qint64>(std::clamp(days, -1e7, 1e7)));
    if (d.year() < 100 || d.year() > 9999)
        raise(ErrNo::Overflow);
    return d;
}

std::int32_t longFromDouble(double d)
{
    if (!std::isfinite(d))
        raise(ErrNo::Overflow);
    const double r = std::nearbyint(d); // the default rounding: halves to even
    if (r < double(std::numeric_limits<std::int32_t>::min()) || r > double(std::numeric_limits<std::int32_t>::max()))
        raise(ErrNo::Overflow);
    return static_cast<std::int32_t>(r);
}

float singleFromDouble(double d)
{
    if (std::isfinite(d) && std::fabs(d) > double(FLT_MAX))
        raise(ErrNo::Overflow);
    return float(d);
}

bool boolFromText(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    return fmt::toDouble(text) != 0.0;
}

// The locale's digits and signs without thousands separators.
QLocale plainLocale()
{
    QLocale loc = fmt::locale();
    loc.setNumberOptions(QLocale::OmitGroupSeparator);
    return loc;
}

template<class... F> struct Overload : F... { using F::operator()...; };
template<class... F> Overload(F...) -> Overload<F...>;

} // namespace

bool Value::toBool() const
{
    return std::visit(Overload{
        [](std::monostate) -> bool { raise(ErrNo::InvalidUseOfNull); },
        [](bool b) { return b; },
        [](std::int32_t i) { return i != 0; },
        [](std::int64_t i) { return i != 0; },
        [](float f) { return f != 0.0f; },
        [](double d) { return d != 0.0; },
        [](Currency c) { return c.units != 0; },
        [](const QDate& d) { return dateSerial(d) != 0.0; },
        [](const QString& s) { return boolFromText(s); },
    }, m_v);
}

std::int32_t Value::toLong() const
{
    return std::visit(Overload{
        [](std::monostate) -> std::int32_t { raise(ErrNo::InvalidUseOfNull); },
        [](bool b) -> std::int32_t { return b ? -1 : 0; },
        [](std::int32_t i) { return i; },
        [](std::int64_t) -> std::int32_t { raise(ErrNo::Overflow); },
        [](float f) { return longFromDouble(double(f)); },
        [](double d) { return longFromDouble(d); },
        [](Currency c) {
            // Whole units, halves to even, without going through a double.
            std::int64_t q = c.units / Currency::Scale;
            const std::int64_t r = c.units % Currency::Scale;
            const std::int64_t half = Currency::Scale / 2;
            if (r > half || (r == half && (q & 1)))
                ++q;
            else if (r < -half || (r == -half && (q & 1)))
                --q;
            if (q < std::numeric_limits<std::int32_t>::min() || q > std::numeric_limits<std::int32_t>::max())
                raise(ErrNo::Overflow);
            return static_cast<std::int32_t>(q);
        },
        [](const QDate& d) { return longFromDouble(dateSerial(d)); },
        [](const QString& s) { return longFromDouble(fmt::toDouble(s)); },
    }, m_v);
}

std::int64_t Value::toBigInt() const
{
    if (const auto* i = std::get_if<std::int64_t>(&m_v))
        return *i;
    if (const auto* i = std::get_if<std::int32_t>(&m_v))
        return *i;
    if (type() == VType::Boolean || type() == VType::Null)
        return toLong();
    const double d = std::nearbyint(toDouble()); // halves to even
    if (!(d >= -9.2e18 && d <= 9.2e18))
        raise(ErrNo::Overflow);
    return static_cast<std::int64_t>(d);
}

float Value::toSingle() const
{
    return std::visit(Overload{
        [](std::monostate) -> float { raise(ErrNo::InvalidUseOfNull); },
        [](bool b) { return b ? -1.0f : 0.0f; },
        [](std::int32_t i) { return float(i); },
        [](std::int64_t i) { return float(i); },
        [](float f) { return f; },
        [](double d) { return singleFromDouble(d); },
        [](Currency c) { return float(c.toDouble()); },
        [](const QDate& d) { return float(dateSerial(d)); },
        [](const QString& s) { return fmt::toSingle(s); },
    }, m_v);
}

double Value::toDouble() const
{
    return std::visit(Overload{
        [](std::monostate) -> double { raise(ErrNo::InvalidUseOfNull); },
        [](bool b) { return b ? -1.0 : 0.0; },
        [](std::int32_t i) { return double(i); },
        [](std::int64_t i) { return double(i); },
        [](float f) { return double(f); },
        [](double d) { return d; },
        [](Currency c) { return c.toDouble(); },
        [](const QDate& d) { return dateSerial(d); },
        [](const QString& s) { return fmt::toDouble(s); },
    }, m_v);
}

Currency Value::toCurrency() const
{
    return std::visit(Overload{
        [](std::monostate) -> Currency { raise(ErrNo::InvalidUseOfNull); },
        [](bool b) { return Currency::fromWhole(b ? -1 : 0); },
        [](std::int32_t i) { return Currency::fromWhole(i); },
        [](std::int64_t i) { return Currency::fromWhole(i); },
        [](float f) { return Currency::fromDouble(double(f)); },
        [](double d) { return Currency::fromDouble(d); },
        [](Currency c) { return c; },
        [](const QDate& d) { return Currency::fromWhole(static_cast<std::int64_t>(dateSerial(d))); },
        [](const QString& s) { return fmt::toCurrency(s); },
    }, m_v);
}

QDate Value::toDate() const
{
    return std::visit(Overload{
        [](std::monostate) -> QDate { raise(ErrNo::InvalidUseOfNull); },
        [](bool b) { return dateFromSerial(b ? -1.0 : 0.0); },
        [](std::int32_t i) { return dateFromSerial(double(i)); },
        [](std::int64_t i) { return dateFromSerial(double(i)); },
        [](float f) { return dateFromSerial(double(f)); },
        [](double d) { return dateFromSerial(d); },
        [](Currency c) { return dateFromSerial(c.toDouble()); },
        [](const QDate& d) { return d; },
        [](const QString& s) { return fmt::toDate(s); },
    }, m_v);
}

QString Value::toText() const
{
    return std::visit(Overload{
        [](std::monostate) -> QString { raise(ErrNo::InvalidUseOfNull); },
        [](bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); },
        [](std::int32_t i) { return plainLocale().toString(i); },
        [](std::int64_t i) { return plainLocale().toString(qlonglong(i)); },
        [](float f) { return fmt::numberText(f); },
        [](double d) { return fmt::numberText(d); },
        [](Currency c) {
            // Plain number text with up to four decimals: 12.5, 3, -0.0001.
            const QLocale loc = plainLocale();
            const bool negative = c.units < 0;
            const unsigned long long mag = negative ? 0ULL - static_cast<unsigned long long>(c.units)
                                                    : static_cast<unsigned long long>(c.units);
            QString s = (negative ? loc.negativeSign() : QString())
                        + loc.toString(qulonglong(mag / Currency::Scale));
            if (unsigned frac = unsigned(mag % Currency::Scale)) {
                QString digits = QString::number(frac).rightJustified(4, u'0');
                while (digits.endsWith(u'0'))
                    digits.chop(1);
                s += loc.decimalPoint() + digits;
            }
            return s;
        },
        [](const QDate& d) { return fmt::shortDate(d); },
        [](const QString& s) { return s; },
    }, m_v);
}

} // namespace cvd
