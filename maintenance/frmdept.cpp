#include "maintenance/frmdept.h"

#include "base/globals.h"
#include "maintenance/maintshared.h"

#include <QPlainTextEdit>

namespace cvd {

namespace {

MaintDesign departmentsDesign()
{
    MaintDesign d;
    d.objectName = QStringLiteral("frmDept");
    d.caption = QStringLiteral("Maintain Departments/Companies");
    d.selectSql = QStringLiteral("Select * from Dept order by DeptName");
    d.table = QStringLiteral("Dept");
    d.keyField = QStringLiteral("DeptID");
    d.findField = QStringLiteral("DeptName");
    d.findPrompt = QStringLiteral("Enter the name of the department/company to find: ");
    d.findTitle = QStringLiteral("Find Dept/Comp");
    d.notFoundText = QStringLiteral("That Department or Company was not found.");
    d.confirmText = QStringLiteral("Are you sure that you want to delete this department/company?");
    d.confirmTitle = QStringLiteral("Delete Dept/Comp");
    // Both run, so that the user learns every reason at once.
    d.inUseChecks = {{{QStringLiteral("Select ReqID from Req where DeptID = ")},
                      QStringLiteral("This department/company is assigned to a request record.")},
                     {{QStringLiteral("Select CustID from Customers where DeptID = ")},
                      QStringLiteral("This department/company is assigned to a customer record.")}};
    d.checkMessage = QStringLiteral("You must enter a name for this department/company.");
    d.checkTitle = QStringLiteral("No Dept. Name");
    d.recordNoun = QStringLiteral("department/company");
    d.listChanged = &DeptListChanged;
    d.helpContext = 31;
    d.clientTwips = QSize(7875, 5115);
    wideButtons(d, 3720, 7);
    return d;
}

} // namespace

frmDept::frmDept() : MaintWindow(departmentsDesign())
{
    txtDeptName = addTextBox("txtDeptName", QStringLiteral("DeptName"), 80, 0, QRect(360, 480, 7215, 285),
                             "Department or Company Name");
    txtAddress = addMemoBox("txtAddress", QStringLiteral("Address"), 128, 1, QRect(360, 1200, 3855, 735), "Address");
    txtCity = addTextBox("txtCity", QStringLiteral("City"), 30, 2, QRect(360, 2280, 1575, 285), "City");
    txtSt = addTextBox("txtSt", QStringLiteral("St"), 20, 3, QRect(2160, 2280, 735, 285), "State");
    txtZip = addTextBox("txtZip", QStringLiteral("Zip"), 20, 4, QRect(3120, 2280, 1095, 285), "Zip");
    txtPhone = addTextBox("txtPhone", QStringLiteral("Phone"), 20, 6, QRect(4800, 1200, 2775, 285), "Phone");
    txtCountry = addTextBox("txtCountry", QStringLiteral("Country"), 30, 5, QRect(360, 3000, 3855, 285), "Country");
    capitalizeTwoLetters(txtSt);
    Form_Load();
}

bool frmDept::entriesComplete() const { return !txtDeptName->text().trimmed().isEmpty(); }

} // namespace cvd
