#pragma once
// The entries of a look-up list of reference records: one per record, in
// the order of the list's query, the record's key kept with each entry.
// Read here through the engine; ui/lookuplists.h puts them into the lists.
#include "db/value.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace cvd {

class Database;

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

// A customer's or staff member's name as the reports and the report
// options show it: "First Last"; an empty or Null part gives nothing, the
// blank stays.
QString fullName(const Value& firstName, const Value& lastName);

// Reads a list's query (read once, forward): the key from `keyField`, the
// text from `textField`, or, when `textField` is empty, by the name rule
// from LastName and FirstName.
ListEntries readEntries(Database& db, const QString& sql, const QString& keyField, const QString& textField = {});

} // namespace cvd
