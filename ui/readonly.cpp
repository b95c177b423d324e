#include "ui/readonly.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace cvd {

void showReadOnly(const QList<QWidget*>& controls)
{
    for (QWidget* c : controls) {
        if (auto* box = qobject_cast<QLineEdit*>(c))
            box->setReadOnly(true);
        else if (auto* memo = qobject_cast<QPlainTextEdit*>(c))
            memo->setReadOnly(true);
        else
            c->setEnabled(false);
    }
}

} // namespace cvd
