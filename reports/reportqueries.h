#pragma once
// The SQL texts of the reports, built from the answers of the report
// options dialog.  Plain functions of their arguments: what they return is
// the whole query, in the engine's dialect.
#include "base/globals.h"

#include <QDate>
#include <QString>

namespace cvd {

// The answers a report query depends on.
struct ReportAnswers {
    QDate start;
    QDate end;
    StateFilterKind state = StateFilterKind::Both;
    long selectedId = 0; // 0: all
};

// The answers in the program-wide values (ReportStartDate ... SelectedID).
ReportAnswers currentAnswers();

// The request listings; `mode` 0 staff, 1 customer, 2 department, 3 category.
QString listingQuery(int mode, const ReportAnswers& a);
// Hours by staff.
QString hoursQuery(const ReportAnswers& a);
// Charges; `mode` 1 customer, 2 department/company.
QString chargesQuery(int mode, const ReportAnswers& a);
// Bills; `mode` 1 customer, 2 department/company.  A request whose amount
// paid is empty counts as nothing paid; the requests of one recipient come
// together even when two recipients share a name.
QString billsQuery(int mode, const ReportAnswers& a);

} // namespace cvd
