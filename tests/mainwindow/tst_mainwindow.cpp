// The main window's shell: controls at their design places, menus, the
// look-up lists, and File > Back Up Database.
#include "base/globals.h"
#include "db/database.h"
#include "support/mainwindowfixture.h"
#include "support/testfiles.h"
#include "support/testmain.h"
#include "tools/checkdb.h"
#include "ui/elasticpanel.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

using namespace cvd;
using namespace Qt::StringLiterals;

// A list's entries as "text=key".
static QStringList entries(const QComboBox* c)
{
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i) + '=' + c->itemData(i).toString();
    return out;
}

class tst_mainwindow : public QObject {
    Q_OBJECT
    std::unique_ptr<test::MainWindowFixture> f;

private slots:
    void init() { f = std::make_unique<test::MainWindowFixture>(); }
    void cleanup() { f.reset(); }

    // The controls a user cannot type into, the note's limit, the tab order.
    void layout()
    {
        frmMain& w = *f->w;
        QVERIFY(!w.txtReqID->isEnabled() && !w.txtCostTot->isEnabled() && !w.cmbAssignedTo->isEditable());
        QCOMPARE(w.txtMisc1->maxLength(), 50);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QStringList expected{"txtShortDesc", "txtReqDesc", "chkResolved", "dcResDate", "txtMisc1", "txtResp",
                                   "dcReqDate", "dcDueDate", "cmbEnteredBy", "cmbAssignedTo", "cmbCust", "cmbDept",
                                   "cmbPri", "cmbCat", "txtHoursTot", "txtMinTot", "txtAddCharge", "cmdPaidToday",
                                   "txtAmtPaid", "dcPaidDate", "cmdFirst", "cmdPrevious", "cmdNext", "cmdLast",
                                   "cmdAddNew", "cmdDelete", "cmdFind", "cmdHelp"};
        QStringList seen;
        QWidget* x = w.txtShortDesc;
        for (int i = 0; i < 500 && seen.size() < expected.size(); ++i, x = x->nextInFocusChain())
            if (x->isVisible() && x->isEnabled() && (x->focusPolicy() & Qt::TabFocus)
                && x->parentWidget() == w.resizingPanel)
                seen << x->objectName();
        QCOMPARE(seen, expected);
    }

    // While a request is edited, the Maintain items and Exit are off; the
    // report target is one of two.  Back Up stands after the defaults,
    // Refresh (F5) on its own before Exit.
    void menus()
    {
        frmMain& w = f->started();
        const QList<QAction*> file = w.mnuFile->actions();
        const QAction* backup = w.findChild<QAction*>(u"mnuBackup"_s);
        QCOMPARE(file.indexOf(backup), file.indexOf(w.mnuDefaults) + 1);
        QCOMPARE(backup->text(), u"&Back Up Database..."_s);
        QCOMPARE(file.indexOf(w.mnuRefresh), file.indexOf(w.mnuExit) - 2);
        const QStringList offWhileEditing{"mnuExit", "mnuMaint1", "mnuMaint2", "mnuMaint3", "mnuMaint4", "mnuMaint5"};
        const QList<QAction*> all = w.findChildren<QAction*>(QRegularExpression("^mnu"));
        QCOMPARE(all.size(), 24);
        w.EditLayout();
        for (QAction* a : all)
            QVERIFY2(a->isEnabled() == !offWhileEditing.contains(a->objectName()), qPrintable(a->objectName()));
        w.BrowseLayout();
        for (QAction* a : all)
            QVERIFY(a->isEnabled());

        QVERIFY(w.mnuRptOut[1]->isChecked() && !w.mnuRptOut[2]->isChecked());
        w.mnuRptOut[2]->trigger();
        w.mnuRptOut[2]->trigger(); // chosen again, it stays checked
        QVERIFY(!w.mnuRptOut[1]->isChecked() && w.mnuRptOut[2]->isChecked());
        w.mnuExit->trigger(); // while browsing, it ends the program at once, asking nothing
        QVERIFY(f->p.ended && f->p.exitCode == 0 && f->p.messages.isEmpty());
    }

    // The first activation fills every list in the order of its query, each
    // entry with its key.  A flagged list is reloaded; the shown request, or
    // the user's choice while editing, stays selected.
    void lists()
    {
        QVERIFY(test::execSql(f->dbPath(), "insert into Customers (FirstName, LastName) values ('Madonna', Null)"));
        frmMain& w = f->started(); // request 8, Network
        QVERIFY2(f->p.messages.isEmpty(), qPrintable(f->messages()));
        QCOMPARE(entries(w.cmbCat), (QStringList{"Hardware=2", "Network=3", "Software=1"}));
        QCOMPARE(entries(w.cmbPri), (QStringList{"High=1", "Low=2", "Medium=3"}));
        QCOMPARE(entries(w.cmbDept), (QStringList{"Accounting=1", "Ångström Labs=2", "Zeta Corp=3"}));
        QCOMPARE(entries(w.cmbCust),
                 (QStringList{"Madonna=5", "Adams, Ann=1", "Baker, Bob=2", "O'Neil, Zoë=3", "李=4"}));
        QCOMPARE(entries(w.cmbEnteredBy), (QStringList{"Ångström, Anders=3", "Jones, Tom=2", "Smith, Jane=1"}));
        QCOMPARE(entries(w.cmbAssignedTo), entries(w.cmbEnteredBy));

        MainDb->Execute(QStringLiteral("insert into Categories (CatDesc) values ('Accounts')"));
        CatListChanged = true;
        w.Form_Activate();
        QCOMPARE(entries(w.cmbCat), (QStringList{"Accounts=4", "Hardware=2", "Network=3", "Software=1"}));
        QCOMPARE(w.cmbCat->currentText(), QStringLiteral("Network"));

        w.BeginEdit();
        w.cmbCat->setCurrentIndex(1); // the user picked Hardware
        MainDb->Execute(QStringLiteral("insert into Categories (CatDesc) values ('Email')"));
        CatListChanged = true;
        w.Form_Activate();
        QCOMPARE(w.cmbCat->count(), 5);
        QCOMPARE(w.cmbCat->currentText(), QStringLiteral("Hardware"));
        QVERIFY(w.Editing && !w.cmdCancel->isHidden());

        // A list whose table changed since it was read (at another desk, or
        // in another window) is read again without its flag.
        w.cmdCancel->click();
        MainDb->Execute(QStringLiteral("insert into Categories (CatDesc) values ('Wiring')"));
        QVERIFY(!CatListChanged);
        w.Form_Activate();
        QCOMPARE(w.cmbCat->count(), 6);
    }

    // A consistent copy of the open database into a new file the user
    // names: Cancel in the dialog does nothing; an existing file is not
    // overwritten, and the user is told why.  The copy holds what the
    // database holds and passes the check, the user is told where it is and
    // how to go back to it, and the program goes on writing to its own file.
    void backUp()
    {
        frmMain& w = f->started();
        QAction* item = w.findChild<QAction*>(u"mnuBackup"_s);
        item->trigger(); // nothing queued: the dialog is cancelled
        QVERIFY(f->p.messages.isEmpty() && f->p.progressLabels.isEmpty());
        const QString existing = f->dir.filePath(u"cvd-backup.mdb"_s);
        QVERIFY(test::writeFile(existing, "an earlier file"));
        f->p.saveAsPaths << existing;
        item->trigger();
        QVERIFY2(f->p.messages.size() == 1 && f->messages().startsWith(u"58  "_s) && f->messages().contains(existing),
                 qPrintable(f->messages()));
        QCOMPARE(test::fileBytes(existing), QByteArray("an earlier file"));

        const QString target = f->dir.filePath(u"copy/cvd.mdb"_s);
        QVERIFY(QDir().mkpath(QFileInfo(target).path()));
        f->p.saveAsPaths << target;
        item->trigger();
        QCOMPARE(f->p.messages.size(), 2);
        const test::MessageCall told = f->p.messages[1];
        QCOMPARE(told.icon(), Mb::Information);
        QVERIFY2(told.text.contains(target) && told.text.contains(f->dbPath()) && told.text.contains(u"named cvd.mdb"_s),
                 qPrintable(told.text));
        QVERIFY(!f->p.progressLabels.isEmpty() && f->p.progressEnds == f->p.progressLabels.size());
        QCOMPARE(tools::checkDatabase(QFileInfo(target).path()), QStringList());
        QCOMPARE(test::sqlRows(target, u"select count(*), max(ReqID) from Req"_s), QStringList{u"1:8|1:8"_s});
        MainDb->Execute(u"Update Req set ShortDesc = 'after the backup' where ReqID = 8"_s);
        QVERIFY(!w.Editing);
    }
};

CVD_TEST_MAIN(tst_mainwindow)
#include "tst_mainwindow.moc"
