// The minimum charge and hourly rate boxes: blank, or an amount shown in
// the currency format.
#include "base/errorhandler.h"
#include "base/formats.h"
#include "base/platform.h"
#include "defaults/frmdefault.h"
#include "ui/leavecheck.h"

#include <QLineEdit>

namespace cvd {

void frmDefault::connectMoneyBoxes()
{
    for (QLineEdit* box : {txtMinCharge, txtHourlyRate}) {
        selectAllOnFocus(box);
        onLeave(box, [this, box] { moneyBoxLeft(box); });
    }
}

bool frmDefault::moneyBoxLeft(QLineEdit* box)
{
    const QString text = box->text();
    // Blanks alone count as an empty box.
    if (text.trimmed().isEmpty()) {
        if (!text.isEmpty())
            box->clear();
        return true;
    }
    if (!fmt::isNumeric(text)) {
        const QString name = box == txtMinCharge ? QStringLiteral("Minimum Charge") : QStringLiteral("Hourly Rate");
        platform().messageBox(QStringLiteral("You must enter a number for the '%1' or leave it blank").arg(name),
                              Mb::OkOnly | Mb::Critical);
        refocus(box);
        return false;
    }
    // A number too large for an amount is reported and stays to be corrected.
    Currency amount;
    if (!trap([&] { amount = fmt::toCurrency(text); })) {
        refocus(box);
        return false;
    }
    // A rate or a charge below zero would cost requests at less than nothing.
    if (amount < Currency{}) {
        platform().messageBox(QStringLiteral("You must enter a positive number or zero."), Mb::OkOnly | Mb::Critical);
        refocus(box);
        return false;
    }
    box->setText(fmt::currency(amount));
    return true;
}

bool frmDefault::moneyBoxesAccepted() { return moneyBoxLeft(txtMinCharge) && moneyBoxLeft(txtHourlyRate); }

} // namespace cvd
