#include "reports/reportwindows.h"

#include "reports/frmoutput.h"
#include "reports/frmrptdateemp.h"

namespace cvd {

namespace {

// No windows: the options are never confirmed, a preview is dropped.
class NoReportWindows : public ReportWindows {
public:
    void showOptions() override {}
    void showPreview(PageDocument) override {}
};

ReportWindows*& installed()
{
    static ReportWindows* windows = nullptr;
    return windows;
}

} // namespace

void setReportWindows(ReportWindows* windows) { installed() = windows; }

ReportWindows& reportWindows()
{
    static NoReportWindows none;
    return installed() ? *installed() : none;
}

void QtReportWindows::showOptions() { showReportOptions(); }

void QtReportWindows::showPreview(PageDocument doc) { showInPreviewWindow(std::move(doc)); }

} // namespace cvd
