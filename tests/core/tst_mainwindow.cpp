// The main window's shell: controls at their design places, menus, the
// look-up lists, help calls, the about box and closing.
#include "core/database.h"
#include "core/elasticpanel.h"
#include "core/frmabout.h"
#include "core/frmmain.h"
#include "core/globals.h"
#include "core/lookuplists.h"
#include "core/startup.h"
#include "support/fixturedb.h"
#include "support/scriptedplatform.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
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

QStringList menuLayout(const QMenu* m)
{
    QStringList out;
    for (const QAction* a : m->actions())
        out << (a->isSeparator() ? QStringLiteral("-") : a->objectName() + ' ' + a->text());
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

    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<int>("help");
        QTest::addColumn<QString>("caption"); // label above, or the control's own caption
        auto row = [](const char* n, QRect r, int h, const char* c) { QTest::newRow(n) << n << r << h << QString::fromUtf8(c); };
        row("txtShortDesc", {240, 360, 3255, 285}, 15, "Short Description");
        row("txtReqID", {3840, 360, 975, 285}, 15, "Request Num");
        row("txtReqDesc", {240, 1080, 4575, 1215}, 15, "Request Description");
        row("chkResolved", {240, 2520, 1095, 375}, 16, "Resolved");
        row("dcResDate", {1440, 2760, 1560, 315}, 16, "Resolved Date");
        row("txtMisc1", {3120, 2760, 1695, 285}, 16, "Miscellaneous");
        row("txtResp", {240, 3240, 4575, 1215}, 16, "Response");
        row("dcReqDate", {5040, 360, 2040, 315}, 17, "Request Date");
        row("dcDueDate", {7320, 360, 2040, 315}, 17, "Due Date");
        row("cmbEnteredBy", {5040, 1080, 2055, 315}, 18, "Entered By");
        row("cmbAssignedTo", {7320, 1080, 1935, 315}, 18, "Assigned To");
        row("cmbCust", {5040, 1800, 2055, 315}, 19, "Customer");
        row("cmbDept", {7320, 1800, 1935, 315}, 19, "Department/Company");
        row("cmbPri", {5040, 2520, 2055, 315}, 20, "Priority");
        row("cmbCat", {7320, 2520, 1935, 315}, 21, "Category");
        row("txtHoursTot", {5040, 3360, 615, 285}, 22, "Hours");
        row("txtMinTot", {5760, 3360, 615, 285}, 22, "Minutes");
        row("txtAddCharge", {6720, 3360, 1095, 285}, 22, "Additional  Charge");
        row("txtCostTot", {8160, 3360, 1095, 285}, 22, "Total Cost");
        row("cmdPaidToday", {5040, 3960, 1215, 375}, 22, "Paid Today");
        row("txtAmtPaid", {6480, 4080, 1215, 285}, 22, "Amount Paid");
        row("dcPaidDate", {7920, 4080, 1320, 315}, 22, "Paid Date");
        row("cmdFirst", {720, 4680, 1815, 495}, 13, "Firs&t");
        row("cmdPrevious", {2760, 4680, 1815, 495}, 13, "&Previous");
        row("cmdNext", {4800, 4680, 1815, 495}, 13, "&Next");
        row("cmdLast", {6840, 4680, 1815, 495}, 13, "&Last");
        row("cmdAddNew", {720, 5400, 1815, 495}, 7, "&Add New");
        row("cmdDelete", {2760, 5400, 1815, 495}, 11, "&Delete");
        row("cmdFind", {4800, 5400, 1815, 495}, 12, "F&ind");
        row("cmdHelp", {6840, 5400, 1815, 495}, 43, "Help");
        row("cmdCancel", {2760, 5400, 1695, 495}, 9, "&Cancel");
        row("cmdUpdate", {4800, 5400, 1695, 495}, 8, "&Update");
    }
    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        QFETCH(int, help);
        QFETCH(QString, caption);
        frmMain& w = *m_w;
        QWidget* c = w.findChild<QWidget*>(name);
        QVERIFY(c);
        QCOMPARE(c->parentWidget(), w.VideoSoftElastic1);
        QCOMPARE(w.VideoSoftElastic1->designRect(c), rect);
        QCOMPARE(c->property("helpContextId").toInt(), help);
        QCOMPARE(c->geometry(), w.VideoSoftElastic1->toPixels(rect));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.VideoSoftElastic1->size(), w.VideoSoftElastic1->designPixels());
        QCOMPARE(c->geometry(), w.VideoSoftElastic1->toPixels(rect));
        if (auto* b = qobject_cast<QAbstractButton*>(c)) {
            QCOMPARE(b->text(), caption);
            QVERIFY(!w.labelOf(c));
        } else {
            QLabel* l = w.labelOf(c);
            QVERIFY(l);
            QCOMPARE(l->text(), caption);
            // The label stands directly above its control.
            const QRect lr = w.VideoSoftElastic1->designRect(l);
            QCOMPARE(lr.left(), rect.left());
            QVERIFY(lr.bottom() < rect.top());
            QVERIFY(rect.top() - lr.bottom() <= 60);
        }
    }

    // No label or control covers another (Cancel and Update share the
    // places of Delete and Find, and are never shown with them).
    void nothingOverlaps()
    {
        const ElasticPanel* panel = m_w->VideoSoftElastic1;
        QList<QWidget*> kids;
        for (QWidget* k : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!panel->designRect(k).isEmpty() && k->objectName() != "cmdCancel" && k->objectName() != "cmdUpdate")
                kids << k;
        QVERIFY(kids.size() > 40);
        for (int i = 0; i < kids.size(); ++i)
            for (int j = i + 1; j < kids.size(); ++j)
                QVERIFY2(!panel->designRect(kids[i]).intersects(panel->designRect(kids[j])),
                         qPrintable(kids[i]->objectName() + " / " + kids[j]->objectName()));
    }

    void kindsAndStates()
    {
        frmMain& w = *m_w;
        QVERIFY(!w.txtReqID->isEnabled());
        QCOMPARE(w.txtReqID->focusPolicy(), Qt::NoFocus);
        QVERIFY(!w.txtCostTot->isEnabled());
        QVERIFY(w.cmdCancel->isHidden() && w.cmdUpdate->isHidden());
        for (QComboBox* d : {w.dcReqDate, w.dcDueDate, w.dcResDate, w.dcPaidDate, w.cmbCust})
            QVERIFY(d->isEditable());
        for (QComboBox* l : {w.cmbDept, w.cmbPri, w.cmbCat, w.cmbEnteredBy, w.cmbAssignedTo})
            QVERIFY(!l->isEditable());
        QCOMPARE(w.txtMisc1->maxLength(), 50);
        QCOMPARE(w.windowTitle(), QStringLiteral("Calvedon"));
        QCOMPARE(w.property("helpContextId").toInt(), 6);
        QCOMPARE(w.VideoSoftElastic1->designTwips(), QSize(9360, 6000));
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

    void keepsProportionsWhenResized()
    {
        frmMain& w = *m_w;
        ElasticPanel* panel = w.VideoSoftElastic1;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(panel->size(), panel->designPixels());
        w.resize(w.size() + panel->designPixels());
        QTRY_COMPARE(panel->size(), panel->designPixels() * 2);
        const QRect design = panel->toPixels(QRect(0, 0, 9360, 6000));
        QCOMPARE(design.size(), panel->designPixels() * 2);
        const QRect g = w.cmdHelp->geometry();
        const QSize d = panel->designPixels();
        QVERIFY(qAbs(g.left() - 2 * 6840 * d.width() / 9360) <= 1);
        QVERIFY(qAbs(g.width() - 2 * 1815 * d.width() / 9360) <= 2);
        QVERIFY(qAbs(g.top() - 2 * 5400 * d.height() / 6000) <= 1);
        QVERIFY(w.cmdHelp->font().pointSizeF() > panel->parentWidget()->font().pointSizeF() * 0.9);
    }

    void menus()
    {
        frmMain& w = *m_w;
        QCOMPARE(menuLayout(w.mnuFile), (QStringList{"mnuDefaults &Maintain Program Defaults", "-", "mnuExit E&xit"}));
        QCOMPARE(menuLayout(w.mnuMaintain), (QStringList{"mnuMaint1 &Categories", "mnuMaint2 &Customers", "mnuMaint3 &Departments",
                                                          "mnuMaint4 &Priorities", "mnuMaint5 &Staff"}));
        QCOMPARE(menuLayout(w.mnuReports),
                 (QStringList{"mnuRptOut1 &View/Print Report", "mnuRptOut2 Send Report to &File", "-",
                              "mnuRpt0 All Requests by Assigned &Staff", "mnuRpt1 All Requests by &Customer",
                              "mnuRpt2 All Requests by &Department", "mnuRpt3 &All Requests by Category", "-",
                              "mnuRptHours &Hours by Staff", "mnuRptCharge0 Charges by Customer",
                              "mnuRptCharge1 Charges by Department", "-", "mnuBill0 Bills by Customer",
                              "mnuBill1 Bills by Department"}));
        QCOMPARE(menuLayout(w.mnuHelpMenu), (QStringList{"mnuHelp1 &Contents", "mnuHelp2 &Search for Help on...",
                                                          "mnuHelp3 &Using Help", "-", "mnuAbout &About the Calvedon Program"}));
        QCOMPARE(w.menuBar()->actions().size(), 4);
        QStringList titles;
        for (QAction* a : w.menuBar()->actions())
            titles << a->text();
        QCOMPARE(titles, (QStringList{"&File", "&Maintain", "&Reports", "&Help"}));
        QVERIFY(w.mnuRptOut[1]->isChecked() && !w.mnuRptOut[2]->isChecked());
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

    void maintainMenuSetsCodesMode()
    {
        frmMain& w = *m_w;
        w.mnuMaint[4]->trigger();
        QCOMPARE(CodesMode, 2);
        w.mnuMaint[2]->trigger();
        QCOMPARE(CodesMode, 2);
        w.mnuMaint[1]->trigger();
        QCOMPARE(CodesMode, 1);
    }

    void reportTargetChoice()
    {
        frmMain& w = *m_w;
        w.mnuRptOut[2]->trigger();
        QVERIFY(!w.mnuRptOut[1]->isChecked() && w.mnuRptOut[2]->isChecked());
        w.mnuRptOut[2]->trigger();
        QVERIFY(!w.mnuRptOut[1]->isChecked() && w.mnuRptOut[2]->isChecked());
        w.mnuRptOut[1]->trigger();
        QVERIFY(w.mnuRptOut[1]->isChecked() && !w.mnuRptOut[2]->isChecked());
    }

    void nameRule_data()
    {
        QTest::addColumn<cvd::Value>("last");
        QTest::addColumn<cvd::Value>("first");
        QTest::addColumn<QString>("text");
        QTest::newRow("both") << Value("Smith") << Value("Jane") << "Smith, Jane";
        QTest::newRow("last only") << Value("李") << Value() << "李";
        QTest::newRow("last, empty first") << Value("Adams") << Value("") << "Adams";
        QTest::newRow("first only") << Value() << Value("Zoë") << "Zoë";
        QTest::newRow("neither") << Value() << Value() << "";
        QTest::newRow("apostrophe") << Value("O'Neil") << Value("Zoë") << "O'Neil, Zoë";
        QTest::newRow("blank first kept") << Value("Ångström") << Value(" ") << "Ångström,  ";
    }
    void nameRule()
    {
        QFETCH(cvd::Value, last);
        QFETCH(cvd::Value, first);
        QFETCH(QString, text);
        QCOMPARE(cvd::nameRule(last, first), text);
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
        QVERIFY(!CatListChanged && !CustListChanged && !DeptListChanged && !PriListChanged && !StaffListChanged);
        // Request 8: no customer, no department, category 3, priority 3, entered by 1, assigned to 3.
        QCOMPARE(w.txtReqID->text(), QStringLiteral("8"));
        QCOMPARE(w.cmbCust->currentIndex(), -1);
        QCOMPARE(w.cmbCust->currentText(), QString());
        QCOMPARE(w.cmbDept->currentIndex(), -1);
        QCOMPARE(w.cmbCat->currentText(), QStringLiteral("Network"));
        QCOMPARE(w.cmbPri->currentText(), QStringLiteral("Medium"));
        QCOMPARE(w.cmbEnteredBy->currentText(), QStringLiteral("Smith, Jane"));
        QCOMPARE(w.cmbAssignedTo->currentText(), QStringLiteral("Ångström, Anders"));
        QVERIFY(!w.Editing && w.cmdCancel->isHidden());
    }

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
        // The shown request keeps its category after the reload.
        QCOMPARE(w.cmbCat->currentText(), QStringLiteral("Network"));
    }

    void reloadWhileEditingKeepsTheUsersChoice()
    {
        frmMain& w = started();
        w.Form_Activate();
        w.Editing = true;
        w.EditLayout();
        w.cmbCat->setCurrentIndex(0); // the user picked Hardware
        MainDb->Execute(QStringLiteral("insert into Categories (CatDesc) values ('Accounts')"));
        CatListChanged = true;
        w.Form_Activate();
        QCOMPARE(w.cmbCat->count(), 4);
        QCOMPARE(w.cmbCat->currentText(), QStringLiteral("Hardware"));
        QVERIFY(w.Editing);
        QVERIFY(!w.cmdCancel->isHidden());
    }

    void helpCalls()
    {
        frmMain& w = started();
        const QString file = m_dir->path() + QStringLiteral("/cvd.hlp");
        auto last = [this] { return m_p->helpCalls.last(); };
        w.mnuHelp[1]->trigger();
        QCOMPARE(last().file, file);
        QCOMPARE(last().command, Help::Context);
        QCOMPARE(last().data, 0u);
        w.mnuHelp[2]->trigger();
        QCOMPARE(last().file, file);
        QCOMPARE(last().command, Help::PartialKey);
        QCOMPARE(last().data, 0u);
        w.mnuHelp[3]->trigger();
        QCOMPARE(last().file, QString());
        QCOMPARE(last().command, Help::HelpOnHelp);
        QTest::mouseClick(w.cmdHelp, Qt::LeftButton);
        QCOMPARE(last().file, file);
        QCOMPARE(last().command, Help::Context);
        QCOMPARE(last().data, 0u);
        QCOMPARE(m_p->helpCalls.size(), 4);
    }

    void f1OpensHelpAtTheControl_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<quint32>("context");
        QTest::newRow("hours") << "txtHoursTot" << 22u;
        QTest::newRow("request date (its edit box)") << "dcReqDate" << 17u;
        QTest::newRow("customer") << "cmbCust" << 19u;
        QTest::newRow("category") << "cmbCat" << 21u;
        QTest::newRow("description") << "txtReqDesc" << 15u;
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
        QCOMPARE(a->Label1->text(), QStringLiteral("Calvedon"));
        QCOMPARE(a->Label2->text(), QStringLiteral("Version 0.9 (Beta)"));
        QCOMPARE(a->cmdOk->text(), QStringLiteral("&Ok"));
        QVERIFY(!a->Picture1->pixmap().isNull());
        w.mnuAbout->trigger();
        QCOMPARE(w.aboutBox(), a); // the same box, brought forward
        QTest::mouseClick(a->cmdOk, Qt::LeftButton);
        QTRY_VERIFY(!w.aboutBox());
    }

    void closingEndsTheProgram()
    {
        frmMain& w = started();
        w.show();
        w.Editing = true; // nothing is asked, nothing saved
        w.mnuExit->trigger();
        QVERIFY(m_p->ended);
        QCOMPARE(m_p->exitCode, 0);
        QVERIFY(m_p->messages.isEmpty());
    }
};

QTEST_MAIN(tst_mainwindow)
#include "tst_mainwindow.moc"
