#include "core/lookuplists.h"

#include "core/database.h"
#include "core/globals.h"

#include <QComboBox>
#include <functional>

namespace cvd {

namespace {

using EntryText = std::function<QString(Recordset&)>;

// Clears the lists, then adds one entry per record of the query to each of
// them, the key as item data.
void fill(Database& db, const QString& sql, const QString& keyField, const EntryText& text,
          std::initializer_list<QComboBox*> lists)
{
    for (QComboBox* l : lists)
        l->clear();
    auto rs = db.OpenRecordset(sql, RecordsetType::Snapshot);
    if (rs->RecordCount() > 0) {
        while (!rs->Eof()) {
            const QString entry = text(*rs);
            const int key = rs->Field(keyField).toLong();
            for (QComboBox* l : lists) {
                l->addItem(entry);
                l->setItemData(l->count() - 1, key);
            }
            rs->MoveNext();
        }
    }
    rs->Close();
    for (QComboBox* l : lists)
        l->setCurrentIndex(-1);
}

QString personName(Recordset& rs)
{
    return nameRule(rs.Field(QStringLiteral("LastName")), rs.Field(QStringLiteral("FirstName")));
}

} // namespace

QString nameRule(const Value& lastName, const Value& firstName)
{
    const QString last = lastName.displayText();
    const QString first = firstName.displayText();
    if (last.isEmpty() || first.isEmpty())
        return last + first;
    return last + QStringLiteral(", ") + first;
}

bool reloadChangedLists(Database& db, const LookupLists& lists)
{
    bool any = false;
    if (CatListChanged) {
        fill(db, lookup::CategoriesSql, QStringLiteral("CatID"),
             [](Recordset& rs) { return rs.Field(QStringLiteral("CatDesc")).displayText(); }, {lists.cat});
        CatListChanged = false;
        any = true;
    }
    if (CustListChanged) {
        fill(db, lookup::CustomersSql, QStringLiteral("CustID"), personName, {lists.cust});
        CustListChanged = false;
        any = true;
    }
    if (DeptListChanged) {
        fill(db, lookup::DeptSql, QStringLiteral("DeptID"),
             [](Recordset& rs) { return rs.Field(QStringLiteral("DeptName")).displayText(); }, {lists.dept});
        DeptListChanged = false;
        any = true;
    }
    if (PriListChanged) {
        fill(db, lookup::PrioritiesSql, QStringLiteral("PriID"),
             [](Recordset& rs) { return rs.Field(QStringLiteral("PriDesc")).displayText(); }, {lists.pri});
        PriListChanged = false;
        any = true;
    }
    if (StaffListChanged) {
        fill(db, lookup::StaffSql, QStringLiteral("StaffID"), personName, {lists.enteredBy, lists.assignedTo});
        StaffListChanged = false;
        any = true;
    }
    return any;
}

void selectByItemData(QComboBox* list, const Value& key)
{
    int found = -1;
    if (!key.isNull()) {
        const int k = key.toLong();
        for (int i = 0; i < list->count(); ++i)
            if (list->itemData(i).toInt() == k) {
                found = i;
                break;
            }
    }
    list->setCurrentIndex(found);
}

Value selectedItemData(const QComboBox* list)
{
    const int i = list->currentIndex();
    if (i < 0)
        return Value();
    return Value(list->itemData(i).toInt());
}

} // namespace cvd
