#include "ui/shownfields.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace cvd {

namespace {

// What a control shows, as one text.
QString stateOf(const QWidget* c)
{
    if (const auto* box = qobject_cast<const QLineEdit*>(c))
        return box->text();
    if (const auto* memo = qobject_cast<const QPlainTextEdit*>(c))
        return memo->toPlainText();
    if (const auto* list = qobject_cast<const QComboBox*>(c))
        return QString::number(list->currentIndex()) + QLatin1Char('\n') + list->currentText();
    if (const auto* tick = qobject_cast<const QCheckBox*>(c))
        return QString::number(int(tick->checkState()));
    return QString();
}

} // namespace

void ShownFields::remember(const QList<QWidget*>& controls)
{
    m_shown.clear();
    for (const QWidget* c : controls)
        m_shown.insert(c, stateOf(c));
}

bool ShownFields::untouched(const QWidget* control) const
{
    const auto it = m_shown.constFind(control);
    return it != m_shown.constEnd() && *it == stateOf(control);
}

void showFromStart(QWidget* control)
{
    if (auto* list = qobject_cast<QComboBox*>(control))
        control = list->lineEdit();
    if (auto* box = qobject_cast<QLineEdit*>(control))
        box->setCursorPosition(0);
}

} // namespace cvd
