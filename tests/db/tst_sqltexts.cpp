// The report and bill queries as the report procedures put them together
// (nested joins, #mm/dd/yy# bounds, Yes/No tests, a key left unqualified),
// run against the fixture database: each must run and return the rows a
// reader expects, in order.  (The find texts are run by the find dialog's tests.)
#include "db/database.h"
#include "support/fixturedb.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QTemporaryDir>
#include <QTest>

using namespace cvd;
using namespace Qt::StringLiterals;

namespace {

const QString In98 = u" where ReqDate >= #01/01/98# and ReQDate <= #12/31/98#"_s;

// A field's value as compared below: dates ISO.
QString keyText(const Value& v)
{
    if (v.isNull())
        return u"null"_s;
    return v.type() == VType::Date ? v.toDate().toString(Qt::ISODate) : v.toText();
}

} // namespace

class TestSqlTexts : public QObject {
    Q_OBJECT

private slots:
    void runs_data();
    void runs();
};

void TestSqlTexts::runs_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("expected"); // the key of each row in order

    // 1998: requests 2 to 6.
    QTest::newRow("listing by staff, one, resolved")
        << u"Select CatDesc, Resolved, ReqDate, ReqDesc, Resp, AssignedTo, Req.CustID as CustID, DeptName, "
           "Customers.LastName as LastName, Customers.FirstName as FirstName, Staff.LastName as StaffLast, "
           "Staff.FirstName as StaffFirst from (((Req left join Dept on Req.DeptID = Dept.DeptID) left join "
           "Customers on Req.CustID = Customers.CustID) left join Staff on Req.AssignedTo = Staff.StaffID) left "
           "join Categories on Req.CatID = Categories.CatID"_s
               + In98 + u" and Resolved and AssignedTo = 1 order by ReqDate, Customers.LastName, Customers.FirstName"_s
        << "ReqDate" << QStringList{"1998-01-20"};
    QTest::newRow("listing by category, open")
        << u"Select Resolved, CatDesc, DeptName, ReqDate, ReqDesc, Resp, AssignedTo, Req.CustID as CustID, DeptName, "
           "LastName, FirstName from ((Req left join Dept on Req.DeptID = Dept.DeptID) left join Customers on "
           "Req.CustID = Customers.CustID) left join Categories on Req.CatID = Categories.CatID"_s
               + In98 + u" and not resolved order by CatDesc, ReqDate, DeptName"_s
        << "CatDesc" << QStringList{"null", "Hardware", "Software"};
    QTest::newRow("hours, 1990 to 2029")
        << u"Select AmtPaid, ReqDate, ShortDesc, AssignedTo, HoursTot, MinTot, CostTot, Staff.LastName as StaffLast, "
           "Staff.FirstName as StaffFirst from Req left join Staff on Req.AssignedTo = Staff.StaffID where ReqDate >= "
           "#01/01/90# and ReQDate <= #12/31/29# order by Staff.LastName, Staff.FirstName, ReqDate"_s
        << "ReqDate" << QStringList{"1998-02-10", "1998-01-05", "1998-03-31", "1997-12-15", "1998-01-20", "1999-06-01",
                                    "1998-03-05", "2001-07-04"};
    // An unqualified CustID is the request's own.
    QTest::newRow("charges by customer, one")
        << u"Select AmtPaid, Req.DeptID as DeptID, Req.CustID as CustID, DeptName, ReqDate, ShortDesc, AssignedTo, "
           "HoursTot, MinTot, CostTot, Customers.LastName as LastName, Customers.FirstName as FirstName from (Req left "
           "join Customers on Req.CustID = Customers.CustID) left join Dept on Req.DeptID = Dept.DeptID"_s
               + In98 + u" and CustID = 1 order by ReqDate"_s
        << "ReqDate" << QStringList{"1998-01-05", "1998-03-05"};
    // Bills: only what is not paid in full.
    QTest::newRow("bills by customer")
        << u"Select AmtPaid, Req.CustID as CustID, ReqDate, ShortDesc, AssignedTo, CostTot, LastName, FirstName, "
           "Address, City, St, Zip, Country from Req left join Customers on Req.CustID = Customers.CustID"_s
               + In98 + u" and AmtPaid < CostTot order by Customers.LastName, Customers.FirstName, ReqDate"_s
        << "ReqDate" << QStringList{"1998-01-05", "1998-03-05", "1998-01-20"};
}

void TestSqlTexts::runs()
{
    QFETCH(QString, sql);
    QFETCH(QString, key);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    auto db = Database::Open(test::createFixtureDb(dir.path()));
    std::unique_ptr<Recordset> rs;
    QString err;
    QVERIFY2(test::errorOf([&] { rs = db->OpenRecordset(sql, RecordsetType::Snapshot); }, &err) == 0,
             qPrintable(err + '\n' + sql));
    QStringList got;
    for (; !rs->Eof(); rs->MoveNext())
        got << keyText(rs->Field(key));
    if (!got.isEmpty())
        rs->MoveLast(); // the count is exact from here
    QCOMPARE(rs->RecordCount(), long(expected.size()));
    QCOMPARE(got, expected);
}

CVD_TEST_GUILESS_MAIN(TestSqlTexts)
#include "tst_sqltexts.moc"
