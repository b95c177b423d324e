#include "ui/lookuplists.h"

#include "db/database.h"
#include "db/dbconnection.h"
#include "base/globals.h"
#include "ui/lookupmodel.h"
#include "db/sqlvalues.h"

#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QListView>
#include <cstdint>
#include <sqlite3.h>

namespace cvd {

namespace {

QString joinNames(const QString& last, const QString& first)
{
    if (last.isEmpty() || first.isEmpty())
        return last + first;
    return last + QStringLiteral(", ") + first;
}

// One column of a list's query, read straight from the statement: the
// lists read every record of their tables, so the values are taken by
// column number and texts without going through Value where they are
// plain text.
struct Column {
    int index = -1;
    sql::ColType type = sql::ColType::Unknown;

    static Column named(sqlite3_stmt* s, const QString& name)
    {
        const int n = sqlite3_column_count(s);
        for (int i = 0; i < n; ++i)
            if (name.compare(QString::fromUtf8(sqlite3_column_name(s, i)), Qt::CaseInsensitive) == 0)
                return {i, sql::columnType(sqlite3_column_decltype(s, i)).type};
        raise(ErrNo::ItemNotFound, QStringLiteral("Item not found in this collection: '%1'.").arg(name));
    }

    // The text a text box would show: Null gives the empty text.
    QString text(sqlite3_stmt* s) const
    {
        switch (sqlite3_column_type(s, index)) {
        case SQLITE_NULL: return QString();
        case SQLITE_TEXT:
            if (type == sql::ColType::Text || type == sql::ColType::Unknown)
                return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, index)),
                                         sqlite3_column_bytes(s, index));
            break;
        default: break;
        }
        return sql::readColumn(s, index, type).displayText();
    }

    // The key as item data (a long integer; Null and other values fail as
    // their conversion does).
    int key(sqlite3_stmt* s) const
    {
        if (sqlite3_column_type(s, index) == SQLITE_INTEGER) {
            const sqlite3_int64 v = sqlite3_column_int64(s, index);
            if (v >= INT32_MIN && v <= INT32_MAX)
                return int(v);
        }
        return sql::readColumn(s, index, type).toLong();
    }
};

// The list's own model when it was filled by setEntries.
const LookupModel* lookupModel(const QComboBox* list)
{
    if (list->modelColumn() != 0 || list->rootModelIndex().isValid())
        return nullptr;
    return dynamic_cast<const LookupModel*>(list->model());
}

// An editable list's completer (the one the combo box made, which works on
// the list's model) gets the entries in its comparison order.
void orderCompletion(QComboBox* list, LookupModel* model)
{
    QCompleter* completer = list->lineEdit() ? list->lineEdit()->completer() : nullptr;
    if (!completer || completer->model() != model || completer->completionColumn() != 0)
        return;
    completer->setModel(new CompletionOrder(model, completer));
    completer->setModelSorting(QCompleter::CaseInsensitivelySortedModel);
}

} // namespace

QString nameRule(const Value& lastName, const Value& firstName)
{
    return joinNames(lastName.displayText(), firstName.displayText());
}

ListEntries readEntries(Database& db, const QString& sql, const QString& keyField, const QString& textField)
{
    ListEntries e;
    sqlite3* h = db.handle();
    const Stmt stmt = prepareStmt(h, translateSql(sql));
    sqlite3_stmt* s = stmt.get();
    const Column key = Column::named(s, keyField);
    const bool person = textField.isEmpty();
    const Column text = person ? Column::named(s, QStringLiteral("LastName")) : Column::named(s, textField);
    const Column first = person ? Column::named(s, QStringLiteral("FirstName")) : Column();
    for (;;) {
        const int rc = sqlite3_step(s);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            sqlFail(h, rc);
        e.texts.append(person ? joinNames(text.text(s), first.text(s)) : text.text(s));
        e.keys.append(key.key(s));
    }
    return e;
}

void setEntries(QComboBox* list, const ListEntries& entries)
{
    auto* model = dynamic_cast<LookupModel*>(list->model());
    if (!model) {
        model = new LookupModel(list);
        list->setModel(model); // the combo box's own model goes
        list->setModelColumn(0);
        list->setRootModelIndex({});
        orderCompletion(list, model);
        // One line of text each: the drop-down lays out a long list at once
        // instead of measuring every entry.
        if (auto* view = qobject_cast<QListView*>(list->view()))
            view->setUniformItemSizes(true);
    }
    model->reset(entries);
    list->setCurrentIndex(-1);
}

bool reloadChangedLists(Database& db, const LookupLists& lists)
{
    bool any = false;
    if (CatListChanged) {
        setEntries(lists.cat, readEntries(db, lookup::CategoriesSql, QStringLiteral("CatID"), QStringLiteral("CatDesc")));
        CatListChanged = false;
        any = true;
    }
    if (CustListChanged) {
        setEntries(lists.cust, readEntries(db, lookup::CustomersSql, QStringLiteral("CustID")));
        CustListChanged = false;
        any = true;
    }
    if (DeptListChanged) {
        setEntries(lists.dept, readEntries(db, lookup::DeptSql, QStringLiteral("DeptID"), QStringLiteral("DeptName")));
        DeptListChanged = false;
        any = true;
    }
    if (PriListChanged) {
        setEntries(lists.pri, readEntries(db, lookup::PrioritiesSql, QStringLiteral("PriID"), QStringLiteral("PriDesc")));
        PriListChanged = false;
        any = true;
    }
    if (StaffListChanged) {
        // One read fills both lists; each keeps its own model and selection.
        const ListEntries staff = readEntries(db, lookup::StaffSql, QStringLiteral("StaffID"));
        setEntries(lists.enteredBy, staff);
        setEntries(lists.assignedTo, staff);
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
        const LookupModel* model = lookupModel(list);
        found = model ? model->rowOf(k) : list->findData(k);
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
