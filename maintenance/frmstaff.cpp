#include "maintenance/frmstaff.h"

#include "base/globals.h"
#include "maintenance/maintshared.h"

#include <QPlainTextEdit>

namespace cvd {

namespace {

MaintDesign staffDesign()
{
    MaintDesign d;
    d.objectName = QStringLiteral("frmStaff");
    d.caption = QStringLiteral("Maintain Staff");
    d.selectSql = QStringLiteral("Select * from Staff order by LastName, FirstName");
    d.table = QStringLiteral("Staff");
    d.keyField = QStringLiteral("StaffID");
    d.findField = QStringLiteral("LastName");
    d.findPrompt = QStringLiteral("Enter the last name of the staff member to find: ");
    d.findTitle = QStringLiteral("Find Staff Member");
    d.notFoundText = QStringLiteral("That name was not found.");
    d.confirmText = QStringLiteral("Are you sure that you want to delete this staff record?");
    d.confirmTitle = QStringLiteral("Delete Staff");
    d.inUseChecks = {{{QStringLiteral("Select ReqID from Req where EnteredBy = "), QStringLiteral(" or AssignedTo = ")},
                      QStringLiteral("This staff member is in use in at least one request record.")}};
    d.checkMessage = QStringLiteral("You must enter a first name and/or a last name.");
    d.checkTitle = QStringLiteral("No Staff Name");
    d.recordNoun = QStringLiteral("staff member");
    d.listChanged = &StaffListChanged;
    d.helpContext = 32;
    d.clientTwips = QSize(7815, 5685);
    wideButtons(d, 4320, 5);
    return d;
}

} // namespace

frmStaff::frmStaff() : MaintWindow(staffDesign())
{
    txtFirstName = addTextBox("txtFirstName", QStringLiteral("FirstName"), 40, 0, QRect(240, 360, 3015, 285), "First Name");
    txtLastName = addTextBox("txtLastName", QStringLiteral("LastName"), 40, 1, QRect(3960, 360, 3615, 285), "Last Name");
    txtPhone = addTextBox("txtPhone", QStringLiteral("Phone"), 20, 2, QRect(240, 1080, 3135, 285), "Phone");
    txtAltID = addTextBox("txtAltID", QStringLiteral("AltID"), 20, 3, QRect(4680, 1080, 1815, 285), "Alternate ID");
    txtComments = addMemoBox("txtComments", QStringLiteral("Comments"), 0, 4, QRect(120, 1800, 7575, 2325), "Comments");
    storeNullWhenBlank(txtComments);
    Form_Load();
}

bool frmStaff::entriesComplete() const { return nameGiven(txtFirstName, txtLastName); }

} // namespace cvd
