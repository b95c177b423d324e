#pragma once
// The steps every command of the Reports menu takes before its report:
// the target, on the file target the Save As dialog with the command's
// default file name, then ReportMode and ShowLandscapeOption, then the
// report procedure.
//
//   runReportCommand(ReportTargetKind::File, {"Hours.txt", 0, false, HoursByStaffReport});
#include "base/globals.h"

#include <QString>

namespace cvd {

struct ReportCommand {
    const char* defaultFileName; // proposed in the Save As dialog
    int mode;                    // ReportMode
    bool landscapeOffered;       // the options dialog offers landscape on the preview target
    void (*procedure)();
};

inline const QString ReportFileFilter = QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*");

// The file name the Save As dialog proposes: the command's default name,
// in the folder of the file chosen last (the current folder the first time).
QString proposedReportFile(const char* defaultFileName);

// Runs a report command for `target`.  A cancelled Save As dialog ends the
// command quietly, another failure of the dialog goes to HandleError; then
// no report is made.  Returns whether the report procedure was called.
bool runReportCommand(ReportTargetKind target, const ReportCommand& command);

} // namespace cvd
