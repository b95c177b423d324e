// The main window's new request, deleting the shown request, and taking
// over the selection made in the find dialog.
#include "base/errorhandler.h"
#include "base/formats.h"
#include "base/globals.h"
#include "base/platform.h"
#include "db/database.h"
#include "mainwindow/frmmain.h"
#include "search/frmfind.h"

#include <QLineEdit>
#include <QPushButton>

namespace cvd {

namespace {

std::unique_ptr<Recordset> openRequests(const QString& sql)
{
    return MainDb->OpenRecordset(sql, RecordsetType::Dynaset);
}

} // namespace

void frmMain::freshRecord()
{
    ClearFields();
    if (DefaultMinCharge > Currency{})
        txtCostTot->setText(fmt::currency(DefaultMinCharge));
    txtShortDesc->setFocus();
}

void frmMain::showNoRequests()
{
    // Emptying the controls is no edit.
    Editing = true;
    ClearFields();
    DisableFields();
    Editing = false;
}

void frmMain::cmdDelete_Click()
{
    if (!ReqSet || (ReqSet->Bof() && ReqSet->Eof()))
        return;
    if (platform().messageBox(QStringLiteral("Are you sure that you want to delete this request?"), Mb::YesNo,
                              QStringLiteral("Delete Request"))
        != Answer::Yes)
        return;
    // A request that could not be deleted stays on display.  One that
    // another desk deleted first is gone all the same: the set was read
    // again and stands on the request that took its place.
    const Deletion deleted = DeleteLoop(*ReqSet);
    if (deleted == Deletion::Failed)
        return;
    trap([deleted] {
        if (deleted == Deletion::Done)
            ReqSet->MoveNext();
    });
    trap([this] {
        if (ReqSetHasRecords()) {
            if (ReqSet->Eof())
                ReqSet->MovePrevious();
            ShowRecord();
        } else {
            showNoRequests();
        }
    });
}

void frmMain::cmdFind_Click()
{
    showFindDialog(*this);
    if (FindSQL.isEmpty())
        return;
    ReqSet = openRequests(FindSQL);
    if (!ReqSetHasRecords()) {
        platform().messageBox(QStringLiteral("No matching records were found."), Mb::OkOnly,
                              QStringLiteral("No Records Found"));
        FindSQL = AllRequestsSql;
        setWindowTitle(QStringLiteral("Calvedon"));
        ReqSet = openRequests(FindSQL);
    }
    if (ReqSetHasRecords()) {
        ReqSet->MoveFirst();
        EnableFields();
        ShowRecord();
    } else {
        showNoRequests();
    }
}

} // namespace cvd
