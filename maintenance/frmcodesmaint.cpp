#include "maintenance/frmcodesmaint.h"

#include "base/globals.h"
#include "ui/contexthelp.h"

#include <QLabel>
#include <QLineEdit>

namespace cvd {

namespace {

MaintDesign codesDesign(bool priorities)
{
    MaintDesign d;
    d.objectName = QStringLiteral("frmCodesMaint");
    d.caption = priorities ? QStringLiteral("Maintain Priorities") : QStringLiteral("Maintain Categories");
    d.selectSql = priorities ? QStringLiteral("Select * from Priorities order by PriDesc")
                             : QStringLiteral("Select * from Categories order by CatDesc");
    d.table = priorities ? QStringLiteral("Priorities") : QStringLiteral("Categories");
    d.keyField = priorities ? QStringLiteral("PriID") : QStringLiteral("CatID");
    d.findField = priorities ? QStringLiteral("PriDesc") : QStringLiteral("CatDesc");
    d.findCaption = QStringLiteral("&Find");
    d.findPrompt = priorities ? QStringLiteral("Enter the priority description to find:")
                              : QStringLiteral("Enter the category description to find:");
    d.findTitle = QStringLiteral("Find Code");
    d.notFoundText = QStringLiteral("That record was not found.");
    d.hourglassWhileFinding = false;
    d.deleteWhenAnyRecord = true;
    if (priorities) {
        d.confirmText = QStringLiteral("Are you sure that you want to delete this priority description?");
        d.confirmTitle = QStringLiteral("Delete Priority");
        d.inUseChecks = {{{QStringLiteral("Select * from Req where PriID= ")},
                          QStringLiteral("This priority is in use in a request record")}};
    } else {
        d.confirmText = QStringLiteral("Are you sure that you want to delete this Category?");
        d.confirmTitle = QStringLiteral("Delete Category");
        d.inUseChecks = {{{QStringLiteral("Select * from Req where CatID = ")},
                          QStringLiteral("This category is in use in a request record")}};
    }
    d.checkMessage = QStringLiteral("You must enter a description or press Cancel");
    d.checkTitle = QStringLiteral("Missing Data");
    d.focusAfterFailedCheck = false;
    d.hasDefaultButton = true;
    d.recordNoun = priorities ? QStringLiteral("priority") : QStringLiteral("category");
    d.listChanged = priorities ? &PriListChanged : &CatListChanged;
    d.helpContext = priorities ? 33 : 28;
    d.clientTwips = QSize(6555, 3630);
    d.buttonTwips = QSize(1335, 615);
    d.buttonAt = {QPoint(225, 1995), QPoint(1785, 1995), QPoint(3345, 1995), QPoint(4905, 1995),
                  QPoint(240, 2700), QPoint(1800, 2715), QPoint(3360, 2715), QPoint(4905, 2715),
                  QPoint(1785, 2715), QPoint(3345, 2715)};
    d.buttonTab = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    return d;
}

} // namespace

frmCodesMaint::frmCodesMaint() : MaintWindow(codesDesign(CodesMode == 2)), m_mode(CodesMode == 2 ? 2 : 1)
{
    const bool priorities = m_mode == 2;
    DescField = design().findField;
    IDField = design().keyField;
    txtDesc = addTextBox("txtDesc", DescField, 40, 0, QRect(120, 720, 6255, 300),
                         priorities ? "Priority Description" : "Category Description", QRect(120, 480, 4605, 300));
    lblDesc = labelOf(txtDesc);
    lblDesc->setObjectName(QStringLiteral("lblDesc"));
    Form_Load();
}

bool frmCodesMaint::entriesComplete() const
{
    // A description of blanks is a description.
    return !txtDesc->text().isEmpty();
}

} // namespace cvd
