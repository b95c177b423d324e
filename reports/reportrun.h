#pragma once
// The steps every report procedure shares: the report options dialog, the
// output (preview or text file), reading the rows of the report's query
// with a progress dialog that can cancel, and the hand-over at the end.
// Each step runs under the error trap: an error is shown by the central
// error handler and the report goes on, but it is incomplete then: its
// file is not written and its preview says so.
//
//   if (!ReportRun::askOptions())
//       return;
//   ReportRun run(QStringLiteral("Hours by Staff"));
//   if (!run.begin(setup))
//       return;
//   run.forEachRow(sql, {"ReqDate", "ShortDesc"}, [&](const ReportRow& r) { ... run.out().row(...); });
//   if (run.cancelled())
//       return;
//   ... totals ...
//   run.finish();
#include "db/database.h"
#include "reports/reportoutput.h"

#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace cvd {

// The current record of a report's query: row[i] is the field named i-th
// in the list the report asked for.
class ReportRow {
public:
    Value operator[](int i) const { return m_rs->Field(m_at[size_t(i)]); }

private:
    friend class ReportRun;
    Recordset* m_rs = nullptr;
    std::vector<int> m_at;
};

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

    // Opens `sql` as a read-only set read once from first to last and
    // calls `row` for each record in order, each call under the error trap;
    // the row's fields are those named in `fields`, by their place in that
    // list.  Stops early when the user cancels the progress dialog or the
    // output cannot be written.
    void forEachRow(const QString& sql, const QStringList& fields, const std::function<void(const ReportRow&)>& row);

    // Runs a step of the report under the error trap (the error is shown
    // and the report goes on); a failure makes the report incomplete.
    bool step(const std::function<void()>& f);

    // The user cancelled: the report produces nothing.
    bool cancelled() const { return m_cancelled; }
    // Why the report lacks records: the first error met while reading
    // them; empty when none was.
    const QString& incomplete() const { return m_incomplete; }

    // Hands the finished report over (preview or file), unless cancelled;
    // whether it was.
    bool finish();

private:
    QString m_title;
    std::unique_ptr<ReportOutput> m_out;
    bool m_progress = false;
    bool m_cancelled = false;
    QString m_incomplete;
    qint64 m_done = 0;
};

} // namespace cvd
