#include "db/datetext.h"

#include "db/errors.h"
#include "db/locale.h"

#include <QList>
#include <QLocale>
#include <algorithm>

namespace cvd::fmt {

namespace {

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
    const QLocale locales[] = {locale(), QLocale::c()};
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
    const QLocale locales[] = {locale(), QLocale::c()};
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
    const QString s = trimmedBlanks(text);
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
        const QString order = dateOrder(locale());
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
        const QString order = dateOrder(locale());
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
    const QLocale& loc = locale();
    const QString t = trimmedBlanks(text);
    if (t.isEmpty())
        return {};
    // Their years are held to the same range: a four-digit year below 100
    // (01/05/0026) is no date, as it is for the rules above.
    for (const QString& f : {shortDateFormat(loc), loc.dateFormat(QLocale::LongFormat),
                             loc.dateFormat(QLocale::ShortFormat)}) {
        d = loc.toDate(t, f);
        if (d.isValid())
            return makeDate(d.year(), d.month(), d.day());
    }
    return {};
}

} // namespace

QString shortDate(const QDate& d)
{
    if (!d.isValid())
        return {};
    return locale().toString(d, shortDateFormat(locale()));
}

QString longDate(const QDate& d) { return d.isValid() ? locale().toString(d, QLocale::LongFormat) : QString(); }

bool isDate(const QString& text) { return readDate(text).isValid(); }

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
