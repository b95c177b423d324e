// Adding requests one after the other, deleting the shown one, and the hand-over
// of a find selection, on the main window; every write checked in the file.
#include "core/database.h"
#include "core/formats.h"
#include "core/globals.h"
#include "dates/datefield.h"
#include "support/fixturedb.h"
#include "support/mainwindowfixture.h"
#include "support/testfiles.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <algorithm>

using namespace cvd;
using test::fileQuery;
using test::requestCount;

class tst_adding : public QObject {
    Q_OBJECT
    std::unique_ptr<test::MainWindowFixture> f;

    bool adding() const
    {
        const frmMain& w = *f->w;
        return w.Adding && !w.Editing && !w.cmdUpdate->isHidden() && w.cmdNext->isHidden() && w.cmdDelete->isHidden()
               && w.cmdAddNew->text() == QStringLiteral("&Add Another") && !w.mnuExit->isEnabled();
    }
    bool allEntriesEnabled(bool enabled) const
    {
        const QList<QWidget*> all = f->w->entryControls();
        return std::all_of(all.begin(), all.end(), [enabled](QWidget* c) { return c->isEnabled() == enabled; });
    }

private slots:
    void init() { f = std::make_unique<test::MainWindowFixture>(); }
    void cleanup() { f.reset(); }

    // A new request shows the defaults, with the minimum charge as its cost;
    // Cancel then shows the oldest request, to which Add New moved.
    void addNewThenCancel_data()
    {
        QTest::addColumn<qint64>("minCharge"); // ten-thousandths
        QTest::addColumn<QString>("cost");
        QTest::newRow("minimum 25") << qint64(250000) << "$25.00";
        QTest::newRow("minimum 0") << qint64(0) << "$0.00";
    }
    void addNewThenCancel()
    {
        QFETCH(qint64, minCharge);
        QFETCH(QString, cost);
        frmMain& w = f->at(7); // every list has a selection
        DefaultMinCharge = Currency::fromUnits(minCharge);
        QTest::mouseClick(w.cmdAddNew, Qt::LeftButton);
        const QStringList shown{w.txtShortDesc->text(), w.txtReqDesc->toPlainText(), w.txtResp->toPlainText(),
                                w.txtReqID->text(), w.dcReqDate->currentText(), w.dcDueDate->currentText(),
                                w.dcResDate->currentText(), w.chkResolved->isChecked() ? "yes" : "no",
                                w.txtHoursTot->text(), w.txtMinTot->text(), w.txtAddCharge->text(),
                                w.txtCostTot->text(), w.txtAmtPaid->text(), w.dcPaidDate->currentText(),
                                w.txtMisc1->text()};
        QCOMPARE(shown, (QStringList{"", "", "", "", fmt::shortDate(QDate::currentDate()), "", "", "no", "0", "0",
                                     "$0.00", cost, "$0.00", "", ""}));
        for (QComboBox* c : {w.cmbCust, w.cmbDept, w.cmbPri, w.cmbCat, w.cmbEnteredBy, w.cmbAssignedTo})
            QVERIFY2(c->currentIndex() == -1 && c->currentText().isEmpty(), qPrintable(c->objectName()));
        QVERIFY(adding());
        QTRY_VERIFY(w.txtShortDesc->hasFocus());

        QTest::mouseClick(w.cmdCancel, Qt::LeftButton);
        QVERIFY(f->browsing());
        QCOMPARE(w.txtShortDesc->text(), QStringLiteral("Printer jam"));
        QCOMPARE(requestCount(), 8);
    }

    // Add Another stores the request and shows a fresh one; the next is
    // stored by Update and shown afterwards, or thrown away by Cancel.
    void addAnother_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("then Update") << false;
        QTest::newRow("then Cancel") << true;
    }
    void addAnother()
    {
        QFETCH(bool, cancel);
        frmMain& w = f->started();
        QTest::mouseClick(w.cmdAddNew, Qt::LeftButton);
        w.txtShortDesc->setText(QStringLiteral("First 'one' | ;"));
        w.cmbEnteredBy->setCurrentIndex(w.cmbEnteredBy->findText(QStringLiteral("Smith, Jane")));
        w.txtHoursTot->setFocus();
        QTRY_VERIFY(w.txtHoursTot->hasFocus());
        w.txtHoursTot->setText(QStringLiteral("1"));
        QTest::keyClick(w.txtHoursTot, Qt::Key_Tab);
        QTest::mouseClick(w.cmdAddNew, Qt::LeftButton);
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        QStringList fileHolds{"ShortDesc=text:First 'one' | ;", "ReqDate=text:" + today, "EnteredBy=integer:1",
                              "CostTot=integer:400000", "HoursTot=integer:1", "Resolved=integer:0", "CustID=null:"};
        QCOMPARE(test::stored(9, fileHolds), fileHolds);
        QVERIFY(adding() && w.txtShortDesc->text().isEmpty() && w.cmbEnteredBy->currentIndex() == -1);

        w.txtReqDesc->setPlainText(QStringLiteral("Second, long only"));
        QTest::mouseClick(cancel ? w.cmdCancel : w.cmdUpdate, Qt::LeftButton);
        QVERIFY2(f->p.messages.isEmpty(), qPrintable(f->messages()));
        QVERIFY(f->browsing());
        QCOMPARE(requestCount(), cancel ? 9 : 10);
        if (cancel)
            return;
        fileHolds = QStringList{"ShortDesc=text:", "ReqDesc=text:Second, long only", "CostTot=integer:250000",
                                "EnteredBy=null:"};
        QCOMPARE(test::stored(10, fileHolds), fileHolds);
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
        const QString noDesc = "You must enter a short description or a long description.";
        QTest::newRow("Add Another, no description") << "add another" << "" << noDesc;
        QTest::newRow("Update, no description") << "update" << "" << noDesc;
        QTest::newRow("Add Another, write refused") << "add another" << "Typed" << "3001  ";
        QTest::newRow("Update, write refused") << "update" << "Typed" << "3001  ";
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
        QCOMPARE(f->p.messages.size(), 1);
        QVERIFY2(f->messages().startsWith(message), qPrintable(f->messages()));
        QCOMPARE(w.txtShortDesc->text() + '/' + w.txtHoursTot->text(), typed + "/2");
        QCOMPARE(requestCount(), 8);
        QCOMPARE(test::stored(8, "ShortDesc"), QStringLiteral("text:Cable"));
        QVERIFY(how == "edit" ? w.Editing && !w.cmdUpdate->isHidden() : adding());
        if (typed.isEmpty())
            return;
        save->click();
        const int id = how == "edit" ? 8 : 9; // and as many requests
        QCOMPARE(f->p.messages.size(), 1);
        QCOMPARE(requestCount(), id);
        QCOMPARE(test::stored(id, "ShortDesc"), QStringLiteral("text:Typed"));
    }

    // Deleting asks first, then shows the next request (the previous one
    // after the oldest); No keeps everything.
    void deleteShown_data()
    {
        QTest::addColumn<bool>("oldest");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("shownAfter");
        QTest::newRow("newest") << false << int(Answer::Yes) << "7";
        QTest::newRow("oldest") << true << int(Answer::Yes) << "2";
        QTest::newRow("answered No") << false << int(Answer::No) << "8";
    }
    void deleteShown()
    {
        QFETCH(bool, oldest);
        QFETCH(int, answer);
        QFETCH(QString, shownAfter);
        frmMain& w = f->started();
        if (oldest)
            w.cmdLast->click();
        const QString shown = w.txtReqID->text();
        f->p.answers << Answer(answer);
        QTest::mouseClick(w.cmdDelete, Qt::LeftButton);
        QCOMPARE(f->p.messageTexts(), QStringList{"Are you sure that you want to delete this request?"});
        QCOMPARE(f->p.messages[0].title, QStringLiteral("Delete Request"));
        QCOMPARE(f->p.messages[0].flags, Mb::YesNo);
        QCOMPARE(w.txtReqID->text(), shownAfter);
        QVERIFY(f->browsing());
        QStringList rest{"8", "7", "6", "5", "4", "3", "2", "1"};
        if (answer == int(Answer::Yes))
            rest.removeOne(shown);
        QCOMPARE(f->walk(), rest);
        QCOMPARE(requestCount(), rest.size());
        QCOMPARE(test::stored(shown.toInt(), "ReqID"), rest.contains(shown) ? "integer:" + shown : "(no row)");
    }

    // Deleting the only request leaves an empty, disabled window that can
    // still add one.
    void deleteOnlyRequest()
    {
        QVERIFY(test::execSql(f->dbPath(), "delete from Req where ReqID <> 5"));
        frmMain& w = f->started();
        w.cmdDelete->click();
        QCOMPARE(requestCount(), 0);
        QVERIFY(f->browsing() && allEntriesEnabled(false));
        QVERIFY(w.txtShortDesc->text().isEmpty() && w.txtReqID->text().isEmpty());

        w.cmdAddNew->click();
        QVERIFY(adding() && allEntriesEnabled(true) && !w.txtReqID->isEnabled());
        w.txtShortDesc->setText(QStringLiteral("After the last"));
        w.cmdUpdate->click();
        QCOMPARE(requestCount(), 1);
        QVERIFY(f->browsing());
        QCOMPARE(w.txtShortDesc->text(), QStringLiteral("After the last"));
        QCOMPARE(w.txtReqID->text(), fileQuery("select ReqID from Req"));
    }

    // Closing the window while adding asks first; Yes stores the new request.
    void closeWhileAdding()
    {
        frmMain& w = f->started();
        w.cmdAddNew->click();
        w.txtShortDesc->setText(QStringLiteral("Typed before closing"));
        w.close();
        QCOMPARE(f->p.messageTexts(), QStringList{"Save the changes to this request?"});
        QVERIFY(f->p.ended);
        QCOMPARE(test::stored(9, "ShortDesc"), QStringLiteral("text:Typed before closing"));
    }

    // A find selection is shown from its first request; no match shows
    // every request again.  A request added meanwhile is shown after its
    // Update, though it need not meet the selection's criteria.
    void find_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("ids");
        const QStringList all{"8", "7", "6", "5", "4", "3", "2", "1"};
        QTest::newRow("no match") << "Select * from Req where ShortDesc like '*zzz*' order by ReqDate desc"
                                  << "No Records Found: No matching records were found." << "Calvedon" << all;
        QTest::newRow("a match") << "Select * from Req where CustID = 1 order by ReqDate desc" << ""
                                 << "Calvedon -- Selected Records" << QStringList{"5", "2", "1"};
        QTest::newRow("nothing asked") << "" << "" << "Calvedon" << all;
    }
    void find()
    {
        QFETCH(QString, sql);
        QFETCH(QString, message);
        QFETCH(QString, caption);
        QFETCH(QStringList, ids);
        frmMain& w = f->started();
        w.cmdNext->click();
        w.FindDialog = [sql](frmMain& m) {
            FindSQL = sql;
            if (!sql.isEmpty())
                m.setWindowTitle(QStringLiteral("Calvedon -- Selected Records"));
        };
        QTest::mouseClick(w.cmdFind, Qt::LeftButton);
        QCOMPARE(f->p.messages.isEmpty() ? QString() : f->p.messages[0].title + ": " + f->messages(), message);
        if (!message.isEmpty()) {
            QCOMPARE(f->p.messages[0].flags, Mb::OkOnly);
            QCOMPARE(FindSQL, QStringLiteral("Select * from Req order by ReqDate desc"));
        }
        QCOMPARE(w.windowTitle(), caption);
        QCOMPARE(w.txtReqID->text(), sql.isEmpty() ? QStringLiteral("7") : ids.first());
        QVERIFY(f->browsing());
        QCOMPARE(f->walk(), ids);

        w.cmdAddNew->click();
        w.txtShortDesc->setText(QStringLiteral("Added"));
        w.cmdUpdate->click();
        QCOMPARE(w.txtReqID->text(), QStringLiteral("9"));
        QCOMPARE(test::stored(9, "ShortDesc"), QStringLiteral("text:Added"));
    }

    // An empty table: Add New enables the fields, Cancel disables them
    // again; a find finds nothing.
    void emptyTable()
    {
        test::createEmptyDb(f->dir.path());
        frmMain& w = f->started();
        QVERIFY(allEntriesEnabled(false));
        w.cmdAddNew->click();
        QVERIFY(adding() && allEntriesEnabled(true) && !w.txtReqID->isEnabled());
        w.cmdCancel->click();
        QVERIFY(f->browsing() && allEntriesEnabled(false));
        w.FindDialog = [](frmMain&) { FindSQL = QStringLiteral("Select * from Req where CustID = 1"); };
        w.cmdFind->click();
        QCOMPARE(f->p.messageTexts(), QStringList{"No matching records were found."});
        QVERIFY(f->browsing() && allEntriesEnabled(false));
        QCOMPARE(requestCount(), 0);
    }
};

QTEST_MAIN(tst_adding)
#include "tst_adding.moc"
