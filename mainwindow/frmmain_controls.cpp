// The main window's controls at their design places (twips, on a client
// area of 9360 x 6000), with their labels, tab order and help context numbers.
#include "dates/datefield.h"
#include "mainwindow/frmmain.h"
#include "ui/accessiblenames.h"
#include "ui/contexthelp.h"
#include "ui/elasticpanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>
#include <limits>

namespace cvd {

namespace {

struct Placed {
    int tab;
    QWidget* w;
};

QLineEdit* textBox() { return new QLineEdit; }

QPlainTextEdit* memoBox()
{
    auto* t = new QPlainTextEdit;
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    t->setTabChangesFocus(true);
    return t;
}

// A date field: an editable drop-down without entries of its own (its
// drop-down opens the calendar picker).
DateField* dateField() { return new DateField; }

QComboBox* pickList() { return new QComboBox; }

QComboBox* typeList()
{
    auto* c = new QComboBox;
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    return c;
}

} // namespace

void frmMain::createControls()
{
    resizingPanel = new ElasticPanel(QSize(DesignWidth, DesignHeight), this);
    resizingPanel->setObjectName(QStringLiteral("resizingPanel"));
    ElasticPanel* panel = resizingPanel;
    QList<Placed> tabOrder;
    int labelNo = 0;

    // Places a control; its label (if any) stands directly above it at `labelRect`.
    auto put = [&](auto* w, const char* name, QRect rect, int tab, int help, const char* label = nullptr,
                   QRect labelRect = {}) {
        w->setObjectName(QString::fromLatin1(name));
        setHelpContext(w, help);
        panel->place(w, rect);
        tabOrder << Placed{tab, w};
        if (label) {
            auto* l = new QLabel(QString::fromUtf8(label));
            l->setObjectName(QStringLiteral("Label%1").arg(++labelNo));
            l->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
            l->setWordWrap(true);
            setHelpContext(l, help);
            panel->place(l, labelRect);
            tieLabel(l, w);
            m_labels.insert(w, l);
        }
        return w;
    };
    // A label one line high, 15 twips above its control.
    auto above = [](QRect c, int width) { return QRect(c.left(), c.top() - 255, width, 240); };

    const QRect rShortDesc(240, 360, 3255, 285), rReqID(3840, 360, 975, 285), rReqDesc(240, 1080, 4575, 1215);
    const QRect rResolved(240, 2520, 1095, 375), rResDate(1440, 2760, 1560, 315), rMisc1(3120, 2760, 1695, 285);
    const QRect rResp(240, 3240, 4575, 1215), rReqDate(5040, 360, 2040, 315), rDueDate(7320, 360, 2040, 315);
    const QRect rEnteredBy(5040, 1080, 2055, 315), rAssignedTo(7320, 1080, 1935, 315);
    const QRect rCust(5040, 1800, 2055, 315), rDept(7320, 1800, 1935, 315);
    const QRect rPri(5040, 2520, 2055, 315), rCat(7320, 2520, 1935, 315);
    const QRect rHours(5040, 3360, 615, 285), rMin(5760, 3360, 615, 285), rAddCharge(6720, 3360, 1095, 285);
    const QRect rCostTot(8160, 3360, 1095, 285), rPaidToday(5040, 3960, 1215, 375);
    const QRect rAmtPaid(6480, 4080, 1215, 285), rPaidDate(7920, 4080, 1320, 315);

    txtShortDesc = put(textBox(), "txtShortDesc", rShortDesc, 0, 15, "Short Description", above(rShortDesc, 3255));
    // The short description has no length limit of its own.
    txtShortDesc->setMaxLength(std::numeric_limits<int>::max());
    txtReqID = put(textBox(), "txtReqID", rReqID, 1, 15, "Request Num", above(rReqID, 1140));
    txtReqID->setEnabled(false);
    txtReqID->setFocusPolicy(Qt::NoFocus);
    txtReqDesc = put(memoBox(), "txtReqDesc", rReqDesc, 2, 15, "Request Description", above(rReqDesc, 4575));
    chkResolved = put(new QCheckBox(QStringLiteral("Resolved")), "chkResolved", rResolved, 3, 16);
    dcResDate = put(dateField(), "dcResDate", rResDate, 4, 16, "Resolved Date", above(rResDate, 1560));
    txtMisc1 = put(textBox(), "txtMisc1", rMisc1, 5, 16, "Miscellaneous", above(rMisc1, 1695));
    txtMisc1->setMaxLength(50);
    // Narrower than its box, so as to stay clear of Miscellaneous beside it.
    txtResp = put(memoBox(), "txtResp", rResp, 6, 16, "Response", above(rResp, 1155));
    dcReqDate = put(dateField(), "dcReqDate", rReqDate, 7, 17, "Request Date", above(rReqDate, 2040));
    dcDueDate = put(dateField(), "dcDueDate", rDueDate, 8, 17, "Due Date", above(rDueDate, 2040));
    cmbEnteredBy = put(pickList(), "cmbEnteredBy", rEnteredBy, 9, 18, "Entered By", above(rEnteredBy, 2055));
    cmbAssignedTo = put(pickList(), "cmbAssignedTo", rAssignedTo, 10, 18, "Assigned To", above(rAssignedTo, 2040));
    cmbCust = put(typeList(), "cmbCust", rCust, 11, 19, "Customer", above(rCust, 2055));
    cmbDept = put(pickList(), "cmbDept", rDept, 12, 19, "Department/Company", above(rDept, 2040));
    cmbPri = put(pickList(), "cmbPri", rPri, 13, 20, "Priority", above(rPri, 2055));
    cmbCat = put(pickList(), "cmbCat", rCat, 14, 21, "Category", above(rCat, 2040));
    txtHoursTot = put(textBox(), "txtHoursTot", rHours, 15, 22, "Hours", above(rHours, 700));
    txtMinTot = put(textBox(), "txtMinTot", rMin, 16, 22, "Minutes", above(rMin, 900));
    // Two lines over its narrow box.
    txtAddCharge = put(textBox(), "txtAddCharge", rAddCharge, 17, 22, "Additional  Charge",
                       QRect(6720, 2865, 1380, 480));
    txtCostTot = put(textBox(), "txtCostTot", rCostTot, 18, 22, "Total Cost", above(rCostTot, 1200));
    txtCostTot->setEnabled(false);
    cmdPaidToday = put(new QPushButton(QStringLiteral("Paid Today")), "cmdPaidToday", rPaidToday, 19, 22);
    txtAmtPaid = put(textBox(), "txtAmtPaid", rAmtPaid, 20, 22, "Amount Paid", above(rAmtPaid, 1380));
    dcPaidDate = put(dateField(), "dcPaidDate", rPaidDate, 21, 22, "Paid Date", above(rPaidDate, 1440));

    auto button = [](const char* caption) { return new QPushButton(QString::fromUtf8(caption)); };
    cmdFirst = put(button("Firs&t"), "cmdFirst", QRect(720, 4680, 1815, 495), 22, 13);
    cmdPrevious = put(button("&Previous"), "cmdPrevious", QRect(2760, 4680, 1815, 495), 23, 13);
    cmdNext = put(button("&Next"), "cmdNext", QRect(4800, 4680, 1815, 495), 24, 13);
    cmdLast = put(button("&Last"), "cmdLast", QRect(6840, 4680, 1815, 495), 25, 13);
    cmdAddNew = put(button("&Add New"), "cmdAddNew", QRect(720, 5400, 1815, 495), 26, 7);
    cmdDelete = put(button("&Delete"), "cmdDelete", QRect(2760, 5400, 1815, 495), 27, 11);
    cmdFind = put(button("F&ind"), "cmdFind", QRect(4800, 5400, 1815, 495), 28, 12);
    cmdHelp = put(button("Help"), "cmdHelp", QRect(6840, 5400, 1815, 495), 30, 43);
    cmdCancel = put(button("&Cancel"), "cmdCancel", QRect(2760, 5400, 1695, 495), 31, 9);
    cmdUpdate = put(button("&Update"), "cmdUpdate", QRect(4800, 5400, 1695, 495), 32, 8);
    cmdCancel->hide();
    cmdUpdate->hide();
    for (QPushButton* b : {cmdPaidToday, cmdFirst, cmdPrevious, cmdNext, cmdLast, cmdAddNew, cmdDelete, cmdFind,
                           cmdHelp, cmdCancel, cmdUpdate})
        b->setAutoDefault(false);

    std::stable_sort(tabOrder.begin(), tabOrder.end(), [](const Placed& a, const Placed& b) { return a.tab < b.tab; });
    for (qsizetype i = 0; i + 1 < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i].w, tabOrder[i + 1].w);

    // Cancel does not take the focus when clicked, so that it also leaves a
    // box whose entry is refused by the box's check.
    cmdCancel->setFocusPolicy(Qt::TabFocus);

    connect(cmdHelp, &QPushButton::clicked, this, &frmMain::cmdHelp_Click);
    connectEditEvents();
    connectDateFields();
}

} // namespace cvd
