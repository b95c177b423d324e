// cvdtool: a new empty database, the demo database, and the refusal to
// overwrite a file that is already there.
#include "db/database.h"
#include "db/errors.h"
#include "support/testfiles.h"
#include "support/testmain.h"
#include "tools/createdb.h"
#include "tools/demodata.h"

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
        QCOMPARE(errorOf([&] { createDatabase(notFolder); }), cvd::ErrNo::PathAccess);
        QCOMPARE(fileBytes(notFolder), QByteArray("x"));
    }

    // create: a new folder holding the empty tables and the settings;
    // demo: as many customers (the fixed ones first) and requests as asked
    // for, dated up to today, the requests naming only those customers.
    // Neither overwrites a file that is there: it is named and left as it was.
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
        QCOMPARE(runTool({"demo", demo, "--customers", "2000", "--requests", "300", "--seed", "9"}).first, 0);
        const QString db = databasePath(demo);
        QCOMPARE(number(db, "SELECT count(*) FROM Req"), 300);
        QCOMPARE(number(db, "SELECT count(*) FROM Customers"), 2000);
        QCOMPARE(number(db, "SELECT count(*) FROM Req WHERE CustID NOT IN (SELECT CustID FROM Customers)"
                            " OR DeptID NOT IN (SELECT DeptID FROM Dept)"), 0);
        QCOMPARE(value(db, "SELECT FirstName || ' ' || LastName FROM Customers WHERE CustID = 2"),
                 QStringLiteral("Patrick O'Neil"));
        const QDate last = QDate::fromString(value(db, "SELECT max(ReqDate) FROM Req"), Qt::ISODate);
        QVERIFY(last <= QDate::currentDate() && last > QDate::currentDate().addYears(-3));
        const QByteArray before = fileBytes(db);
        for (const char* command : {"create", "demo"}) {
            const auto [code, refusal] = runTool({command, demo});
            QCOMPARE(code, 1);
            QVERIFY2(refusal.contains(db), qPrintable(refusal));
        }
        QCOMPARE(fileBytes(db), before);
        QCOMPARE(folderEntries(demo), QStringList{"cvd.mdb"});
        // An empty file is not taken for a missing one.
        const QString empty = databasePath(tmp.path());
        QVERIFY(cvd::test::writeFile(empty, QByteArray()));
        QCOMPARE(runTool({"create", tmp.path()}).first, 1);
        QCOMPARE(fileBytes(empty), QByteArray());
    }

    void demoContents()
    {
        QTemporaryDir tmp;
        const QString db = createDemoDatabase(tmp.path(), {.requests = 500, .seed = 1, .today = kToday});
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
        QCOMPARE(number(db, "SELECT count(*) FROM Customers WHERE FirstName IS NULL AND LastName = 'Hargreaves'"), 1);
    }
};

CVD_TEST_GUILESS_MAIN(TstCvdtool)
#include "tst_cvdtool.moc"
