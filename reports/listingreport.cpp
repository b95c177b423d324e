// The request listings: every request of the range with its date, state,
// customer, department/company, category, assigned staff member and its
// request and response texts, sorted by staff, customer, department or
// category.  Landscape gives one row per request, portrait two rows (the
// texts below the rest) and a small gap; the text file one line.
#include "base/formats.h"
#include "base/globals.h"
#include "reports/reportprocs.h"
#include "reports/reportqueries.h"
#include "reports/reportrules.h"
#include "reports/reportrun.h"
#include "reports/tabletext.h"

#include <QHash>

namespace cvd {

namespace {

const QString kLandscapeFormat = QStringLiteral("+1000|+600|+1480|+1480|+1600|+1480|3100|3100;");
const QString kPortraitFormat = QStringLiteral("+1100|+600|+2040|+1680|+1800|+3240;");
const QString kTextsFormat = QStringLiteral("+5230|+5230;");
constexpr int kPortraitGap = 80;

QString listingTitle(int mode)
{
    static const char* const titles[] = {"|Requests by Staff for ", "|Requests by Customer for ",
                                         "|Requests by Dept/Comp for ", "|Requests by Category for "};
    QString t = QLatin1String(titles[mode]) + fmt::shortDate(ReportStartDate) + QStringLiteral(" to ")
                + fmt::shortDate(ReportEndDate);
    if (!SelectedName.isEmpty()) {
        t += QStringLiteral(" from ");
        appendCell(t, SelectedName); // a "|" in the name does not end the title
    }
    return t + QLatin1Char('|');
}

// Every staff member's name by key, as the assigned-to cell shows it.
QHash<long, QString> staffNames()
{
    QHash<long, QString> names;
    auto staff = MainDb->OpenRecordset(QStringLiteral("Staff"), RecordsetType::Table);
    for (; !staff->Eof(); staff->MoveNext())
        names.insert(staff->Field(QStringLiteral("StaffID")).toLong(),
                     personName(staff->Field(QStringLiteral("FirstName")), staff->Field(QStringLiteral("LastName"))));
    staff->Close();
    return names;
}

} // namespace

void ListingReport()
{
    if (!ReportRun::askOptions())
        return;
    const int mode = (ReportMode >= 0 && ReportMode <= 3) ? ReportMode : 0;
    const bool landscape = LandscapeWanted;

    ReportRun run(QStringLiteral("the request listing"));
    if (!run.begin(PageSetup{landscape, listingTitle(mode), QStringLiteral("|Page %d|")}))
        return;
    ReportOutput& out = run.out();
    run.step([&] {
        if (landscape)
            out.columnTitles({TableRow{kLandscapeFormat, QStringLiteral("Req. Date|Rslv|Customer Name|Dept./Comp.|"
                                                                        "Category|Assigned To|Request|Response;")}});
        else
            out.columnTitles(
                {TableRow{kPortraitFormat, QStringLiteral("Req. Date|Rslv|Customer Name|Dept./Comp.|Category|Assigned To;")},
                 TableRow{kTextsFormat, QStringLiteral("Request|Response;")}});
    });

    QHash<long, QString> staff;
    run.step([&] {
        if (!MainDb)
            raise(ErrNo::ObjectNotSet);
        staff = staffNames();
    });
    enum { ReqDate, Resolved, FirstName, LastName, DeptName, CatDesc, AssignedTo, ReqDesc, Resp };
    const QStringList fields{"ReqDate", "Resolved", "FirstName", "LastName", "DeptName", "CatDesc", "AssignedTo",
                             "ReqDesc", "Resp"};
    CellTexts cells;
    run.forEachRow(listingQuery(mode, currentAnswers()), fields, [&](const ReportRow& r) {
        const Value resolved = r[Resolved];
        const Value assigned = r[AssignedTo];
        const QString date = cells.date(r[ReqDate]);
        const QString state = !resolved.isNull() && resolved.toBool() ? QStringLiteral("Yes") : QStringLiteral("No");
        const QString customer = cells.person(r[FirstName], r[LastName]);
        const QString dept = CellTexts::text(r[DeptName]), category = CellTexts::text(r[CatDesc]);
        const QString staffName = assigned.isNull() ? QString() : staff.value(assigned.toLong());
        const QString request = CellTexts::text(r[ReqDesc]), response = CellTexts::text(r[Resp]);
        if (landscape)
            out.row(kLandscapeFormat,
                    tableRow({date, state, customer, dept, category, staffName, request, response}), FileRow::Data);
        else
            out.record({TableRow{kPortraitFormat, tableRow({date, state, customer, dept, category, staffName})},
                        TableRow{kTextsFormat, tableRow({request, response})}},
                       FileRow::Data, kPortraitGap);
    });
    if (run.cancelled())
        return;
    run.finish();
}

} // namespace cvd
