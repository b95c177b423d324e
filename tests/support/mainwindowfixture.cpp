#include "support/mainwindowfixture.h"

#include "core/database.h"
#include "core/formats.h"
#include "core/globals.h"
#include "core/startup.h"
#include "support/fixturedb.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <sqlite3.h>

namespace cvd::test {

MainWindowFixture::MainWindowFixture()
{
    resetProgramValues();
    fmt::setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    createFixtureDb(dir.path());
    w = std::make_unique<frmMain>();
}

MainWindowFixture::~MainWindowFixture()
{
    w.reset();
    resetProgramValues();
}

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

bool MainWindowFixture::browsing() const
{
    return !w->Editing && !w->Adding && w->cmdCancel->isHidden() && w->cmdUpdate->isHidden() && !w->cmdFind->isHidden()
           && !w->cmdNext->isHidden() && !w->cmdDelete->isHidden() && !w->cmdAddNew->isHidden()
           && w->cmdAddNew->text() == QStringLiteral("&Add New") && w->mnuExit->isEnabled();
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

QString fileQuery(const QString& sql)
{
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

} // namespace cvd::test
