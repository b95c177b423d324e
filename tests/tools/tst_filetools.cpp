// cvdtool on data files: create and demo, check, backup and recover: what
// each says and its exit status on sound and broken files, and that none of
// them changes a file it reads or finds there; what a wrong command line is
// told.  (The backup itself: tests/db; on a server: tst_copydb.)
#include "db/badfiles.h"
#include "db/database.h"
#include "support/fixturedb.h"
#include "support/testfiles.h"
#include "support/testmain.h"
#include "tools/createdb.h"

#include <QTest>

using namespace cvd;
using namespace cvd::test;
using namespace Qt::StringLiterals;

class TstFileTools : public QObject {
    Q_OBJECT

    Folders m_folders;
    std::shared_ptr<Database> m_open; // the program holding the file

    // FOLDER/cvd.mdb made as `kind` says; empty for none.
    QString makeFile(const QString& folder, const QString& kind)
    {
        const QString path = QDir(folder).filePath(u"cvd.mdb"_s);
        const auto fixtureWith = [&](const char* sql) { return execSql(createFixtureDb(folder), sql) ? path : QString(); };
        if (kind == u"sound"_s)
            return demoFile(folder, 500);
        if (kind == u"damaged page"_s)
            return demoFile(folder, 3000, 1500);
        if (kind == u"missing column"_s)
            return fixtureWith("ALTER TABLE Req DROP COLUMN Resp");
        if (kind == u"no Settings record"_s)
            return fixtureWith("DELETE FROM Settings");
        if (kind == u"in use"_s) {
            m_open = Database::Open(createFixtureDb(folder));
            return m_open->waitForCheck().isEmpty() ? path : QString(); // the program's own check is done by now
        }
        if (kind == u"zero bytes"_s || kind == u"text file"_s)
            return writeFile(path, kind == u"text file"_s ? "Name,Phone\nAnn,555-1234\n" : "") ? path : QString();
        if (kind == u"truncated"_s) {
            const QByteArray whole = fileBytes(demoFile(folder, 500));
            return writeFile(path, whole.left(whole.size() / 2)) ? path : QString();
        }
        return {};
    }

private slots:
    void cleanup() { m_open.reset(); }

    // create: a new folder holding the empty tables and the settings;
    // demo: as many customers (the fixed ones first) and requests as asked
    // for, naming only those.
    void createAndDemo()
    {
        QTemporaryDir tmp;
        const QString folder = tmp.filePath(QStringLiteral("new/data folder"));
        QCOMPARE(runCvdTool({"create", folder}).exitCode, 0);
        QCOMPARE(folderFiles(folder), QStringList{"cvd.mdb"});
        QCOMPARE(sqlValue(databasePath(folder), "SELECT DefHourlyRate || ' ' || DefMinCharge FROM Settings"),
                 QStringLiteral("400000 250000"));
        const QString demo = tmp.filePath(QStringLiteral("demo")), db = databasePath(demo);
        QCOMPARE(runCvdTool({"demo", demo, "--customers", "2000", "--requests", "300", "--seed", "9"}).exitCode, 0);
        QCOMPARE(sqlValue(db, "SELECT (SELECT count(*) FROM Req) || ' ' || count(*) || ' ' || (SELECT count(*) FROM Req "
                              "WHERE CustID NOT IN (SELECT CustID FROM Customers) OR DeptID NOT IN (SELECT DeptID FROM Dept)) "
                              "|| ' ' || max(CustID = 2 AND FirstName || ' ' || LastName = 'Patrick O''Neil') FROM Customers"),
                 QStringLiteral("300 2000 0 1"));
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
        QVERIFY(!QFileInfo::exists(u"d"_s)); // nothing made
    }

    // Each command's --help: its usage line, what it does, its options.
    void commandHelp()
    {
        const ToolResult r = runCvdTool({"demo", "--help"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.startsWith(u"Usage: cvdtool demo DATABASE [--requests N] [--customers N] [--seed S]\n"_s)
                     && r.out.contains(u"The same seed (default 1) gives"_s) && r.out.contains(u"--requests <N>"_s),
                 qPrintable(r.out));
    }

    // What each command tells of a file, and its status: check prints "ok"
    // (0) only for a sound file, otherwise what is wrong (1); a refusal (1)
    // says why: the file while the program has it open (3045), a missing
    // file (3024), a damaged file, one that is no database, a target that
    // exists, a cvd.mdb that create or demo would overwrite (an empty one too).  Nothing is written: no target is left, an existing one keeps
    // its bytes, and the file read stays as it was.
    void commands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("existing"); // the target is there already
        QTest::addColumn<bool>("onOutput"); // what is said: on the standard output, or the error output
        QTest::addColumn<QStringList>("said"); // FOLDER and TARGET stand for themselves
        QTest::newRow("check, sound") << u"check"_s << u"sound"_s << false << true << QStringList{u"ok\n"_s};
        QTest::newRow("check, damaged page") << u"check"_s << u"damaged page"_s << false << true << QStringList{u"page"_s};
        QTest::newRow("check, missing column") << u"check"_s << u"missing column"_s << false << true
                                               << QStringList{u"the column Resp of the table Req"_s};
        QTest::newRow("check, no Settings record") << u"check"_s << u"no Settings record"_s << false << true
                                                   << QStringList{u"Settings holds no record"_s};
        for (const char* kind : {"zero bytes", "text file", "truncated"})
            QTest::addRow("check, %s", kind) << u"check"_s << QString::fromLatin1(kind) << false << true
                                             << QStringList{u"is not a database file"_s};
        for (const char* command : {"check", "backup", "recover"})
            QTest::addRow("%s while in use", command) << command << u"in use"_s << false << false
                                                      << QStringList{u"error 3045"_s, u"FOLDER"_s};
        QTest::newRow("check, no file") << u"check"_s << u"none"_s << false << false << QStringList{u"error 3024"_s, u"FOLDER"_s};
        QTest::newRow("backup, damaged") << u"backup"_s << u"damaged page"_s << false << false
                                         << QStringList{u"damaged"_s, u"cvdtool recover"_s};
        QTest::newRow("recover over a file") << u"recover"_s << u"sound"_s << true << false << QStringList{u"TARGET"_s};
        QTest::newRow("recover, text file") << u"recover"_s << u"text file"_s << false << false
                                            << QStringList{u"not a database file"_s};
        for (const char* command : {"create", "demo"})
            QTest::addRow("%s over a file", command) << command << u"sound"_s << false << false << QStringList{u"FOLDER/cvd.mdb"_s};
        QTest::newRow("create over an empty file") << u"create"_s << u"zero bytes"_s << false << false << QStringList{u"FOLDER"_s};
        QTest::newRow("recover, zero bytes") << u"recover"_s << u"zero bytes"_s << false << false
                                             << QStringList{u"none of the program's tables"_s};
    }
    void commands()
    {
        QFETCH(QString, command);
        QFETCH(QString, kind);
        QFETCH(bool, existing);
        QFETCH(bool, onOutput);
        QFETCH(QStringList, said);
        const QString folder = m_folders.next(), path = makeFile(folder, kind);
        const QString target = QDir(m_folders.next()).filePath(u"target.mdb"_s);
        QVERIFY(kind == u"none"_s || !path.isEmpty());
        QVERIFY(!existing || writeFile(target, "keep me"));
        // (Reading a file the program holds would drop the program's lock.)
        const auto hash = [&] { return m_open || path.isEmpty() ? QByteArray() : fileHash(path); };
        const QByteArray before = hash();
        const bool twoFiles = command == u"backup"_s || command == u"recover"_s;
        const ToolResult r = runCvdTool(twoFiles ? QStringList{command, folder, target} : QStringList{command, folder});
        QCOMPARE(r.exitCode, command == u"check"_s && kind == u"sound"_s ? 0 : 1);
        for (QString s : said)
            QVERIFY2((onOutput ? r.out : r.err).contains(s.replace(u"FOLDER"_s, folder).replace(u"TARGET"_s, target), Qt::CaseInsensitive),
                     qPrintable(s + u": "_s + r.out + r.err));
        QCOMPARE(r.out.contains(u"ok\n"_s), r.exitCode == 0);
        QVERIFY(onOutput || r.out.isEmpty());
        QCOMPARE(fileBytes(target), existing ? QByteArray("keep me") : QByteArray());
        QCOMPARE(QFile::exists(target), existing);
        QCOMPARE(hash(), before);
        QVERIFY(m_open || path.isEmpty() || folderFiles(folder) == QStringList{u"cvd.mdb"_s});
    }

    // recover reads every sound leaf page of Req whatever became of the
    // pages around it (a leaf, its root, an inner page, the end of the
    // file): each request on them is saved as it was, with its number, the
    // lost ones counted.  The other tables are saved whole, the new file is
    // sound and keeps the key counters, and the program opens it.  The
    // damaged file is left as it was; a sound file is not called damaged.
    void recover_data()
    {
        QTest::addColumn<int>("requests");
        QTest::addColumn<QString>("page"); // of Req's tree, as SQLite's dbstat names it, to overwrite
        QTest::addColumn<int>("keep");     // the bytes kept of the file; 0 for all
        QTest::newRow("sound") << 500 << QString() << 0;
        QTest::newRow("leaf overwritten") << 3000 << u"pagetype = 'leaf' and pageno > 20"_s << 0;
        QTest::newRow("root overwritten") << 3000 << u"path = '/'"_s << 0;
        QTest::newRow("truncated") << 10000 << QString() << 2000000;
    }
    void recover()
    {
        QFETCH(int, requests);
        QFETCH(QString, page);
        QFETCH(int, keep);
        const QString folder = m_folders.next(), path = demoFile(folder, requests);
        const QStringList original = sqlRows(path, u"select * from Req order by ReqID"_s);
        const QString stat = u"select %1 from dbstat where name = 'Req' and %2"_s;
        const int pageSize = sqlValue(path, u"pragma page_size"_s).toInt();
        const QString sound = keep ? u"pagetype = 'leaf' and pageno <= %1"_s.arg(keep / pageSize) : u"pagetype = 'leaf'"_s;
        int onSoundLeaves = sqlValue(path, stat.arg(u"sum(ncell)"_s, sound)).toInt();
        QByteArray bytes = fileBytes(path);
        if (!page.isEmpty()) {
            const int pageNo = sqlValue(path, stat.arg(u"min(pageno)"_s, page)).toInt();
            if (page.startsWith(u"pagetype = 'leaf'"_s))
                onSoundLeaves -= sqlValue(path, stat.arg(u"ncell"_s, u"pageno = %1"_s.arg(pageNo))).toInt();
            const qsizetype at = (pageNo - 1) * qsizetype(pageSize);
            QVERIFY(at > 0);
            for (qsizetype i = 0; i < pageSize; ++i)
                bytes[at + i] = char((i * 37 + 11) & 0xff);
        }
        const auto others = [](const QString& file) {
            QStringList rows;
            for (const char* table : {"Customers", "Dept", "Staff", "Categories", "Priorities", "Settings"})
                rows << sqlRows(file, u"select * from %1 order by rowid"_s.arg(QLatin1String(table)));
            return rows;
        };
        const QStringList otherRows = others(path);
        QVERIFY(writeFile(path, keep ? bytes.left(keep) : bytes));
        const QByteArray before = fileHash(path);
        const QString outFolder = m_folders.next(), out = QDir(outFolder).filePath(u"cvd.mdb"_s);
        const ToolResult r = runCvdTool({u"recover"_s, folder, out});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(fileHash(path), before);
        const QStringList saved = sqlRows(out, u"select * from Req order by ReqID"_s);
        for (const QString& row : saved)
            QVERIFY2(original.contains(row), qPrintable(row));
        QCOMPARE(saved.size(), onSoundLeaves);
        const QString reqLine = saved.size() == requests ? u"Req: %1 saved"_s.arg(requests)
                                                         : u"Req: %1 saved, %2 could not be read."_s.arg(saved.size()).arg(requests - saved.size());
        QVERIFY2(r.out.contains(reqLine) || keep, qPrintable(r.out));
        QCOMPARE(r.out.contains(u"damaged"_s), page.size() + keep > 0);
        if (keep)
            return; // the other tables lie beyond the part kept
        QCOMPARE(others(out), otherRows);
        QVERIFY2(r.out.contains(u"Customers: %1 saved."_s.arg(sqlRows(out, u"select * from Customers"_s).size())), qPrintable(r.out));
        QCOMPARE(sqlRows(out, u"select seq from sqlite_sequence where name = 'Req'"_s), QStringList{u"1:%1"_s.arg(requests)});
        QCOMPARE(runCvdTool({u"check"_s, outFolder}).out, u"ok\n"_s);
    }
};

CVD_TEST_GUILESS_MAIN(TstFileTools)
#include "tst_filetools.moc"
