#include "ui/accesskeys.h"

#include "base/platform.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

namespace cvd {

namespace {

// Sees every key press before the control with the focus.  Access keys of
// visible, enabled buttons and menus never get here: the shortcut map takes
// them first.  What is left is an access key that nothing owns.
class AccessKeyGuard : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* receiver, QEvent* e) override
    {
        if (e->type() != QEvent::KeyPress || !receiver->isWidgetType())
            return false;
        const auto* key = static_cast<QKeyEvent*>(e);
        const Qt::KeyboardModifiers mods = key->modifiers();
        // Ctrl+Alt is AltGr on some keyboards: it types characters.
        if (!(mods & Qt::AltModifier) || (mods & (Qt::ControlModifier | Qt::MetaModifier)))
            return false;
        const QString text = key->text();
        if (text.isEmpty() || !text.at(0).isPrint() || text.at(0).isSpace())
            return false;
        // An open menu takes its items' letters with or without Alt.  An open
        // list (a drop-down's, a completer's) would pick an entry by it.
        if (qobject_cast<const QMenu*>(receiver) || qobject_cast<const QMenuBar*>(receiver))
            return false;
        if (!key->isAutoRepeat())
            platform().beep();
        return true;
    }
};

QPointer<AccessKeyGuard> g_guard;

} // namespace

void guardAccessKeys()
{
    if (g_guard || !qApp)
        return;
    g_guard = new AccessKeyGuard(qApp);
    qApp->installEventFilter(g_guard);
}

} // namespace cvd
