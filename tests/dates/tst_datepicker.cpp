// The calendar picker and the date fields, as a user meets them: the month
// grid, the spin buttons and their bounds, a click on a day, the drop-down
// of a date field with its starting date and the text it leaves, where the
// picker opens, and the check made on leaving a date field.
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

// The texts of one grid row, joined by commas.
QString rowText(const QTableWidget* g, int r)
{
    QStringList cells;
    for (int c = 0; c < g->columnCount(); ++c)
        cells << g->item(r, c)->text();
    return cells.join(',');
}

void clickOn(QTableWidget* g, int r, int c)
{
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(g->model()->index(r, c)).center());
}

// The text of the one selected cell; empty unless exactly one is selected
// and it is also the current cell.
QString highlighted(const QTableWidget* g)
{
    const auto sel = g->selectedItems();
    if (sel.size() != 1 || sel.first() != g->currentItem())
        return {};
    return sel.first()->text();
}

// What the month and year boxes show, and what they should show for `d`.
QString boxes(const frmDateEnt& p) { return p.txtMonth->text() + ' ' + p.txtYear->text(); }
QString monthYear(QDate d) { return QLocale(QLocale::English).monthName(d.month()) + ' ' + QString::number(d.year()); }

// Runs `act` on the picker as soon as it is shown modally.
void whenPickerShown(std::function<void(frmDateEnt*)> act)
{
    auto* t = new QTimer;
    t->setInterval(10);
    QObject::connect(t, &QTimer::timeout, t, [t, act] {
        if (auto* p = qobject_cast<frmDateEnt*>(QApplication::activeModalWidget())) {
            t->stop();
            t->deleteLater();
            QVERIFY(QTest::qWaitForWindowExposed(p));
            act(p);
        }
    });
    t->start();
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
    }
};

} // namespace

class tst_datepicker : public QObject {
    Q_OBJECT
    test::ScriptedPlatform* m_p = nullptr;

private slots:
    void initTestCase() { fmt::setLocale(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init()
    {
        resetProgramValues();
        m_p = new test::ScriptedPlatform;
    }
    void cleanup()
    {
        delete m_p;
        resetProgramValues();
    }

    // Each month fills the grid from row 1, Sunday first; the rows of the
    // month shown before are cleared; the shown day is highlighted.
    void monthLayout_data()
    {
        QTest::addColumn<QDate>("shown");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("starts on a Sunday") << QDate(1998, 3, 15)
            << QStringList{"1,2,3,4,5,6,7", "8,9,10,11,12,13,14", "15,16,17,18,19,20,21",
                           "22,23,24,25,26,27,28", "29,30,31,,,,", ",,,,,,"};
        QTest::newRow("31 days from a Saturday") << QDate(2000, 1, 31)
            << QStringList{",,,,,,1", "2,3,4,5,6,7,8", "9,10,11,12,13,14,15", "16,17,18,19,20,21,22",
                           "23,24,25,26,27,28,29", "30,31,,,,,"};
        QTest::newRow("February of 1998 from a Sunday") << QDate(1998, 2, 28)
            << QStringList{"1,2,3,4,5,6,7", "8,9,10,11,12,13,14", "15,16,17,18,19,20,21",
                           "22,23,24,25,26,27,28", ",,,,,,", ",,,,,,"};
        QTest::newRow("leap February") << QDate(2000, 2, 29)
            << QStringList{",,1,2,3,4,5", "6,7,8,9,10,11,12", "13,14,15,16,17,18,19",
                           "20,21,22,23,24,25,26", "27,28,29,,,,", ",,,,,,"};
    }
    void monthLayout()
    {
        QFETCH(QDate, shown);
        QFETCH(QStringList, rows);
        PickedDate = QDate(2000, 1, 15); // a month of six rows first
        frmDateEnt p;
        p.ShownDate = shown;
        p.FillMonth();
        QCOMPARE(rowText(p.Grid1, 0), QStringLiteral(" Sun , Mon , Tue , Wed , Thu , Fri , Sat "));
        for (int r = 1; r <= 6; ++r)
            QCOMPARE(rowText(p.Grid1, r), rows.at(r - 1));
        QCOMPARE(highlighted(p.Grid1), QString::number(shown.day()));
        QCOMPARE(boxes(p), monthYear(shown));
    }

    // The arrows step the month and the year, keeping the day where the
    // target month has it; a step out of the years 100 to 9999 only beeps.
    void steps_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QString>("spin");
        QTest::addColumn<QString>("arrow");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<int>("beeps");
        QTest::newRow("month up from Jan 31") << QDate(2000, 1, 31) << "Spin1" << "up" << QDate(2000, 2, 1) << 0;
        QTest::newRow("month down from Mar 31") << QDate(1998, 3, 31) << "Spin1" << "down" << QDate(1998, 2, 1) << 0;
        QTest::newRow("month down from January") << QDate(1998, 1, 15) << "Spin1" << "down" << QDate(1997, 12, 15) << 0;
        QTest::newRow("month up from December") << QDate(1998, 12, 10) << "Spin1" << "up" << QDate(1999, 1, 10) << 0;
        QTest::newRow("year up from Feb 29") << QDate(1996, 2, 29) << "Spin2" << "up" << QDate(1997, 2, 1) << 0;
        QTest::newRow("month up to Dec 9999") << QDate(9999, 11, 30) << "Spin1" << "up" << QDate(9999, 12, 30) << 0;
        QTest::newRow("month up from Dec 9999") << QDate(9999, 12, 5) << "Spin1" << "up" << QDate(9999, 12, 5) << 1;
        QTest::newRow("year up from 9999") << QDate(9999, 6, 15) << "Spin2" << "up" << QDate(9999, 6, 15) << 1;
        QTest::newRow("year down to 100") << QDate(101, 6, 10) << "Spin2" << "down" << QDate(100, 6, 10) << 0;
        QTest::newRow("year down from 100") << QDate(100, 6, 10) << "Spin2" << "down" << QDate(100, 6, 10) << 1;
        QTest::newRow("month down from Jan 100") << QDate(100, 1, 10) << "Spin1" << "down" << QDate(100, 1, 10) << 1;
    }
    void steps()
    {
        QFETCH(QDate, from);
        QFETCH(QString, spin);
        QFETCH(QString, arrow);
        QFETCH(QDate, to);
        QFETCH(int, beeps);
        PickedDate = from;
        frmDateEnt p;
        p.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p));
        auto* button = p.findChild<SpinButton*>(spin)->findChild<QToolButton*>(arrow);
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(p.ShownDate, to);
        QCOMPARE(m_p->beeps, beeps);
        QCOMPARE(boxes(p), monthYear(to));
        QCOMPARE(highlighted(p.Grid1), QString::number(to.day()));
        QCOMPARE(PickedDate, from); // only a click on a day changes it
    }

    // A click on a day of the shown month picks it and closes the picker;
    // an empty cell or the header row does nothing.
    void clickCell_data()
    {
        QTest::addColumn<int>("monthsUp");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<QDate>("picked");
        QTest::newRow("20") << 0 << 3 << 5 << QDate(1998, 3, 20);
        QTest::newRow("1 after a month up") << 1 << 1 << 3 << QDate(1998, 4, 1);
        QTest::newRow("empty cell after the 31st") << 0 << 5 << 3 << QDate();
        QTest::newRow("empty last row") << 0 << 6 << 0 << QDate();
        QTest::newRow("header row") << 0 << 0 << 3 << QDate();
    }
    void clickCell()
    {
        QFETCH(int, monthsUp);
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QDate, picked);
        PickedDate = QDate(1998, 3, 15);
        frmDateEnt p;
        p.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p));
        for (int i = 0; i < monthsUp; ++i)
            p.Spin1_UpClick();
        clickOn(p.Grid1, row, col);
        if (picked.isValid()) {
            QCOMPARE(PickedDate, picked);
            QVERIFY(!p.isVisible());
            QCOMPARE(p.result(), int(QDialog::Accepted));
        } else {
            QCOMPARE(PickedDate, QDate(1998, 3, 15));
            QVERIFY(p.isVisible());
            QCOMPARE(highlighted(p.Grid1), QStringLiteral("15"));
        }
    }

    // The month and year boxes cannot be typed into; the focus goes on to the grid.
    void boxesOnlyDisplay()
    {
        PickedDate = QDate(1998, 3, 15);
        frmDateEnt p;
        p.show();
        QVERIFY(QTest::qWaitForWindowActive(&p));
        for (QLineEdit* box : {p.txtMonth, p.txtYear}) {
            const QString before = box->text();
            box->setFocus(Qt::MouseFocusReason);
            QTRY_VERIFY(p.Grid1->hasFocus());
            QTest::keyClicks(box, QStringLiteral("7x"));
            QCOMPARE(box->text(), before);
        }
    }

    // The drop-down of a date field: the picker starts on the field's date
    // (today for a blank field or a text that is no date), opens where it is
    // told, carries the caption asked for, and leaves the field a short
    // date; then the focus moves on.
    void dropDown_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("clickDay"); // 0: the picker is closed
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QString>("after");
        const QDate today = QDate::currentDate();
        const QString todayText = fmt::shortDate(today);
        QTest::newRow("date, a day clicked") << "3/15/1998" << false << "Select Due Date" << 20
                                             << QDate(1998, 3, 15) << "3/20/1998";
        QTest::newRow("date, closed") << "3/15/1998" << false << "" << 0 << QDate(1998, 3, 15) << "3/15/1998";
        QTest::newRow("long date, reformatted") << "March 5, 1998" << false << "" << 0 << QDate(1998, 3, 5) << "3/5/1998";
        QTest::newRow("blank, closed") << "" << false << "Select Request Date" << 0 << today << todayText;
        QTest::newRow("blank, a day clicked") << "" << false << "" << 1 << today
                                              << fmt::shortDate(QDate(today.year(), today.month(), 1));
        QTest::newRow("no date") << "31/31/99" << true << "" << 0 << today << todayText;
        QTest::newRow("1925, shifted") << "3/15/1925" << true << "" << 0 << QDate(2025, 3, 15) << "3/15/2025";
        QTest::newRow("1925, kept") << "3/15/1925" << false << "" << 0 << QDate(1925, 3, 15) << "3/15/1925";
        QTest::newRow("1900, shifted") << "1/1/1900" << true << "" << 0 << QDate(2000, 1, 1) << "1/1/2000";
        QTest::newRow("1930, shifted") << "12/31/1930" << true << "" << 0 << QDate(2030, 12, 31) << "12/31/2030";
        QTest::newRow("1931, kept") << "12/31/1931" << true << "" << 0 << QDate(1931, 12, 31) << "12/31/1931";
    }
    void dropDown()
    {
        QFETCH(QString, text);
        QFETCH(bool, shift);
        QFETCH(QString, caption);
        QFETCH(int, clickDay);
        QFETCH(QDate, start);
        QFETCH(QString, after);
        FieldWindow fw;
        QVERIFY(QTest::qWaitForWindowActive(&fw.w));
        const QPoint at(40, 30);
        connect(fw.field, &DateField::dropDown, &fw.w, [&] {
            runDateDropDown(fw.field, {caption, shift, [&](QSize) { return at; }});
        });
        // The Tab afterwards leaves the field as a typed Tab does: its leave check runs.
        int leaves = 0;
        onLeave(fw.field, [&] { ++leaves; });
        fw.field->setFocus();
        fw.field->setEditText(text);

        QDate shown;
        QString seenTitle, seenDay;
        QPoint seenPos;
        whenPickerShown([&](frmDateEnt* p) {
            shown = p->ShownDate;
            seenTitle = p->windowTitle();
            seenDay = highlighted(p->Grid1);
            seenPos = p->pos();
            for (int r = 1; r <= 6 && clickDay; ++r)
                for (int c = 0; c < 7; ++c)
                    if (p->Grid1->item(r, c)->text() == QString::number(clickDay))
                        return clickOn(p->Grid1, r, c);
            p->close();
        });
        QTest::keyClick(fw.field, Qt::Key_F4);

        QCOMPARE(shown, start);
        QCOMPARE(seenDay, QString::number(start.day()));
        QCOMPARE(seenTitle, caption.isEmpty() ? QStringLiteral("Select Date") : caption);
        QCOMPARE(seenPos, at);
        QCOMPARE(fw.field->currentText(), after);
        QTRY_VERIFY(fw.next->hasFocus());
        QCOMPARE(leaves, 1);
    }

    // Where the picker opens beside a field: the formulas in pixels, from
    // the corner of the window's frame; then moved only as far as needed to
    // keep it on the screen.
    void placement()
    {
        QWidget w;
        w.resize(500, 400);
        auto* left = new DateField(&w);
        left->setGeometry(20, 30, 120, 22);
        auto* right = new DateField(&w);
        right->setGeometry(160, 30, 120, 22);
        auto* low = new DateField(&w);
        low->setGeometry(300, 300, 120, 22);
        auto* frame = new QFrame(&w);
        frame->setGeometry(200, 100, 250, 120);
        auto* framed = new DateField(frame);
        framed->setGeometry(10, 20, 150, 22);
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

    // Leaving a date field: a text that is no date (and a blank, where a
    // blank is not allowed) gets the field's message and the focus back.
    void leaveCheck_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("blankAllowed");
        QTest::addColumn<bool>("complains");
        QTest::addColumn<bool>("isDate");
        QTest::newRow("blank allowed") << "" << true << false << false;
        QTest::newRow("blank not allowed") << "" << false << true << false;
        QTest::newRow("31/31/99") << "31/31/99" << true << true << false;
        QTest::newRow("tomorrow") << "tomorrow" << false << true << false;
        QTest::newRow("a date") << "3/15/1998" << false << false << true;
    }
    void leaveCheck()
    {
        QFETCH(QString, text);
        QFETCH(bool, blankAllowed);
        QFETCH(bool, complains);
        QFETCH(bool, isDate);
        const QString message = QStringLiteral("You must enter a valid due date, or leave the field blank.");
        FieldWindow fw;
        QVERIFY(QTest::qWaitForWindowActive(&fw.w));
        int checks = 0;
        bool result = !isDate;
        onLeave(fw.field, [&] {
            ++checks;
            result = checkDateOnLeave(fw.field, blankAllowed, message);
        });
        fw.field->setFocus();
        QTRY_VERIFY(fw.field->hasFocus());
        fw.field->setEditText(text);
        QTest::keyClick(fw.field, Qt::Key_Tab);

        QCOMPARE(checks, 1);
        QCOMPARE(result, isDate);
        QCOMPARE(fw.field->currentText(), text);
        if (complains) {
            QCOMPARE(m_p->messageTexts(), QStringList{message});
            QCOMPARE(m_p->messages.first().flags, Mb::OkOnly);
            QCOMPARE(m_p->messages.first().title, QStringLiteral("cvd"));
            QTRY_VERIFY(fw.field->hasFocus());
        } else {
            QVERIFY(m_p->messages.isEmpty());
            QTRY_VERIFY(fw.next->hasFocus());
        }
    }
};

QTEST_MAIN(tst_datepicker)
#include "tst_datepicker.moc"
