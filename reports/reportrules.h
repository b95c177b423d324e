#pragma once
// The rules of the reports' rows: the running sums of time and money with
// the carrying of minutes into hours, the subtotal and totals lines, the
// names and postal lines, and the cells of one row.
#include "db/currency.h"
#include "db/value.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <initializer_list>

namespace cvd {

// Carries whole hours out of the minutes: whole = floor(minutes / 60),
// hours + whole, minutes - 60 * whole (2 h 130 min: 4 h 10 min).
void carryMinutes(double& hours, double& minutes);

// Hours, minutes, cost and amount paid summed over requests.  An empty
// (Null) field adds nothing.  Each adds what the row shows: hours and
// minutes the number shown, so that 0.1 hours sum to 0.1 and not to the
// nearest binary fraction of the stored single; money the amount shown, to
// the cent, so that the printed rows add up to the printed sum.
struct TimeSums {
    double hours = 0;
    double minutes = 0;
    Currency cost;
    Currency paid;

    void add(const Value& hoursTot, const Value& minTot, const Value& costTot, const Value& amtPaid);
    void clear() { *this = TimeSums(); }
};

// "|<label>|hours|minutes|cost|paid|" with the minutes carried into the
// hours: the subtotal ("Subtotal:") and totals ("Totals:") lines.
QString sumsLine(const QString& label, TimeSums sums);

// A data row as the page engine takes it: the cells joined by "|", ended
// by ";"; a cell's own "|" and ";" stay in their cell (reports/tabletext.h).
QString tableRow(std::initializer_list<QStringView> cells);

// A person's name in reports: first name, a blank, last name; an empty
// part gives nothing, the blank stays.
QString personName(const Value& first, const Value& last);

// The postal lines under a bill's recipient: the name, the address (even
// when empty), the place line "City, St  Zip" unless it holds nothing but
// the comma, and the country unless it is empty.
QStringList recipientLines(const QString& name, const Value& address, const Value& city, const Value& st,
                           const Value& zip, const Value& country);

// The cells of one row, as texts: a Null field gives the empty text.  The
// formats are those of the locale in force; one object serves one run and
// remembers the texts it made (a million rows share a few thousand dates
// and amounts).
class CellTexts {
public:
    // The short date.
    QString date(const Value& v);
    // The currency format.
    QString money(const Value& v);
    // A number in the general format (hours and minutes as stored).
    QString number(const Value& v);
    // A person's name (personName); rows in a run often name the same
    // person one after the other.
    QString person(const Value& first, const Value& last);
    // A text field.
    static QString text(const Value& v) { return v.isNull() ? QString() : v.toText(); }

private:
    Value m_first, m_last;
    QString m_person = QStringLiteral(" ");
    QHash<qint64, QString> m_dates;
    QHash<qint64, QString> m_money;
    QHash<quint64, QString> m_numbers;
};

} // namespace cvd
