// Other desks' changes in the maintenance windows: Refresh (F5), the
// window's own look-up lists, and an Update that finds the record changed
// at another desk since it was shown.
#include "maintenance/maintwindow.h"

#include "base/errorhandler.h"
#include "base/globals.h"
#include "db/database.h"
#include "ui/memobox.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>

namespace cvd {

void MaintWindow::Refresh()
{
    // What is being edited or added is saved or dropped first, as on
    // closing; Cancel, or a save that fails, keeps it on screen.
    if ((Editing || Adding) && !mayClose())
        return;
    if (Editing || Adding)
        cmdCancel_Click();
    m_changedElsewhere = false;
    Recordset& rs = records();
    rs.Requery();
    reloadLists();
    if (rs.RecordCount() != 0) {
        if (rs.Bof() || rs.Eof())
            rs.MoveFirst();
        EnableFields();
        ShowRecord();
    } else {
        ClearFields();
        DisableFields();
    }
}

void MaintWindow::reloadLists()
{
    QList<std::pair<QComboBox*, Value>> kept;
    for (const Entry& e : m_entries)
        if (auto* list = qobject_cast<QComboBox*>(e.control))
            kept.append({list, selectedItemData(list)});
    QScopedValueRollback filling(m_filling, true);
    // The versions first: a change made while the lists are read is seen
    // at the next activation.
    for (const QString& table : m_design.listTables)
        m_listVersions.readAt.insert(table, MainDb->tableVersion(table));
    loadLists();
    for (const auto& [list, key] : kept)
        selectByItemData(list, key);
    if (!Editing && !Adding)
        m_shown.remember(entryControls());
}

QString MaintWindow::entryText(const Entry& e, const Value& v) const
{
    if (const auto* list = qobject_cast<const QComboBox*>(e.control)) {
        const int i = v.isNull() ? -1 : list->findData(v.toLong());
        return i < 0 ? QString() : list->itemText(i);
    }
    return v.displayText();
}

QString MaintWindow::shownText(const Entry& e) const
{
    if (const auto* list = qobject_cast<const QComboBox*>(e.control))
        return list->currentText();
    if (const auto* memo = qobject_cast<const QPlainTextEdit*>(e.control))
        return memoText(memo);
    if (const auto* box = qobject_cast<const QLineEdit*>(e.control))
        return box->text();
    return QString();
}

void MaintWindow::recordChangedElsewhere(const Value& key, int errorNumber)
{
    m_changedElsewhere = true;
    if (errorNumber == ErrNo::RecordDeleted) {
        tellDeletedElsewhere(QStringLiteral("This %1 was deleted at another desk since you opened it.").arg(m_design.recordNoun));
        return;
    }
    QList<StoredField> differing;
    const auto stored = key.isNull() ? nullptr
                                     : MainDb->OpenRecordset(QStringLiteral("Select * from %1 where %2 = %3")
                                                                 .arg(m_design.table, keyField(), key.displayText()),
                                                             RecordsetType::Snapshot);
    if (stored && stored->RecordCount() > 0) {
        for (const Entry& e : m_entries) {
            const QString now = entryText(e, stored->Field(e.field));
            if (now == shownText(e))
                continue;
            const QLabel* label = labelOf(e.control);
            differing << StoredField{label ? label->text() : e.field, now};
        }
    }
    tellChangedElsewhere(QStringLiteral("This %1 was changed at another desk since you opened it.").arg(m_design.recordNoun),
                         differing);
}

} // namespace cvd
