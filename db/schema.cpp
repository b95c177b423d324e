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

int readFileTables(sqlite3* db, QHash<QString, QStringList>& tables)
{
    sqlite3_stmt* s = nullptr;
    int rc = sqlite3_prepare_v2(db, "SELECT m.name, p.name FROM sqlite_master m, pragma_table_info(m.name) p"
                                    " WHERE m.type = 'table' ORDER BY m.name, p.cid", -1, &s, nullptr);
    while (rc == SQLITE_OK || rc == SQLITE_ROW) {
        rc = sqlite3_step(s);
        if (rc == SQLITE_ROW)
            tables[QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0))).toCaseFolded()]
                << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 1)));
    }
    sqlite3_finalize(s);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

namespace {

// The program's own tables, as the create statements make them.
const QHash<QString, QStringList>& programTables()
{
    static const QHash<QString, QStringList> tables = [] {
        QHash<QString, QStringList> t;
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
            for (const QString& stmt : createStatements())
                sqlite3_exec(db, stmt.toUtf8().constData(), nullptr, nullptr, nullptr);
            readFileTables(db, t);
        }
        sqlite3_close(db);
        return t;
    }();
    return tables;
}

} // namespace

QStringList columnNames(const QString& table) { return programTables().value(table.toCaseFolded()); }

QStringList missingParts(const QHash<QString, QStringList>& tables)
{
    QStringList missing;
    for (const QString& table : tableNames()) {
        const auto present = tables.constFind(table.toCaseFolded());
        if (present == tables.cend()) {
            missing << QStringLiteral("the table %1").arg(table);
            continue;
        }
        for (const QString& column : columnNames(table))
            if (!present->contains(column, Qt::CaseInsensitive))
                missing << QStringLiteral("the column %1 of the table %2").arg(column, table);
    }
    return missing;
}

} // namespace cvd::schema
