// Where a data folder's database is, the demo records, and whole databases
// copied between files and servers: every record with its key, the copy
// read back and compared table by table, a destination with records
// refused, and a copy that is stopped or fails left nowhere.  The cases on
// a server run when the tests run on one (CVD_TEST_BACKEND=server).
#include "db/badfiles.h"
#include "db/copydb.h"
#include "db/createdb.h"
#include "db/database.h"
#include "db/schema.h"
#include "support/fixturedb.h"
#include "support/testbackend.h"
#include "support/testfiles.h"
#include "support/testmain.h"
#include "tools/demodata.h"
#include "tools/emptyserver.h"

#include <QTest>
#include <optional>

using namespace cvd;
using namespace cvd::test;
using namespace Qt::StringLiterals;

namespace {

// The demo records of cvdtool demo with --requests 2000 --customers 100
// --seed 3 on 2024-03-15, and their checksums as the demo data of the
// program's earlier versions gives them.
const tools::DemoOptions GoldenDemo{.requests = 2000, .customers = 100, .seed = 3, .today = QDate(2024, 3, 15)};
const QList<std::pair<QString, TableSum>>& goldenSums()
{
    static const QList<std::pair<QString, TableSum>> sums{
        {u"Req"_s, {2000, "5e40a2bd847f18e27de69ab1698c03a3ed2bb40c2ee3fde4e0390561e66a2f8d"}},
        {u"Customers"_s, {100, "93c7e06443641d4b487364c834d4e7da3928f734a5b0fc83ea3fb760cffa9fb3"}},
        {u"Dept"_s, {11, "c5f5ef86842007e051cbeec0fdf291720c2642ba0e78d70b8c89a0809585ed1f"}},
        {u"Staff"_s, {8, "71ea161a3e3ec9001d7abddba3f3bde0d5e404730c80eac316c2400f8fc039a7"}},
        {u"Categories"_s, {9, "8acffbd6fcb7537c158bde84f4c2e9c0f66f8a772ccc4a39da04ad3ce4812d39"}},
        {u"Priorities"_s, {4, "516dafd02df3bce5a15717d474e9b8d8c552b645704503abc1bc0a9e0655cd40"}},
        {u"Settings"_s, {1, "d40338d895d59e53a32ef251367348e7cacfee62a63a3b616401abd9ddffe13e"}},
    };
    return sums;
}

// Every table's count and checksum.
QList<TableSum> sums(const QString& location)
{
    const auto db = Database::Open(location, OpenMode::Check);
    QList<TableSum> all;
    for (const QString& table : schema::tableNames())
        all << tableChecksum(*db, table);
    return all;
}

// The key the next record added to `table` gets.
int nextKey(const QString& location, const QString& table)
{
    auto set = Database::Open(location)->OpenRecordset(table, RecordsetType::Dynaset);
    set->AddNew();
    return set->Field(schema::keyColumn(table)).toLong();
}

// A demo file with gaps in its keys and awkward values: tabs, line ends,
// quotes, letters of many scripts, empty texts beside empty (Null) fields.
// Empty when it cannot be made.
QString awkwardFile(const QString& folder)
{
    const QString path = tools::createDemoDatabase(folder, {.requests = 400, .customers = 60, .seed = 5, .today = QDate(2025, 6, 30)});
    const bool done = execSql(path, "DELETE FROM Req WHERE ReqID % 7 = 0 OR ReqID = 400; DELETE FROM Customers WHERE CustID = 13;"
                  "UPDATE Req SET Misc1 = '' WHERE ReqID = 1;"
                  "UPDATE Req SET ShortDesc = 'Tab' || char(9) || 'and \"quotes\" and ''apostrophes''', "
                  "ReqDesc = 'Line one' || char(13) || char(10) || 'line two' || char(10) || 'Ünïcødé 李 Ω', "
                  "HoursTot = 0.1, MinTot = 59 WHERE ReqID = 2;");
    return done ? path : QString();
}

} // namespace

class TstCopyDb : public QObject {
    Q_OBJECT

    Folders m_folders;

private slots:
    // cvd.conn wins over cvd.mdb; without either the folder's cvd.mdb is
    // named (and then reported missing).
    void locate_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("found");
        QTest::newRow("data file") << QStringList{u"cvd.mdb"_s} << u"cvd.mdb"_s;
        QTest::newRow("server") << QStringList{u"cvd.conn"_s} << u"cvd.conn"_s;
        QTest::newRow("server, the old file beside it") << QStringList{u"cvd.mdb"_s, u"cvd.conn"_s} << u"cvd.conn"_s;
        QTest::newRow("neither") << QStringList{u"cvd.hlp"_s} << u"cvd.mdb"_s;
    }
    void locate()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, found);
        const QString folder = m_folders.next();
        for (const QString& f : files)
            QVERIFY(writeFile(QDir(folder).filePath(f), "x"));
        QCOMPARE(locateDatabase(folder), folder + u'/' + found);
        QCOMPARE(locateDatabase(folder + u'/'), folder + u'/' + found); // the program's DataPath
        QCOMPARE(databaseLocation(folder), folder + u'/' + found);
        QCOMPARE(isServerLocation(locateDatabase(folder)), found == u"cvd.conn"_s);
    }

    // What an argument of cvdtool names.
    void location_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<bool>("server");
        QTest::newRow("URI") << u"postgresql://helpdesk@dbhost/calvedon"_s << true;
        QTest::newRow("key=value") << u"host=dbhost dbname=calvedon"_s << true;
        QTest::newRow("conn file") << u"/srv/desk/cvd.conn"_s << true;
        QTest::newRow("data file") << u"/srv/desk/cvd.mdb"_s << false;
        QTest::newRow("data file of another name") << u"backup-2026.mdb"_s << false;
    }
    void location()
    {
        QFETCH(QString, argument);
        QFETCH(bool, server);
        QCOMPARE(databaseLocation(argument), argument);
        QCOMPARE(isServerLocation(argument), server);
    }

    // The demo records are those of the earlier versions, row for row, in
    // a file and on a server alike.
    void demoRecords_data()
    {
        QTest::addColumn<bool>("onServer");
        QTest::newRow("file") << false;
        QTest::newRow("server") << true;
    }
    void demoRecords()
    {
        QFETCH(bool, onServer);
        if (onServer && !serverMode())
            QSKIP("on the test server only");
        std::optional<EmptyServerDb> server;
        if (onServer)
            server.emplace();
        const QString location = onServer ? server->connPath() : databasePath(m_folders.next());
        const QString made = tools::createDemoDatabaseAt(onServer ? location : QFileInfo(location).path(), GoldenDemo);
        QCOMPARE(made, onServer ? Database::Open(location)->path() : location);
        const QList<TableSum> got = sums(location);
        for (int i = 0; i < got.size(); ++i) {
            QCOMPARE(schema::tableNames()[i], goldenSums()[i].first);
            QCOMPARE(got[i].rows, goldenSums()[i].second.rows);
            QCOMPARE(got[i].sha256, goldenSums()[i].second.sha256);
        }
        QCOMPARE(nextKey(location, u"Req"_s), 2001);
        QCOMPARE(nextKey(location, u"Customers"_s), 101);
    }

    // file -> file: every table alike, keys kept (gaps included), new
    // AutoNumbers after the largest key, the source untouched.
    void fileToFile()
    {
        const QString src = awkwardFile(m_folders.next());
        QVERIFY(!src.isEmpty());
        const QByteArray before = fileHash(src);
        const QString destFolder = m_folders.next() + u"/new folder"_s;
        const CopyReport report = copyDatabase(src, destFolder);
        const QString dest = destFolder + u"/cvd.mdb"_s;
        QVERIFY(report.matches());
        QCOMPARE(report.copy, dest);
        QCOMPARE(report.tables.size(), 7);
        QCOMPARE(fileHash(src), before);
        const QList<TableSum> source = sums(src), copy = sums(dest);
        QCOMPARE(copy, source);
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(report.tables[i].table, schema::tableNames()[i]);
            QCOMPARE(report.tables[i].copy, source[i]);
            QCOMPARE(QString::number(report.tables[i].copy.rows),
                     sqlValue(src, u"select count(*) from %1"_s.arg(schema::tableNames()[i])));
        }
        for (const char* sql : {"select ReqID, ShortDesc, ReqDesc, Misc1, AmtPaid from Req order by ReqID",
                                "select * from Customers order by CustID", "select * from Settings"})
            QCOMPARE(sqlRows(dest, QString::fromLatin1(sql)), sqlRows(src, QString::fromLatin1(sql)));
        QCOMPARE(sqlValue(dest, u"select HoursTot = 0.1 from Req where ReqID = 2"_s), u"0"_s); // stored as the float read
        QCOMPARE(nextKey(dest, u"Req"_s), 399); // the largest key left is 398
        QCOMPARE(nextKey(dest, u"Customers"_s), 61);
        QCOMPARE(runCvdTool({u"check"_s, destFolder}).out, u"ok\n"_s);
    }

    // A destination that holds records, or a file that is there, is
    // refused with 58 and left as it was; a new database's own Settings row
    // gives way to the source's.
    void destinations_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("error");
        QTest::newRow("file there") << u"file there"_s << int(ErrNo::FileExists);
        QTest::newRow("folder with cvd.mdb") << u"folder with cvd.mdb"_s << int(ErrNo::FileExists);
        QTest::newRow("database with records") << u"database with records"_s << int(ErrNo::FileExists);
        QTest::newRow("new database") << u"new database"_s << 0;
    }
    void destinations()
    {
        QFETCH(QString, kind);
        QFETCH(int, error);
        const QString src = tools::createDemoDatabase(m_folders.next(), {.requests = 50, .seed = 2, .today = QDate(2025, 1, 31)});
        const QString folder = m_folders.next();
        QString dest = QDir(folder).filePath(u"cvd.mdb"_s), text;
        if (kind == u"file there"_s) {
            dest = QDir(folder).filePath(u"copy.mdb"_s);
            QVERIFY(writeFile(dest, "keep me"));
        } else if (kind == u"folder with cvd.mdb"_s) {
            QVERIFY(!createFixtureDb(folder, Engine::File).isEmpty());
        }
        if (kind == u"database with records"_s || kind == u"new database"_s) {
            dest = kind == u"new database"_s ? createDatabase(folder) : createFixtureDb(folder, Engine::File);
            execSql(dest, "UPDATE Settings SET CompName = 'Our own'");
            const QByteArray before = fileHash(dest);
            CopyReport report;
            QCOMPARE(errorOf([&] { report = copyDatabase(*Database::Open(src, OpenMode::Check), *Database::Open(dest)); }, &text),
                     error);
            if (error) {
                QVERIFY2(text.contains(u"already holds records (8 in Req, 4 in Customers"_s), qPrintable(text));
                QCOMPARE(fileHash(dest), before);
                return;
            }
            QVERIFY(report.matches());
            QCOMPARE(sqlValue(dest, u"select count(*) || CompName from Settings"_s), u"1Calvedon Service Desk"_s);
            return;
        }
        const QByteArray before = fileHash(dest);
        QCOMPARE(errorOf([&] { copyDatabase(src, kind == u"file there"_s ? dest : folder); }, &text), error);
        QVERIFY2(text.contains(dest) && text.contains(u"already exists"_s), qPrintable(text));
        QCOMPARE(fileHash(dest), before);
        const ToolResult r = runCvdTool({u"copy"_s, src, kind == u"file there"_s ? dest : folder});
        QVERIFY2(r.exitCode == 1 && r.err.contains(u"error 58"_s) && r.out.isEmpty(), qPrintable(r.err));
    }

    // A copy stopped half way leaves no file; cvdtool copy prints each
    // table's count and checksum and where the copy went.
    void stoppedAndPrinted()
    {
        const QString src = tools::createDemoDatabase(m_folders.next(), {.requests = 9000, .seed = 4, .today = QDate(2025, 1, 31)});
        const QString folder = m_folders.next();
        const CopyReport stopped = copyDatabase(src, folder, [](qint64 done, qint64) { return done < 4096; });
        QVERIFY(stopped.stopped && !stopped.matches());
        QCOMPARE(folderFiles(folder), QStringList());

        const ToolResult r = runCvdTool({u"copy"_s, src, folder});
        QCOMPARE(r.exitCode, 0);
        const QList<TableSum> source = sums(src);
        for (int i = 0; i < 7; ++i) {
            const QString line = u"%1 %2 records  sha256 %3  copy alike"_s.arg(schema::tableNames()[i], -10)
                                     .arg(source[i].rows, 9)
                                     .arg(QString::fromLatin1(source[i].sha256));
            QVERIFY2(r.out.contains(line), qPrintable(line + u"\n"_s + r.out));
        }
        QVERIFY(r.out.endsWith(u"Copied %1 to %2/cvd.mdb.\n"_s.arg(src, folder)));
    }

    // The checksum tells apart what the program would show differently:
    // one field changed in one table changes that table's sum alone.  The
    // order in which keyless rows (Settings) lie does not count.
    void checksums_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("table"); // whose sum changes; empty: none
        QTest::newRow("a letter's case") << u"UPDATE Customers SET LastName = 'o''neil' WHERE CustID = 2"_s << u"Customers"_s;
        QTest::newRow("empty text for Null") << u"UPDATE Req SET Misc1 = '' WHERE ReqID = 3"_s << u"Req"_s;
        QTest::newRow("a ten-thousandth") << u"UPDATE Req SET CostTot = CostTot + 1 WHERE ReqID = 5"_s << u"Req"_s;
        QTest::newRow("a day") << u"UPDATE Req SET ReqDate = date(ReqDate, '+1 day') WHERE ReqID = 9"_s << u"Req"_s;
        QTest::newRow("a key") << u"UPDATE Dept SET DeptID = 99 WHERE DeptID = 11"_s << u"Dept"_s;
        QTest::newRow("Yes/No") << u"UPDATE Settings SET NBold = 0"_s << u"Settings"_s;
        QTest::newRow("minutes") << u"UPDATE Req SET MinTot = MinTot + 0.5 WHERE ReqID = 4"_s << u"Req"_s;
        QTest::newRow("a record gone") << u"DELETE FROM Priorities WHERE PriID = 4"_s << u"Priorities"_s;
    }
    void checksums()
    {
        QFETCH(QString, sql);
        QFETCH(QString, table);
        const QDate day(2025, 2, 28);
        const QString a = tools::createDemoDatabase(m_folders.next(), {.requests = 30, .seed = 8, .today = day});
        const QString b = tools::createDemoDatabase(m_folders.next(), {.requests = 30, .seed = 8, .today = day});
        QCOMPARE(sums(a), sums(b));
        QVERIFY(execSql(b, sql.toUtf8().constData()));
        const QList<TableSum> before = sums(a), after = sums(b);
        for (int i = 0; i < 7; ++i)
            QVERIFY2((before[i] == after[i]) == (schema::tableNames()[i] != table), qPrintable(schema::tableNames()[i]));
    }

    // Settings rows in two orders give one checksum.
    void keylessOrder()
    {
        const QString row = u"INSERT INTO Settings (DefHourlyRate, CompName) VALUES (%1, '%2')"_s;
        QStringList paths;
        for (const auto& order : {QStringList{row.arg(1).arg(u"one"_s), row.arg(2).arg(u"two"_s)},
                                  QStringList{row.arg(2).arg(u"two"_s), row.arg(1).arg(u"one"_s)}}) {
            paths << createDatabase(m_folders.next());
            QVERIFY(execSql(paths.last(), ("DELETE FROM Settings; " + order.join(u"; "_s)).toUtf8().constData()));
        }
        QVERIFY(sqlRows(paths[0], u"select * from Settings"_s) != sqlRows(paths[1], u"select * from Settings"_s));
        QCOMPARE(sums(paths[0]), sums(paths[1]));
    }

    // file -> server -> file: the records come back as they were, keys,
    // gaps and awkward texts included; the server's AutoNumbers follow.
    void serverRoundTrip()
    {
        if (!serverMode())
            QSKIP("on the test server only");
        const QString src = awkwardFile(m_folders.next());
        QVERIFY(!src.isEmpty());
        const EmptyServerDb server;
        const CopyReport there = copyDatabase(src, server.connPath());
        QVERIFY(there.matches());
        QCOMPARE(there.copy, Database::Open(server.connPath())->path());
        QCOMPARE(sums(server.connPath()), sums(src));
        QCOMPARE(nextKey(server.connPath(), u"Req"_s), 399);
        // The requests of the customer deleted from the file come along as
        // they are, counted; the server then keeps them, edits and all.
        const QString orphans = sqlValue(src, u"select count(*) from Req where CustID = 13"_s);
        QVERIFY(orphans.toInt() > 0);
        QCOMPARE(there.broken.size(), 1);
        QCOMPARE(there.broken[0].describe(), u"Req: %1 records name a customer (CustID) that does not exist"_s.arg(orphans));
        {
            auto set = Database::Open(server.connPath())->OpenRecordset(u"Select * from Req where CustID = 13"_s);
            set->Edit();
            set->SetField(u"Resp"_s, u"Answered on the server"_s);
            set->Update();
        }
        QVERIFY(execSql(src, "UPDATE Req SET Resp = 'Answered on the server' WHERE ReqID = "
                             "(SELECT min(ReqID) FROM Req WHERE CustID = 13)"));
        const QString back = m_folders.filePath(u"back.mdb"_s);
        const CopyReport again = copyDatabase(server.folder(), back); // the folder's cvd.conn
        QVERIFY(again.matches());
        QCOMPARE(sums(back), sums(src));
        for (const char* sql : {"select ReqID, ShortDesc, ReqDesc, Resp, ReqDate, Resolved, CostTot from Req order by ReqID",
                                "select * from Customers order by CustID", "select * from Settings"})
            QCOMPARE(sqlRows(back, QString::fromLatin1(sql)), sqlRows(src, QString::fromLatin1(sql)));

        // A second copy onto the server is refused and changes nothing.
        QString text;
        QCOMPARE(errorOf([&] { copyDatabase(src, server.connPath()); }, &text), int(ErrNo::FileExists));
        QVERIFY2(text.contains(u"already holds records"_s), qPrintable(text));
        QCOMPARE(sums(server.connPath()), sums(src));
    }

    // A copy onto a server stopped half way takes its records away again:
    // the tables it made, or the rows it added to empty tables (a new
    // database's Settings row back as it was).
    void serverCopyTakenBack()
    {
        if (!serverMode())
            QSKIP("on the test server only");
        const QString src = tools::createDemoDatabase(m_folders.next(), {.requests = 9000, .seed = 4, .today = QDate(2025, 1, 31)});
        const auto stop = [](qint64 done, qint64) { return done < 8192; };
        const EmptyServerDb bare;
        QVERIFY(copyDatabase(src, bare.connPath(), stop).stopped);
        QCOMPARE(errorOf([&] { Database::Open(bare.connPath()); }), int(ErrNo::MissingTables));

        const EmptyServerDb made;
        QCOMPARE(runCvdTool({u"create"_s, made.folder()}).exitCode, 0);
        made.exec(u"UPDATE Settings SET CompName = 'Our own'"_s);
        QVERIFY(copyDatabase(src, made.conninfo(), stop).stopped);
        const auto db = Database::Open(made.connPath());
        for (const QString& table : schema::tableNames())
            QCOMPARE(tableChecksum(*db, table).rows, table == u"Settings"_s ? 1 : 0);
        QCOMPARE(db->OpenRecordset(u"Settings"_s, RecordsetType::Snapshot)->Field(u"CompName"_s).toText(), u"Our own"_s);
    }

    // cvdtool create, demo, check and backup on a server named by a
    // folder's cvd.conn, a *.conn file or a connection string.
    void cvdtoolOnServer()
    {
        if (!serverMode())
            QSKIP("on the test server only");
        const EmptyServerDb created, demo;
        ToolResult r = runCvdTool({u"create"_s, created.conninfo()});
        QVERIFY2(r.exitCode == 0 && r.out.startsWith(u"Created "_s), qPrintable(r.out + r.err));
        QCOMPARE(sums(created.connPath())[6], sums(createDatabase(m_folders.next()))[6]); // the same Settings row
        r = runCvdTool({u"create"_s, created.folder()});
        QVERIFY2(r.exitCode == 1 && r.err.contains(u"error 58"_s) && r.err.contains(u"already holds tables"_s), qPrintable(r.err));
        QVERIFY(!r.err.contains(u"password"_s, Qt::CaseInsensitive));

        r = runCvdTool({u"demo"_s, demo.connPath(), u"--requests"_s, u"300"_s});
        QCOMPARE(r.exitCode, 0);
        r = runCvdTool({u"check"_s, demo.folder()});
        QCOMPARE(r.out, u"ok\n"_s);
        const QString backup = m_folders.filePath(u"server-backup.mdb"_s);
        r = runCvdTool({u"backup"_s, demo.conninfo(), backup});
        QVERIFY2(r.exitCode == 0 && r.out.startsWith(u"Backed up "_s), qPrintable(r.out + r.err));
        QCOMPARE(sums(backup), sums(demo.connPath()));
        QCOMPARE(runCvdTool({u"check"_s, backup}).out, u"ok\n"_s);
        r = runCvdTool({u"backup"_s, demo.conninfo(), backup});
        QVERIFY2(r.exitCode == 1 && r.err.contains(u"already exists"_s), qPrintable(r.err));

        // What the program would refuse is a finding of check.
        const EmptyServerDb empty;
        r = runCvdTool({u"check"_s, empty.connPath()});
        QVERIFY2(r.exitCode == 1 && r.out.contains(u"does not hold the tables"_s), qPrintable(r.out + r.err));
    }

    // A fill that fails on a new server database takes the tables away, so
    // that the same command can be run again.
    void failedServerFill()
    {
        if (!serverMode())
            QSKIP("on the test server only");
        const EmptyServerDb server;
        QString text;
        const auto failing = [](Database& db) {
            tools::fillDemo(db, {.requests = 20, .seed = 1, .today = QDate(2025, 1, 31)});
            db.Execute(u"Select nonsense from nowhere"_s);
        };
        QCOMPARE(errorOf([&] { createServerDatabase(server.connPath(), failing); }, &text), int(ErrNo::SqlError));
        QVERIFY2(text.contains(u"dropped again"_s), qPrintable(text));
        QCOMPARE(errorOf([&] { Database::Open(server.connPath()); }), int(ErrNo::MissingTables));
        QVERIFY(!createServerDatabase(server.connPath()).isEmpty());
        QCOMPARE(nextKey(server.connPath(), u"Req"_s), 1);
    }
};

CVD_TEST_GUILESS_MAIN(TstCopyDb)
#include "tst_copydb.moc"
