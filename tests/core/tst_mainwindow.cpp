// The main window's shell: controls at their design places, menus, the
// look-up lists, help calls, the about box and closing.
#include "core/database.h"
#include "core/elasticpanel.h"
#include "core/frmabout.h"
#include "core/frmmain.h"
#include "core/globals.h"
#include "core/lookuplists.h"
#include "core/startup.h"
#include "dates/datefield.h"
#include "support/fixturedb.h"
#include "support/scriptedplatform.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace cvd;

namespace {

QStringList entries(const QComboBox* c)
{
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i) + '=' + c->itemData(i).toString();
    return out;
}

} // namespace

class tst_mainwindow : public QObject {
    Q_OBJECT
    QTemporaryDir* m_dir = nullptr;
    test::ScriptedPlatform* m_p = nullptr;
    frmMain* m_w = nullptr;

    // A started main window on the fixture database.
    frmMain& started()
    {
        startUp(*m_w, QStringLiteral("-d ") + m_dir->path());
        return *m_w;
    }

private slots:
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

    // Every control sits at its design place, scaled, with its label right
    // above it; no label or control covers another (Cancel and Update share
    // the places of Delete and Find, and are never shown with them).
    void layout()
    {
        frmMain& w = *m_w;
        const ElasticPanel* panel = w.VideoSoftElastic1;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(panel->size(), panel->designPixels());
        QList<QWidget*> kids;
        int labelled = 0;
        for (QWidget* k : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const QRect r = panel->designRect(k);
            if (r.isEmpty())
                continue;
            QCOMPARE(k->geometry(), panel->toPixels(r));
            if (const QLabel* l = w.labelOf(k)) {
                ++labelled;
                const QRect lr = panel->designRect(l);
                QCOMPARE(lr.left(), r.left());
                QVERIFY2(lr.bottom() < r.top() && r.top() - lr.bottom() <= 60, qPrintable(k->objectName()));
            }
            if (k != w.cmdCancel && k != w.cmdUpdate)
                kids << k;
        }
        QCOMPARE(labelled, 20);
        for (int i = 0; i < kids.size(); ++i)
            for (int j = i + 1; j < kids.size(); ++j)
                QVERIFY2(!panel->designRect(kids[i]).intersects(panel->designRect(kids[j])),
                         qPrintable(kids[i]->objectName() + " / " + kids[j]->objectName()));

        // Resized, the panel keeps the controls in proportion.
        w.resize(w.size() + panel->designPixels());
        QTRY_COMPARE(panel->size(), panel->designPixels() * 2);
        const QRect g = w.cmdHelp->geometry();
        const QSize d = panel->designPixels();
        QVERIFY(qAbs(g.left() - 2 * 6840 * d.width() / 9360) <= 1);
        QVERIFY(qAbs(g.width() - 2 * 1815 * d.width() / 9360) <= 2);
        QVERIFY(qAbs(g.top() - 2 * 5400 * d.height() / 6000) <= 1);
        QVERIFY(w.cmdHelp->font().pointSizeF() > panel->parentWidget()->font().pointSizeF() * 0.9);
    }

    void kindsAndStates()
    {
        frmMain& w = *m_w;
        QVERIFY(!w.txtReqID->isEnabled() && !w.txtCostTot->isEnabled());
        for (QComboBox* d : std::initializer_list<QComboBox*>{w.dcReqDate, w.dcDueDate, w.dcResDate, w.dcPaidDate, w.cmbCust})
            QVERIFY(d->isEditable());
        for (QComboBox* l : {w.cmbDept, w.cmbPri, w.cmbCat, w.cmbEnteredBy, w.cmbAssignedTo})
            QVERIFY(!l->isEditable());
        QCOMPARE(w.txtMisc1->maxLength(), 50);
        QCOMPARE(w.property("helpContextId").toInt(), 6);
    }

    void tabOrder()
    {
        frmMain& w = *m_w;
        w.show();
        const QStringList expected{"txtShortDesc", "txtReqDesc", "chkResolved", "dcResDate", "txtMisc1", "txtResp",
                                   "dcReqDate", "dcDueDate", "cmbEnteredBy", "cmbAssignedTo", "cmbCust", "cmbDept",
                                   "cmbPri", "cmbCat", "txtHoursTot", "txtMinTot", "txtAddCharge", "cmdPaidToday",
                                   "txtAmtPaid", "dcPaidDate", "cmdFirst", "cmdPrevious", "cmdNext", "cmdLast",
                                   "cmdAddNew", "cmdDelete", "cmdFind", "cmdHelp"};
        QStringList seen;
        QWidget* x = w.txtShortDesc;
        do {
            if (x->isVisible() && x->isEnabled() && (x->focusPolicy() & Qt::TabFocus) && !x->objectName().isEmpty()
                && x->parentWidget() == w.VideoSoftElastic1)
                seen << x->objectName();
            x = x->nextInFocusChain();
        } while (x != w.txtShortDesc && seen.size() < 60);
        QCOMPARE(seen, expected);
    }

    void menusWhileEditing()
    {
        frmMain& w = started();
        const QStringList offWhileEditing{"mnuExit", "mnuMaint1", "mnuMaint2", "mnuMaint3", "mnuMaint4", "mnuMaint5"};
        const QList<QAction*> all = w.findChildren<QAction*>(QRegularExpression("^mnu"));
        QCOMPARE(all.size(), 22);
        w.EditLayout();
        for (QAction* a : all)
            QVERIFY2(a->isEnabled() == !offWhileEditing.contains(a->objectName()), qPrintable(a->objectName()));
        QVERIFY(!w.cmdCancel->isHidden() && !w.cmdUpdate->isHidden());
        for (QPushButton* b : {w.cmdFirst, w.cmdPrevious, w.cmdNext, w.cmdLast, w.cmdHelp, w.cmdFind, w.cmdDelete})
            QVERIFY(b->isHidden());
        QVERIFY(!w.cmdAddNew->isHidden());
        w.BrowseLayout();
        for (QAction* a : all)
            QVERIFY(a->isEnabled());
        QVERIFY(w.cmdCancel->isHidden() && w.cmdUpdate->isHidden() && !w.cmdFind->isHidden());
    }

    // The Maintain menu picks the window; the report target is one of two.
    void menuChoices()
    {
        frmMain& w = *m_w;
        w.mnuMaint[4]->trigger();
        QCOMPARE(CodesMode, 2);
        w.mnuMaint[1]->trigger();
        QCOMPARE(CodesMode, 1);
        QVERIFY(w.mnuRptOut[1]->isChecked() && !w.mnuRptOut[2]->isChecked());
        w.mnuRptOut[2]->trigger();
        w.mnuRptOut[2]->trigger();
        QVERIFY(!w.mnuRptOut[1]->isChecked() && w.mnuRptOut[2]->isChecked());
        w.mnuRptOut[1]->trigger();
        QVERIFY(w.mnuRptOut[1]->isChecked() && !w.mnuRptOut[2]->isChecked());
    }

    void listsFilledOnActivation()
    {
        frmMain& w = started();
        MainDb->Execute(QStringLiteral("insert into Customers (FirstName, LastName) values ('Madonna', Null)"));
        w.Form_Activate();
        QVERIFY2(m_p->messages.isEmpty(), qPrintable(m_p->messageTexts().join('\n')));
        QCOMPARE(entries(w.cmbCat), (QStringList{"Hardware=2", "Network=3", "Software=1"}));
        QCOMPARE(entries(w.cmbPri), (QStringList{"High=1", "Low=2", "Medium=3"}));
        QCOMPARE(entries(w.cmbDept), (QStringList{"Accounting=1", "Zeta Corp=3", "Ångström Labs=2"}));
        const QStringList custs = entries(w.cmbCust);
        QCOMPARE(custs.size(), 5);
        QVERIFY(custs.contains("Madonna=5"));
        QVERIFY(custs.contains("O'Neil, Zoë=3"));
        QVERIFY(custs.contains("李=4"));
        QCOMPARE(custs.indexOf("Adams, Ann=1") + 1, custs.indexOf("Baker, Bob=2"));
        QCOMPARE(entries(w.cmbEnteredBy), (QStringList{"Jones, Tom=2", "Smith, Jane=1", "Ångström, Anders=3"}));
        QCOMPARE(entries(w.cmbAssignedTo), entries(w.cmbEnteredBy));
        QCOMPARE(cvd::nameRule(Value("Ångström"), Value(" ")), QStringLiteral("Ångström,  ")); // a blank is a first name
        QVERIFY(!CatListChanged && !CustListChanged && !DeptListChanged && !PriListChanged && !StaffListChanged);
        // Request 8: no customer, no department, category 3, priority 3, entered by 1, assigned to 3.
        QCOMPARE(w.txtReqID->text(), QStringLiteral("8"));
        QStringList shown;
        for (QComboBox* c : {w.cmbCust, w.cmbDept, w.cmbCat, w.cmbPri, w.cmbEnteredBy, w.cmbAssignedTo})
            shown << QString::number(c->currentIndex() < 0 ? -1 : 0) + c->currentText();
        QCOMPARE(shown, (QStringList{"-1", "-1", "0Network", "0Medium", "0Smith, Jane", "0Ångström, Anders"}));
        QVERIFY(!w.Editing && w.cmdCancel->isHidden());
    }

    // A list is reloaded only when its flag is set; the shown request, or
    // the user's choice while editing, stays selected.
    void reloadOnlyWhenFlagged()
    {
        frmMain& w = started();
        w.Form_Activate();
        MainDb->Execute(QStringLiteral("insert into Categories (CatDesc) values ('Accounts')"));
        MainDb->Execute(QStringLiteral("insert into Priorities (PriDesc) values ('Urgent')"));
        w.Form_Activate();
        QCOMPARE(w.cmbCat->count(), 3);
        CatListChanged = true;
        w.Form_Activate();
        QCOMPARE(entries(w.cmbCat), (QStringList{"Accounts=4", "Hardware=2", "Network=3", "Software=1"}));
        QVERIFY(!CatListChanged);
        QCOMPARE(w.cmbPri->count(), 3); // its flag was not set
        QCOMPARE(w.cmbCat->currentText(), QStringLiteral("Network"));

        w.Editing = true;
        w.EditLayout();
        w.cmbCat->setCurrentIndex(1); // the user picked Hardware
        MainDb->Execute(QStringLiteral("insert into Categories (CatDesc) values ('Email')"));
        CatListChanged = true;
        w.Form_Activate();
        QCOMPARE(w.cmbCat->count(), 5);
        QCOMPARE(w.cmbCat->currentText(), QStringLiteral("Hardware"));
        QVERIFY(w.Editing && !w.cmdCancel->isHidden());
    }

    void helpCalls()
    {
        frmMain& w = started();
        const QString file = m_dir->path() + QStringLiteral("/cvd.hlp");
        for (QAction* a : w.mnuHelp)
            if (a)
                a->trigger();
        QTest::mouseClick(w.cmdHelp, Qt::LeftButton);
        QStringList calls;
        for (const auto& c : m_p->helpCalls)
            calls << QStringLiteral("%1 %2 %3").arg(c.file).arg(c.command).arg(c.data);
        QCOMPARE(calls, (QStringList{QStringLiteral("%1 %2 0").arg(file).arg(Help::Context),
                                     QStringLiteral("%1 %2 0").arg(file).arg(Help::PartialKey),
                                     QStringLiteral(" %1 0").arg(Help::HelpOnHelp),
                                     QStringLiteral("%1 %2 0").arg(file).arg(Help::Context)}));
    }

    void f1OpensHelpAtTheControl_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<quint32>("context");
        QTest::newRow("hours") << "txtHoursTot" << 22u;
        QTest::newRow("customer") << "cmbCust" << 19u;
        QTest::newRow("find button") << "cmdFind" << 12u;
        QTest::newRow("help button") << "cmdHelp" << 43u;
    }
    void f1OpensHelpAtTheControl()
    {
        QFETCH(QString, control);
        QFETCH(quint32, context);
        frmMain& w = started();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto* c = w.findChild<QWidget*>(control);
        c->setFocus();
        QTRY_VERIFY(QApplication::focusWidget() && (c == QApplication::focusWidget() || c->isAncestorOf(QApplication::focusWidget())));
        m_p->helpCalls.clear();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        QCOMPARE(m_p->helpCalls.size(), 1);
        QCOMPARE(m_p->helpCalls[0].file, HelpFilePath);
        QCOMPARE(m_p->helpCalls[0].command, Help::Context);
        QCOMPARE(m_p->helpCalls[0].data, context);
    }

    void aboutBox()
    {
        frmMain& w = *m_w;
        w.mnuAbout->trigger();
        frmAbout* a = w.aboutBox();
        QVERIFY(a);
        QVERIFY(a->isVisible());
        QCOMPARE(a->windowTitle(), QStringLiteral("About Calvedon"));
        w.mnuAbout->trigger();
        QCOMPARE(w.aboutBox(), a); // the same box, brought forward
        QTest::mouseClick(a->cmdOk, Qt::LeftButton);
        QTRY_VERIFY(!w.aboutBox());
    }

    void closingEndsTheProgram()
    {
        frmMain& w = started();
        w.show();
        // While browsing nothing is asked.
        w.mnuExit->trigger();
        QVERIFY(m_p->ended);
        QCOMPARE(m_p->exitCode, 0);
        QVERIFY(m_p->messages.isEmpty());
    }
};

QTEST_MAIN(tst_mainwindow)
#include "tst_mainwindow.moc"
