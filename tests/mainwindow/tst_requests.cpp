// The requests on the main window: browsing them (the order, the ends,
// what a shown record looks like, Nulls included, and a window without
// requests), a new request, deleting the shown one, and adding to a find
// selection; every write checked in the file.
#include "base/formats.h"
#include "base/globals.h"
#include "db/database.h"
#include "support/fixturedb.h"
#include "support/mainwindowfixture.h"
#include "support/testfiles.h"
#include "support/testmain.h"
#include "search/frmfind.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace cvd;
using namespace cvd::test;
using namespace Qt::StringLiterals;

class tst_requests : public QObject {
    Q_OBJECT
    std::unique_ptr<MainWindowFixture> f;

private slots:
    void init() { f = std::make_unique<MainWindowFixture>(); }
    void cleanup() { f.reset(); }

    // Every control as the user sees it, reached by stepping from another
    // record, so that nothing of the previous record stays behind; a
    // reference that names no entry of its list shows the list with no
    // selection.  (Every list reloaded: tst_lookuplists.)
    // Stepping past either end beeps and stays.  (The order: deleteShown.)
    void recordShown_data()
    {
        // sql: run on the file first; steps: the buttons clicked: First, Previous, Next, Last
        columns<QString, QString, int, QStringList>("sql", "steps", "beeps", "texts");
        // ReqID, short, long, response, request, due, resolved date, resolved,
        // customer, department, priority, category, entered by, assigned to,
        // hours, minutes, additional charge, total, paid, paid date, misc
        QTest::newRow("6: Nulls after a full record") << "" << "NN" << 0
            << QStringList{"6", "李 request", "Zoë needs Ångström units", "", "3/31/1998", "", "", "no", "李",
                           "Zeta Corp", "-", "-", "-", "Jones, Tom", "0", "0", "", "$0.00", "$0.00", "", ""};
        QTest::newRow("8: no customer or department after a shown one, Previous on the first") << "" << "LFP" << 1
            << QStringList{"8", "Cable", "Cable#5 loose", "Fixed", "7/4/2001", "", "7/4/2001", "yes", "-", "-",
                           "Medium", "Network", "Smith, Jane", "Ångström, Anders", "1", "0", "$0.00", "$40.00",
                           "$0.00", "", ""};
        QTest::newRow("2: references naming no entry, after Next on the last") // 1: Adams, Accounting, Smith
            << "update Req set CustID = 99, DeptID = 42, AssignedTo = 0 where ReqID = 2" << "LNP" << 1
            << QStringList{"2", "Spreadsheet crash", "Excel crashes when printing", "", "1/5/1998", "", "", "no", "-",
                           "-", "Low", "Software", "Smith, Jane", "-", "1", "15", "$0.00", "$50.00", "$0.00", "", "urgent"};
    }
    void recordShown()
    {
        QFETCH(QString, sql);
        QFETCH(QString, steps);
        QFETCH(QStringList, texts);
        QVERIFY(sql.isEmpty() || test::execSql(f->location, qPrintable(sql)));
        frmMain& w = f->started();
        const QHash<QChar, QPushButton*> buttons{{'F', w.cmdFirst}, {'P', w.cmdPrevious}, {'N', w.cmdNext}, {'L', w.cmdLast}};
        for (const QChar step : steps)
            QTest::mouseClick(buttons[step], Qt::LeftButton);
        QCOMPARE(f->shownRecord(), texts);
        QTEST(f->p.beeps, "beeps");
        QVERIFY2(f->browsing() && f->p.messages.isEmpty(), qPrintable(f->messages()));
    }

    // No requests, in a new file or after the only one is deleted: nothing
    // shown, every entry control disabled, the buttons do nothing (no beep,
    // no question), activating the window changes none of it, and a find
    // finds nothing.  Add New enables the entries, Cancel disables them
    // again, and a request can still be added.
    void noRequests_data()
    {
        QTest::addColumn<bool>("deleted");
        QTest::newRow("empty file") << false;
        QTest::newRow("the only one deleted") << true;
    }
    void noRequests()
    {
        QFETCH(bool, deleted);
        QVERIFY(deleted ? test::execSql(f->location, "delete from Req where ReqID <> 5")
                        : !test::createEmptyDb(f->dir.path()).isEmpty());
        frmMain& w = f->started();
        if (deleted)
            w.cmdDelete->click(), f->p.messages.removeFirst(); // the question
        for (QPushButton* b : {w.cmdFirst, w.cmdNext, w.cmdPrevious, w.cmdLast, w.cmdDelete})
            b->click();
        w.Form_Activate();
        QVERIFY2(f->p.beeps == 0 && f->p.messages.isEmpty() && fileQuery(u"select count(*) from Req"_s) == u"0"_s, qPrintable(f->messages()));
        const QString shown = f->shownRecord().join(u',');
        QVERIFY2(deleted ? shown.startsWith(u",,,,"_s) : shown == u",,,,,,,no,-,-,-,-,-,-,,,,,,,"_s, qPrintable(shown));
        QVERIFY(f->browsing() && f->entriesEnabled(false) && !w.txtReqID->isEnabled() && w.cmdAddNew->isEnabled());
        w.cmdAddNew->click();
        QVERIFY(f->adding() && f->entriesEnabled(true) && !w.txtReqID->isEnabled());
        w.cmdCancel->click();
        QVERIFY(f->browsing() && f->entriesEnabled(false));
        w.cmdAddNew->click();
        w.txtShortDesc->setText(u"After the last"_s);
        w.cmdUpdate->click();
        QCOMPARE(w.txtReqID->text() + ' ' + w.txtShortDesc->text(), fileQuery(u"select ReqID || ' ' || ShortDesc from Req"_s));
    }

    // A new request shows the defaults, with the minimum charge as its cost,
    // and Add Another stores what was typed with them.  (Adding one after
    // the other, Cancel and Update: tst_recordwindow.)
    void newRequest_data()
    {
        columns<qint64, QString>("minCharge", "cost"); // minCharge in ten-thousandths
        QTest::newRow("minimum 25") << qint64(250000) << "$25.00";
        QTest::newRow("minimum 0") << qint64(0) << "$0.00";
    }
    void newRequest()
    {
        QFETCH(qint64, minCharge);
        QFETCH(QString, cost);
        frmMain& w = f->at(7); // every list has a selection
        DefaultMinCharge = Currency::fromUnits(minCharge);
        const QStringList fresh{"", "", "", "", fmt::shortDate(QDate::currentDate()), "", "", "no", "-", "-", "-", "-",
                                "-", "-", "0", "0", "$0.00", cost, "$0.00", "", ""};
        QTest::mouseClick(w.cmdAddNew, Qt::LeftButton);
        QCOMPARE(f->shownRecord(), fresh);
        w.txtShortDesc->setText(QStringLiteral("First 'one' | ;"));
        w.cmbEnteredBy->setCurrentIndex(w.cmbEnteredBy->findText(QStringLiteral("Smith, Jane")));
        QTest::mouseClick(w.cmdAddNew, Qt::LeftButton);
        const QStringList fileHolds{"ShortDesc=text:First 'one' | ;", "ReqDate=text:" + QDate::currentDate().toString(Qt::ISODate), "EnteredBy=integer:1",
                                    "CostTot=integer:" + QString::number(minCharge), "HoursTot=integer:0",
                                    "Resolved=integer:0", "CustID=null:"};
        QCOMPARE(stored(9, fileHolds), fileHolds);
        QCOMPARE(f->shownRecord(), fresh);
    }

    // Deleting asks first, then shows the next request (the previous one
    // after the oldest); No keeps everything.
    void deleteShown_data()
    {
        // elsewhere: deleted at another desk first: gone all the same, no message
        columns<int, int, QString, bool>("reqId", "answer", "shownAfter", "elsewhere");
        QTest::newRow("newest") << 8 << int(Answer::Yes) << "7" << false;
        QTest::newRow("oldest") << 1 << int(Answer::Yes) << "2" << false;
        QTest::newRow("answered No") << 8 << int(Answer::No) << "8" << false;
        QTest::newRow("newest, deleted elsewhere") << 8 << int(Answer::Yes) << "7" << true;
        QTest::newRow("oldest, deleted elsewhere") << 1 << int(Answer::Yes) << "2" << true;
    }
    void deleteShown()
    {
        QFETCH(int, reqId);
        QFETCH(int, answer);
        frmMain& w = f->at(reqId);
        f->p.answers << Answer(answer);
        QFETCH(bool, elsewhere);
        if (elsewhere) {
            MainDb->Execute(u"delete from Req where ReqID = %1"_s.arg(reqId));
            test::failNextWrites(*MainDb, 1, ErrNo::RecordDeleted);
        }
        QTest::mouseClick(w.cmdDelete, Qt::LeftButton);
        QCOMPARE(f->p.messageTexts(), QStringList{"Are you sure that you want to delete this request?"});
        QVERIFY(f->p.messages[0].title == "Delete Request" && f->p.messages[0].flags == Mb::YesNo);
        QTEST(w.txtReqID->text(), "shownAfter");
        QVERIFY(f->browsing());
        QStringList rest{"8", "7", "6", "5", "4", "3", "2", "1"};
        if (answer == int(Answer::Yes))
            rest.removeOne(QString::number(reqId));
        QCOMPARE(f->walk(), rest);
        QCOMPARE(fileQuery("select group_concat(ReqID) from (select ReqID from Req order by 1 desc)"), rest.join(','));
    }

    // A request added while a find selection is shown is shown after its
    // Update, though it does not meet the selection's criteria.
    void addedToSelection()
    {
        frmMain& w = f->started();
        QTimer::singleShot(0, &w, [] {
            frmFind* d = loadedFindDialog();
            QVERIFY(d && QTest::qWaitForWindowActive(d));
            d->Search1->setText(u"Excel"_s);
            d->cmdOK->click();
        });
        w.cmdFind->click();
        QCOMPARE(f->walk(), QStringList{"2"});
        w.cmdAddNew->click();
        w.txtShortDesc->setText(QStringLiteral("Added"));
        QVERIFY2(f->saved(), qPrintable(f->messages()));
        QCOMPARE(w.txtReqID->text() + ' ' + stored(9, "ShortDesc"), QStringLiteral("9 text:Added"));
    }
};

CVD_TEST_MAIN(tst_requests)
#include "tst_requests.moc"
