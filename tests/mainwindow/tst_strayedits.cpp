// Data the user did not mean to write, on the main window: access keys of
// hidden buttons, a customer name that names no customer, dates that are no
// dates (or lie before the year 100), references and texts that the user did
// not touch, empty costing boxes; and how boxes show their text again.
// Each case is played with the keys a user presses and checked in the file.
#include "base/formats.h"
#include "base/globals.h"
#include "dates/datefield.h"
#include "mainwindow/modalboxes.h"
#include "support/mainwindowfixture.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace cvd;
using namespace cvd::test;

namespace {

// Request 2 as the fixture stores it, the fields these tests may touch.
const QStringList Request2{"ShortDesc=text:Spreadsheet crash", "ReqDesc=text:Excel crashes when printing",
                           "CustID=integer:1", "CatID=integer:1", "PaidDate=null:", "DueDate=null:",
                           "AddCharge=integer:0", "HoursTot=integer:1", "Misc1=text:urgent"};

void altKey(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier); }

} // namespace

class tst_strayedits : public QObject {
    Q_OBJECT
    std::unique_ptr<MainWindowFixture> f;

private slots:
    void init() { f = std::make_unique<MainWindowFixture>(); }
    void cleanup() { f.reset(); }

    // An access key whose button is hidden (Cancel and Update while
    // browsing; the navigation buttons, Delete, Find and Add New while
    // editing) does nothing to the control with the focus: it types no
    // letter, picks no entry, starts no edit; a beep at most.  The edit
    // under way is then saved by Alt+U as it was typed.
    void hiddenButtonKeys_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("editing");
        QTest::addColumn<int>("key");
        QTest::newRow("browsing, short description, Alt+C") << "txtShortDesc" << false << int(Qt::Key_C);
        QTest::newRow("browsing, short description, Alt+U") << "txtShortDesc" << false << int(Qt::Key_U);
        QTest::newRow("browsing, request text, Alt+C") << "txtReqDesc" << false << int(Qt::Key_C);
        QTest::newRow("browsing, category list, Alt+H") << "cmbCat" << false << int(Qt::Key_H);
        QTest::newRow("browsing, customer box, Alt+B") << "cmbCust" << false << int(Qt::Key_B);
        QTest::newRow("browsing, no access key, Alt+Z") << "txtMisc1" << false << int(Qt::Key_Z);
        QTest::newRow("editing, short description, Alt+N") << "txtShortDesc" << true << int(Qt::Key_N);
        QTest::newRow("editing, short description, Alt+D") << "txtShortDesc" << true << int(Qt::Key_D);
        QTest::newRow("editing, request text, Alt+A") << "txtReqDesc" << true << int(Qt::Key_A);
        QTest::newRow("editing, hours, Alt+T") << "txtHoursTot" << true << int(Qt::Key_T);
        QTest::newRow("editing, due date, Alt+L") << "dcDueDate" << true << int(Qt::Key_L);
    }
    void hiddenButtonKeys()
    {
        QFETCH(QString, control);
        QFETCH(bool, editing);
        QFETCH(int, key);
        frmMain& w = f->at(2);
        auto* c = w.findChild<QWidget*>(control);
        if (editing) // an edit under way: the short description typed into
            w.txtShortDesc->setText(w.txtShortDesc->text() + QStringLiteral(" at once"));
        QVERIFY(focusInto(c));
        // In a box the cursor goes to the end (in a list any key is an edit).
        if (!qobject_cast<QComboBox*>(c) || qobject_cast<DateField*>(c))
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
        const QStringList before = f->shownRecord();
        // Once with the cursor at the end, once with the whole text selected.
        altKey(Qt::Key(key));
        if (auto* box = qobject_cast<QLineEdit*>(QApplication::focusWidget()))
            box->selectAll();
        altKey(Qt::Key(key));
        QCoreApplication::processEvents();
        QCOMPARE(f->shownRecord(), before);
        QCOMPARE(f->editing(), editing);
        QVERIFY(editing || f->browsing());
        QVERIFY(f->p.beeps <= 2);
        altKey(Qt::Key_U); // saves an edit; nothing while browsing
        QTRY_VERIFY(f->browsing());
        QVERIFY2(f->p.messages.isEmpty(), qPrintable(f->messages()));
        QStringList fileHolds = Request2;
        if (editing)
            fileHolds[0] = QStringLiteral("ShortDesc=text:Spreadsheet crash at once");
        QCOMPARE(stored(2, fileHolds), fileHolds);
    }

    // A customer typed that names no customer is never stored as no
    // customer: leaving the box, or saving by Alt+U without leaving it,
    // says so and puts the focus back, and nothing is written.  Emptied (or
    // cleared with Delete) the box still takes the customer away.
    void customerNamesNoCustomer_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("left by Tab") << "Tab";
        QTest::newRow("saved by Alt+U") << "Alt+U";
        QTest::newRow("Update clicked") << "click";
    }
    void customerNamesNoCustomer()
    {
        QFETCH(QString, how);
        frmMain& w = f->at(2); // Adams, Ann
        QVERIFY(focusInto(w.cmbCust));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
        QCOMPARE(w.cmbCust->currentText(), QStringLiteral("Adams, An"));
        QVERIFY(f->editing());
        if (how == "Tab")
            tabOut();
        else if (how == "Alt+U")
            altKey(Qt::Key_U); // the button is pressed a moment later
        else
            QTest::mouseClick(w.cmdUpdate, Qt::LeftButton);
        QTRY_COMPARE(f->messages(), QStringLiteral("You must choose a customer from the list, or leave the field blank."));
        QCOMPARE(f->p.messages[0].flags, Mb::OkOnly);
        QTRY_VERIFY(focusIsIn(w.cmbCust));
        QVERIFY(f->editing());
        QCOMPARE(w.cmbCust->currentText(), QStringLiteral("Adams, An"));
        QCOMPARE(stored(2, "CustID"), QStringLiteral("integer:1"));

        // The whole text selected and deleted: no customer, without a word.
        w.cmbCust->lineEdit()->selectAll();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
        altKey(Qt::Key_U);
        QTRY_VERIFY(f->browsing());
        QCOMPARE(f->p.messages.size(), 1);
        QCOMPARE(stored(2, "CustID"), QStringLiteral("null:"));
    }

    // Every date field refuses a text that is no date, or a date before the
    // year 100, when it is left and before a save; the paid date too.  A
    // blank due or paid date is allowed.
    void datesChecked_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("how"); // Tab, or Alt+U without leaving
        QTest::addColumn<QString>("message");
        const QString paid = "You must enter a valid paid date, or leave the field blank.";
        const QString due = "You must enter a valid due date, or leave the field blank.";
        QTest::newRow("paid date abc, Tab") << "dcPaidDate" << "abc" << "Tab" << paid;
        QTest::newRow("paid date 2/30/2026, Alt+U") << "dcPaidDate" << "2/30/2026" << "Alt+U" << paid;
        QTest::newRow("paid date in the year 26") << "dcPaidDate" << "01/05/0026" << "Tab" << paid;
        QTest::newRow("due date in the year 26, Tab") << "dcDueDate" << "01/05/0026" << "Tab" << due;
        QTest::newRow("due date in the year 26, Alt+U") << "dcDueDate" << "01/05/0026" << "Alt+U" << due;
        QTest::newRow("due date abc, Alt+U") << "dcDueDate" << "abc" << "Alt+U" << due;
        QTest::newRow("request date in the year 99") << "dcReqDate" << "12/31/0099" << "Tab"
                                                      << "You must enter a valid request date.";
        QTest::newRow("request date abc, Alt+U") << "dcReqDate" << "abc" << "Alt+U"
                                                  << "You must enter a valid request date.";
        QTest::newRow("resolved date in the year 50") << "dcResDate" << "3/5/0050" << "Alt+U"
            << "You must enter a valid resolution date, or leave the field blank";
        QTest::newRow("paid date blank") << "dcPaidDate" << "" << "Alt+U" << "";
        QTest::newRow("paid date 100") << "dcPaidDate" << "1/5/0100" << "Alt+U" << "";
    }
    void datesChecked()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, how);
        QFETCH(QString, message);
        frmMain& w = f->at(2);
        auto* dc = w.findChild<DateField*>(field);
        if (typed.isEmpty()) // a blank date of its own
            QVERIFY(typeInto(dc, QStringLiteral("1/2/1998")));
        QVERIFY(typeInto(dc, typed));
        how == "Tab" ? tabOut() : altKey(Qt::Key_U); // the button is pressed a moment later
        if (!message.isEmpty()) {
            QTRY_COMPARE(f->messages(), message);
            QCOMPARE(f->p.messages[0].flags, Mb::OkOnly);
            QTRY_VERIFY(focusIsIn(dc));
            QVERIFY(f->editing());
            QCOMPARE(dc->currentText(), typed);
            QCOMPARE(stored(2, Request2), Request2);
            return;
        }
        QTRY_VERIFY(f->browsing());
        QCOMPARE(f->messages(), QString());
        QCOMPARE(stored(2, "PaidDate"), typed.isEmpty() ? QStringLiteral("null:") : QStringLiteral("text:0100-01-05"));
    }

    // A request written by another program: its customer and department
    // keys name no record, its Miscellaneous is longer than the box takes,
    // its charge has four decimals, its cost is empty.  Saving a change of
    // another field writes each of them back as it was; a list the user
    // changes is written as chosen.
    void untouchedFieldsKept()
    {
        const QString misc = QStringLiteral("Written elsewhere: ").leftJustified(80, QLatin1Char('x'));
        QVERIFY(execSql(f->dbPath(), qPrintable("update Req set CustID = 99, DeptID = 77, AddCharge = 123456, "
                                                "CostTot = null, Misc1 = '" + misc + "' where ReqID = 2")));
        frmMain& w = f->at(2);
        QVERIFY(w.cmbCust->currentIndex() < 0 && w.cmbDept->currentIndex() < 0);
        QVERIFY(typeInto(w.txtShortDesc, QStringLiteral("Changed")));
        altKey(Qt::Key_U);
        QTRY_VERIFY(f->browsing());
        QVERIFY2(f->p.messages.isEmpty(), qPrintable(f->messages()));
        const QStringList kept{"ShortDesc=text:Changed", "CustID=integer:99", "DeptID=integer:77", "Misc1=text:" + misc,
                               "AddCharge=integer:123456", "CostTot=null:", "CatID=integer:1"};
        QCOMPARE(stored(2, kept), kept);

        // Touched, the department is written as picked, the rest still kept.
        QVERIFY(focusInto(w.cmbDept));
        QTest::keyClick(w.cmbDept, Qt::Key_Down);
        QVERIFY(f->editing());
        altKey(Qt::Key_U);
        QTRY_VERIFY(f->browsing());
        QStringList changed = kept;
        changed[2] = "DeptID=integer:" + w.cmbDept->currentData().toString();
        QVERIFY(changed[2] != kept[2]);
        QCOMPARE(stored(2, changed), changed);
    }

    // Additional Charge, Hours and Minutes may be empty: leaving an empty
    // box costs it as 0 without a message, and a save stores Null there.
    void emptyCostingBoxes()
    {
        frmMain& w = f->at(6); // no additional charge, no cost
        QCOMPARE(w.txtAddCharge->text(), QString());
        QVERIFY(typeInto(w.txtShortDesc, QStringLiteral("Changed")));
        altKey(Qt::Key_U);
        QTRY_VERIFY(f->browsing());
        QVERIFY2(f->p.messages.isEmpty(), qPrintable(f->messages()));
        QCOMPARE(stored(6, QStringList{"ShortDesc=", "AddCharge=", "CostTot="}),
                 (QStringList{"ShortDesc=text:Changed", "AddCharge=null:", "CostTot=null:"}));

        w.cmdPrevious->click(); // request 7: 3 hours, $75.00
        QCOMPARE(w.txtReqID->text(), QStringLiteral("7"));
        for (QLineEdit* box : {w.txtHoursTot, w.txtMinTot, w.txtAddCharge}) {
            QVERIFY(typeInto(box, QString()));
            tabOut();
        }
        QVERIFY2(f->p.messages.isEmpty(), qPrintable(f->messages()));
        QCOMPARE(w.txtCostTot->text(), QStringLiteral("$25.00"));
        altKey(Qt::Key_U);
        QTRY_VERIFY(f->browsing());
        QVERIFY2(f->p.messages.isEmpty(), qPrintable(f->messages()));
        const QStringList fileHolds{"HoursTot=null:", "MinTot=null:", "AddCharge=null:", "CostTot=integer:250000"};
        QCOMPARE(stored(7, fileHolds), fileHolds);
    }

    // Long texts in one-line boxes are shown from their first character.
    void longTextsFromTheStart()
    {
        const QString shortDesc = QStringLiteral("Begins here ").leftJustified(300, QLatin1Char('.'));
        QVERIFY(execSql(f->dbPath(), qPrintable("update Req set ShortDesc = '" + shortDesc
                                                + "', Misc1 = '" + QString(50, QLatin1Char('m')) + "'")));
        frmMain& w = f->at(2);
        w.cmdNext->click();
        w.cmdPrevious->click();
        for (QLineEdit* box : {w.txtShortDesc, w.txtMisc1}) {
            QCOMPARE(box->text().size() > 40, true);
            QCOMPARE(box->cursorPosition(), 0);
        }
        QVERIFY(f->browsing());
    }

    // After a message about a bad number the focus comes back with the
    // box's text selected, so that typing replaces it: also when the
    // activation comes back to the window only after the message box, or
    // never (a desktop without a window manager; the keys still reach the
    // box with the window's focus).
    void badNumberSelectedAgain_data()
    {
        QTest::addColumn<int>("boxes"); // 0: answered at once; 1: activation back later; 2: never back
        QTest::newRow("message answered at once") << 0;
        QTest::newRow("activation back after the box") << 1;
        QTest::newRow("activation not back") << 2;
    }
    void badNumberSelectedAgain()
    {
        QFETCH(int, boxes);
        frmMain& w = f->at(2);
        struct Back { ScriptedPlatform& p; ~Back() { setPlatform(&p); } } back{f->p};
        std::unique_ptr<ModalBoxes> modal;
        if (boxes) {
            modal = std::make_unique<ModalBoxes>();
            modal->activationComesBack = boxes == 1;
        }
        ScriptedPlatform& p = modal ? *modal : f->p;
        QVERIFY(typeInto(w.txtHoursTot, QStringLiteral("1x5")));
        tabOut();
        QCOMPARE(p.messageTexts(), QStringList{QStringLiteral("You must enter a number in the 'Hours' field")});
        QTRY_VERIFY(w.focusWidget() == w.txtHoursTot && (boxes == 2 || w.isActiveWindow()));
        QTRY_COMPARE(w.txtHoursTot->selectedText(), QStringLiteral("1x5"));
        QTest::keyClicks(w.txtHoursTot, QStringLiteral("2"));
        QCOMPARE(w.txtHoursTot->text(), QStringLiteral("2"));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        tabOut();
        QCOMPARE(p.messages.size(), 1);
    }
};

CVD_TEST_MAIN(tst_strayedits)
#include "tst_strayedits.moc"
