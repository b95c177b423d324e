#include "ui/recordwindow.h"

#include "base/errorhandler.h"
#include "base/globals.h"
#include "db/database.h"
#include "ui/memobox.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace cvd {

Recordset& RecordWindow::records() const
{
    Recordset* rs = recordSet();
    if (!rs)
        cvd::raise(ErrNo::ObjectNotSet);
    return *rs;
}

bool RecordWindow::hasRecords() const
{
    Recordset* rs = recordSet();
    return rs && rs->RecordCount() > 0;
}

void RecordWindow::stepTo(Step where)
{
    if (hasRecords())
        step(records(), where, [this] { ShowRecord(); });
}

void RecordWindow::BeginEdit()
{
    if (Editing || Adding || m_readOnly)
        return;
    Editing = true;
    EditLayout();
    cmdAddNew->hide();
}

void RecordWindow::EditLayout()
{
    for (QPushButton* b : {cmdFirst, cmdPrevious, cmdNext, cmdLast, browsingButton(), cmdFind, cmdDelete})
        b->hide();
    cmdCancel->show();
    cmdUpdate->show();
    layoutSwitched(true);
}

void RecordWindow::BrowseLayout()
{
    for (QPushButton* b : {cmdFirst, cmdPrevious, cmdNext, cmdLast, browsingButton(), cmdFind, cmdDelete, cmdAddNew})
        b->show();
    cmdCancel->hide();
    cmdUpdate->hide();
    for (QPushButton* b : {cmdAddNew, cmdDelete})
        b->setEnabled(!m_readOnly);
    layoutSwitched(false);
}

void RecordWindow::cmdAddNew_Click()
{
    if (!Adding) {
        Adding = true;
        m_addedInAddMode = false;
        m_keyBeforeAdd = Value();
        trap([this] {
            if (hasRecords()) {
                records().MoveLast();
                m_keyBeforeAdd = records().Field(keyField());
            } else {
                EnableFields();
            }
        });
        EditLayout();
        cmdAddNew->setText(QStringLiteral("&Add Another"));
        freshRecord();
        return;
    }
    // Add Another: writes the record on screen and starts the next one.
    // A record that cannot be written stays on screen.
    if (!CheckFields())
        return;
    Value key;
    if (!writeRecord(key))
        return;
    m_addedInAddMode = true;
    freshRecord();
}

bool RecordWindow::writeRecord(Value& key)
{
    bool opened = false;
    if (Adding) {
        opened = trap([&] {
            records().AddNew();
            key = records().Field(keyField());
        });
    } else {
        trap([&] { key = records().Field(keyField()); });
        opened = trap([&] { records().Edit(); });
    }
    if (opened) {
        Recordset& rs = records();
        storeEntries(rs);
        if (writeBuffer(rs))
            return true;
    }
    if (Recordset* rs = recordSet())
        rs->DiscardEdit();
    return false;
}

bool RecordWindow::writeBuffer(Recordset& rs)
{
    Value key;
    trap([&] { key = rs.Field(keyField()); });
    return WriteLoop([&rs] { rs.Update(); }, [this, key](int errorNumber) { changedElsewhere(key, errorNumber); });
}

bool RecordWindow::saveRecord()
{
    if (!CheckFields())
        return false;
    Value key;
    if (!writeRecord(key))
        return false;
    cmdAddNew->setText(QStringLiteral("&Add New"));
    m_changedElsewhere = false;
    m_addedInAddMode = false;
    trap([&] { standAt(key); });
    trap([this] { ShowRecord(); });
    BrowseLayout();
    Adding = false;
    Editing = false;
    return true;
}

void RecordWindow::cmdCancel_Click()
{
    // After an Update that found the record changed at another desk, the
    // stored version is read afresh.
    if (m_changedElsewhere && recordSet())
        trap([this] { records().Requery(); });
    m_changedElsewhere = false;
    if (Adding && m_addedInAddMode)
        placeAddedRecords(m_keyBeforeAdd);
    if (hasRecords()) {
        trap([this] {
            Recordset& rs = records();
            if (rs.Bof() || rs.Eof())
                rs.MoveFirst();
            ShowRecord();
        });
    } else {
        ClearFields();
        DisableFields();
    }
    BrowseLayout();
    cmdAddNew->setText(QStringLiteral("&Add New"));
    cancelled();
    Editing = false;
    Adding = false;
    m_addedInAddMode = false;
}

void RecordWindow::refresh()
{
    // Cancel, or a save that fails, keeps the record on screen.
    if ((Editing || Adding) && !mayClose())
        return;
    if (Editing || Adding)
        cmdCancel_Click();
    m_changedElsewhere = false;
    readAgain();
}

bool RecordWindow::mayClose()
{
    if (!hasChanges())
        return true;
    return askSaveBeforeClosing(QStringLiteral("Save the changes to this %1?").arg(closingNoun()),
                                [this] { return saveRecord(); });
}

QString RecordWindow::fieldText(const QWidget* control, const Value& v) const
{
    if (const auto* list = qobject_cast<const QComboBox*>(control)) {
        const int i = v.isNull() ? -1 : list->findData(v.toLong());
        return i < 0 ? QString() : list->itemText(i);
    }
    if (qobject_cast<const QAbstractButton*>(control))
        return !v.isNull() && v.toBool() ? QStringLiteral("Yes") : QStringLiteral("No");
    return v.displayText();
}

QString RecordWindow::controlText(const QWidget* control)
{
    if (const auto* list = qobject_cast<const QComboBox*>(control))
        return list->currentText();
    if (const auto* tick = qobject_cast<const QAbstractButton*>(control))
        return tick->isChecked() ? QStringLiteral("Yes") : QStringLiteral("No");
    if (const auto* memo = qobject_cast<const QPlainTextEdit*>(control))
        return memoText(memo);
    if (const auto* box = qobject_cast<const QLineEdit*>(control))
        return box->text();
    return QString();
}

void RecordWindow::changedElsewhere(const Value& key, int errorNumber)
{
    m_changedElsewhere = true;
    if (errorNumber == ErrNo::RecordDeleted) {
        tellDeletedElsewhere(QStringLiteral("This %1 was deleted at another desk since you opened it.").arg(recordNoun()));
        return;
    }
    QList<StoredField> differing;
    const auto stored = key.isNull() ? nullptr
                                     : MainDb->OpenRecordset(QStringLiteral("Select * from %1 where %2 = %3")
                                                                 .arg(tableName(), keyField(), key.displayText()),
                                                             RecordsetType::Snapshot);
    if (stored && stored->RecordCount() > 0) {
        for (const auto& [field, control] : fieldControls()) {
            const QString now = fieldText(control, stored->Field(field));
            if (now == controlText(control))
                continue;
            const QLabel* label = labelOf(control);
            const auto* tick = qobject_cast<const QAbstractButton*>(control);
            differing << StoredField{label ? label->text() : tick ? tick->text() : field, now};
        }
    }
    tellChangedElsewhere(QStringLiteral("This %1 was changed at another desk since you opened it.").arg(recordNoun()),
                         differing);
}

} // namespace cvd
