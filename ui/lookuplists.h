#pragma once
// The main window's six look-up lists of reference records: one entry per
// record in the order of the list's query, the record's key as the entry's
// item data.  A list is reloaded only when its "list changed" flag is set,
// or when its table changed since the list was read (Database::tableVersion:
// by another desk on a server, by this program on a file), and the flag is
// cleared after the reload.
//
// The entries are read in base/lookupentries.h.  A list is filled in one
// go: its entries live in a list model of our own (ui/lookupmodel.h), which
// also finds an entry by its key without walking the list.  The combo box's
// own functions (count, itemText, itemData, findData, addItem, clear) keep
// working on it.
#include "base/lookupentries.h"
#include "db/value.h"

#include <QHash>

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

// Replaces the entries of `list` with `entries` in one go; nothing is
// selected afterwards.  An editable list's completer gets the entries in its
// own order, so that showing another text does not read the whole list; the
// drop-down takes every entry as one line high.
void setEntries(QComboBox* list, const ListEntries& entries);

// The version of each table (Database::tableVersion) that its lists were
// read at.
struct ListVersions {
    QHash<QString, qint64> readAt;
    // Whether `table` changed since it was read (true before the first read).
    bool moved(Database& db, const QString& table) const;
};

// Reloads, in the order categories, customers, departments, priorities,
// staff, each list whose flag is true or, with `versions`, whose table
// changed since it was read, and clears that flag.  Returns whether any
// list was reloaded.
bool reloadChangedLists(Database& db, const LookupLists& lists, ListVersions* versions = nullptr);

// Selects the first entry whose item data equals `key`; clears the
// selection when `key` is Null or no entry matches.
void selectByItemData(QComboBox* list, const Value& key);

// The item data of the selected entry; Null when nothing is selected.
Value selectedItemData(const QComboBox* list);

// Makes Delete and Backspace in a pick list clear its selection (the
// list's currentIndexChanged tells of it), so that a choice can be taken
// back.
void clearOnDeleteKey(QComboBox* list);

} // namespace cvd
