// File > Back Up Database: a consistent copy of the open database into a
// new file the user names, made while the program runs.
#include "base/globals.h"
#include "db/database.h"
#include "support/mainwindowfixture.h"
#include "support/testfiles.h"
#include "support/testmain.h"
#include "tools/checkdb.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QtTest>

using namespace cvd;
using namespace Qt::StringLiterals;

class tst_backupmenu : public QObject {
    Q_OBJECT
    std::unique_ptr<test::MainWindowFixture> f;

    QAction* backupItem() const { return f->w->findChild<QAction*>(u"mnuBackup"_s); }

private slots:
    void init() { f = std::make_unique<test::MainWindowFixture>(); }
    void cleanup() { f.reset(); }

    // In the File menu after the defaults, and there while a request is edited.
    void menuItem()
    {
        frmMain& w = f->started();
        QAction* item = backupItem();
        QVERIFY(item);
        const QList<QAction*> file = w.mnuFile->actions();
        QCOMPARE(file.indexOf(item), file.indexOf(w.mnuDefaults) + 1);
        QCOMPARE(item->text(), u"&Back Up Database..."_s);
        w.EditLayout();
        QVERIFY(item->isEnabled());
    }

    // The copy holds what the database holds, passes the check, and the
    // user is told where it is and how to go back to it; the program goes
    // on writing to its own file.
    void backsUp()
    {
        frmMain& w = f->started();
        const QString target = f->dir.filePath(u"copy/cvd.mdb"_s);
        QVERIFY(QDir().mkpath(QFileInfo(target).path()));
        f->p.saveAsPaths << target;
        backupItem()->trigger();
        QCOMPARE(f->p.messages.size(), 1);
        const test::MessageCall told = f->p.messages[0];
        QCOMPARE(told.icon(), Mb::Information);
        QVERIFY2(told.text.contains(target) && told.text.contains(f->dbPath()) && told.text.contains(u"named cvd.mdb"_s),
                 qPrintable(told.text));
        QCOMPARE(f->p.progressEnds, 1);
        QCOMPARE(tools::checkDatabase(QFileInfo(target).path()), QStringList());
        {
            auto copy = Database::Open(target, OpenMode::Check)->OpenRecordset(u"Select * from Req order by ReqID"_s);
            copy->MoveLast();
            QCOMPARE(copy->RecordCount(), 8L);
            QCOMPARE(copy->Field(u"ReqID"_s).toLong(), 8L);
        }
        MainDb->Execute(u"Update Req set ShortDesc = 'after the backup' where ReqID = 8"_s);
        QVERIFY(!w.Editing);
    }

    // Cancel in the dialog does nothing; an existing file is not
    // overwritten, and the user is told why.
    void cancelledOrRefused()
    {
        f->started();
        backupItem()->trigger(); // nothing queued: the dialog is cancelled
        QVERIFY(f->p.messages.isEmpty() && f->p.progressLabels.isEmpty());
        const QString existing = f->dir.filePath(u"cvd-backup.mdb"_s);
        QVERIFY(test::writeFile(existing, "an earlier file"));
        f->p.saveAsPaths << existing;
        backupItem()->trigger();
        QCOMPARE(f->p.messages.size(), 1);
        QVERIFY2(f->p.messages[0].text.startsWith(u"58  "_s) && f->p.messages[0].text.contains(existing),
                 qPrintable(f->p.messages[0].text));
        QCOMPARE(test::fileBytes(existing), QByteArray("an earlier file"));
        QCOMPARE(f->p.progressEnds, int(f->p.progressLabels.size()));
    }
};

CVD_TEST_MAIN(tst_backupmenu)
#include "tst_backupmenu.moc"
