#include "search/frmfind.h"

#include "base/errorhandler.h"
#include "base/formats.h"
#include "base/globals.h"
#include "base/platform.h"
#include "dates/datefield.h"
#include "db/database.h"
#include "ui/accesskeys.h"
#include "ui/accessiblenames.h"
#include "ui/contexthelp.h"
#include "ui/elasticframe.h"
#include "ui/elasticpanel.h"
#include "ui/leavecheck.h"
#include "ui/lookuplists.h"
#include "ui/taborder.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace cvd {

namespace {

const QString AsteriskMessage = QStringLiteral("Cannot use * in search string");
const QString DateMessage = QStringLiteral("You must enter a valid request date, or leave the field blank.");

QPointer<frmFind> g_dialog;

template <typename W> W* named(W* w, const char* name)
{
    w->setObjectName(QString::fromLatin1(name));
    setHelpContext(w, frmFind::HelpContext);
    return w;
}

QLabel* label(const char* caption, const char* name)
{
    auto* l = named(new QLabel(QString::fromUtf8(caption)), name);
    l->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    return l;
}

std::optional<long> selectedKey(const QComboBox* list)
{
    const Value key = selectedItemData(list);
    if (key.isNull())
        return std::nullopt;
    return key.toLong();
}

} // namespace

frmFind::frmFind(QWidget& owner) : QDialog(&owner), m_main(owner)
{
    setObjectName(QStringLiteral("frmFind"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    setWindowTitle(QStringLiteral("Find Request"));
    setHelpContext(this, HelpContext);
    installContextHelp(this);
    guardAccessKeys();
    createControls();
    connectEvents();
    resize(resizingPanel->designPixels());
}

void frmFind::createControls()
{
    resizingPanel = new ElasticPanel(QSize(DesignWidth, DesignHeight), this);
    resizingPanel->setObjectName(QStringLiteral("resizingPanel"));
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(resizingPanel);
    ElasticPanel* panel = resizingPanel;

    // The two texts on the left, And / Or between them, where to look below.
    panel->place(Label1 = label("Search Text 1", "Label1"), QRect(240, 345, 3495, 240));
    panel->place(Search1 = named(new QLineEdit, "Search1"), QRect(240, 600, 3495, 285));
    panel->place(Frame1 = named(new ElasticFrame(QString(), QSize(3495, 735)), "Frame1"), QRect(240, 1020, 3495, 735));
    Frame1->place(optAnd = named(new QRadioButton(QStringLiteral("And")), "optAnd"), QRect(360, 270, 1215, 285));
    Frame1->place(optOr = named(new QRadioButton(QStringLiteral("Or")), "optOr"), QRect(1920, 270, 1215, 285));
    panel->place(Label2 = label("Search Text 2", "Label2"), QRect(240, 2040, 3495, 240));
    panel->place(Search2 = named(new QLineEdit, "Search2"), QRect(240, 2295, 3495, 285));
    panel->place(Frame2 = named(new ElasticFrame(QStringLiteral("Search In"), QSize(3495, 1035)), "Frame2"),
                 QRect(240, 2820, 3495, 1035));
    Frame2->place(optReqOnly = named(new QRadioButton(QStringLiteral("Request Only")), "optReqOnly"),
                  QRect(240, 300, 3135, 285));
    Frame2->place(optReqAndResp = named(new QRadioButton(QStringLiteral("Request and Response")), "optReqAndResp"),
                  QRect(240, 630, 3135, 285));

    // The date bound, the department and the staff member on the right.
    panel->place(Frame3 = named(new ElasticFrame(QStringLiteral("Request Date is"), QSize(3480, 1515)), "Frame3"),
                 QRect(4200, 360, 3480, 1515));
    Frame3->place(optLess = named(new QRadioButton(QStringLiteral("Less Than")), "optLess"), QRect(240, 300, 3135, 285));
    Frame3->place(optGreater = named(new QRadioButton(QStringLiteral("Greater Than or Equal To")), "optGreater"),
                  QRect(240, 630, 3135, 285));
    Frame3->place(dcReqDate = named(new DateField, "dcReqDate"), QRect(1800, 1020, 1560, 315));
    panel->place(Label3 = label("Department/Company", "Label3"), QRect(4200, 2040, 3480, 240));
    panel->place(cmbDept = named(new QComboBox, "cmbDept"), QRect(4200, 2295, 3480, 315));
    panel->place(Label4 = label("Assigned To", "Label4"), QRect(4200, 2820, 3480, 240));
    panel->place(cmbAssignedTo = named(new QComboBox, "cmbAssignedTo"), QRect(4200, 3075, 3480, 315));

    panel->place(cmdOK = named(new QPushButton(QStringLiteral("&OK")), "cmdOK"), QRect(1320, 4080, 1575, 495));
    panel->place(cmdCancel = named(new QPushButton(QStringLiteral("&Cancel")), "cmdCancel"),
                 QRect(3180, 4080, 1575, 495));
    panel->place(cmdAll = named(new QPushButton(QStringLiteral("&Display All")), "cmdAll"),
                 QRect(5040, 4080, 1575, 495));
    cmdOK->setDefault(true);
    // Cancel and Display All do not take the focus when clicked, so that
    // they leave a search box without its check.
    cmdCancel->setFocusPolicy(Qt::TabFocus);
    cmdAll->setFocusPolicy(Qt::TabFocus);

    optAnd->setChecked(true);
    optReqOnly->setChecked(true);

    tieLabel(Label1, Search1);
    tieLabel(Label2, Search2);
    tieLabel(Label3, cmbDept);
    tieLabel(Label4, cmbAssignedTo);
    // The date stands in its frame under "Request Date is", without a label.
    nameControl(dcReqDate, QStringLiteral("Request Date"));

    setTabChain({Search1, optAnd, optOr, Search2, optReqOnly, optReqAndResp, optLess, optGreater,
                 dcReqDate, cmbDept, cmbAssignedTo, cmdOK, cmdCancel, cmdAll});
}

void frmFind::connectEvents()
{
    for (QLineEdit* box : {Search1, Search2})
        onLeave(box, [box] {
            if (box->text().contains(u'*')) {
                platform().messageBox(AsteriskMessage, Mb::OkOnly);
                refocus(box);
            }
        });

    // Dates of 1900 to 1930 open the picker a century on: a two-digit year
    // typed as 25 means 2025 here.
    connect(dcReqDate, &DateField::dropDown, this, [this] {
        guarded([this] {
            runDateDropDown(dcReqDate, DateDropDown{QString(), true, [this](QSize picker) {
                                                        return placeInFrameRightAligned(dcReqDate, picker);
                                                    }});
        });
    });
    onLeave(dcReqDate, [this] { checkDateOnLeave(dcReqDate, true, DateMessage); });
    clearOnDeleteKey(cmbDept);
    clearOnDeleteKey(cmbAssignedTo);

    connect(cmdOK, &QPushButton::clicked, this, [this] { guarded([this] { cmdOK_Click(); }); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { guarded([this] { cmdCancel_Click(); }); });
    connect(cmdAll, &QPushButton::clicked, this, [this] { guarded([this] { cmdAll_Click(); }); });
}


void frmFind::Form_Load()
{
    setEntries(cmbDept, readEntries(*MainDb, lookup::DeptSql, QStringLiteral("DeptID"), QStringLiteral("DeptName")));
    setEntries(cmbAssignedTo, readEntries(*MainDb, lookup::StaffSql, QStringLiteral("StaffID")));
}

FindCriteria frmFind::criteria() const
{
    FindCriteria c;
    c.search1 = Search1->text();
    c.search2 = Search2->text();
    c.eitherText = optOr->isChecked();
    c.inResponse = optReqAndResp->isChecked();
    const QString date = dcReqDate->currentText();
    if (!date.isEmpty() && fmt::isDate(date))
        c.date = fmt::toDate(date);
    c.before = optLess->isChecked();
    c.deptId = selectedKey(cmbDept);
    c.staffId = selectedKey(cmbAssignedTo);
    return c;
}

void frmFind::cmdOK_Click()
{
    const QString date = dcReqDate->currentText();
    if (Search1->text().isEmpty() && Search2->text().isEmpty() && date.isEmpty() && cmbDept->currentIndex() < 0
        && cmbAssignedTo->currentIndex() < 0) {
        platform().messageBox(QStringLiteral("You must enter some selection criteria to search for."), Mb::OkOnly,
                              QStringLiteral("No Records Specified"));
        return;
    }
    // Enter on a box does not leave it: its check is made here.
    for (QLineEdit* box : {Search1, Search2})
        if (box->text().contains(u'*')) {
            platform().messageBox(AsteriskMessage, Mb::OkOnly);
            refocus(box);
            return;
        }
    if (!date.isEmpty() && !fmt::isDate(date)) {
        platform().messageBox(DateMessage, Mb::OkOnly);
        refocus(dcReqDate);
        return;
    }
    if (Search1->text().isEmpty() && !Search2->text().isEmpty()) {
        Search1->setText(Search2->text());
        Search2->clear();
    }
    FindSQL = findSql(criteria());
    m_main.setWindowTitle(QStringLiteral("Calvedon -- Selected Records"));
    done(Accepted);
}

void frmFind::cmdCancel_Click() { done(Rejected); }

void frmFind::cmdAll_Click()
{
    FindSQL = AllRequestsSql;
    m_main.setWindowTitle(QStringLiteral("Calvedon"));
    m_unload = true;
    done(Rejected);
}

void frmFind::closeEvent(QCloseEvent* e)
{
    // The close box unloads the dialog; the next opening starts afresh.
    m_unload = true;
    QDialog::closeEvent(e);
}

void showFindDialog(QWidget& w)
{
    if (g_dialog && g_dialog->parentWidget() != &w)
        delete g_dialog.data();
    if (!g_dialog) {
        g_dialog = new frmFind(w);
        frmFind* d = g_dialog;
        trap([d] { d->Form_Load(); });
    }
    g_dialog->exec();
    if (g_dialog && g_dialog->unloadWanted())
        delete g_dialog.data();
}

frmFind* loadedFindDialog() { return g_dialog.data(); }

} // namespace cvd
