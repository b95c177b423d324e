#include "ui/lookuplists.h"

#include "base/globals.h"
#include "db/database.h"
#include "ui/lookupmodel.h"

#include <QComboBox>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <functional>

namespace cvd {

namespace {

class DeleteKeyClears : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key != Qt::Key_Delete && key != Qt::Key_Backspace)
            return false;
        static_cast<QComboBox*>(watched)->setCurrentIndex(-1);
        return true;
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

bool ListVersions::moved(Database& db, const QString& table) const
{
    const auto it = readAt.constFind(table);
    return it == readAt.constEnd() || *it != db.tableVersion(table);
}

bool reloadChangedLists(Database& db, const LookupLists& lists, ListVersions* versions)
{
    bool any = false;
    // The version is read before the rows, so that a change made while
    // they are read is seen at the next activation.
    auto reload = [&](bool& flag, const QString& table, const std::function<void()>& fill) {
        if (versions && versions->moved(db, table))
            flag = true;
        if (!flag)
            return;
        const qint64 version = versions ? db.tableVersion(table) : 0;
        fill();
        if (versions)
            versions->readAt.insert(table, version);
        flag = false;
        any = true;
    };
    reload(CatListChanged, QStringLiteral("Categories"), [&] {
        setEntries(lists.cat, readEntries(db, lookup::CategoriesSql, QStringLiteral("CatID"), QStringLiteral("CatDesc")));
    });
    reload(CustListChanged, QStringLiteral("Customers"),
           [&] { setEntries(lists.cust, readEntries(db, lookup::CustomersSql, QStringLiteral("CustID"))); });
    reload(DeptListChanged, QStringLiteral("Dept"), [&] {
        setEntries(lists.dept, readEntries(db, lookup::DeptSql, QStringLiteral("DeptID"), QStringLiteral("DeptName")));
    });
    reload(PriListChanged, QStringLiteral("Priorities"), [&] {
        setEntries(lists.pri, readEntries(db, lookup::PrioritiesSql, QStringLiteral("PriID"), QStringLiteral("PriDesc")));
    });
    reload(StaffListChanged, QStringLiteral("Staff"), [&] {
        // One read fills both lists; each keeps its own model and selection.
        const ListEntries staff = readEntries(db, lookup::StaffSql, QStringLiteral("StaffID"));
        setEntries(lists.enteredBy, staff);
        setEntries(lists.assignedTo, staff);
    });
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

void clearOnDeleteKey(QComboBox* list) { list->installEventFilter(new DeleteKeyClears(list)); }

} // namespace cvd
