// The maintenance windows' records: opening the set, showing and storing
// the record on display, the check before a save, finding.
#include "maintenance/maintwindow.h"

#include "base/errorhandler.h"
#include "base/globals.h"
#include "base/platform.h"
#include "db/database.h"
#include "ui/liketext.h"
#include "ui/lookuplists.h"
#include "ui/memobox.h"
#include "ui/readonly.h"
#include "ui/shownfields.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>

namespace cvd {

void MaintWindow::Form_Load()
{
    applyTabOrder();
    // A login that may not change the table (on a server) sees its records
    // with nothing that offers a change.
    m_readOnly = !MainDb->canWrite(m_design.table);
    trapSteps({
        [this] { m_rs = MainDb->OpenRecordset(m_design.selectSql, RecordsetType::Dynaset); },
        [this] { reloadLists(); },
        [this] {
            if (records().RecordCount() != 0) {
                records().MoveFirst();
                ShowRecord();
            } else {
                DisableFields();
            }
        },
    });
    Editing = false;
    Adding = false;
    if (m_readOnly) {
        if (m_entries.first().control->isEnabled())
            showReadOnly(entryControls());
        BrowseLayout();
    }
    // The window opens with the focus on the first control of its tab
    // order that takes it (the first box, or the first button when the
    // table is empty).
    for (const auto& [tab, control] : m_tabOrder)
        if (control->isEnabled() && !control->isHidden() && (control->focusPolicy() & Qt::TabFocus)) {
            control->setFocus();
            break;
        }
    resize(sizeHint());
}

void MaintWindow::ShowRecord()
{
    Recordset& rs = records();
    QScopedValueRollback filling(m_filling, true);
    for (const Entry& e : m_entries) {
        const Value v = rs.Field(e.field);
        if (auto* t = qobject_cast<QLineEdit*>(e.control))
            t->setText(v.displayText());
        else if (auto* m = qobject_cast<QPlainTextEdit*>(e.control))
            setMemoText(m, v.displayText());
        else if (auto* c = qobject_cast<QComboBox*>(e.control))
            selectByItemData(c, v);
        showFromStart(e.control);
    }
    m_shown.remember(entryControls());
    m_typed = false;
}

void MaintWindow::ClearFields()
{
    QScopedValueRollback filling(m_filling, true);
    for (const Entry& e : m_entries) {
        if (auto* t = qobject_cast<QLineEdit*>(e.control))
            t->clear();
        else if (auto* m = qobject_cast<QPlainTextEdit*>(e.control))
            setMemoText(m, QString());
        else if (auto* c = qobject_cast<QComboBox*>(e.control))
            c->setCurrentIndex(-1);
    }
    m_shown.clear();
    m_typed = false;
}

Value MaintWindow::entryValue(const Entry& e) const
{
    if (auto* c = qobject_cast<QComboBox*>(e.control))
        return selectedItemData(c);
    QString text;
    if (auto* t = qobject_cast<QLineEdit*>(e.control))
        text = t->text();
    else if (auto* m = qobject_cast<QPlainTextEdit*>(e.control))
        text = memoText(m);
    if (e.nullWhenBlank && text.trimmed().isEmpty())
        return Value();
    return Value(text);
}

void MaintWindow::storeEntries(Recordset& rs)
{
    // Each field on its own: one that cannot be stored is reported, and the
    // others and the write still go.  A field whose control the user left
    // as shown keeps what the file holds.
    for (const Entry& e : m_entries)
        if (!m_shown.untouched(e.control))
            trap([&] { rs.SetField(e.field, entryValue(e)); });
}

bool MaintWindow::CheckFields()
{
    if (entriesComplete())
        return true;
    platform().messageBox(m_design.checkMessage, Mb::OkOnly, m_design.checkTitle);
    if (m_design.focusAfterFailedCheck)
        m_entries.first().control->setFocus();
    return false;
}

void MaintWindow::cmdFind_Click()
{
    const QString text = platform().inputBox(m_design.findPrompt, m_design.findTitle);
    Recordset& rs = records();
    // The typed text is quoted for the criterion: an apostrophe (O'Neil)
    // is part of the name, never the end of the text, and #, ? and [ are
    // characters of the name; an asterisk still stands for any run.
    const QString criterion = m_design.findField + QStringLiteral(" like '") + likeText(text) + QStringLiteral("*'");
    if (m_design.hourglassWhileFinding)
        platform().setPointer(Pointer::Hourglass);
    bool found = false;
    try {
        rs.FindFirst(criterion);
        found = !rs.NoMatch();
    } catch (...) {
        if (m_design.hourglassWhileFinding)
            platform().setPointer(Pointer::Default);
        throw;
    }
    if (m_design.hourglassWhileFinding)
        platform().setPointer(Pointer::Default);
    if (found)
        ShowRecord();
    else
        platform().messageBox(m_design.notFoundText, Mb::OkOnly, QStringLiteral("No Records Match"));
}

} // namespace cvd
