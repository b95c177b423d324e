// Adding requests one after the other, deleting the shown one, and adding to
// a find selection, on the main window; every write checked in the file.
#include "base/formats.h"
#include "base/globals.h"
#include "db/database.h"
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

class tst_adding : public QObject {
    Q_OBJECT
    std::unique_ptr<test::MainWindowFixture> f;

private slots:
    void init() { f = std::make_unique<test::MainWindowFixture>(); }
    void cleanup() { f.reset(); }

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

    // Deleting the only request leaves an empty, disabled window (Delete
    // again does nothing): Add New
    // enables the fields, Cancel disables them again, a find finds nothing,
    // and a request can still be added.
    void deleteOnlyRequest()
    {
        QVERIFY(execSql(f->dbPath(), "delete from Req where ReqID <> 5"));
        frmMain& w = f->started();
        w.cmdDelete->click();
        QCOMPARE(requestCount(), 0);
        QVERIFY(f->browsing() && f->entriesEnabled(false));
        QVERIFY(ReqSet->Bof() && ReqSet->Eof());
        w.cmdDelete_Click(); // again, on nothing: no question, no error
        QCOMPARE(f->p.messages.size(), 1);
        QVERIFY(ReqSet->Bof() && ReqSet->Eof());
        QVERIFY(w.txtShortDesc->text().isEmpty() && w.txtReqID->text().isEmpty());
        w.cmdAddNew->click();
        QVERIFY(f->adding() && f->entriesEnabled(true) && !w.txtReqID->isEnabled());
        w.cmdCancel->click();
        QVERIFY(f->browsing() && f->entriesEnabled(false));
        w.FindDialog = [](frmMain&) { FindSQL = QStringLiteral("Select * from Req where CustID = 1"); };
        w.cmdFind->click();
        QCOMPARE(f->p.messageTexts().last(), QStringLiteral("No matching records were found."));
        QVERIFY(f->browsing() && f->entriesEnabled(false));

        w.cmdAddNew->click();
        w.txtShortDesc->setText(QStringLiteral("After the last"));
        w.cmdUpdate->click();
        QCOMPARE(requestCount(), 1);
        QCOMPARE(w.txtShortDesc->text(), QStringLiteral("After the last"));
        QCOMPARE(w.txtReqID->text(), fileQuery("select ReqID from Req"));
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
        w.cmdUpdate->click();
        QVERIFY2(f->p.messages.isEmpty(), qPrintable(f->messages()));
        QCOMPARE(w.txtReqID->text(), QStringLiteral("9"));
        QCOMPARE(stored(9, "ShortDesc"), QStringLiteral("text:Added"));
    }
};

CVD_TEST_MAIN(tst_adding)
#include "tst_adding.moc"
