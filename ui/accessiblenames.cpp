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
// entries and, when it takes typing, the typing box.
class AccessibleList : public QAccessibleWidget {
public:
    explicit AccessibleList(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QComboBox* list() const { return static_cast<QComboBox*>(widget()); }

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

} // namespace cvd
