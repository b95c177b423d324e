#pragma once
// The steps every report procedure shares: the report options dialog, the
// output (preview or text file), reading the rows of the report's query
// with a progress dialog that can cancel, and the hand-over at the end.
// Each step runs under the error trap: an error is shown by the central
// error handler and the report goes on.
//
//   if (!ReportRun::askOptions())
//       return;
//   ReportRun run(QStringLiteral("Hours by Staff"));
//   if (!run.begin(setup))
//       return;
//   run.forEachRow(sql, [&](Recordset& r) { ... run.out().row(...); });
//   if (run.cancelled())
//       return;
//   ... totals ...
//   run.finish();
#include "db/database.h"
#include "reports/reportoutput.h"

#include <functional>
#include <memory>

namespace cvd {

class ReportRun {
public:
    // ReportCancelled = true, then the report options dialog; whether the
    // user confirmed it.  Without a dialog the report counts as cancelled.
    static bool askOptions();

    // `title` names the report in the progress dialog.
    explicit ReportRun(const QString& title);
    // Closes the progress dialog and sets the mouse pointer back.
    ~ReportRun();
    ReportRun(const ReportRun&) = delete;
    ReportRun& operator=(const ReportRun&) = delete;

    // Opens the output of ReportTarget.  False when the file cannot be
    // written (the user has been told): the report ends there.
    bool begin(const PageSetup& setup);
    ReportOutput& out() { return *m_out; }

    // Opens `sql` as a read-only snapshot and calls `row` for each record
    // in order, each call under the error trap.  Stops early when the user
    // cancels the progress dialog or the output cannot be written.
    void forEachRow(const QString& sql, const std::function<void(Recordset&)>& row);

    // The user cancelled: the report produces nothing.
    bool cancelled() const { return m_cancelled; }

    // Hands the finished report over (preview or file), unless cancelled;
    // whether it was.
    bool finish();

private:
    QString m_title;
    std::unique_ptr<ReportOutput> m_out;
    bool m_progress = false;
    bool m_cancelled = false;
    qint64 m_done = 0;
};

} // namespace cvd
