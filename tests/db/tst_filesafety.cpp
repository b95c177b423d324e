// A data file that is damaged or cannot be written is found when it is
// opened or first read, before anything is written to it, and is left as it
// was; the backup is a consistent copy that never leaves a partial file.
// (Files refused at opening: tst_database.)
#include "db/backup.h"
#include "db/database.h"
#include "db/badfiles.h"
#include "support/fixturedb.h"
#include "support/testfiles.h"
#include "support/testmain.h"
#include "tools/checkdb.h"

#include <QScopeGuard>
#include <QTest>
#include <optional>
#include <unistd.h>

using namespace cvd;
using namespace cvd::test;
using namespace Qt::StringLiterals;

namespace {

// Every record of every table, a line each, as SQLite reads it.
QStringList allRecords(const QString& path)
{
    QStringList out;
    for (const char* table : {"Req", "Customers", "Dept", "Staff", "Categories", "Priorities", "Settings", "sqlite_sequence"})
        out << sqlRows(path, u"SELECT * FROM %1 ORDER BY rowid"_s.arg(QLatin1String(table)));
    return out;
}

// A small file system mounted on `folder`, standing in for a disk that
// fills up; whether it could be (mount needs the superuser).
bool mountSmallDisk(const QString& folder)
{
    return geteuid() == 0 && QProcess::execute(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=64k"_s, u"tmpfs"_s, folder}) == 0;
}

} // namespace

class TstFileSafety : public QObject {
    Q_OBJECT

    Folders m_folders;

private slots:
    // A file with a damaged page inside the requests opens as before.  The
    // first read of that page finds it (its checksum fails) and from then
    // on every kind of write is refused, with a text that says what to do;
    // the file stays byte for byte as it was.  A sound file of the same kind
    // takes the same writes.
    // A file made before page checksums does the same: its first write
    // waits for the check.
    void damagedPageRefusesEveryWrite_data()
    {
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<bool>("checksums");
        QTest::newRow("damaged") << true << true;
        QTest::newRow("sound") << false << true;
        QTest::newRow("damaged, made before page checksums") << true << false;
        QTest::newRow("sound, made before page checksums") << false << false;
    }
    void damagedPageRefusesEveryWrite()
    {
        QFETCH(bool, damaged);
        QFETCH(bool, checksums);
        const QString path = demoFile(m_folders.next(), 3000, damaged ? 1500 : 0, checksums);
        QVERIFY(!path.isEmpty());
        const QByteArray before = fileHash(path);
        {
            auto db = Database::Open(path);
            const int expected = damaged ? ErrNo::NotADatabase : 0;
            QString text;
            std::unique_ptr<Recordset> rs;
            const auto change = [&](int id) { // the first text kept
                return errorOf([&] {
                    rs = db->OpenRecordset(u"Select * from Req where ReqID = %1"_s.arg(id));
                    rs->Edit();
                    rs->SetField(u"ShortDesc"_s, u"Changed"_s);
                    rs->Update();
                }, text.isEmpty() ? &text : nullptr);
            };
            // With checksums the damaged page is met first; without, the
            // first write is elsewhere and waits for the check.
            QCOMPARE(change(checksums ? 1500 : 10), expected);
            QCOMPARE(change(checksums ? 10 : 1500), expected);
            QCOMPARE(rs->Editing(), damaged); // what was typed stays in the edit buffer
            rs->DiscardEdit();
            rs->AddNew();
            rs->SetField(u"ReqDate"_s, QDate(2024, 5, 1));
            QCOMPARE(errorOf([&] { rs->Update(); }), expected);
            rs->DiscardEdit();
            QCOMPARE(errorOf([&] { rs->Delete(); }), expected);
            QCOMPARE(errorOf([&] { db->Execute(u"Update Settings set CompName = 'x'"_s); }), expected);
            for (const QString& s : {path, u"is damaged"_s, u"nothing was written"_s, u"cvdtool check "_s, u"cvdtool recover "_s})
                QVERIFY2(!damaged || text.contains(s), qPrintable(text));
            const QStringList told = db->waitForCheck();
            QCOMPARE(told.isEmpty(), !damaged);
            QStringList toldLater{u"not yet"_s};
            db->whenChecked([&](const QStringList& damage) { toldLater = damage; }); // known by now: told at once
            QCOMPARE(toldLater, told);
        }
        QCOMPARE(fileHash(path) == before, damaged);
        QCOMPARE(folderFiles(QFileInfo(path).path()), QStringList{u"cvd.mdb"_s});
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
        const QString path = createFixtureDb(m_folders.next());
        const QString locked = folder ? QFileInfo(path).path() : path;
        const QByteArray before = fileHash(path);
        {
            Unwritable u(locked);
            if (!u.why().isEmpty())
                QSKIP(qPrintable(u.why()));
            QString text;
            QCOMPARE(errorOf([&] { Database::Open(path); }, &text), ErrNo::CannotWrite);
            QVERIFY2(text.contains(u'\'' + locked + u'\''), qPrintable(text));
            QVERIFY2(text.contains(folder ? u"journal"_s : u"cannot be written"_s), qPrintable(text));
            auto db = Database::Open(path, OpenMode::Check);
            QVERIFY(db->OpenRecordset(u"Select * from Req"_s)->RecordCount() > 0);
            QCOMPARE(errorOf([&] { db->Execute(u"Update Req set ShortDesc = 'x'"_s); }), ErrNo::NotUpdatable);
        }
        QCOMPARE(fileHash(path), before);
    }

    // The backup, made while the database is open and in use, holds every
    // record as the database has it, passes the check, and the database goes
    // on working.
    void backupIsAConsistentCopy()
    {
        const QString path = demoFile(m_folders.next(), 2000);
        auto db = Database::Open(path);
        db->Execute(u"Update Req set ShortDesc = 'written just before' where ReqID = 7"_s);
        const QString copyFolder = m_folders.next(), copy = QDir(copyFolder).filePath(u"cvd.mdb"_s);
        // What a backup killed on the way left in that folder goes; what a
        // live process is writing, and any other file, stays.
        QProcess gone;
        gone.start(u"true"_s);
        QVERIFY(gone.waitForStarted());
        const qint64 pid = gone.processId();
        QVERIFY(gone.waitForFinished());
        const QString live = u".other.mdb.%1.tmp"_s.arg(QCoreApplication::applicationPid());
        for (const QString& name : {u".cvd.mdb.%1.tmp"_s.arg(pid), u".cvd.mdb.%1.tmp-journal"_s.arg(pid),
                                    live, u"notes.tmp"_s})
            QVERIFY(writeFile(QDir(copyFolder).filePath(name), "x"));
        QList<qint64> progress; // pages done, of all
        QVERIFY(backupDatabase(*db, copy, [&](qint64 done, qint64 all) { return progress << done << all, true; }));
        QVERIFY(progress.size() >= 2 && progress.last() > 0 && progress.last() == progress[progress.size() - 2]);
        QCOMPARE(QDir(copyFolder).entryList(QDir::Files | QDir::Hidden, QDir::Name), (QStringList{live, u"cvd.mdb"_s, u"notes.tmp"_s}));
        QCOMPARE(tools::checkDatabase(copyFolder), QStringList());
        db->Execute(u"Update Req set ShortDesc = 'written after' where ReqID = 7"_s);
        db.reset();
        QCOMPARE(allRecords(copy), allRecords(path).replaceInStrings(u"written after"_s, u"written just before"_s));
    }

    // What the backup refuses: an existing file (left as it was), a folder
    // that is missing or cannot be written, a damaged database; a backup
    // stopped on the way, and a disk that fills up on the way, which the
    // error names.  None leaves a file behind or changes the database, which
    // goes on working.
    void backupRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("error");
        QTest::newRow("existing file") << u"existing"_s << ErrNo::FileExists;
        QTest::newRow("missing folder") << u"missing folder"_s << ErrNo::PathAccess;
        QTest::newRow("folder without write permission") << u"locked folder"_s << ErrNo::PathAccess;
        QTest::newRow("damaged database") << u"damaged"_s << ErrNo::NotADatabase;
        QTest::newRow("stopped on the way") << u"stopped"_s << 0;
        QTest::newRow("full disk") << u"full disk"_s << ErrNo::DiskFull;
    }
    void backupRefused()
    {
        QFETCH(QString, kind);
        QFETCH(int, error);
        const QString path = demoFile(m_folders.next(), 2000, kind == u"damaged"_s ? 1000 : 0);
        const QByteArray before = fileHash(path);
        const QString target = m_folders.next();
        QString file = QDir(target).filePath(u"backup.mdb"_s);
        if (kind == u"existing"_s)
            QVERIFY(writeFile(file, "earlier"));
        if (kind == u"missing folder"_s)
            file = QDir(target).filePath(u"no such folder/backup.mdb"_s);
        std::optional<Unwritable> locked;
        if (kind == u"locked folder"_s && !locked.emplace(target).why().isEmpty())
            QSKIP(qPrintable(locked->why()));
        if (kind == u"full disk"_s && !mountSmallDisk(target))
            QSKIP("mount -t tmpfs, which needs the superuser, failed here");
        const auto unmount = qScopeGuard([&] {
            if (kind == u"full disk"_s)
                QProcess::execute(u"umount"_s, {target});
        });
        auto db = Database::Open(path);
        QString text;
        bool made = false;
        QCOMPARE(errorOf([&] { made = backupDatabase(*db, file, [&](qint64, qint64) { return kind != u"stopped"_s; }); }, &text),
                 error);
        QVERIFY(!made);
        QVERIFY2(error == 0 || text.contains(kind == u"damaged"_s ? path : file), qPrintable(text));
        QVERIFY2(kind != u"full disk"_s || text.contains(u"not enough room"_s), qPrintable(text));
        QCOMPARE(folderFiles(target), kind == u"existing"_s ? QStringList{u"backup.mdb"_s} : QStringList());
        QCOMPARE(fileBytes(file), kind == u"existing"_s ? QByteArray("earlier") : QByteArray());
        QCOMPARE(fileHash(path), before);
        if (kind != u"damaged"_s)
            db->Execute(u"Update Req set ShortDesc = 'still works' where ReqID = 1"_s);
    }
};

CVD_TEST_GUILESS_MAIN(TstFileSafety)
#include "tst_filesafety.moc"
