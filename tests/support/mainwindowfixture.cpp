#include "support/mainwindowfixture.h"

#include "base/formats.h"
#include "base/globals.h"
#include "dates/datefield.h"
#include "db/database.h"
#include "mainwindow/startup.h"
#include "support/fixturedb.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace cvd::test {

MainWindowFixture::MainWindowFixture()
{
    resetProgramValues();
    fmt::setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    location = createFixtureDb(dir.path());
    w = std::make_unique<frmMain>();
}

MainWindowFixture::~MainWindowFixture() { w.reset(), resetProgramValues(); }

frmMain& MainWindowFixture::started()
{
    startUp(*w, QStringLiteral("-d ") + dir.path());
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w.get()))
        qWarning("the main window did not become active");
    return *w;
}

frmMain& MainWindowFixture::at(int reqId)
{
    started();
    for (int i = 0; i < 8 && w->txtReqID->text() != QString::number(reqId); ++i)
        w->cmdNext->click();
    return *w;
}

QString state(const RecordWindow& w)
{
    const bool editLayout = !w.cmdCancel->isHidden() && !w.cmdUpdate->isHidden() && w.cmdNext->isHidden()
                            && w.cmdFind->isHidden() && w.cmdDelete->isHidden();
    const bool browseLayout = w.cmdCancel->isHidden() && w.cmdUpdate->isHidden() && !w.cmdNext->isHidden()
                              && !w.cmdFind->isHidden() && !w.cmdDelete->isHidden() && !w.cmdAddNew->isHidden();
    const QString addNew = w.cmdAddNew->text();
    return !w.Editing && !w.Adding && browseLayout && addNew == u"&Add New"_s ? u"browsing"_s
           : w.Editing && !w.Adding && editLayout && w.cmdAddNew->isHidden() ? u"editing"_s
           : w.Adding && !w.Editing && editLayout && !w.cmdAddNew->isHidden() && addNew == u"&Add Another"_s ? u"adding"_s
                                                                                                        : u"?"_s;
}

bool MainWindowFixture::entriesEnabled(bool enabled) const
{
    // Total Cost is worked out, never typed: it is never enabled.
    const QList<QWidget*> all = w->entryControls();
    return std::all_of(all.begin(), all.end(),
                       [this, enabled](QWidget* c) { return c->isEnabled() == (enabled && c != w->txtCostTot); });
}

QStringList MainWindowFixture::shownRecord() const
{
    QStringList out{w->txtReqID->text()};
    for (const QWidget* c : w->entryControls()) {
        if (const auto* box = qobject_cast<const QLineEdit*>(c))
            out << box->text();
        else if (const auto* memo = qobject_cast<const QPlainTextEdit*>(c))
            out << memo->toPlainText();
        else if (const auto* tick = qobject_cast<const QCheckBox*>(c))
            out << (tick->isChecked() ? QStringLiteral("yes") : QStringLiteral("no"));
        else if (const auto* date = qobject_cast<const DateField*>(c))
            out << date->currentText();
        else if (const auto* list = qobject_cast<const QComboBox*>(c))
            out << (list->currentIndex() < 0 && list->currentText().isEmpty() ? u"-"_s : list->currentText());
    }
    return out;
}

QStringList MainWindowFixture::walk()
{
    w->cmdFirst->click();
    QStringList ids{w->txtReqID->text()};
    for (const int beeps = p.beeps; ids.size() < 100; ids << w->txtReqID->text()) {
        w->cmdNext->click();
        if (p.beeps > beeps) // past the last one
            break;
    }
    return ids;
}

bool MainWindowFixture::saved(bool byKey)
{
    byKey ? QTest::keyClick(QApplication::focusWidget(), Qt::Key_U, Qt::AltModifier) : w->cmdUpdate->click();
    return QTest::qWaitFor([this] { return browsing(); }) && p.messages.isEmpty();
}

bool focusIsIn(const QWidget* c)
{
    const QWidget* f = QApplication::focusWidget();
    return f && (f == c || c->isAncestorOf(f));
}

bool focusInto(QWidget* c)
{
    c->setFocus(Qt::TabFocusReason);
    const bool ok = QTest::qWaitFor([c] { return focusIsIn(c); });
    QCoreApplication::processEvents(); // a box selects its text once it has the focus
    return ok;
}

// An editable drop-down keeps the focus and passes the keys on to its text part.
bool typeInto(QWidget* c, const QString& text)
{
    if (!focusInto(c))
        return false;
    QWidget* target = QApplication::focusWidget();
    auto* combo = qobject_cast<QComboBox*>(target);
    if (!QMetaObject::invokeMethod(combo ? combo->lineEdit() : target, "selectAll"))
        return false;
    QTest::keyClick(target, Qt::Key_Delete);
    for (const QChar ch : text) // as typed, Latin-1 or not
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    return true;
}

void tabOut()
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCoreApplication::processEvents();
}

QString fileQuery(const QString& sql)
{
    if (MainDb->isServer()) {
        const QList<QStringList> rows = rowsOnTestDb(DatabasePath, sql);
        return rows.isEmpty() ? QStringLiteral("(no row)") : rows.first().value(0);
    }
    sqlite3_stmt* st = nullptr;
    QString out = QStringLiteral("(no row)");
    if (sqlite3_prepare_v2(MainDb->handle(), sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
        out = QStringLiteral("(bad query)");
    else if (sqlite3_step(st) == SQLITE_ROW)
        out = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return out;
}

QString stored(int reqId, const QString& field)
{
    const QString sql = QStringLiteral("select typeof(%1) || ':' || ifnull(%1, '') from Req where ReqID = %2");
    return fileQuery(sql.arg(field).arg(reqId));
}

QStringList stored(int reqId, const QStringList& expected)
{
    QStringList out;
    for (const QString& e : expected)
        out << e.section(QLatin1Char('='), 0, 0) + QLatin1Char('=') + stored(reqId, e.section(QLatin1Char('='), 0, 0));
    return out;
}

QString storedRow(int reqId)
{
    const QString fields = fileQuery(u"select group_concat('quote(' || name || ')', ' || ''|'' || ') "
                                     u"from pragma_table_info('Req')"_s);
    return fileQuery(u"select %1 from Req where ReqID = %2"_s.arg(fields).arg(reqId));
}

} // namespace cvd::test
