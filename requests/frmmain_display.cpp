// Putting a request into the main window's controls, emptying them, and
// the two button layouts.
#include "core/database.h"
#include "core/frmmain.h"
#include "core/globals.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace cvd {

void frmMain::ShowRecord()
{
    if (!ReqSet)
        return;
    // The controls change below without that being an edit of the request.
    Editing = true;
    txtReqID->setText(ReqSet->Field(QStringLiteral("ReqID")).displayText());
    selectByItemData(cmbCust, ReqSet->Field(QStringLiteral("CustID")));
    selectByItemData(cmbDept, ReqSet->Field(QStringLiteral("DeptID")));
    selectByItemData(cmbPri, ReqSet->Field(QStringLiteral("PriID")));
    selectByItemData(cmbCat, ReqSet->Field(QStringLiteral("CatID")));
    selectByItemData(cmbEnteredBy, ReqSet->Field(QStringLiteral("EnteredBy")));
    selectByItemData(cmbAssignedTo, ReqSet->Field(QStringLiteral("AssignedTo")));
    Editing = false;
}

void frmMain::ClearFields()
{
    for (QLineEdit* t : {txtShortDesc, txtReqID, txtMisc1, txtHoursTot, txtMinTot, txtAddCharge, txtCostTot, txtAmtPaid})
        t->clear();
    txtReqDesc->clear();
    txtResp->clear();
    for (QComboBox* d : {dcReqDate, dcDueDate, dcResDate, dcPaidDate})
        d->setEditText(QString());
    chkResolved->setChecked(false);
    for (QComboBox* l : {cmbCust, cmbDept, cmbPri, cmbCat, cmbEnteredBy, cmbAssignedTo})
        l->setCurrentIndex(-1);
}

void frmMain::DisableFields()
{
    for (QWidget* w : entryControls())
        w->setEnabled(false);
}

void frmMain::EnableFields()
{
    for (QWidget* w : entryControls())
        w->setEnabled(true);
}

void frmMain::EditLayout()
{
    for (QPushButton* b : {cmdFirst, cmdPrevious, cmdNext, cmdLast, cmdHelp, cmdFind, cmdDelete})
        b->hide();
    cmdCancel->show();
    cmdUpdate->show();
    for (int i = 1; i <= 5; ++i)
        mnuMaint[i]->setEnabled(false);
    mnuExit->setEnabled(false);
}

void frmMain::BrowseLayout()
{
    for (QPushButton* b : {cmdFirst, cmdPrevious, cmdNext, cmdLast, cmdHelp, cmdFind, cmdDelete, cmdAddNew})
        b->show();
    cmdCancel->hide();
    cmdUpdate->hide();
    for (int i = 1; i <= 5; ++i)
        mnuMaint[i]->setEnabled(true);
    mnuExit->setEnabled(true);
}

} // namespace cvd
