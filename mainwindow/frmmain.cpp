#include "mainwindow/frmmain.h"

#include "base/costing.h"
#include "base/errorhandler.h"
#include "base/globals.h"
#include "base/platform.h"
#include "dates/datefield.h"
#include "db/database.h"
#include "defaults/frmdefault.h"
#include "maintenance/maintmenu.h"
#include "reports/reportwindows.h"
#include "ui/accesskeys.h"
#include "ui/contexthelp.h"
#include "ui/elasticpanel.h"
#include "ui/frmabout.h"
#include "ui/programicon.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>

namespace cvd {

frmMain::frmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Calvedon"));
    setWindowIcon(programIcon());
    setHelpContext(this, HelpContext);
    // An access key whose button is hidden (while editing, say) types nothing.
    guardAccessKeys();
    // The bills offer this window's defaults window for an empty heading.
    reportWindows().showDefaults = [this] { showDefaultsWindow(this); };
    createControls();
    createMenus();
    setCentralWidget(resizingPanel);
    installContextHelp(this);
    resize(sizeHint());
}

// The windows beside the main window go with it.
frmMain::~frmMain()
{
    reportWindows().showDefaults = {};
    closeMaintWindows();
}

QLabel* frmMain::labelOf(const QWidget* control) const { return m_labels.value(control); }

QList<QWidget*> frmMain::entryControls() const
{
    return {txtShortDesc, txtReqDesc, txtResp, dcReqDate, dcDueDate, dcResDate, chkResolved,
            cmbCust, cmbDept, cmbPri, cmbCat, cmbEnteredBy, cmbAssignedTo, txtHoursTot,
            txtMinTot, txtAddCharge, txtCostTot, txtAmtPaid, dcPaidDate, txtMisc1, cmdPaidToday};
}

LookupLists frmMain::lists() const
{
    return LookupLists{cmbCat, cmbCust, cmbDept, cmbPri, cmbEnteredBy, cmbAssignedTo};
}

void frmMain::Form_Activate()
{
    if (!MainDb)
        return;
    // While a request is being edited or added the controls keep what the
    // user typed: the reloaded lists get their selections back instead of
    // the stored record being shown again.
    const bool busy = Editing || Adding;
    const LookupLists l = lists();
    QComboBox* all[] = {l.cat, l.cust, l.dept, l.pri, l.enteredBy, l.assignedTo};
    Value kept[6];
    QString custText = cmbCust->currentText();
    for (int i = 0; i < 6; ++i)
        kept[i] = selectedItemData(all[i]);

    // The costing values, when the Settings record changed since they were
    // read (at another desk, too).
    if (m_listVersions.moved(*MainDb, QStringLiteral("Settings"))) {
        const qint64 version = MainDb->tableVersion(QStringLiteral("Settings"));
        readCostingValues(*MainDb);
        m_listVersions.readAt.insert(QStringLiteral("Settings"), version);
    }

    // Filling the lists is no edit of the request.
    const bool wasEditing = Editing;
    Editing = true;
    bool reloaded = false;
    try {
        reloaded = reloadChangedLists(*MainDb, l, &m_listVersions);
    } catch (...) {
        Editing = wasEditing;
        throw;
    }
    if (busy) {
        if (reloaded) {
            for (int i = 0; i < 6; ++i)
                selectByItemData(all[i], kept[i]);
            if (kept[1].isNull() && cmbCust->isEditable())
                cmbCust->setEditText(custText);
        }
        Editing = wasEditing;
        return;
    }
    Editing = wasEditing;
    if (ReqSetHasRecords())
        ShowRecord();
}

void frmMain::cmdHelp_Click() { platform().help(this, HelpFilePath, Help::Context, 0); }


void frmMain::changeEvent(QEvent* e)
{
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        guardedActivation([this] { Form_Activate(); });
}

void frmMain::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    // The first showing counts as an activation even where the desktop does
    // not make the window active.
    if (!m_shown) {
        m_shown = true;
        guardedActivation([this] { Form_Activate(); });
    }
}

void frmMain::closeEvent(QCloseEvent* e)
{
    // Closing the main window ends the program.  A record being edited or
    // added, here or in a window beside this one, is saved first, or thrown
    // away, as the user says; the user may also keep the program running.
    if (!mayClose()) {
        e->ignore();
        return;
    }
    for (QWidget* other : QApplication::topLevelWidgets()) {
        if (other != this && other->isVisible() && !other->close()) {
            e->ignore();
            return;
        }
    }
    try {
        platform().endProgram(0);
    } catch (const ProgramEnded&) {
        e->accept();
    }
}

} // namespace cvd
