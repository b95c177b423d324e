#include "dates/datefield.h"

#include "base/formats.h"
#include "base/globals.h"
#include "base/platform.h"
#include "dates/frmdateent.h"
#include "ui/leavecheck.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPointer>
#include <QRect>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace cvd {

DateField::DateField(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
}

void DateField::showPopup() { emit dropDown(); }

namespace {

// The frame's top-left corner of the window that holds `w`, on the screen.
QPoint windowCorner(const QWidget* w) { return w->window()->frameGeometry().topLeft(); }

// Moves a picker of size `picker` at `p` as little as needed to lie on the
// screen of `field`'s window (its top-left corner wins on a small screen).
QPoint onScreen(const QWidget* field, QPoint p, QSize picker)
{
    const QScreen* screen = field->window()->screen();
    if (!screen)
        return p;
    const QRect avail = screen->availableGeometry();
    const int x = std::max(avail.left(), std::min(p.x(), avail.left() + avail.width() - picker.width()));
    const int y = std::max(avail.top(), std::min(p.y(), avail.top() + avail.height() - picker.height()));
    return QPoint(x, y);
}

// The activation comes back to a window some moments after a modal window
// on it closes, by way of the window system.  Waits a little while for it,
// taking no user input meanwhile.
class ActivationWait : public QObject {
public:
    explicit ActivationWait(QWidget* window) : m_window(window) { window->installEventFilter(this); }
    ~ActivationWait() override
    {
        if (m_window)
            m_window->removeEventFilter(this);
    }
    void run(int ms)
    {
        if (m_window->isActiveWindow() || !m_window->isVisible())
            return;
        m_window->activateWindow();
        if (m_window->isActiveWindow())
            return;
        QTimer::singleShot(ms, &m_loop, &QEventLoop::quit);
        m_loop.exec(QEventLoop::ExcludeUserInputEvents);
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::WindowActivate)
            m_loop.quit();
        return false;
    }

private:
    QPointer<QWidget> m_window;
    QEventLoop m_loop;
};

void sendTab(QWidget* target)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

} // namespace

QPoint placeBelow(const QWidget* field, int heights, QSize picker)
{
    const QRect f = field->geometry();
    const QPoint w = windowCorner(field);
    return onScreen(field, QPoint(f.left() + w.x(), f.top() + w.y() + heights * f.height()), picker);
}

QPoint placeBelowAlignedWith(const QWidget* leftOf, const QWidget* field, int heights, QSize picker)
{
    const QRect r = leftOf->geometry();
    const QRect f = field->geometry();
    const QPoint w = windowCorner(field);
    return onScreen(field, QPoint(r.left() + w.x(), f.top() + w.y() + heights * f.height()), picker);
}

QPoint placeAboveRightAligned(const QWidget* field, QSize picker)
{
    const QRect f = field->geometry();
    const QPoint w = windowCorner(field);
    return onScreen(field,
                    QPoint(f.left() + w.x() - picker.width() + f.width(),
                           f.top() + w.y() + 2 * f.height() - picker.height()),
                    picker);
}

QPoint placeInFrameRightAligned(const QWidget* field, QSize picker)
{
    const QRect f = field->geometry();
    const QWidget* frame = field->parentWidget();
    const QRect c = frame && !frame->isWindow() ? frame->geometry() : QRect();
    const QPoint w = windowCorner(field);
    return onScreen(field,
                    QPoint(c.left() + w.x() + f.left() + f.width() - picker.width(),
                           c.top() + w.y() + f.top() + 2 * f.height()),
                    picker);
}

void runDateDropDown(QComboBox* field, const DateDropDown& how)
{
    // The starting date: the field's date, or today.
    const QString text = field->currentText();
    if (fmt::isDate(text)) {
        PickedDate = fmt::toDate(text);
        if (how.shiftOldYears && PickedDate.year() >= 1900 && PickedDate.year() <= 1930)
            PickedDate = PickedDate.addYears(100);
    } else {
        PickedDate = QDate::currentDate();
    }

    // The picker reads PickedDate as it is created.
    frmDateEnt picker(field->window());
    if (how.place)
        picker.move(how.place(picker.size()));
    if (!how.caption.isEmpty())
        picker.setWindowTitle(how.caption);
    picker.exec();

    // Picked or not, the field shows PickedDate.
    field->setEditText(fmt::shortDate(PickedDate));

    // A Tab moves the focus on from the field, once its window is active
    // again, so that the field's leave check runs as for a typed Tab.
    QWidget* window = field->window();
    ActivationWait(window).run(500);
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != window)
        target = window->focusWidget();
    if (!target)
        target = field;
    sendTab(target);
}

bool checkDateOnLeave(QComboBox* field, bool blankAllowed, const QString& message)
{
    const QString text = field->currentText();
    if (text.isEmpty() && blankAllowed)
        return false;
    if (!text.isEmpty() && fmt::isDate(text))
        return true;
    platform().messageBox(message, Mb::OkOnly);
    refocus(field);
    return false;
}

} // namespace cvd
