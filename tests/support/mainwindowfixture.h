#pragma once
// One main window per test: a temporary folder with the fixture database
// (fixturedb.h), the scripted platform, US English formats, and the window,
// started on that folder when asked; then what the database holds.
#include "mainwindow/frmmain.h"
#include "support/scriptedplatform.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace cvd::test {

// A record window's state as the user sees it, its flags and buttons
// agreeing: "browsing", "editing", "adding" (Add Another offered); "?"
// when they disagree.
QString state(const RecordWindow& w);

struct MainWindowFixture {
    MainWindowFixture();
    ~MainWindowFixture(); // the window first, then the program values

    QTemporaryDir dir;
    ScriptedPlatform p;
    std::unique_ptr<frmMain> w;

    // The fixture's database: cvd.mdb, or on the test server the cvd.conn
    // that names it.
    QString location;
    QString dbPath() const { return location; }
    frmMain& started();     // started on the folder, shown and active
    frmMain& at(int reqId); // started and stepped on to request `reqId`
    bool browsing() const { return state(*w) == "browsing"; }
    bool editing() const { return state(*w) == "editing"; }
    bool adding() const { return state(*w) == "adding"; }
    // Every entry control enabled (but Total Cost, never typed), or every one disabled.
    bool entriesEnabled(bool enabled) const;
    // The record as the user sees it: the request number, then each entry
    // control in tab order (a tick as "yes"/"no", a list with no selection "-").
    QStringList shownRecord() const;
    QStringList walk();     // the keys shown from the first request on, Next after Next
    // Update clicked, or pressed by its access key (Alt+U, which presses it
    // a moment later): whether the window then browses, without a message.
    bool saved(bool byKey = false);
    QString messages() const { return p.messageTexts().join(QLatin1Char('\n')); }
};

// Declares a column of the test's data of each type T, one for each name.
template <typename... T, typename... Names> void columns(Names... names) { (QTest::addColumn<T>(names), ...); }

// Keyboard work on the active window: the focus put into a control as Tab
// would; `text` typed over the whole text of a box or of a drop-down's text
// part; Tab pressed on the focused control.
bool focusIsIn(const QWidget* c);
bool focusInto(QWidget* c);
bool typeInto(QWidget* c, const QString& text);
void tabOut();

// The first column of the first row of `sql` on the open database, as text
// (on a server, `sql` is run as the server takes it).
QString fileQuery(const QString& sql);

// A field of request `reqId` as "type:value" ("null:", "integer:500000" for
// $50.00); for a list of "Field=type:value", that list as the database has it.
QString stored(int reqId, const QString& field);
QStringList stored(int reqId, const QStringList& expected);
// Every field of request `reqId`, each as SQL writes it ('text', 12, NULL),
// joined by '|': what must not change when nothing is to be written.
QString storedRow(int reqId);

} // namespace cvd::test
