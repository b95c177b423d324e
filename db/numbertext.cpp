#include "db/numbertext.h"

#include "db/errors.h"
#include "db/locale.h"

#include <QByteArray>
#include <charconv>
#include <cfloat>
#include <cmath>
#include <limits>
#include <optional>

namespace cvd::fmt {

namespace {

// A number read from text, in plain C form: sign, digits and point ("-1234.5"),
// with a decimal exponent kept apart.
struct Decimal {
    bool negative = false;
    QString intDigits;  // may be empty (".5")
    QString fracDigits; // may be empty ("5.")
    int exponent = 0;
};

bool stripPrefix(QString& s, const QString& p)
{
    if (p.isEmpty() || !s.startsWith(p, Qt::CaseInsensitive))
        return false;
    s = trimmedBlanks(s.mid(p.size()));
    return true;
}

bool stripSuffix(QString& s, const QString& p)
{
    if (p.isEmpty() || !s.endsWith(p, Qt::CaseInsensitive))
        return false;
    s = trimmedBlanks(s.left(s.size() - p.size()));
    return true;
}

// What a user may type as a number: blanks around it, a sign before (or
// after) it, the currency symbol before or after it, parentheses for a
// negative amount, thousands separators between the digits of the whole
// part, the decimal separator and an exponent (1E3).
std::optional<Decimal> parseNumber(const QString& text)
{
    const QLocale& loc = locale();
    const QString point = loc.decimalPoint();
    QString group = loc.groupSeparator();
    const QString symbol = loc.currencySymbol(QLocale::CurrencySymbol);
    const QString minus = loc.negativeSign();
    const QString plus = loc.positiveSign();

    QString s = trimmedBlanks(text);
    if (s.isEmpty())
        return std::nullopt;

    Decimal dec;
    int signs = 0;
    if (s.startsWith(u'(') && s.endsWith(u')')) {
        s = trimmedBlanks(s.mid(1, s.size() - 2));
        dec.negative = true;
        ++signs;
    }
    bool haveSymbol = stripPrefix(s, symbol);
    if (stripPrefix(s, minus) || stripPrefix(s, QStringLiteral("-"))) {
        dec.negative = !dec.negative;
        ++signs;
    } else if (stripPrefix(s, plus) || stripPrefix(s, QStringLiteral("+"))) {
        ++signs;
    }
    if (!haveSymbol)
        haveSymbol = stripPrefix(s, symbol);
    if (!haveSymbol)
        haveSymbol = stripSuffix(s, symbol);
    if (signs == 0) {
        if (stripSuffix(s, minus) || stripSuffix(s, QStringLiteral("-"))) {
            dec.negative = true;
            ++signs;
        } else if (stripSuffix(s, plus) || stripSuffix(s, QStringLiteral("+"))) {
            ++signs;
        }
        if (signs && !haveSymbol)
            haveSymbol = stripSuffix(s, symbol);
    }
    if (signs > 1 || s.isEmpty())
        return std::nullopt;

    // A group separator that is a blank of any kind matches every blank.
    const bool blankGroup = group.size() == 1 && isBlank(group[0]);

    qsizetype i = 0;
    const qsizetype n = s.size();
    bool lastWasGroup = false;
    while (i < n) {
        const QChar c = s[i];
        if (c >= u'0' && c <= u'9') {
            dec.intDigits.append(c);
            lastWasGroup = false;
            ++i;
        } else if (!dec.intDigits.isEmpty() && !lastWasGroup
                   && ((blankGroup && isBlank(c)) || (!group.isEmpty() && QStringView(s).mid(i).startsWith(group)))) {
            lastWasGroup = true;
            i += blankGroup ? 1 : group.size();
        } else {
            break;
        }
    }
    if (lastWasGroup)
        return std::nullopt;
    if (i < n && QStringView(s).mid(i).startsWith(point)) {
        i += point.size();
        while (i < n && s[i] >= u'0' && s[i] <= u'9')
            dec.fracDigits.append(s[i++]);
    }
    if (dec.intDigits.isEmpty() && dec.fracDigits.isEmpty())
        return std::nullopt;
    if (i < n && (s[i] == u'e' || s[i] == u'E' || s[i] == u'd' || s[i] == u'D')) {
        ++i;
        bool expNegative = false;
        if (i < n && (s[i] == u'+' || s[i] == u'-')) {
            expNegative = s[i] == u'-';
            ++i;
        }
        const qsizetype start = i;
        long long e = 0;
        while (i < n && s[i] >= u'0' && s[i] <= u'9') {
            if (e < 100000)
                e = e * 10 + (s[i].unicode() - u'0');
            ++i;
        }
        if (i == start)
            return std::nullopt;
        dec.exponent = int(expNegative ? -e : e);
    }
    if (i != n)
        return std::nullopt;
    return dec;
}

double decimalToDouble(const Decimal& dec)
{
    QByteArray c;
    c.reserve(dec.intDigits.size() + dec.fracDigits.size() + 16);
    if (dec.negative)
        c.append('-');
    c.append(dec.intDigits.isEmpty() ? QByteArray("0") : dec.intDigits.toLatin1());
    if (!dec.fracDigits.isEmpty())
        c.append('.').append(dec.fracDigits.toLatin1());
    if (dec.exponent != 0)
        c.append('e').append(QByteArray::number(dec.exponent));
    double d = 0;
    const auto [end, ec] = std::from_chars(c.constData(), c.constData() + c.size(), d);
    Q_UNUSED(end);
    if (ec == std::errc::result_out_of_range) {
        // Too large (error 6), or too small to tell from 0.
        QString whole = dec.intDigits;
        while (whole.startsWith(u'0'))
            whole.remove(0, 1);
        long long magnitude = 0;
        if (!whole.isEmpty()) {
            magnitude = whole.size() + static_cast<long long>(dec.exponent);
        } else {
            qsizetype zeros = 0;
            while (zeros < dec.fracDigits.size() && dec.fracDigits[zeros] == u'0')
                ++zeros;
            magnitude = static_cast<long long>(dec.exponent) - zeros;
        }
        if (magnitude > 0)
            raise(ErrNo::Overflow);
        return dec.negative ? -0.0 : 0.0;
    }
    if (ec != std::errc() || !std::isfinite(d))
        raise(ErrNo::Overflow);
    return d;
}

// Exact conversion of decimal text to ten-thousandths, halves to even.
Currency decimalToCurrency(const Decimal& dec)
{
    QString digits = dec.intDigits + dec.fracDigits;
    // value = digits * 10^(exponent - fracDigits); units = value * 10^4
    long long k = static_cast<long long>(dec.exponent) - dec.fracDigits.size() + 4;
    qsizetype lead = 0;
    while (lead < digits.size() && digits[lead] == u'0')
        ++lead;
    digits = digits.mid(lead);
    if (digits.isEmpty())
        return Currency{0};

    QString whole;
    QString dropped;
    if (k >= 0) {
        if (digits.size() + k > 19)
            raise(ErrNo::Overflow);
        whole = digits + QString(qsizetype(k), u'0');
    } else {
        const qsizetype drop = qsizetype(-k);
        if (drop >= digits.size()) {
            whole = QString();
            dropped = QString(drop - digits.size(), u'0') + digits;
        } else {
            whole = digits.left(digits.size() - drop);
            dropped = digits.mid(digits.size() - drop);
        }
    }
    if (whole.size() > 19)
        raise(ErrNo::Overflow);
    unsigned __int128 v = 0;
    for (QChar ch : whole)
        v = v * 10 + (ch.unicode() - u'0');
    if (!dropped.isEmpty()) {
        const int first = dropped[0].unicode() - u'0';
        bool restNonZero = false;
        for (qsizetype j = 1; j < dropped.size(); ++j)
            restNonZero = restNonZero || dropped[j] != u'0';
        if (first > 5 || (first == 5 && (restNonZero || (v & 1))))
            ++v;
    }
    constexpr unsigned __int128 maxPos = static_cast<unsigned __int128>(std::numeric_limits<std::int64_t>::max());
    if (v > (dec.negative ? maxPos + 1 : maxPos))
        raise(ErrNo::Overflow);
    const auto signedV = static_cast<__int128>(v);
    return Currency{static_cast<std::int64_t>(dec.negative ? -signedV : signedV)};
}

// Up to the given count of significant digits, exponent form ("1E+15",
// "1E-05") only where plain digits would not do, no thousands separators.
QString plainNumber(double d, int digits)
{
    if (d == 0.0)
        return locale().toString(0);
    QLocale loc = locale();
    loc.setNumberOptions(QLocale::OmitGroupSeparator);
    return loc.toString(d, 'G', digits);
}

} // namespace

QString numberText(double d) { return plainNumber(d, 15); }

QString numberText(float f) { return plainNumber(double(f), 7); }

bool isNumeric(const QString& text) { return parseNumber(text).has_value(); }

double toDouble(const QString& text)
{
    const auto dec = parseNumber(text);
    if (!dec)
        raise(ErrNo::TypeMismatch);
    return decimalToDouble(*dec);
}

float toSingle(const QString& text)
{
    const double d = toDouble(text);
    if (std::fabs(d) > double(FLT_MAX))
        raise(ErrNo::Overflow);
    return float(d);
}

Currency toCurrency(const QString& text)
{
    const auto dec = parseNumber(text);
    if (!dec)
        raise(ErrNo::TypeMismatch);
    return decimalToCurrency(*dec);
}

} // namespace cvd::fmt
