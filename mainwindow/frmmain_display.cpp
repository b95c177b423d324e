// Putting a request into the main window's controls, emptying them, the
// two button layouts and the four navigation buttons.
#include "base/formats.h"
#include "base/globals.h"
#include "base/platform.h"
#include "dates/datefield.h"
#include "db/database.h"
#include "mainwindow/frmmain.h"
#include "ui/memobox.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace cvd {

namespace {

QString dateText(const Value& v) { return v.isNull() ? QString() : fmt::shortDate(v.toDate()); }

QString moneyText(const Value& v) { return fmt::currency(v.isNull() ? Currency{} : v.toCurrency()); }

// Holds the window's Editing flag true while the controls are filled, so
// that their change events start no edit, and sets it false afterwards,
// also when a field cannot be read.
struct FillingControls {
    bool& editing;
    explicit FillingControls(bool& e) : editing(e) { editing = true; }
    ~FillingControls() { editing = false; }
};

} // namespace

void frmMain::ShowRecord()
{
    if (!ReqSet)
        return;
    Recordset& rs = *ReqSet;
    auto f = [&rs](const char* name) { return rs.Field(QString::fromLatin1(name)); };
    FillingControls filling(Editing);
    m_shownFields.clear();

    txtShortDesc->setText(f("ShortDesc").displayText());
    setMemoText(txtReqDesc, f("ReqDesc").displayText());
    setMemoText(txtResp, f("Resp").displayText());
    txtReqID->setText(f("ReqID").displayText());
    dcReqDate->setEditText(dateText(f("ReqDate")));
    dcDueDate->setEditText(dateText(f("DueDate")));
    dcResDate->setEditText(dateText(f("ResDate")));
    const Value resolved = f("Resolved");
    chkResolved->setChecked(!resolved.isNull() && resolved.toBool());
    selectByItemData(cmbCust, f("CustID"));
    selectByItemData(cmbDept, f("DeptID"));
    selectByItemData(cmbPri, f("PriID"));
    selectByItemData(cmbCat, f("CatID"));
    selectByItemData(cmbEnteredBy, f("EnteredBy"));
    selectByItemData(cmbAssignedTo, f("AssignedTo"));
    const Value hours = f("HoursTot"), minutes = f("MinTot"), addCharge = f("AddCharge");
    txtHoursTot->setText(hours.isNull() ? QString() : fmt::numberText(hours.toSingle()));
    txtMinTot->setText(minutes.isNull() ? QString() : fmt::numberText(minutes.toSingle()));
    txtAddCharge->setText(addCharge.isNull() ? QString() : fmt::currency(addCharge.toCurrency()));
    txtCostTot->setText(moneyText(f("CostTot")));
    txtAmtPaid->setText(moneyText(f("AmtPaid")));
    dcPaidDate->setEditText(dateText(f("PaidDate")));
    txtMisc1->setText(f("Misc1").displayText());
    for (QWidget* box : std::initializer_list<QWidget*>{txtShortDesc, txtMisc1, cmbCust})
        showFromStart(box);
    m_shownFields.remember(entryControls());
}

void frmMain::ClearFields()
{
    m_shownFields.clear(); // a new request: every field is written
    for (QLineEdit* t : {txtShortDesc, txtReqID, txtMisc1})
        t->clear();
    setMemoText(txtReqDesc, QString());
    setMemoText(txtResp, QString());
    dcReqDate->setEditText(fmt::shortDate(QDate::currentDate()));
    for (DateField* d : {dcDueDate, dcResDate, dcPaidDate})
        d->setEditText(QString());
    chkResolved->setChecked(false);
    for (QComboBox* l : {cmbCust, cmbDept, cmbPri, cmbCat, cmbEnteredBy, cmbAssignedTo}) {
        l->setCurrentIndex(-1);
        if (l->isEditable())
            l->setEditText(QString());
    }
    txtHoursTot->setText(QStringLiteral("0"));
    txtMinTot->setText(QStringLiteral("0"));
    const QString zero = fmt::currency(Currency{});
    for (QLineEdit* t : {txtAddCharge, txtCostTot, txtAmtPaid})
        t->setText(zero);
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

// Navigation: "first" is the newest request, "last" the oldest.  Nothing
// happens on an empty set; stepping past either end beeps and stays there.
void frmMain::cmdFirst_Click()
{
    if (!ReqSetHasRecords())
        return;
    ReqSet->MoveFirst();
    ShowRecord();
}

void frmMain::cmdLast_Click()
{
    if (!ReqSetHasRecords())
        return;
    ReqSet->MoveLast();
    ShowRecord();
}

void frmMain::cmdNext_Click()
{
    if (!ReqSetHasRecords())
        return;
    ReqSet->MoveNext();
    if (ReqSet->Eof()) {
        platform().beep();
        ReqSet->MoveLast();
    }
    ShowRecord();
}

void frmMain::cmdPrevious_Click()
{
    if (!ReqSetHasRecords())
        return;
    ReqSet->MovePrevious();
    if (ReqSet->Bof()) {
        platform().beep();
        ReqSet->MoveFirst();
    }
    ShowRecord();
}

} // namespace cvd
