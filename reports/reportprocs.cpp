#include "reports/reportprocs.h"

// Placeholders until the report procedures are written.
namespace cvd {

void ListingReport() {}
void HoursByStaffReport() {}
void ChargesReport() {}
void BillsReport() {}

} // namespace cvd
