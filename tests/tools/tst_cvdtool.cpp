// cvdtool: a new empty database, the demo database, and the refusal to
// overwrite a file that is already there.
#include "core/database.h"
#include "core/errors.h"
#include "tools/createdb.h"
#include "tools/demodata.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

using namespace cvd::tools;
using cvd::test::errorOf;
using cvd::test::fileBytes;

namespace {

// The first value of a query on a database file, read with plain SQLite
// beside the engine; empty when there is none.
QString value(const QString& path, const QString& sql)
{
    sqlite3* db = nullptr;
    sqlite3_stmt* s = nullptr;
    QString out;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK
        && sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &s, nullptr) == SQLITE_OK
        && sqlite3_step(s) == SQLITE_ROW)
        out = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
    sqlite3_finalize(s);
    sqlite3_close(db);
    return out;
}

// The first value of a query as a number; -1 when there is none.
qlonglong number(const QString& path, const QString& sql)
{
    bool ok = false;
    const qlonglong n = value(path, sql).toLongLong(&ok);
    return ok ? n : -1;
}

QStringList folderEntries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

const QDate kToday(2024, 3, 15);

QString makeDemo(const QString& folder, int requests, std::uint64_t seed = 1)
{
    return createDemoDatabase(folder, {.requests = requests, .seed = seed, .today = kToday});
}

// The tool's exit code and its error output.
std::pair<int, QString> runTool(const QStringList& args)
{
    QProcess p;
    p.start(qEnvironmentVariable("CVDTOOL"), args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return {-1, QString()};
    return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardError())};
}

} // namespace

class TstCvdtool : public QObject {
    Q_OBJECT

private slots:
    // An existing file is refused, named, and left as it was.
    void refusesExistingFile_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("command");
        QTest::newRow("empty file, create") << QByteArray() << "create";
        QTest::newRow("text file, demo") << QByteArray("not a database\0\x01\xff", 17) << "demo";
    }
    void refusesExistingFile()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, command);
        QTemporaryDir tmp;
        const QString path = databasePath(tmp.path());
        QVERIFY(cvd::test::writeFile(path, contents));
        const auto [exitCode, err] = runTool({command, tmp.path()});
        QCOMPARE(exitCode, 1);
        QVERIFY2(err.contains(path), qPrintable(err));
        QCOMPARE(fileBytes(path), contents);
        QCOMPARE(folderEntries(tmp.path()), QStringList{"cvd.mdb"});
    }

    void failedBuildLeavesNothing()
    {
        QTemporaryDir tmp;
        QString text;
        auto fill = [](sqlite3* db) { execSql(db, "INSERT INTO NoSuchTable VALUES (1)"); };
        QCOMPARE(errorOf([&] { createDatabase(tmp.path(), fill); }, &text), cvd::ErrNo::SqlError);
        QVERIFY2(text.contains(databasePath(tmp.path())), qPrintable(text));
        QCOMPARE(folderEntries(tmp.path()), QStringList());
        // A folder that is a file cannot hold the database.
        const QString notFolder = tmp.filePath(QStringLiteral("plain"));
        QVERIFY(cvd::test::writeFile(notFolder, "x"));
        QCOMPARE(errorOf([&] { createDatabase(notFolder); }), ToolErr::PathAccess);
        QCOMPARE(fileBytes(notFolder), QByteArray("x"));
    }

    // create: a new folder holding the empty tables and the settings;
    // demo: as many requests as asked for, dated up to today.
    void commandLine()
    {
        QTemporaryDir tmp;
        const auto [exitCode, err] = runTool({});
        QVERIFY(exitCode != 0 && err.contains("Usage"));
        const QString folder = tmp.filePath(QStringLiteral("new/data folder"));
        QCOMPARE(runTool({"create", folder}).first, 0);
        QCOMPARE(folderEntries(folder), QStringList{"cvd.mdb"});
        QCOMPARE(value(databasePath(folder), "SELECT DefHourlyRate || ' ' || DefMinCharge FROM Settings"),
                 QStringLiteral("400000 250000")); // 40.00, 25.00
        auto set = cvd::Database::Open(databasePath(folder))->OpenRecordset(QStringLiteral("Select * from Req"));
        QVERIFY(set->Bof() && set->Eof()); // the engine accepts the new file
        const QString demo = tmp.filePath(QStringLiteral("demo"));
        QVERIFY(runTool({"demo", demo, "--requests", "many"}).first != 0);
        QVERIFY(!QFileInfo::exists(databasePath(demo)));
        QCOMPARE(runTool({"demo", demo, "--requests", "40", "--seed", "9"}).first, 0);
        const QString path = databasePath(demo);
        QCOMPARE(number(path, "SELECT count(*) FROM Req"), 40);
        const QDate last = QDate::fromString(value(path, "SELECT max(ReqDate) FROM Req"), Qt::ISODate);
        QVERIFY(last <= QDate::currentDate() && last > QDate::currentDate().addYears(-3));
    }

    void demoContents()
    {
        QTemporaryDir tmp;
        const QString db = makeDemo(tmp.path(), 500);
        QCOMPARE(value(db, "PRAGMA integrity_check"), QStringLiteral("ok"));
        // Every reference names an existing record.
        QCOMPARE(number(db, "SELECT count(*) FROM Req"), 500);
        QCOMPARE(number(db, "SELECT count(*) FROM Req WHERE CustID NOT IN (SELECT CustID FROM Customers)"
                            " OR DeptID NOT IN (SELECT DeptID FROM Dept) OR PriID NOT IN (SELECT PriID FROM Priorities)"
                            " OR CatID NOT IN (SELECT CatID FROM Categories)"
                            " OR EnteredBy NOT IN (SELECT StaffID FROM Staff)"
                            " OR AssignedTo NOT IN (SELECT StaffID FROM Staff)"), 0);

        // Dates: the last three years up to today; resolved requests (at least
        // three days old) carry their date, open ones none; payments after the
        // request, never above the cost.
        QCOMPARE(number(db, QStringLiteral("SELECT count(*) FROM Req WHERE ReqDate <= date('%1', '-3 years')"
                                           " OR ReqDate > '%1' OR DueDate < ReqDate OR Resolved NOT IN (0, 1)"
                                           " OR (Resolved = 1) <> (ResDate IS NOT NULL) OR ResDate < ReqDate"
                                           " OR ResDate > '%1' OR (Resolved = 1 AND ReqDate > date('%1', '-3 days'))"
                                           " OR coalesce(AmtPaid, 0) > CostTot OR PaidDate < ReqDate OR PaidDate > '%1'"
                                           " OR (PaidDate IS NOT NULL) <> (coalesce(AmtPaid, 0) > 0)")
                                .arg(kToday.toString(Qt::ISODate))),
                 0);
        // The total cost as the main window computes it: rate 40, minimum 25, kept to whole cents.
        QCOMPARE(number(db, "SELECT count(*) FROM Req WHERE CostTot IS NULL OR CostTot % 100 <> 0 OR abs(CostTot - "
                            "max(HoursTot * 400000 + MinTot * 400000 / 60.0 + coalesce(AddCharge, 0), 250000)) > 50"),
                 0);
        QCOMPARE(number(db, "SELECT count(*) FROM Req WHERE length(Misc1) > 50"), 0); // the window could not save it
        for (const char* field : {"DueDate", "ResDate", "PaidDate", "AddCharge", "AmtPaid", "CustID", "DeptID", "PriID",
                                  "CatID", "AssignedTo", "Resp", "Misc1"}) { // some Null, some set
            const QString sql = QStringLiteral("SELECT count(*) > count(%1) AND count(%1) > 0 FROM Req").arg(field);
            QVERIFY2(number(db, sql) == 1, field);
        }
    }

    // A demo name found by the maintenance window's criterion through the
    // engine and written back changed; a customer with no first name holds
    // Null there.
    void demoNamesSurviveTheEngine()
    {
        QTemporaryDir tmp;
        const QString path = makeDemo(tmp.path(), 50);
        const QString changed = QStringLiteral("Zoë 李 O'Neil\r\nline 2");
        {
            auto cust = cvd::Database::Open(path)->OpenRecordset(
                QStringLiteral("Select * from Customers order by LastName, FirstName"));
            cust->FindFirst(QStringLiteral("LastName like 'o''nei*'"));
            QCOMPARE(cust->Field(QStringLiteral("FirstName")).toText(), QStringLiteral("Patrick"));
            cust->Edit();
            cust->SetField(QStringLiteral("FirstName"), changed);
            cust->Update();
        }
        QCOMPARE(value(path, "SELECT FirstName FROM Customers WHERE LastName = 'O''Neil'"), changed);
        QCOMPARE(number(path, "SELECT count(*) FROM Customers WHERE FirstName IS NULL AND LastName = 'Hargreaves'"), 1);
    }

    // --customers: that many customers, the fixed ones first, the others
    // with made-up names spread over many last names, each with an address
    // and a phone, most in a department; the requests name only them.
    void manyCustomers()
    {
        QTemporaryDir tmp;
        QCOMPARE(runTool({"demo", tmp.path(), "--customers", "2000", "--requests", "300"}).first, 0);
        const QString db = databasePath(tmp.path());
        QCOMPARE(number(db, "SELECT count(*) FROM Customers"), 2000);
        QCOMPARE(number(db, "SELECT count(*) FROM Req"), 300);
        QCOMPARE(number(db, "SELECT count(*) FROM Req WHERE CustID NOT IN (SELECT CustID FROM Customers)"
                            " OR DeptID NOT IN (SELECT DeptID FROM Dept)"), 0);
        QVERIFY(number(db, "SELECT count(DISTINCT CustID) FROM Req") > 200);
        QCOMPARE(value(db, "SELECT FirstName || ' ' || LastName FROM Customers WHERE CustID = 2"),
                 QStringLiteral("Patrick O'Neil"));
        QVERIFY(number(db, "SELECT count(DISTINCT LastName) FROM Customers") > 500);
        QVERIFY(number(db, "SELECT count(DISTINCT substr(LastName, 1, 2)) FROM Customers") > 50);
        QCOMPARE(number(db, "SELECT count(*) FROM Customers WHERE CustID > 36 AND (Address IS NULL OR City IS NULL"
                            " OR St IS NULL OR Zip IS NULL OR Phone IS NULL OR coalesce(FirstName, LastName) IS NULL)"), 0);
        const qlonglong inDept = number(db, "SELECT count(DeptID) FROM Customers WHERE CustID > 36");
        QVERIFY2(inDept > 1964 * 6 / 10 && inDept < 1964 * 8 / 10, qPrintable(QString::number(inDept)));
    }

    // The same seed and day give the same file; another seed another one.
    void demoIsDeterministic()
    {
        QTemporaryDir tmp;
        const QByteArray a = fileBytes(makeDemo(tmp.filePath(QStringLiteral("a")), 300, 42));
        QVERIFY(a.size() > 10000);
        QVERIFY(a == fileBytes(makeDemo(tmp.filePath(QStringLiteral("b")), 300, 42)));
        QVERIFY(a != fileBytes(makeDemo(tmp.filePath(QStringLiteral("c")), 300, 43)));
    }
};

QTEST_GUILESS_MAIN(TstCvdtool)
#include "tst_cvdtool.moc"
