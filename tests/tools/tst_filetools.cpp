// cvdtool check, backup and recover, and write-test on a damaged file: what
// each says and its exit status on sound and broken files, and that none of
// them changes the file it reads.
#include "db/badfiles.h"
#include "db/database.h"
#include "support/fixturedb.h"
#include "support/testfiles.h"
#include "support/testmain.h"
#include "tools/recover.h"

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
        if (kind == u"zero bytes"_s)
            return writeFile(path, QByteArray()) ? path : QString();
        if (kind == u"text file"_s)
            return writeFile(path, "Name,Phone\nAnn,555-1234\n") ? path : QString();
        if (kind == u"truncated"_s) {
            const QByteArray whole = fileBytes(demoFile(folder, 500));
            return writeFile(path, whole.left(whole.size() / 2)) ? path : QString();
        }
        return {};
    }

private slots:
    void cleanup() { m_open.reset(); }

    // check: "ok" and status 0 only for a sound file; otherwise what is
    // wrong, status 1; the file is never changed.
    void check_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("said"); // on the standard output
        QTest::newRow("sound") << u"sound"_s << u"ok\n"_s;
        QTest::newRow("damaged page") << u"damaged page"_s << u"page"_s;
        QTest::newRow("missing column") << u"missing column"_s << u"the column Resp of the table Req"_s;
        QTest::newRow("no Settings record") << u"no Settings record"_s << u"Settings holds no record"_s;
        for (const char* kind : {"zero bytes", "text file", "truncated"})
            QTest::newRow(kind) << QString::fromLatin1(kind) << u"is not a database file"_s;
    }
    void check()
    {
        QFETCH(QString, kind);
        QFETCH(QString, said);
        const QString folder = m_folders.next(), path = makeFile(folder, kind);
        QVERIFY(!path.isEmpty());
        const QByteArray before = fileHash(path);
        const ToolResult r = runCvdTool({u"check"_s, folder});
        QCOMPARE(r.exitCode, kind == u"sound"_s ? 0 : 1);
        QVERIFY2(r.exitCode == 0 ? r.out == said : r.out.contains(said, Qt::CaseInsensitive) && !r.out.contains(u"ok\n"_s),
                 qPrintable(r.out + r.err));
        QCOMPARE(fileHash(path), before);
        QCOMPARE(folderFiles(folder), QStringList{u"cvd.mdb"_s});
    }

    // What the commands refuse, with status 1 and a text that says why: the
    // file while the program has it open (3045), a missing file (3024), a
    // damaged file, one that is no database, a target that exists.  Nothing
    // is written: no target is left, an existing one keeps its bytes, and
    // the file read stays as it was.
    void refusals_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("existing"); // the target is there already
        QTest::addColumn<QStringList>("said"); // in the error output; FOLDER and TARGET stand for themselves
        for (const char* command : {"check", "backup", "recover"})
            QTest::addRow("%s while in use", command) << command << u"in use"_s << false << QStringList{u"error 3045"_s, u"FOLDER"_s};
        QTest::newRow("check, no file") << u"check"_s << u"none"_s << false << QStringList{u"error 3024"_s, u"FOLDER"_s};
        QTest::newRow("backup over a file") << u"backup"_s << u"sound"_s << true << QStringList{u"TARGET"_s, u"already exists"_s};
        QTest::newRow("backup, damaged") << u"backup"_s << u"damaged page"_s << false
                                         << QStringList{u"damaged"_s, u"cvdtool recover"_s};
        QTest::newRow("recover over a file") << u"recover"_s << u"sound"_s << true << QStringList{u"TARGET"_s};
        QTest::newRow("recover, text file") << u"recover"_s << u"text file"_s << false << QStringList{u"not a database file"_s};
        QTest::newRow("recover, zero bytes") << u"recover"_s << u"zero bytes"_s << false
                                             << QStringList{u"none of the program's tables"_s};
    }
    void refusals()
    {
        QFETCH(QString, command);
        QFETCH(QString, kind);
        QFETCH(bool, existing);
        QFETCH(QStringList, said);
        const QString folder = m_folders.next(), path = makeFile(folder, kind);
        const QString target = QDir(m_folders.next()).filePath(u"target.mdb"_s);
        QVERIFY(kind == u"none"_s || !path.isEmpty());
        QVERIFY(!existing || writeFile(target, "keep me"));
        // (Reading a file the program holds would drop the program's lock.)
        const auto hash = [&] { return m_open || path.isEmpty() ? QByteArray() : fileHash(path); };
        const QByteArray before = hash();
        QStringList args{command, folder};
        if (command != u"check"_s && command != u"write-test"_s)
            args << target;
        const ToolResult r = runCvdTool(args);
        QCOMPARE(r.exitCode, 1);
        for (QString s : said)
            QVERIFY2(r.err.contains(s.replace(u"FOLDER"_s, folder).replace(u"TARGET"_s, target)), qPrintable(s + u": "_s + r.err));
        QCOMPARE(r.out, QString());
        QCOMPARE(fileBytes(target), existing ? QByteArray("keep me") : QByteArray());
        QCOMPARE(QFile::exists(target), existing);
        QCOMPARE(hash(), before);
    }

    // backup: a copy that passes the check, holding every request.
    void backup()
    {
        const QString folder = m_folders.next(), path = makeFile(folder, u"sound"_s);
        const QString copyFolder = m_folders.next(), copy = QDir(copyFolder).filePath(u"cvd.mdb"_s);
        QCOMPARE(runCvdTool({u"backup"_s, folder, copy}).exitCode, 0);
        QCOMPARE(runCvdTool({u"check"_s, copyFolder}).out, u"ok\n"_s);
        QCOMPARE(sqlRows(copy, u"select * from Req order by ReqID"_s), sqlRows(path, u"select * from Req order by ReqID"_s));
    }

    // recover: every request but those of the overwritten page is saved as
    // it was, with its number; the lost ones are counted; the new file is
    // sound and keeps the key counters, and the program opens it.  The
    // damaged file is left as it was.
    void recoverDamagedPage()
    {
        const QString folder = m_folders.next(), path = makeFile(folder, u"damaged page"_s);
        const QString twin = demoFile(m_folders.next(), 3000); // the same file, undamaged
        const QByteArray before = fileHash(path);
        const QString outFolder = m_folders.next(), out = QDir(outFolder).filePath(u"cvd.mdb"_s);
        const ToolResult r = runCvdTool({u"recover"_s, folder, out});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(fileHash(path), before);

        const QStringList saved = sqlRows(out, u"select * from Req order by ReqID"_s);
        const QStringList original = sqlRows(twin, u"select * from Req order by ReqID"_s);
        QVERIFY(saved.size() > 2900 && saved.size() < 3000);
        for (const QString& row : saved)
            QVERIFY2(original.contains(row), qPrintable(row));
        QVERIFY(sqlRows(out, u"select ReqID from Req where ReqID = 1500"_s).isEmpty());
        const QString reqLine = u"Req: %1 saved, %2 could not be read."_s.arg(saved.size()).arg(3000 - saved.size());
        QVERIFY2(r.out.contains(reqLine), qPrintable(r.out));
        for (const char* table : {"Customers", "Dept", "Staff", "Categories", "Priorities", "Settings"}) {
            const QString sql = u"select * from %1 order by rowid"_s.arg(QLatin1String(table));
            QCOMPARE(sqlRows(out, sql), sqlRows(twin, sql));
            QVERIFY2(r.out.contains(u"%1: %2 saved."_s.arg(QLatin1String(table)).arg(sqlRows(twin, sql).size())),
                     qPrintable(r.out));
        }
        QCOMPARE(sqlRows(out, u"select seq from sqlite_sequence where name = 'Req'"_s), QStringList{u"1:3000"_s});
        QCOMPARE(runCvdTool({u"check"_s, outFolder}).out, u"ok\n"_s);
        QVERIFY(Database::Open(out)->waitForCheck().isEmpty());
    }

    // recover reads every sound leaf page of Req whatever became of the
    // pages above it (its root, an inner page, the end of the file): each
    // request on them is saved as it was, with its number.  A sound file is
    // not called damaged.
    void recoverLeaves_data()
    {
        QTest::addColumn<int>("requests");
        QTest::addColumn<QString>("page"); // of Req's tree, as SQLite's dbstat names it, to overwrite
        QTest::addColumn<int>("keep");     // the bytes kept of the file; 0 for all
        QTest::newRow("sound") << 500 << QString() << 0;
        QTest::newRow("root overwritten") << 3000 << u"path = '/'"_s << 0;
        QTest::newRow("inner page overwritten") << 10000 << u"pagetype = 'internal' and path <> '/'"_s << 0;
        QTest::newRow("truncated") << 10000 << QString() << 2000000;
    }
    void recoverLeaves()
    {
        QFETCH(int, requests);
        QFETCH(QString, page);
        QFETCH(int, keep);
        const QString folder = m_folders.next(), path = demoFile(folder, requests);
        const QStringList original = sqlRows(path, u"select * from Req order by ReqID"_s);
        const QString stat = u"select %1 from dbstat where name = 'Req' and %2"_s;
        const int pageSize = sqlValue(path, u"pragma page_size"_s).toInt();
        const QString sound = keep ? u"pagetype = 'leaf' and pageno <= %1"_s.arg(keep / pageSize) : u"pagetype = 'leaf'"_s;
        const int onSoundLeaves = sqlValue(path, stat.arg(u"sum(ncell)"_s, sound)).toInt();
        QCOMPARE(sqlValue(path, stat.arg(u"count(*)"_s, u"pagetype = 'overflow'"_s)), u"0"_s);
        QByteArray bytes = fileBytes(path);
        if (!page.isEmpty()) {
            const qsizetype at = (sqlValue(path, stat.arg(u"min(pageno)"_s, page)).toInt() - 1) * qsizetype(pageSize);
            QVERIFY(at > 0);
            for (qsizetype i = 0; i < pageSize; ++i)
                bytes[at + i] = char((i * 37 + 11) & 0xff);
        }
        QVERIFY(writeFile(path, keep ? bytes.left(keep) : bytes));
        const QByteArray before = fileHash(path);
        const QString out = QDir(m_folders.next()).filePath(u"cvd.mdb"_s);
        const ToolResult r = runCvdTool({u"recover"_s, folder, out});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(fileHash(path), before);
        const QStringList saved = sqlRows(out, u"select * from Req order by ReqID"_s);
        for (const QString& row : saved)
            QVERIFY2(original.contains(row), qPrintable(row));
        QCOMPARE(saved.size(), onSoundLeaves);
        QVERIFY2(r.out.contains(u"Req: %1 saved"_s.arg(saved.size())), qPrintable(r.out));
        QCOMPARE(r.out.contains(u"damaged"_s), page.size() + keep > 0);
    }

    // A truncated file gives what its first part holds.
    void recoverTruncated()
    {
        const QString truncated = m_folders.next();
        const QString path = makeFile(truncated, u"truncated"_s);
        const QByteArray before = fileHash(path);
        const QList<tools::RecoveredTable> report = tools::recoverDatabase(truncated, m_folders.filePath(u"from-truncated.mdb"_s));
        QCOMPARE(fileHash(path), before);
        QCOMPARE(report.size(), 7);
        QCOMPARE(report[0].table, u"Req"_s);
        QVERIFY(report[0].saved > 0 && (report[0].lost > 0 || report[0].lostUnknown));
    }
};

CVD_TEST_GUILESS_MAIN(TstFileTools)
#include "tst_filetools.moc"
