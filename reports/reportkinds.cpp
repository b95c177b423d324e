#include "reports/reportkinds.h"

#include "reports/reportprocs.h"

namespace cvd {

const QList<ReportKind>& reportKinds()
{
    static const QList<ReportKind> kinds{
        {"listing-staff", "All Requests by Assigned Staff", 0, true, ListingReport},
        {"listing-customer", "All Requests by Customer", 1, true, ListingReport},
        {"listing-department", "All Requests by Department", 2, true, ListingReport},
        {"listing-category", "All Requests by Category", 3, true, ListingReport},
        {"hours", "Hours by Staff", 0, false, HoursByStaffReport},
        {"charges-customer", "Charges by Customer", 1, false, ChargesReport},
        {"charges-department", "Charges by Department", 2, false, ChargesReport},
        {"bills-customer", "Bills by Customer", 1, false, BillsReport},
        {"bills-department", "Bills by Department", 2, false, BillsReport},
    };
    return kinds;
}

const ReportKind* findReportKind(const QString& name)
{
    for (const ReportKind& k : reportKinds())
        if (name == QLatin1String(k.name))
            return &k;
    return nullptr;
}

QStringList reportKindNames()
{
    QStringList names;
    for (const ReportKind& k : reportKinds())
        names << QLatin1String(k.name);
    return names;
}

} // namespace cvd
