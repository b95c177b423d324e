#pragma once
// The main window's six look-up lists of reference records: one entry per
// record in the order of the list's query, the record's key as the entry's
// item data.  A list is reloaded only when its "list changed" flag is set,
// and the flag is cleared after the reload.
//
// A list is filled in one go: its entries live in a list model of our own
// (core/lookupmodel.h), which also finds an entry by its key without walking
// the list.  The combo box's own functions (count, itemText, itemData,
// findData, addItem, clear) keep working on it.
#include "db/value.h"

#include <QList>
#include <QString>
#include <QStringList>

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

// The entries of a look-up list, in the order of its query.
struct ListEntries {
    QStringList texts;
    QList<int> keys;
};

// A customer's or staff member's entry text: "Last, First"; when either
// name is empty or Null, the two joined with nothing between.
QString nameRule(const Value& lastName, const Value& firstName);

// Reads a list's query (a read-only snapshot): the key from `keyField`, the
// text from `textField`, or, when `textField` is empty, by the name rule
// from LastName and FirstName.
ListEntries readEntries(Database& db, const QString& sql, const QString& keyField, const QString& textField = {});

// Replaces the entries of `list` with `entries` in one go; nothing is
// selected afterwards.  An editable list's completer gets the entries in its
// own order, so that showing another text does not read the whole list; the
// drop-down takes every entry as one line high.
void setEntries(QComboBox* list, const ListEntries& entries);

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
