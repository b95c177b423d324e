#pragma once
// The windows a report reaches: the report options dialog before it reads a
// record, the preview window at its end and, for a bill run on an empty
// heading, the defaults window.  The report procedures are given them
// through one installed interface: the program installs the Qt windows at
// its start (QtReportWindows), cvdtool report its answers from the command
// line, the tests their doubles.  Until one is installed there are none: a
// report counts as cancelled.
#include "reports/pagedocument.h"

#include <functional>

namespace cvd {

class ReportWindows {
public:
    virtual ~ReportWindows() = default;

    // Shows the report options dialog modally; confirming it sets
    // ReportCancelled false and the answers.
    virtual void showOptions() = 0;
    // Takes a finished preview document.
    virtual void showPreview(PageDocument doc) = 0;

    // Opens the defaults window, where the user types the company heading
    // of the bills.  The defaults window lives beside the reports, so the
    // main window fills this in; empty where there are no windows (cvdtool):
    // a bill run with an empty heading then never asks and makes its bills
    // without one.
    std::function<void()> showDefaults;
};

// The windows installed (not owned); none: nullptr.
void setReportWindows(ReportWindows* windows);
ReportWindows& reportWindows();

// The program's: the Report Options dialog (frmRptDateEmp) over the active
// window and the preview window (frmOutput).
class QtReportWindows : public ReportWindows {
public:
    void showOptions() override;
    void showPreview(PageDocument doc) override;
};

} // namespace cvd
