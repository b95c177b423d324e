#pragma once
// The main window's six look-up lists of reference records: one entry per
// record in the order of the list's query, the record's key as the entry's
// item data.  A list is reloaded only when its "list changed" flag is set,
// and the flag is cleared after the reload.
#include "core/value.h"

#include <QString>

class QComboBox;

namespace cvd {

class Database;

struct LookupLists {
    QComboBox* cat = nullptr;
    QComboBox* cust = nullptr;
    QComboBox* dept = nullptr;
    QComboBox* pri = nullptr;
    QComboBox* enteredBy = nullptr;
    QComboBox* assignedTo = nullptr;
};

namespace lookup {
inline const QString CategoriesSql = QStringLiteral("Select * from categories order by CatDesc");
inline const QString CustomersSql = QStringLiteral("Select CustID, FirstName, LastName from Customers order by Lastname, Firstname");
inline const QString DeptSql = QStringLiteral("Select DeptName, DeptID from Dept order by Deptname");
inline const QString PrioritiesSql = QStringLiteral("Select PriID, PriDesc from Priorities order by PriDesc");
inline const QString StaffSql = QStringLiteral("Select FirstName, LastName, StaffID from Staff order by LastName, FirstName");
}

// A customer's or staff member's entry text: "Last, First"; when either
// name is empty or Null, the two joined with nothing between.
QString nameRule(const Value& lastName, const Value& firstName);

// Reloads, in the order categories, customers, departments, priorities,
// staff, each list whose flag is true, and clears that flag.  Returns
// whether any list was reloaded.
bool reloadChangedLists(Database& db, const LookupLists& lists);

// Selects the first entry whose item data equals `key`; clears the
// selection when `key` is Null or no entry matches.
void selectByItemData(QComboBox* list, const Value& key);

// The item data of the selected entry; Null when nothing is selected.
Value selectedItemData(const QComboBox* list);

} // namespace cvd
