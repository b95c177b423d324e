// The program's query texts, run against the fixture database: the find
// dialog's texts, and the report and bill queries composed from their pieces
// the way the report procedures compose them.  Each must run and return the
// rows a reader expects, in order.  (The look-up lists and the maintenance
// finds are run by the main window's and the engine's tests.)
#include "core/database.h"
#include "support/fixturedb.h"
#include "support/testfiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace cvd;
using namespace Qt::StringLiterals;

namespace {

enum class State { Open, Resolved, Both };

const QDate from98(1998, 1, 1);
const QDate to98(1998, 12, 31);

QString mmddyy(const QDate& d) { return d.toString(QStringLiteral("MM/dd/yy")); }

QString range(const QDate& from, const QDate& to)
{
    return mmddyy(from) + QStringLiteral("# and ReQDate <= #") + mmddyy(to) + QStringLiteral("#");
}

QString stateText(State s, const QString& openText)
{
    return s == State::Open ? openText : s == State::Resolved ? u" and Resolved"_s : QString();
}

// Request listings, by mode 0 staff, 1 customer, 2 department, 3 category.
QString listingSql(int mode, State state, int id, const QDate& from = from98, const QDate& to = to98)
{
    const QString joins = u"((Req left join Dept on Req.DeptID = Dept.DeptID) left join Customers on Req.CustID = "
                          "Customers.CustID) left join Categories on Req.CatID = Categories.CatID where ReqDate >= #"_s;
    const QString plain = u"Select CatDesc, Resolved, ReqDate, ReqDesc, Resp, AssignedTo, Req.CustID as CustID, "
                          "DeptName, LastName, FirstName from "_s + joins;
    const QString base[4] = {
        u"Select CatDesc, Resolved, ReqDate, ReqDesc, Resp, AssignedTo, Req.CustID as CustID, DeptName, "
        "Customers.LastName as LastName, Customers.FirstName as FirstName, Staff.LastName as StaffLast, "
        "Staff.FirstName as StaffFirst from (((Req left join Dept on Req.DeptID = Dept.DeptID) left join "
        "Customers on Req.CustID = Customers.CustID) left join Staff on Req.AssignedTo = Staff.StaffID) left "
        "join Categories on Req.CatID = Categories.CatID where ReqDate >= #"_s,
        plain,
        plain,
        u"Select Resolved, CatDesc, DeptName, ReqDate, ReqDesc, Resp, AssignedTo, Req.CustID as CustID, DeptName, "
        "LastName, FirstName from "_s + joins,
    };
    const QString order[4] = {u" order by Staff.LastName, Staff.FirstName, ReqDate, Customers.LastName, Customers.FirstName"_s,
                              u" order by LastName, FirstName, ReqDate"_s, u" order by DeptName, ReqDate"_s,
                              u" order by CatDesc, ReqDate, DeptName"_s};
    const QString selected[4] = {u" and AssignedTo = "_s, u" and Req.CustID = "_s, u" and Req.DeptID = "_s,
                                 u" and Req.CatID = "_s};
    QString s = base[mode] + range(from, to) + stateText(state, mode == 1 ? u" and not Resolved"_s : u" and not resolved"_s);
    if (id == 0)
        return s + order[mode];
    return s + selected[mode] + QString::number(id)
           + (mode == 0 ? u" order by ReqDate, Customers.LastName, Customers.FirstName"_s : order[mode]);
}

QString hoursSql(State state, int id, const QDate& from = from98, const QDate& to = to98)
{
    QString s = u"Select AmtPaid, ReqDate, ShortDesc, AssignedTo, HoursTot, MinTot, CostTot, Staff.LastName as "
                "StaffLast, Staff.FirstName as StaffFirst from Req left join Staff on Req.AssignedTo = "
                "Staff.StaffID where ReqDate >= #"_s
                + range(from, to) + stateText(state, u" and not resolved"_s);
    return s + (id == 0 ? u" order by Staff.LastName, Staff.FirstName, ReqDate"_s
                        : u" and AssignedTo = %1 order by ReqDate"_s.arg(id));
}

// The end of the charges and bills queries, by customer or by department.
QString byCustOrDept(bool byDept, int id)
{
    if (id != 0)
        return (byDept ? u" and DeptID = %1 order by ReqDate"_s : u" and CustID = %1 order by ReqDate"_s).arg(id);
    return byDept ? u" order by DeptName, ReqDate"_s : u" order by Customers.LastName, Customers.FirstName, ReqDate"_s;
}

QString chargesSql(bool byDept, State state, int id, const QDate& from = from98, const QDate& to = to98)
{
    return u"Select AmtPaid, Req.DeptID as DeptID, Req.CustID as CustID, DeptName, ReqDate, ShortDesc, "
           "AssignedTo, HoursTot, MinTot, CostTot, Customers.LastName as LastName, "
           "Customers.FirstName as FirstName from (Req left join Customers on Req.CustID = "
           "Customers.CustID) left join Dept on Req.DeptID = Dept.DeptID where ReqDate >= #"_s
           + range(from, to) + stateText(state, u" and not resolved"_s) + byCustOrDept(byDept, id);
}

QString billsSql(bool byDept, State state, int id, const QDate& from = from98, const QDate& to = to98)
{
    const QString s = byDept ? u"Select AmtPaid, Req.DeptID as DeptID, Address, City, St, Zip, Country, "
                               "DeptName, ReqDate, ShortDesc, AssignedTo, CostTot from Req left join Dept on "
                               "Req.DeptID = Dept.DeptID where ReqDate >= #"_s
                             : u"Select AmtPaid, Req.CustID as CustID, ReqDate, ShortDesc, AssignedTo, CostTot, "
                               "LastName, FirstName, Address, City, St, Zip, Country from Req left join "
                               "Customers on Req.CustID = Customers.CustID where ReqDate >= #"_s;
    return s + range(from, to) + u" and AmtPaid < CostTot"_s + stateText(state, u" and not resolved"_s)
           + byCustOrDept(byDept, id);
}

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
    QTest::addColumn<RecordsetType>("type");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("expected"); // the key of each row in order

    const auto dyn = RecordsetType::Dynaset;
    auto row = [](const char* name, const QString& sql, const char* key, const QStringList& expected,
                   RecordsetType type = RecordsetType::Snapshot) {
        QTest::newRow(name) << sql << type << QString::fromLatin1(key) << expected;
    };

    // The find dialog's texts, as it puts them together from its entries.
    auto find = [&](const char* name, const QString& where, const QStringList& expected) {
        row(name, u"Select * from Req where "_s + where + u" order by ReqDate desc"_s, "ReqID", expected, dyn);
    };
    find("find: text", u"ReqDesc like '*printer*'"_s, {"5", "1"});
    find("find: text, unicode case", u"ReqDesc like '*ångström*'"_s, {"6"});
    find("find: apostrophe", u"ReqDesc like '*O''Neil*'"_s, {"3"});
    find("find: or, request and response",
         u"(ReqDesc like '*network*' or Resp like '*network*') or (ReqDesc like '*driver*' or Resp like '*driver*')"_s,
         {"5", "3"});
    find("find: date less than", u" ReqDate < #03/05/98#"_s, {"4", "3", "2", "1"});

    // Request listings (1998: requests 2 to 6).
    row("listing by staff", listingSql(0, State::Both, 0), "ReqDate",
        {"1998-02-10", "1998-01-05", "1998-03-31", "1998-01-20", "1998-03-05"});
    row("listing by staff, one, resolved", listingSql(0, State::Resolved, 1), "ReqDate", {"1998-01-20"});
    row("listing by customer", listingSql(1, State::Both, 0), "CustID", {"1", "1", "2", "3", "4"});
    row("listing by department", listingSql(2, State::Both, 0), "ReqDate",
        {"1998-01-05", "1998-02-10", "1998-03-31", "1998-01-20", "1998-03-05"});
    row("listing by category", listingSql(3, State::Both, 0), "ReqDate",
        {"1998-03-31", "1998-02-10", "1998-01-20", "1998-01-05", "1998-03-05"});
    row("listing by category, open", listingSql(3, State::Open, 0), "CatDesc", {"null", "Hardware", "Software"});

    // Hours by staff.
    row("hours", hoursSql(State::Both, 0), "AssignedTo", {"null", "2", "2", "1", "3"});
    row("hours, 1990 to 2029", hoursSql(State::Both, 0, QDate(1990, 1, 1), QDate(2029, 12, 31)), "ReqDate",
        {"1998-02-10", "1998-01-05", "1998-03-31", "1997-12-15", "1998-01-20", "1999-06-01", "1998-03-05",
            "2001-07-04"});
    row("hours, resolved, up to a request's day", hoursSql(State::Resolved, 0, from98, QDate(1998, 3, 5)), "ReqDate",
        {"1998-01-20", "1998-03-05"});

    // Charges by customer and by department: an unqualified CustID or
    // DeptID is the request's own.
    row("charges by customer, one", chargesSql(false, State::Both, 1), "ReqDate", {"1998-01-05", "1998-03-05"});
    row("charges by department", chargesSql(true, State::Both, 0), "DeptID", {"1", "1", "3", "2", "2"});
    row("charges by department, one", chargesSql(true, State::Both, 2), "ReqDate", {"1998-01-20", "1998-03-05"});

    // Bills: only what is not paid in full.
    row("bills by customer", billsSql(false, State::Both, 0), "ReqDate", {"1998-01-05", "1998-03-05", "1998-01-20"});
    row("bills by department", billsSql(true, State::Both, 0), "DeptID", {"1", "2", "2"});
}

void TestSqlTexts::runs()
{
    QFETCH(QString, sql);
    QFETCH(RecordsetType, type);
    QFETCH(QString, key);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    auto db = Database::Open(test::createFixtureDb(dir.path()));
    std::unique_ptr<Recordset> rs;
    QString err;
    QVERIFY2(test::errorOf([&] { rs = db->OpenRecordset(sql, type); }, &err) == 0, qPrintable(err + '\n' + sql));
    QStringList got;
    for (; !rs->Eof(); rs->MoveNext())
        got << keyText(rs->Field(key));
    if (!got.isEmpty())
        rs->MoveLast(); // the count is exact from here
    QCOMPARE(rs->RecordCount(), long(expected.size()));
    QCOMPARE(got, expected);
}

QTEST_GUILESS_MAIN(TestSqlTexts)
#include "tst_sqltexts.moc"
