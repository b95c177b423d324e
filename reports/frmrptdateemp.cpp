#include "reports/frmrptdateemp.h"

#include "base/errorhandler.h"
#include "base/formats.h"
#include "base/globals.h"
#include "base/lookupentries.h"
#include "base/platform.h"
#include "dates/datefield.h"
#include "db/database.h"
#include "ui/accessiblenames.h"
#include "ui/contexthelp.h"
#include "ui/elasticframe.h"
#include "ui/elasticpanel.h"
#include "ui/leavecheck.h"
#include "ui/taborder.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace cvd {

namespace {

const QString StartDateMessage = QStringLiteral("You must enter a valid report start date.");
const QString EndDateMessage = QStringLiteral("You must enter a valid report end date.");

// What the dialog offers for each ReportMode: the captions of the first
// frame and its two options (none: the design's, for staff), the list's
// query, its key field, and its text field (none: first and last name).
struct ModeList {
    const char* frame;
    const char* all;
    const char* selected;
    const char* sql;
    const char* key;
    const char* text;
};

const ModeList Modes[] = {
    {nullptr, nullptr, nullptr, "Select LastName, FirstName, StaffID from Staff order by LastName, FirstName",
     "StaffID", nullptr},
    {"Include Requests From Customers", "All Customers", "Selected Customer",
     "Select LastName, FirstName, CustID from Customers order by LastName, FirstName", "CustID", nullptr},
    {"Include Requests From Department/Company", "All Departments", "Selected Department",
     "Select DeptName, DeptID from Dept order by DeptName", "DeptID", "DeptName"},
    {"Include Requests From Category", "All Categories", "Selected Category",
     "Select * from Categories order by Catdesc", "CatID", "CatDesc"},
};

const ModeList& modeList()
{
    return Modes[ReportMode >= 0 && ReportMode < int(std::size(Modes)) ? ReportMode : 0];
}

template <typename W> W* named(W* w, const QString& name)
{
    w->setObjectName(name);
    return w;
}

QLabel* label(const char* caption, const char* name)
{
    auto* l = named(new QLabel(QString::fromUtf8(caption)), QString::fromLatin1(name));
    l->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    return l;
}

} // namespace

frmRptDateEmp::frmRptDateEmp(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmRptDateEmp"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    setWindowTitle(QStringLiteral("Report Options"));
    setHelpContext(this, HelpContext);
    installContextHelp(this);
    createControls();
    connectEvents();
    resize(resizingPanel->designPixels());
}

void frmRptDateEmp::createControls()
{
    resizingPanel = named(new ElasticPanel(QSize(DesignWidth, DesignHeight), this), QStringLiteral("resizingPanel"));
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(resizingPanel);
    ElasticPanel* panel = resizingPanel;

    // Whose requests, on the left.
    panel->place(Frame1 = named(new ElasticFrame(QStringLiteral("Include Requests Assigned To"), QSize(4080, 3180)),
                                QStringLiteral("Frame1")),
                 QRect(120, 120, 4080, 3180));
    Frame1->place(optAll = named(new QRadioButton(QStringLiteral("&All Employees")), QStringLiteral("optAll")),
                  QRect(240, 300, 3600, 285));
    Frame1->place(optSelected = named(new QRadioButton(QStringLiteral("&Selected Employee")),
                                      QStringLiteral("optSelected")),
                  QRect(240, 615, 3600, 285));
    Frame1->place(List1 = named(new QListWidget, QStringLiteral("List1")), QRect(240, 960, 3600, 2040));
    List1->setUniformItemSizes(true);
    optAll->setChecked(true);
    List1->setEnabled(false);

    // Open or resolved, and the dates, on the right.
    panel->place(Frame2 = named(new ElasticFrame(QStringLiteral("Include RequestsThat Are"), QSize(2640, 1380)),
                                QStringLiteral("Frame2")),
                 QRect(4440, 120, 2640, 1380));
    const char* states[] = {"Open", "Resolved", "Open or Resolved"};
    for (int i = 0; i < 3; ++i)
        Frame2->place(optOpen[i] = named(new QRadioButton(QString::fromLatin1(states[i])),
                                         QStringLiteral("optOpen") + QString::number(i)),
                      QRect(240, 300 + 315 * i, 2160, 285));
    optOpen[2]->setChecked(true);
    panel->place(Label1 = label("Report Start Date", "Label1"), QRect(4440, 1680, 2640, 240));
    panel->place(dcStartDate = named(new DateField, QStringLiteral("dcStartDate")), QRect(4440, 1935, 1800, 315));
    panel->place(Label2 = label("Report End Date", "Label2"), QRect(4440, 2400, 2640, 240));
    panel->place(dcEndDate = named(new DateField, QStringLiteral("dcEndDate")), QRect(4440, 2655, 1800, 315));

    panel->place(chkLandscape = named(new QCheckBox(QStringLiteral("Print in Landscape Mode")),
                                      QStringLiteral("chkLandscape")),
                 QRect(240, 3480, 3720, 285));

    panel->place(cmdOK = named(new QPushButton(QStringLiteral("&OK")), QStringLiteral("cmdOK")),
                 QRect(3960, 3960, 1500, 435));
    panel->place(cmdCancel = named(new QPushButton(QStringLiteral("&Cancel")), QStringLiteral("cmdCancel")),
                 QRect(5580, 3960, 1500, 435));
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    // Cancel does not take the focus when clicked, so that it leaves a date
    // field without its check.
    cmdCancel->setAutoDefault(false);
    cmdCancel->setFocusPolicy(Qt::TabFocus);

    tieLabel(Label1, dcStartDate);
    tieLabel(Label2, dcEndDate);
    // The staff list stands under "Selected Employee", without a label.
    nameControl(List1, QStringLiteral("Employees"));

    // Tab stops at the option chosen in each group; the arrow keys choose
    // another.
    for (QRadioButton* opt : {optAll, optSelected, optOpen[0], optOpen[1], optOpen[2]}) {
        const auto tabStop = [opt](bool chosen) { opt->setFocusPolicy(chosen ? Qt::StrongFocus : Qt::ClickFocus); };
        tabStop(opt->isChecked());
        connect(opt, &QRadioButton::toggled, opt, tabStop);
    }
    List1->installEventFilter(this);

    setTabChain({optAll, optSelected, List1, optOpen[0], optOpen[1], optOpen[2],
                 dcStartDate, dcEndDate, chkLandscape, cmdOK, cmdCancel});
}

bool frmRptDateEmp::eventFilter(QObject* watched, QEvent* e)
{
    // While no entry is chosen, the first arrow key chooses the entry that
    // has the focus rather than the next one.
    if (watched == List1 && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if ((key == Qt::Key_Down || key == Qt::Key_Up) && List1->selectedItems().isEmpty() && List1->currentItem()) {
            List1->currentItem()->setSelected(true);
            tellCurrentCell(List1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void frmRptDateEmp::connectEvents()
{
    // By a click, an access key or the arrow keys.
    connect(optSelected, &QRadioButton::toggled, List1, &QWidget::setEnabled);

    for (auto [field, message] : {std::pair{dcStartDate, StartDateMessage}, std::pair{dcEndDate, EndDateMessage}}) {
        connect(field, &DateField::dropDown, this, [field] {
            guarded([field] {
                runDateDropDown(field, DateDropDown{QString(), false,
                                                    [field](QSize picker) { return placeBelow(field, 2, picker); }});
            });
        });
        onLeave(field, [field, message] { checkDateOnLeave(field, false, message); });
    }

    connect(cmdOK, &QPushButton::clicked, this, [this] { guarded([this] { cmdOK_Click(); }); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { guarded([this] { cmdCancel_Click(); }); });
}

void frmRptDateEmp::Form_Load()
{
    dcStartDate->setEditText(fmt::shortDate(ReportStartDate));
    dcEndDate->setEditText(fmt::shortDate(ReportEndDate));

    if (!ShowLandscapeOption)
        chkLandscape->hide();
    else
        chkLandscape->setChecked(LandscapeWanted);

    const ModeList& m = modeList();
    if (m.frame) {
        Frame1->setTitle(QString::fromLatin1(m.frame));
        optAll->setText(QString::fromLatin1(m.all));
        optSelected->setText(QString::fromLatin1(m.selected));
    }
    fillList();
}

void frmRptDateEmp::fillList()
{
    const ModeList& m = modeList();
    List1->clear();
    auto rs = MainDb->OpenRecordset(QString::fromLatin1(m.sql), RecordsetType::Snapshot);
    const QString key = QString::fromLatin1(m.key);
    const QString text = m.text ? QString::fromLatin1(m.text) : QString();
    const QString first = QStringLiteral("FirstName");
    const QString last = QStringLiteral("LastName");
    if (rs->RecordCount() > 0) {
        rs->MoveFirst();
        for (; !rs->Eof(); rs->MoveNext()) {
            auto* item = new QListWidgetItem(text.isEmpty() ? fullName(rs->Field(first), rs->Field(last))
                                                            : rs->Field(text).displayText());
            item->setData(Qt::UserRole, rs->Field(key).toLong());
            List1->addItem(item);
        }
    }
    rs->Close();
}

void frmRptDateEmp::cmdOK_Click()
{
    const QList<QListWidgetItem*> chosen = List1->selectedItems();
    QListWidgetItem* entry = chosen.isEmpty() ? nullptr : chosen.first();
    if (optSelected->isChecked() && !entry) {
        platform().messageBox(QStringLiteral("You must select a name from the list, or choose 'all'."), Mb::OkOnly,
                              QStringLiteral("Report Spec Error"));
        return;
    }
    // Enter in a date field does not leave it: its check is made here.
    if (!checkDateOnLeave(dcStartDate, false, StartDateMessage) || !checkDateOnLeave(dcEndDate, false, EndDateMessage))
        return;

    ReportCancelled = false;
    ReportStartDate = fmt::toDate(dcStartDate->currentText());
    ReportEndDate = fmt::toDate(dcEndDate->currentText());
    if (!chkLandscape->isHidden())
        LandscapeWanted = chkLandscape->isChecked();
    if (optAll->isChecked()) {
        SelectedID = 0;
        SelectedName.clear();
    } else {
        SelectedID = entry->data(Qt::UserRole).toInt();
        SelectedName = entry->text();
    }
    StateFilter = optOpen[0]->isChecked()   ? StateFilterKind::OpenOnly
                  : optOpen[1]->isChecked() ? StateFilterKind::ResolvedOnly
                                            : StateFilterKind::Both;
    done(Accepted);
}

void frmRptDateEmp::cmdCancel_Click() { done(Rejected); }

void showReportOptions(QWidget* owner)
{
    if (!owner)
        owner = QApplication::activeWindow();
    QPointer<frmRptDateEmp> d = new frmRptDateEmp(owner);
    trap([&d] { d->Form_Load(); });
    d->exec();
    delete d.data();
}

} // namespace cvd
