// Browsing the requests on the main window: the order, the ends, what a
// shown record looks like (Nulls included), and the empty table.
#include "core/globals.h"
#include "dates/datefield.h"
#include "support/fixturedb.h"
#include "support/mainwindowfixture.h"
#include "support/testfiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace cvd;

namespace {

// The selection of a list as the user sees it: its text, or "-" for none.
QString shown(const QComboBox* c)
{
    if (c->currentIndex() < 0)
        return c->currentText().isEmpty() ? QStringLiteral("-") : QStringLiteral("(no entry) ") + c->currentText();
    return c->currentText();
}

} // namespace

class tst_browse : public QObject {
    Q_OBJECT
    std::unique_ptr<test::MainWindowFixture> f;

private slots:
    void init() { f = std::make_unique<test::MainWindowFixture>(); }
    void cleanup() { f.reset(); }

    // Newest request date first; stepping past either end beeps and stays.
    void newestFirstAndEnds()
    {
        frmMain& w = f->started();
        QCOMPARE(f->walk(), (QStringList{"8", "7", "6", "5", "4", "3", "2", "1"}));
        QCOMPARE(f->p.beeps, 1); // Next on the last one
        QCOMPARE(w.txtReqID->text(), QStringLiteral("1"));
        QTest::mouseClick(w.cmdPrevious, Qt::LeftButton);
        QCOMPARE(w.txtReqID->text(), QStringLiteral("2"));
        QTest::mouseClick(w.cmdFirst, Qt::LeftButton);
        QTest::mouseClick(w.cmdPrevious, Qt::LeftButton);
        QCOMPARE(f->p.beeps, 2);
        QCOMPARE(w.txtReqID->text(), QStringLiteral("8"));
        QTest::mouseClick(w.cmdNext, Qt::LeftButton);
        QCOMPARE(w.txtReqID->text(), QStringLiteral("7"));
        QTest::mouseClick(w.cmdLast, Qt::LeftButton);
        QCOMPARE(w.txtReqID->text(), QStringLiteral("1"));
        QCOMPARE(f->p.beeps, 2);
        QVERIFY2(f->p.messages.isEmpty(), qPrintable(f->messages()));
        QVERIFY(f->browsing());
    }

    // Every control as the user sees it, reached by stepping from another
    // record, so that nothing of the previous record stays behind.
    void recordShown_data()
    {
        QTest::addColumn<int>("nexts");
        QTest::addColumn<QStringList>("texts");
        // ReqID, short, long, response, request, due, resolved date, resolved,
        // customer, department, priority, category, entered by, assigned to,
        // hours, minutes, additional charge, total, paid, paid date, misc
        QTest::newRow("5: every field") << 3
            << QStringList{"5", "Upgrade", "Upgrade the PRINTER driver", "Installed the driver", "3/5/1998", "",
                           "3/6/1998", "yes", "Adams, Ann", "Ångström Labs", "Low", "Software", "Ångström, Anders",
                           "Ångström, Anders", "2", "0", "$20.00", "$100.00", "$30.00", "3/10/1998", ""};
        QTest::newRow("6: Nulls after a full record") << 2
            << QStringList{"6", "李 request", "Zoë needs Ångström units", "", "3/31/1998", "", "", "no", "李",
                           "Zeta Corp", "-", "-", "-", "Jones, Tom", "0", "0", "", "$0.00", "$0.00", "", ""};
        QTest::newRow("1: oldest, a due date") << 7
            << QStringList{"1", "Printer jam", "The printer jams on every page", "Cleared the paper path",
                           "12/15/1997", "12/16/1997", "12/15/1997", "yes", "Adams, Ann", "Accounting", "High",
                           "Hardware", "Smith, Jane", "Smith, Jane", "1", "0", "$0.00", "$50.00", "$50.00",
                           "12/20/1997", ""};
        QTest::newRow("8: no customer or department after a shown one") << -1
            << QStringList{"8", "Cable", "Cable#5 loose", "Fixed", "7/4/2001", "", "7/4/2001", "yes", "-", "-",
                           "Medium", "Network", "Smith, Jane", "Ångström, Anders", "1", "0", "$0.00", "$40.00",
                           "$0.00", "", ""};
    }
    void recordShown()
    {
        QFETCH(int, nexts);
        QFETCH(QStringList, texts);
        frmMain& w = f->started();
        if (nexts < 0) { // from the oldest, back to the newest
            QTest::mouseClick(w.cmdLast, Qt::LeftButton);
            QTest::mouseClick(w.cmdFirst, Qt::LeftButton);
        }
        for (int i = 0; i < nexts; ++i)
            QTest::mouseClick(w.cmdNext, Qt::LeftButton);
        const QStringList seen{w.txtReqID->text(), w.txtShortDesc->text(), w.txtReqDesc->toPlainText(),
                               w.txtResp->toPlainText(), w.dcReqDate->currentText(), w.dcDueDate->currentText(),
                               w.dcResDate->currentText(), w.chkResolved->isChecked() ? "yes" : "no",
                               shown(w.cmbCust), shown(w.cmbDept), shown(w.cmbPri), shown(w.cmbCat),
                               shown(w.cmbEnteredBy), shown(w.cmbAssignedTo), w.txtHoursTot->text(),
                               w.txtMinTot->text(), w.txtAddCharge->text(), w.txtCostTot->text(),
                               w.txtAmtPaid->text(), w.dcPaidDate->currentText(), w.txtMisc1->text()};
        QCOMPARE(seen, texts);
        QVERIFY(f->browsing());
        QVERIFY(f->p.messages.isEmpty());
    }

    // A reference that names no entry of its list shows the list with no
    // selection (and no text left from the record shown before); activating
    // the window again, with the lists reloaded, shows the same.
    void referenceNamingNoEntry()
    {
        QVERIFY(test::execSql(f->dbPath(), "update Req set CustID = 99, DeptID = 42, AssignedTo = 0 where ReqID = 2"));
        frmMain& w = f->started();
        QTest::mouseClick(w.cmdLast, Qt::LeftButton); // request 1: Adams, Accounting, Smith
        QCOMPARE(shown(w.cmbCust), QStringLiteral("Adams, Ann"));
        QTest::mouseClick(w.cmdPrevious, Qt::LeftButton);
        const QStringList expected{"2", "-", "-", "-", "Smith, Jane"};
        QCOMPARE(QStringList({w.txtReqID->text(), shown(w.cmbCust), shown(w.cmbDept), shown(w.cmbAssignedTo),
                              shown(w.cmbEnteredBy)}), expected);
        CatListChanged = CustListChanged = StaffListChanged = DeptListChanged = true;
        w.Form_Activate();
        QCOMPARE(QStringList({w.txtReqID->text(), shown(w.cmbCust), shown(w.cmbDept), shown(w.cmbAssignedTo),
                              shown(w.cmbEnteredBy)}), expected);
        QVERIFY(f->p.messages.isEmpty());
        QVERIFY(f->browsing());
    }

    // An empty table: every entry control disabled, the buttons do nothing.
    void emptyTable()
    {
        test::createEmptyDb(f->dir.path());
        frmMain& w = f->started();
        QCOMPARE(w.entryControls().size(), 21);
        for (QPushButton* b : {w.cmdFirst, w.cmdNext, w.cmdPrevious, w.cmdLast, w.cmdDelete})
            QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(f->p.beeps, 0);
        QVERIFY2(f->p.messages.isEmpty(), qPrintable(f->messages()));
        QVERIFY(w.txtShortDesc->text().isEmpty() && w.txtReqID->text().isEmpty() && !w.txtReqID->isEnabled());
        for (QWidget* c : w.entryControls())
            QVERIFY2(!c->isEnabled(), qPrintable(c->objectName()));
        QVERIFY(f->browsing() && w.cmdAddNew->isEnabled());
    }
};

QTEST_MAIN(tst_browse)
#include "tst_browse.moc"
