// Every query text the program sends, run against the fixture database:
// the look-up lists, the maintenance windows and their in-use checks, the
// find dialog's texts, and the report and bill queries composed from their
// pieces the way the report procedures compose them.  Each must run and
// return the rows a reader expects, in order.
#include "core/database.h"
#include "support/fixturedb.h"

#include <QTemporaryDir>
#include <QTest>

using namespace cvd;

namespace {

enum class State { Open, Resolved, Both };

QString mmddyy(const QDate& d) { return d.toString(QStringLiteral("MM/dd/yy")); }

QString range(const QDate& from, const QDate& to)
{
    return mmddyy(from) + QStringLiteral("# and ReQDate <= #") + mmddyy(to) + QStringLiteral("#");
}

QString stateText(State s, const QString& openText)
{
    switch (s) {
    case State::Open: return openText;
    case State::Resolved: return QStringLiteral(" and Resolved");
    case State::Both: break;
    }
    return QString();
}

// Request listings, by mode 0 staff, 1 customer, 2 department, 3 category.
QString listingSql(int mode, const QDate& from, const QDate& to, State state, int id)
{
    const QString base12 = QStringLiteral(
        "Select CatDesc, Resolved, ReqDate, ReqDesc, Resp, AssignedTo, Req.CustID as CustID, DeptName, LastName, FirstName "
        "from ((Req left join Dept on Req.DeptID = Dept.DeptID) left join Customers on Req.CustID = Customers.CustID) left "
        "join Categories on Req.CatID = Categories.CatID where ReqDate >= #");
    const QString base[4] = {
        QStringLiteral("Select CatDesc, Resolved, ReqDate, ReqDesc, Resp, AssignedTo, Req.CustID as CustID, DeptName, "
                       "Customers.LastName as LastName, Customers.FirstName as FirstName, Staff.LastName as StaffLast, "
                       "Staff.FirstName as StaffFirst from (((Req left join Dept on Req.DeptID = Dept.DeptID) left join "
                       "Customers on Req.CustID = Customers.CustID) left join Staff on Req.AssignedTo = Staff.StaffID) left "
                       "join Categories on Req.CatID = Categories.CatID where ReqDate >= #"),
        base12,
        base12,
        QStringLiteral("Select Resolved, CatDesc, DeptName, ReqDate, ReqDesc, Resp, AssignedTo, Req.CustID as CustID, "
                       "DeptName, LastName, FirstName from ((Req left join Dept on Req.DeptID = Dept.DeptID) left join "
                       "Customers on Req.CustID = Customers.CustID) left join Categories on Req.CatID = Categories.CatID "
                       "where ReqDate >= #"),
    };
    const QString openText[4] = {QStringLiteral(" and not resolved"), QStringLiteral(" and not Resolved"),
                                 QStringLiteral(" and not resolved"), QStringLiteral(" and not resolved")};
    const QString all[4] = {
        QStringLiteral(" order by Staff.LastName, Staff.FirstName, ReqDate, Customers.LastName, Customers.FirstName"),
        QStringLiteral(" order by LastName, FirstName, ReqDate"), QStringLiteral(" order by DeptName, ReqDate"),
        QStringLiteral(" order by CatDesc, ReqDate, DeptName")};
    const QString selected[4] = {QStringLiteral(" and AssignedTo = "), QStringLiteral(" and Req.CustID = "),
                                 QStringLiteral(" and Req.DeptID = "), QStringLiteral(" and Req.CatID = ")};
    const QString selectedOrder[4] = {QStringLiteral(" order by ReqDate, Customers.LastName, Customers.FirstName"),
                                      QStringLiteral(" order by LastName, FirstName, ReqDate"),
                                      QStringLiteral(" order by DeptName, ReqDate"),
                                      QStringLiteral(" order by CatDesc, ReqDate, DeptName")};
    QString s = base[mode] + range(from, to) + stateText(state, openText[mode]);
    s += id == 0 ? all[mode] : selected[mode] + QString::number(id) + selectedOrder[mode];
    return s;
}

QString hoursSql(const QDate& from, const QDate& to, State state, int id)
{
    QString s = QStringLiteral("Select AmtPaid, ReqDate, ShortDesc, AssignedTo, HoursTot, MinTot, CostTot, Staff.LastName as "
                               "StaffLast, Staff.FirstName as StaffFirst from Req left join Staff on Req.AssignedTo = "
                               "Staff.StaffID where ReqDate >= #")
                + range(from, to) + stateText(state, QStringLiteral(" and not resolved"));
    s += id == 0 ? QStringLiteral(" order by Staff.LastName, Staff.FirstName, ReqDate")
                 : QStringLiteral(" and AssignedTo = ") + QString::number(id) + QStringLiteral(" order by ReqDate");
    return s;
}

// Charges by customer (byDept false) or by department.
QString chargesSql(bool byDept, const QDate& from, const QDate& to, State state, int id)
{
    QString s = QStringLiteral("Select AmtPaid, Req.DeptID as DeptID, Req.CustID as CustID, DeptName, ReqDate, ShortDesc, "
                               "AssignedTo, HoursTot, MinTot, CostTot, Customers.LastName as LastName, "
                               "Customers.FirstName as FirstName from (Req left join Customers on Req.CustID = "
                               "Customers.CustID) left join Dept on Req.DeptID = Dept.DeptID where ReqDate >= #")
                + range(from, to) + stateText(state, QStringLiteral(" and not resolved"));
    if (!byDept)
        s += id == 0 ? QStringLiteral(" order by Customers.LastName, Customers.FirstName, ReqDate")
                     : QStringLiteral(" and CustID = ") + QString::number(id) + QStringLiteral(" order by ReqDate");
    else
        s += id == 0 ? QStringLiteral(" order by DeptName, ReqDate")
                     : QStringLiteral(" and DeptID = ") + QString::number(id) + QStringLiteral(" order by ReqDate");
    return s;
}

// Bills by customer (mode 1) or department (mode 2).
QString billsSql(int mode, const QDate& from, const QDate& to, State state, int id)
{
    QString s = mode == 1 ? QStringLiteral("Select AmtPaid, Req.CustID as CustID, ReqDate, ShortDesc, AssignedTo, CostTot, "
                                           "LastName, FirstName, Address, City, St, Zip, Country from Req left join "
                                           "Customers on Req.CustID = Customers.CustID where ReqDate >= #")
                          : QStringLiteral("Select AmtPaid, Req.DeptID as DeptID, Address, City, St, Zip, Country, "
                                           "DeptName, ReqDate, ShortDesc, AssignedTo, CostTot from Req left join Dept on "
                                           "Req.DeptID = Dept.DeptID where ReqDate >= #");
    s += range(from, to) + QStringLiteral(" and AmtPaid < CostTot");
    s += stateText(state, QStringLiteral(" and not resolved"));
    if (mode == 1)
        s += id == 0 ? QStringLiteral(" order by Customers.LastName, Customers.FirstName, ReqDate")
                     : QStringLiteral(" and CustID = ") + QString::number(id) + QStringLiteral(" order by ReqDate");
    else
        s += id == 0 ? QStringLiteral(" order by DeptName, ReqDate")
                     : QStringLiteral(" and DeptID = ") + QString::number(id) + QStringLiteral(" order by ReqDate");
    return s;
}

// The find dialog's query, built step by step from its entries.
struct FindEntries {
    QString search1, search2;
    bool orJoin = false;
    bool reqAndResp = false;
    QString dateText;
    bool less = false;
    int deptId = 0;
    int staffId = 0;
};

QString findSql(FindEntries e)
{
    if (e.search1.isEmpty() && !e.search2.isEmpty()) {
        e.search1 = e.search2;
        e.search2.clear();
    }
    auto criterion = [&](const QString& t) {
        QString esc = t;
        esc.replace(QStringLiteral("'"), QStringLiteral("''"));
        const QString req = QStringLiteral("ReqDesc like '*") + esc + QStringLiteral("*'");
        return e.reqAndResp ? QStringLiteral("(") + req + QStringLiteral(" or Resp like '*") + esc + QStringLiteral("*')") : req;
    };
    QString f;
    if (!e.search1.isEmpty()) {
        f = criterion(e.search1);
        if (!e.search2.isEmpty())
            f += (e.orJoin ? QStringLiteral(" or ") : QStringLiteral(" and ")) + criterion(e.search2);
    }
    if (!e.dateText.isEmpty()) {
        if (!f.isEmpty())
            f += QStringLiteral(" and ");
        f += e.less ? QStringLiteral(" ReqDate < #") : QStringLiteral(" ReqDate >= #");
        f += mmddyy(QDate::fromString(e.dateText, QStringLiteral("M/d/yy"))) + QStringLiteral("#");
    }
    if (e.deptId) {
        if (!f.isEmpty())
            f += QStringLiteral(" and ");
        f += QStringLiteral(" DeptID = ") + QString::number(e.deptId);
    }
    if (e.staffId) {
        if (!f.isEmpty())
            f += QStringLiteral(" and ");
        f += QStringLiteral(" AssignedTo = ") + QString::number(e.staffId);
    }
    return QStringLiteral("Select * from Req where ") + f + QStringLiteral(" order by ReqDate desc");
}

// A field's value as compared below: dates ISO, money in ten-thousandths.
QString keyText(const Value& v)
{
    switch (v.type()) {
    case VType::Null: return QStringLiteral("null");
    case VType::Date: return v.toDate().toString(Qt::ISODate);
    case VType::Currency: return QString::number(v.toCurrency().units);
    case VType::Boolean: return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case VType::Long: return QString::number(v.toLong());
    case VType::Text: return v.toText();
    case VType::Single:
    case VType::Double: return QString::number(v.toDouble());
    }
    return QString();
}

const QDate from98(1998, 1, 1);
const QDate to98(1998, 12, 31);

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
    QTest::addColumn<QString>("criteria"); // FindFirst on the opened set, if any
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("expected"); // the key of each row in order (of the found row)

    const auto snap = RecordsetType::Snapshot;
    const auto dyn = RecordsetType::Dynaset;
    auto row = [](const char* name, const QString& sql, RecordsetType type, const char* key, const QStringList& expected,
                  const QString& criteria = QString()) {
        QTest::newRow(name) << sql << type << criteria << QString::fromLatin1(key) << expected;
    };

    // Start-up: the request set, the settings and the six look-up lists.
    row("ReqSet", QStringLiteral("Select * from Req order by ReqDate desc"), dyn, "ReqID",
        {"8", "7", "6", "5", "4", "3", "2", "1"});
    row("Settings table", QStringLiteral("Settings"), RecordsetType::Table, "DefHourlyRate", {"400000"});
    row("cmbCat", QStringLiteral("Select * from categories order by CatDesc"), snap, "CatID", {"2", "3", "1"});
    row("cmbCust", QStringLiteral("Select CustID, FirstName, LastName from Customers order by Lastname, Firstname"), snap,
        "CustID", {"1", "2", "3", "4"});
    row("cmbDept", QStringLiteral("Select DeptName, DeptID from Dept order by Deptname"), snap, "DeptID", {"1", "3", "2"});
    row("cmbPri", QStringLiteral("Select PriID, PriDesc from Priorities order by PriDesc"), snap, "PriID", {"1", "2", "3"});
    row("staff lists", QStringLiteral("Select FirstName, LastName, StaffID from Staff order by LastName, FirstName"), snap,
        "StaffID", {"2", "1", "3"});

    // The request set after an add: found again by key.
    row("ReqSet find by key", QStringLiteral("Select * from Req order by ReqDate desc"), dyn, "ReqID", {"5"},
        QStringLiteral("ReqID = 5"));

    // Maintenance windows, their finds and their in-use checks.
    row("categories window", QStringLiteral("Select * from Categories order by CatDesc"), dyn, "CatDesc",
        {"Hardware", "Network", "Software"});
    row("priorities window", QStringLiteral("Select * from Priorities order by PriDesc"), dyn, "PriDesc",
        {"High", "Low", "Medium"});
    row("customers window", QStringLiteral("Select * from Customers order by LastName, FirstName"), dyn, "LastName",
        {"Adams", "Baker", "O'Neil", "李"});
    row("departments window", QStringLiteral("Select * from Dept order by DeptName"), dyn, "DeptName",
        {"Accounting", "Zeta Corp", "Ångström Labs"});
    row("staff window", QStringLiteral("Select * from Staff order by LastName, FirstName"), dyn, "LastName",
        {"Jones", "Smith", "Ångström"});
    row("find category", QStringLiteral("Select * from Categories order by CatDesc"), dyn, "CatID", {"3"},
        QStringLiteral("CatDesc like 'net*'"));
    row("find priority", QStringLiteral("Select * from Priorities order by PriDesc"), dyn, "PriID", {"3"},
        QStringLiteral("PriDesc like 'Me*'"));
    row("find customer", QStringLiteral("Select * from Customers order by LastName, FirstName"), dyn, "CustID", {"3"},
        QStringLiteral("LastName like 'O*'"));
    row("customer saved, by key", QStringLiteral("Select * from Customers order by LastName, FirstName"), dyn, "LastName",
        {"李"}, QStringLiteral("CustID = 4"));
    row("find department", QStringLiteral("Select * from Dept order by DeptName"), dyn, "DeptID", {"2"},
        QStringLiteral("DeptName like 'ång*'"));
    row("find staff", QStringLiteral("Select * from Staff order by LastName, FirstName"), dyn, "StaffID", {"1"},
        QStringLiteral("LastName like 'Sm*'"));
    row("find staff, none", QStringLiteral("Select * from Staff order by LastName, FirstName"), dyn, "StaffID", {},
        QStringLiteral("LastName like 'Q*'"));
    row("category in use", QStringLiteral("Select * from Req where CatID = 2"), snap, "ReqID", {"1", "4", "7"});
    row("category not in use", QStringLiteral("Select * from Req where CatID = 99"), snap, "ReqID", {});
    row("priority in use", QStringLiteral("Select * from Req where PriID= 1"), snap, "ReqID", {"1", "3", "7"});
    row("customer in use", QStringLiteral("Select ReqID from Req where CustID = 1"), snap, "ReqID", {"1", "2", "5"});
    row("department in use by requests", QStringLiteral("Select ReqID from Req where DeptID = 2"), snap, "ReqID",
        {"3", "5", "7"});
    row("department in use by customers", QStringLiteral("Select CustID from Customers where DeptID = 1"), snap, "CustID",
        {"1", "3"});
    row("staff in use", QStringLiteral("Select ReqID from Req where EnteredBy = 2 or AssignedTo = 2"), snap, "ReqID",
        {"2", "3", "4", "6"});
    row("customers window departments", QStringLiteral("Select DeptName, DeptID from Dept order by DeptName"), snap,
        "DeptName", {"Accounting", "Zeta Corp", "Ångström Labs"});

    // The find dialog.
    FindEntries e;
    e.search2 = QStringLiteral("printer");
    row("find: second text only", findSql(e), dyn, "ReqID", {"5", "1"});
    e = {};
    e.search1 = QStringLiteral("O'Neil");
    row("find: apostrophe", findSql(e), dyn, "ReqID", {"3"});
    e = {};
    e.search1 = QStringLiteral("network");
    e.search2 = QStringLiteral("driver");
    e.orJoin = true;
    e.reqAndResp = true;
    row("find: or, request and response", findSql(e), dyn, "ReqID", {"5", "3"});
    e = {};
    e.search1 = QStringLiteral("print");
    e.search2 = QStringLiteral("EVERY");
    row("find: and", findSql(e), dyn, "ReqID", {"1"});
    e = {};
    e.dateText = QStringLiteral("3/5/98");
    e.less = true;
    row("find: date less than", findSql(e), dyn, "ReqID", {"4", "3", "2", "1"});
    e = {};
    e.dateText = QStringLiteral("7/4/01");
    row("find: date from, 20xx", findSql(e), dyn, "ReqID", {"8"});
    e = {};
    e.search1 = QStringLiteral("a");
    e.deptId = 1;
    row("find: text and department", findSql(e), dyn, "ReqID", {"2", "1"});
    e = {};
    e.dateText = QStringLiteral("1/1/98");
    e.staffId = 1;
    row("find: date and staff", findSql(e), dyn, "ReqID", {"7", "3"});
    e = {};
    e.deptId = 3;
    row("find: department only", findSql(e), dyn, "ReqID", {"6"});
    e = {};
    e.search1 = QStringLiteral("zoË");
    row("find: unicode", findSql(e), dyn, "ReqID", {"6"});
    e = {};
    e.search1 = QStringLiteral("zzz");
    row("find: nothing", findSql(e), dyn, "ReqID", {});

    // The report selection dialog's lists.
    row("selection: staff", QStringLiteral("Select LastName, FirstName, StaffID from Staff order by LastName, FirstName"),
        snap, "StaffID", {"2", "1", "3"});
    row("selection: customers",
        QStringLiteral("Select LastName, FirstName, CustID from Customers order by LastName, FirstName"), snap, "CustID",
        {"1", "2", "3", "4"});
    row("selection: departments", QStringLiteral("Select DeptName, DeptID from Dept order by DeptName"), snap, "DeptID",
        {"1", "3", "2"});
    row("selection: categories", QStringLiteral("Select * from Categories order by Catdesc"), snap, "CatID",
        {"2", "3", "1"});

    // Request listings (1998: requests 2 to 6).
    row("listing by staff", listingSql(0, from98, to98, State::Both, 0), snap, "ReqDate",
        {"1998-02-10", "1998-01-05", "1998-03-31", "1998-01-20", "1998-03-05"});
    row("listing by staff, open", listingSql(0, from98, to98, State::Open, 0), snap, "ReqDate",
        {"1998-02-10", "1998-01-05", "1998-03-31"});
    row("listing by staff, one, resolved", listingSql(0, from98, to98, State::Resolved, 1), snap, "ReqDate", {"1998-01-20"});
    row("listing by staff, one", listingSql(0, from98, to98, State::Both, 2), snap, "StaffLast", {"Jones", "Jones"});
    row("listing by customer", listingSql(1, from98, to98, State::Both, 0), snap, "CustID", {"1", "1", "2", "3", "4"});
    row("listing by customer, one, open", listingSql(1, from98, to98, State::Open, 1), snap, "ReqDate", {"1998-01-05"});
    row("listing by department", listingSql(2, from98, to98, State::Both, 0), snap, "ReqDate",
        {"1998-01-05", "1998-02-10", "1998-03-31", "1998-01-20", "1998-03-05"});
    row("listing by department, one", listingSql(2, from98, to98, State::Both, 2), snap, "DeptName",
        {"Ångström Labs", "Ångström Labs"});
    row("listing by category", listingSql(3, from98, to98, State::Both, 0), snap, "ReqDate",
        {"1998-03-31", "1998-02-10", "1998-01-20", "1998-01-05", "1998-03-05"});
    row("listing by category, open", listingSql(3, from98, to98, State::Open, 0), snap, "CatDesc",
        {"null", "Hardware", "Software"});
    row("listing by category, one, resolved", listingSql(3, from98, to98, State::Resolved, 1), snap, "ReqDate",
        {"1998-03-05"});

    // Hours by staff.
    row("hours", hoursSql(from98, to98, State::Both, 0), snap, "AssignedTo", {"null", "2", "2", "1", "3"});
    row("hours, resolved", hoursSql(from98, to98, State::Resolved, 0), snap, "StaffLast", {"Smith", "Ångström"});
    row("hours, one, open", hoursSql(from98, to98, State::Open, 2), snap, "ReqDate", {"1998-01-05", "1998-03-31"});
    row("hours, 1990 to 2029", hoursSql(QDate(1990, 1, 1), QDate(2029, 12, 31), State::Both, 0), snap, "ReqDate",
        {"1998-02-10", "1998-01-05", "1998-03-31", "1997-12-15", "1998-01-20", "1999-06-01", "1998-03-05", "2001-07-04"});
    row("hours, m/d/yy literals",
        QStringLiteral("Select AmtPaid, ReqDate, ShortDesc, AssignedTo, HoursTot, MinTot, CostTot, Staff.LastName as "
                       "StaffLast, Staff.FirstName as StaffFirst from Req left join Staff on Req.AssignedTo = Staff.StaffID "
                       "where ReqDate >= #1/1/98# and ReQDate <= #3/5/98# and Resolved order by ReqDate"),
        snap, "ReqDate", {"1998-01-20", "1998-03-05"});

    // Charges by customer and by department: an unqualified CustID or
    // DeptID is the request's own.
    row("charges by customer", chargesSql(false, from98, to98, State::Both, 0), snap, "CustID", {"1", "1", "2", "3", "4"});
    row("charges by customer, one", chargesSql(false, from98, to98, State::Both, 1), snap, "ReqDate",
        {"1998-01-05", "1998-03-05"});
    row("charges by department", chargesSql(true, from98, to98, State::Both, 0), snap, "DeptID", {"1", "1", "3", "2", "2"});
    row("charges by department, one", chargesSql(true, from98, to98, State::Both, 2), snap, "ReqDate",
        {"1998-01-20", "1998-03-05"});
    row("charges by department, one, open", chargesSql(true, from98, to98, State::Open, 1), snap, "ReqDate",
        {"1998-01-05", "1998-02-10"});

    // Bills: only what is not paid in full.
    row("bills by customer", billsSql(1, from98, to98, State::Both, 0), snap, "ReqDate",
        {"1998-01-05", "1998-03-05", "1998-01-20"});
    row("bills by customer, amounts", billsSql(1, from98, to98, State::Both, 0), snap, "CostTot",
        {"500000", "1000000", "400000"});
    row("bills by customer, one", billsSql(1, from98, to98, State::Both, 2), snap, "LastName", {"Baker"});
    row("bills by customer, one, open", billsSql(1, from98, to98, State::Open, 1), snap, "ReqDate", {"1998-01-05"});
    row("bills by customer, all years", billsSql(1, QDate(1990, 1, 1), QDate(2029, 12, 31), State::Both, 0), snap,
        "ReqDate", {"2001-07-04", "1998-01-05", "1998-03-05", "1998-01-20", "1999-06-01"});
    row("bills by department", billsSql(2, from98, to98, State::Both, 0), snap, "DeptID", {"1", "2", "2"});
    row("bills by department, one", billsSql(2, from98, to98, State::Both, 2), snap, "ReqDate",
        {"1998-01-20", "1998-03-05"});
    row("bills by department, resolved", billsSql(2, from98, to98, State::Resolved, 0), snap, "City",
        {"Uppsala", "Uppsala"});
}

void TestSqlTexts::runs()
{
    QFETCH(QString, sql);
    QFETCH(RecordsetType, type);
    QFETCH(QString, criteria);
    QFETCH(QString, key);
    QFETCH(QStringList, expected);

    QTemporaryDir dir;
    auto db = Database::Open(test::createFixtureDb(dir.path()));
    std::unique_ptr<Recordset> rs;
    try {
        rs = db->OpenRecordset(sql, type);
    } catch (const Error& e) {
        QFAIL(qPrintable(QStringLiteral("%1: %2\n%3").arg(e.number()).arg(e.text(), sql)));
    }
    QStringList got;
    if (!criteria.isEmpty()) {
        rs->MoveLast();
        rs->FindFirst(criteria);
        if (!rs->NoMatch())
            got << keyText(rs->Field(key));
    } else {
        if (rs->RecordCount() > 0) {
            rs->MoveLast(); // the count is exact from here
            QCOMPARE(rs->RecordCount(), long(expected.size()));
            rs->MoveFirst();
        }
        while (!rs->Eof()) {
            got << keyText(rs->Field(key));
            rs->MoveNext();
        }
    }
    if (!sql.contains(QLatin1String("order by"), Qt::CaseInsensitive) && type != RecordsetType::Table) {
        // Without an order the rows may come in any order: compare the sets.
        std::sort(got.begin(), got.end());
        std::sort(expected.begin(), expected.end());
    }
    QCOMPARE(got, expected);
}

QTEST_GUILESS_MAIN(TestSqlTexts)
#include "tst_sqltexts.moc"
