#pragma once
// The program-wide values through which the windows talk to each other.
#include "db/currency.h"
#include "db/database.h"

#include <QDate>
#include <QString>
#include <memory>

namespace cvd {

// Folders and files, set at start-up.
inline QString DataPath;
inline QString DatabasePath;
inline QString HelpFilePath;

// The one open database and the main window's set of requests.
inline std::shared_ptr<Database> MainDb;
inline std::unique_ptr<Recordset> ReqSet;
// Whether the main window's set holds any request.
inline bool ReqSetHasRecords() { return ReqSet && ReqSet->RecordCount() > 0; }

// Costing values from the Settings record.
inline Currency DefaultHourlyRate;
inline Currency DefaultMinCharge;

// A reference list may have changed: the main window reloads it when activated.
inline bool CatListChanged = true;
inline bool PriListChanged = true;
inline bool CustListChanged = true;
inline bool DeptListChanged = true;
inline bool StaffListChanged = true;

// 1 categories, 2 priorities, for the codes maintenance window.
inline int CodesMode = 1;

// The query text of the main window's current selection.
inline QString FindSQL;

// The date handed between a date field and the calendar picker.
inline QDate PickedDate;

// State of the write loop.
inline bool LockRetryFlag = false;
inline short LockRetryCounter = 0;

// Reports: where a report goes (and the file chosen in the Save As dialog,
// read by the report procedure), how it groups, and the answers of the
// report options dialog.
enum class ReportTargetKind { Preview = 1, File = 2 };
inline ReportTargetKind ReportTarget = ReportTargetKind::Preview;
inline QString ReportFileName;
inline int ReportMode = 0; // 0 staff, 1 customer, 2 department/company, 3 category
inline bool ShowLandscapeOption = false;
inline bool ReportCancelled = false;
inline QDate ReportStartDate;
inline QDate ReportEndDate;
inline long SelectedID = 0; // 0: all
inline QString SelectedName;
enum class StateFilterKind { OpenOnly, ResolvedOnly, Both };
inline StateFilterKind StateFilter = StateFilterKind::Both;
inline bool LandscapeWanted = true;
// Shading of the column-title rows: red, green and blue, 0 to 255 each.
struct Shade {
    int red = 0, green = 0, blue = 0;
    friend bool operator==(const Shade&, const Shade&) = default;
};
inline Shade TableHeaderShade;
inline Shade TableBodyShade;
// Whether a bill run has asked this run of the program to set the empty
// company heading: it asks once at most.
inline bool BillHeadingAsked = false;

// Puts every value back as before start-up (the tests start each case clean).
void resetProgramValues();

} // namespace cvd
