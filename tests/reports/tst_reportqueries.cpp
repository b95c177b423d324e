// The report queries: their exact texts (one of each form), four-digit
// years in the date literals, and what each finds, in which order, on the
// report fixture.
#include "support/testmain.h"
#include "reports/reportqueries.h"
#include "reportfixture.h"

using namespace cvd;
using namespace cvd::test;

namespace {


ReportAnswers with(StateFilterKind state, long id, QDate start = {2026, 1, 1}, QDate end = {2026, 12, 31})
{
    return ReportAnswers{start, end, state, id};
}

} // namespace

class tst_reportqueries : public QObject {
    Q_OBJECT
    std::unique_ptr<ReportSession> s;
    QHash<QString, int> idOf; // ShortDesc and ReqDesc to ReqID

    // The requests a query finds, in its order, told apart by their texts.
    QList<int> found(const QString& sql)
    {
        QList<int> ids;
        auto rs = MainDb->OpenRecordset(sql, RecordsetType::Snapshot);
        const bool listing = rs->FieldNames().contains(QStringLiteral("ReqDesc"));
        for (; !rs->Eof(); rs->MoveNext())
            ids << idOf.value(rs->Field(listing ? QStringLiteral("ReqDesc") : QStringLiteral("ShortDesc")).toText(), -1);
        return ids;
    }

private slots:
    void init()
    {
        s = std::make_unique<ReportSession>();
        auto rs = MainDb->OpenRecordset(QStringLiteral("select ReqID, ShortDesc, ReqDesc from Req"), RecordsetType::Snapshot);
        for (; !rs->Eof(); rs->MoveNext()) {
            idOf.insert(rs->Field(QStringLiteral("ShortDesc")).toText(), rs->Field(QStringLiteral("ReqID")).toLong());
            idOf.insert(rs->Field(QStringLiteral("ReqDesc")).toText(), rs->Field(QStringLiteral("ReqID")).toLong());
        }
    }
    void cleanup() { s.reset(); }

    void texts_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        QTest::newRow("listing by staff, one, open") << listingQuery(0, with(StateFilterKind::OpenOnly, 3))
            << "Select CatDesc, Resolved, ReqDate, ReqDesc, Resp, AssignedTo, Req.CustID as CustID, DeptName, "
               "Customers.LastName as LastName, Customers.FirstName as FirstName, Staff.LastName as StaffLast, "
               "Staff.FirstName as StaffFirst from (((Req left join Dept on Req.DeptID = Dept.DeptID) left join "
               "Customers on Req.CustID = Customers.CustID) left join Staff on Req.AssignedTo = Staff.StaffID) left "
               "join Categories on Req.CatID = Categories.CatID where ReqDate >= #01/01/2026# and ReQDate <= "
               "#12/31/2026# and not resolved and AssignedTo = 3 order by ReqDate, Customers.LastName, Customers.FirstName";
        QTest::newRow("listing by customer, one, open") << listingQuery(1, with(StateFilterKind::OpenOnly, 2))
            << "Select CatDesc, Resolved, ReqDate, ReqDesc, Resp, AssignedTo, Req.CustID as CustID, DeptName, LastName, "
               "FirstName from ((Req left join Dept on Req.DeptID = Dept.DeptID) left join Customers on Req.CustID = "
               "Customers.CustID) left join Categories on Req.CatID = Categories.CatID where ReqDate >= #01/01/2026# "
               "and ReQDate <= #12/31/2026# and not Resolved and Req.CustID = 2 order by LastName, FirstName, ReqDate";
        QTest::newRow("listing by category, one") << listingQuery(3, with(StateFilterKind::Both, 1))
            << "Select Resolved, CatDesc, DeptName, ReqDate, ReqDesc, Resp, AssignedTo, Req.CustID as CustID, DeptName, "
               "LastName, FirstName from ((Req left join Dept on Req.DeptID = Dept.DeptID) left join Customers on "
               "Req.CustID = Customers.CustID) left join Categories on Req.CatID = Categories.CatID where ReqDate >= "
               "#01/01/2026# and ReQDate <= #12/31/2026# and Req.CatID = 1 order by CatDesc, ReqDate, DeptName";
        QTest::newRow("hours, all, open") << hoursQuery(with(StateFilterKind::OpenOnly, 0))
            << "Select AmtPaid, ReqDate, ShortDesc, AssignedTo, HoursTot, MinTot, CostTot, Staff.LastName as StaffLast, "
               "Staff.FirstName as StaffFirst from Req left join Staff on Req.AssignedTo = Staff.StaffID where ReqDate "
               ">= #01/01/2026# and ReQDate <= #12/31/2026# and not resolved order by Staff.LastName, Staff.FirstName, "
               "ReqDate";
        QTest::newRow("charges by customer, one") << chargesQuery(1, with(StateFilterKind::ResolvedOnly, 2))
            << "Select AmtPaid, Req.DeptID as DeptID, Req.CustID as CustID, DeptName, ReqDate, ShortDesc, AssignedTo, "
               "HoursTot, MinTot, CostTot, Customers.LastName as LastName, Customers.FirstName as FirstName from (Req "
               "left join Customers on Req.CustID = Customers.CustID) left join Dept on Req.DeptID = Dept.DeptID where "
               "ReqDate >= #01/01/2026# and ReQDate <= #12/31/2026# and Resolved and CustID = 2 order by ReqDate";
        // Bills: an empty amount paid is nothing paid, and namesakes get a
        // bill each.
        QTest::newRow("bills by customer, all, open") << billsQuery(1, with(StateFilterKind::OpenOnly, 0))
            << "Select AmtPaid, Req.CustID as CustID, ReqDate, ShortDesc, AssignedTo, CostTot, LastName, FirstName, "
               "Address, City, St, Zip, Country from Req left join Customers on Req.CustID = Customers.CustID where "
               "ReqDate >= #01/01/2026# and ReQDate <= #12/31/2026# and (AmtPaid < CostTot or (AmtPaid is null and "
               "CostTot > 0)) and not resolved order by Customers.LastName, Customers.FirstName, Req.CustID, ReqDate";
        QTest::newRow("bills by department, one") << billsQuery(2, with(StateFilterKind::ResolvedOnly, 2))
            << "Select AmtPaid, Req.DeptID as DeptID, Address, City, St, Zip, Country, DeptName, ReqDate, ShortDesc, "
               "AssignedTo, CostTot from Req left join Dept on Req.DeptID = Dept.DeptID where ReqDate >= #01/01/2026# "
               "and ReQDate <= #12/31/2026# and (AmtPaid < CostTot or (AmtPaid is null and CostTot > 0)) and Resolved "
               "and DeptID = 2 order by ReqDate";
    }
    void texts()
    {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        QCOMPARE(sql, expected);
    }

    void found_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QList<int>>("ids");
        const auto open = StateFilterKind::OpenOnly;
        const auto resolved = StateFilterKind::ResolvedOnly;
        const auto both = StateFilterKind::Both;
        // Every report's full run shows in its golden file; here the
        // groupings narrowed to one record or by their resolved flag.
        QTest::newRow("listing by staff, one") << listingQuery(0, with(both, 2)) << QList<int>{2, 4, 5};
        QTest::newRow("listing by customer, open") << listingQuery(1, with(open, 0)) << QList<int>{6, 13, 2, 4, 9, 8, 14};
        QTest::newRow("listing by customer, one") << listingQuery(1, with(both, 4)) << QList<int>{7, 10};
        QTest::newRow("listing by department, one, resolved") << listingQuery(2, with(resolved, 1)) << QList<int>{1, 3};
        QTest::newRow("listing by category, one") << listingQuery(3, with(both, 3)) << QList<int>{3, 7, 14};
        QTest::newRow("charges by customer, one") << chargesQuery(1, with(both, 1)) << QList<int>{1, 3};
        QTest::newRow("charges by department, one") << chargesQuery(2, with(both, 3)) << QList<int>{5, 8, 14};
        // An empty amount paid (4) is billed.
        QTest::newRow("bills by customer, one") << billsQuery(1, with(both, 2)) << QList<int>{2, 4};
        QTest::newRow("bills by department, one, open") << billsQuery(2, with(open, 2)) << QList<int>{2, 4};
        // Four-digit years: after 2029 and before 1930.
        QTest::newRow("2031") << hoursQuery(with(both, 0, {2031, 1, 1}, {2031, 12, 31})) << QList<int>{11};
        QTest::newRow("1925") << listingQuery(1, with(both, 0, {1925, 1, 1}, {1925, 12, 31})) << QList<int>{12};
        QTest::newRow("1925 to 2031") << chargesQuery(1, with(both, 1, {1925, 1, 1}, {2031, 12, 31}))
                                      << QList<int>{12, 1, 3, 11};
        QTest::newRow("start after end") << billsQuery(2, with(both, 0, {2026, 12, 31}, {2026, 1, 1})) << QList<int>{};
    }
    void found()
    {
        QFETCH(QString, sql);
        QFETCH(QList<int>, ids);
        QCOMPARE(this->found(sql), ids);
    }
};

CVD_TEST_GUILESS_MAIN(tst_reportqueries)
#include "tst_reportqueries.moc"
