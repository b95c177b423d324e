// Browsing the requests on the main window: the order, the ends, what a
// shown record looks like (Nulls included), and the empty table.
#include "core/database.h"
#include "core/formats.h"
#include "core/frmmain.h"
#include "core/globals.h"
#include "core/startup.h"
#include "dates/datefield.h"
#include "support/fixturedb.h"
#include "support/scriptedplatform.h"
#include "support/testfiles.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
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
    QTemporaryDir* m_dir = nullptr;
    test::ScriptedPlatform* m_p = nullptr;
    frmMain* m_w = nullptr;

    frmMain& started()
    {
        startUp(*m_w, QStringLiteral("-d ") + m_dir->path());
        m_w->show();
        return *m_w;
    }
    QString dbPath() const { return m_dir->filePath(QStringLiteral("cvd.mdb")); }

    // The browsing layout, with nothing being edited.
    void verifyBrowsing()
    {
        frmMain& w = *m_w;
        QVERIFY(!w.Editing && !w.Adding);
        QVERIFY(w.cmdCancel->isHidden() && w.cmdUpdate->isHidden());
        for (QPushButton* b : {w.cmdFirst, w.cmdPrevious, w.cmdNext, w.cmdLast, w.cmdAddNew, w.cmdDelete, w.cmdFind})
            QVERIFY2(!b->isHidden(), qPrintable(b->objectName()));
        QVERIFY(w.mnuExit->isEnabled() && w.mnuMaint[1]->isEnabled());
    }

private slots:
    void initTestCase() { fmt::setLocale(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init()
    {
        resetProgramValues();
        m_dir = new QTemporaryDir;
        test::createFixtureDb(m_dir->path());
        m_p = new test::ScriptedPlatform;
        m_w = new frmMain;
    }
    void cleanup()
    {
        delete m_w;
        resetProgramValues();
        delete m_p;
        delete m_dir;
    }

    // Newest request date first; stepping past either end beeps and stays;
    // showing a record never starts an edit.
    void newestFirstAndEnds()
    {
        frmMain& w = started();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QStringList ids{w.txtReqID->text()};
        for (int i = 0; i < 7; ++i) {
            QTest::mouseClick(w.cmdNext, Qt::LeftButton);
            ids << w.txtReqID->text();
            verifyBrowsing();
        }
        QCOMPARE(ids, (QStringList{"8", "7", "6", "5", "4", "3", "2", "1"}));
        QCOMPARE(m_p->beeps, 0);

        QTest::mouseClick(w.cmdNext, Qt::LeftButton);
        QCOMPARE(m_p->beeps, 1);
        QCOMPARE(w.txtReqID->text(), QStringLiteral("1"));
        QTest::mouseClick(w.cmdPrevious, Qt::LeftButton);
        QCOMPARE(w.txtReqID->text(), QStringLiteral("2"));

        QTest::mouseClick(w.cmdFirst, Qt::LeftButton);
        QCOMPARE(w.txtReqID->text(), QStringLiteral("8"));
        QTest::mouseClick(w.cmdPrevious, Qt::LeftButton);
        QTest::mouseClick(w.cmdPrevious, Qt::LeftButton);
        QCOMPARE(m_p->beeps, 3);
        QCOMPARE(w.txtReqID->text(), QStringLiteral("8"));
        QTest::mouseClick(w.cmdNext, Qt::LeftButton);
        QCOMPARE(w.txtReqID->text(), QStringLiteral("7"));

        QTest::mouseClick(w.cmdLast, Qt::LeftButton);
        QCOMPARE(w.txtReqID->text(), QStringLiteral("1"));
        QCOMPARE(m_p->beeps, 3);
        QVERIFY2(m_p->messages.isEmpty(), qPrintable(m_p->messageTexts().join('\n')));
        verifyBrowsing();
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
        QTest::newRow("2: no response, misc text") << 6
            << QStringList{"2", "Spreadsheet crash", "Excel crashes when printing", "", "1/5/1998", "", "", "no",
                           "Adams, Ann", "Accounting", "Low", "Software", "Smith, Jane", "Jones, Tom", "1", "15",
                           "$0.00", "$50.00", "$0.00", "", "urgent"};
        QTest::newRow("1: oldest, paid") << 7
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
        frmMain& w = started();
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
        verifyBrowsing();
        QVERIFY(m_p->messages.isEmpty());
    }

    // A reference to a record that is not in its list shows the list with
    // no selection (and no text left from the record shown before).
    void referenceNamingNoEntry()
    {
        QVERIFY(test::execSql(dbPath(), "update Req set CustID = 99, DeptID = 42, AssignedTo = 0 where ReqID = 2"));
        frmMain& w = started();
        QTest::mouseClick(w.cmdLast, Qt::LeftButton); // request 1: Adams, Accounting, Smith
        QCOMPARE(shown(w.cmbCust), QStringLiteral("Adams, Ann"));
        QTest::mouseClick(w.cmdPrevious, Qt::LeftButton);
        QCOMPARE(w.txtReqID->text(), QStringLiteral("2"));
        QCOMPARE(shown(w.cmbCust), QStringLiteral("-"));
        QCOMPARE(shown(w.cmbDept), QStringLiteral("-"));
        QCOMPARE(shown(w.cmbAssignedTo), QStringLiteral("-"));
        QCOMPARE(shown(w.cmbEnteredBy), QStringLiteral("Smith, Jane"));
        QVERIFY(m_p->messages.isEmpty());
        verifyBrowsing();
    }

    // Activating the window again shows the same record without an edit.
    void activationKeepsBrowsing()
    {
        frmMain& w = started();
        QTest::mouseClick(w.cmdNext, Qt::LeftButton);
        QTest::mouseClick(w.cmdNext, Qt::LeftButton);
        CatListChanged = CustListChanged = StaffListChanged = true;
        w.Form_Activate();
        QCOMPARE(w.txtReqID->text(), QStringLiteral("6"));
        QCOMPARE(shown(w.cmbCust), QStringLiteral("李"));
        QCOMPARE(shown(w.cmbCat), QStringLiteral("-"));
        verifyBrowsing();
    }

    // An empty table: every entry control disabled, the buttons do nothing.
    void emptyTable()
    {
        test::createEmptyDb(m_dir->path());
        frmMain& w = started();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.entryControls().size(), 21);
        for (QWidget* c : w.entryControls())
            QVERIFY2(!c->isEnabled(), qPrintable(c->objectName()));
        QVERIFY(!w.txtReqID->isEnabled());
        QVERIFY(w.cmdAddNew->isEnabled() && !w.cmdAddNew->isHidden());
        for (QPushButton* b : {w.cmdFirst, w.cmdNext, w.cmdPrevious, w.cmdLast, w.cmdDelete})
            QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(m_p->beeps, 0);
        QVERIFY2(m_p->messages.isEmpty(), qPrintable(m_p->messageTexts().join('\n')));
        QVERIFY(w.txtShortDesc->text().isEmpty() && w.txtReqID->text().isEmpty());
        for (QWidget* c : w.entryControls())
            QVERIFY2(!c->isEnabled(), qPrintable(c->objectName()));
        verifyBrowsing();
    }
};

QTEST_MAIN(tst_browse)
#include "tst_browse.moc"
