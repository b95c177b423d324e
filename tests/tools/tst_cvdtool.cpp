// cvdtool: a new empty database, the demo database, and the refusal to
// overwrite a file that is already there.
#include "db/database.h"
#include "db/errors.h"
#include "support/testfiles.h"
#include "support/testmain.h"
#include "tools/createdb.h"
#include "tools/demodata.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

using namespace cvd::tools;
using namespace cvd::test;
using namespace Qt::StringLiterals;

// The first value of a query on a database file as a number; -1 when there is none.
static qlonglong number(const QString& path, const QString& sql)
{
    bool ok = false;
    const qlonglong n = sqlValue(path, sql).toLongLong(&ok);
    return ok ? n : -1;
}

class TstCvdtool : public QObject {
    Q_OBJECT

private slots:
    // A build that fails, or a folder that is a file, leaves nothing behind.
    void failedBuildLeavesNothing()
    {
        QTemporaryDir tmp;
        QString text;
        auto fill = [](sqlite3* db) { execSql(db, "INSERT INTO NoSuchTable VALUES (1)"); };
        QCOMPARE(errorOf([&] { createDatabase(tmp.path(), fill); }, &text), cvd::ErrNo::SqlError);
        QVERIFY2(text.contains(databasePath(tmp.path())), qPrintable(text));
        QCOMPARE(folderFiles(tmp.path()), QStringList());
        const QString notFolder = tmp.filePath(QStringLiteral("plain"));
        QVERIFY(writeFile(notFolder, "x"));
        QCOMPARE(errorOf([&] { createDatabase(notFolder); }), cvd::ErrNo::PathAccess);
        QCOMPARE(fileBytes(notFolder), QByteArray("x"));
    }

    // create: a new folder holding the empty tables and the settings;
    // demo: as many customers (the fixed ones first) and requests as asked
    // for, dated up to today, naming only those.  Neither overwrites a file that is there (an
    // empty one too): it is named and left as it was.
    void commandLine()
    {
        QTemporaryDir tmp;
        const ToolResult usage = runCvdTool({});
        QVERIFY(usage.exitCode != 0 && usage.err.contains("Usage"));
        const QString folder = tmp.filePath(QStringLiteral("new/data folder"));
        QCOMPARE(runCvdTool({"create", folder}).exitCode, 0);
        QCOMPARE(folderFiles(folder), QStringList{"cvd.mdb"});
        QCOMPARE(sqlValue(databasePath(folder), "SELECT DefHourlyRate || ' ' || DefMinCharge FROM Settings"),
                 QStringLiteral("400000 250000"));
        auto set = cvd::Database::Open(databasePath(folder))->OpenRecordset(QStringLiteral("Select * from Req"));
        QVERIFY(set->Bof() && set->Eof()); // the engine accepts the new file
        const QString demo = tmp.filePath(QStringLiteral("demo")), db = databasePath(demo);
        QVERIFY(runCvdTool({"demo", demo, "--requests", "many"}).exitCode != 0);
        QVERIFY(!QFileInfo::exists(db));
        QCOMPARE(runCvdTool({"demo", demo, "--customers", "2000", "--requests", "300", "--seed", "9"}).exitCode, 0);
        QCOMPARE(sqlValue(db, "SELECT (SELECT count(*) FROM Req) || ' ' || count(*) || ' ' || (SELECT count(*) FROM Req "
                              "WHERE CustID NOT IN (SELECT CustID FROM Customers) OR DeptID NOT IN (SELECT DeptID FROM Dept)) "
                              "FROM Customers"),
                 QStringLiteral("300 2000 0")); // the requests name only those customers
        QCOMPARE(sqlValue(db, "SELECT FirstName || ' ' || LastName FROM Customers WHERE CustID = 2"),
                 QStringLiteral("Patrick O'Neil"));
        const QDate last = QDate::fromString(sqlValue(db, "SELECT max(ReqDate) FROM Req"), Qt::ISODate);
        QVERIFY(last <= QDate::currentDate() && last > QDate::currentDate().addYears(-3));
        const QByteArray before = fileBytes(db);
        for (const char* command : {"create", "demo"}) {
            const ToolResult r = runCvdTool({command, demo});
            QVERIFY2(r.exitCode == 1 && r.err.contains(db), qPrintable(r.err));
        }
        QCOMPARE(fileBytes(db), before);
        QCOMPARE(folderFiles(demo), QStringList{"cvd.mdb"});
        const QString empty = databasePath(tmp.path());
        QVERIFY(writeFile(empty, QByteArray()));
        QCOMPARE(runCvdTool({"create", tmp.path()}).exitCode, 1);
        QCOMPARE(fileBytes(empty), QByteArray());
    }

    // A wrong command line gets one whole sentence naming what was wrong,
    // then the usage, and exit status 2.
    void wrongArguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("said");
        QTest::newRow("no such command") << QStringList{"frob", "x"} << "'frob' is not a command of cvdtool.";
        QTest::newRow("no database") << QStringList{"check"} << "cvdtool check needs a DATABASE";
        QTest::newRow("one too many") << QStringList{"check", "a", "b"} << "'b' is one argument too many for cvdtool check.";
        QTest::newRow("backup without its file") << QStringList{"backup", "a"} << "cvdtool backup needs FILE after a.";
        QTest::newRow("demo option unknown") << QStringList{"demo", "d", "--count", "3"} << "'--count' is not an option of cvdtool demo.";
        QTest::newRow("demo number") << QStringList{"demo", "d", "--requests", "many"}
                                     << "--requests 'many' is not a whole number from 0 to 100000000.";
        QTest::newRow("demo value missing") << QStringList{"demo", "d", "--seed"} << "--seed needs a value.";
    }
    void wrongArguments()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, said);
        const ToolResult r = runCvdTool(args);
        QCOMPARE(r.exitCode, 2);
        const QString first = r.err.section(u'\n', 0, 0);
        QVERIFY2(first.startsWith(u"cvdtool: "_s + said) && first.endsWith(u'.'), qPrintable(r.err));
    }

    // Every reference names an existing record; dates within the last three
    // years up to today, resolved requests (at least three days old) with
    // their date, open ones without; payments after the request, never above
    // the cost; the cost as the main window computes it (rate 40, minimum 25),
    // in whole cents; no text longer than the window could save.
    void demoContents()
    {
        QTemporaryDir tmp;
        const QString today = QStringLiteral("2024-03-15");
        const QString db = createDemoDatabase(tmp.path(), {.requests = 500, .seed = 1, .today = QDate::fromString(today, Qt::ISODate)});
        QCOMPARE(sqlValue(db, "PRAGMA integrity_check"), QStringLiteral("ok"));
        QCOMPARE(number(db, "SELECT count(*) FROM Req"), 500);
        QCOMPARE(number(db, "SELECT count(*) FROM Req WHERE CustID NOT IN (SELECT CustID FROM Customers)"
                            " OR DeptID NOT IN (SELECT DeptID FROM Dept) OR PriID NOT IN (SELECT PriID FROM Priorities)"
                            " OR CatID NOT IN (SELECT CatID FROM Categories)"
                            " OR EnteredBy NOT IN (SELECT StaffID FROM Staff)"
                            " OR AssignedTo NOT IN (SELECT StaffID FROM Staff)"), 0);
        QCOMPARE(number(db, QStringLiteral("SELECT count(*) FROM Req WHERE ReqDate <= date('%1', '-3 years')"
                                           " OR ReqDate > '%1' OR DueDate < ReqDate OR Resolved NOT IN (0, 1)"
                                           " OR (Resolved = 1) <> (ResDate IS NOT NULL) OR ResDate < ReqDate"
                                           " OR ResDate > '%1' OR (Resolved = 1 AND ReqDate > date('%1', '-3 days'))"
                                           " OR coalesce(AmtPaid, 0) > CostTot OR PaidDate < ReqDate OR PaidDate > '%1'"
                                           " OR (PaidDate IS NOT NULL) <> (coalesce(AmtPaid, 0) > 0)").arg(today)),
                 0);
        QCOMPARE(number(db, "SELECT count(*) FROM Req WHERE CostTot IS NULL OR CostTot % 100 <> 0 OR abs(CostTot - "
                            "max(HoursTot * 400000 + MinTot * 400000 / 60.0 + coalesce(AddCharge, 0), 250000)) > 50"
                            " OR length(Misc1) > 50"),
                 0);
        QCOMPARE(number(db, "SELECT count(*) FROM Customers WHERE FirstName IS NULL AND LastName = 'Hargreaves'"), 1);
    }
};

CVD_TEST_GUILESS_MAIN(TstCvdtool)
#include "tst_cvdtool.moc"
