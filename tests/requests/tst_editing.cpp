// Editing a request on the main window: what starts an edit, the numeric
// boxes and the cost, the checks before saving, what Update stores (read
// back from the file), Cancel, the date fields' checks, and closing the
// window while a request is being edited.
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
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTemporaryDir>
#include <QtTest>
#include <sqlite3.h>

using namespace cvd;

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

// Types `text` over the whole text of a box or of a drop-down's text part.
bool typeInto(QWidget* c, const QString& text)
{
    if (!focusInto(c))
        return false;
    // An editable drop-down keeps the focus itself and passes the keys on
    // to its text part.
    QWidget* target = QApplication::focusWidget();
    auto* combo = qobject_cast<QComboBox*>(target);
    QLineEdit* edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit*>(target);
    if (!edit)
        return false;
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(target, Qt::Key_Delete);
    for (const QChar ch : text) // as typed, Latin-1 or not
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    return true;
}

// Leaves the control that has the focus with Tab.
void tabOut()
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCoreApplication::processEvents();
}

// The type and the value that the file holds for one field of a request.
QString raw(int reqId, const char* field)
{
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = QByteArray("select typeof(") + field + "), " + field + " from Req where ReqID = "
                           + QByteArray::number(reqId);
    if (sqlite3_prepare_v2(MainDb->handle(), sql.constData(), -1, &st, nullptr) != SQLITE_OK)
        return QStringLiteral("(bad query)");
    QString out = QStringLiteral("(no row)");
    if (sqlite3_step(st) == SQLITE_ROW)
        out = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))) + ':'
              + QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
    sqlite3_finalize(st);
    return out;
}

} // namespace

class tst_editing : public QObject {
    Q_OBJECT
    QTemporaryDir* m_dir = nullptr;
    test::ScriptedPlatform* m_p = nullptr;
    frmMain* m_w = nullptr;

    // The fixture's requests, shown and active, at request `id`.
    frmMain& at(int id)
    {
        frmMain& w = *m_w;
        startUp(w, QStringLiteral("-d ") + m_dir->path());
        w.show();
        w.activateWindow();
        if (!QTest::qWaitForWindowActive(&w))
            qWarning("the main window did not become active");
        for (int i = 0; i < 8 && w.txtReqID->text() != QString::number(id); ++i)
            w.cmdNext->click();
        return w;
    }
    // A field of request `id` as stored.
    Value stored(int id, const char* field)
    {
        auto rs = MainDb->OpenRecordset(QStringLiteral("Select * from Req where ReqID = %1").arg(id),
                                        RecordsetType::Snapshot);
        return rs->Field(QString::fromLatin1(field));
    }
    bool editLayout() const
    {
        const frmMain& w = *m_w;
        bool ok = !w.cmdCancel->isHidden() && !w.cmdUpdate->isHidden() && w.cmdAddNew->isHidden()
                  && !w.mnuExit->isEnabled();
        for (QPushButton* b : {w.cmdFirst, w.cmdPrevious, w.cmdNext, w.cmdLast, w.cmdHelp, w.cmdFind, w.cmdDelete})
            ok = ok && b->isHidden();
        for (int i = 1; i <= 5; ++i)
            ok = ok && !w.mnuMaint[i]->isEnabled();
        return ok;
    }
    bool browseLayout() const
    {
        const frmMain& w = *m_w;
        return !w.Editing && !w.Adding && w.cmdCancel->isHidden() && w.cmdUpdate->isHidden()
               && !w.cmdAddNew->isHidden() && !w.cmdFind->isHidden() && w.mnuExit->isEnabled();
    }
    QString messages() const { return m_p->messageTexts().join(QLatin1Char('\n')); }

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

    void firstEditSwitchesLayout_data()
    {
        QTest::addColumn<QString>("how");
        for (const char* how : {"short description", "request text", "response", "misc", "hours", "due date",
                                "department by keyboard", "Delete in category", "resolved", "paid today"})
            QTest::newRow(how) << how;
    }
    void firstEditSwitchesLayout()
    {
        QFETCH(QString, how);
        frmMain& w = at(7);
        QVERIFY(browseLayout());
        if (how == "short description") QVERIFY(typeInto(w.txtShortDesc, "x"));
        if (how == "request text") { QVERIFY(focusInto(w.txtReqDesc)); QTest::keyClicks(w.txtReqDesc, "x"); }
        if (how == "response") { QVERIFY(focusInto(w.txtResp)); QTest::keyClicks(w.txtResp, "x"); }
        if (how == "misc") QVERIFY(typeInto(w.txtMisc1, "x"));
        if (how == "hours") QVERIFY(typeInto(w.txtHoursTot, "4"));
        if (how == "due date") QVERIFY(typeInto(w.dcDueDate, "1"));
        if (how == "department by keyboard") { QVERIFY(focusInto(w.cmbDept)); QTest::keyClick(w.cmbDept, Qt::Key_Down); }
        if (how == "Delete in category") { QVERIFY(focusInto(w.cmbCat)); QTest::keyClick(w.cmbCat, Qt::Key_Delete); }
        if (how == "resolved") QTest::mouseClick(w.chkResolved, Qt::LeftButton);
        if (how == "paid today") QTest::mouseClick(w.cmdPaidToday, Qt::LeftButton);
        QVERIFY(w.Editing && !w.Adding);
        QVERIFY(editLayout());
        QVERIFY2(m_p->messages.isEmpty(), qPrintable(messages()));
    }

    // The total cost changes by costing only, which is no edit by itself:
    // tabbing through Hours recomputes request 7's cost from 3 h.
    void costAloneIsNoEdit()
    {
        frmMain& w = at(7);
        QCOMPARE(w.txtCostTot->text(), QStringLiteral("$75.00"));
        QVERIFY(focusInto(w.txtHoursTot));
        tabOut();
        QCOMPARE(w.txtCostTot->text(), QStringLiteral("$120.00"));
        w.txtCostTot->setText(QStringLiteral("$1.00"));
        QVERIFY(browseLayout());
        QVERIFY(m_p->messages.isEmpty());
    }

    // Delete or Backspace in a list clears it; Update stores Null.
    void keysClearLists()
    {
        frmMain& w = at(7); // customer 2, priority 1, category 2
        QVERIFY(focusInto(w.cmbCat));
        QTest::keyClick(w.cmbCat, Qt::Key_Delete);
        QVERIFY(focusInto(w.cmbPri));
        QTest::keyClick(w.cmbPri, Qt::Key_Backspace);
        QVERIFY(typeInto(w.cmbCust, QString()));
        QCOMPARE(w.cmbCat->currentIndex(), -1);
        QCOMPARE(w.cmbPri->currentIndex(), -1);
        QVERIFY(w.cmbCust->currentText().isEmpty());
        QVERIFY(editLayout());
        w.cmdUpdate->click();
        QVERIFY2(m_p->messages.isEmpty(), qPrintable(messages()));
        QVERIFY(stored(7, "CatID").isNull());
        QVERIFY(stored(7, "PriID").isNull());
        QVERIFY(stored(7, "CustID").isNull());
        QCOMPARE(stored(7, "DeptID").toLong(), 2);
        QCOMPARE(stored(7, "EnteredBy").toLong(), 1);
        QVERIFY(browseLayout());
        QCOMPARE(w.cmbCat->currentIndex(), -1);
    }

    // Rate 40, minimum 25.
    void computeCost_data()
    {
        QTest::addColumn<QString>("hours");
        QTest::addColumn<QString>("minutes");
        QTest::addColumn<QString>("addCharge");
        QTest::addColumn<QString>("cost");
        QTest::addColumn<QString>("addChargeShown");
        QTest::newRow("1 h 15 min") << "1" << "15" << "$0.00" << "$50.00" << "$0.00";
        QTest::newRow("0 h 15 min: the minimum") << "0" << "15" << "$0.00" << "$25.00" << "$0.00";
        QTest::newRow("minimum with an additional charge") << "0" << "15" << "5" << "$25.00" << "$5.00";
        QTest::newRow("0 h 0 min, additional 5") << "0" << "0" << "5" << "$25.00" << "$5.00";
        QTest::newRow("1 h, additional 5") << "1" << "0" << "5" << "$45.00" << "$5.00";
        QTest::newRow("1 h, additional 30") << "1" << "0" << "30" << "$70.00" << "$30.00";
        QTest::newRow("1.5 h") << "1.5" << "0" << "$0.00" << "$60.00" << "$0.00";
        QTest::newRow("1 h 20 min") << "1" << "20" << "$0.00" << "$53.33" << "$0.00";
        QTest::newRow("2 h 1 min") << "2" << "1" << "$0.00" << "$80.67" << "$0.00";
        QTest::newRow("thousands") << "1,000" << "0" << "$0.00" << "$40,000.00" << "$0.00";
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
        frmMain& w = at(8);
        QVERIFY(typeInto(w.txtHoursTot, hours));
        QVERIFY(typeInto(w.txtMinTot, minutes));
        QVERIFY(typeInto(w.txtAddCharge, addCharge));
        QVERIFY(focusInto(w.txtAmtPaid));
        QVERIFY2(m_p->messages.isEmpty(), qPrintable(messages()));
        QCOMPARE(w.txtCostTot->text(), cost);
        QCOMPARE(w.txtAddCharge->text(), addChargeShown);
        w.cmdUpdate->click();
        QCOMPARE(stored(8, "CostTot").toCurrency().units, fmt::toCurrency(cost).units);
        QCOMPARE(stored(8, "AddCharge").toCurrency().units, fmt::toCurrency(addChargeShown).units);
        QCOMPARE(stored(8, "HoursTot").toSingle(), fmt::toSingle(hours));
    }

    void amountPaid()
    {
        frmMain& w = at(8);
        QVERIFY(typeInto(w.txtAmtPaid, "12.5"));
        tabOut();
        QCOMPARE(w.txtAmtPaid->text(), QStringLiteral("$12.50"));
        QCOMPARE(w.txtCostTot->text(), QStringLiteral("$40.00"));
        w.cmdUpdate->click();
        QCOMPARE(stored(8, "AmtPaid").toCurrency().units, 125000);
        QCOMPARE(stored(8, "CostTot").toCurrency().units, 400000);
    }

    void notANumber_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("hours") << "txtHoursTot" << "x" << "You must enter a number in the 'Hours' field";
        QTest::newRow("hours empty") << "txtHoursTot" << "" << "You must enter a number in the 'Hours' field";
        QTest::newRow("minutes") << "txtMinTot" << "1a" << "You must enter a number in the 'Minutes' field";
        QTest::newRow("additional charge") << "txtAddCharge" << "five" << "You must enter a number in the 'Add Charge' field";
        QTest::newRow("amount paid") << "txtAmtPaid" << "abc" << "You must enter a number in the 'Amount Paid' field";
    }
    void notANumber()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        frmMain& w = at(8);
        auto* b = w.findChild<QLineEdit*>(box);
        QVERIFY(typeInto(b, typed));
        tabOut();
        QCOMPARE(m_p->messageTexts(), QStringList{message});
        QCOMPARE(m_p->messages[0].flags, Mb::OkOnly | Mb::Critical);
        QCOMPARE(m_p->messages[0].title, ProgramTitle);
        QTRY_VERIFY(focusIsIn(b));
        QCOMPARE(b->text(), typed);
        QCOMPARE(w.txtCostTot->text(), QStringLiteral("$40.00"));
        // Put right, the box is left without a word.
        QVERIFY(typeInto(b, "2"));
        tabOut();
        QCOMPARE(m_p->messages.size(), 1);
        QVERIFY(!focusIsIn(b));
    }

    // A numeric box selects its whole text when it gets the focus, so that
    // typing replaces the number.
    void numericBoxSelectsAll_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("byMouse");
        for (const char* box : {"txtHoursTot", "txtMinTot", "txtAddCharge", "txtAmtPaid"}) {
            QTest::newRow(qPrintable(QString(box) + " by Tab")) << box << false;
            QTest::newRow(qPrintable(QString(box) + " by a click")) << box << true;
        }
    }
    void numericBoxSelectsAll()
    {
        QFETCH(QString, box);
        QFETCH(bool, byMouse);
        frmMain& w = at(5); // 2 h 0 min, $20.00 additional, $30.00 paid
        auto* b = w.findChild<QLineEdit*>(box);
        QVERIFY(focusInto(w.txtMisc1));
        if (byMouse)
            QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(3, b->height() / 2));
        else
            QVERIFY(focusInto(b));
        QTRY_COMPARE(b->selectedText(), b->text());
        QVERIFY(!b->text().isEmpty());
        QTest::keyClicks(b, "3");
        QCOMPARE(b->text(), QStringLiteral("3"));
    }

    // A changed hourly rate shows only when a costing box is left again.
    void rateChangeShownOnLeaving()
    {
        frmMain& w = at(8); // 1 h, $40.00
        DefaultHourlyRate = Currency::fromWhole(60);
        w.cmdNext->click();
        w.cmdPrevious->click();
        w.Form_Activate();
        QCOMPARE(w.txtCostTot->text(), QStringLiteral("$40.00"));
        QVERIFY(focusInto(w.txtMinTot));
        tabOut();
        QCOMPARE(w.txtCostTot->text(), QStringLiteral("$60.00"));
    }

    void paidToday()
    {
        frmMain& w = at(2); // $50.00, nothing paid
        QTest::mouseClick(w.cmdPaidToday, Qt::LeftButton);
        QCOMPARE(w.txtAmtPaid->text(), QStringLiteral("$50.00"));
        QCOMPARE(w.dcPaidDate->currentText(), fmt::shortDate(QDate::currentDate()));
        QVERIFY(editLayout());
        w.cmdUpdate->click();
        QCOMPARE(stored(2, "AmtPaid").toCurrency().units, 500000);
        QCOMPARE(stored(2, "PaidDate").toDate(), QDate::currentDate());
    }

    void checkFields_data()
    {
        QTest::addColumn<QString>("shortDesc");
        QTest::addColumn<QString>("longDesc");
        QTest::addColumn<QString>("reqDate");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QString>("focus");
        const QString desc = "No Request Description Entered", date = "No Request Date Entered";
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
        QFETCH(QStringList, titles);
        QFETCH(QString, focus);
        frmMain& w = at(8);
        QVERIFY(focusInto(w.cmdPaidToday));
        w.txtShortDesc->setText(shortDesc);
        w.txtReqDesc->setPlainText(longDesc);
        w.dcReqDate->setEditText(reqDate);
        w.cmdUpdate->click();
        const QHash<QString, QString> texts{
            {"No Request Description Entered", "You must enter a short description or a long description."},
            {"No Request Date Entered", "You must enter a request date for this request."}};
        QStringList seen;
        for (const auto& m : m_p->messages) {
            seen << m.title;
            QCOMPARE(m.flags, Mb::OkOnly);
            QCOMPARE(m.text, texts.value(m.title));
        }
        QCOMPARE(seen, titles);
        if (titles.isEmpty()) {
            QVERIFY(browseLayout());
            QCOMPARE(stored(8, "ShortDesc").toText(), shortDesc);
            QCOMPARE(stored(8, "ReqDesc").toText(), longDesc);
        } else {
            QVERIFY(w.Editing && editLayout());
            QTRY_VERIFY(focusIsIn(w.findChild<QWidget*>(focus)));
            QCOMPARE(stored(8, "ShortDesc").toText(), QStringLiteral("Cable"));
        }
    }

    // Every field as typed, read back from the file and shown again.
    void updateStoresEveryField()
    {
        frmMain& w = at(6);
        const QString shortDesc = QStringLiteral("O'Brien's \"PC\"\t|;%_*#[a] Zoë 李 😀");
        QString longDesc;
        while (longDesc.size() < 100000)
            longDesc += QStringLiteral("Line with 'quotes', a\ttab | and ; Ångström 李 😀\n");
        longDesc.truncate(100000);
        const QString resp = QStringLiteral("First line\nSecond; a|b\t'c' -- \"d\"");
        const QString misc = QStringLiteral("Misc 'x' | ; \t Zoë 李 ").leftJustified(50, QLatin1Char('.'));
        w.txtShortDesc->setText(shortDesc);
        w.txtReqDesc->setPlainText(longDesc);
        w.txtResp->setPlainText(resp);
        w.txtMisc1->setText(misc);
        QVERIFY(typeInto(w.dcReqDate, "2/29/2000"));
        QVERIFY(typeInto(w.dcDueDate, "3/1/00"));
        QVERIFY(typeInto(w.dcResDate, "12/31/1999"));
        QVERIFY(typeInto(w.dcPaidDate, "1/2/2001"));
        QVERIFY(typeInto(w.txtHoursTot, "2.5"));
        QVERIFY(typeInto(w.txtMinTot, "7"));
        QVERIFY(typeInto(w.txtAddCharge, "12.34"));
        QVERIFY(typeInto(w.txtAmtPaid, "1,234.56"));
        tabOut();
        QVERIFY(w.chkResolved->isChecked()); // by leaving the resolved date
        w.cmbCust->setCurrentIndex(w.cmbCust->findText(QStringLiteral("O'Neil, Zoë")));
        w.cmbDept->setCurrentIndex(w.cmbDept->findText(QStringLiteral("Ångström Labs")));
        w.cmbPri->setCurrentIndex(w.cmbPri->findText(QStringLiteral("Low")));
        w.cmbCat->setCurrentIndex(w.cmbCat->findText(QStringLiteral("Network")));
        w.cmbEnteredBy->setCurrentIndex(w.cmbEnteredBy->findText(QStringLiteral("Ångström, Anders")));
        w.cmbAssignedTo->setCurrentIndex(w.cmbAssignedTo->findText(QStringLiteral("Jones, Tom")));
        QCOMPARE(w.txtCostTot->text(), QStringLiteral("$117.01")); // 100 + 4.6667 + 12.34
        w.cmdUpdate->click();
        QVERIFY2(m_p->messages.isEmpty(), qPrintable(messages()));
        QVERIFY(browseLayout());

        QCOMPARE(stored(6, "ShortDesc").toText(), shortDesc);
        QVERIFY(stored(6, "ReqDesc").toText() == longDesc);
        QCOMPARE(stored(6, "Resp").toText(), resp);
        QCOMPARE(stored(6, "Misc1").toText(), misc);
        QCOMPARE(stored(6, "HoursTot").toSingle(), 2.5f);
        QCOMPARE(stored(6, "MinTot").toSingle(), 7.0f);
        const QStringList fileHolds{raw(6, "ReqDate"), raw(6, "DueDate"), raw(6, "ResDate"), raw(6, "PaidDate"),
                                    raw(6, "Resolved"), raw(6, "AddCharge"),
                                    raw(6, "CostTot"), raw(6, "AmtPaid"), raw(6, "CustID"), raw(6, "DeptID"),
                                    raw(6, "PriID"), raw(6, "CatID"), raw(6, "EnteredBy"), raw(6, "AssignedTo")};
        QCOMPARE(fileHolds, (QStringList{"text:2000-02-29", "text:2000-03-01", "text:1999-12-31", "text:2001-01-02",
                                         "integer:1", "integer:123400", "integer:1170100",
                                         "integer:12345600", "integer:3", "integer:2", "integer:2", "integer:3",
                                         "integer:3", "integer:2"}));

        // Shown again from the file, exactly as typed.
        w.cmdFirst->click();
        QVERIFY(w.cmdNext->isVisible());
        for (int i = 0; i < 8 && w.txtReqID->text() != "6"; ++i)
            w.cmdNext->click();
        QCOMPARE(w.txtShortDesc->text(), shortDesc);
        QVERIFY(w.txtReqDesc->toPlainText() == longDesc);
        QCOMPARE(w.txtResp->toPlainText(), resp);
        QCOMPARE(w.txtMisc1->text(), misc);
        QCOMPARE(w.dcReqDate->currentText(), QStringLiteral("2/29/2000"));
        QCOMPARE(w.txtAmtPaid->text(), QStringLiteral("$1,234.56"));
        QCOMPARE(w.cmbCust->currentText(), QStringLiteral("O'Neil, Zoë"));
        QVERIFY(!w.Editing);
    }

    // The request and response texts keep their kind of line break: as
    // stored when not touched, and throughout when the user changed them.
    void lineBreaksKept_data()
    {
        QTest::addColumn<QString>("original");
        QTest::addColumn<QString>("appended");
        QTest::addColumn<QString>("fileHolds");
        QTest::newRow("CR LF untouched") << "a\r\nb\r\n" << "" << "a\r\nb\r\n";
        QTest::newRow("LF untouched") << "a\nb" << "" << "a\nb";
        QTest::newRow("lone CR untouched") << "a\rb" << "" << "a\rb";
        QTest::newRow("CR LF, a line added") << "a\r\nb" << "\nc" << "a\r\nb\r\nc";
        QTest::newRow("LF, a line added") << "a\nb" << "\nc" << "a\nb\nc";
    }
    void lineBreaksKept()
    {
        QFETCH(QString, original);
        QFETCH(QString, appended);
        QFETCH(QString, fileHolds);
        const QString sql = "update Req set ReqDesc = '" + original + "', Resp = '" + original + "' where ReqID = 8";
        QVERIFY(test::execSql(m_dir->filePath("cvd.mdb"), sql.toUtf8().constData()));
        frmMain& w = at(8);
        w.txtShortDesc->setText(QStringLiteral("Touched"));
        if (!appended.isEmpty()) {
            QTextCursor end = w.txtResp->textCursor();
            end.movePosition(QTextCursor::End);
            end.insertText(appended);
        }
        w.cmdUpdate->click();
        QVERIFY2(m_p->messages.isEmpty(), qPrintable(messages()));
        QCOMPARE(stored(8, "ReqDesc").toText(), original);
        QCOMPARE(stored(8, "Resp").toText(), fileHolds);
    }

    // Request 6's additional charge is Null and its box empty: storing it
    // fails with error 13, reported; every other field is still written.
    void emptyAdditionalChargeReported()
    {
        frmMain& w = at(6);
        w.txtShortDesc->setText(QStringLiteral("Changed"));
        w.cmdUpdate->click();
        QCOMPARE(m_p->messages.size(), 1);
        QVERIFY2(m_p->messages[0].text.startsWith(QStringLiteral("13  ")), qPrintable(messages()));
        QCOMPARE(m_p->messages[0].flags, Mb::OkOnly);
        QCOMPARE(m_p->messages[0].title, ProgramTitle);
        QCOMPARE(stored(6, "ShortDesc").toText(), QStringLiteral("Changed"));
        QVERIFY(stored(6, "AddCharge").isNull());
        QCOMPARE(stored(6, "AssignedTo").toLong(), 2);
        QCOMPARE(raw(6, "CostTot"), QStringLiteral("integer:0"));
        QVERIFY(browseLayout());
    }

    void cancelRestores()
    {
        frmMain& w = at(7);
        QVERIFY(typeInto(w.txtShortDesc, "Other"));
        QVERIFY(typeInto(w.txtHoursTot, "5"));
        tabOut();
        QCOMPARE(w.txtCostTot->text(), QStringLiteral("$200.00"));
        QTest::mouseClick(w.chkResolved, Qt::LeftButton);
        w.cmbCat->setCurrentIndex(w.cmbCat->findText(QStringLiteral("Network")));
        QTest::mouseClick(w.cmdCancel, Qt::LeftButton);
        QVERIFY(browseLayout());
        QCOMPARE(w.cmdAddNew->text(), QStringLiteral("&Add New"));
        const QStringList shown{w.txtShortDesc->text(), w.txtHoursTot->text(), w.txtCostTot->text(),
                                w.cmbCat->currentText(), w.chkResolved->isChecked() ? "yes" : "no"};
        QCOMPARE(shown, (QStringList{"Server", "3", "$75.00", "Hardware", "no"}));
        QCOMPARE(stored(7, "ShortDesc").toText(), QStringLiteral("Server"));
        QCOMPARE(stored(7, "HoursTot").toSingle(), 3.0f);
        QCOMPARE(stored(7, "CostTot").toCurrency().units, 750000);
        QCOMPARE(stored(7, "CatID").toLong(), 2);
        QCOMPARE(stored(7, "Resolved").toBool(), false);
        w.cmdNext->click();
        QCOMPARE(w.txtReqID->text(), QStringLiteral("6"));
    }

    void dateFieldsLeft_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("fileHolds"); // after Update, when no message
        const QString due = "You must enter a valid due date, or leave the field blank.";
        const QString res = "You must enter a valid resolution date, or leave the field blank";
        const QString req = "You must enter a valid request date.";
        QTest::newRow("due 31/31/99") << "dcDueDate" << "31/31/99" << due << "";
        QTest::newRow("due tomorrow") << "dcDueDate" << "tomorrow" << due << "";
        QTest::newRow("due empty") << "dcDueDate" << "" << "" << "null:";
        QTest::newRow("due valid") << "dcDueDate" << "7/5/01" << "" << "text:2001-07-05";
        QTest::newRow("request empty") << "dcReqDate" << "" << req << "";
        QTest::newRow("request 31/31/99") << "dcReqDate" << "31/31/99" << req << "";
        QTest::newRow("request February 30") << "dcReqDate" << "2/30/2001" << req << "";
        QTest::newRow("resolved tomorrow") << "dcResDate" << "tomorrow" << res << "";
        QTest::newRow("resolved empty") << "dcResDate" << "" << "" << "null:";
        QTest::newRow("resolved valid") << "dcResDate" << "6/2/1999" << "" << "text:1999-06-02";
    }
    void dateFieldsLeft()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, fileHolds);
        frmMain& w = at(7); // not resolved, no dates but the request date
        auto* dc = w.findChild<DateField*>(field);
        QVERIFY(typeInto(dc, typed));
        tabOut();
        QCOMPARE(m_p->messageTexts(), message.isEmpty() ? QStringList{} : QStringList{message});
        if (!message.isEmpty()) {
            QCOMPARE(m_p->messages[0].flags, Mb::OkOnly);
            QCOMPARE(m_p->messages[0].title, ProgramTitle);
            QTRY_VERIFY(focusIsIn(dc));
            QCOMPARE(dc->currentText(), typed);
            return;
        }
        QVERIFY(!focusIsIn(dc));
        const bool ticks = field == "dcResDate" && !typed.isEmpty();
        QCOMPARE(w.chkResolved->isChecked(), ticks);
        w.cmdUpdate->click();
        QCOMPARE(raw(7, field.mid(2).toLatin1().constData()), fileHolds);
        QCOMPARE(raw(7, "Resolved"), ticks ? QStringLiteral("integer:1") : QStringLiteral("integer:0"));
    }

    void closeWhileEditing_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("descriptionsEmptied");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QString>("fileHolds");
        QTest::newRow("Yes saves") << int(Answer::Yes) << false << true << "Typed";
        QTest::newRow("No throws away") << int(Answer::No) << false << true << "Server";
        QTest::newRow("Cancel stays") << int(Answer::Cancel) << false << false << "Server";
        QTest::newRow("Yes, but the check fails") << int(Answer::Yes) << true << false << "Server";
    }
    void closeWhileEditing()
    {
        QFETCH(int, answer);
        QFETCH(bool, descriptionsEmptied);
        QFETCH(bool, closes);
        QFETCH(QString, fileHolds);
        frmMain& w = at(7);
        w.txtShortDesc->setText(descriptionsEmptied ? QString() : QStringLiteral("Typed"));
        if (descriptionsEmptied)
            w.txtReqDesc->setPlainText(QString());
        m_p->answers << Answer(answer);
        w.close();
        QVERIFY(!m_p->messages.isEmpty());
        QCOMPARE(m_p->messages[0].text, QStringLiteral("Save the changes to this request?"));
        QCOMPARE(m_p->messages[0].buttons(), Mb::YesNoCancel);
        QCOMPARE(m_p->ended, closes);
        QCOMPARE(w.isVisible(), !closes);
        QCOMPARE(stored(7, "ShortDesc").toText(), fileHolds);
        if (!closes) {
            QVERIFY(w.Editing && editLayout());
            QCOMPARE(w.txtShortDesc->text(), descriptionsEmptied ? QString() : QStringLiteral("Typed"));
        }
    }

    // A customer typed into the list is stored when its text names an
    // entry, in any case; any other text stores no customer.
    void typedCustomer_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("fileHolds");
        QTest::addColumn<QString>("shownAfter");
        QTest::newRow("other case") << "adams, ann" << "integer:1" << "Adams, Ann";
        QTest::newRow("upper case, accents") << "O'NEIL, ZOË" << "integer:3" << "O'Neil, Zoë";
        QTest::newRow("one name") << "李" << "integer:4" << "李";
        QTest::newRow("no such customer") << "Nobody" << "null:" << "";
        QTest::newRow("longer than an entry") << "Adams, Annie" << "null:" << "";
    }
    void typedCustomer()
    {
        QFETCH(QString, typed);
        QFETCH(QString, fileHolds);
        QFETCH(QString, shownAfter);
        frmMain& w = at(7); // Baker, Bob
        QVERIFY(typeInto(w.cmbCust, typed));
        tabOut();
        QVERIFY(w.Editing);
        w.cmdUpdate->click();
        QVERIFY2(m_p->messages.isEmpty(), qPrintable(messages()));
        QCOMPARE(raw(7, "CustID"), fileHolds);
        QCOMPARE(w.cmbCust->currentText(), shownAfter);
    }
};

QTEST_MAIN(tst_editing)
#include "tst_editing.moc"
