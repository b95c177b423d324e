// The maintenance windows' changes: the record window's hooks for Add New,
// Update and Cancel, Delete with its in-use checks, and OK.
#include "maintenance/maintwindow.h"

#include "base/errorhandler.h"
#include "base/globals.h"
#include "base/platform.h"
#include "db/database.h"

#include <QPushButton>

namespace cvd {

void MaintWindow::freshRecord()
{
    ClearFields();
    m_entries.first().control->setFocus();
    if (m_design.hasDefaultButton)
        setDefaultButton(cmdAddNew);
}

void MaintWindow::requeryAt(const Value& key)
{
    m_rs = MainDb->OpenRecordset(m_design.selectSql, RecordsetType::Dynaset);
    if (m_rs->RecordCount() == 0)
        return;
    if (!key.isNull()) {
        m_rs->FindFirst(keyField() + QStringLiteral(" = ") + key.displayText());
        if (!m_rs->NoMatch())
            return;
    }
    m_rs->MoveFirst();
}

// Cancel gives Enter back to OK.
void MaintWindow::cancelled()
{
    if (m_design.hasDefaultButton)
        setDefaultButton(cmdOk);
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
