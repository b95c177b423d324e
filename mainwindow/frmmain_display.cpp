// Putting a request into the main window's controls, emptying them, and
// the menus of the two button layouts.
#include "base/formats.h"
#include "base/globals.h"
#include "base/platform.h"
#include "dates/datefield.h"
#include "db/database.h"
#include "mainwindow/frmmain.h"
#include "ui/memobox.h"
#include "ui/readonly.h"

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

QList<std::pair<QString, QWidget*>> frmMain::fieldControls() const
{
    const std::pair<const char*, QWidget*> fields[] = {
        {"ShortDesc", txtShortDesc}, {"ReqDesc", txtReqDesc},     {"Resp", txtResp},
        {"ReqDate", dcReqDate},      {"DueDate", dcDueDate},      {"ResDate", dcResDate},
        {"Resolved", chkResolved},   {"CustID", cmbCust},         {"DeptID", cmbDept},
        {"PriID", cmbPri},           {"CatID", cmbCat},           {"EnteredBy", cmbEnteredBy},
        {"AssignedTo", cmbAssignedTo}, {"HoursTot", txtHoursTot}, {"MinTot", txtMinTot},
        {"AddCharge", txtAddCharge}, {"CostTot", txtCostTot},     {"AmtPaid", txtAmtPaid},
        {"PaidDate", dcPaidDate},    {"Misc1", txtMisc1}};
    QList<std::pair<QString, QWidget*>> out;
    for (const auto& [field, control] : fields)
        out.append({QString::fromLatin1(field), control});
    return out;
}

QString frmMain::fieldText(const QWidget* control, const Value& v) const
{
    if (qobject_cast<const DateField*>(control))
        return dateText(v);
    if (control == txtHoursTot || control == txtMinTot)
        return v.isNull() ? QString() : fmt::numberText(v.toSingle());
    if (control == txtAddCharge)
        return v.isNull() ? QString() : fmt::currency(v.toCurrency());
    if (control == txtCostTot || control == txtAmtPaid)
        return moneyText(v);
    return RecordWindow::fieldText(control, v);
}

void frmMain::ShowRecord()
{
    if (!ReqSet)
        return;
    Recordset& rs = *ReqSet;
    FillingControls filling(Editing);
    m_shownFields.clear();

    txtReqID->setText(rs.Field(QStringLiteral("ReqID")).displayText());
    for (const auto& [field, control] : fieldControls()) {
        const Value v = rs.Field(field);
        if (auto* list = qobject_cast<QComboBox*>(control); list && !qobject_cast<DateField*>(control))
            selectByItemData(list, v);
        else if (auto* memo = qobject_cast<QPlainTextEdit*>(control))
            setMemoText(memo, v.displayText());
        else if (auto* tick = qobject_cast<QCheckBox*>(control))
            tick->setChecked(!v.isNull() && v.toBool());
        else if (auto* date = qobject_cast<DateField*>(control))
            date->setEditText(fieldText(date, v));
        else if (auto* box = qobject_cast<QLineEdit*>(control))
            box->setText(fieldText(box, v));
    }
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
        w->setEnabled(w != txtCostTot); // worked out from the hours, never typed
    if (m_readOnly)
        showReadOnly(entryControls());
}

void frmMain::setReadOnly()
{
    m_readOnly = true;
    if (txtShortDesc->isEnabled())
        showReadOnly(entryControls());
    BrowseLayout();
}

void frmMain::layoutSwitched(bool editing)
{
    for (int i = 1; i <= 5; ++i)
        mnuMaint[i]->setEnabled(!editing);
    mnuExit->setEnabled(!editing);
}

} // namespace cvd
