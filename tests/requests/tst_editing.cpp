// Editing a request on the main window: what starts an edit and what Update
// stores, the cost, the checks, Cancel, and closing the window meanwhile.
#include "core/formats.h"
#include "core/globals.h"
#include "dates/datefield.h"
#include "support/mainwindowfixture.h"
#include "support/testfiles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace cvd;
using test::stored;

namespace {

bool focusIsIn(const QWidget* c)
{
    const QWidget* f = QApplication::focusWidget();
    return f && (f == c || c->isAncestorOf(f));
}

// Puts the focus into a control as the Tab key would.
bool focusInto(QWidget* c)
{
    c->setFocus(Qt::TabFocusReason);
    const bool ok = QTest::qWaitFor([c] { return focusIsIn(c); });
    QCoreApplication::processEvents(); // a box selects its text once it has the focus
    return ok;
}

// Types `text` over the whole text of a box or of a drop-down's text part
// (an editable drop-down keeps the focus and passes the keys on).
bool typeInto(QWidget* c, const QString& text)
{
    if (!focusInto(c))
        return false;
    QWidget* target = QApplication::focusWidget();
    auto* combo = qobject_cast<QComboBox*>(target);
    if (!QMetaObject::invokeMethod(combo ? combo->lineEdit() : target, "selectAll"))
        return false;
    QTest::keyClick(target, Qt::Key_Delete);
    for (const QChar ch : text) // as typed, Latin-1 or not
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    return true;
}

void tabOut()
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCoreApplication::processEvents();
}

QString currencyHeld(const QString& shown) { return "integer:" + QString::number(fmt::toCurrency(shown).units); }

} // namespace

class tst_editing : public QObject {
    Q_OBJECT
    std::unique_ptr<test::MainWindowFixture> f;

    // An edit under way as the user sees it (the whole layout is the main window's test).
    bool editLayout() const
    {
        const frmMain& w = *f->w;
        return w.Editing && !w.Adding && !w.cmdUpdate->isHidden() && w.cmdNext->isHidden() && w.cmdAddNew->isHidden();
    }

private slots:
    void init() { f = std::make_unique<test::MainWindowFixture>(); }
    void cleanup() { f.reset(); }

    // A key, a click or typing starts an edit; Update stores it.  Request 2:
    // Adams, Accounting, priority Low, Software, $50.00 unpaid, not resolved.
    void editStored_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("key"); // 0: typed or clicked
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("fileHolds");
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        QTest::newRow("request text") << "txtReqDesc" << 0 << "x" << QStringList{"ReqDesc=text:x"};
        QTest::newRow("Delete in a list") << "cmbCat" << int(Qt::Key_Delete) << "" << QStringList{"CatID=null:"};
        QTest::newRow("Backspace in a list") << "cmbPri" << int(Qt::Key_Backspace) << "" << QStringList{"PriID=null:"};
        QTest::newRow("Down in a list") << "cmbDept" << int(Qt::Key_Down) << "" << QStringList{"DeptID=integer:3"};
        QTest::newRow("customer in other case") << "cmbCust" << 0 << "baker, bob" << QStringList{"CustID=integer:2"};
        QTest::newRow("customer, upper case accents") << "cmbCust" << 0 << "O'NEIL, ZOË" << QStringList{"CustID=integer:3"};
        QTest::newRow("no such customer") << "cmbCust" << 0 << "Nobody" << QStringList{"CustID=null:"};
        QTest::newRow("due date") << "dcDueDate" << 0 << "7/5/01" << QStringList{"DueDate=text:2001-07-05"};
        QTest::newRow("resolution date ticks resolved")
            << "dcResDate" << 0 << "6/2/1999" << QStringList{"ResDate=text:1999-06-02", "Resolved=integer:1"};
        QTest::newRow("resolved") << "chkResolved" << 0 << "" << QStringList{"Resolved=integer:1"};
        QTest::newRow("Paid Today") << "cmdPaidToday" << 0 << ""
                                    << QStringList{"AmtPaid=integer:500000", "PaidDate=text:" + today};
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
        else
            QVERIFY(key ? focusInto(c) : typeInto(c, typed));
        if (key)
            QTest::keyClick(c, Qt::Key(key));
        QVERIFY(editLayout());
        tabOut();
        w.cmdUpdate->click();
        QVERIFY2(f->p.messages.isEmpty(), qPrintable(f->messages()));
        QVERIFY(f->browsing());
        QCOMPARE(stored(2, fileHolds), fileHolds);
    }

    // A customer typed and saved while the list still has the focus (its
    // completer has not yet put the entry's own case in).
    void typedCustomerSavedAtOnce()
    {
        frmMain& w = f->at(2);
        w.cmbCust->setEditText(QStringLiteral("baker, BOB"));
        w.cmdUpdate->click();
        QCOMPARE(stored(2, QStringLiteral("CustID")), QStringLiteral("integer:2"));
    }

    // Rate 40, minimum 25; $12.50 paid each time.
    void computeCost_data()
    {
        QTest::addColumn<QString>("hours");
        QTest::addColumn<QString>("minutes");
        QTest::addColumn<QString>("addCharge");
        QTest::addColumn<QString>("cost");
        QTest::addColumn<QString>("addChargeShown");
        QTest::newRow("1 h 15 min") << "1" << "15" << "0" << "$50.00" << "$0.00";
        QTest::newRow("0 h 15 min: the minimum") << "0" << "15" << "0" << "$25.00" << "$0.00";
        QTest::newRow("minimum with an additional charge") << "0" << "15" << "5" << "$25.00" << "$5.00";
        QTest::newRow("1.5 h") << "1.5" << "0" << "0" << "$60.00" << "$0.00";
        QTest::newRow("2 h 1 min, rounded") << "2" << "1" << "0" << "$80.67" << "$0.00";
        QTest::newRow("thousands") << "1,000" << "0" << "0" << "$40,000.00" << "$0.00";
        QTest::newRow("additional in currency") << "0" << "30" << "$1,234.50" << "$1,254.50" << "$1,234.50";
        QTest::newRow("negative additional") << "2" << "0" << "-5" << "$75.00" << "($5.00)";
    }
    void computeCost()
    {
        QFETCH(QString, hours);
        QFETCH(QString, minutes);
        QFETCH(QString, addCharge);
        QFETCH(QString, cost);
        QFETCH(QString, addChargeShown);
        frmMain& w = f->at(8);
        QVERIFY(typeInto(w.txtHoursTot, hours));
        QVERIFY(typeInto(w.txtMinTot, minutes));
        QTest::mouseClick(w.txtAddCharge, Qt::LeftButton, {}, QPoint(3, w.txtAddCharge->height() / 2));
        QTRY_COMPARE(w.txtAddCharge->selectedText(), QStringLiteral("$0.00")); // a click selects the number
        QTest::keyClicks(w.txtAddCharge, addCharge);
        QVERIFY(typeInto(w.txtAmtPaid, "12.5"));
        tabOut();
        QCOMPARE(QStringList({w.txtCostTot->text(), w.txtAddCharge->text(), w.txtAmtPaid->text()}),
                 QStringList({cost, addChargeShown, "$12.50"}));
        w.cmdUpdate->click();
        QVERIFY2(f->p.messages.isEmpty(), qPrintable(f->messages()));
        const QStringList fileHolds{"CostTot=" + currencyHeld(cost), "AddCharge=" + currencyHeld(addChargeShown),
                                    "AmtPaid=integer:125000"};
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
        w.txtCostTot->setText(QStringLiteral("$1.00"));
        QVERIFY(f->browsing());
    }

    // Leaving a numeric box or a date field with what it cannot take gets
    // its message; the text and the focus stay.
    void leavingRefused_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        const QString num = "You must enter a number in the '%1' field";
        const QString due = "You must enter a valid due date, or leave the field blank.";
        const QString res = "You must enter a valid resolution date, or leave the field blank";
        const QString req = "You must enter a valid request date.";
        QTest::newRow("hours") << "txtHoursTot" << "x" << num.arg("Hours");
        QTest::newRow("hours empty") << "txtHoursTot" << "" << num.arg("Hours");
        QTest::newRow("minutes") << "txtMinTot" << "1a" << num.arg("Minutes");
        QTest::newRow("additional charge") << "txtAddCharge" << "five" << num.arg("Add Charge");
        QTest::newRow("amount paid") << "txtAmtPaid" << "abc" << num.arg("Amount Paid");
        QTest::newRow("due 31/31/99") << "dcDueDate" << "31/31/99" << due;
        QTest::newRow("request empty") << "dcReqDate" << "" << req;
        QTest::newRow("request February 30") << "dcReqDate" << "2/30/2001" << req;
        QTest::newRow("resolved tomorrow") << "dcResDate" << "tomorrow" << res;
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
        QCOMPARE(f->p.messageTexts(), QStringList{message});
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
        const QString desc = "No Request Description Entered: You must enter a short description or a long description.";
        const QString date = "No Request Date Entered: You must enter a request date for this request.";
        QTest::newRow("no description") << "" << "" << "7/4/2001" << QStringList{desc} << "txtShortDesc";
        QTest::newRow("no request date") << "x" << "" << "" << QStringList{date} << "dcReqDate";
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
        for (const auto& m : f->p.messages) {
            seen << m.title + ": " + m.text;
            QCOMPARE(m.flags, Mb::OkOnly);
        }
        QCOMPARE(seen, messages);
        QCOMPARE(editLayout(), !messages.isEmpty());
        QCOMPARE(stored(8, "ShortDesc"), messages.isEmpty() ? "text:" + shortDesc : QStringLiteral("text:Cable"));
        if (!focus.isEmpty())
            QTRY_VERIFY(focusIsIn(w.findChild<QWidget*>(focus)));
    }

    // Every field as typed, read back from the file and shown again.
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
        const QList<std::pair<QWidget*, QString>> typed{
            {w.dcReqDate, "2/29/2000"}, {w.dcDueDate, "3/1/00"}, {w.dcResDate, "12/31/1999"}, {w.dcPaidDate, "1/2/2001"},
            {w.txtHoursTot, "2.5"}, {w.txtMinTot, "7"}, {w.txtAddCharge, "12.34"}, {w.txtAmtPaid, "1,234.56"}};
        for (const auto& [box, text] : typed)
            QVERIFY(typeInto(box, text));
        tabOut();
        const QStringList picks{"O'Neil, Zoë", "Ångström Labs", "Low", "Network", "Ångström, Anders", "Jones, Tom"};
        const QList<QComboBox*> lists{w.cmbCust, w.cmbDept, w.cmbPri, w.cmbCat, w.cmbEnteredBy, w.cmbAssignedTo};
        for (int i = 0; i < lists.size(); ++i)
            lists[i]->setCurrentIndex(lists[i]->findText(picks[i]));
        w.cmdUpdate->click();
        QVERIFY2(f->p.messages.isEmpty(), qPrintable(f->messages()));
        const QStringList fileHolds{
            "ShortDesc=text:" + shortDesc, "Resp=text:" + resp, "Misc1=text:" + misc, "HoursTot=real:2.5",
            "MinTot=integer:7", "ReqDate=text:2000-02-29", "DueDate=text:2000-03-01", "ResDate=text:1999-12-31",
            "PaidDate=text:2001-01-02", "Resolved=integer:1", "AddCharge=integer:123400", "AmtPaid=integer:12345600",
            "CustID=integer:3", "DeptID=integer:2", "PriID=integer:2", "CatID=integer:3", "EnteredBy=integer:3",
            "AssignedTo=integer:2", "CostTot=integer:1170100"}; // 100 + 4.6667 + 12.34
        QCOMPARE(stored(6, fileHolds), fileHolds);
        QVERIFY(stored(6, "ReqDesc") == "text:" + longDesc);

        w.cmdNext->click(); // and shown again from the file
        w.cmdPrevious->click();
        QCOMPARE(QStringList({w.txtShortDesc->text(), w.txtResp->toPlainText(), w.txtMisc1->text(),
                              w.dcReqDate->currentText(), w.txtAmtPaid->text(), w.cmbCust->currentText()}),
                 QStringList({shortDesc, resp, misc, "2/29/2000", "$1,234.56", "O'Neil, Zoë"}));
        QVERIFY(w.txtReqDesc->toPlainText() == longDesc);
    }

    // An untouched text keeps its line breaks; a changed one gets their kind throughout.
    void lineBreaksKept()
    {
        QVERIFY(test::execSql(f->dbPath(), "update Req set ReqDesc = 'a\rb\r\n', Resp = 'a\r\nb' where ReqID = 8"));
        frmMain& w = f->at(8);
        w.txtResp->appendPlainText(QStringLiteral("c"));
        w.cmdUpdate->click();
        QCOMPARE(stored(8, "ReqDesc"), QStringLiteral("text:a\rb\r\n"));
        QCOMPARE(stored(8, "Resp"), QStringLiteral("text:a\r\nb\r\nc"));
    }

    // Request 6's additional charge is Null and its box empty: storing it
    // fails with error 13, reported; every other field is still written.
    void emptyAdditionalChargeReported()
    {
        frmMain& w = f->at(6);
        w.txtShortDesc->setText(QStringLiteral("Changed"));
        w.cmdUpdate->click();
        QVERIFY2(f->p.messages.size() == 1 && f->messages().startsWith("13  "), qPrintable(f->messages()));
        QCOMPARE(f->p.messages[0].flags, Mb::OkOnly);
        QCOMPARE(f->p.messages[0].title, ProgramTitle);
        const QStringList fileHolds{"ShortDesc=text:Changed", "AddCharge=null:", "AssignedTo=integer:2", "CostTot=integer:0"};
        QCOMPARE(stored(6, fileHolds), fileHolds);
    }

    void cancelRestores()
    {
        frmMain& w = f->at(7);
        QVERIFY(typeInto(w.txtShortDesc, "Other"));
        QVERIFY(typeInto(w.txtHoursTot, "5"));
        tabOut();
        QTest::mouseClick(w.chkResolved, Qt::LeftButton);
        w.cmbCat->setCurrentIndex(w.cmbCat->findText(QStringLiteral("Network")));
        QTest::mouseClick(w.cmdCancel, Qt::LeftButton);
        QVERIFY(f->browsing());
        const QStringList shown{w.txtShortDesc->text(), w.txtHoursTot->text(), w.txtCostTot->text(),
                                w.cmbCat->currentText(), w.chkResolved->isChecked() ? "yes" : "no"};
        QCOMPARE(shown, (QStringList{"Server", "3", "$75.00", "Hardware", "no"}));
        const QStringList fileHolds{"ShortDesc=text:Server", "CostTot=integer:750000", "CatID=integer:2", "Resolved=integer:0"};
        QCOMPARE(stored(7, fileHolds), fileHolds);
        w.cmdNext->click();
        QCOMPARE(w.txtReqID->text(), QStringLiteral("6"));
    }

    void closeWhileEditing_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("typed"); // empty: the check before saving fails
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QString>("fileHolds");
        QTest::newRow("Yes saves") << int(Answer::Yes) << "Typed" << true << "text:Typed";
        QTest::newRow("No throws away") << int(Answer::No) << "Typed" << true << "text:Server";
        QTest::newRow("Cancel stays") << int(Answer::Cancel) << "Typed" << false << "text:Server";
        QTest::newRow("Yes, but the check fails") << int(Answer::Yes) << "" << false << "text:Server";
    }
    void closeWhileEditing()
    {
        QFETCH(int, answer);
        QFETCH(QString, typed);
        QFETCH(bool, closes);
        QFETCH(QString, fileHolds);
        frmMain& w = f->at(7);
        w.txtShortDesc->setText(typed);
        if (typed.isEmpty())
            w.txtReqDesc->setPlainText(QString());
        f->p.answers << Answer(answer);
        w.close();
        QCOMPARE(f->p.messageTexts().value(0), QStringLiteral("Save the changes to this request?"));
        QCOMPARE(f->p.messages[0].buttons(), Mb::YesNoCancel);
        QCOMPARE(f->p.ended, closes);
        QCOMPARE(stored(7, "ShortDesc"), fileHolds);
        if (!closes)
            QVERIFY(editLayout() && w.txtShortDesc->text() == typed);
    }
};

QTEST_MAIN(tst_editing)
#include "tst_editing.moc"
