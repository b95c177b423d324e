// The find dialog: the query built from its criteria, the hand-over of a
// search to the main window, the entries kept between openings, unloading
// by Display All or the close box, and the checks of its boxes.
#include "core/database.h"
#include "core/globals.h"
#include "dates/datefield.h"
#include "dates/frmdateent.h"
#include "search/findquery.h"
#include "search/frmfind.h"
#include "support/mainwindowfixture.h"
#include "support/testfiles.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

using namespace cvd;
using namespace cvd::test;

namespace {

const QString Selected = QStringLiteral("Calvedon -- Selected Records");

// Runs `script` on the find dialog inside its modal loop, opened by the
// main window's Find button.  Returns false when the script left the dialog
// open; it is cancelled then, so that the test goes on.
bool viaFind(frmMain& w, const std::function<void(frmFind&)>& script)
{
    bool leftOpen = false;
    QTimer::singleShot(0, &w, [&] {
        frmFind* d = loadedFindDialog();
        if (!d)
            return;
        if (QTest::qWaitForWindowActive(d))
            script(*d);
        if (d->isVisible()) {
            leftOpen = true;
            d->cmdCancel->click();
        }
    });
    w.cmdFind->click();
    return !leftOpen;
}

// The dialog's entries in one line: texts, And/Or, where, date, bound,
// department, staff member ("-" for no selection).
QString entries(const frmFind& d)
{
    const auto listText = [](const QComboBox* c) { return c->currentIndex() < 0 ? QStringLiteral("-") : c->currentText(); };
    const QString bound = d.optLess->isChecked() ? "less" : d.optGreater->isChecked() ? "greater" : "none";
    return QStringList{d.Search1->text(), d.Search2->text(), d.optOr->isChecked() ? "or" : "and",
                       d.optReqAndResp->isChecked() ? "resp" : "req", d.dcReqDate->currentText(), bound,
                       listText(d.cmbDept), listText(d.cmbAssignedTo)}
        .join('|');
}
const QString Initial = QStringLiteral("||and|req||none|-|-");

// Sets the entries from a line as entries() gives it.
void enter(frmFind& d, const QString& line)
{
    const QStringList e = line.split('|');
    d.Search1->setText(e[0]);
    d.Search2->setText(e[1]);
    (e[2] == "or" ? d.optOr : d.optAnd)->setChecked(true);
    (e[3] == "resp" ? d.optReqAndResp : d.optReqOnly)->setChecked(true);
    d.dcReqDate->setEditText(e[4]);
    if (e[5] != "none")
        (e[5] == "less" ? d.optLess : d.optGreater)->setChecked(true);
    d.cmbDept->setCurrentIndex(d.cmbDept->findText(e[6]));
    d.cmbAssignedTo->setCurrentIndex(d.cmbAssignedTo->findText(e[7]));
}

} // namespace

class tst_find : public QObject {
    Q_OBJECT
    std::unique_ptr<MainWindowFixture> f;

    // Request 9 is dated 1920, request 10 in 2035: dates that two-digit
    // years would put in the wrong century.
    frmMain& started()
    {
        execSql(f->dbPath(), "INSERT INTO Req (ReqID, ShortDesc, ReqDesc, ReqDate, CustID, DeptID) VALUES "
                             "(9, 'Old', 'Typewriter ribbon', '1920-06-01', 1, 1), "
                             "(10, 'Future', 'Flying car', '2035-01-01', 2, 3)");
        return f->started();
    }
    const QStringList all{"10", "8", "7", "6", "5", "4", "3", "2", "1", "9"};

private slots:
    void init() { f = std::make_unique<MainWindowFixture>(); }
    void cleanup() { f.reset(); }

    // The query text for the criteria: the texts (a second one alone moves
    // up), the date bound with four-digit years, department and staff, the
    // blanks between the pieces exactly as they are joined.
    void query_data()
    {
        QTest::addColumn<QString>("s1");
        QTest::addColumn<QString>("s2");
        QTest::addColumn<bool>("either");
        QTest::addColumn<bool>("resp");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<bool>("before");
        QTest::addColumn<int>("dept");
        QTest::addColumn<int>("staff");
        QTest::addColumn<QString>("sql");
        const QDate none;
        QTest::newRow("second text only") << "" << "printer" << false << false << none << false << -1 << -1
                                          << "Select * from Req where ReqDesc like '*printer*' order by ReqDate desc";
        QTest::newRow("apostrophes") << "O'Neil's" << "" << false << false << none << false << -1 << -1
                                     << "Select * from Req where ReqDesc like '*O''Neil''s*' order by ReqDate desc";
        QTest::newRow("both texts, response too, or")
            << "a" << "b" << true << true << none << false << -1 << -1
            << "Select * from Req where (ReqDesc like '*a*' or Resp like '*a*') or "
               "(ReqDesc like '*b*' or Resp like '*b*') order by ReqDate desc";
        QTest::newRow("date only, less than") << "" << "" << false << false << QDate(1998, 3, 5) << true << -1 << -1
                                              << "Select * from Req where  ReqDate < #03/05/1998# order by ReqDate desc";
        QTest::newRow("date, no bound chosen") << "" << "" << false << false << QDate(2035, 1, 1) << false << -1 << -1
                                               << "Select * from Req where  ReqDate >= #01/01/2035# order by ReqDate desc";
        QTest::newRow("text and department") << "a" << "" << false << false << none << false << 7 << -1
                                             << "Select * from Req where ReqDesc like '*a*' and  DeptID = 7 order by ReqDate desc";
        QTest::newRow("staff only") << "" << "" << false << false << none << false << -1 << 3
                                    << "Select * from Req where  AssignedTo = 3 order by ReqDate desc";
        QTest::newRow("every criterion")
            << "a" << "b" << false << false << QDate(1920, 6, 1) << true << 2 << 3
            << "Select * from Req where ReqDesc like '*a*' and ReqDesc like '*b*' and  ReqDate < #06/01/1920# and  "
               "DeptID = 2 and  AssignedTo = 3 order by ReqDate desc";
    }
    void query()
    {
        QFETCH(QString, s1);
        QFETCH(QString, s2);
        QFETCH(bool, either);
        QFETCH(bool, resp);
        QFETCH(QDate, date);
        QFETCH(bool, before);
        QFETCH(int, dept);
        QFETCH(int, staff);
        QFETCH(QString, sql);
        FindCriteria c{s1, s2, either, resp, {}, before, {}, {}};
        if (date.isValid())
            c.date = date;
        if (dept >= 0)
            c.deptId = dept;
        if (staff >= 0)
            c.staffId = staff;
        QVERIFY(hasCriteria(c));
        QCOMPARE(findSql(c), sql);
    }

    // A search through the dialog: the main window shows the matching
    // requests from the first, with the caption for a selection; no match
    // says so and shows every request again.
    void handover_data()
    {
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<QString>("message");
        QTest::newRow("second text moves up") << "|printer|and|req||none|-|-" << QStringList{"5", "1"} << "";
        QTest::newRow("apostrophe") << "O'Neil||and|req||none|-|-" << QStringList{"3"} << "";
        QTest::newRow("either text, response too") << "switch|driver|or|resp||none|-|-" << QStringList{"5", "3"} << "";
        QTest::newRow("before 1925") << "|||req|1/1/1925|less|-|-" << QStringList{"9"} << "";
        QTest::newRow("from 2031, no bound chosen") << "|||req|1/1/2031|none|-|-" << QStringList{"10"} << "";
        QTest::newRow("before 3/5/98") << "|||req|3/5/98|less|-|-" << QStringList{"4", "3", "2", "1", "9"} << "";
        QTest::newRow("text and date") << "printer|||req|1/1/1998|greater|-|-" << QStringList{"5"} << "";
        QTest::newRow("department and staff") << "||and|req||none|Ångström Labs|Smith, Jane" << QStringList{"7", "3"}
                                              << "";
        QTest::newRow("no match") << "zzz||and|req||none|-|-" << all
                                  << "No Records Found: No matching records were found.";
    }
    void handover()
    {
        QFETCH(QString, entries);
        QFETCH(QStringList, ids);
        QFETCH(QString, message);
        frmMain& w = started();
        w.cmdNext->click();
        QVERIFY(viaFind(w, [&](frmFind& d) {
            enter(d, entries);
            d.cmdOK->click();
        }));
        QCOMPARE(f->p.messages.isEmpty() ? QString() : f->p.messages[0].title + ": " + f->messages(), message);
        QCOMPARE(w.windowTitle(), message.isEmpty() ? Selected : QStringLiteral("Calvedon"));
        if (!message.isEmpty())
            QCOMPARE(FindSQL, AllRequestsSql);
        QCOMPARE(w.txtReqID->text(), ids.first());
        QVERIFY(f->browsing());
        QCOMPARE(f->walk(), ids);
        if (entries.startsWith('|')) { // the second text stands in the first box now
            const frmFind* d = loadedFindDialog();
            QVERIFY(d && d->Search2->text().isEmpty() && d->Search1->text() == entries.section('|', 1, 1));
        }
    }

    // Cancel keeps the entries; before any search it changes nothing, after
    // one it runs that search again from its first request.  The dialog is
    // modal over the main window.
    void cancel_data()
    {
        QTest::addColumn<bool>("searched");
        QTest::newRow("before any search") << false;
        QTest::newRow("after a search") << true;
    }
    void cancel()
    {
        QFETCH(bool, searched);
        frmMain& w = started();
        const QString kept = QStringLiteral("printer|driver|or|resp|1/2/1998|greater|Accounting|Jones, Tom");
        QVERIFY(viaFind(w, [&](frmFind& d) {
            QVERIFY(d.isModal() && d.parentWidget() == &w && QApplication::activeModalWidget() == &d);
            QCOMPARE(d.windowTitle(), QStringLiteral("Find Request"));
            QCOMPARE(entries(d), Initial);
            enter(d, kept);
            (searched ? d.cmdOK : d.cmdCancel)->click();
        }));
        w.cmdNext->click();
        const QString shownBefore = w.txtReqID->text();
        QString seen;
        QVERIFY(viaFind(w, [&](frmFind& d) {
            seen = entries(d);
            d.cmdCancel->click();
        }));
        QCOMPARE(seen, kept);
        QVERIFY(f->p.messages.isEmpty());
        // (printer) or (driver, from 1998-01-02, in Accounting, for Tom Jones): requests 5 and 1
        const QStringList ids = searched ? QStringList{"5", "1"} : all;
        QCOMPARE(w.txtReqID->text(), searched ? ids.first() : shownBefore);
        QCOMPARE(w.windowTitle(), searched ? Selected : QStringLiteral("Calvedon"));
        QCOMPARE(f->walk(), ids);
    }

    // Display All and the close box unload the dialog: the next opening
    // starts from the initial entries and reads both lists again, while a
    // dialog only hidden keeps its lists as they were.
    void unload_data()
    {
        QTest::addColumn<bool>("displayAll");
        QTest::newRow("Display All") << true;
        QTest::newRow("close box") << false;
    }
    void unload()
    {
        QFETCH(bool, displayAll);
        frmMain& w = started();
        QVERIFY(viaFind(w, [](frmFind& d) {
            d.Search1->setText(QStringLiteral("printer"));
            d.cmdOK->click();
        }));
        MainDb->Execute(QStringLiteral("INSERT INTO Dept (DeptID, DeptName) VALUES (4, 'Bakery')"));
        MainDb->Execute(QStringLiteral("INSERT INTO Staff (StaffID, FirstName, LastName) VALUES (4, 'Al', 'Zed')"));
        QString seen;
        QVERIFY(viaFind(w, [&](frmFind& d) {
            seen = entries(d) + QStringLiteral(" %1 %2").arg(d.cmbDept->count()).arg(d.cmbAssignedTo->count());
            if (displayAll)
                d.cmdAll->click();
            else
                d.close();
        }));
        QCOMPARE(seen, QStringLiteral("printer||and|req||none|-|- 3 3"));
        QVERIFY(!loadedFindDialog());
        QCOMPARE(w.windowTitle(), displayAll ? QStringLiteral("Calvedon") : Selected);
        QCOMPARE(f->walk(), (displayAll ? all : QStringList{"5", "1"}));

        QVERIFY(viaFind(w, [&](frmFind& d) {
            seen = entries(d) + ' ' + d.cmbDept->itemText(1) + ' ' + d.cmbAssignedTo->itemText(2);
            d.cmdCancel->click();
        }));
        QCOMPARE(seen, Initial + " Bakery Zed, Al");
    }

    // OK without any criterion says so and keeps the dialog open; Cancel
    // then leaves the main window as it was.
    void noCriteria()
    {
        frmMain& w = started();
        bool open = false;
        QVERIFY(viaFind(w, [&](frmFind& d) {
            d.cmdOK->click();
            open = d.isVisible();
            d.cmdCancel->click();
        }));
        QVERIFY(open);
        QCOMPARE(f->messages(), QStringLiteral("You must enter some selection criteria to search for."));
        QCOMPARE(f->p.messages[0].title, QStringLiteral("No Records Specified"));
        QVERIFY(FindSQL.isEmpty());
        QCOMPARE(w.windowTitle(), QStringLiteral("Calvedon"));
    }

    // An asterisk in a search box is refused when the box is left, with the
    // focus back in the box, and by OK (Enter in the box) likewise.
    void asterisk_data()
    {
        QTest::addColumn<bool>("second");
        QTest::newRow("Search1") << false;
        QTest::newRow("Search2") << true;
    }
    void asterisk()
    {
        QFETCH(bool, second);
        frmMain& w = started();
        bool focusBack = false, stayed = false;
        QVERIFY(viaFind(w, [&](frmFind& d) {
            QLineEdit* box = second ? d.Search2 : d.Search1;
            QVERIFY(typeInto(box, QStringLiteral("a*b")));
            tabOut();
            focusBack = QTest::qWaitFor([box] { return focusIsIn(box); });
            d.cmdOK->click();
            stayed = d.isVisible() && focusIsIn(box);
            d.cmdCancel->click();
        }));
        QVERIFY(focusBack && stayed);
        QCOMPARE(f->p.messageTexts(), QStringList(2, QStringLiteral("Cannot use * in search string")));
        QVERIFY(f->p.messages[0].title == ProgramTitle && f->p.messages[0].flags == Mb::OkOnly);
        QVERIFY(FindSQL.isEmpty());
    }

    // The date field's picker opens a date of 1900 to 1930 a century on.
    void pickerYearShift()
    {
        frmMain& w = started();
        QString year;
        QString after;
        QVERIFY(viaFind(w, [&](frmFind& d) {
            d.dcReqDate->setEditText(QStringLiteral("3/15/1925"));
            QTimer::singleShot(0, &d, [&] {
                if (auto* p = qobject_cast<frmDateEnt*>(QApplication::activeModalWidget())) {
                    year = p->txtYear->text();
                    p->close();
                }
            });
            d.dcReqDate->showPopup();
            after = d.dcReqDate->currentText();
            d.cmdCancel->click();
        }));
        QCOMPARE(year, QStringLiteral("2025"));
        QCOMPARE(after, QStringLiteral("3/15/2025"));
    }
};

QTEST_MAIN(tst_find)
#include "tst_find.moc"
