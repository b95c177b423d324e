// Editing a request on the main window: what starts an edit and what Update
// stores, the cost, the checks, Cancel, and closing the window meanwhile.
#include "base/formats.h"
#include "base/globals.h"
#include "dates/datefield.h"
#include "support/mainwindowfixture.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace cvd;
using namespace cvd::test;

static QString currencyHeld(const QString& s) { return "integer:" + QString::number(fmt::toCurrency(s).units); }

class tst_editing : public QObject {
    Q_OBJECT
    std::unique_ptr<test::MainWindowFixture> f;

private slots:
    void init() { f = std::make_unique<test::MainWindowFixture>(); }
    void cleanup() { f.reset(); }

    // A key, a click or typing starts an edit; Update stores it.  Request 2:
    // Adams, Accounting, priority Low, Software, $50.00 unpaid, not resolved.
    void editStored_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("key"); // 0: typed or clicked; -1: typed and saved before the list is left
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("fileHolds");
        QTest::newRow("request text") << "txtReqDesc" << 0 << "x" << QStringList{"ReqDesc=text:x"};
        QTest::newRow("Delete in a list") << "cmbCat" << int(Qt::Key_Delete) << "" << QStringList{"CatID=null:"};
        // The completer has not yet put the entry's own case in.
        QTest::newRow("customer saved at once") << "cmbCust" << -1 << "baker, BOB" << QStringList{"CustID=integer:2"};
        QTest::newRow("customer, other case") << "cmbCust" << 0 << "O'NEIL, ZOË" << QStringList{"CustID=integer:3"};
        QTest::newRow("resolved") << "chkResolved" << 0 << "" << QStringList{"Resolved=integer:1"};
        QTest::newRow("Paid Today") << "cmdPaidToday" << 0 << ""
            << QStringList{"AmtPaid=integer:500000", "PaidDate=text:" + QDate::currentDate().toString(Qt::ISODate)};
    }
    void editStored()
    {
        QFETCH(QString, control);
        QFETCH(int, key);
        QFETCH(QString, typed);
        QFETCH(QStringList, fileHolds);
        frmMain& w = f->at(2);
        auto* c = w.findChild<QWidget*>(control);
        if (qobject_cast<QAbstractButton*>(c))
            QTest::mouseClick(c, Qt::LeftButton);
        else if (key < 0)
            w.cmbCust->setEditText(typed);
        else
            QVERIFY(key ? focusInto(c) : typeInto(c, typed));
        if (key > 0)
            QTest::keyClick(c, Qt::Key(key));
        QVERIFY(f->editing());
        if (key >= 0)
            tabOut();
        w.cmdUpdate->click();
        QVERIFY2(f->p.messages.isEmpty(), qPrintable(f->messages()));
        QVERIFY(f->browsing());
        QCOMPARE(stored(2, fileHolds), fileHolds);
    }

    // Rate 40, minimum 25.  The rule itself is tested in tst_costing; here,
    // what is typed reaches it and the file.
    void computeCost_data()
    {
        QTest::addColumn<QString>("hours");
        QTest::addColumn<QString>("minutes");
        QTest::addColumn<QString>("addCharge");
        QTest::addColumn<QString>("cost");
        QTest::newRow("1 h 15 min") << "1" << "15" << "0" << "$50.00";
        QTest::newRow("additional in currency") << "0" << "30" << "$1,234.50" << "$1,254.50";
    }
    void computeCost()
    {
        QFETCH(QString, hours);
        QFETCH(QString, minutes);
        QFETCH(QString, addCharge);
        QFETCH(QString, cost);
        const QString addChargeShown = fmt::currency(fmt::toCurrency(addCharge));
        frmMain& w = f->at(8);
        QVERIFY(typeInto(w.txtHoursTot, hours));
        QVERIFY(typeInto(w.txtMinTot, minutes));
        QTest::mouseClick(w.txtAddCharge, Qt::LeftButton, {}, QPoint(3, w.txtAddCharge->height() / 2));
        QTRY_COMPARE(w.txtAddCharge->selectedText(), QStringLiteral("$0.00")); // a click selects the number
        QTest::keyClicks(w.txtAddCharge, addCharge);
        tabOut();
        QCOMPARE(w.txtCostTot->text() + ' ' + w.txtAddCharge->text(), cost + ' ' + addChargeShown);
        w.cmdUpdate->click();
        QVERIFY2(f->p.messages.isEmpty(), qPrintable(f->messages()));
        const QStringList fileHolds{"CostTot=" + currencyHeld(cost), "AddCharge=" + currencyHeld(addChargeShown)};
        QCOMPARE(stored(8, fileHolds), fileHolds);
    }

    // A changed hourly rate shows only when a costing box is left again;
    // costing alone is no edit.
    void rateChangeShownOnLeaving()
    {
        frmMain& w = f->at(8); // 1 h, $40.00
        DefaultHourlyRate = Currency::fromWhole(60);
        w.cmdNext->click();
        w.cmdPrevious->click();
        w.Form_Activate();
        QCOMPARE(w.txtCostTot->text(), QStringLiteral("$40.00"));
        QVERIFY(focusInto(w.txtMinTot));
        tabOut();
        QCOMPARE(w.txtCostTot->text(), QStringLiteral("$60.00"));
        QVERIFY(f->browsing());
    }

    // Leaving a numeric box or a date field with what it cannot take gets
    // its message; the text and the focus stay.  A blank due date passes.
    void leavingRefused_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        const QString num = "You must enter a number in the '%1' field";
        QTest::newRow("hours") << "txtHoursTot" << "x" << num.arg("Hours");
        QTest::newRow("additional charge") << "txtAddCharge" << "five" << num.arg("Add Charge");
        QTest::newRow("amount paid") << "txtAmtPaid" << "abc" << num.arg("Amount Paid");
        const QString valid = "You must enter a valid %1";
        QTest::newRow("due") << "dcDueDate" << "31/31/99" << valid.arg("due date, or leave the field blank.");
        QTest::newRow("request empty") << "dcReqDate" << "" << valid.arg("request date.");
        QTest::newRow("resolved") << "dcResDate" << "tomorrow" << valid.arg("resolution date, or leave the field blank");
        QTest::newRow("due blank") << "dcDueDate" << "" << "";
    }
    void leavingRefused()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        frmMain& w = f->at(2);
        auto* c = w.findChild<QWidget*>(box);
        QVERIFY(typeInto(c, typed));
        tabOut();
        const bool numeric = box.startsWith("txt");
        QCOMPARE(f->p.messageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
        if (message.isEmpty()) {
            QVERIFY(!focusIsIn(c));
            return;
        }
        QCOMPARE(f->p.messages[0].flags, Mb::OkOnly | (numeric ? Mb::Critical : 0));
        QCOMPARE(f->p.messages[0].title, ProgramTitle);
        QTRY_VERIFY(focusIsIn(c));
        QCOMPARE(c->property(numeric ? "text" : "currentText").toString(), typed);
        QCOMPARE(w.txtCostTot->text(), QStringLiteral("$50.00"));
    }

    void checkFields_data()
    {
        QTest::addColumn<QString>("shortDesc");
        QTest::addColumn<QString>("longDesc");
        QTest::addColumn<QString>("reqDate");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("focus");
        const QString desc = "No Request Description Entered: "
                             "You must enter a short description or a long description.";
        const QString date = "No Request Date Entered: You must enter a request date for this request.";
        QTest::newRow("no description") << "" << "" << "7/4/2001" << QStringList{desc} << "txtShortDesc";
        QTest::newRow("neither") << "" << "" << "" << QStringList{desc, date} << "dcReqDate";
        QTest::newRow("long description only") << "" << "Long" << "7/4/2001" << QStringList{} << "";
        QTest::newRow("blanks count") << "   " << "" << "7/4/2001" << QStringList{} << "";
    }
    void checkFields()
    {
        QFETCH(QString, shortDesc);
        QFETCH(QString, longDesc);
        QFETCH(QString, reqDate);
        QFETCH(QStringList, messages);
        QFETCH(QString, focus);
        frmMain& w = f->at(8);
        QVERIFY(focusInto(w.cmdPaidToday));
        w.txtShortDesc->setText(shortDesc);
        w.txtReqDesc->setPlainText(longDesc);
        w.dcReqDate->setEditText(reqDate);
        w.cmdUpdate->click();
        QStringList seen;
        for (const auto& m : f->p.messages)
            seen << m.title + ": " + m.text + (m.flags == Mb::OkOnly ? "" : " (not just OK)");
        QCOMPARE(seen, messages);
        QCOMPARE(f->editing(), !messages.isEmpty());
        QCOMPARE(stored(8, "ShortDesc"), messages.isEmpty() ? "text:" + shortDesc : QStringLiteral("text:Cable"));
        if (!focus.isEmpty())
            QTRY_VERIFY(focusIsIn(w.findChild<QWidget*>(focus)));
    }

    // Every field as typed (a resolution date ticks Resolved), read back from
    // the file and shown again.
    void updateStoresEveryField()
    {
        frmMain& w = f->at(6);
        const QString shortDesc = QStringLiteral("O'Brien's \"PC\"\t|;%_*#[a] Zoë 李 😀");
        const QString longDesc =
            QStringLiteral("Line with 'quotes', a\ttab | and ; Ångström 李 😀\n").repeated(2200).left(100000);
        const QString resp = QStringLiteral("First line\nSecond; a|b\t'c' -- \"d\"");
        const QString misc = QStringLiteral("Misc 'x' | ; \t Zoë 李 ").leftJustified(50, QLatin1Char('.'));
        w.txtShortDesc->setText(shortDesc);
        w.txtReqDesc->setPlainText(longDesc);
        w.txtResp->setPlainText(resp);
        w.txtMisc1->setText(misc);
        const QList<std::pair<QWidget*, QString>> typed{{w.dcReqDate, "2/29/2000"}, {w.dcDueDate, "3/1/00"},
            {w.dcResDate, "12/31/1999"}, {w.dcPaidDate, "1/2/2001"}, {w.txtHoursTot, "2.5"}, {w.txtMinTot, "7"},
            {w.txtAddCharge, "12.34"}, {w.txtAmtPaid, "1,234.56"}};
        for (const auto& [box, text] : typed)
            QVERIFY(typeInto(box, text));
        tabOut();
        QStringList picks{"O'Neil, Zoë", "Ångström Labs", "Low", "Network", "Ångström, Anders", "Jones, Tom"};
        const QList<QComboBox*> lists{w.cmbCust, w.cmbDept, w.cmbPri, w.cmbCat, w.cmbEnteredBy, w.cmbAssignedTo};
        for (int i = 0; i < lists.size(); ++i)
            lists[i]->setCurrentIndex(lists[i]->findText(picks[i]));
        w.cmdUpdate->click();
        QVERIFY2(f->p.messages.isEmpty(), qPrintable(f->messages()));
        const QStringList fileHolds{"ShortDesc=text:" + shortDesc, "ReqDesc=text:" + longDesc, "Resp=text:" + resp,
            "Misc1=text:" + misc, "HoursTot=real:2.5", "MinTot=integer:7", "ReqDate=text:2000-02-29",
            "DueDate=text:2000-03-01", "ResDate=text:1999-12-31", "PaidDate=text:2001-01-02", "Resolved=integer:1",
            "AddCharge=integer:123400", "AmtPaid=integer:12345600", "CustID=integer:3", "DeptID=integer:2",
            "PriID=integer:2", "CatID=integer:3", "EnteredBy=integer:3", "AssignedTo=integer:2",
            "CostTot=integer:1170100"}; // 100 + 4.6667 + 12.34
        QCOMPARE(stored(6, fileHolds), fileHolds);
        w.cmdNext->click(); // and shown again from the file
        w.cmdPrevious->click();
        const QStringList shown{"6", shortDesc, longDesc, resp, "2/29/2000", "3/1/2000", "12/31/1999", "yes"};
        const QStringList costing{"2.5", "7", "$12.34", "$117.01", "$1,234.56", "1/2/2001", misc};
        QVERIFY(f->shownRecord() == shown + picks + costing); // not compared, for the 100,000 characters
    }

    // Request 6's additional charge and cost are Null: the one box empty,
    // the other showing 0.  Saving another change keeps both Null without a
    // word; an untouched text keeps its own line breaks, a changed one gets
    // the box's.
    void emptyAdditionalChargeKept()
    {
        QVERIFY(test::execSql(f->dbPath(), "update Req set ReqDesc = 'a\rb\r\n', Resp = 'a\r\nb' where ReqID = 6"));
        frmMain& w = f->at(6);
        w.txtShortDesc->setText(QStringLiteral("Changed"));
        w.txtResp->appendPlainText(QStringLiteral("c"));
        w.cmdUpdate->click();
        QVERIFY2(f->p.messages.isEmpty(), qPrintable(f->messages()));
        const QStringList fileHolds{"ShortDesc=text:Changed", "AddCharge=null:", "CostTot=null:",
                                    "ReqDesc=text:a\rb\r\n", "Resp=text:a\r\nb\r\nc"};
        QCOMPARE(stored(6, fileHolds), fileHolds);
    }

    void cancelRestores()
    {
        frmMain& w = f->at(7);
        const QStringList before = f->shownRecord();
        QVERIFY(typeInto(w.txtShortDesc, "Other"));
        QVERIFY(typeInto(w.txtHoursTot, "5"));
        tabOut();
        QTest::mouseClick(w.chkResolved, Qt::LeftButton);
        w.cmbCat->setCurrentIndex(w.cmbCat->findText(QStringLiteral("Network")));
        QTest::mouseClick(w.cmdCancel, Qt::LeftButton);
        QVERIFY(f->browsing());
        QCOMPARE(f->shownRecord(), before);
        const QStringList fileHolds{"ShortDesc=text:Server", "CostTot=integer:750000", "CatID=integer:2"};
        QCOMPARE(stored(7, fileHolds), fileHolds);
    }

    void closeWhileEditing_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("typed"); // empty: the check before saving fails
        QTest::addColumn<QString>("fileHolds");
        QTest::newRow("Yes saves") << int(Answer::Yes) << "Typed" << "text:Typed";
        QTest::newRow("No throws away") << int(Answer::No) << "Typed" << "text:Server";
        QTest::newRow("Cancel stays") << int(Answer::Cancel) << "Typed" << "text:Server";
        QTest::newRow("Yes, but the check fails") << int(Answer::Yes) << "" << "text:Server";
    }
    void closeWhileEditing()
    {
        QFETCH(int, answer);
        QFETCH(QString, typed);
        QFETCH(QString, fileHolds);
        const bool closes = answer != int(Answer::Cancel) && !typed.isEmpty();
        frmMain& w = f->at(7);
        w.txtShortDesc->setText(typed);
        w.txtReqDesc->setPlainText(QString()); // the short description alone decides the check
        f->p.answers << Answer(answer);
        w.close();
        QCOMPARE(f->p.messageTexts().value(0), QStringLiteral("Save the changes to this request?"));
        QCOMPARE(f->p.messages[0].buttons(), Mb::YesNoCancel);
        QCOMPARE(f->p.ended, closes);
        QCOMPARE(stored(7, "ShortDesc"), fileHolds);
        if (!closes)
            QVERIFY(f->editing() && w.txtShortDesc->text() == typed);
    }
};

CVD_TEST_MAIN(tst_editing)
#include "tst_editing.moc"
