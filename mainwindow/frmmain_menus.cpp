// The main window's menus and what each item does.
#include "base/errorhandler.h"
#include "base/globals.h"
#include "base/platform.h"
#include "db/backup.h"
#include "db/database.h"
#include "defaults/frmdefault.h"
#include "maintenance/maintmenu.h"
#include "mainwindow/frmmain.h"
#include "reports/reportcommand.h"
#include "reports/reportprocs.h"
#include "ui/frmabout.h"

#include <QAction>
#include <QDate>
#include <QDir>
#include <QMenu>
#include <QKeySequence>
#include <QMenuBar>

namespace cvd {

namespace {

// File > Back Up Database: a consistent copy of the open database, made
// while the program runs, into a new file the user names (an existing file
// is never overwritten).  Cancel in the dialog or in the progress does
// nothing; the database itself is only read.
void backUpDatabase()
{
    QString target;
    try {
        target = platform().saveAs(QStringLiteral("Back Up Database"),
                                   QDir(DataPath).filePath(QStringLiteral("cvd-backup-%1.mdb")
                                                               .arg(QDate::currentDate().toString(Qt::ISODate))),
                                   QStringLiteral("Calvedon Data Files (*.mdb)|*.mdb|All Files (*.*)|*.*"));
    } catch (const Error& e) {
        if (e.number() == ErrNo::DialogCancelled)
            return;
        throw;
    }
    platform().progressBegin(QStringLiteral("Backing up the database..."));
    bool made = false;
    try {
        made = backupDatabase(*MainDb, target, [](qint64 done, qint64 total) { return platform().progressStep(done, total); });
    } catch (...) {
        platform().progressEnd();
        throw;
    }
    platform().progressEnd();
    if (made)
        platform().messageBox(QStringLiteral("The database has been backed up to %1.\n\nTo go back to this backup "
                                             "later, close Calvedon and put the backup in place of %2, named cvd.mdb.")
                                  .arg(QDir::toNativeSeparators(target), QDir::toNativeSeparators(DatabasePath)),
                              Mb::OkOnly | Mb::Information, QStringLiteral("Back Up Database"));
}

} // namespace

void frmMain::createMenus()
{
    auto item = [this](QMenu* menu, const char* caption, const QString& name, auto handler) {
        QAction* a = menu->addAction(QString::fromUtf8(caption));
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, [this, handler] { guarded([this, handler] { handler(this); }); });
        return a;
    };
    auto named = [](const char* n, int i) { return QString::fromLatin1(n) + QString::number(i); };

    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuDefaults = item(mnuFile, "&Maintain Program Defaults", QStringLiteral("mnuDefaults"),
                       [](frmMain* w) { w->mnuDefaults_Click(); });
    item(mnuFile, "&Back Up Database...", QStringLiteral("mnuBackup"), [](frmMain*) { backUpDatabase(); });
    mnuFile->addSeparator();
    mnuRefresh = item(mnuFile, "&Refresh", QStringLiteral("mnuRefresh"), [](frmMain* w) { w->mnuRefresh_Click(); });
    mnuRefresh->setShortcut(QKeySequence(Qt::Key_F5));
    mnuFile->addSeparator();
    mnuExit = item(mnuFile, "E&xit", QStringLiteral("mnuExit"), [](frmMain* w) { w->mnuExit_Click(); });

    mnuMaintain = menuBar()->addMenu(QStringLiteral("&Maintain"));
    mnuMaintain->setObjectName(QStringLiteral("mnuMaintain"));
    const char* maint[] = {nullptr, "&Categories", "&Customers", "&Departments", "&Priorities", "&Staff"};
    for (int i = 1; i <= 5; ++i)
        mnuMaint[i] = item(mnuMaintain, maint[i], named("mnuMaint", i), [i](frmMain* w) { w->mnuMaint_Click(i); });

    mnuReports = menuBar()->addMenu(QStringLiteral("&Reports"));
    mnuReports->setObjectName(QStringLiteral("mnuReports"));
    const char* out[] = {nullptr, "&View/Print Report", "Send Report to &File"};
    for (int i = 1; i <= 2; ++i) {
        mnuRptOut[i] = item(mnuReports, out[i], named("mnuRptOut", i), [i](frmMain* w) { w->mnuRptOut_Click(i); });
        mnuRptOut[i]->setCheckable(true);
    }
    mnuRptOut[1]->setChecked(true);
    mnuReports->addSeparator();
    const char* rpt[] = {"All Requests by Assigned &Staff", "All Requests by &Customer", "All Requests by &Department",
                         "&All Requests by Category"};
    for (int i = 0; i <= 3; ++i)
        mnuRpt[i] = item(mnuReports, rpt[i], named("mnuRpt", i), [i](frmMain* w) { w->mnuRpt_Click(i); });
    mnuReports->addSeparator();
    mnuRptHours = item(mnuReports, "&Hours by Staff", QStringLiteral("mnuRptHours"), [](frmMain* w) { w->mnuRptHours_Click(); });
    const char* charge[] = {"Charges by Customer", "Charges by Department"};
    for (int i = 0; i <= 1; ++i)
        mnuRptCharge[i] = item(mnuReports, charge[i], named("mnuRptCharge", i), [i](frmMain* w) { w->mnuRptCharge_Click(i); });
    mnuReports->addSeparator();
    const char* bill[] = {"Bills by Customer", "Bills by Department"};
    for (int i = 0; i <= 1; ++i)
        mnuBill[i] = item(mnuReports, bill[i], named("mnuBill", i), [i](frmMain* w) { w->mnuBill_Click(i); });

    mnuHelpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelpMenu->setObjectName(QStringLiteral("mnuHelpMenu"));
    const char* help[] = {nullptr, "&Contents", "&Search for Help on...", "&Using Help"};
    for (int i = 1; i <= 3; ++i)
        mnuHelp[i] = item(mnuHelpMenu, help[i], named("mnuHelp", i), [i](frmMain* w) { w->mnuHelp_Click(i); });
    mnuHelpMenu->addSeparator();
    mnuAbout = item(mnuHelpMenu, "&About the Calvedon Program", QStringLiteral("mnuAbout"),
                    [](frmMain* w) { w->mnuAbout_Click(); });
}

// Shows the defaults window (not modal).
void frmMain::mnuDefaults_Click() { showDefaultsWindow(this); }

// Closing the main window ends the program.
void frmMain::mnuExit_Click() { close(); }

// 1 categories, 2 customers, 3 departments, 4 priorities, 5 staff: each
// opens its maintenance window, not modal.
void frmMain::mnuMaint_Click(int index)
{
    if (index == 1)
        CodesMode = 1;
    else if (index == 4)
        CodesMode = 2;
    openMaintWindow(index);
}

// The report target: 1 the preview, 2 a text file.  Exactly one is checked.
void frmMain::mnuRptOut_Click(int index)
{
    mnuRptOut[1]->setChecked(index == 1);
    mnuRptOut[2]->setChecked(index == 2);
}

namespace {

// A report command on the target the check marks choose.
void runReport(const frmMain& w, const ReportCommand& command)
{
    runReportCommand(w.mnuRptOut[1]->isChecked() ? ReportTargetKind::Preview : ReportTargetKind::File, command);
}

} // namespace

// The request listings: 0 by assigned staff, 1 by customer, 2 by
// department, 3 by category; landscape is offered for the preview.
void frmMain::mnuRpt_Click(int index) { runReport(*this, {"ReqRpt.txt", index, true, ListingReport}); }

void frmMain::mnuRptHours_Click() { runReport(*this, {"Hours.txt", 0, false, HoursByStaffReport}); }

// Charges: 0 by customer, 1 by department.
void frmMain::mnuRptCharge_Click(int index) { runReport(*this, {"Charge.txt", index + 1, false, ChargesReport}); }

// Bills: 0 by customer, 1 by department.
void frmMain::mnuBill_Click(int index) { runReport(*this, {"bills.txt", index + 1, false, BillsReport}); }

// 1 the contents, 2 the search, 3 how to use help.
void frmMain::mnuHelp_Click(int index)
{
    switch (index) {
    case 1: platform().help(this, HelpFilePath, Help::Context, 0); break;
    case 2: platform().help(this, HelpFilePath, Help::PartialKey, 0); break;
    case 3: platform().help(this, QString(), Help::HelpOnHelp, 0); break;
    default: break;
    }
}

// Shows the about box, not modal; a second choice brings it forward.
void frmMain::mnuAbout_Click()
{
    if (!m_about)
        m_about = new frmAbout(this);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

} // namespace cvd
