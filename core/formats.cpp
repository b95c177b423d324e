#include "core/formats.h"

#include "core/errors.h"

#include <QList>
#include <QStringList>
#include <algorithm>
#include <charconv>
#include <cfloat>
#include <cmath>
#include <limits>
#include <optional>

namespace cvd::fmt {

namespace {

QLocale& current()
{
    static QLocale l = systemLocale();
    return l;
}

// ---------------------------------------------------------------- numbers

// A number read from text, in plain C form: sign, digits and point ("-1234.5"),
// with a decimal exponent kept apart.
struct Decimal {
    bool negative = false;
    QString intDigits;  // may be empty (".5")
    QString fracDigits; // may be empty ("5.")
    int exponent = 0;
};

bool isBlank(QChar c)
{
    return c.isSpace() || c == QChar(0x00A0) || c == QChar(0x202F);
}

QString trimmed(const QString& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

bool stripPrefix(QString& s, const QString& p)
{
    if (p.isEmpty() || !s.startsWith(p, Qt::CaseInsensitive))
        return false;
    s = trimmed(s.mid(p.size()));
    return true;
}

bool stripSuffix(QString& s, const QString& p)
{
    if (p.isEmpty() || !s.endsWith(p, Qt::CaseInsensitive))
        return false;
    s = trimmed(s.left(s.size() - p.size()));
    return true;
}

// What a user may type as a number: blanks around it, a sign before (or
// after) it, the currency symbol before or after it, parentheses for a
// negative amount, thousands separators between the digits of the whole
// part, the decimal separator and an exponent (1E3).
std::optional<Decimal> parseNumber(const QString& text)
{
    const QLocale& loc = current();
    const QString point = loc.decimalPoint();
    QString group = loc.groupSeparator();
    const QString symbol = loc.currencySymbol(QLocale::CurrencySymbol);
    const QString minus = loc.negativeSign();
    const QString plus = loc.positiveSign();

    QString s = trimmed(text);
    if (s.isEmpty())
        return std::nullopt;

    Decimal dec;
    int signs = 0;
    if (s.startsWith(u'(') && s.endsWith(u')')) {
        s = trimmed(s.mid(1, s.size() - 2));
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

// ------------------------------------------------------------------ dates

// The short date format of the locale with the year always in four
// digits, so that a date shown can be read back without doubt.
QString shortDateFormat(const QLocale& loc)
{
    QString f = loc.dateFormat(QLocale::ShortFormat);
    if (!f.contains(QLatin1String("yyyy")))
        f.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return f;
}

// Order of day, month and year in the locale's short date: "MDY", "DMY", "YMD".
QString dateOrder(const QLocale& loc)
{
    const QString f = loc.dateFormat(QLocale::ShortFormat);
    const qsizetype d = f.indexOf(u'd');
    const qsizetype m = f.indexOf(u'M');
    const qsizetype y = f.indexOf(u'y');
    if (d < 0 || m < 0 || y < 0)
        return QStringLiteral("MDY");
    QList<std::pair<qsizetype, QChar>> parts{{d, u'D'}, {m, u'M'}, {y, u'Y'}};
    std::sort(parts.begin(), parts.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return QString(parts[0].second) + parts[1].second + parts[2].second;
}

int monthFromName(const QString& word)
{
    QString w = word;
    if (w.endsWith(u'.'))
        w.chop(1);
    if (w.size() < 3)
        return 0;
    const QLocale locales[] = {current(), QLocale::c()};
    for (const QLocale& loc : locales) {
        for (int m = 1; m <= 12; ++m) {
            for (auto form : {QLocale::LongFormat, QLocale::ShortFormat}) {
                QString name = loc.monthName(m, form);
                if (name.endsWith(u'.'))
                    name.chop(1);
                if (name.compare(w, Qt::CaseInsensitive) == 0)
                    return m;
                if (loc.standaloneMonthName(m, form).compare(w, Qt::CaseInsensitive) == 0)
                    return m;
            }
        }
    }
    if (w.compare(QLatin1String("Sept"), Qt::CaseInsensitive) == 0)
        return 9;
    return 0;
}

bool isDayName(const QString& word)
{
    QString w = word;
    if (w.endsWith(u'.'))
        w.chop(1);
    const QLocale locales[] = {current(), QLocale::c()};
    for (const QLocale& loc : locales)
        for (int d = 1; d <= 7; ++d)
            for (auto form : {QLocale::LongFormat, QLocale::ShortFormat})
                if (loc.dayName(d, form).compare(w, Qt::CaseInsensitive) == 0)
                    return true;
    return false;
}

struct Token {
    bool number = false;
    QString text;
};

int yearValue(const QString& digits)
{
    const int v = digits.toInt();
    if (digits.size() <= 2)
        return expandTwoDigitYear(v);
    return v;
}

QDate makeDate(int y, int m, int d)
{
    if (y < 100 || y > 9999)
        return {};
    return QDate(y, m, d); // invalid (isValid() false) for 2/30 and the like
}

QDate parseDate(const QString& text)
{
    const QString s = trimmed(text);
    if (s.isEmpty())
        return {};

    // Split into numbers and words; blanks, commas, slashes, hyphens and
    // points separate them.
    QList<Token> tokens;
    QString seps;
    QString lastSep;
    for (qsizetype i = 0; i < s.size();) {
        const QChar c = s[i];
        if (c.isDigit()) {
            Token t{true, {}};
            while (i < s.size() && s[i].isDigit())
                t.text.append(s[i++]);
            tokens.append(t);
            seps.append(lastSep.isEmpty() ? QChar(u' ') : lastSep[0]);
            lastSep.clear();
        } else if (c.isLetter()) {
            Token t{false, {}};
            while (i < s.size() && s[i].isLetter())
                t.text.append(s[i++]);
            tokens.append(t);
            seps.append(lastSep.isEmpty() ? QChar(u' ') : lastSep[0]);
            lastSep.clear();
        } else if (c == u'/' || c == u'-' || c == u'.' || c == u',' || isBlank(c)) {
            if (!isBlank(c)) {
                if (!lastSep.isEmpty())
                    return {}; // "3//5", "3/-5"
                if (tokens.isEmpty())
                    return {}; // "/3/5"
                lastSep = c;
            }
            ++i;
        } else {
            return {};
        }
    }
    if (!lastSep.isEmpty() && lastSep != QLatin1String("."))
        return {}; // trailing "/" or "-"

    QList<QString> numbers;
    QList<int> months;
    int dayNames = 0;
    for (const Token& t : tokens) {
        if (t.number) {
            if (t.text.size() > 4)
                return {};
            numbers.append(t.text);
        } else if (const int m = monthFromName(t.text)) {
            months.append(m);
        } else if (isDayName(t.text)) {
            ++dayNames;
        } else {
            return {};
        }
    }
    if (dayNames > 1 || months.size() > 1)
        return {};

    if (months.size() == 1) {
        const int m = months[0];
        if (numbers.size() == 2) {
            // "March 5, 1998", "5 March 1998", "5-Mar-98"; a year of three or
            // four digits may also come first ("1998 March 5").
            if (numbers[0].size() >= 3 && numbers[1].size() <= 2)
                return makeDate(yearValue(numbers[0]), m, numbers[1].toInt());
            return makeDate(yearValue(numbers[1]), m, numbers[0].toInt());
        }
        if (numbers.size() == 1) {
            // "March 5": this year; "March 1998": its first day.
            if (numbers[0].size() <= 2 && numbers[0].toInt() >= 1 && numbers[0].toInt() <= 31)
                return makeDate(QDate::currentDate().year(), m, numbers[0].toInt());
            return makeDate(yearValue(numbers[0]), m, 1);
        }
        return {};
    }
    if (dayNames > 0 && numbers.size() != 3)
        return {};

    // All numbers.
    if (numbers.size() == 3) {
        // Year first with four digits is always year-month-day (1998-03-05).
        if (numbers[0].size() >= 3)
            return makeDate(numbers[0].toInt(), numbers[1].toInt(), numbers[2].toInt());
        if (numbers[1].size() >= 3)
            return {};
        const QString order = dateOrder(current());
        int y = 0, m = 0, d = 0;
        for (int k = 0; k < 3; ++k) {
            const QChar what = order[k];
            if (what == u'Y')
                y = yearValue(numbers[k]);
            else if (what == u'M')
                m = numbers[k].toInt();
            else
                d = numbers[k].toInt();
        }
        if (order.startsWith(u'Y') && numbers[2].size() >= 3)
            return {};
        return makeDate(y, m, d);
    }
    if (numbers.size() == 2) {
        // Month and day of this year ("3/5"), only with a date separator.
        if (seps.size() != 2 || (seps[1] != u'/' && seps[1] != u'-'))
            return {};
        if (numbers[0].size() > 2 || numbers[1].size() > 2)
            return {};
        const QString order = dateOrder(current());
        const bool dayFirst = order.indexOf(u'D') < order.indexOf(u'M');
        const int a = numbers[0].toInt(), b = numbers[1].toInt();
        return makeDate(QDate::currentDate().year(), dayFirst ? b : a, dayFirst ? a : b);
    }
    return {};
}

QDate readDate(const QString& text)
{
    QDate d = parseDate(text);
    if (d.isValid())
        return d;
    // The locale's own formats, should they hold something the rules above
    // do not know.
    const QLocale& loc = current();
    const QString t = trimmed(text);
    if (t.isEmpty())
        return {};
    for (const QString& f : {shortDateFormat(loc), loc.dateFormat(QLocale::LongFormat),
                             loc.dateFormat(QLocale::ShortFormat)}) {
        d = loc.toDate(t, f);
        if (d.isValid())
            return d;
    }
    return {};
}

} // namespace

const QLocale& locale() { return current(); }

void setLocale(const QLocale& l) { current() = l; }

QLocale systemLocale()
{
    const QLocale sys = QLocale::system();
    if (sys.language() == QLocale::C || sys.name() == QLatin1String("C"))
        return QLocale(QLocale::English, QLocale::UnitedStates);
    return sys;
}

QString shortDate(const QDate& d)
{
    if (!d.isValid())
        return {};
    return current().toString(d, shortDateFormat(current()));
}

QString currency(Currency c)
{
    const QLocale& loc = current();
    // Round to cents, halves away from zero, on the exact amount.
    const bool negative = c.units < 0;
    const unsigned long long mag = negative ? 0ULL - static_cast<unsigned long long>(c.units)
                                            : static_cast<unsigned long long>(c.units);
    const unsigned long long cents = (mag + 50) / 100;
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

QString mmddyy(const QDate& d)
{
    if (!d.isValid())
        return {};
    return QStringLiteral("%1/%2/%3")
        .arg(d.month(), 2, 10, QChar(u'0'))
        .arg(d.day(), 2, 10, QChar(u'0'))
        .arg(d.year() % 100, 2, 10, QChar(u'0'));
}

namespace {

// Up to the given count of significant digits, exponent form ("1E+15",
// "1E-05") only where plain digits would not do, no thousands separators.
QString plainNumber(double d, int digits)
{
    if (d == 0.0)
        return current().toString(0);
    QLocale loc = current();
    loc.setNumberOptions(QLocale::OmitGroupSeparator);
    return loc.toString(d, 'G', digits);
}

} // namespace

QString numberText(double d) { return plainNumber(d, 15); }

QString numberText(float f) { return plainNumber(double(f), 7); }

bool isNumeric(const QString& text) { return parseNumber(text).has_value(); }

bool isDate(const QString& text) { return readDate(text).isValid(); }

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

QDate toDate(const QString& text)
{
    const QDate d = readDate(text);
    if (!d.isValid())
        raise(ErrNo::TypeMismatch);
    return d;
}

int expandTwoDigitYear(int yy)
{
    if (yy < 0 || yy > 99)
        return yy;
    return yy >= 30 ? 1900 + yy : 2000 + yy;
}

} // namespace cvd::fmt
