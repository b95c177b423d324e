// The Report Options dialog: captions and list for each report grouping,
// the names of people with a part missing, the answers it hands to the
// report, Cancel, what carries over to the next report, and what OK refuses.
#include "base/formats.h"
#include "base/globals.h"
#include "dates/datefield.h"
#include "reports/frmrptdateemp.h"
#include "support/mainwindowfixture.h"
#include "support/testfiles.h"
#include "ui/elasticframe.h"

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

using namespace cvd;
using namespace cvd::test;

namespace {

// Runs `script` on the Report Options dialog inside its modal loop, opened
// as a report opens it.  Returns false when the script left the dialog open
// (it is cancelled then, so that the test goes on) or the dialog outlived
// its use.
bool viaOptions(const std::function<void(frmRptDateEmp&)>& script)
{
    bool leftOpen = false;
    QPointer<frmRptDateEmp> used;
    QTimer::singleShot(0, qApp, [&] {
        used = qobject_cast<frmRptDateEmp*>(QApplication::activeModalWidget());
        // Offscreen, the activation arrives a moment after the showing.
        if (used && QTest::qWaitFor([&] { return used->isActiveWindow(); }))
            script(*used);
        if ((leftOpen = used && used->isVisible()))
            used->cmdCancel->click();
    });
    ReportCancelled = true;
    showReportOptions();
    QCoreApplication::processEvents();
    return !leftOpen && used.isNull();
}

// The list as "text=key" entries joined by "|".
QString listed(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text() + '=' + list->item(i)->data(Qt::UserRole).toString();
    return out.join('|');
}

// The answers the dialog hands over, in one line.
QString answers()
{
    const char* state[] = {"open", "resolved", "both"};
    return QStringList{ReportCancelled ? "cancelled" : "confirmed", fmt::shortDate(ReportStartDate),
                       fmt::shortDate(ReportEndDate), LandscapeWanted ? "landscape" : "portrait",
                       QString::number(SelectedID), SelectedName, state[int(StateFilter)]}
        .join('|');
}

// The answers in force before the dialog opens, as answers() shows them.
const char* const kUntouched = "cancelled|1/1/1998|3/31/1998|landscape|99|before|open";

// What a grouping's dialog shows: its frame and options, then its list as
// "text=key" entries in the order of its query; a person's entry is first
// name, blank, last name, with a missing part left out and the blank kept.
const char* const kGroupings[] = {
    "Include Requests Assigned To|&All Employees|&Selected Employee "
    "Anders Ångström=3|Tom Jones=2|Jane Smith=1| Solo=4",
    "Include Requests From Customers|All Customers|Selected Customer Cher =5|Ann Adams=1|Bob Baker=2|Zoë O'Neil=3| 李=4",
    "Include Requests From Department/Company|All Departments|Selected Department Accounting=1|Ångström Labs=2|Zeta Corp=3",
    "Include Requests From Category|All Categories|Selected Category Hardware=2|Network=3|Software=1",
};

// One use of the dialog: what is chosen in it, how it is closed, the
// answers handed over and what the next opening shows (the landscape box
// ticked, the start and end dates).
struct Use {
    const char *tag, *entry; // entry: the one chosen, "" for all
    int mode, state;
    const char *start, *end;
    bool landscape, offered; // ticked, where offered
    const char *how, *expected, *next;
};
const Use kUses[] = {
    {"all staff, open", "", 0, 0, "2/1/1998", "2/28/1998", true, true, "OK",
     "confirmed|2/1/1998|2/28/1998|landscape|0||open", "1 2/1/1998 2/28/1998"},
    {"one customer, resolved", "Zoë O'Neil", 1, 1, "1/1/1997", "12/31/2001", false, true, "OK",
     "confirmed|1/1/1997|12/31/2001|portrait|3|Zoë O'Neil|resolved", "0 1/1/1997 12/31/2001"},
    {"one department, both, two-digit years", "Ångström Labs", 2, 2, "3/5/98", "1/2/30", true, true, "OK",
     "confirmed|3/5/1998|1/2/1930|landscape|2|Ångström Labs|both", "1 3/5/1998 1/2/1930"},
    {"one category, start after end, landscape not offered", "Network", 3, 0, "12/31/2035", "1/1/2035", false, false,
     "OK", "confirmed|12/31/2035|1/1/2035|landscape|3|Network|open", "1 12/31/2035 1/1/2035"},
    {"Cancel", "Jane Smith", 0, 1, "7/4/2001", "8/1/2001", false, true, "Cancel", kUntouched, "1 1/1/1998 3/31/1998"},
    {"close box", "Jane Smith", 0, 1, "7/4/2001", "8/1/2001", false, true, "close box", kUntouched, "1 1/1/1998 3/31/1998"},
};

} // namespace

class tst_reportoptions : public QObject {
    Q_OBJECT
    std::unique_ptr<MainWindowFixture> f;

    frmMain& started()
    {
        frmMain& w = f->started();
        std::tie(ReportStartDate, ReportEndDate, LandscapeWanted, SelectedID, SelectedName, StateFilter) =
            std::tuple(QDate(1998, 1, 1), QDate(1998, 3, 31), true, 99, QStringLiteral("before"), StateFilterKind::OpenOnly);
        return w;
    }

private slots:
    void init()
    {
        f = std::make_unique<MainWindowFixture>();
        QVERIFY(execSql(f->dbPath(), "INSERT INTO Staff (StaffID, FirstName, LastName) VALUES (4, NULL, 'Solo');"
                                     "INSERT INTO Customers (CustID, FirstName, LastName) VALUES (5, 'Cher', NULL)"));
    }
    void cleanup() { f.reset(); }

    // Each grouping names its frame and options and lists its records; the
    // dialog is modal over the window that was active and starts as
    // designed, all chosen.  OK hands over every answer: the dates, the
    // landscape choice, all or the entry chosen (its key and text), and
    // which requests by their resolved flag; a start after the end is
    // accepted.  The landscape box shows only where landscape is offered,
    // ticked as last chosen; where it is hidden OK leaves the choice alone.
    // Cancel and the close box change nothing.  The next opening
    // starts as designed again, with the dates and landscape choice in force.
    void handedOver_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(kUses)); ++i)
            QTest::newRow(kUses[i].tag) << i;
    }
    void handedOver()
    {
        QFETCH(int, index);
        const Use& u = kUses[index];
        frmMain& w = started();
        ReportMode = u.mode;
        ShowLandscapeOption = u.offered;
        QString first, second;
        const auto shown = [](frmRptDateEmp& d) {
            return QStringLiteral("%1 %2 %3 all:%4 list:%5").arg(d.chkLandscape->isChecked())
                .arg(d.dcStartDate->currentText(), d.dcEndDate->currentText())
                .arg(d.optAll->isChecked()).arg(d.List1->isEnabled());
        };
        QVERIFY(viaOptions([&](frmRptDateEmp& d) {
            QVERIFY(d.isModal() && d.parentWidget() == &w && d.optOpen[2]->isChecked());
            QCOMPARE(QStringList({d.Frame1->title(), d.optAll->text(), d.optSelected->text()}).join('|') + u' '
                         + listed(d.List1), QString::fromUtf8(kGroupings[u.mode]));
            first = QString::number(d.chkLandscape->isVisible()) + u' ' + shown(d);
            if (*u.entry) {
                d.optSelected->click();
                d.List1->setCurrentItem(d.List1->findItems(QString::fromUtf8(u.entry), Qt::MatchExactly).value(0)); // as a click does
            }
            d.optOpen[u.state]->click();
            d.dcStartDate->setEditText(QString::fromLatin1(u.start));
            d.dcEndDate->setEditText(QString::fromLatin1(u.end));
            d.chkLandscape->setChecked(u.landscape);
            const QLatin1String how(u.how);
            how == "OK" ? d.cmdOK->click() : how == "Cancel" ? d.cmdCancel->click() : void(d.close());
        }));
        QCOMPARE(first, QStringLiteral("%1 %1 1/1/1998 3/31/1998 all:1 list:0").arg(u.offered)); // hidden: not ticked
        QCOMPARE(answers(), QString::fromUtf8(u.expected));
        ShowLandscapeOption = true;
        QVERIFY(viaOptions([&](frmRptDateEmp& d) {
            second = shown(d);
            d.cmdCancel->click();
        }));
        QCOMPARE(second, QString::fromLatin1(u.next) + QStringLiteral(" all:1 list:0"));
        QCOMPARE(f->messages(), QString());
    }

    // OK is refused, with its message, and the dialog stays open with
    // nothing changed: "Selected" without an entry chosen, a date field that
    // holds no date.
    void refused_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("message");
        const QString noName = QStringLiteral("You must select a name from the list, or choose 'all'.");
        QTest::newRow("no entry chosen") << 0 << "" << "" << noName;
        QTest::newRow("start not a date") << 0 << "soon" << "3/31/1998" << "You must enter a valid report start date.";
        QTest::newRow("end no such day") << 0 << "1/1/1998" << "2/30/1998" << "You must enter a valid report end date.";
    }
    void refused()
    {
        QFETCH(int, mode);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, message);
        started();
        ReportMode = mode;
        bool stayed = false;
        QVERIFY(viaOptions([&](frmRptDateEmp& d) {
            if (start.isEmpty()) {
                d.optSelected->click();
                d.List1->setFocus(); // the first entry becomes current, not chosen
            } else {
                d.dcStartDate->setEditText(start);
                d.dcEndDate->setEditText(end);
            }
            d.cmdOK->click();
            stayed = d.isVisible();
            d.cmdCancel->click();
        }));
        QVERIFY(stayed);
        QCOMPARE(f->messages(), message);
        QCOMPARE(answers(), kUntouched);
    }
};

QTEST_MAIN(tst_reportoptions)
#include "tst_reportoptions.moc"
