#include "support/maintfixture.h"

#include "maintenance/maintmenu.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

namespace cvd::test {

MaintWindow* MaintFixture::open(int index)
{
    w->mnuMaint[index]->trigger();
    auto* m = qobject_cast<MaintWindow*>(maintWindow(index));
    if (m && !QTest::qWaitForWindowActive(m))
        qWarning("the maintenance window did not become active");
    return m;
}

QString MaintFixture::shown(const MaintWindow* m)
{
    const QWidget* first = m->entryControls().first();
    if (const auto* box = qobject_cast<const QLineEdit*>(first))
        return box->text();
    return qobject_cast<const QPlainTextEdit*>(first)->toPlainText();
}

} // namespace cvd::test
