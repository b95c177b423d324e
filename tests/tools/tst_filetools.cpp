// cvdtool check, backup and recover, and write-test on a damaged file: what
// each says and its exit status on sound and broken files, and that none of
// them changes the file it reads.
#include "db/badfiles.h"
#include "db/database.h"
#include "support/fixturedb.h"
#include "support/testfiles.h"
#include "support/testmain.h"
#include "tools/recover.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

using namespace cvd;
using namespace Qt::StringLiterals;
using test::fileHash;

namespace {

struct Run {
    int exitCode = -1;
    QString out, err;
};

Run cvdtool(const QStringList& args)
{
    QProcess p;
    p.start(qEnvironmentVariable("CVDTOOL"), args);
    Run r;
    if (p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit)
        r.exitCode = p.exitCode();
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

// The rows of a query on a file, a line each, read with plain SQLite.
QStringList rows(const QString& path, const QString& sql)
{
    sqlite3* db = nullptr;
    sqlite3_stmt* s = nullptr;
    QStringList out;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &s, nullptr);
    while (s && sqlite3_step(s) == SQLITE_ROW) {
        QStringList fields;
        for (int i = 0; i < sqlite3_column_count(s); ++i)
            fields << QString::number(sqlite3_column_type(s, i)) + u':'
                          + QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, i)));
        out << fields.join(u'|');
    }
    sqlite3_finalize(s);
    sqlite3_close(db);
    return out;
}

} // namespace

class TstFileTools : public QObject {
    Q_OBJECT

    test::Folders m_folders;
    QString newFolder() { return m_folders.next(); }

    // FOLDER/cvd.mdb made as `kind` says; empty for none.
    QString makeFile(const QString& folder, const QString& kind)
    {
        const QString path = QDir(folder).filePath(u"cvd.mdb"_s);
        if (kind == u"sound"_s)
            return test::demoFile(folder, 500);
        if (kind == u"damaged page"_s)
            return test::demoFile(folder, 3000, 1500);
        if (kind == u"missing column"_s) {
            test::createFixtureDb(folder);
            return test::execSql(path, "ALTER TABLE Req DROP COLUMN Resp") ? path : QString();
        }
        if (kind == u"no Settings record"_s) {
            test::createFixtureDb(folder);
            return test::execSql(path, "DELETE FROM Settings") ? path : QString();
        }
        if (kind == u"zero bytes"_s)
            return test::writeFile(path, QByteArray()) ? path : QString();
        if (kind == u"text file"_s)
            return test::writeFile(path, "Name,Phone\nAnn,555-1234\n") ? path : QString();
        if (kind == u"truncated"_s) {
            const QByteArray whole = test::fileBytes(test::demoFile(folder, 500));
            return test::writeFile(path, whole.left(whole.size() / 2)) ? path : QString();
        }
        return {};
    }

private slots:
    // check: "ok" and status 0 only for a sound file; otherwise what is
    // wrong, status 1; the file is never changed.
    void check_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said"); // on the standard output
        QTest::newRow("sound") << u"sound"_s << 0 << u"ok\n"_s;
        QTest::newRow("damaged page") << u"damaged page"_s << 1 << u"page"_s;
        QTest::newRow("missing column") << u"missing column"_s << 1 << u"the column Resp of the table Req"_s;
        QTest::newRow("no Settings record") << u"no Settings record"_s << 1 << u"Settings holds no record"_s;
        QTest::newRow("zero bytes") << u"zero bytes"_s << 1 << u"is not a database file"_s;
        QTest::newRow("text file") << u"text file"_s << 1 << u"is not a database file"_s;
        QTest::newRow("truncated") << u"truncated"_s << 1 << u"is not a database file"_s;
    }
    void check()
    {
        QFETCH(QString, kind);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        const QString folder = newFolder();
        const QString path = makeFile(folder, kind);
        QVERIFY(!path.isEmpty());
        const QByteArray before = fileHash(path);
        const Run r = cvdtool({u"check"_s, folder});
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(exitCode == 0 ? r.out == said : r.out.contains(said, Qt::CaseInsensitive) && !r.out.contains(u"ok\n"_s),
                 qPrintable(r.out + r.err));
        QCOMPARE(fileHash(path), before);
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{u"cvd.mdb"_s});
    }

    // Every command that reads the file is refused while the program has
    // it open, with error 3045; a missing file is named.
    void refusedWhileInUse()
    {
        const QString folder = newFolder();
        auto db = Database::Open(test::createFixtureDb(folder));
        for (const QStringList& args : {QStringList{u"check"_s, folder}, QStringList{u"backup"_s, folder, m_folders.filePath(u"b.mdb"_s)},
                                        QStringList{u"recover"_s, folder, m_folders.filePath(u"r.mdb"_s)}}) {
            const Run r = cvdtool(args);
            QCOMPARE(r.exitCode, 1);
            QVERIFY2(r.err.contains(u"error 3045"_s) && r.err.contains(folder), qPrintable(r.err));
        }
        QVERIFY(!QFile::exists(m_folders.filePath(u"b.mdb"_s)) && !QFile::exists(m_folders.filePath(u"r.mdb"_s)));
        const Run missing = cvdtool({u"check"_s, m_folders.filePath(u"nowhere"_s)});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY2(missing.err.contains(u"error 3024"_s) && missing.err.contains(u"nowhere"_s), qPrintable(missing.err));
    }

    // backup: a copy that passes the check; never over an existing file,
    // never of a damaged database.
    void backup()
    {
        const QString folder = newFolder();
        const QString path = makeFile(folder, u"sound"_s);
        const QByteArray before = fileHash(path);
        const QString copyFolder = newFolder();
        const QString copy = QDir(copyFolder).filePath(u"cvd.mdb"_s);
        Run r = cvdtool({u"backup"_s, folder, copy});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(cvdtool({u"check"_s, copyFolder}).out, u"ok\n"_s);
        QCOMPARE(rows(copy, u"select * from Req order by ReqID"_s), rows(path, u"select * from Req order by ReqID"_s));
        r = cvdtool({u"backup"_s, folder, copy});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(copy) && r.err.contains(u"already exists"_s), qPrintable(r.err));
        QCOMPARE(fileHash(path), before);

        const QString damaged = newFolder();
        makeFile(damaged, u"damaged page"_s);
        r = cvdtool({u"backup"_s, damaged, m_folders.filePath(u"of-damaged.mdb"_s)});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(u"damaged"_s) && r.err.contains(u"cvdtool recover"_s), qPrintable(r.err));
        QVERIFY(!QFile::exists(m_folders.filePath(u"of-damaged.mdb"_s)));
    }

    // write-test writes nothing into a damaged file.
    void writeTestRefusesADamagedFile()
    {
        const QString folder = newFolder();
        const QString path = makeFile(folder, u"damaged page"_s);
        const QByteArray before = fileHash(path);
        const Run r = cvdtool({u"write-test"_s, folder});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(u"error 3049"_s) && r.err.contains(u"damaged"_s), qPrintable(r.err));
        QCOMPARE(r.out, QString());
        QCOMPARE(fileHash(path), before);
    }

    // recover: every request but those of the overwritten page is saved as
    // it was, with its number; the lost ones are counted; the new file is
    // sound and keeps the key counters, and the program opens it.  The
    // damaged file is left as it was.
    void recoverDamagedPage()
    {
        const QString folder = newFolder();
        const QString path = makeFile(folder, u"damaged page"_s);
        const QString twin = test::demoFile(newFolder(), 3000); // the same file, undamaged
        const QByteArray before = fileHash(path);
        const QString outFolder = newFolder();
        const QString out = QDir(outFolder).filePath(u"cvd.mdb"_s);
        const Run r = cvdtool({u"recover"_s, folder, out});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(fileHash(path), before);

        const QStringList saved = rows(out, u"select * from Req order by ReqID"_s);
        const QStringList original = rows(twin, u"select * from Req order by ReqID"_s);
        QVERIFY(saved.size() > 2900 && saved.size() < 3000);
        for (const QString& row : saved)
            QVERIFY2(original.contains(row), qPrintable(row));
        QVERIFY(!rows(out, u"select ReqID from Req where ReqID = 1500"_s).size());
        const QString reqLine = QStringLiteral("Req: %1 saved, %2 could not be read.").arg(saved.size()).arg(3000 - saved.size());
        QVERIFY2(r.out.contains(reqLine), qPrintable(r.out));
        for (const char* table : {"Customers", "Dept", "Staff", "Categories", "Priorities", "Settings"}) {
            const QString sql = QStringLiteral("select * from %1 order by rowid").arg(QLatin1String(table));
            QCOMPARE(rows(out, sql), rows(twin, sql));
            QVERIFY2(r.out.contains(QStringLiteral("%1: %2 saved.").arg(QLatin1String(table)).arg(rows(twin, sql).size())),
                     qPrintable(r.out));
        }
        QCOMPARE(rows(out, u"select seq from sqlite_sequence where name = 'Req'"_s), QStringList{u"1:3000"_s});
        QCOMPARE(cvdtool({u"check"_s, outFolder}).out, u"ok\n"_s);
        QVERIFY(Database::Open(out)->waitForCheck().isEmpty());
    }

    // What cannot be recovered from, or where to: a clear error, nothing
    // written.  A truncated file gives what its first part holds.
    void recoverEdges()
    {
        const QString text = newFolder();
        makeFile(text, u"text file"_s);
        Run r = cvdtool({u"recover"_s, text, m_folders.filePath(u"from-text.mdb"_s)});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(u"not a database file"_s), qPrintable(r.err));
        QVERIFY(!QFile::exists(m_folders.filePath(u"from-text.mdb"_s)));

        const QString empty = newFolder();
        makeFile(empty, u"zero bytes"_s);
        r = cvdtool({u"recover"_s, empty, m_folders.filePath(u"from-empty.mdb"_s)});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(u"none of the program's tables"_s), qPrintable(r.err));

        const QString sound = newFolder();
        makeFile(sound, u"sound"_s);
        const QString existing = m_folders.filePath(u"existing.mdb"_s);
        QVERIFY(test::writeFile(existing, "keep me"));
        r = cvdtool({u"recover"_s, sound, existing});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(test::fileBytes(existing), QByteArray("keep me"));

        const QString truncated = newFolder();
        const QByteArray before = fileHash(makeFile(truncated, u"truncated"_s));
        const QList<tools::RecoveredTable> report = tools::recoverDatabase(truncated, m_folders.filePath(u"from-truncated.mdb"_s));
        QCOMPARE(fileHash(QDir(truncated).filePath(u"cvd.mdb"_s)), before);
        QCOMPARE(report.size(), 7);
        QCOMPARE(report[0].table, u"Req"_s);
        QVERIFY(report[0].saved > 0);
        QVERIFY(report[0].lost > 0 || report[0].lostUnknown);
    }
};

CVD_TEST_GUILESS_MAIN(TstFileTools)
#include "tst_filetools.moc"
