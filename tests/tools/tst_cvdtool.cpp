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
#include <cmath>
#include <sqlite3.h>

using namespace cvd::tools;
using cvd::test::errorOf;
using cvd::test::fileBytes;

namespace {

// The rows of a query on a database file, read with plain SQLite beside the
// engine: values as text, Null as an invalid QVariant.
QList<QVariantList> query(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    sqlite3_stmt* s = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK
        || sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK)
        qWarning("%s: %s", sql, sqlite3_errmsg(db));
    QList<QVariantList> out;
    while (s && sqlite3_step(s) == SQLITE_ROW) {
        QVariantList row;
        for (int i = 0; i < sqlite3_column_count(s); ++i)
            row << (sqlite3_column_type(s, i) == SQLITE_NULL
                        ? QVariant()
                        : QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, i)))));
        out << row;
    }
    sqlite3_finalize(s);
    sqlite3_close(db);
    return out;
}

// The first value of a query as a number; -1 when there is none.
qlonglong number(const QString& path, const char* sql)
{
    const auto r = query(path, sql);
    return r.isEmpty() || r[0].isEmpty() ? -1 : r[0][0].toLongLong();
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
        QCOMPARE(errorOf([&] { makeDemo(tmp.path(), 10); }), ToolErr::FileExists);
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
        QCOMPARE(query(databasePath(folder), "SELECT DefHourlyRate, DefMinCharge FROM Settings"),
                 (QList<QVariantList>{{"400000", "250000"}})); // 40.00, 25.00
        auto set = cvd::Database::Open(databasePath(folder))->OpenRecordset(QStringLiteral("Select * from Req order by ReqDate desc"));
        QVERIFY(set->Bof() && set->Eof()); // the engine accepts the new file
        const QString demo = tmp.filePath(QStringLiteral("demo"));
        QVERIFY(runTool({"demo", demo, "--requests", "many"}).first != 0);
        QVERIFY(!QFileInfo::exists(databasePath(demo)));
        QCOMPARE(runTool({"demo", demo, "--requests", "40", "--seed", "9"}).first, 0);
        const QString path = databasePath(demo);
        QCOMPARE(number(path, "SELECT count(*) FROM Req"), 40);
        const QDate last = QDate::fromString(query(path, "SELECT max(ReqDate) FROM Req")[0][0].toString(), Qt::ISODate);
        QVERIFY(last <= QDate::currentDate() && last > QDate::currentDate().addYears(-3));
    }

    void demoContents_data()
    {
        QTest::addColumn<int>("requests");
        QTest::addColumn<int>("seed");
        QTest::newRow("none") << 0 << 1;
        QTest::newRow("default size") << 500 << 1;
        QTest::newRow("other seed") << 3000 << 77;
    }
    void demoContents()
    {
        QFETCH(int, requests);
        QFETCH(int, seed);
        QTemporaryDir tmp;
        const QString db = makeDemo(tmp.path(), requests, std::uint64_t(seed));
        QCOMPARE(query(db, "PRAGMA integrity_check"), QList<QVariantList>{{"ok"}});
        // Reference lists of a small organisation; every reference names an existing record.
        QCOMPARE(number(db, "SELECT count(*) FROM Req"), requests);
        QCOMPARE(number(db, "SELECT (SELECT count(*) FROM Customers) >= 24 AND (SELECT count(*) FROM Dept) >= 8"
                            " AND (SELECT count(*) FROM Staff) >= 6 AND (SELECT count(*) FROM Categories) >= 6"), 1);
        QVERIFY(number(db, "SELECT count(*) FROM Dept WHERE Address LIKE '%' || char(13) || char(10) || '%'") >= 1);
        QCOMPARE(number(db, "SELECT count(*) FROM Staff WHERE LastName = 'O''Neil'"), 1);
        QCOMPARE(number(db, "SELECT count(*) FROM Req WHERE CustID NOT IN (SELECT CustID FROM Customers)"
                            " OR DeptID NOT IN (SELECT DeptID FROM Dept) OR PriID NOT IN (SELECT PriID FROM Priorities)"
                            " OR CatID NOT IN (SELECT CatID FROM Categories) OR EnteredBy NOT IN (SELECT StaffID FROM Staff)"
                            " OR AssignedTo NOT IN (SELECT StaffID FROM Staff)"), 0);

        // Dates: the last three years up to today, in order of the key; resolved
        // requests carry their date, open ones none.
        const auto reqs = query(db, "SELECT ReqID, ReqDate, DueDate, ResDate, Resolved, HoursTot, MinTot, AddCharge,"
                                    " CostTot, AmtPaid, PaidDate FROM Req ORDER BY ReqID");
        QDate previous;
        int paidInFull = 0, paidInPart = 0, unpaid = 0;
        for (const QVariantList& r : reqs) {
            const QByteArray id = r[0].toString().toLatin1();
            auto date = [&](int i) { return QDate::fromString(r[i].toString(), Qt::ISODate); };
            const QDate req = date(1);
            QVERIFY2(req > kToday.addYears(-3) && req <= kToday && (!previous.isValid() || req >= previous), id.constData());
            previous = req;
            QVERIFY2(!r[2].isValid() || date(2) >= req, id.constData());
            const bool resolved = r[4].toLongLong() == 1;
            QVERIFY2((r[4].toLongLong() == 0 || resolved) && r[3].isValid() == resolved, id.constData());
            QVERIFY2(!resolved || (date(3) >= req && date(3) <= kToday && req <= kToday.addDays(-3)), id.constData());
            // The total cost as the main window computes it: rate 40, minimum 25, kept to whole cents.
            const double exact = r[5].toDouble() * 400000 + r[6].toDouble() * 400000 / 60 + r[7].toDouble();
            const qlonglong cost = r[8].toLongLong(), paid = r[9].toLongLong();
            QVERIFY2(std::abs(double(cost) - std::max(exact, 250000.0)) <= 50 && cost % 100 == 0, id.constData());
            QVERIFY2(r[10].isValid() == (paid > 0), id.constData());
            QVERIFY2(paid <= cost && (paid == 0 || (date(10) >= req && date(10) <= kToday)), id.constData());
            ++(paid == 0 ? unpaid : paid == cost ? paidInFull : paidInPart);
        }
        if (requests < 500)
            return;
        QVERIFY(paidInFull > requests / 3 && paidInPart > 0 && unpaid > 0);
        QVERIFY(number(db, "SELECT count(*) FROM Req WHERE ShortDesc LIKE '%O''Neil%'") > 0);
        QVERIFY(number(db, "SELECT count(*) FROM Req WHERE HoursTot <> CAST(HoursTot AS INTEGER)") > 0);
        QVERIFY(number(db, "SELECT count(*) FROM Req WHERE ReqDesc LIKE '%' || char(13) || char(10) || '%'") > requests / 4);
        QCOMPARE(number(db, "SELECT count(*) FROM Req WHERE length(Misc1) > 50"), 0);
        for (const char* field : {"DueDate", "ResDate", "PaidDate", "AddCharge", "AmtPaid", "CustID", "DeptID", "PriID",
                                  "CatID", "AssignedTo", "Resp", "Misc1"}) { // some Null, some set
            const QByteArray sql = QByteArray("SELECT count(*) > count(") + field + ") AND count(" + field + ") > 0 FROM Req";
            QVERIFY2(number(db, sql.constData()) == 1, field);
        }
    }

    // The demo's names read through the engine, found by the maintenance
    // window's criterion, and written back changed.
    void demoNamesSurviveTheEngine()
    {
        QTemporaryDir tmp;
        const QString path = makeDemo(tmp.path(), 50);
        const QString changed = QStringLiteral("Zoë 李 O'Neil\r\nline 2");
        {
            auto db = cvd::Database::Open(path);
            auto cust = db->OpenRecordset(QStringLiteral("Select * from Customers order by LastName, FirstName"));
            QStringList seen;
            for (; !cust->Eof(); cust->MoveNext())
                seen << cust->Field(QStringLiteral("LastName")).displayText() + QLatin1Char(',')
                            + cust->Field(QStringLiteral("FirstName")).displayText();
            for (const char* n : {"Ångström,Zoë", "O'Neil,Patrick", "李,明", "Hargreaves,"})
                QVERIFY2(seen.contains(QString::fromUtf8(n)), n);
            cust->FindFirst(QStringLiteral("LastName like 'o''nei*'"));
            QCOMPARE(cust->Field(QStringLiteral("FirstName")).toText(), QStringLiteral("Patrick"));
            cust->Edit();
            cust->SetField(QStringLiteral("FirstName"), changed);
            cust->Update();
            auto staff = db->OpenRecordset(QStringLiteral("Staff"), cvd::RecordsetType::Table);
            staff->SetIndex(QStringLiteral("StaffID"));
            staff->Seek(QStringLiteral("="), 4);
            QCOMPARE(staff->Field(QStringLiteral("LastName")).toText(), QStringLiteral("李"));
        }
        QCOMPARE(query(path, "SELECT FirstName FROM Customers WHERE LastName = 'O''Neil'"), QList<QVariantList>{{changed}});
        QCOMPARE(number(path, "SELECT count(*) FROM Customers WHERE FirstName IS NULL AND LastName = 'Hargreaves'"), 1);
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
