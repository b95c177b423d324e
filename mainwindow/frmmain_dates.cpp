// The main window's four date fields: where each opens the calendar
// picker, its caption there, and the check made when the user leaves it.
#include "base/errorhandler.h"
#include "dates/datefield.h"
#include "mainwindow/frmmain.h"
#include "ui/leavecheck.h"

#include <QCheckBox>

namespace cvd {

void frmMain::connectDateFields()
{
    auto dropDown = [this](DateField* field, const char* caption, std::function<QPoint(QSize)> place) {
        connect(field, &DateField::dropDown, this, [this, field, caption, place] {
            guarded([&] { runDateDropDown(field, DateDropDown{QString::fromLatin1(caption), false, place}); });
        });
    };
    dropDown(dcReqDate, "Select Request Date", [this](QSize p) { return placeBelow(dcReqDate, 3, p); });
    dropDown(dcResDate, "Select Resolved Date", [this](QSize p) { return placeBelow(dcResDate, 3, p); });
    // Below the request date, on the same row as the due date.
    dropDown(dcDueDate, "Select Due Date",
             [this](QSize p) { return placeBelowAlignedWith(dcReqDate, dcDueDate, 3, p); });
    // Above the field, right edges aligned: the field is near the bottom.
    dropDown(dcPaidDate, "Select Paid Date", [this](QSize p) { return placeAboveRightAligned(dcPaidDate, p); });

    // Each is checked when it is left (and again before a save: CheckFields),
    // with its own message; only the request date may not be blank.  A
    // valid resolution date ticks Resolved.
    for (DateField* dc : {dcReqDate, dcDueDate, dcResDate, dcPaidDate})
        onLeave(dc, [this, dc] {
            if (!refuse(dc) && dc == dcResDate && !dc->currentText().isEmpty())
                chkResolved->setChecked(true);
        });
}

} // namespace cvd
