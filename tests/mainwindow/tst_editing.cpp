// Editing a request on the main window: what starts an edit and what Update
// stores, the cost, the checks of each entry and before a save, and the
// references and texts the user did not touch, which are not written.  Each
// case is played with the keys a user presses and checked in the file.
// (Update, Cancel, other desks and closing: tst_recordwindow.)
#include "base/globals.h"
#include "dates/datefield.h"
#include "support/mainwindowfixture.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace cvd;
using namespace cvd::test;

class tst_editing : public QObject {
    Q_OBJECT
    std::unique_ptr<MainWindowFixture> f;

private slots:
    void init() { f = std::make_unique<MainWindowFixture>(); }
    void cleanup() { f.reset(); }

    // A key, a click or typing starts an edit; Update stores it.  Request 2:
    // Adams, Accounting, priority Low, Software, $50.00 unpaid, not resolved.
    void editStored_data()
    {
        // key 0: typed or clicked; -1: typed and saved before the list is left
        columns<QString, int, QString, QStringList>("control", "key", "typed", "fileHolds");
        QTest::newRow("request text") << "txtReqDesc" << 0 << "x" << QStringList{"ReqDesc=text:x"};
        QTest::newRow("Delete in a list") << "cmbCat" << int(Qt::Key_Delete) << "" << QStringList{"CatID=null:"};
        // The completer has not yet put the entry's own case in.
        QTest::newRow("customer saved at once") << "cmbCust" << -1 << "baker, BOB" << QStringList{"CustID=integer:2"};
        QTest::newRow("customer, other case") << "cmbCust" << 0 << "O'NEIL, ZOË" << QStringList{"CustID=integer:3"};
        QTest::newRow("customer emptied") << "cmbCust" << 0 << "" << QStringList{"CustID=null:"};
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
        QVERIFY2(f->saved(), qPrintable(f->messages()));
        QCOMPARE(stored(2, fileHolds), fileHolds);
    }

    // Rate 40, minimum 25.  The rule itself is tested in tst_costing; here,
    // what is typed reaches it and the file.  A click in Additional Charge
    // selects its number; an empty box is costed as 0, without a message,
    // and stored as Null.
    void computeCost_data()
    {
        // shown: the cost, then the additional charge
        columns<QString, QString, QString, QString>("hours", "minutes", "addCharge", "shown");
        QTest::addColumn<QStringList>("fileHolds");
        QTest::newRow("1 h 15 min") << "1" << "15" << "0" << "$50.00 $0.00"
                                    << QStringList{"CostTot=integer:500000", "AddCharge=integer:0"};
        QTest::newRow("additional in currency") << "0" << "30" << "$1,234.50" << "$1,254.50 $1,234.50"
                                                << QStringList{"CostTot=integer:12545000", "AddCharge=integer:12345000"};
        QTest::newRow("every box emptied") << "" << "" << "" << "$25.00 "
            << QStringList{"HoursTot=null:", "MinTot=null:", "AddCharge=null:", "CostTot=integer:250000"};
    }
    void computeCost()
    {
        QFETCH(QString, hours);
        QFETCH(QString, minutes);
        QFETCH(QString, addCharge);
        QFETCH(QStringList, fileHolds);
        frmMain& w = f->at(8);
        QVERIFY(typeInto(w.txtHoursTot, hours));
        QVERIFY(typeInto(w.txtMinTot, minutes));
        QTest::mouseClick(w.txtAddCharge, Qt::LeftButton, {}, QPoint(3, w.txtAddCharge->height() / 2));
        QTRY_COMPARE(w.txtAddCharge->selectedText(), QStringLiteral("$0.00"));
        addCharge.isEmpty() ? QTest::keyClick(w.txtAddCharge, Qt::Key_Delete) : QTest::keyClicks(w.txtAddCharge, addCharge);
        tabOut();
        QTEST(w.txtCostTot->text() + ' ' + w.txtAddCharge->text(), "shown");
        QVERIFY2(f->saved(), qPrintable(f->messages()));
        QCOMPARE(stored(8, fileHolds), fileHolds);
    }

    // An entry that cannot be stored as it is (a number, a date, before the
    // year 100 too, a customer named but not in the list), on leaving its
    // control or on a save without leaving it (Alt+U, the button pressed a
    // moment later, or Update clicked): its message (critical for a
    // number), and the text, the edit and the focus stay, a number's text
    // selected to be typed over; nothing is written.  A blank due or paid
    // date, and the year 100, are taken and saved.
    void entryRefused_data()
    {
        // how: Tab, Alt+U or Update; message: empty: taken
        columns<QString, QString, QString, QString>("box", "typed", "how", "message");
        const QString num = "You must enter a number in the '%1' field";
        QTest::newRow("hours") << "txtHoursTot" << "x" << "Tab" << num.arg("Hours");
        const QString due = "You must enter a valid due date, or leave the field blank.";
        QTest::newRow("due 31/31/99") << "dcDueDate" << "31/31/99" << "Tab" << due;
        QTest::newRow("due in the year 26, Alt+U") << "dcDueDate" << "01/05/0026" << "Alt+U" << due;
        const QString req = "You must enter a valid request date.";
        QTest::newRow("request date empty") << "dcReqDate" << "" << "Tab" << req;
        const QString res = "You must enter a valid resolution date, or leave the field blank";
        QTest::newRow("resolved in the year 50, Alt+U") << "dcResDate" << "3/5/0050" << "Alt+U" << res;
        const QString paid = "You must enter a valid paid date, or leave the field blank.";
        QTest::newRow("paid 2/30/2026, Alt+U") << "dcPaidDate" << "2/30/2026" << "Alt+U" << paid;
        const QString cust = "You must choose a customer from the list, or leave the field blank.";
        QTest::newRow("customer named not in the list") << "cmbCust" << "Adams, An" << "Tab" << cust;
        QTest::newRow("customer named, Update") << "cmbCust" << "Adams, An" << "Update" << cust;
        QTest::newRow("due blank") << "dcDueDate" << "" << "Tab" << "";
        QTest::newRow("paid in the year 100, Alt+U") << "dcPaidDate" << "1/5/0100" << "Alt+U" << "";
    }
    void entryRefused()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, how);
        QFETCH(QString, message);
        frmMain& w = f->at(2); // $50.00
        const QString before = storedRow(2);
        auto* c = w.findChild<QWidget*>(box);
        QVERIFY(!typed.isEmpty() || typeInto(c, "1/2/1998")); // a blank of its own
        QVERIFY(typeInto(c, typed));
        if (auto* list = qobject_cast<QComboBox*>(c); list && list->currentText() != typed)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete); // what the completer added
        if (how == "Tab")
            tabOut();
        else
            how == "Alt+U" ? QTest::keyClick(QApplication::focusWidget(), Qt::Key_U, Qt::AltModifier)
                           : QTest::mouseClick(w.cmdUpdate, Qt::LeftButton);
        QTRY_COMPARE(f->messages(), message);
        if (message.isEmpty()) {
            QVERIFY(how != "Tab" || !focusIsIn(c));
            QVERIFY(f->saved(true));
            const QDate date = QDate::fromString(typed, "M/d/yyyy");
            QCOMPARE(stored(2, box.mid(2)), typed.isEmpty() ? "null:" : "text:" + date.toString(Qt::ISODate));
            return;
        }
        const bool numeric = box.startsWith("txt");
        QVERIFY(f->p.messages[0].flags == (Mb::OkOnly | (numeric ? Mb::Critical : 0)) && f->p.messages[0].title == ProgramTitle);
        QTRY_VERIFY(focusIsIn(c) && f->editing());
        QCOMPARE(c->property(numeric ? "text" : "currentText").toString(), typed);
        if (numeric)
            QTRY_COMPARE(c->property("selectedText").toString(), typed);
        QVERIFY(w.txtCostTot->text() == "$50.00" && storedRow(2) == before);
    }

    void checkFields_data()
    {
        columns<QString, QString, QString, QStringList, QString>("shortDesc", "longDesc", "reqDate", "messages", "focus");
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
        QVERIFY(seen == messages && f->editing() == !messages.isEmpty());
        QCOMPARE(stored(8, "ShortDesc"), messages.isEmpty() ? "text:" + shortDesc : QStringLiteral("text:Cable"));
        if (!focus.isEmpty())
            QTRY_VERIFY(focusIsIn(w.findChild<QWidget*>(focus)));
    }

    // Every field as typed (a resolution date ticks Resolved), read back from
    // the file.  (Shown from the file: tst_requests.)
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
        QVERIFY2(f->saved(), qPrintable(f->messages()));
        const QStringList fileHolds{"ShortDesc=text:" + shortDesc, "ReqDesc=text:" + longDesc, "Resp=text:" + resp,
            "Misc1=text:" + misc, "HoursTot=real:2.5", "MinTot=integer:7", "ReqDate=text:2000-02-29",
            "DueDate=text:2000-03-01", "ResDate=text:1999-12-31", "PaidDate=text:2001-01-02", "Resolved=integer:1",
            "AddCharge=integer:123400", "AmtPaid=integer:12345600", "CustID=integer:3", "DeptID=integer:2",
            "PriID=integer:2", "CatID=integer:3", "EnteredBy=integer:3", "AssignedTo=integer:2",
            "CostTot=integer:1170100"}; // 100 + 4.6667 + 12.34
        QCOMPARE(stored(6, fileHolds), fileHolds);
    }

    // A request written by another program: its customer and department
    // keys name no record, its Miscellaneous is longer than the box takes,
    // its charge has four decimals, its cost is empty, its texts have line
    // breaks of their own.  Saving a change of another field writes each of
    // them back as it was (a changed text gets the box's line breaks).  (A
    // list the user changes is written as chosen: editStored.)
    void untouchedFieldsKept()
    {
        const QString misc = QStringLiteral("Written elsewhere: ").leftJustified(80, QLatin1Char('x'));
        QVERIFY(execSql(f->location, qPrintable("update Req set CustID = 99, DeptID = 77, AddCharge = 123456, "
                                                "CostTot = null, ReqDesc = 'a\rb\r\n', Resp = 'a\r\nb', Misc1 = '" + misc
                                                + "' where ReqID = 2")));
        frmMain& w = f->at(2);
        QVERIFY(typeInto(w.txtShortDesc, QStringLiteral("Changed")));
        w.txtResp->appendPlainText(QStringLiteral("c"));
        QVERIFY2(f->saved(true), qPrintable(f->messages()));
        const QStringList kept{"ShortDesc=text:Changed", "CustID=integer:99", "DeptID=integer:77", "Misc1=text:" + misc,
                               "AddCharge=integer:123456", "CostTot=null:", "CatID=integer:1",
                               "ReqDesc=text:a\rb\r\n", "Resp=text:a\r\nb\r\nc"};
        QCOMPARE(stored(2, kept), kept);
    }
};

CVD_TEST_MAIN(tst_editing)
#include "tst_editing.moc"
