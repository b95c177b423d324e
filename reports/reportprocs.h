#pragma once
// The report procedures.  Each is called by its Reports menu command after
// the command has set ReportTarget (and ReportFileName for a file),
// ReportMode and ShowLandscapeOption; each shows the report options dialog
// first and produces nothing when it is cancelled.
#include "reports/pagedocument.h"

#include <functional>

namespace cvd {

void ListingReport();      // the four request listings, by ReportMode
void HoursByStaffReport(); // hours by staff
void ChargesReport();      // charges by customer (ReportMode 1) or department (2)
void BillsReport();        // bills by customer (1) or department (2)

// Shows the report options dialog modally; confirming it sets
// ReportCancelled false and the answers.  The program shows frmRptDateEmp;
// cvdtool and the tests answer without a window.
inline std::function<void()> ShowReportOptions;

// Takes a finished preview document: the program shows it in the preview
// window (frmOutput); cvdtool writes it as PDF.
inline std::function<void(PageDocument)> ShowPreview;

// Opens the defaults window, where the user types the company heading of
// the bills: the program opens frmDefault.  Unset where there are no
// windows (cvdtool): a bill run with an empty heading then never asks and
// makes its bills without one.
inline std::function<void()> ShowDefaults;

} // namespace cvd
