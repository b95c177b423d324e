#include "maintenance/frmcust.h"

#include "base/globals.h"
#include "db/database.h"
#include "maintenance/maintshared.h"
#include "ui/contexthelp.h"
#include "ui/lookuplists.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>

namespace cvd {

namespace {

MaintDesign customersDesign()
{
    MaintDesign d;
    d.objectName = QStringLiteral("frmCust");
    d.caption = QStringLiteral("Maintain Customers");
    d.selectSql = QStringLiteral("Select * from Customers order by LastName, FirstName");
    d.table = QStringLiteral("Customers");
    d.keyField = QStringLiteral("CustID");
    d.findField = QStringLiteral("LastName");
    d.findPrompt = QStringLiteral("Enter the last name of the customer to find: ");
    d.findTitle = QStringLiteral("Find Customer");
    d.notFoundText = QStringLiteral("That customer was not found.");
    d.confirmText = QStringLiteral("Are you sure that you want to delete this customer?");
    d.confirmTitle = QStringLiteral("Delete customer");
    d.inUseChecks = {{{QStringLiteral("Select ReqID from Req where CustID = ")},
                      QStringLiteral("This customer is currently assigned to a request record.")}};
    d.checkMessage = QStringLiteral("You must enter a first name and/or a last name.");
    d.checkTitle = QStringLiteral("No Customer Name");
    d.recordNoun = QStringLiteral("customer");
    d.listChanged = &CustListChanged;
    d.listTables = {QStringLiteral("Dept")};
    d.helpContext = 14;
    d.clientTwips = QSize(7800, 5115);
    wideButtons(d, 3720, 12);
    return d;
}

} // namespace

frmCust::frmCust() : MaintWindow(customersDesign())
{
    txtFirstName = addTextBox("txtFirstName", QStringLiteral("FirstName"), 40, 0, QRect(240, 480, 2295, 285), "First Name");
    txtLastName = addTextBox("txtLastName", QStringLiteral("LastName"), 40, 1, QRect(2760, 480, 2295, 285), "Last Name");
    txtTitle = addTextBox("txtTitle", QStringLiteral("Title"), 50, 8, QRect(5280, 480, 2415, 285), "Title");
    txtAddress = addMemoBox("txtAddress", QStringLiteral("Address"), 128, 2, QRect(240, 1200, 3855, 735), "Address");
    txtCity = addTextBox("txtCity", QStringLiteral("City"), 30, 3, QRect(240, 2280, 1575, 285), "City");
    txtSt = addTextBox("txtSt", QStringLiteral("St"), 20, 4, QRect(2040, 2280, 735, 285), "State");
    txtZip = addTextBox("txtZip", QStringLiteral("Zip"), 20, 5, QRect(3000, 2280, 1095, 285), "Zip");
    txtCountry = addTextBox("txtCountry", QStringLiteral("Country"), 30, 6, QRect(240, 3000, 3855, 285), "Country");
    txtPhone = addTextBox("txtPhone", QStringLiteral("Phone"), 20, 9, QRect(4680, 1200, 2775, 285), "Phone");
    txtAltID = addTextBox("txtAltID", QStringLiteral("AltID"), 20, 10, QRect(5040, 2040, 2175, 285), "Alternate ID");
    cmbDept = addPickList("cmbDept", QStringLiteral("DeptID"), 11, QRect(5040, 2880, 2175, 315), "Department/Company");
    capitalizeTwoLetters(txtSt);
    setHelpContext(cmdFind, 9);
    Form_Load();
}

void frmCust::loadLists()
{
    setEntries(cmbDept, readEntries(*MainDb, QStringLiteral("Select DeptName, DeptID from Dept order by DeptName"),
                                    QStringLiteral("DeptID"), QStringLiteral("DeptName")));
}

bool frmCust::entriesComplete() const { return nameGiven(txtFirstName, txtLastName); }

} // namespace cvd
