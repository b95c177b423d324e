// Other desks' changes in the maintenance windows: Refresh (F5) and the
// window's own look-up lists.
#include "maintenance/maintwindow.h"

#include "base/globals.h"
#include "db/database.h"

#include <QComboBox>
#include <QScopedValueRollback>

namespace cvd {

void MaintWindow::readAgain()
{
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

QList<std::pair<QString, QWidget*>> MaintWindow::fieldControls() const
{
    QList<std::pair<QString, QWidget*>> out;
    for (const Entry& e : m_entries)
        out.append({e.field, e.control});
    return out;
}

} // namespace cvd
