// Hours by staff and charges by customer or by department: every request
// of the range with its hours, minutes, cost and amount paid, a subtotal
// line after each group and a totals line, the minutes carried into hours.
#include "base/errorhandler.h"
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
    std::function<QString(Recordset&)> lastCell;
};

void runTotals(const TotalsKind& kind)
{
    ReportRun run(kind.title);
    const QString header = kind.header + fmt::shortDate(ReportStartDate) + QStringLiteral(" to ")
                           + fmt::shortDate(ReportEndDate) + QStringLiteral("|Page %d");
    if (!run.begin(PageSetup{false, header, {}}))
        return;
    ReportOutput& out = run.out();
    trap([&] {
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

    run.forEachRow(kind.query, [&](Recordset& r) {
        if (grouped) {
            const Value key = r.Field(kind.groupField);
            if (!key.isNull() && key.toLong() != groupKey) {
                trap(subtotal);
                groupKey = key.toLong();
            }
        }
        const Value hours = r.Field(QStringLiteral("HoursTot"));
        const Value minutes = r.Field(QStringLiteral("MinTot"));
        const Value cost = r.Field(QStringLiteral("CostTot"));
        const Value paid = r.Field(QStringLiteral("AmtPaid"));
        const QString row = cells.date(r.Field(QStringLiteral("ReqDate"))) + QLatin1Char('|')
                            + CellTexts::text(r.Field(QStringLiteral("ShortDesc"))) + QLatin1Char('|')
                            + cells.number(hours) + QLatin1Char('|') + cells.number(minutes) + QLatin1Char('|')
                            + cells.money(cost) + QLatin1Char('|') + cells.money(paid) + QLatin1Char('|')
                            + kind.lastCell(r) + QLatin1Char(';');
        trap([&] {
            totals.add(hours, minutes, cost, paid);
            subtotals.add(hours, minutes, cost, paid);
        });
        out.row(kRowFormat, row, FileRow::Data);
    });
    if (run.cancelled())
        return;
    if (grouped)
        trap(subtotal);
    trap([&] { out.row(kRowFormat, sumsLine(QStringLiteral("Totals:"), totals), FileRow::Total); });
    run.finish();
}

QString personCell(Recordset& r, const QString& first, const QString& last)
{
    return personName(r.Field(first), r.Field(last));
}

} // namespace

void HoursByStaffReport()
{
    ReportMode = 0;
    if (!ReportRun::askOptions())
        return;
    runTotals(TotalsKind{QStringLiteral("Hours by Staff"), QStringLiteral("|Total Hours by Staff for "),
                         QStringLiteral("Assigned To"), hoursQuery(currentAnswers()), QStringLiteral("AssignedTo"),
                         [](Recordset& r) {
                             return personCell(r, QStringLiteral("StaffFirst"), QStringLiteral("StaffLast"));
                         }});
}

void ChargesReport()
{
    if (!ReportRun::askOptions())
        return;
    if (ReportMode == 2)
        runTotals(TotalsKind{QStringLiteral("Charges by Department"),
                             QStringLiteral("|Total Hours by Department/Company for "), QStringLiteral("Dept/Comp"),
                             chargesQuery(2, currentAnswers()), QStringLiteral("DeptID"), [](Recordset& r) {
                                 return CellTexts::text(r.Field(QStringLiteral("DeptName")));
                             }});
    else
        runTotals(TotalsKind{QStringLiteral("Charges by Customer"), QStringLiteral("|Total Hours by Customer for "),
                             QStringLiteral("Customer"), chargesQuery(1, currentAnswers()), QStringLiteral("CustID"),
                             [](Recordset& r) {
                                 return personCell(r, QStringLiteral("FirstName"), QStringLiteral("LastName"));
                             }});
}

} // namespace cvd
