#pragma once
// The nine reports by name, as cvdtool and the tests run them: each with
// the ReportMode its menu command sets and its report procedure.
#include <QString>
#include <QStringList>

namespace cvd {

struct ReportKind {
    const char* name;    // "hours", "bills-customer", ...
    const char* caption; // the Reports menu's command, without its "&"
    int mode;            // ReportMode
    bool listing;        // a request listing (landscape or portrait)
    void (*procedure)();
};

// The nine, in the Reports menu's order.
const QList<ReportKind>& reportKinds();
// The kind of that name, or nullptr.
const ReportKind* findReportKind(const QString& name);
QStringList reportKindNames();

} // namespace cvd
