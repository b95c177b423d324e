#include "db/schema.h"

#include "db/errors.h"

#include <sqlite3.h>

namespace cvd::schema {

const QStringList& tableNames()
{
    static const QStringList names{"Req", "Customers", "Dept", "Staff", "Categories", "Priorities", "Settings"};
    return names;
}

const QStringList& createStatements()
{
    static const QStringList stmts{
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
        // The request list is read newest first; every reference is searched
        // by the in-use checks and the reports.
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
    return stmts;
}

void createTables(sqlite3* db)
{
    QStringList all = createStatements();
    // Hourly rate 40, minimum charge 25 (in ten-thousandths), a sample heading.
    all << QStringLiteral(
        "INSERT INTO Settings (DefHourlyRate, DefMinCharge, CompName, CompAdd,"
        " NFont, NSize, NBold, NItalic, NUnder, AFont, ASize, ABold, AItalic, AUnder)"
        " VALUES (400000, 250000, 'Calvedon Service Desk',"
        " '100 Main Street' || char(13) || char(10) || 'Springfield, IL  62701',"
        " 'Times New Roman', 180000, 1, 0, 0, 'Times New Roman', 100000, 0, 0, 0)");
    for (const QString& s : all) {
        char* msg = nullptr;
        if (sqlite3_exec(db, s.toUtf8().constData(), nullptr, nullptr, &msg) != SQLITE_OK) {
            const QString text = QString::fromUtf8(msg ? msg : "unknown error");
            sqlite3_free(msg);
            raise(ErrNo::SqlError, text);
        }
    }
}

} // namespace cvd::schema
