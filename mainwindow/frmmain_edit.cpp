// Editing a request on the main window: which changes start an edit, the
// checks before saving, writing the controls into the record and finding it
// again after a save.
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
    // A customer's name that names no customer is never taken for none.
    onLeave(cmbCust, [this] { refuse(cmbCust); });
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
    if (!ok)
        return false;
    // Then each entry as the check on leaving its control sees it, in tab
    // order (Update chosen by its access key leaves no control): what
    // cannot be stored as it stands stops the save, and nothing is lost.
    for (QWidget* c : std::initializer_list<QWidget*>{dcResDate, dcReqDate, dcDueDate, cmbCust, txtHoursTot, txtMinTot,
                                                      txtAddCharge, txtAmtPaid, dcPaidDate})
        if (refuse(c))
            return false;
    return true;
}

QString frmMain::entryRefusal(const QWidget* control, int* flags) const
{
    *flags = Mb::OkOnly;
    if (const auto* dc = qobject_cast<const DateField*>(control)) {
        // A blank request date has a message of its own in CheckFields.
        const QString text = dc->currentText();
        if (text.isEmpty() ? dc != dcReqDate : fmt::isDate(text))
            return {};
        return dc == dcReqDate   ? QStringLiteral("You must enter a valid request date.")
               : dc == dcDueDate ? QStringLiteral("You must enter a valid due date, or leave the field blank.")
               : dc == dcResDate ? QStringLiteral("You must enter a valid resolution date, or leave the field blank")
                                 : QStringLiteral("You must enter a valid paid date, or leave the field blank.");
    }
    if (control == cmbCust) {
        if (cmbCust->currentText().isEmpty() || !typedCustomer().isNull())
            return {};
        return QStringLiteral("You must choose a customer from the list, or leave the field blank.");
    }
    if (const auto* box = qobject_cast<const QLineEdit*>(control)) {
        // Hours, Minutes and Additional Charge may be left empty (Null).
        const QString text = box->text();
        if (fmt::isNumeric(text) || (box != txtAmtPaid && text.trimmed().isEmpty()))
            return {};
        *flags = Mb::OkOnly | Mb::Critical;
        const char* name = box == txtHoursTot    ? "Hours"
                           : box == txtMinTot    ? "Minutes"
                           : box == txtAddCharge ? "Add Charge"
                                                 : "Amount Paid";
        return QStringLiteral("You must enter a number in the '%1' field").arg(QLatin1String(name));
    }
    return {};
}

bool frmMain::refuse(QWidget* control)
{
    int flags = Mb::OkOnly;
    const QString message = entryRefusal(control, &flags);
    if (message.isEmpty())
        return false;
    platform().messageBox(message, flags);
    refocus(control);
    return true;
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

void frmMain::storeEntries(Recordset& rs)
{
    // Each field on its own: a value that cannot be converted is reported
    // and that field is left as it was; the others and the write still go.
    // A field whose control the user left as it was shown keeps what the
    // file holds (a key that names no entry, a text longer than its box).
    auto set = [&rs, this](const char* field, const QWidget* control, const std::function<Value()>& value) {
        if (!m_shownFields.untouched(control))
            trap([&] { rs.SetField(QString::fromLatin1(field), value()); });
    };
    auto optionalDate = [](const QComboBox* dc) {
        const QString t = dc->currentText();
        return fmt::isDate(t) ? Value(fmt::toDate(t)) : Value();
    };
    // Hours, Minutes and Additional Charge left empty are Null.
    auto optional = [](const QLineEdit* box, Value (*read)(const QString&)) {
        const QString t = box->text();
        return t.trimmed().isEmpty() ? Value() : read(t);
    };
    auto single = [](const QString& t) { return Value(fmt::toSingle(t)); };
    auto money = [](const QString& t) { return Value(fmt::toCurrency(t)); };
    set("ShortDesc", txtShortDesc, [this] { return Value(txtShortDesc->text()); });
    set("ReqDesc", txtReqDesc, [this] { return Value(memoText(txtReqDesc)); });
    set("Resp", txtResp, [this] { return Value(memoText(txtResp)); });
    set("ReqDate", dcReqDate, [this] { return Value(fmt::toDate(dcReqDate->currentText())); });
    set("DueDate", dcDueDate, [&] { return optionalDate(dcDueDate); });
    set("ResDate", dcResDate, [&] { return optionalDate(dcResDate); });
    set("Resolved", chkResolved, [this] { return Value(chkResolved->isChecked()); });
    set("HoursTot", txtHoursTot, [&] { return optional(txtHoursTot, single); });
    set("MinTot", txtMinTot, [&] { return optional(txtMinTot, single); });
    set("AddCharge", txtAddCharge, [&] { return optional(txtAddCharge, money); });
    set("CostTot", txtCostTot, [&] { return money(txtCostTot->text()); });
    set("AmtPaid", txtAmtPaid, [&] { return money(txtAmtPaid->text()); });
    set("PaidDate", dcPaidDate, [&] { return optionalDate(dcPaidDate); });
    set("CustID", cmbCust, [this] { return typedCustomer(); });
    set("DeptID", cmbDept, [this] { return selectedItemData(cmbDept); });
    set("PriID", cmbPri, [this] { return selectedItemData(cmbPri); });
    set("CatID", cmbCat, [this] { return selectedItemData(cmbCat); });
    set("EnteredBy", cmbEnteredBy, [this] { return selectedItemData(cmbEnteredBy); });
    set("AssignedTo", cmbAssignedTo, [this] { return selectedItemData(cmbAssignedTo); });
    set("Misc1", txtMisc1, [this] { return Value(txtMisc1->text()); });
}

Recordset* frmMain::recordSet() const { return ReqSet.get(); }

void frmMain::standAt(const Value& key)
{
    ReqSet->FindFirst(QStringLiteral("ReqID = ") + key.displayText());
    if (ReqSet->NoMatch())
        ReqSet->MoveFirst();
}

} // namespace cvd
