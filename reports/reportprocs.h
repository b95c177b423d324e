#pragma once
// The report procedures.  Each is called by its Reports menu command after
// the command has set ReportTarget (and ReportFileName for a file),
// ReportMode and ShowLandscapeOption; each shows the report options dialog
// first (reports/reportwindows.h) and produces nothing when it is cancelled.

namespace cvd {

void ListingReport();      // the four request listings, by ReportMode
void HoursByStaffReport(); // hours by staff
void ChargesReport();      // charges by customer (ReportMode 1) or department (2)
void BillsReport();        // bills by customer (1) or department (2)

} // namespace cvd
