#include "ui/accessiblenames.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace cvd {

namespace {

QString withoutAmpersands(QString caption)
{
    caption.replace(QLatin1String("&&"), QLatin1String("\x01"));
    caption.remove(QLatin1Char('&'));
    return caption.replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

void nameTypingBox(QWidget* control, const QString& name)
{
    if (auto* list = qobject_cast<QComboBox*>(control); list && list->lineEdit())
        list->lineEdit()->setAccessibleName(name);
}

// A drop-down list as a screen reader sees it: named by its accessible name
// or its label, its entry as the value; its children are the list of
// entries and, when it takes typing, the typing box.  A list that takes no
// typing also offers its entry as read-only text, where a reader on a Linux
// desktop looks for it.
class AccessibleList : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit AccessibleList(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox)
    {
        // A new entry is told as a change of the text, so that a reader
        // says the entry chosen with the arrow keys.
        const auto told = [list, was = list->currentText()](const QString& now) mutable {
            if (!list->isEditable()) {
                QAccessibleTextUpdateEvent e(list, 0, was, now);
                QAccessible::updateAccessibility(&e);
            }
            was = now;
        };
        QObject::connect(list, &QComboBox::currentTextChanged, list, told);
    }

    QComboBox* list() const { return static_cast<QComboBox*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface && !list()->isEditable())
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // The entry as read-only text, the whole of it chosen (as a new entry
    // chosen with the arrow keys is read out).
    QString text(int start, int end) const override { return list()->currentText().mid(start, end - start); }
    int characterCount() const override { return int(list()->currentText().size()); }
    void selection(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
    }
    int selectionCount() const override { return characterCount() > 0 ? 1 : 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return list()->currentText();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = list()->view() && list()->view()->isVisible();
        s.editable = list()->isEditable();
        return s;
    }

    int childCount() const override { return list()->lineEdit() ? 2 : 1; }

    QAccessibleInterface* child(int index) const override
    {
        if (index == 0 && list()->view())
            return QAccessible::queryAccessibleInterface(list()->view());
        if (index == 1 && list()->lineEdit())
            return QAccessible::queryAccessibleInterface(list()->lineEdit());
        return nullptr;
    }

    int indexOfChild(const QAccessibleInterface* c) const override
    {
        if (c->object() == list()->view())
            return 0;
        if (list()->lineEdit() && c->object() == list()->lineEdit())
            return 1;
        return -1;
    }

    QAccessibleInterface* focusChild() const override { return list()->lineEdit() ? child(1) : nullptr; }

    QStringList actionNames() const override
    {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (action == showMenuAction() || action == pressAction())
            list()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* listFactory(const QString&, QObject* object)
{
    if (auto* list = qobject_cast<QComboBox*>(object))
        return new AccessibleList(list);
    return nullptr;
}

void nameListsByLabels()
{
    static bool installed = false;
    if (!installed)
        QAccessible::installFactory(listFactory);
    installed = true;
}

} // namespace

void tieLabel(QLabel* label, QWidget* control)
{
    nameListsByLabels();
    label->setBuddy(control);
    nameTypingBox(control, withoutAmpersands(label->text()));
}

void nameControl(QWidget* control, const QString& name)
{
    nameListsByLabels();
    control->setAccessibleName(name);
    nameTypingBox(control, name);
}

void tellCurrentCell(QAbstractItemView* view)
{
    QAccessibleInterface* a = QAccessible::isActive() ? QAccessible::queryAccessibleInterface(view) : nullptr;
    QAccessibleTableInterface* cells = a ? a->tableInterface() : nullptr;
    const QModelIndex at = view->currentIndex();
    if (QAccessibleInterface* cell = cells && at.isValid() ? cells->cellAt(at.row(), at.column()) : nullptr) {
        QAccessibleEvent told(cell, QAccessible::Focus);
        QAccessible::updateAccessibility(&told);
    }
}

} // namespace cvd
