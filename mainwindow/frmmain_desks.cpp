// Other desks' changes on the main window: File > Refresh.  (An Update that
// finds the request changed or deleted at another desk is the record
// window's.)
#include "base/globals.h"
#include "db/database.h"
#include "mainwindow/frmmain.h"

namespace cvd {

void frmMain::mnuRefresh_Click() { refresh(); }

void frmMain::readAgain()
{
    CatListChanged = CustListChanged = DeptListChanged = PriListChanged = StaffListChanged = true;
    m_listVersions.readAt.clear(); // the costing values too
    if (ReqSet)
        ReqSet->Requery();
    Form_Activate(); // the costing values and the lists, then the current request
    if (ReqSetHasRecords()) {
        EnableFields();
    } else {
        showNoRequests();
    }
}

} // namespace cvd
