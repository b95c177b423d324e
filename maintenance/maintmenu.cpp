#include "maintenance/maintmenu.h"

#include "base/globals.h"
#include "maintenance/frmcodesmaint.h"
#include "maintenance/frmcust.h"
#include "maintenance/frmdept.h"
#include "maintenance/frmstaff.h"

#include <QPointer>

namespace cvd {

namespace {

QPointer<frmCodesMaint> codesWindow;
QPointer<frmCust> custWindow;
QPointer<frmDept> deptWindow;
QPointer<frmStaff> staffWindow;

template <class W>
W* bringUp(QPointer<W>& slot)
{
    if (!slot)
        slot = new W;
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot.data();
}

QWidget* openCodes(int mode)
{
    // The window holds one list while it is open: for the other list it is
    // opened afresh, unless the user keeps it to save a record first.
    if (codesWindow && codesWindow->mode() != mode && !codesWindow->close()) {
        codesWindow->raise();
        codesWindow->activateWindow();
        return codesWindow.data();
    }
    if (codesWindow && codesWindow->mode() != mode)
        delete codesWindow.data();
    CodesMode = mode;
    return bringUp(codesWindow);
}

} // namespace

QWidget* openMaintWindow(int index)
{
    switch (index) {
    case 1: return openCodes(1);
    case 2: return bringUp(custWindow);
    case 3: return bringUp(deptWindow);
    case 4: return openCodes(2);
    case 5: return bringUp(staffWindow);
    default: return nullptr;
    }
}

QWidget* maintWindow(int index)
{
    switch (index) {
    case 1: return codesWindow && codesWindow->mode() == 1 ? codesWindow.data() : nullptr;
    case 2: return custWindow.data();
    case 3: return deptWindow.data();
    case 4: return codesWindow && codesWindow->mode() == 2 ? codesWindow.data() : nullptr;
    case 5: return staffWindow.data();
    default: return nullptr;
    }
}

void closeMaintWindows()
{
    delete codesWindow.data();
    delete custWindow.data();
    delete deptWindow.data();
    delete staffWindow.data();
}

} // namespace cvd
