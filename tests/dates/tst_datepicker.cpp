// The calendar picker and the date fields: the month grid, the spin buttons
// and their bounds, a click on a day, a date field's drop-down with where the
// picker opens and what it leaves, and the check on leaving a date field.
#include "core/formats.h"
#include "core/globals.h"
#include "core/leavecheck.h"
#include "dates/datefield.h"
#include "dates/frmdateent.h"
#include "dates/spinbutton.h"
#include "support/scriptedplatform.h"

#include <QFrame>
#include <QLineEdit>
#include <QScreen>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <functional>

using namespace cvd;

namespace {

void clickOn(QTableWidget* g, int r, int c)
{
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(g->model()->index(r, c)).center());
}

// The text of the one selected cell, which is also the current cell; else empty.
QString highlighted(const QTableWidget* g)
{
    const auto sel = g->selectedItems();
    return sel.size() == 1 && sel.first() == g->currentItem() ? sel.first()->text() : QString();
}

// The month box, the highlighted day and the year box ("March 15 1998"), and
// what they should show for `d`.
QString shown(const frmDateEnt& p) { return p.txtMonth->text() + ' ' + highlighted(p.Grid1) + ' ' + p.txtYear->text(); }
QString shown(QDate d) { return QLocale(QLocale::English).toString(d, u"MMMM d ") + QString::number(d.year()); }

// Runs `act` on the picker as soon as it is shown modally.
void whenPickerShown(std::function<void(frmDateEnt*)> act)
{
    auto* t = new QTimer;
    QObject::connect(t, &QTimer::timeout, t, [t, act] {
        if (auto* p = qobject_cast<frmDateEnt*>(QApplication::activeModalWidget())) {
            t->stop();
            t->deleteLater();
            QVERIFY(QTest::qWaitForWindowExposed(p));
            act(p);
        }
    });
    t->start(10);
}

// A plain window with a date field and a box after it in the tab order.
struct FieldWindow {
    QWidget w;
    DateField* field = new DateField(&w);
    QLineEdit* next = new QLineEdit(&w);
    FieldWindow()
    {
        w.resize(400, 200);
        field->setGeometry(20, 30, 120, 22);
        next->setGeometry(20, 80, 120, 22);
        w.show();
        w.activateWindow();
        field->setFocus();
    }
};

} // namespace

class tst_datepicker : public QObject {
    Q_OBJECT
    std::unique_ptr<test::ScriptedPlatform> m_p;

private slots:
    void initTestCase() { fmt::setLocale(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init() { resetProgramValues(); m_p = std::make_unique<test::ScriptedPlatform>(); }
    void cleanup() { m_p.reset(); resetProgramValues(); }

    // Each month fills the grid from row 1, Sunday first; the rows of the
    // month shown before are cleared; the shown day is highlighted.
    void monthLayout_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("grid"); // the weeks, Sunday first
        QTest::newRow("starts on a Sunday") << QDate(1998, 3, 15)
            << "1,2,3,4,5,6,7/8,9,10,11,12,13,14/15,16,17,18,19,20,21/22,23,24,25,26,27,28/29,30,31,,,,/,,,,,,";
        QTest::newRow("31 days from a Saturday") << QDate(2000, 1, 31)
            << ",,,,,,1/2,3,4,5,6,7,8/9,10,11,12,13,14,15/16,17,18,19,20,21,22/23,24,25,26,27,28,29/30,31,,,,,";
        QTest::newRow("February of 1998 from a Sunday") << QDate(1998, 2, 28)
            << "1,2,3,4,5,6,7/8,9,10,11,12,13,14/15,16,17,18,19,20,21/22,23,24,25,26,27,28/,,,,,,/,,,,,,";
        QTest::newRow("leap February") << QDate(2000, 2, 29)
            << ",,1,2,3,4,5/6,7,8,9,10,11,12/13,14,15,16,17,18,19/20,21,22,23,24,25,26/27,28,29,,,,/,,,,,,";
    }
    void monthLayout()
    {
        QFETCH(QDate, date);
        QFETCH(QString, grid);
        PickedDate = QDate(2000, 1, 15); // a month of six rows first
        frmDateEnt p;
        p.ShownDate = date;
        p.FillMonth();
        QString cells;
        for (int i = 0; i < 49; ++i)
            cells += p.Grid1->item(i / 7, i % 7)->text() + (i % 7 < 6 ? "," : "/");
        QCOMPARE(cells, " Sun , Mon , Tue , Wed , Thu , Fri , Sat /" + grid + '/');
        QCOMPARE(shown(p), shown(date));
    }

    // The arrows step the month and the year, keeping the day where the target
    // month has it; a step out of the years 100 to 9999 only beeps.  A click on
    // a day picks it and closes the picker; on an empty cell or the header, nothing.
    void clicks_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QString>("clicks"); // on "Spin1 up", ... or on a "cell row col"
        QTest::addColumn<QDate>("to");       // shown, or picked when closed
        QTest::addColumn<int>("beeps");
        QTest::newRow("month up from Jan 31") << QDate(2000, 1, 31) << "Spin1 up" << QDate(2000, 2, 1) << 0;
        QTest::newRow("month down from January") << QDate(1998, 1, 15) << "Spin1 down" << QDate(1997, 12, 15) << 0;
        QTest::newRow("month up from December") << QDate(1998, 12, 10) << "Spin1 up" << QDate(1999, 1, 10) << 0;
        QTest::newRow("year up from Feb 29") << QDate(1996, 2, 29) << "Spin2 up" << QDate(1997, 2, 1) << 0;
        QTest::newRow("month up from Dec 9999") << QDate(9999, 12, 5) << "Spin1 up" << QDate(9999, 12, 5) << 1;
        QTest::newRow("year up from 9999") << QDate(9999, 6, 15) << "Spin2 up" << QDate(9999, 6, 15) << 1;
        QTest::newRow("year down to 100") << QDate(101, 6, 10) << "Spin2 down" << QDate(100, 6, 10) << 0;
        QTest::newRow("year down from 100") << QDate(100, 6, 10) << "Spin2 down" << QDate(100, 6, 10) << 1;
        QTest::newRow("month down from Jan 100") << QDate(100, 1, 10) << "Spin1 down" << QDate(100, 1, 10) << 1;
        QTest::newRow("the 20th") << QDate(1998, 3, 15) << "cell 3 5" << QDate(1998, 3, 20) << 0;
        QTest::newRow("the 1st after a month up") << QDate(1998, 3, 15) << "Spin1 up,cell 1 3" << QDate(1998, 4, 1) << 0;
        QTest::newRow("empty cell after the 31st") << QDate(1998, 3, 15) << "cell 5 3" << QDate(1998, 3, 15) << 0;
        QTest::newRow("header row") << QDate(1998, 3, 15) << "cell 0 3" << QDate(1998, 3, 15) << 0;
    }
    void clicks()
    {
        QFETCH(QDate, from);
        QFETCH(QString, clicks);
        QFETCH(QDate, to);
        QFETCH(int, beeps);
        PickedDate = from;
        frmDateEnt p;
        p.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p));
        for (const QString& click : clicks.split(',')) {
            const QStringList at = click.split(' ');
            if (at[0] == "cell")
                clickOn(p.Grid1, at[1].toInt(), at[2].toInt());
            else
                QTest::mouseClick(p.findChild<SpinButton*>(at[0])->findChild<QToolButton*>(at[1]), Qt::LeftButton);
        }
        const bool picks = clicks.contains("cell") && to != from;
        QCOMPARE(m_p->beeps, beeps);
        QCOMPARE(p.isVisible(), !picks);
        QCOMPARE(PickedDate, picks ? to : from);
        if (picks)
            return;
        QCOMPARE(p.ShownDate, to);
        QCOMPARE(shown(p), shown(to));
    }

    // A date field's drop-down: the picker starts on the field's date (today
    // for a blank or no date; 1930 and before a century on when asked), opens
    // where it is told with the caption asked for, and leaves a short date;
    // then the focus moves on as with a typed Tab, leave check included.
    void dropDown_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("pick20th"); // else the picker is closed
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QString>("after");
        const QDate today = QDate::currentDate();
        QTest::newRow("1925 not asked to shift, a day clicked") << "3/15/1925" << false << "Select Due Date" << true
                                                              << QDate(1925, 3, 15) << "3/20/1925";
        QTest::newRow("blank") << "" << false << "Select Request Date" << false << today << fmt::shortDate(today);
        QTest::newRow("no date") << "31/31/99" << true << "" << false << today << fmt::shortDate(today);
        QTest::newRow("1930, shifted") << "12/31/1930" << true << "" << false << QDate(2030, 12, 31) << "12/31/2030";
        QTest::newRow("1931, kept") << "12/31/1931" << true << "" << false << QDate(1931, 12, 31) << "12/31/1931";
    }
    void dropDown()
    {
        QFETCH(QString, text);
        QFETCH(bool, shift);
        QFETCH(QString, caption);
        QFETCH(bool, pick20th);
        QFETCH(QDate, start);
        QFETCH(QString, after);
        FieldWindow fw;
        QVERIFY(QTest::qWaitForWindowActive(&fw.w));
        const QPoint at(40, 30);
        connect(fw.field, &DateField::dropDown, &fw.w, [&] {
            runDateDropDown(fw.field, {caption, shift, [&](QSize) { return at; }});
        });
        int leaves = 0;
        onLeave(fw.field, [&] { ++leaves; });
        fw.field->setEditText(text);

        QString seen;
        whenPickerShown([&](frmDateEnt* p) {
            seen = p->ShownDate.toString(Qt::ISODate) + ' ' + shown(*p) + ' ' + p->windowTitle();
            QCOMPARE(p->pos(), at);
            if (pick20th) // a Friday in the third week of March 1925
                return clickOn(p->Grid1, 3, 5);
            p->close();
        });
        QTest::keyClick(fw.field, Qt::Key_F4);
        QCOMPARE(seen, start.toString(Qt::ISODate) + ' ' + shown(start) + ' '
                           + (caption.isEmpty() ? QStringLiteral("Select Date") : caption));
        QCOMPARE(fw.field->currentText(), after);
        QTRY_VERIFY(fw.next->hasFocus());
        QCOMPARE(leaves, 1);
    }

    // Where the picker opens beside a field, from the corner of the window's
    // frame; then moved only as far as needed to keep it on the screen.
    void placement()
    {
        QWidget w;
        w.resize(500, 400);
        auto* frame = new QFrame(&w);
        frame->setGeometry(200, 100, 250, 120);
        const auto field = [](QWidget* parent, QRect r) { auto* f = new DateField(parent); f->setGeometry(r); return f; };
        const DateField* left = field(&w, {20, 30, 120, 22});
        const DateField* right = field(&w, {160, 30, 120, 22});
        const DateField* low = field(&w, {300, 300, 120, 22});
        const DateField* framed = field(frame, {10, 20, 150, 22});
        w.move(100, 60);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.frameGeometry().topLeft(), QPoint(100, 60));
        const QSize p(281, 156);
        QCOMPARE(placeBelow(left, 3, p), QPoint(120, 156));
        QCOMPARE(placeBelow(left, 2, p), QPoint(120, 134));
        QCOMPARE(placeBelowAlignedWith(left, right, 3, p), QPoint(120, 156));
        QCOMPARE(placeAboveRightAligned(low, p), QPoint(239, 248));
        QCOMPARE(placeInFrameRightAligned(framed, p), QPoint(179, 224));
        const QRect avail = w.screen()->availableGeometry();
        w.move(avail.topLeft());
        QTRY_COMPARE(w.frameGeometry().topLeft(), avail.topLeft());
        QCOMPARE(placeAboveRightAligned(left, p), avail.topLeft());
        w.move(avail.right() - 60, avail.top());
        QTRY_COMPARE(w.frameGeometry().left(), avail.right() - 60);
        QCOMPARE(placeBelow(left, 3, p), QPoint(avail.right() + 1 - p.width(), avail.top() + 96));
    }

    // Leaving a date field checks it: a blank passes where a blank is
    // allowed; a text that is no date gets the message and the focus back.
    void leaveCheck()
    {
        const QString message = QStringLiteral("You must enter a valid due date, or leave the field blank.");
        FieldWindow fw;
        QVERIFY(QTest::qWaitForWindowActive(&fw.w));
        onLeave(fw.field, [&] { checkDateOnLeave(fw.field, true, message); });
        QTest::keyClick(fw.field, Qt::Key_Tab);
        QTRY_VERIFY(fw.next->hasFocus());
        fw.field->setFocus();
        fw.field->setEditText(QStringLiteral("31/31/99"));
        QTest::keyClick(fw.field, Qt::Key_Tab);
        QCOMPARE(m_p->messageTexts(), QStringList{message});
        QCOMPARE(fw.field->currentText(), QStringLiteral("31/31/99"));
        QTRY_VERIFY(fw.field->hasFocus());
    }
};

QTEST_MAIN(tst_datepicker)
#include "tst_datepicker.moc"
