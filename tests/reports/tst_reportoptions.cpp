// The Report Options dialog: captions and list for each report grouping,
// the names of people with a part missing, empty tables, the checks of OK,
// the answers it hands to the report, Cancel, the date fields with their
// checks and picker, what carries over to the next report, and the keys a
// user presses.
#include "base/formats.h"
#include "base/globals.h"
#include "dates/datefield.h"
#include "dates/frmdateent.h"
#include "reports/frmrptdateemp.h"
#include "reports/reportprocs.h"
#include "support/mainwindowfixture.h"
#include "support/testfiles.h"
#include "ui/elasticframe.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
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
    ShowReportOptions();
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

// Selects the entry whose text is `text`, as a click does.
void pick(frmRptDateEmp& d, const QString& text)
{
    const auto found = d.List1->findItems(text, Qt::MatchExactly);
    if (!found.isEmpty())
        d.List1->setCurrentItem(found.first());
}

// The answers in force before the dialog opens, as answers() shows them.
const char* const kUntouched = "cancelled|1/1/1998|3/31/1998|landscape|99|before|open";

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
    {"Escape", "Jane Smith", 0, 1, "7/4/2001", "8/1/2001", false, true, "Escape", kUntouched, "1 1/1/1998 3/31/1998"},
    {"close box", "Jane Smith", 0, 1, "7/4/2001", "8/1/2001", false, true, "close box", kUntouched, "1 1/1/1998 3/31/1998"},
};

} // namespace

class tst_reportoptions : public QObject {
    Q_OBJECT
    std::unique_ptr<MainWindowFixture> f;

    frmMain& started()
    {
        frmMain& w = f->started();
        ReportStartDate = QDate(1998, 1, 1);
        ReportEndDate = QDate(1998, 3, 31);
        LandscapeWanted = true;
        SelectedID = 99;
        SelectedName = QStringLiteral("before");
        StateFilter = StateFilterKind::OpenOnly;
        return w;
    }

private slots:
    void init() { f = std::make_unique<MainWindowFixture>(); }
    void cleanup() { f.reset(); }

    // Each grouping names its frame and options and lists its records in
    // the order of its query, the key as item data; a person's entry is
    // first name, blank, last name, with a missing part left out and the
    // blank kept.  The dialog is modal over the window that was active and
    // goes when it closes; it starts as designed.
    void modes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("captions");
        QTest::addColumn<QString>("entries");
        QTest::newRow("staff") << 0 << "Include Requests Assigned To|&All Employees|&Selected Employee"
                               << "Anders Ångström=3|Tom Jones=2|Jane Smith=1| Solo=4";
        QTest::newRow("customers") << 1 << "Include Requests From Customers|All Customers|Selected Customer"
                                   << "Cher =5|Ann Adams=1|Bob Baker=2|Zoë O'Neil=3| 李=4";
        QTest::newRow("departments") << 2
                                     << "Include Requests From Department/Company|All Departments|Selected Department"
                                     << "Accounting=1|Ångström Labs=2|Zeta Corp=3";
        QTest::newRow("categories") << 3 << "Include Requests From Category|All Categories|Selected Category"
                                    << "Hardware=2|Network=3|Software=1";
    }
    void modes()
    {
        QFETCH(int, mode);
        QFETCH(QString, captions);
        QFETCH(QString, entries);
        QVERIFY(execSql(f->dbPath(), "INSERT INTO Staff (StaffID, FirstName, LastName) VALUES (4, NULL, 'Solo');"
                                     "INSERT INTO Customers (CustID, FirstName, LastName) VALUES (5, 'Cher', NULL)"));
        frmMain& w = started();
        ReportMode = mode;
        QString seen, list, design;
        bool modalOverMain = false;
        const auto choice = [](frmRptDateEmp& d) {
            return QStringLiteral("all:%1 list:%2 selection:%3")
                .arg(d.optAll->isChecked()).arg(d.List1->isEnabled()).arg(d.List1->selectedItems().size());
        };
        QVERIFY(viaOptions([&](frmRptDateEmp& d) {
            modalOverMain = d.isModal() && d.parentWidget() == &w;
            seen = QStringList{d.windowTitle(), d.Frame1->title(), d.optAll->text(), d.optSelected->text()}.join('|');
            list = listed(d.List1);
            design = QStringList{d.Frame2->title(), d.optOpen[0]->text(), d.optOpen[1]->text(), d.optOpen[2]->text(),
                                 d.Label1->text(), d.Label2->text(), d.cmdOK->text(), d.cmdCancel->text()}
                         .join('|')
                     + QStringLiteral(" both:%1 ").arg(d.optOpen[2]->isChecked()) + choice(d);
            d.optSelected->click();
            pick(d, d.List1->item(1)->text());
            d.cmdCancel->click();
        }));
        QVERIFY(modalOverMain);
        QCOMPARE(seen, "Report Options|" + captions);
        QCOMPARE(list, entries);
        QCOMPARE(design, QStringLiteral("Include RequestsThat Are|Open|Resolved|Open or Resolved|Report Start Date|"
                                        "Report End Date|&OK|&Cancel both:1 all:1 list:0 selection:0"));
        // The next opening starts from the design again.
        QVERIFY(viaOptions([&](frmRptDateEmp& d) {
            design = choice(d);
            d.cmdCancel->click();
        }));
        QCOMPARE(design, QStringLiteral("all:1 list:0 selection:0"));
        QCOMPARE(f->messages(), QString());
    }

    // OK hands over every answer: the dates, the landscape choice, all or
    // the entry chosen (its key and text), and which requests by their
    // resolved flag; a start after the end is accepted.  The landscape box
    // shows only where landscape is offered, ticked as last chosen; where it
    // is hidden OK leaves the choice alone.  Cancel, Escape and the close box
    // change nothing.  The next opening offers the dates and landscape choice
    // in force.
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
        started();
        ReportMode = u.mode;
        ShowLandscapeOption = u.offered;
        QString first, second;
        const auto shown = [](frmRptDateEmp& d) {
            return QStringLiteral("%1 %2 %3").arg(d.chkLandscape->isChecked()).arg(d.dcStartDate->currentText(), d.dcEndDate->currentText());
        };
        QVERIFY(viaOptions([&](frmRptDateEmp& d) {
            first = QString::number(d.chkLandscape->isVisible()) + u' ' + shown(d);
            if (*u.entry) {
                d.optSelected->click();
                pick(d, QString::fromUtf8(u.entry));
            }
            d.optOpen[u.state]->click();
            d.dcStartDate->setEditText(QString::fromLatin1(u.start));
            d.dcEndDate->setEditText(QString::fromLatin1(u.end));
            d.chkLandscape->setChecked(u.landscape);
            if (u.how == QLatin1String("OK"))
                d.cmdOK->click();
            else if (u.how == QLatin1String("Cancel"))
                d.cmdCancel->click();
            else if (u.how == QLatin1String("Escape"))
                QTest::keyClick(&d, Qt::Key_Escape);
            else
                d.close();
        }));
        QCOMPARE(first, QStringLiteral("%1 %1 1/1/1998 3/31/1998").arg(u.offered)); // hidden: not ticked
        QCOMPARE(answers(), QString::fromUtf8(u.expected));
        ShowLandscapeOption = true;
        QVERIFY(viaOptions([&](frmRptDateEmp& d) {
            second = shown(d);
            d.cmdCancel->click();
        }));
        QCOMPARE(second, QString::fromLatin1(u.next));
        QCOMPARE(f->messages(), QString());
    }

    // "Selected" without an entry chosen is refused and the dialog stays
    // open with nothing changed; with an empty table only "all" can be
    // confirmed.
    void noEntryChosen_data()
    {
        QTest::addColumn<bool>("emptyTables");
        QTest::addColumn<int>("mode");
        QTest::newRow("staff") << false << 0;
        QTest::newRow("empty staff table") << true << 0;
        QTest::newRow("empty customer table") << true << 1;
        QTest::newRow("empty department table") << true << 2;
        QTest::newRow("empty category table") << true << 3;
    }
    void noEntryChosen()
    {
        QFETCH(bool, emptyTables);
        QFETCH(int, mode);
        if (emptyTables)
            QVERIFY(execSql(f->dbPath(), "DELETE FROM Staff; DELETE FROM Customers; DELETE FROM Dept; "
                                         "DELETE FROM Categories"));
        started();
        ReportMode = mode;
        bool stayed = false;
        int entries = -1;
        QVERIFY(viaOptions([&](frmRptDateEmp& d) {
            entries = d.List1->count();
            d.optSelected->click();
            d.List1->setFocus(); // the first entry becomes current, not chosen
            d.cmdOK->click();
            stayed = d.isVisible() && d.optSelected->isChecked();
            QCOMPARE(answers(), kUntouched);
            d.optAll->click();
            d.cmdOK->click();
        }));
        QVERIFY(stayed);
        QCOMPARE(entries == 0, emptyTables);
        QCOMPARE(f->messages(), QStringLiteral("You must select a name from the list, or choose 'all'."));
        QCOMPARE(f->p.messages[0].title, QStringLiteral("Report Spec Error"));
        QCOMPARE(f->p.messages[0].flags, Mb::OkOnly);
        QCOMPARE(answers(), QStringLiteral("confirmed|1/1/1998|3/31/1998|landscape|0||both"));
    }

    // A date field that holds no date (blank, not a date, no such day)
    // is refused with its own message when it is left, and by OK (Enter in
    // the field): the focus goes back into it and the dialog stays open with
    // nothing changed.
    void badDates_data()
    {
        QTest::addColumn<bool>("start");
        QTest::addColumn<QString>("text");
        QTest::newRow("start blank") << true << "";
        QTest::newRow("start not a date") << true << "soon";
        QTest::newRow("end no such day") << false << "2/30/1998";
        QTest::newRow("end blank") << false << "";
    }
    void badDates()
    {
        QFETCH(bool, start);
        QFETCH(QString, text);
        started();
        int focusBack = 0;
        bool stayed = false;
        QVERIFY(viaOptions([&](frmRptDateEmp& d) {
            DateField* field = start ? d.dcStartDate : d.dcEndDate;
            QVERIFY(typeInto(field, text));
            tabOut();
            focusBack += QTest::qWaitFor([field] { return focusIsIn(field); });
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            stayed = d.isVisible();
            focusBack += focusIsIn(field);
            d.cmdCancel->click();
        }));
        QVERIFY(stayed);
        QCOMPARE(focusBack, 2);
        const QString message = start ? QStringLiteral("You must enter a valid report start date.")
                                      : QStringLiteral("You must enter a valid report end date.");
        QCOMPARE(f->p.messageTexts(), QStringList(2, message));
        QVERIFY(f->p.messages[0].title == ProgramTitle && f->p.messages[0].flags == Mb::OkOnly);
        QCOMPARE(answers(), kUntouched);
    }

    // The drop-down of a date field opens the calendar on the field's date
    // (below the field, with the picker's own caption); closing it puts the
    // date back in the short date format.
    void picker()
    {
        started();
        QString seen, after;
        QPoint below;
        QVERIFY(viaOptions([&](frmRptDateEmp& d) {
            d.dcEndDate->setEditText(QStringLiteral("3/15/98"));
            QTimer::singleShot(0, &d, [&] {
                if (auto* p = qobject_cast<frmDateEnt*>(QApplication::activeModalWidget())) {
                    seen = p->windowTitle() + ' ' + p->txtMonth->text() + ' ' + p->txtYear->text();
                    below = p->pos() - d.dcEndDate->mapToGlobal(QPoint(0, 0));
                    p->close();
                }
            });
            d.dcEndDate->showPopup();
            after = d.dcEndDate->currentText();
            d.cmdCancel->click();
        }));
        QCOMPARE(seen, QStringLiteral("Select Date March 1998"));
        QCOMPARE(after, QStringLiteral("3/15/1998"));
        QVERIFY2(below.y() > 0, "the calendar opens below the field");
    }

    // The keys: Alt+S chooses "Selected" and the list can be used, Alt+A
    // goes back to "all"; the first arrow key in the list chooses the entry
    // with the focus; Tab stops at the option chosen in each group;
    // Enter is OK.  F1 opens the dialog's help topic.
    void keyboard()
    {
        started();
        bool listUsable = false, listAfterAll = true;
        QString tabbedTo;
        QVERIFY(viaOptions([&](frmRptDateEmp& d) {
            // An access key presses its button after a moment, as a click would.
            QTest::keyClick(&d, Qt::Key_S, Qt::AltModifier);
            listUsable = QTest::qWaitFor([&] { return d.optSelected->isChecked() && d.List1->isEnabled(); });
            QTest::keyClick(&d, Qt::Key_A, Qt::AltModifier);
            listAfterAll = !QTest::qWaitFor([&] { return d.optAll->isChecked() && !d.List1->isEnabled(); });
            QTest::keyClick(&d, Qt::Key_S, Qt::AltModifier);
            listUsable = listUsable && QTest::qWaitFor([&] { return d.List1->isEnabled(); });
            QTest::keyClick(&d, Qt::Key_F1);
            focusInto(d.List1);
            QTest::keyClick(d.List1, Qt::Key_Down);
            for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Backtab, Qt::Key_Backtab}) {
                QTest::keyClick(QApplication::focusWidget(), key);
                tabbedTo += ' ' + QApplication::focusWidget()->objectName();
            }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }));
        QVERIFY(listUsable);
        QVERIFY(!listAfterAll);
        QCOMPARE(tabbedTo, QStringLiteral(" optOpen2 dcStartDate optOpen2 List1 optSelected"));
        QCOMPARE(f->p.helpCalls.size(), 1);
        QCOMPARE(f->p.helpCalls[0].data, quint32(frmRptDateEmp::HelpContext));
        QCOMPARE(answers(), QStringLiteral("confirmed|1/1/1998|3/31/1998|landscape|3|Anders Ångström|both"));
    }
};

QTEST_MAIN(tst_reportoptions)
#include "tst_reportoptions.moc"
