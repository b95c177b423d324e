#pragma once
// The Report Options dialog that every report and bill shows before it
// reads a record: the date range, all or one staff member, customer,
// department or category (by ReportMode), open, resolved or both, and, for
// previewed listings (ShowLandscapeOption), landscape printing.
//
// It is modal and made afresh for each report, so the list, the options and
// the captions start as designed every time; only the dates and the
// landscape choice carry over, through ReportStartDate, ReportEndDate and
// LandscapeWanted.  OK sets ReportCancelled false and leaves the answers in
// the program-wide values; Cancel, Escape and the close box leave
// ReportCancelled as the report set it (true).
//
//   ReportCancelled = true;
//   showReportOptions();          // QtReportWindows::showOptions
//   if (ReportCancelled) return;
#include <QDialog>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace cvd {

class DateField;
class ElasticFrame;
class ElasticPanel;

class frmRptDateEmp : public QDialog {
    Q_OBJECT
public:
    static constexpr int DesignWidth = 7200; // client area, twips
    static constexpr int DesignHeight = 4680;
    static constexpr int HelpContext = 106;

    explicit frmRptDateEmp(QWidget* owner = nullptr);

    ElasticPanel* resizingPanel = nullptr;
    ElasticFrame* Frame1 = nullptr; // whose requests
    QRadioButton* optAll = nullptr;
    QRadioButton* optSelected = nullptr;
    // Usable exactly while optSelected is chosen; item data (Qt::UserRole):
    // the record's key.
    QListWidget* List1 = nullptr;
    ElasticFrame* Frame2 = nullptr; // open, resolved or both
    QRadioButton* optOpen[3] = {};
    QLabel* Label1 = nullptr; // "Report Start Date"
    DateField* dcStartDate = nullptr;
    QLabel* Label2 = nullptr; // "Report End Date"
    DateField* dcEndDate = nullptr;
    QCheckBox* chkLandscape = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    // The dates, the landscape box, and the captions and list for
    // ReportMode, read from the database.
    void Form_Load();
    // Checks the answers and hands them over; a missing list entry or a
    // date that is no date is refused and the dialog stays open.
    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void createControls();
    void connectEvents();
    void fillList();
};

// Shows a new Report Options dialog modally over `owner` (the active window
// when null) and destroys it when it closes.  The program's report
// options (QtReportWindows).
void showReportOptions(QWidget* owner = nullptr);

} // namespace cvd
