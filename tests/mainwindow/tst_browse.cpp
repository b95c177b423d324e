// Browsing the requests on the main window: the order, the ends, what a
// shown record looks like (Nulls included), and the empty table.
#include "base/globals.h"
#include "support/fixturedb.h"
#include "support/mainwindowfixture.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace cvd;
using namespace Qt::StringLiterals;

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
        QTest::mouseClick(w.cmdFirst, Qt::LeftButton);
        QTest::mouseClick(w.cmdPrevious, Qt::LeftButton);
        QCOMPARE(f->p.beeps, 2);
        QCOMPARE(w.txtReqID->text(), QStringLiteral("8"));
        QTest::mouseClick(w.cmdLast, Qt::LeftButton);
        QTest::mouseClick(w.cmdPrevious, Qt::LeftButton);
        QCOMPARE(w.txtReqID->text(), QStringLiteral("2"));
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
        QTest::newRow("6: Nulls after a full record") << 2
            << QStringList{"6", "李 request", "Zoë needs Ångström units", "", "3/31/1998", "", "", "no", "李",
                           "Zeta Corp", "-", "-", "-", "Jones, Tom", "0", "0", "", "$0.00", "$0.00", "", ""};
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
        QCOMPARE(f->shownRecord(), texts);
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
        QTest::mouseClick(w.cmdPrevious, Qt::LeftButton);
        const auto references = [this] { return f->shownRecord().mid(8, 6).join(','); }; // customer to assigned to
        QCOMPARE(references(), QStringLiteral("-,-,Low,Software,Smith, Jane,-"));
        CatListChanged = CustListChanged = StaffListChanged = DeptListChanged = true;
        w.Form_Activate();
        QCOMPARE(references(), QStringLiteral("-,-,Low,Software,Smith, Jane,-"));
        QVERIFY(f->p.messages.isEmpty());
        QVERIFY(f->browsing());
    }

    // An empty table: nothing shown, every entry control disabled, the
    // buttons do nothing; activating the window again changes none of it.
    void emptyTable()
    {
        test::createEmptyDb(f->dir.path());
        frmMain& w = f->started();
        for (QPushButton* b : {w.cmdFirst, w.cmdNext, w.cmdPrevious, w.cmdLast, w.cmdDelete})
            QTest::mouseClick(b, Qt::LeftButton);
        w.Form_Activate();
        QCOMPARE(f->p.beeps, 0);
        QVERIFY2(f->p.messages.isEmpty(), qPrintable(f->messages()));
        QCOMPARE(f->shownRecord().join(u','), u",,,,,,,no,-,-,-,-,-,-,,,,,,,"_s);
        QVERIFY(f->entriesEnabled(false) && !w.txtReqID->isEnabled());
        QVERIFY(f->browsing() && w.cmdAddNew->isEnabled());
    }
};

CVD_TEST_MAIN(tst_browse)
#include "tst_browse.moc"
