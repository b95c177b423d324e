#include "dates/frmdateent.h"

#include "base/globals.h"
#include "base/platform.h"
#include "db/datetext.h"
#include "db/locale.h"
#include "dates/spinbutton.h"
#include "ui/accessiblenames.h"
#include "ui/contexthelp.h"
#include "ui/elasticpanel.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace cvd {

namespace {

// The years a date may have; a spin that would leave them only beeps.
constexpr int FirstYear = 100;
constexpr int LastYear = 9999;

QLineEdit* displayBox(const char* name)
{
    auto* t = new QLineEdit;
    t->setObjectName(QString::fromLatin1(name));
    t->setReadOnly(true);
    return t;
}

} // namespace

frmDateEnt::frmDateEnt(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDateEnt"));
    setModal(true);
    // A small modal dialog: a title and a close button, nothing to minimize.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Select Date"));
    setHelpContext(this, HelpContext);
    installContextHelp(this);

    resizingPanel = new ElasticPanel(QSize(4215, 2340), this);
    resizingPanel->setObjectName(QStringLiteral("resizingPanel"));
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(resizingPanel);

    txtMonth = displayBox("txtMonth");
    resizingPanel->place(txtMonth, QRect(135, 120, 1275, 285));
    Spin1 = new SpinButton;
    Spin1->setObjectName(QStringLiteral("Spin1"));
    resizingPanel->place(Spin1, QRect(1335, 120, 360, 285));
    txtYear = displayBox("txtYear");
    resizingPanel->place(txtYear, QRect(2850, 135, 930, 285));
    Spin2 = new SpinButton;
    Spin2->setObjectName(QStringLiteral("Spin2"));
    resizingPanel->place(Spin2, QRect(3765, 135, 345, 285));
    nameControl(txtMonth, QStringLiteral("Month"));
    nameControl(txtYear, QStringLiteral("Year"));
    nameControl(Spin1->upArrow(), QStringLiteral("Next Month"));
    nameControl(Spin1->downArrow(), QStringLiteral("Previous Month"));
    nameControl(Spin2->upArrow(), QStringLiteral("Next Year"));
    nameControl(Spin2->downArrow(), QStringLiteral("Previous Year"));
    // The spin buttons overlap the right edges of their boxes a little.
    Spin1->raise();
    Spin2->raise();

    Grid1 = new QTableWidget(7, 7);
    Grid1->setObjectName(QStringLiteral("Grid1"));
    for (QHeaderView* h : {Grid1->horizontalHeader(), Grid1->verticalHeader()}) {
        h->hide();
        h->setMinimumSectionSize(1);
        h->setSectionResizeMode(QHeaderView::Stretch);
    }
    // The hidden headers would be read out as column and row numbers.
    Grid1->setHorizontalHeaderLabels(QStringList(7, QString()));
    Grid1->setVerticalHeaderLabels(QStringList(7, QString()));
    Grid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid1->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    Grid1->setTabKeyNavigation(false);
    Grid1->setCornerButtonEnabled(false);
    Grid1->setWordWrap(false);
    Grid1->setTextElideMode(Qt::ElideNone);
    resizingPanel->place(Grid1, QRect(120, 540, 4020, 1710));
    nameControl(Grid1, QStringLiteral("Days"));
    Grid1->setAccessibleDescription(QStringLiteral("Arrow keys choose a day, Enter picks it. Page Up and Page Down "
                                                   "show the month before or after, with Ctrl the year."));

    // The header row is shaded like a header and can be neither selected
    // nor made current; the day cells are selectable, never editable.
    const QBrush shade = palette().brush(QPalette::Button);
    const QBrush shadeText = palette().brush(QPalette::ButtonText);
    for (int r = 0; r < 7; ++r) {
        for (int c = 0; c < 7; ++c) {
            auto* it = new QTableWidgetItem;
            it->setTextAlignment(Qt::AlignCenter);
            if (r == 0) {
                it->setFlags(Qt::NoItemFlags);
                it->setBackground(shade);
                it->setForeground(shadeText);
            } else {
                it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            }
            Grid1->setItem(r, c, it);
        }
    }

    connect(Spin1, &SpinButton::up, this, &frmDateEnt::Spin1_UpClick);
    connect(Spin1, &SpinButton::down, this, &frmDateEnt::Spin1_DownClick);
    connect(Spin2, &SpinButton::up, this, &frmDateEnt::Spin2_UpClick);
    connect(Spin2, &SpinButton::down, this, &frmDateEnt::Spin2_DownClick);
    connect(Grid1, &QTableWidget::cellClicked, this, &frmDateEnt::Grid1_Click);
    txtMonth->installEventFilter(this);
    txtYear->installEventFilter(this);
    Grid1->installEventFilter(this);
    Grid1->viewport()->installEventFilter(this);

    const QSize design = resizingPanel->designPixels();
    setMinimumSize(design);
    resize(design);
    Grid1->setFocus();

    Form_Load();
}

void frmDateEnt::Form_Load()
{
    ShownDate = PickedDate.isValid() ? PickedDate : QDate::currentDate();
    MonthNames = {QStringLiteral("January"), QStringLiteral("February"), QStringLiteral("March"),
                  QStringLiteral("April"),   QStringLiteral("May"),      QStringLiteral("June"),
                  QStringLiteral("July"),    QStringLiteral("August"),   QStringLiteral("September"),
                  QStringLiteral("October"), QStringLiteral("November"), QStringLiteral("December")};
    txtMonth->setText(MonthNames.value(ShownDate.month() - 1));
    txtYear->setText(QString::number(ShownDate.year()));
    static const char* const days[] = {" Sun ", " Mon ", " Tue ", " Wed ", " Thu ", " Fri ", " Sat "};
    for (int c = 0; c < 7; ++c) {
        Grid1->item(0, c)->setText(QString::fromLatin1(days[c]));
        Grid1->item(0, c)->setData(Qt::AccessibleTextRole, fmt::locale().dayName(c == 0 ? 7 : c));
    }
    FillMonth();
}

void frmDateEnt::FillMonth()
{
    txtMonth->setText(MonthNames.value(ShownDate.month() - 1));
    txtYear->setText(QString::number(ShownDate.year()));

    const QDate first(ShownDate.year(), ShownDate.month(), 1);
    const int lastDay = first.daysInMonth();
    for (int r = 1; r < 7; ++r)
        for (int c = 0; c < 7; ++c) {
            Grid1->item(r, c)->setText(QString());
            Grid1->item(r, c)->setData(Qt::AccessibleTextRole, QString());
        }

    // Sunday is column 0; the weeks run down rows 1 to 6.
    int row = 1;
    int col = first.dayOfWeek() % 7;
    int shownRow = row, shownCol = col;
    for (int d = 1; d <= lastDay; ++d) {
        Grid1->item(row, col)->setText(QString::number(d));
        // Read aloud as the whole date, so that the month is never in doubt.
        Grid1->item(row, col)->setData(Qt::AccessibleTextRole, fmt::longDate(QDate(first.year(), first.month(), d)));
        if (d == ShownDate.day()) {
            shownRow = row;
            shownCol = col;
        }
        if (col == 6) {
            col = 0;
            ++row;
        } else {
            ++col;
        }
    }
    // Current and the only selected cell.
    Grid1->setCurrentCell(shownRow, shownCol, QItemSelectionModel::ClearAndSelect);
}

void frmDateEnt::stepTo(int month, int year)
{
    // Dates run from the year 100 to 9999: a step outside them is refused.
    if (year < FirstYear || year > LastYear) {
        platform().beep();
        return;
    }
    const int day = ShownDate.day();
    // A day the target month lacks (the 31st, February 29) gives its 1st.
    ShownDate = QDate::isValid(year, month, day) ? QDate(year, month, day) : QDate(year, month, 1);
    FillMonth();
}

void frmDateEnt::Spin1_UpClick()
{
    const int m = ShownDate.month();
    if (m == 12)
        stepTo(1, ShownDate.year() + 1);
    else
        stepTo(m + 1, ShownDate.year());
}

void frmDateEnt::Spin1_DownClick()
{
    const int m = ShownDate.month();
    if (m == 1)
        stepTo(12, ShownDate.year() - 1);
    else
        stepTo(m - 1, ShownDate.year());
}

void frmDateEnt::Spin2_UpClick() { stepTo(ShownDate.month(), ShownDate.year() + 1); }

void frmDateEnt::Spin2_DownClick() { stepTo(ShownDate.month(), ShownDate.year() - 1); }

void frmDateEnt::Grid1_Click()
{
    const int r = Grid1->currentRow();
    const int c = Grid1->currentColumn();
    if (r < 1 || c < 0)
        return;
    const QString text = Grid1->item(r, c)->text();
    if (text.isEmpty())
        return;
    PickedDate = QDate(ShownDate.year(), ShownDate.month(), text.toInt());
    accept();
}

bool frmDateEnt::eventFilter(QObject* watched, QEvent* e)
{
    // The month and year boxes only display: the focus goes on to the grid.
    if ((watched == txtMonth || watched == txtYear) && e->type() == QEvent::FocusIn) {
        Grid1->setFocus(Qt::OtherFocusReason);
        return false;
    }
    // A screen reader asked for the grid's current day as it gets the focus
    // is told the right one.
    if (watched == Grid1 && e->type() == QEvent::FocusIn) {
        QTimer::singleShot(0, Grid1, [this] { tellCurrentCell(Grid1); });
        return false;
    }
    // The header row and the empty cells take no clicks: the highlighted
    // day stays current.
    if (watched == Grid1->viewport()) {
        switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick: {
            const QTableWidgetItem* it = Grid1->itemAt(static_cast<QMouseEvent*>(e)->position().toPoint());
            if (!it || it->row() < 1 || it->text().isEmpty())
                return true;
            break;
        }
        default: break;
        }
        return false;
    }
    // Enter or the space bar picks the current day, as a click does.
    if (watched == Grid1 && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            Grid1_Click();
            return true;
        }
        // Page Up and Page Down step the month as the spin buttons do; with
        // Ctrl, the year.
        if (key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            const bool year = static_cast<QKeyEvent*>(e)->modifiers() & Qt::ControlModifier;
            if (key == Qt::Key_PageUp)
                year ? Spin2_DownClick() : Spin1_DownClick();
            else
                year ? Spin2_UpClick() : Spin1_UpClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

} // namespace cvd
