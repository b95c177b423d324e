#pragma once
// The program-wide values through which the windows talk to each other.
#include "db/currency.h"
#include "db/database.h"

#include <QDate>
#include <QString>
#include <memory>

namespace cvd {

enum class ReportTargetKind { Preview = 1, File = 2 };
enum class StateFilterKind { OpenOnly, ResolvedOnly, Both };

// Every program-wide value with its value before start-up, held once.
struct ProgramValues {
    // The one open database and the main window's set of requests.
    std::shared_ptr<Database> MainDb;
    std::unique_ptr<Recordset> ReqSet;

    // Folders and files, set at start-up.
    QString DataPath;
    QString DatabasePath;
    QString HelpFilePath;

    // Costing values from the Settings record.
    Currency DefaultHourlyRate;
    Currency DefaultMinCharge;

    // A reference list may have changed: the main window reloads it when activated.
    bool CatListChanged = true;
    bool PriListChanged = true;
    bool CustListChanged = true;
    bool DeptListChanged = true;
    bool StaffListChanged = true;

    // 1 categories, 2 priorities, for the codes maintenance window.
    int CodesMode = 1;

    // The query text of the main window's current selection.
    QString FindSQL;

    // The date handed between a date field and the calendar picker.
    QDate PickedDate;

    // State of the write loop.
    bool LockRetryFlag = false;
    short LockRetryCounter = 0;

    // Reports: where a report goes (and the file chosen in the Save As
    // dialog, read by the report procedure), how it groups, and the answers
    // of the report options dialog.
    ReportTargetKind ReportTarget = ReportTargetKind::Preview;
    QString ReportFileName;
    int ReportMode = 0; // 0 staff, 1 customer, 2 department/company, 3 category
    bool ShowLandscapeOption = false;
    bool ReportCancelled = false;
    QDate ReportStartDate;
    QDate ReportEndDate;
    long SelectedID = 0; // 0: all
    QString SelectedName;
    StateFilterKind StateFilter = StateFilterKind::Both;
    bool LandscapeWanted = true;
    // Whether a bill run has asked this run of the program to set the empty
    // company heading: it asks once at most.
    bool BillHeadingAsked = false;
};

inline ProgramValues programValues;

// The values by the names the program uses.
inline std::shared_ptr<Database>& MainDb = programValues.MainDb;
inline std::unique_ptr<Recordset>& ReqSet = programValues.ReqSet;
inline QString& DataPath = programValues.DataPath;
inline QString& DatabasePath = programValues.DatabasePath;
inline QString& HelpFilePath = programValues.HelpFilePath;
inline Currency& DefaultHourlyRate = programValues.DefaultHourlyRate;
inline Currency& DefaultMinCharge = programValues.DefaultMinCharge;
inline bool& CatListChanged = programValues.CatListChanged;
inline bool& PriListChanged = programValues.PriListChanged;
inline bool& CustListChanged = programValues.CustListChanged;
inline bool& DeptListChanged = programValues.DeptListChanged;
inline bool& StaffListChanged = programValues.StaffListChanged;
inline int& CodesMode = programValues.CodesMode;
inline QString& FindSQL = programValues.FindSQL;
inline QDate& PickedDate = programValues.PickedDate;
inline bool& LockRetryFlag = programValues.LockRetryFlag;
inline short& LockRetryCounter = programValues.LockRetryCounter;
inline ReportTargetKind& ReportTarget = programValues.ReportTarget;
inline QString& ReportFileName = programValues.ReportFileName;
inline int& ReportMode = programValues.ReportMode;
inline bool& ShowLandscapeOption = programValues.ShowLandscapeOption;
inline bool& ReportCancelled = programValues.ReportCancelled;
inline QDate& ReportStartDate = programValues.ReportStartDate;
inline QDate& ReportEndDate = programValues.ReportEndDate;
inline long& SelectedID = programValues.SelectedID;
inline QString& SelectedName = programValues.SelectedName;
inline StateFilterKind& StateFilter = programValues.StateFilter;
inline bool& LandscapeWanted = programValues.LandscapeWanted;
inline bool& BillHeadingAsked = programValues.BillHeadingAsked;

// Whether the main window's set holds any request.
inline bool ReqSetHasRecords() { return ReqSet && ReqSet->RecordCount() > 0; }

// Puts every value back as before start-up (the tests start each case clean).
void resetProgramValues();

} // namespace cvd
