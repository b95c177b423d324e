// The maintenance windows' changes: Add New and Add Another, Update,
// Cancel, Delete with its in-use checks, and OK.
#include "maintenance/maintwindow.h"

#include "base/errorhandler.h"
#include "base/globals.h"
#include "base/platform.h"
#include "db/database.h"

#include <QPushButton>

namespace cvd {

void MaintWindow::cmdAddNew_Click()
{
    if (!Adding) {
        Adding = true;
        m_addedInAddMode = false;
        m_keyBeforeAdd = Value();
        trap([this] {
            Recordset& rs = records();
            if (rs.RecordCount() != 0) {
                rs.MoveLast();
                m_keyBeforeAdd = rs.Field(keyField());
            } else {
                EnableFields();
            }
        });
        EditLayout();
        cmdAddNew->setText(QStringLiteral("&Add Another"));
        ClearFields();
        m_entries.first().control->setFocus();
        if (m_design.hasDefaultButton)
            setDefaultButton(cmdAddNew);
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
    ClearFields();
    m_entries.first().control->setFocus();
}

bool MaintWindow::writeRecord(Value& key)
{
    Recordset& rs = records();
    bool opened = false;
    if (Adding) {
        opened = trap([&] {
            rs.AddNew();
            key = rs.Field(keyField());
        });
    } else {
        trap([&] { key = rs.Field(keyField()); });
        opened = trap([&] { rs.Edit(); });
    }
    if (opened && StoreFields())
        return true;
    rs.DiscardEdit();
    return false;
}

void MaintWindow::requeryAt(const Value& key)
{
    auto rs = MainDb->OpenRecordset(m_design.selectSql, RecordsetType::Dynaset);
    rs->SetLockEdits(false);
    m_rs = std::move(rs);
    if (m_rs->RecordCount() == 0)
        return;
    if (!key.isNull()) {
        m_rs->FindFirst(keyField() + QStringLiteral(" = ") + key.displayText());
        if (!m_rs->NoMatch())
            return;
    }
    m_rs->MoveFirst();
}

bool MaintWindow::saveRecord()
{
    if (!CheckFields())
        return false;
    Value key;
    if (!writeRecord(key))
        return false;
    cmdAddNew->setText(QStringLiteral("&Add New"));
    m_changedElsewhere = false;
    // The set is read again so that the saved record, and any written by
    // Add Another before it, stand in their sorted places.
    trap([&] { requeryAt(key); });
    trap([this] { ShowRecord(); });
    BrowseLayout();
    Adding = false;
    Editing = false;
    m_addedInAddMode = false;
    return true;
}

void MaintWindow::cmdUpdate_Click() { saveRecord(); }

void MaintWindow::cmdCancel_Click()
{
    // After an Update that found the record changed at another desk, the
    // stored version is read afresh.
    if (m_changedElsewhere)
        trap([this] { records().Requery(); });
    m_changedElsewhere = false;
    // Records written by Add Another take their sorted places; the record
    // that was current when add mode began is shown again (the first one
    // when the list was empty then).
    if (Adding && m_addedInAddMode)
        requeryAt(m_keyBeforeAdd);
    if (records().RecordCount() != 0) {
        if (records().Bof() || records().Eof())
            records().MoveFirst();
        ShowRecord();
    } else {
        ClearFields();
        DisableFields();
    }
    BrowseLayout();
    cmdAddNew->setText(QStringLiteral("&Add New"));
    if (m_design.hasDefaultButton)
        setDefaultButton(cmdOk);
    Editing = false;
    Adding = false;
    m_addedInAddMode = false;
}

bool MaintWindow::inUse()
{
    const QString key = records().Field(keyField()).displayText();
    bool used = false;
    for (const InUseCheck& check : m_design.inUseChecks) {
        QString sql;
        for (const QString& piece : check.sql)
            sql += piece + key;
        auto snap = MainDb->OpenRecordset(sql, RecordsetType::Snapshot);
        const bool found = snap->RecordCount() > 0;
        snap->Close();
        if (found) {
            platform().messageBox(check.message, Mb::OkOnly, QStringLiteral("Cannot Delete"));
            used = true;
        }
    }
    return used;
}

void MaintWindow::cmdDelete_Click()
{
    Recordset& rs = records();
    const bool onRecord = m_design.deleteWhenAnyRecord ? rs.RecordCount() != 0 : !(rs.Bof() && rs.Eof());
    if (!onRecord)
        return;
    if (platform().messageBox(m_design.confirmText, Mb::YesNo, m_design.confirmTitle) != Answer::Yes)
        return;
    // A record whose references could not be checked is kept.
    bool used = true;
    if (!trap([&] { used = inUse(); }) || used)
        return;
    // The record stays on display when it could not be deleted: one that a
    // request (or customer) saved at another desk names since the check is
    // refused by the database, and the check's message says why.  One that
    // another desk deleted first is gone all the same: the set was read
    // again and stands on the record that took its place.
    const Deletion deleted = DeleteLoop(rs, [this](const Error& e) {
        if (!inUse())
            HandleError(e);
    });
    if (deleted == Deletion::Failed)
        return;
    trap([this, deleted] {
        Recordset& r = records();
        if (r.RecordCount() != 0) {
            if (deleted == Deletion::Done)
                r.MoveNext();
            if (r.Eof())
                r.MovePrevious();
            ShowRecord();
        } else {
            ClearFields();
            DisableFields();
        }
    });
}

void MaintWindow::cmdOk_Click()
{
    trap([] { MainDb->Idle(); });
    if (m_rs)
        m_rs->Close();
    m_closing = true;
    close();
}

} // namespace cvd
