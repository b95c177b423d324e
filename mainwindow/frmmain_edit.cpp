// Editing a request on the main window: which changes start an edit, the
// checks before saving, writing the controls into the record, Update and
// Cancel.
#include "base/errorhandler.h"
#include "base/formats.h"
#include "base/globals.h"
#include "base/platform.h"
#include "dates/datefield.h"
#include "db/database.h"
#include "mainwindow/frmmain.h"
#include "ui/leavecheck.h"
#include "ui/memobox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace cvd {

namespace {

// Any key pressed in a look-up list is an edit of the request.  Delete and
// Backspace also clear the list's selection, so that a reference can be
// removed from a request; in the customer list, where a name may be typed,
// they do so when the whole text is selected (as after picking an entry)
// and otherwise edit the typed text.
class ListKeys : public QObject {
public:
    ListKeys(QComboBox* list, frmMain* window) : QObject(list), m_list(list), m_window(window) {}

    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(e)->key();
        switch (key) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Meta:
        case Qt::Key_F1:
            return false;
        default:
            break;
        }
        if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
            QLineEdit* typed = m_list->lineEdit();
            if (!typed || typed->text().isEmpty() || typed->selectedText() == typed->text()) {
                m_list->setCurrentIndex(-1);
                if (typed)
                    typed->clear();
                m_window->BeginEdit();
                return true;
            }
        }
        m_window->BeginEdit();
        return false;
    }

private:
    QComboBox* m_list;
    frmMain* m_window;
};

} // namespace

void frmMain::connectEditEvents()
{
    auto edit = [this] { BeginEdit(); };
    for (QComboBox* l : {cmbCust, cmbDept, cmbCat, cmbPri, cmbEnteredBy, cmbAssignedTo}) {
        connect(l, &QComboBox::currentIndexChanged, this, edit);
        auto* keys = new ListKeys(l, this);
        l->installEventFilter(keys);
        if (l->lineEdit())
            l->lineEdit()->installEventFilter(keys);
    }
    connect(cmbCust, &QComboBox::editTextChanged, this, edit);
    connect(chkResolved, &QCheckBox::toggled, this, edit);
    for (DateField* d : {dcReqDate, dcDueDate, dcResDate, dcPaidDate})
        connect(d, &QComboBox::editTextChanged, this, edit);
    for (QLineEdit* t : {txtShortDesc, txtMisc1, txtHoursTot, txtMinTot, txtAddCharge, txtAmtPaid})
        connect(t, &QLineEdit::textChanged, this, edit);
    for (QPlainTextEdit* t : {txtReqDesc, txtResp})
        connect(t, &QPlainTextEdit::textChanged, this, edit);
    // The total cost changes only through costing, which is no edit by itself.

    auto click = [this](QPushButton* b, void (frmMain::*handler)()) {
        connect(b, &QPushButton::clicked, this, [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };
    click(cmdFirst, &frmMain::cmdFirst_Click);
    click(cmdPrevious, &frmMain::cmdPrevious_Click);
    click(cmdNext, &frmMain::cmdNext_Click);
    click(cmdLast, &frmMain::cmdLast_Click);
    click(cmdPaidToday, &frmMain::cmdPaidToday_Click);
    click(cmdUpdate, &frmMain::cmdUpdate_Click);
    click(cmdCancel, &frmMain::cmdCancel_Click);
    click(cmdAddNew, &frmMain::cmdAddNew_Click);
    click(cmdDelete, &frmMain::cmdDelete_Click);
    click(cmdFind, &frmMain::cmdFind_Click);
    connectNumericBoxes();
}

void frmMain::BeginEdit()
{
    if (Editing || Adding)
        return;
    Editing = true;
    EditLayout();
    cmdAddNew->hide();
}

bool frmMain::CheckFields()
{
    bool ok = true;
    if (txtShortDesc->text().isEmpty() && txtReqDesc->toPlainText().isEmpty()) {
        platform().messageBox(QStringLiteral("You must enter a short description or a long description."),
                              Mb::OkOnly, QStringLiteral("No Request Description Entered"));
        refocus(txtShortDesc);
        ok = false;
    }
    if (dcReqDate->currentText().isEmpty()) {
        platform().messageBox(QStringLiteral("You must enter a request date for this request."), Mb::OkOnly,
                              QStringLiteral("No Request Date Entered"));
        refocus(dcReqDate);
        ok = false;
    }
    return ok;
}

Value frmMain::typedCustomer() const
{
    const QString text = cmbCust->currentText();
    const int i = cmbCust->currentIndex();
    if (i >= 0 && cmbCust->itemText(i) == text)
        return selectedItemData(cmbCust);
    if (text.isEmpty())
        return Value();
    const int match = cmbCust->findText(text, Qt::MatchFixedString);
    return match < 0 ? Value() : Value(cmbCust->itemData(match).toInt());
}

bool frmMain::StoreFields()
{
    Recordset& rs = *ReqSet;
    // Each field on its own: a value that cannot be converted is reported
    // and that field is left as it was; the others and the write still go.
    auto set = [&rs](const char* field, const std::function<Value()>& value) {
        trap([&] { rs.SetField(QString::fromLatin1(field), value()); });
    };
    auto optionalDate = [](const QComboBox* dc) {
        const QString t = dc->currentText();
        return fmt::isDate(t) ? Value(fmt::toDate(t)) : Value();
    };
    set("ShortDesc", [this] { return Value(txtShortDesc->text()); });
    set("ReqDesc", [this] { return Value(memoText(txtReqDesc)); });
    set("Resp", [this] { return Value(memoText(txtResp)); });
    set("ReqDate", [this] { return Value(fmt::toDate(dcReqDate->currentText())); });
    set("DueDate", [&] { return optionalDate(dcDueDate); });
    set("ResDate", [&] { return optionalDate(dcResDate); });
    set("Resolved", [this] { return Value(chkResolved->isChecked()); });
    set("HoursTot", [this] { return Value(fmt::toSingle(txtHoursTot->text())); });
    set("MinTot", [this] { return Value(fmt::toSingle(txtMinTot->text())); });
    set("AddCharge", [this] { return Value(fmt::toCurrency(txtAddCharge->text())); });
    set("CostTot", [this] { return Value(fmt::toCurrency(txtCostTot->text())); });
    set("AmtPaid", [this] { return Value(fmt::toCurrency(txtAmtPaid->text())); });
    set("PaidDate", [&] { return optionalDate(dcPaidDate); });
    set("CustID", [this] { return typedCustomer(); });
    set("DeptID", [this] { return selectedItemData(cmbDept); });
    set("PriID", [this] { return selectedItemData(cmbPri); });
    set("CatID", [this] { return selectedItemData(cmbCat); });
    set("EnteredBy", [this] { return selectedItemData(cmbEnteredBy); });
    set("AssignedTo", [this] { return selectedItemData(cmbAssignedTo); });
    set("Misc1", [this] { return Value(txtMisc1->text()); });
    return WriteLoop([&rs] { rs.Update(); });
}

// Opens the edit buffer (a new record when adding, the current one when
// editing) and writes the controls through it.  A record that could not be
// written stays on screen, still being edited or added, so that nothing
// typed is lost: the user can try again or cancel.  The edit buffer is
// given up then.  `key` receives the record's key.
bool frmMain::writeRequest(Value& key)
{
    bool opened = false;
    if (Adding) {
        opened = trap([&] {
            ReqSet->AddNew();
            key = ReqSet->Field(QStringLiteral("ReqID"));
        });
    } else {
        trap([&] { key = ReqSet->Field(QStringLiteral("ReqID")); });
        opened = trap([] { ReqSet->Edit(); });
    }
    if (opened && StoreFields())
        return true;
    if (ReqSet)
        ReqSet->DiscardEdit();
    return false;
}

bool frmMain::saveRequest()
{
    if (!CheckFields())
        return false;
    Value key;
    if (!writeRequest(key))
        return false;
    cmdAddNew->setText(QStringLiteral("&Add New"));
    trap([&] {
        ReqSet->FindFirst(QStringLiteral("ReqID = ") + key.displayText());
        if (ReqSet->NoMatch())
            ReqSet->MoveFirst();
    });
    trap([this] { ShowRecord(); });
    BrowseLayout();
    Adding = false;
    Editing = false;
    return true;
}

void frmMain::cmdUpdate_Click() { saveRequest(); }

void frmMain::cmdCancel_Click()
{
    if (ReqSetHasRecords()) {
        trap([this] { ShowRecord(); });
    } else {
        ClearFields();
        DisableFields();
    }
    BrowseLayout();
    cmdAddNew->setText(QStringLiteral("&Add New"));
    Editing = false;
    Adding = false;
}

} // namespace cvd
