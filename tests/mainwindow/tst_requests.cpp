// The requests on the main window: browsing them (the order, the ends,
// what a shown record looks like, Nulls included, and a window without
// requests), adding them one after the other, deleting the shown one, and
// adding to a find selection; every write checked in the file.
#include "base/formats.h"
#include "base/globals.h"
#include "db/database.h"
#include "support/fixturedb.h"
#include "support/mainwindowfixture.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
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
    // selection.  Activating the window, every list reloaded, shows the same.
    // Stepping past either end beeps and stays; newest request date first.
    void recordShown_data()
    {
        QTest::addColumn<QString>("sql"); // run on the file first
        QTest::addColumn<QString>("steps"); // the buttons clicked: First, Previous, Next, Last
        QTest::addColumn<int>("beeps");
        QTest::addColumn<QStringList>("texts");
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
        QFETCH(int, beeps);
        QFETCH(QStringList, texts);
        QVERIFY(sql.isEmpty() || test::execSql(f->dbPath(), qPrintable(sql)));
        frmMain& w = f->started();
        const QHash<QChar, QPushButton*> buttons{{'F', w.cmdFirst}, {'P', w.cmdPrevious}, {'N', w.cmdNext}, {'L', w.cmdLast}};
        for (const QChar step : steps)
            QTest::mouseClick(buttons[step], Qt::LeftButton);
        QCOMPARE(f->shownRecord(), texts);
        QCOMPARE(f->p.beeps, beeps);
        CatListChanged = PriListChanged = CustListChanged = StaffListChanged = DeptListChanged = true;
        w.Form_Activate();
        QCOMPARE(f->shownRecord(), texts);
        QVERIFY(f->browsing());
        QVERIFY2(f->p.messages.isEmpty(), qPrintable(f->messages()));
        QCOMPARE(f->walk(), (QStringList{"8", "7", "6", "5", "4", "3", "2", "1"}));
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
        QVERIFY(deleted ? test::execSql(f->dbPath(), "delete from Req where ReqID <> 5")
                        : !test::createEmptyDb(f->dir.path()).isEmpty());
        frmMain& w = f->started();
        if (deleted) {
            w.cmdDelete->click();
            QCOMPARE(f->p.messages.size(), 1);
            f->p.messages.clear();
        }
        for (auto click : {&frmMain::cmdFirst_Click, &frmMain::cmdNext_Click, &frmMain::cmdPrevious_Click,
                           &frmMain::cmdLast_Click, &frmMain::cmdDelete_Click})
            (w.*click)();
        w.Form_Activate();
        QCOMPARE(f->p.beeps, 0);
        QVERIFY2(f->p.messages.isEmpty(), qPrintable(f->messages()));
        QCOMPARE(requestCount(), 0);
        QVERIFY(ReqSet->Bof() && ReqSet->Eof());
        const QString shown = f->shownRecord().join(u',');
        QVERIFY2(deleted ? shown.startsWith(u",,,,"_s) : shown == u",,,,,,,no,-,-,-,-,-,-,,,,,,,"_s, qPrintable(shown));
        QVERIFY(f->browsing() && f->entriesEnabled(false) && !w.txtReqID->isEnabled() && w.cmdAddNew->isEnabled());
        w.cmdAddNew->click();
        QVERIFY(f->adding() && f->entriesEnabled(true) && !w.txtReqID->isEnabled());
        w.cmdCancel->click();
        QVERIFY(f->browsing() && f->entriesEnabled(false));
        w.FindDialog = [](frmMain&) { FindSQL = u"Select * from Req where CustID = 1"_s; };
        w.cmdFind->click();
        QCOMPARE(f->messages(), u"No matching records were found."_s);
        QVERIFY(f->browsing() && f->entriesEnabled(false));

        w.cmdAddNew->click();
        w.txtShortDesc->setText(u"After the last"_s);
        w.cmdUpdate->click();
        QCOMPARE(requestCount(), 1);
        QCOMPARE(w.txtShortDesc->text(), u"After the last"_s);
        QCOMPARE(w.txtReqID->text(), fileQuery(u"select ReqID from Req"_s));
    }

    // A new request shows the defaults, with the minimum charge as its cost,
    // and has the focus in its short description.  Add Another stores it and
    // shows a fresh one; the next is stored by Update and shown afterwards,
    // thrown away by Cancel, or stored when the window is closed and the
    // question answered Yes.
    void addAnother_data()
    {
        QTest::addColumn<qint64>("minCharge"); // ten-thousandths
        QTest::addColumn<QString>("cost");
        QTest::addColumn<QString>("then");
        QTest::newRow("minimum 25, then Update") << qint64(250000) << "$25.00" << "update";
        QTest::newRow("minimum 0, then Cancel") << qint64(0) << "$0.00" << "cancel";
        QTest::newRow("then closed") << qint64(250000) << "$25.00" << "close";
    }
    void addAnother()
    {
        QFETCH(qint64, minCharge);
        QFETCH(QString, cost);
        QFETCH(QString, then);
        frmMain& w = f->at(7); // every list has a selection
        DefaultMinCharge = Currency::fromUnits(minCharge);
        const QStringList fresh{"", "", "", "", fmt::shortDate(QDate::currentDate()), "", "", "no", "-", "-", "-", "-",
                                "-", "-", "0", "0", "$0.00", cost, "$0.00", "", ""};
        QTest::mouseClick(w.cmdAddNew, Qt::LeftButton);
        QCOMPARE(f->shownRecord(), fresh);
        QTRY_VERIFY(w.txtShortDesc->hasFocus());
        w.txtShortDesc->setText(QStringLiteral("First 'one' | ;"));
        w.cmbEnteredBy->setCurrentIndex(w.cmbEnteredBy->findText(QStringLiteral("Smith, Jane")));
        QVERIFY(typeInto(w.txtHoursTot, "1"));
        tabOut();
        QTest::mouseClick(w.cmdAddNew, Qt::LeftButton);
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        QStringList fileHolds{"ShortDesc=text:First 'one' | ;", "ReqDate=text:" + today, "EnteredBy=integer:1",
                              "CostTot=integer:400000", "HoursTot=integer:1", "Resolved=integer:0", "CustID=null:"};
        QCOMPARE(stored(9, fileHolds), fileHolds);
        QCOMPARE(f->shownRecord(), fresh);
        QVERIFY(f->adding());

        w.txtReqDesc->setPlainText(QStringLiteral("Second, long only"));
        if (then == "close")
            w.close();
        else
            QTest::mouseClick(then == "cancel" ? w.cmdCancel : w.cmdUpdate, Qt::LeftButton);
        QCOMPARE(f->messages(), then == "close" ? QStringLiteral("Save the changes to this request?") : QString());
        QCOMPARE(f->p.ended, then == "close");
        QVERIFY(f->browsing());
        QCOMPARE(requestCount(), then == "cancel" ? 9 : 10);
        if (then == "cancel") { // the oldest request: Add New moved there
            QCOMPARE(w.txtReqID->text(), QStringLiteral("1"));
            return;
        }
        fileHolds = QStringList{"ShortDesc=text:", "ReqDesc=text:Second, long only", "CostTot=integer:250000",
                                "EnteredBy=null:"};
        QCOMPARE(stored(10, fileHolds), fileHolds);
        QCOMPARE(w.txtReqID->text() + ' ' + w.txtReqDesc->toPlainText(), QStringLiteral("10 Second, long only"));
        QCOMPARE(f->walk().size(), 10);
    }

    // A check or a write that fails keeps the typed request on screen; a
    // second try stores it once.
    void failedSaveKeepsRequest_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("typed"); // empty: the check fails, else the write
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << "update" << "" << "You must enter a short description or a long description.";
        QTest::newRow("Add Another, write refused") << "add another" << "Typed" << "3001  ";
        QTest::newRow("Update of an edit, write refused") << "edit" << "Typed" << "3001  ";
    }
    void failedSaveKeepsRequest()
    {
        QFETCH(QString, how);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        frmMain& w = f->started();
        if (how != "edit")
            w.cmdAddNew->click();
        w.txtShortDesc->setText(typed);
        w.txtHoursTot->setText(QStringLiteral("2"));
        QPushButton* save = how == "add another" ? w.cmdAddNew : w.cmdUpdate;
        if (!typed.isEmpty())
            MainDb->failNextWrites(1, ErrNo::SqlError);
        save->click();
        QVERIFY2(f->p.messages.size() == 1 && f->messages().startsWith(message), qPrintable(f->messages()));
        QCOMPARE(w.txtShortDesc->text() + '/' + w.txtHoursTot->text(), typed + "/2");
        QCOMPARE(requestCount(), 8);
        QCOMPARE(stored(8, "ShortDesc"), QStringLiteral("text:Cable"));
        QVERIFY(how == "edit" ? f->editing() : f->adding());
        if (typed.isEmpty())
            return;
        save->click();
        const int id = how == "edit" ? 8 : 9; // and as many requests
        QCOMPARE(f->p.messages.size(), 1);
        QCOMPARE(requestCount(), id);
        QCOMPARE(stored(id, "ShortDesc"), QStringLiteral("text:Typed"));
    }

    // Deleting asks first, then shows the next request (the previous one
    // after the oldest); No keeps everything.
    void deleteShown_data()
    {
        QTest::addColumn<int>("reqId");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("shownAfter");
        QTest::newRow("newest") << 8 << int(Answer::Yes) << "7";
        QTest::newRow("oldest") << 1 << int(Answer::Yes) << "2";
        QTest::newRow("answered No") << 8 << int(Answer::No) << "8";
    }
    void deleteShown()
    {
        QFETCH(int, reqId);
        QFETCH(int, answer);
        QFETCH(QString, shownAfter);
        frmMain& w = f->at(reqId);
        f->p.answers << Answer(answer);
        QTest::mouseClick(w.cmdDelete, Qt::LeftButton);
        QCOMPARE(f->p.messageTexts(), QStringList{"Are you sure that you want to delete this request?"});
        QVERIFY(f->p.messages[0].title == "Delete Request" && f->p.messages[0].flags == Mb::YesNo);
        QCOMPARE(w.txtReqID->text(), shownAfter);
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
        w.FindDialog = [](frmMain&) { FindSQL = QStringLiteral("Select * from Req where CustID = 1 order by ReqDate desc"); };
        QTest::mouseClick(w.cmdFind, Qt::LeftButton);
        QCOMPARE(f->walk(), (QStringList{"5", "2", "1"}));
        w.cmdAddNew->click();
        w.txtShortDesc->setText(QStringLiteral("Added"));
        QVERIFY2(f->saved(), qPrintable(f->messages()));
        QCOMPARE(w.txtReqID->text(), QStringLiteral("9"));
        QCOMPARE(stored(9, "ShortDesc"), QStringLiteral("text:Added"));
    }
};

CVD_TEST_MAIN(tst_requests)
#include "tst_requests.moc"
