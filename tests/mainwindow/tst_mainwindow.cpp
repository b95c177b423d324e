// The main window's shell: the menus and the look-up lists.  (File > Back
// Up Database: the copy and what it refuses, tst_filesafety.)
#include "base/globals.h"
#include "db/database.h"
#include "support/mainwindowfixture.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
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

    // While a request is edited, the Maintain items and Exit are off; Exit
    // while browsing asks nothing.  (The report target: tst_reportmenu.)
    void menus()
    {
        frmMain& w = f->started();
        const QStringList offWhileEditing{"mnuExit", "mnuMaint1", "mnuMaint2", "mnuMaint3", "mnuMaint4", "mnuMaint5"};
        const QList<QAction*> all = w.findChildren<QAction*>(QRegularExpression("^mnu"));
        QVERIFY(test::typeInto(w.txtShortDesc, u"x"_s));
        for (QAction* a : all)
            QVERIFY2(a->isEnabled() == !offWhileEditing.contains(a->objectName()), qPrintable(a->objectName()));
        w.cmdCancel->click();
        for (QAction* a : all)
            QVERIFY(a->isEnabled());
        w.mnuExit->trigger();
        QVERIFY(f->p.ended && f->p.exitCode == 0 && f->p.messages.isEmpty());
    }

    // Every list in the order of its query, each entry with its key.  A
    // reload keeps the user's choice while editing; a table changed since it
    // was read is read again without its flag.  (Reloads that move the
    // entries: tst_lookuplists.)
    void lists()
    {
        QVERIFY(test::execSql(f->location, "insert into Customers (FirstName, LastName) values ('Madonna', Null)"));
        frmMain& w = f->started(); // request 8, Network
        QCOMPARE(entries(w.cmbPri), (QStringList{"High=1", "Low=2", "Medium=3"}));
        QCOMPARE(entries(w.cmbCust), (QStringList{"Madonna=5", "Adams, Ann=1", "Baker, Bob=2", "O'Neil, Zoë=3", "李=4"}));
        QCOMPARE(entries(w.cmbAssignedTo), (QStringList{"Ångström, Anders=3", "Jones, Tom=2", "Smith, Jane=1"}));
        w.cmbCat->setCurrentIndex(0); // the user picks Hardware
        MainDb->Execute(QStringLiteral("insert into Categories (CatDesc) values ('Email')")); // no flag set
        w.Form_Activate();
        QCOMPARE(entries(w.cmbCat), (QStringList{"Email=4", "Hardware=2", "Network=3", "Software=1"}));
        QVERIFY(w.cmbCat->currentText() == u"Hardware"_s && f->editing());
    }

};

CVD_TEST_MAIN(tst_mainwindow)
#include "tst_mainwindow.moc"
