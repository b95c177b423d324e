#include "ui/contexthelp.h"

#include "base/globals.h"
#include "base/platform.h"
#include "db/database.h"

#include <QApplication>
#include <QShortcut>
#include <QWidget>

namespace cvd {

void setHelpContext(QWidget* w, int contextId) { w->setProperty(HelpContextProperty, contextId); }

int helpContextOf(const QWidget* w)
{
    for (; w; w = w->parentWidget()) {
        const QVariant v = w->property(HelpContextProperty);
        if (v.isValid() && v.toInt() != 0)
            return v.toInt();
        if (w->isWindow())
            break;
    }
    return 0;
}

void installContextHelp(QWidget* window)
{
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), window);
    f1->setContext(Qt::WindowShortcut);
    QObject::connect(f1, &QShortcut::activated, window, [window] {
        QWidget* focus = QApplication::focusWidget();
        if (!focus || focus->window() != window)
            focus = window;
        platform().help(window, HelpFilePath, Help::Context, quint32(helpContextOf(focus)));
    });
}

} // namespace cvd
