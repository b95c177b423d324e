#include "ui/leavecheck.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

namespace cvd {

namespace {

bool g_refocusing = false;
// The check running was set off by a mouse press on another control.
bool g_byMousePress = false;

// Eats the mouse press that moved the focus away from a control whose check
// then failed: the press is delivered after the focus change, and by then
// its release went to the message box, so the control pressed would stay
// down (and a button click half-done).  Gone after the current event.
class PressEater : public QObject {
public:
    PressEater() : QObject(qApp)
    {
        qApp->installEventFilter(this);
        QTimer::singleShot(0, this, &QObject::deleteLater);
    }
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() != QEvent::MouseButtonPress && e->type() != QEvent::MouseButtonDblClick)
            return false;
        qApp->removeEventFilter(this);
        deleteLater();
        return true;
    }
};

class LeaveFilter : public QObject {
public:
    LeaveFilter(QWidget* control, std::function<void()> check)
        : QObject(control), m_control(control), m_check(std::move(check))
    {
    }

    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() != QEvent::FocusOut || g_refocusing)
            return false;
        const auto reason = static_cast<QFocusEvent*>(e)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason
            || reason == Qt::MenuBarFocusReason)
            return false;
        // The focus widget is already the one taking the focus.
        const QWidget* next = QApplication::focusWidget();
        if (next && (next == m_control || m_control->isAncestorOf(next)))
            return false;
        if (!m_control->isVisible() || !m_control->isEnabled())
            return false;
        if (m_check) {
            const bool was = g_byMousePress;
            g_byMousePress = reason == Qt::MouseFocusReason;
            m_check();
            g_byMousePress = was;
        }
        return false;
    }

private:
    QPointer<QWidget> m_control;
    std::function<void()> m_check;
};

} // namespace

void onLeave(QWidget* control, std::function<void()> check)
{
    auto* f = new LeaveFilter(control, std::move(check));
    control->installEventFilter(f);
    // Editable drop-downs have a text part that holds the focus itself.
    for (QWidget* child : control->findChildren<QWidget*>())
        if (child->focusPolicy() != Qt::NoFocus)
            child->installEventFilter(f);
}

// Marks a box that selects its text on focus to do so when the focus next
// comes back, whatever brings it (the window's activation, after a message
// box, included).
constexpr const char* SelectOnReturn = "cvdSelectOnReturn";
constexpr const char* SelectsOnFocus = "cvdSelectsOnFocus";

void refocus(QWidget* control)
{
    if (control->property(SelectsOnFocus).toBool())
        control->setProperty(SelectOnReturn, true);
    const bool was = g_refocusing;
    g_refocusing = true;
    control->setFocus(Qt::OtherFocusReason);
    g_refocusing = was;
    // A window that is not active (a message box has just closed and the
    // window system has not given the activation back yet, or never will
    // without a window manager) gets no focus event: select once the box
    // has finished losing the focus (which drops its selection).
    if (control->property(SelectsOnFocus).toBool() && !control->window()->isActiveWindow())
        if (QPointer<QLineEdit> box = qobject_cast<QLineEdit*>(control))
            QTimer::singleShot(0, box, [box] {
                if (box && box->window()->focusWidget() == box)
                    box->selectAll();
            });
    if (g_byMousePress) {
        g_byMousePress = false;
        new PressEater;
    }
}

namespace {

// Selects again once the click that brought the focus has been handled, or
// the click would place the cursor instead.
class SelectAllOnFocus : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() != QEvent::FocusIn)
            return false;
        const auto reason = static_cast<QFocusEvent*>(e)->reason();
        const bool returning = o->property(SelectOnReturn).toBool();
        if (!returning && (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason))
            return false;
        o->setProperty(SelectOnReturn, false);
        QPointer<QLineEdit> box = static_cast<QLineEdit*>(o);
        box->selectAll();
        QTimer::singleShot(0, box, [box] {
            if (box && box->hasFocus())
                box->selectAll();
        });
        return false;
    }
};

} // namespace

void selectAllOnFocus(QLineEdit* box)
{
    box->setProperty(SelectsOnFocus, true);
    box->installEventFilter(new SelectAllOnFocus(box));
}

} // namespace cvd
