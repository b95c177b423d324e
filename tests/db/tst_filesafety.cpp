// A data file that is damaged, incomplete or cannot be written is found when
// it is opened, before anything is written to it, and is left as it was;
// the backup is a consistent copy that never leaves a partial file.
#include "db/backup.h"
#include "db/database.h"
#include "db/badfiles.h"
#include "support/fixturedb.h"
#include "support/testfiles.h"
#include "support/testmain.h"
#include "tools/checkdb.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <optional>
#include <sqlite3.h>
#include <unistd.h>

using namespace cvd;
using namespace Qt::StringLiterals;
using test::errorOf;
using test::fileHash;

namespace {

// Every record of every table, a line each, as SQLite reads it.
QStringList allRecords(sqlite3* db)
{
    QStringList out;
    for (const char* table : {"Req", "Customers", "Dept", "Staff", "Categories", "Priorities", "Settings", "sqlite_sequence"}) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, (QByteArray("SELECT * FROM ") + table + " ORDER BY rowid").constData(), -1, &s, nullptr);
        while (s && sqlite3_step(s) == SQLITE_ROW) {
            QString line = QString::fromLatin1(table);
            for (int i = 0; i < sqlite3_column_count(s); ++i)
                line += u'|' + QString::number(sqlite3_column_type(s, i)) + u':'
                        + QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, i)));
            out << line;
        }
        sqlite3_finalize(s);
    }
    return out;
}

QStringList allRecords(const QString& path)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    const QStringList out = allRecords(db);
    sqlite3_close(db);
    return out;
}

QStringList folderEntries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// A small file system mounted on a folder for as long as the object lives,
// standing in for a disk that fills up.
class SmallDisk {
public:
    SmallDisk(const QString& folder, const char* size) : m_folder(folder)
    {
        if (geteuid() != 0) {
            m_why = u"a small file system is mounted with mount -t tmpfs, which needs the superuser"_s;
            return;
        }
        QProcess mount;
        mount.start(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size="_s + QLatin1String(size), u"tmpfs"_s, folder});
        m_mounted = mount.waitForFinished(10000) && mount.exitStatus() == QProcess::NormalExit && mount.exitCode() == 0;
        if (!m_mounted)
            m_why = u"mount -t tmpfs failed here: "_s + QString::fromLocal8Bit(mount.readAllStandardError()).trimmed();
    }
    ~SmallDisk()
    {
        if (m_mounted)
            QProcess::execute(u"umount"_s, {m_folder});
    }
    const QString& why() const { return m_why; }

private:
    QString m_folder;
    bool m_mounted = false;
    QString m_why;
};

} // namespace

class TstFileSafety : public QObject {
    Q_OBJECT

    test::Folders m_folders;
    QString newFolder() { return m_folders.next(); }

private slots:
    // A file with a damaged page inside the requests opens as before, but
    // every kind of write is refused from the first moment on, with a text
    // that says what to do; the file stays byte for byte as it was.  A sound
    // file of the same kind takes the same writes.
    void damagedPageRefusesEveryWrite_data()
    {
        QTest::addColumn<bool>("damaged");
        QTest::newRow("damaged") << true;
        QTest::newRow("sound") << false;
    }
    void damagedPageRefusesEveryWrite()
    {
        QFETCH(bool, damaged);
        const QString path = test::demoFile(newFolder(), 3000, damaged ? 1500 : 0);
        QVERIFY(!path.isEmpty());
        const QByteArray before = fileHash(path);
        {
            auto db = Database::Open(path);
            auto rs = db->OpenRecordset(u"Select * from Req where ReqID = 10"_s);
            rs->Edit();
            rs->SetField(u"ShortDesc"_s, u"Changed"_s);
            QString text;
            const int expected = damaged ? ErrNo::NotADatabase : 0;
            QCOMPARE(errorOf([&] { rs->Update(); }, &text), expected);
            QCOMPARE(rs->Editing(), damaged); // what was typed stays in the edit buffer
            rs->DiscardEdit();
            rs->AddNew();
            rs->SetField(u"ReqDate"_s, QDate(2024, 5, 1));
            QCOMPARE(errorOf([&] { rs->Update(); }), expected);
            rs->DiscardEdit();
            QCOMPARE(errorOf([&] { rs->Delete(); }), expected);
            QCOMPARE(errorOf([&] { db->Execute(u"Update Settings set CompName = 'x'"_s); }), expected);
            if (damaged) {
                for (const QString& s : {path, u"is damaged"_s, u"nothing was written"_s, u"cvdtool check "_s,
                                         u"cvdtool recover "_s})
                    QVERIFY2(text.contains(s), qPrintable(text));
            }
            QStringList told{u"not yet"_s};
            db->whenChecked([&](const QStringList& damage) { told = damage; });
            QCOMPARE(told.isEmpty(), !damaged); // known by now: told at once
            QCOMPARE(db->waitForCheck(), told);
        }
        QCOMPARE(fileHash(path) == before, damaged);
        QCOMPARE(folderEntries(QFileInfo(path).path()), QStringList{u"cvd.mdb"_s});
    }

    // The check beside the program holds no lock of its own: once it has
    // finished, another program is still refused the file.
    void checkKeepsTheFileExclusive()
    {
        const QString path = test::createFixtureDb(newFolder());
        auto db = Database::Open(path);
        QVERIFY(db->waitForCheck().isEmpty());
        QProcess other;
        other.start(qEnvironmentVariable("CVDTOOL"), {u"check"_s, QFileInfo(path).path()});
        QVERIFY(other.waitForFinished(20000));
        QCOMPARE(other.exitCode(), 1);
        QVERIFY2(other.readAllStandardError().contains("3045"), "the file was not refused");
        db->Execute(u"Update Req set ShortDesc = 'still mine' where ReqID = 1"_s);
    }

    // A file that lacks a column the program uses is refused like one that
    // lacks a table, naming both; a column of the file's own is no concern.
    void missingColumn_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("named"); // empty: the file opens
        QTest::newRow("Req.Resp") << u"ALTER TABLE Req DROP COLUMN Resp"_s << u"the column Resp of the table Req"_s;
        QTest::newRow("Settings.DefHourlyRate") << u"ALTER TABLE Settings DROP COLUMN DefHourlyRate"_s
                                                << u"the column DefHourlyRate of the table Settings"_s;
        QTest::newRow("Staff.Comments, a table") << u"ALTER TABLE Staff DROP COLUMN Comments; DROP TABLE Priorities"_s
                                                 << u"the column Comments of the table Staff, the table Priorities"_s;
        QTest::newRow("a column of its own") << u"ALTER TABLE Req ADD COLUMN Notes TEXT"_s << QString();
    }
    void missingColumn()
    {
        QFETCH(QString, sql);
        QFETCH(QString, named);
        const QString path = test::createFixtureDb(newFolder());
        QVERIFY(test::execSql(path, sql.toUtf8().constData()));
        const QByteArray before = fileHash(path);
        QString text;
        QCOMPARE(errorOf([&] { Database::Open(path); }, &text), named.isEmpty() ? 0 : ErrNo::MissingTables);
        QVERIFY2(named.isEmpty() || (text.contains(named) && text.contains(path)), qPrintable(text));
        QCOMPARE(fileHash(path), before);
    }

    // A read-only file, and a folder where the journal cannot be made, are
    // refused at opening with their own text, not as a file in use.  Opened
    // to be checked, the file is still read.
    void unwritable_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::newRow("read-only file") << false;
        QTest::newRow("folder without write permission") << true;
    }
    void unwritable()
    {
        QFETCH(bool, folder);
        const QString path = test::createFixtureDb(newFolder());
        const QString locked = folder ? QFileInfo(path).path() : path;
        const QByteArray before = fileHash(path);
        {
            test::Unwritable u(locked);
            if (!u.why().isEmpty())
                QSKIP(qPrintable(u.why()));
            QString text;
            QCOMPARE(errorOf([&] { Database::Open(path); }, &text), ErrNo::CannotWrite);
            QVERIFY2(text.contains(u'\'' + locked + u'\''), qPrintable(text));
            QVERIFY2(text.contains(folder ? u"journal"_s : u"cannot be written"_s), qPrintable(text));
            auto db = Database::Open(path, OpenMode::Check);
            QCOMPARE(db->OpenRecordset(u"Select * from Req"_s)->RecordCount() > 0, true);
            QCOMPARE(errorOf([&] { db->Execute(u"Update Req set ShortDesc = 'x'"_s); }), ErrNo::NotUpdatable);
        }
        QCOMPARE(fileHash(path), before);
    }

    // The backup, made while the database is open and in use, holds every
    // record as the database has it, passes the check, and the database goes
    // on working.
    void backupIsAConsistentCopy()
    {
        const QString path = test::demoFile(newFolder(), 2000);
        auto db = Database::Open(path);
        db->Execute(u"Update Req set ShortDesc = 'written just before' where ReqID = 7"_s);
        const QString copyFolder = newFolder();
        const QString copy = QDir(copyFolder).filePath(u"cvd.mdb"_s);
        qint64 steps = 0, last = 0, total = 0;
        QVERIFY(backupDatabase(*db, copy, [&](qint64 done, qint64 all) {
            ++steps;
            last = done;
            total = all;
            return true;
        }));
        QVERIFY(steps >= 1 && last == total && total > 0);
        QCOMPARE(folderEntries(copyFolder), QStringList{u"cvd.mdb"_s});
        QCOMPARE(allRecords(copy), allRecords(db->handle()));
        QVERIFY(allRecords(copy).join(u'\n').contains(u"written just before"_s));
        QCOMPARE(tools::checkDatabase(copyFolder), QStringList());
        db->Execute(u"Update Req set ShortDesc = 'written after' where ReqID = 7"_s);
        QVERIFY(!allRecords(copy).join(u'\n').contains(u"written after"_s));
    }

    // What the backup refuses: an existing file (left as it was), a folder
    // that is missing or cannot be written, a damaged database; a backup
    // stopped on the way.  None leaves a file behind or changes the database.
    void backupRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("error");
        QTest::newRow("existing file") << u"existing"_s << ErrNo::FileExists;
        QTest::newRow("missing folder") << u"missing folder"_s << ErrNo::PathAccess;
        QTest::newRow("folder without write permission") << u"locked folder"_s << ErrNo::PathAccess;
        QTest::newRow("damaged database") << u"damaged"_s << ErrNo::NotADatabase;
        QTest::newRow("stopped on the way") << u"stopped"_s << 0;
    }
    void backupRefused()
    {
        QFETCH(QString, kind);
        QFETCH(int, error);
        const QString path = test::demoFile(newFolder(), 500, kind == u"damaged"_s ? 250 : 0);
        const QByteArray before = fileHash(path);
        const QString target = newFolder();
        QString file = QDir(target).filePath(u"backup.mdb"_s);
        if (kind == u"existing"_s)
            QVERIFY(test::writeFile(file, "earlier"));
        if (kind == u"missing folder"_s)
            file = QDir(target).filePath(u"no such folder/backup.mdb"_s);
        std::optional<test::Unwritable> locked;
        if (kind == u"locked folder"_s) {
            locked.emplace(target);
            if (!locked->why().isEmpty())
                QSKIP(qPrintable(locked->why()));
        }
        {
            auto db = Database::Open(path);
            QString text;
            bool made = false;
            QCOMPARE(errorOf([&] { made = backupDatabase(*db, file, [](qint64, qint64) { return false; }); }, &text),
                     error);
            QVERIFY(!made);
            if (error != 0)
                QVERIFY2(text.contains(kind == u"damaged"_s ? path : file), qPrintable(text));
        }
        locked.reset();
        QCOMPARE(folderEntries(target), kind == u"existing"_s ? QStringList{u"backup.mdb"_s} : QStringList());
        if (kind == u"existing"_s)
            QCOMPARE(test::fileBytes(file), QByteArray("earlier"));
        QCOMPARE(fileHash(path), before);
    }

    // A disk that fills up during the backup: the error says so, the
    // partial file is removed, and the database is untouched and still
    // works.
    void backupOnAFullDisk()
    {
        const QString path = test::demoFile(newFolder(), 2000);
        const QByteArray before = fileHash(path);
        const QString small = newFolder();
        {
            SmallDisk disk(small, "64k");
            if (!disk.why().isEmpty())
                QSKIP(qPrintable(disk.why()));
            auto db = Database::Open(path);
            const QString file = QDir(small).filePath(u"backup.mdb"_s);
            QString text;
            QCOMPARE(errorOf([&] { backupDatabase(*db, file); }, &text), ErrNo::DiskFull);
            QVERIFY2(text.contains(file) && text.contains(u"not enough room"_s), qPrintable(text));
            QCOMPARE(folderEntries(small), QStringList());
            QCOMPARE(fileHash(path), before);
            db->Execute(u"Update Req set ShortDesc = 'still works' where ReqID = 1"_s);
        }
    }
};

CVD_TEST_GUILESS_MAIN(TstFileSafety)
#include "tst_filesafety.moc"
