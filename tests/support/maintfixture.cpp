#include "support/maintfixture.h"

#include "maintenance/maintmenu.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
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

void MaintFixture::type(QWidget* box, const QString& text)
{
    // Lines after the first follow the Enter key.
    const QStringList lines = text.split(u'\n');
    QVERIFY(typeInto(box, lines.first()));
    for (const QString& line : lines.mid(1)) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        for (const QChar ch : line)
            QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

} // namespace cvd::test
