// Hours by staff and charges by customer or by department: every request
// of the range with its hours, minutes, cost and amount paid, a subtotal
// line after each group and a totals line, the minutes carried into hours.
#include "base/formats.h"
#include "base/globals.h"
#include "reports/reportprocs.h"
#include "reports/reportqueries.h"
#include "reports/reportrules.h"
#include "reports/reportrun.h"

namespace cvd {

namespace {

const QString kRowFormat = QStringLiteral("+1100|+2800|>1140|>1140|>1240|>1100|+2180;");

// What one of the three reports groups by and shows in its last column.
struct TotalsKind {
    QString title;     // in the progress dialog
    QString header;    // the page header's title, before the dates
    QString lastTitle; // the title of the last column
    QString query;
    QString groupField;
    QStringList lastFields; // the name's first and last parts, or the one name
};

// The fields each row is read from, by their place in the list.
enum { ReqDate, ShortDesc, HoursTot, MinTot, CostTot, AmtPaid, GroupKey, Last1, Last2 };

void runTotals(const TotalsKind& kind)
{
    ReportRun run(kind.title);
    const QString header = kind.header + fmt::shortDate(ReportStartDate) + QStringLiteral(" to ")
                           + fmt::shortDate(ReportEndDate) + QStringLiteral("|Page %d");
    if (!run.begin(PageSetup{false, header, {}}))
        return;
    ReportOutput& out = run.out();
    run.step([&] {
        out.columnTitles({TableRow{kRowFormat, QStringLiteral("Req. Date|Description|Hours|Minutes|Cost|Paid|")
                                                   + kind.lastTitle + QLatin1Char(';')}});
    });

    const bool grouped = SelectedID == 0;
    TimeSums totals, subtotals;
    long groupKey = 0;
    CellTexts cells;
    auto subtotal = [&] {
        if (groupKey != 0)
            out.row(kRowFormat, sumsLine(QStringLiteral("Subtotal:"), subtotals), FileRow::Total);
        subtotals.clear();
    };

    const QStringList fields = QStringList{"ReqDate", "ShortDesc", "HoursTot", "MinTot", "CostTot", "AmtPaid", kind.groupField}
                               + kind.lastFields;
    const bool twoParts = kind.lastFields.size() == 2;
    // The row's amounts, added to both sums under the error trap.
    Value hours, minutes, cost, paid;
    const std::function<void()> addAmounts = [&] {
        totals.add(hours, minutes, cost, paid);
        subtotals.add(hours, minutes, cost, paid);
    };
    run.forEachRow(kind.query, fields, [&](const ReportRow& r) {
        if (grouped) {
            const Value key = r[GroupKey];
            if (!key.isNull() && key.toLong() != groupKey) {
                run.step(subtotal);
                groupKey = key.toLong();
            }
        }
        hours = r[HoursTot], minutes = r[MinTot], cost = r[CostTot], paid = r[AmtPaid];
        const QString row = tableRow({cells.date(r[ReqDate]), CellTexts::text(r[ShortDesc]), cells.number(hours),
                                      cells.number(minutes), cells.money(cost), cells.money(paid),
                                      twoParts ? cells.person(r[Last1], r[Last2]) : CellTexts::text(r[Last1])});
        run.step(addAmounts);
        out.row(kRowFormat, row, FileRow::Data);
    });
    if (run.cancelled())
        return;
    if (grouped)
        run.step(subtotal);
    run.step([&] { out.row(kRowFormat, sumsLine(QStringLiteral("Totals:"), totals), FileRow::Total); });
    run.finish();
}

} // namespace

void HoursByStaffReport()
{
    ReportMode = 0;
    if (!ReportRun::askOptions())
        return;
    runTotals(TotalsKind{QStringLiteral("Hours by Staff"), QStringLiteral("|Total Hours by Staff for "),
                         QStringLiteral("Assigned To"), hoursQuery(currentAnswers()), QStringLiteral("AssignedTo"),
                         {QStringLiteral("StaffFirst"), QStringLiteral("StaffLast")}});
}

void ChargesReport()
{
    if (!ReportRun::askOptions())
        return;
    if (ReportMode == 2)
        runTotals(TotalsKind{QStringLiteral("Charges by Department"),
                             QStringLiteral("|Total Hours by Department/Company for "), QStringLiteral("Dept/Comp"),
                             chargesQuery(2, currentAnswers()), QStringLiteral("DeptID"), {QStringLiteral("DeptName")}});
    else
        runTotals(TotalsKind{QStringLiteral("Charges by Customer"), QStringLiteral("|Total Hours by Customer for "),
                             QStringLiteral("Customer"), chargesQuery(1, currentAnswers()), QStringLiteral("CustID"),
                             {QStringLiteral("FirstName"), QStringLiteral("LastName")}});
}

} // namespace cvd
