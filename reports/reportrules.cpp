#include "reports/reportrules.h"

#include "base/formats.h"
#include "base/lookupentries.h"
#include "reports/tabletext.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace cvd {

namespace {

// A remembered text per key, the memory kept bounded.
template <typename Key, typename Make> const QString& remembered(QHash<Key, QString>& texts, Key key, Make make)
{
    auto it = texts.constFind(key);
    if (it != texts.constEnd())
        return *it;
    if (texts.size() >= 65536)
        texts.clear();
    return *texts.insert(key, make());
}

// The number a single shows (its shortest decimal form) as a double.
double shownValue(float f)
{
    // Whole numbers and quarters of small size are shown exactly as held.
    if (std::fabs(f) < 1000.0f && std::floor(f * 4.0f) == f * 4.0f)
        return double(f);
    char buf[32];
    const auto out = std::to_chars(buf, buf + sizeof buf, f);
    double d = f;
    if (out.ec == std::errc())
        std::from_chars(buf, out.ptr, d);
    return d;
}

double addedTime(const Value& v)
{
    return v.type() == VType::Single ? shownValue(v.toSingle()) : v.toDouble();
}

bool blank(const QString& s) { return fmt::trimmedBlanks(s).isEmpty(); }

} // namespace

void carryMinutes(double& hours, double& minutes)
{
    const double whole = std::floor(minutes / 60.0);
    hours += whole;
    minutes -= 60.0 * whole;
}

void TimeSums::add(const Value& hoursTot, const Value& minTot, const Value& costTot, const Value& amtPaid)
{
    if (!hoursTot.isNull())
        hours += addedTime(hoursTot);
    if (!minTot.isNull())
        minutes += addedTime(minTot);
    if (!costTot.isNull())
        cost = cost + fmt::asShown(costTot.toCurrency());
    if (!amtPaid.isNull())
        paid = paid + fmt::asShown(amtPaid.toCurrency());
}

QString sumsLine(const QString& label, TimeSums sums)
{
    carryMinutes(sums.hours, sums.minutes);
    return QLatin1Char('|') + label + QLatin1Char('|') + fmt::numberText(sums.hours) + QLatin1Char('|')
           + fmt::numberText(sums.minutes) + QLatin1Char('|') + fmt::currency(sums.cost) + QLatin1Char('|')
           + fmt::currency(sums.paid) + QLatin1Char('|');
}

QString tableRow(std::initializer_list<QStringView> cells)
{
    qsizetype size = qsizetype(cells.size());
    for (QStringView c : cells)
        size += c.size();
    QString row;
    row.reserve(size);
    bool first = true;
    for (QStringView c : cells) {
        if (!first)
            row += u'|';
        first = false;
        appendCell(row, c);
    }
    row += u';';
    return row;
}

QString personName(const Value& first, const Value& last)
{
    return fullName(first, last);
}

QStringList recipientLines(const QString& name, const Value& address, const Value& city, const Value& st,
                           const Value& zip, const Value& country)
{
    QStringList lines{name, CellTexts::text(address)};
    const QString place = CellTexts::text(city) + QStringLiteral(", ") + CellTexts::text(st) + QStringLiteral("  ")
                          + CellTexts::text(zip);
    if (fmt::trimmedBlanks(place) != QLatin1String(","))
        lines << place;
    const QString land = CellTexts::text(country);
    if (!blank(land))
        lines << land;
    return lines;
}

QString CellTexts::date(const Value& v)
{
    if (v.isNull())
        return {};
    const QDate d = v.toDate();
    return remembered(m_dates, d.toJulianDay(), [&] { return fmt::shortDate(d); });
}

QString CellTexts::money(const Value& v)
{
    if (v.isNull())
        return {};
    const Currency c = v.toCurrency();
    return remembered(m_money, qint64(c.units), [&] { return fmt::currency(c); });
}

QString CellTexts::person(const Value& first, const Value& last)
{
    if (!(first == m_first && last == m_last)) {
        m_first = first;
        m_last = last;
        m_person = personName(first, last);
    }
    return m_person;
}

QString CellTexts::number(const Value& v)
{
    if (v.isNull())
        return {};
    if (v.type() != VType::Single)
        return fmt::numberText(v.toDouble());
    const float f = v.toSingle();
    quint32 bits = 0;
    std::memcpy(&bits, &f, sizeof bits);
    return remembered(m_numbers, quint64(bits), [&] { return fmt::numberText(f); });
}

} // namespace cvd
