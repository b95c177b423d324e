// The calendar picker: the month grid, the spin buttons and their bounds, a
// click on a day.  A date field's drop-down is checked in the find dialog.
#include "base/formats.h"
#include "base/globals.h"
#include "db/datetext.h"
#include "dates/frmdateent.h"
#include "dates/spinbutton.h"
#include "support/scriptedplatform.h"
#include "support/testmain.h"

#include <QLineEdit>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

using namespace cvd;

namespace {

// The month box, the highlighted day (the one selected cell, also the current
// one) and the year box, as "March 15 1998"; and what they should show for `d`.
QString shown(const frmDateEnt& p)
{
    const auto sel = p.Grid1->selectedItems();
    const QString day = sel.size() == 1 && sel.first() == p.Grid1->currentItem() ? sel.first()->text() : QString();
    return p.txtMonth->text() + ' ' + day + ' ' + p.txtYear->text();
}
QString shown(QDate d) { return QLocale(QLocale::English).toString(d, u"MMMM d ") + QString::number(d.year()); }

} // namespace

class tst_datepicker : public QObject {
    Q_OBJECT
    std::unique_ptr<test::ScriptedPlatform> m_p;

private slots:
    void initTestCase() { fmt::setLocale(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init() { resetProgramValues(); m_p = std::make_unique<test::ScriptedPlatform>(); }
    void cleanup() { m_p.reset(); resetProgramValues(); }

    // Each month fills the grid from row 1, Sunday first, the rows of the month
    // shown before cleared and the shown day highlighted.  The arrows step the
    // month and the year, keeping the day where the target month has it; a
    // step out of the years 100 to 9999 only beeps (the arrows that change
    // nothing below).  A click on a day picks it and closes the picker; on an
    // empty cell or the header, nothing.  By keyboard: Page Up and Down step
    // the month, with Ctrl the year; the arrows move, Enter picks.
    void clicks_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QString>("clicks"); // on "Spin1 up", ... or on a "cell row col", or "key Ctrl+PgUp"
        QTest::addColumn<QDate>("to");       // shown, or picked when closed
        QTest::addColumn<QString>("grid");   // the weeks then shown, if looked at
        const auto row = [](const char* name, QDate from, const char* clicks, QDate to, const char* grid = "") {
            QTest::newRow(name) << from << QString(clicks) << to << QString(grid);
        };
        row("month up from Jan 31, to a leap February", {2000, 1, 31}, "Spin1 up", {2000, 2, 1}, ",,1,2,3,4,5/6,7,8,9,10,11,12/13,14,15,16,17,18,19/20,21,22,23,24,25,26/27,28,29,,,,/,,,,,,");
        row("month down from January", {1998, 1, 15}, "Spin1 down", {1997, 12, 15});
        row("year up from Feb 29", {1996, 2, 29}, "Spin2 up", {1997, 2, 1});
        row("month up from Dec 9999", {9999, 12, 5}, "Spin1 up", {9999, 12, 5});
        row("year down to 100", {101, 6, 10}, "Spin2 down", {100, 6, 10});
        row("month down from Jan 100", {100, 1, 10}, "Spin1 down", {100, 1, 10});
        row("a year on by Ctrl+Page Down, a day on, Enter", {1998, 3, 15}, "key Ctrl+PgDown,key Right,key Return", {1999, 3, 16});
        row("a month back by Page Up", {1998, 3, 31}, "key PgUp", {1998, 2, 1});
        row("the 1st after a month up", {1998, 3, 15}, "Spin1 up,cell 1 3", {1998, 4, 1});
        row("empty cell after the 31st, a month from a Sunday", {1998, 3, 15}, "cell 5 3", {1998, 3, 15}, "1,2,3,4,5,6,7/8,9,10,11,12,13,14/15,16,17,18,19,20,21/22,23,24,25,26,27,28/29,30,31,,,,/,,,,,,");
        row("header row, 31 days from a Saturday", {2000, 1, 31}, "cell 0 3", {2000, 1, 31}, ",,,,,,1/2,3,4,5,6,7,8/9,10,11,12,13,14,15/16,17,18,19,20,21,22/23,24,25,26,27,28,29/30,31,,,,,");
    }
    void clicks()
    {
        QFETCH(QDate, from);
        QFETCH(QString, clicks);
        QFETCH(QDate, to);
        QFETCH(QString, grid);
        PickedDate = from;
        frmDateEnt p;
        p.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p));
        for (const QString& click : clicks.split(',')) {
            const QStringList at = click.split(' ');
            if (const QKeyCombination key = QKeySequence::fromString(at.value(1))[0]; at[0] == "key")
                QTest::keyClick(p.Grid1, key.key(), key.keyboardModifiers());
            else if (at[0] == "cell")
                QTest::mouseClick(p.Grid1->viewport(), Qt::LeftButton, {},
                                  p.Grid1->visualRect(p.Grid1->model()->index(at[1].toInt(), at[2].toInt())).center());
            else
                QTest::mouseClick(p.findChild<SpinButton*>(at[0])->findChild<QToolButton*>(at[1]), Qt::LeftButton);
        }
        const bool picks = (clicks.contains("cell") || clicks.contains("Return")) && to != from;
        QCOMPARE(m_p->beeps, !clicks.contains("cell") && to == from ? 1 : 0);
        QCOMPARE(p.isVisible(), !picks);
        QCOMPARE(PickedDate, picks ? to : from);
        if (!picks) // a screen reader reads the day as the whole date
            QCOMPARE(shown(p) + ' ' + p.Grid1->currentItem()->data(Qt::AccessibleTextRole).toString(),
                     shown(to) + ' ' + fmt::longDate(to));
        QString cells;
        for (int i = 0; i < 49; ++i)
            cells += p.Grid1->item(i / 7, i % 7)->text() + (i % 7 < 6 ? "," : "/");
        if (!grid.isEmpty())
            QCOMPARE(cells, " Sun , Mon , Tue , Wed , Thu , Fri , Sat /" + grid + '/');
    }
};

CVD_TEST_MAIN(tst_datepicker)
#include "tst_datepicker.moc"
