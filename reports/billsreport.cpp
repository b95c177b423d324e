// Bills: one per customer or department/company for the requests of the
// range that are not paid in full.  A bill is the company heading (in the
// preview), the recipient's name and postal address, one row per request
// with its cost, the payments already received when there are any, and the
// total amount due.
#include "base/errorhandler.h"
#include "base/formats.h"
#include "base/globals.h"
#include "base/platform.h"
#include "reports/reportprocs.h"
#include "reports/reportqueries.h"
#include "reports/reportrules.h"
#include "reports/reportrun.h"
#include "reports/reportwindows.h"

namespace cvd {

namespace {

const QString kRowFormat = QStringLiteral("+1100|+4800|>1140;");
const QString kTotalFormat = QStringLiteral("+5900|>1140;");
const TableRow kTitles{kRowFormat, QStringLiteral("Date|Description|Amount;")};

// A heading font from the Settings record; an empty name or a size that
// cannot be printed gives the font of a new database's heading.
PageFont headingFont(Recordset& s, const char* prefix, double defaultSize)
{
    const QString p = QLatin1String(prefix);
    PageFont f;
    f.name = fmt::trimmedBlanks(CellTexts::text(s.Field(p + QStringLiteral("Font"))));
    if (f.name.isEmpty())
        f.name = QStringLiteral("Times New Roman");
    const Value size = s.Field(p + QStringLiteral("Size"));
    f.size = size.isNull() ? 0 : size.toDouble();
    if (!(f.size >= 1 && f.size <= 400))
        f.size = defaultSize;
    const Value bold = s.Field(p + QStringLiteral("Bold"));
    const Value italic = s.Field(p + QStringLiteral("Italic"));
    f.bold = !bold.isNull() && bold.toBool();
    f.italic = !italic.isNull() && italic.toBool();
    return f;
}

CompanyHeading companyHeading()
{
    CompanyHeading h{QString(), PageFont{QStringLiteral("Times New Roman"), 18, true, false}, QString(),
                     PageFont{QStringLiteral("Times New Roman"), 10, false, false}};
    if (!MainDb)
        raise(ErrNo::ObjectNotSet);
    auto s = MainDb->OpenRecordset(QStringLiteral("Settings"), RecordsetType::Table);
    if (!s->Eof()) {
        h.name = CellTexts::text(s->Field(QStringLiteral("CompName")));
        h.address = CellTexts::text(s->Field(QStringLiteral("CompAdd")));
        h.nameFont = headingFont(*s, "N", 18);
        h.addressFont = headingFont(*s, "A", 10);
    }
    s->Close();
    return h;
}

// An empty heading (no name, no address): the first bill run of the
// program asks whether to set it now.  Yes opens the defaults window and
// ends the run (the user runs the bills again once the heading is typed);
// No makes the bills without a heading.  Whether the run goes on.
bool goOnWithHeading(const CompanyHeading& h)
{
    if (!reportWindows().showDefaults || BillHeadingAsked || !h.name.trimmed().isEmpty()
        || !h.address.trimmed().isEmpty())
        return true;
    BillHeadingAsked = true;
    if (platform().messageBox(QStringLiteral("The company name and address that head every bill are empty.  Set them "
                                             "now in the defaults window?"),
                              Mb::YesNo | Mb::Question, QStringLiteral("Bills"))
        != Answer::Yes)
        return true;
    reportWindows().showDefaults();
    return false;
}

QString leftOutMessage(int mode, int count)
{
    const QString who = mode == 2 ? QStringLiteral("department/company") : QStringLiteral("customer");
    if (count == 1)
        return QStringLiteral("1 request without a %1 was not billed: there is no one to send its bill to.").arg(who);
    return QStringLiteral("%1 requests without a %2 were not billed: there is no one to send their bills to.")
        .arg(count)
        .arg(who);
}

} // namespace

void BillsReport()
{
    CompanyHeading company;
    trap([&] { company = companyHeading(); });
    if (!goOnWithHeading(company))
        return;
    if (!ReportRun::askOptions())
        return;
    const int mode = ReportMode == 2 ? 2 : 1;

    ReportRun run(mode == 2 ? QStringLiteral("Bills by Department") : QStringLiteral("Bills by Customer"));
    if (!run.begin(PageSetup{}))
        return;
    ReportOutput& out = run.out();

    long recipient = 0; // the bill being written; 0 before the first
    Currency amount, paid;
    int leftOut = 0;
    auto total = [&] {
        QList<TableRow> rows;
        if (paid != Currency())
            rows << TableRow{kTotalFormat, QStringLiteral("Less Payments Received:|") + fmt::currency(paid) + u';'};
        rows << TableRow{kTotalFormat, QStringLiteral("Total Amount Due:|") + fmt::currency(amount - paid) + u';'};
        amount = paid = Currency();
        out.billTotal(rows);
    };

    enum { Key, ReqDate, ShortDesc, CostTot, AmtPaid, Name1, Name2, Address, City, St, Zip, Country };
    const QStringList fields{mode == 2 ? "DeptID" : "CustID", "ReqDate", "ShortDesc", "CostTot", "AmtPaid",
                             mode == 2 ? "DeptName" : "FirstName", mode == 2 ? "DeptName" : "LastName", "Address",
                             "City", "St", "Zip", "Country"};
    // The row's cost and amount paid, added to the bill's sums under the
    // error trap, each as it is shown (to the cent): the rows add up to the
    // total.
    Value cost, amtPaid;
    const std::function<void()> addAmounts = [&] {
        if (!cost.isNull())
            amount = amount + fmt::asShown(cost.toCurrency());
        if (!amtPaid.isNull())
            paid = paid + fmt::asShown(amtPaid.toCurrency());
    };
    CellTexts cells;
    run.forEachRow(billsQuery(mode, currentAnswers()), fields, [&](const ReportRow& r) {
        const Value key = r[Key];
        if (key.isNull() || key.toLong() == 0) {
            // No one to send it to: never on another recipient's bill.
            ++leftOut;
            return;
        }
        if (key.toLong() != recipient) {
            if (recipient != 0)
                run.step(total);
            run.step([&] {
                const QString name = mode == 2 ? CellTexts::text(r[Name1]) : personName(r[Name1], r[Name2]);
                out.billHeading(company, recipientLines(name, r[Address], r[City], r[St], r[Zip], r[Country]), kTitles);
            });
            recipient = key.toLong();
        }
        cost = r[CostTot];
        amtPaid = r[AmtPaid];
        const QString row = tableRow({cells.date(r[ReqDate]), CellTexts::text(r[ShortDesc]), cells.money(cost)});
        run.step(addAmounts);
        out.row(kRowFormat, row, FileRow::Bill);
    });
    if (run.cancelled())
        return;
    // The open bill's total; a run without bills shows a total of nothing.
    run.step(total);
    if (run.finish() && leftOut > 0)
        platform().messageBox(leftOutMessage(mode, leftOut), Mb::OkOnly | Mb::Information);
}

} // namespace cvd
