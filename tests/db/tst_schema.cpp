// The tables as the program describes them: the file's statements are the
// ones every existing data file was made with, and the server's column types
// are found through the names the file declares.
#include "db/schema.h"
#include "support/testmain.h"

#include <QTest>
#include <sqlite3.h>

using namespace cvd;
using namespace Qt::StringLiterals;

namespace {

// The statements that made every data file so far, as they were written
// out before the tables had one description for both engines.
const QStringList fileStatements{
    QStringLiteral(
        "CREATE TABLE Req ("
        " ReqID INTEGER PRIMARY KEY AUTOINCREMENT,"
        " ShortDesc LONGTEXT COLLATE NOCASE,"
        " ReqDesc LONGTEXT COLLATE NOCASE,"
        " Resp LONGTEXT COLLATE NOCASE,"
        " ReqDate DATE,"
        " DueDate DATE,"
        " ResDate DATE,"
        " Resolved YESNO NOT NULL DEFAULT 0,"
        " HoursTot SINGLE,"
        " MinTot SINGLE,"
        " AddCharge CURRENCY,"
        " CostTot CURRENCY,"
        " AmtPaid CURRENCY,"
        " PaidDate DATE,"
        " CustID LONG,"
        " DeptID LONG,"
        " PriID LONG,"
        " CatID LONG,"
        " EnteredBy LONG,"
        " AssignedTo LONG,"
        " Misc1 VARCHAR(50) COLLATE NOCASE)"),
    QStringLiteral(
        "CREATE TABLE Customers ("
        " CustID INTEGER PRIMARY KEY AUTOINCREMENT,"
        " FirstName VARCHAR(40) COLLATE NOCASE,"
        " LastName VARCHAR(40) COLLATE NOCASE,"
        " Title VARCHAR(50) COLLATE NOCASE,"
        " Address VARCHAR(128) COLLATE NOCASE,"
        " City VARCHAR(30) COLLATE NOCASE,"
        " St VARCHAR(20) COLLATE NOCASE,"
        " Zip VARCHAR(20) COLLATE NOCASE,"
        " Country VARCHAR(30) COLLATE NOCASE,"
        " Phone VARCHAR(20) COLLATE NOCASE,"
        " AltID VARCHAR(20) COLLATE NOCASE,"
        " DeptID LONG)"),
    QStringLiteral(
        "CREATE TABLE Dept ("
        " DeptID INTEGER PRIMARY KEY AUTOINCREMENT,"
        " DeptName VARCHAR(80) COLLATE NOCASE,"
        " Address VARCHAR(128) COLLATE NOCASE,"
        " City VARCHAR(30) COLLATE NOCASE,"
        " St VARCHAR(20) COLLATE NOCASE,"
        " Zip VARCHAR(20) COLLATE NOCASE,"
        " Country VARCHAR(30) COLLATE NOCASE,"
        " Phone VARCHAR(20) COLLATE NOCASE)"),
    QStringLiteral(
        "CREATE TABLE Staff ("
        " StaffID INTEGER PRIMARY KEY AUTOINCREMENT,"
        " FirstName VARCHAR(40) COLLATE NOCASE,"
        " LastName VARCHAR(40) COLLATE NOCASE,"
        " Phone VARCHAR(20) COLLATE NOCASE,"
        " AltID VARCHAR(20) COLLATE NOCASE,"
        " Comments LONGTEXT COLLATE NOCASE)"),
    QStringLiteral(
        "CREATE TABLE Categories ("
        " CatID INTEGER PRIMARY KEY AUTOINCREMENT,"
        " CatDesc VARCHAR(40) COLLATE NOCASE)"),
    QStringLiteral(
        "CREATE TABLE Priorities ("
        " PriID INTEGER PRIMARY KEY AUTOINCREMENT,"
        " PriDesc VARCHAR(40) COLLATE NOCASE)"),
    QStringLiteral(
        "CREATE TABLE Settings ("
        " DefHourlyRate CURRENCY,"
        " DefMinCharge CURRENCY,"
        " CompName LONGTEXT COLLATE NOCASE,"
        " CompAdd LONGTEXT COLLATE NOCASE,"
        " NFont VARCHAR(255) COLLATE NOCASE,"
        " NSize CURRENCY,"
        " NBold YESNO NOT NULL DEFAULT 0,"
        " NItalic YESNO NOT NULL DEFAULT 0,"
        " NUnder YESNO NOT NULL DEFAULT 0,"
        " AFont VARCHAR(255) COLLATE NOCASE,"
        " ASize CURRENCY,"
        " ABold YESNO NOT NULL DEFAULT 0,"
        " AItalic YESNO NOT NULL DEFAULT 0,"
        " AUnder YESNO NOT NULL DEFAULT 0)"),
    QStringLiteral("CREATE INDEX ReqReqDate ON Req (ReqDate)"),
    QStringLiteral("CREATE INDEX ReqCustID ON Req (CustID)"),
    QStringLiteral("CREATE INDEX ReqDeptID ON Req (DeptID)"),
    QStringLiteral("CREATE INDEX ReqPriID ON Req (PriID)"),
    QStringLiteral("CREATE INDEX ReqCatID ON Req (CatID)"),
    QStringLiteral("CREATE INDEX ReqEnteredBy ON Req (EnteredBy)"),
    QStringLiteral("CREATE INDEX ReqAssignedTo ON Req (AssignedTo)"),
    QStringLiteral("CREATE INDEX CustomersName ON Customers (LastName, FirstName)"),
    QStringLiteral("CREATE INDEX CustomersDeptID ON Customers (DeptID)"),
    QStringLiteral("CREATE INDEX DeptName ON Dept (DeptName)"),
    QStringLiteral("CREATE INDEX StaffName ON Staff (LastName, FirstName)"),
};

} // namespace

class TestSchema : public QObject {
    Q_OBJECT

private slots:
    void fileStatementsUnchanged() { QCOMPARE(schema::createStatements(), fileStatements); }

    // A new file's tables and Settings row, as SQLite keeps them: the
    // declared type of each column is what declaredType gives for it.
    void newFile()
    {
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(":memory:", &db), SQLITE_OK);
        schema::createTables(db);
        int columns = 0;
        QStringList settings;
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, "SELECT m.name, p.name, p.type FROM sqlite_master m, pragma_table_info(m.name) p"
                               " WHERE m.type = 'table' AND m.name <> 'sqlite_sequence' ORDER BY m.name, p.cid",
                           -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW) {
            const QString table = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
            const QString column = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 1)));
            const QString type = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 2)));
            QCOMPARE(schema::declaredType(table.toLower(), column.toUpper()), type);
            ++columns;
        }
        sqlite3_finalize(s);
        int programColumns = 0;
        for (const QString& table : schema::tableNames())
            programColumns += int(schema::columnNames(table).size());
        QCOMPARE(columns, programColumns);
        sqlite3_prepare_v2(db, "SELECT * FROM Settings", -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW)
            for (int i = 0; i < sqlite3_column_count(s); ++i)
                settings << QString::number(sqlite3_column_type(s, i)) + u':'
                                + QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, i)));
        sqlite3_finalize(s);
        sqlite3_close(db);
        QCOMPARE(settings, (QStringList{u"1:400000"_s, u"1:250000"_s, u"3:"_s, u"3:"_s, u"3:Times New Roman"_s,
                                        u"1:180000"_s, u"1:1"_s, u"1:0"_s, u"1:0"_s, u"3:Times New Roman"_s,
                                        u"1:100000"_s, u"1:0"_s, u"1:0"_s, u"1:0"_s}));
    }

    void keys_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("key");
        QTest::newRow("Req") << u"Req"_s << u"ReqID"_s;
        QTest::newRow("any case") << u"cUSTOMERS"_s << u"CustID"_s;
        QTest::newRow("Settings on a server") << u"settings"_s << u"SettingsID"_s;
        QTest::newRow("not the program's") << u"sqlite_sequence"_s << QString();
    }
    void keys()
    {
        QFETCH(QString, table);
        QFETCH(QString, key);
        QCOMPARE(schema::keyColumn(table), key);
        QCOMPARE(schema::declaredType(table, key).isEmpty(), key.isEmpty());
    }

    void declaredTypes_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("type");
        QTest::newRow("key") << u"staff"_s << u"staffid"_s << u"INTEGER"_s;
        QTest::newRow("Settings key") << u"Settings"_s << u"SettingsID"_s << u"INTEGER"_s;
        QTest::newRow("text") << u"Dept"_s << u"deptname"_s << u"VARCHAR(80)"_s;
        QTest::newRow("unknown column") << u"Req"_s << u"Nonsense"_s << QString();
        QTest::newRow("unknown table") << u"Nonsense"_s << u"ReqID"_s << QString();
        QTest::newRow("column of another table") << u"Req"_s << u"DeptName"_s << QString();
    }
    void declaredTypes()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QString, type);
        QCOMPARE(schema::declaredType(table, column), type);
    }

    // The file has no Settings key: a file without one is complete.
    void settingsKeyOnTheServerOnly()
    {
        QVERIFY(!schema::columnNames(u"Settings"_s).contains(u"SettingsID"_s));
        QHash<QString, QStringList> tables;
        for (const QString& t : schema::tableNames())
            tables.insert(t.toCaseFolded(), schema::columnNames(t));
        QCOMPARE(schema::missingParts(tables), QStringList());
    }
};

CVD_TEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
