#include "base/globals.h"

#include "db/database.h"

namespace cvd {

void resetProgramValues()
{
    ReqSet.reset();
    MainDb.reset();
    DataPath.clear();
    DatabasePath.clear();
    HelpFilePath.clear();
    DefaultHourlyRate = {};
    DefaultMinCharge = {};
    CatListChanged = PriListChanged = CustListChanged = DeptListChanged = StaffListChanged = true;
    CodesMode = 1;
    FindSQL.clear();
    PickedDate = {};
    LockRetryFlag = false;
    LockRetryCounter = 0;
    ReportTarget = ReportTargetKind::Preview;
    ReportFileName.clear();
    ReportMode = 0;
    ShowLandscapeOption = false;
    ReportCancelled = false;
    ReportStartDate = {};
    ReportEndDate = {};
    SelectedID = 0;
    SelectedName.clear();
    StateFilter = StateFilterKind::Both;
    LandscapeWanted = true;
    TableHeaderShade = {};
    TableBodyShade = {};
    BillHeadingAsked = false;
}

} // namespace cvd
