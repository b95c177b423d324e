// The numeric boxes of the main window and the costing of a request.
#include "base/costing.h"
#include "base/errorhandler.h"
#include "base/formats.h"
#include "base/globals.h"
#include "base/platform.h"
#include "dates/datefield.h"
#include "mainwindow/frmmain.h"
#include "ui/leavecheck.h"

#include <QLineEdit>

namespace cvd {

namespace {

// The number a costing box holds; an empty box counts as 0.
float boxNumber(const QLineEdit* box)
{
    const QString t = box->text().trimmed();
    return t.isEmpty() ? 0.0f : fmt::toSingle(t);
}

} // namespace

void frmMain::connectNumericBoxes()
{
    for (QLineEdit* box : {txtHoursTot, txtMinTot, txtAddCharge, txtAmtPaid}) {
        selectAllOnFocus(box);
        onLeave(box, [this, box] { guarded([this, box] { numericBoxLeft(box); }); });
    }
}

void frmMain::numericBoxLeft(QLineEdit* box)
{
    if (refuse(box))
        return;
    if (box->text().trimmed().isEmpty()) {
        // Blanks alone are an empty box (Null), costed as 0.
        if (!box->text().isEmpty())
            box->clear();
    } else if (box == txtAddCharge || box == txtAmtPaid) {
        box->setText(fmt::currency(fmt::toCurrency(box->text())));
    }
    if (box != txtAmtPaid)
        ComputeCost();
}

void frmMain::ComputeCost()
{
    const Currency total = requestCost(boxNumber(txtHoursTot), boxNumber(txtMinTot), boxNumber(txtAddCharge),
                                       DefaultHourlyRate, DefaultMinCharge);
    txtCostTot->setText(fmt::currency(total));
}

void frmMain::cmdPaidToday_Click()
{
    txtAmtPaid->setText(txtCostTot->text());
    dcPaidDate->setEditText(fmt::shortDate(QDate::currentDate()));
}

} // namespace cvd
