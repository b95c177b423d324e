// Other desks' changes on the main window: File > Refresh, and an Update
// that finds the request changed or deleted at another desk since it was
// shown.
#include "base/errorhandler.h"
#include "base/globals.h"
#include "db/database.h"
#include "mainwindow/frmmain.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace cvd {

void frmMain::mnuRefresh_Click()
{
    // A request being edited or added is saved or dropped first, as the
    // user says when asked (as on closing); Cancel keeps it on screen.
    if ((Editing || Adding) && !mayClose())
        return;
    if (Editing || Adding)
        cmdCancel_Click();
    m_changedElsewhere = false;
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

void frmMain::requestChangedElsewhere(int errorNumber)
{
    m_changedElsewhere = true;
    if (errorNumber == ErrNo::RecordDeleted) {
        tellDeletedElsewhere(QStringLiteral("This request was deleted at another desk since you opened it."));
        return;
    }
    QList<StoredField> differing;
    bool isNumber = false;
    const int key = txtReqID->text().toInt(&isNumber);
    const auto stored = isNumber ? MainDb->OpenRecordset(QStringLiteral("Select * from Req where ReqID = %1").arg(key),
                                                         RecordsetType::Snapshot)
                                 : nullptr;
    if (stored && stored->RecordCount() > 0) {
        for (const auto& [field, control] : fieldControls()) {
            const QString now = fieldText(control, stored->Field(field));
            if (now == controlText(control))
                continue;
            const QLabel* label = labelOf(control);
            differing << StoredField{label ? label->text() : chkResolved->text(), now};
        }
    }
    tellChangedElsewhere(QStringLiteral("This request was changed at another desk since you opened it."), differing);
}

} // namespace cvd
