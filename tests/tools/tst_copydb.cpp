// Whole databases copied between files and servers: every record with its
// key, the copy read back and compared table by table, a destination with
// records refused, and a copy that is stopped or fails left nowhere; cvdtool
// on a server.  The cases on a server run when the tests run on one
// (CVD_TEST_BACKEND=server).
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

using namespace cvd;
using namespace cvd::test;
using namespace Qt::StringLiterals;

namespace {

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
                  "HoursTot = 0.5, MinTot = 59 WHERE ReqID = 2;");
    return done ? path : QString();
}

} // namespace

class TstCopyDb : public QObject {
    Q_OBJECT

    Folders m_folders;

private slots:
    // cvdtool copy file -> file: every table alike, each printed with its
    // count and checksum; keys kept (gaps included), new AutoNumbers after
    // the largest key, the source untouched.
    void fileToFile()
    {
        const QString src = awkwardFile(m_folders.next());
        const QByteArray before = fileHash(src);
        const QString destFolder = m_folders.next() + u"/new folder"_s, dest = destFolder + u"/cvd.mdb"_s;
        const ToolResult r = runCvdTool({u"copy"_s, src, destFolder});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(fileHash(src), before);
        const QList<TableSum> source = sums(src);
        for (int i = 0; i < 7; ++i) {
            const QString table = schema::tableNames()[i], all = u"select * from %1 order by rowid"_s.arg(table);
            QCOMPARE(sqlRows(dest, all), sqlRows(src, all));
            const QString line = u"%1 %2 records  sha256 %3  copy alike"_s.arg(table, -10).arg(sqlRows(src, all).size(), 9)
                                     .arg(QString::fromLatin1(source[i].sha256));
            QVERIFY2(r.out.contains(line), qPrintable(line + u"\n"_s + r.out));
        }
        QVERIFY2(r.out.contains(u"\nCopied %1 to %2.\nReq: "_s.arg(src, dest)) && r.out.endsWith(u"(copied as it is).\n"_s),
                 qPrintable(r.out));
        QCOMPARE(nextKey(dest, u"Req"_s), 399); // the largest key left is 398
        QCOMPARE(nextKey(dest, u"Customers"_s), 61);
        QCOMPARE(runCvdTool({u"check"_s, destFolder}).out, u"ok\n"_s);
    }

    // A destination that holds records, or a file that is there, is refused
    // with 58 and left as it was; a new database's own Settings row gives
    // way to the source's.  A copy stopped half way leaves no file.
    void destinations_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"file there", "folder with cvd.mdb", "database with records", "new database", "stopped"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }
    void destinations()
    {
        QFETCH(QString, kind);
        const int requests = kind == u"stopped"_s ? 9000 : 50;
        const QString src = tools::createDemoDatabase(m_folders.next(), {.requests = requests, .seed = 2, .today = QDate(2025, 1, 31)});
        const QString folder = m_folders.next();
        QString dest = QDir(folder).filePath(kind == u"file there"_s ? u"copy.mdb"_s : u"cvd.mdb"_s), text;
        if (kind == u"stopped"_s) {
            QVERIFY(copyDatabase(src, folder, [](qint64 done, qint64) { return done < 4096; }).stopped);
            QCOMPARE(folderFiles(folder), QStringList());
            return;
        }
        if (kind == u"file there"_s)
            QVERIFY(writeFile(dest, "keep me"));
        else
            dest = kind == u"new database"_s ? createDatabase(folder) : createFixtureDb(folder, Engine::File);
        execSql(dest, "UPDATE Settings SET CompName = 'Our own'");
        const QByteArray before = fileHash(dest);
        const auto intoOpen = [&] { return copyDatabase(*Database::Open(src, OpenMode::Check), *Database::Open(dest)); };
        if (kind == u"new database"_s) {
            QVERIFY(intoOpen().matches());
            QCOMPARE(sqlValue(dest, u"select count(*) || CompName from Settings"_s), u"1Calvedon Service Desk"_s);
            return;
        }
        if (kind == u"database with records"_s) {
            QCOMPARE(errorOf([&] { intoOpen(); }, &text), int(ErrNo::FileExists));
            QVERIFY2(text.contains(u"already holds records (8 in Req, 4 in Customers"_s), qPrintable(text));
        } else {
            const ToolResult r = runCvdTool({u"copy"_s, src, kind == u"file there"_s ? dest : folder});
            QVERIFY2(r.exitCode == 1 && r.err.contains(u"error 58"_s) && r.err.contains(dest)
                         && r.err.contains(u"already exists"_s) && r.out.isEmpty(), qPrintable(r.err));
        }
        QCOMPARE(fileHash(dest), before);
    }

    // file -> server -> file: the records come back as they were, keys,
    // gaps and awkward texts included; the server's AutoNumbers follow; the
    // requests of a customer deleted from the file come along, counted.
    void serverRoundTrip()
    {
        if (!serverMode())
            QSKIP("on the test server only");
        const QString src = awkwardFile(m_folders.next());
        const EmptyServerDb server;
        const CopyReport there = copyDatabase(src, server.connPath());
        QVERIFY(there.matches());
        QCOMPARE(there.copy, Database::Open(server.connPath())->path());
        QCOMPARE(nextKey(server.connPath(), u"Req"_s), 399);
        const QString orphans = sqlValue(src, u"select count(*) from Req where CustID = 13"_s);
        QCOMPARE(there.broken.size(), 1);
        QCOMPARE(there.broken[0].describe(), u"Req: %1 records name a customer (CustID) that does not exist"_s.arg(orphans));
        const QString back = m_folders.filePath(u"back.mdb"_s);
        QVERIFY(copyDatabase(server.folder(), back).matches()); // the folder's cvd.conn
        QCOMPARE(sums(back), sums(src));
        const QString req = u"select ReqID, ShortDesc, ReqDesc, ReqDate, Resolved, CostTot from Req order by ReqID"_s;
        QCOMPARE(sqlRows(back, req), sqlRows(src, req));
    }

    // A copy onto a server stopped half way takes away the tables it made,
    // so that the same copy can be run again.
    void serverCopyTakenBack()
    {
        if (!serverMode())
            QSKIP("on the test server only");
        const QString src = tools::createDemoDatabase(m_folders.next(), {.requests = 9000, .seed = 4, .today = QDate(2025, 1, 31)});
        const auto stop = [](qint64 done, qint64) { return done < 8192; };
        const EmptyServerDb bare;
        QVERIFY(copyDatabase(src, bare.connPath(), stop).stopped);
        QCOMPARE(errorOf([&] { Database::Open(bare.connPath()); }), int(ErrNo::MissingTables));
        QVERIFY(copyDatabase(src, bare.connPath()).matches()); // the same copy runs again
    }

    // cvdtool create, demo, check and backup on a server named by a
    // folder's cvd.conn, a *.conn file or a connection string.
    void cvdtoolOnServer()
    {
        if (!serverMode())
            QSKIP("on the test server only");
        const EmptyServerDb created, demo, empty;
        ToolResult r = runCvdTool({u"create"_s, created.conninfo()});
        QVERIFY2(r.exitCode == 0 && r.out.startsWith(u"Created "_s), qPrintable(r.out + r.err));
        QCOMPARE(sums(created.connPath())[6], sums(createDatabase(m_folders.next()))[6]); // the same Settings row
        r = runCvdTool({u"create"_s, created.folder()});
        QVERIFY2(r.exitCode == 1 && r.err.contains(u"error 58"_s) && r.err.contains(u"already holds tables"_s), qPrintable(r.err));
        QCOMPARE(runCvdTool({u"demo"_s, demo.connPath(), u"--requests"_s, u"300"_s}).exitCode, 0);
        QCOMPARE(sums(demo.connPath()), sums(tools::createDemoDatabase(m_folders.next(), {.requests = 300, .today = {}}))); // as in a file
        QCOMPARE(runCvdTool({u"check"_s, demo.folder()}).out, u"ok\n"_s);
        const QString backup = m_folders.filePath(u"server-backup.mdb"_s);
        r = runCvdTool({u"backup"_s, demo.conninfo(), backup});
        QVERIFY2(r.exitCode == 0 && r.out.startsWith(u"Backed up "_s), qPrintable(r.out + r.err));
        QCOMPARE(sums(backup), sums(demo.connPath()));
        // What the program would refuse is a finding of check.
        r = runCvdTool({u"check"_s, empty.connPath()});
        QVERIFY2(r.exitCode == 1 && r.out.contains(u"does not hold the tables"_s), qPrintable(r.out + r.err));
    }
};

CVD_TEST_GUILESS_MAIN(TstCopyDb)
#include "tst_copydb.moc"
