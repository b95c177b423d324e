// The find dialog: the query built from its criteria and its hand-over to
// the main window, the entries kept between openings, unloading by Display
// All or the close box, and the checks of its boxes.
#include "base/globals.h"
#include "dates/datefield.h"
#include "dates/frmdateent.h"
#include "db/database.h"
#include "search/findquery.h"
#include "search/frmfind.h"
#include "support/mainwindowfixture.h"
#include "support/testfiles.h"
#include "support/testmain.h"

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
        if (d && QTest::qWaitForWindowActive(d))
            script(*d);
        if ((leftOpen = d && d->isVisible()))
            d->cmdCancel->click();
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
    const QString all = QStringLiteral("10 8 7 6 5 4 3 2 1 9");

private slots:
    void init() { f = std::make_unique<MainWindowFixture>(); }
    void cleanup() { f.reset(); }

    // A search through the dialog: the query's condition exactly as built
    // (texts quoted, a second text alone moved up, four-digit years, the
    // blanks between the pieces as joined), then the main window showing the
    // matching requests from the first; no match says so and shows all again.
    // Every selection can be worked on as all requests can: a found request
    // edited and saved, then deleted, on the file and on a server alike.
    void search_data()
    {
        QTest::addColumn<QString>("line"); // as entries() gives it
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("ids");
        QTest::newRow("second text only") << "|printer|and|req||none|-|-" << "ReqDesc like '*printer*'" << "5 1";
        QTest::newRow("apostrophe") << "O'Neil||and|req||none|-|-" << "ReqDesc like '*O''Neil*'" << "3";
        QTest::newRow("both texts, response too")
            << "the|driver|and|resp||none|-|-"
            << "(ReqDesc like '*the*' or Resp like '*the*') and (ReqDesc like '*driver*' or Resp like '*driver*')" << "5";
        QTest::newRow("either text, response too")
            << "switch|driver|or|resp||none|-|-"
            << "((ReqDesc like '*switch*' or Resp like '*switch*') or (ReqDesc like '*driver*' or Resp like '*driver*'))"
            << "5 3";
        // Joined by Or, the two texts stand in brackets, so that the other
        // criteria narrow both (request 1 mentions the printer but is older).
        QTest::newRow("either text from a date")
            << "printer|cable|or|req|1/1/1998|greater|-|-"
            << "(ReqDesc like '*printer*' or ReqDesc like '*cable*') and  ReqDate >= #01/01/1998#" << "8 5";
        QTest::newRow("either text in a department")
            << "printer|network|or|req||none|Accounting|-"
            << "(ReqDesc like '*printer*' or ReqDesc like '*network*') and  DeptID = 1" << "1";
        // The texts are matched as typed: #, ? and [ are no patterns.
        QTest::newRow("# is no digit") << "#5||and|req||none|-|-" << "ReqDesc like '*[#]5*'" << "8";
        QTest::newRow("? is no letter") << "O?Neil||and|req||none|-|-" << "ReqDesc like '*O[?]Neil*'" << all;
        QTest::newRow("[ is no set") << "[printer]||and|req||none|-|-" << "ReqDesc like '*[[]printer]*'" << all;
        QTest::newRow("before 3/5/98") << "|||req|3/5/98|less|-|-" << " ReqDate < #03/05/1998#" << "4 3 2 1 9";
        QTest::newRow("before 1925") << "|||req|1/1/1925|less|-|-" << " ReqDate < #01/01/1925#" << "9";
        QTest::newRow("from 2031, no bound chosen") << "|||req|1/1/2031|none|-|-" << " ReqDate >= #01/01/2031#" << "10";
        QTest::newRow("text and department")
            << "printer||and|req||none|Ångström Labs|-" << "ReqDesc like '*printer*' and  DeptID = 2" << "5";
        QTest::newRow("department and staff")
            << "||and|req||none|Ångström Labs|Smith, Jane" << " DeptID = 2 and  AssignedTo = 1" << "7 3";
        QTest::newRow("staff only") << "||and|req||none|-|Ångström, Anders" << " AssignedTo = 3" << "8 5";
        QTest::newRow("every criterion, no match")
            << "printer|zzz|and|req|1/1/1998|greater|Ångström Labs|Ångström, Anders"
            << "ReqDesc like '*printer*' and ReqDesc like '*zzz*' and  ReqDate >= #01/01/1998# and  DeptID = 2 and  AssignedTo = 3"
            << all;
    }
    void search()
    {
        QFETCH(QString, line);
        QFETCH(QString, where);
        QFETCH(QString, ids);
        frmMain& w = started();
        w.cmdNext->click();
        QString built;
        QVERIFY(viaFind(w, [&](frmFind& d) {
            enter(d, line);
            d.cmdOK->click();
            built = entries(d).section('|', 0, 1) + ' ' + FindSQL;
        }));
        // A second text alone stands in the first box now.
        const QString texts = line.startsWith('|') ? line.section('|', 1, 1) + '|' : line.section('|', 0, 1);
        QCOMPARE(built, texts + " Select * from Req where " + where + " order by ReqDate desc");
        const bool found = ids != all;
        QCOMPARE(f->messages(), found ? QString() : QStringLiteral("No matching records were found."));
        QVERIFY(found || f->p.messages[0].title == QStringLiteral("No Records Found"));
        QCOMPARE(FindSQL == AllRequestsSql, !found);
        QCOMPARE(w.windowTitle(), found ? Selected : QStringLiteral("Calvedon"));
        QCOMPARE(w.txtReqID->text(), ids.section(' ', 0, 0));
        QVERIFY(f->browsing() && f->entriesEnabled(true)); // Total Cost stays worked out, never typed
        QCOMPARE(f->walk().join(' '), ids);

        f->p.messages.clear();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.cmdFirst->click();
        const QString first = ids.section(' ', 0, 0);
        QVERIFY(typeInto(w.txtShortDesc, QStringLiteral("Found and saved")));
        QVERIFY2(f->saved(), qPrintable(f->messages()));
        QCOMPARE(fileQuery("select ShortDesc from Req where ReqID = " + first), QStringLiteral("Found and saved"));
        QCOMPARE(w.txtReqID->text() + ' ' + w.windowTitle(), first + ' ' + w.windowTitle());
        f->p.answers << Answer::Yes;
        w.cmdDelete->click();
        QCOMPARE(f->messages(), QStringLiteral("Are you sure that you want to delete this request?"));
        QCOMPARE(fileQuery("select count(*) from Req where ReqID = " + first), QStringLiteral("0"));
        QCOMPARE(w.txtReqID->text(), ids.count(' ') ? ids.section(' ', 1, 1) : QString());
    }

    // OK without any criterion says so and keeps the modal dialog open.
    // Cancel keeps the entries and the lists; before any search it changes
    // nothing, after one (like the close box) it runs that search again from
    // its first request.  Display All and the close box unload the dialog:
    // the next opening starts afresh and reads both lists again.
    void closing_data()
    {
        QTest::addColumn<bool>("searched");
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel before any search") << false << "Cancel";
        QTest::newRow("Cancel after a search") << true << "Cancel";
        QTest::newRow("Display All") << true << "Display All";
        QTest::newRow("close box") << true << "close box";
    }
    void closing()
    {
        QFETCH(bool, searched);
        QFETCH(QString, how);
        frmMain& w = started();
        const QString kept = QStringLiteral("switch|hot|or|resp|1/2/1998|greater|Ångström Labs|Smith, Jane");
        bool stayed = false;
        QVERIFY(viaFind(w, [&](frmFind& d) {
            QVERIFY(d.isModal() && d.parentWidget() == &w && QApplication::activeModalWidget() == &d);
            QCOMPARE(d.windowTitle(), QStringLiteral("Find Request"));
            QCOMPARE(entries(d), Initial);
            d.cmdOK->click();
            stayed = d.isVisible();
            enter(d, kept);
            (searched ? d.cmdOK : d.cmdCancel)->click();
        }));
        QVERIFY(stayed);
        QCOMPARE(f->messages(), QStringLiteral("You must enter some selection criteria to search for."));
        QCOMPARE(f->p.messages[0].title, QStringLiteral("No Records Specified"));
        QCOMPARE(FindSQL.isEmpty(), !searched);
        MainDb->Execute(QStringLiteral("INSERT INTO Dept (DeptID, DeptName) VALUES (4, 'Bakery')"));
        MainDb->Execute(QStringLiteral("INSERT INTO Staff (StaffID, FirstName, LastName) VALUES (4, 'Al', 'Zed')"));
        w.cmdNext->click();
        const QString shownBefore = w.txtReqID->text();
        QString seen;
        QVERIFY(viaFind(w, [&](frmFind& d) {
            seen = entries(d);
            how == "Cancel" ? d.cmdCancel->click() : how == "Display All" ? d.cmdAll->click() : void(d.close());
        }));
        QCOMPARE(seen, kept);
        QCOMPARE(f->p.messages.size(), 1);
        const bool unloaded = how != "Cancel", showsAll = how == "Display All" || !searched;
        QCOMPARE(loadedFindDialog() == nullptr, unloaded);
        // (switch or hot), from 1998-01-02, at Ångström Labs, for Jane Smith: requests 7 and 3
        const QString ids = showsAll ? all : QStringLiteral("7 3");
        QCOMPARE(w.txtReqID->text(), searched ? ids.section(' ', 0, 0) : shownBefore);
        QCOMPARE(w.windowTitle(), showsAll ? QStringLiteral("Calvedon") : Selected);
        QCOMPARE(f->walk().join(' '), ids);

        QVERIFY(viaFind(w, [&](frmFind& d) {
            seen = entries(d) + ' ' + d.cmbDept->itemText(2) + ' ' + d.cmbAssignedTo->itemText(3);
            d.cmdCancel->click();
        }));
        QCOMPARE(seen, unloaded ? Initial + " Bakery Zed, Al" : kept + " Zeta Corp "); // lists kept, or read again
    }

    // An asterisk in either search box is refused when the box is left, with
    // the focus back in the box, and by OK (Enter in the box) likewise.  The
    // date field's picker opens a date of 1900 to 1930 a century on.
    void boxChecks()
    {
        frmMain& w = started();
        int focusBack = 0;
        QString year, after;
        QVERIFY(viaFind(w, [&](frmFind& d) {
            for (QLineEdit* box : {d.Search1, d.Search2}) {
                QVERIFY(typeInto(box, QStringLiteral("a*b")));
                tabOut();
                focusBack += QTest::qWaitFor([box] { return focusIsIn(box); });
                d.cmdOK->click();
                focusBack += d.isVisible() && focusIsIn(box);
                box->clear();
            }
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
        QCOMPARE(focusBack, 4);
        QCOMPARE(f->p.messageTexts(), QStringList(4, QStringLiteral("Cannot use * in search string")));
        QVERIFY(f->p.messages[0].title == ProgramTitle && f->p.messages[0].flags == Mb::OkOnly);
        QVERIFY(FindSQL.isEmpty());
        QCOMPARE(year + ' ' + after, QStringLiteral("2025 3/15/2025"));
    }

    // Delete (department) or Backspace (staff) in a list clears the choice,
    // so that a search can do without it again.
    void listKeysClear()
    {
        frmMain& w = started();
        QVERIFY(viaFind(w, [&](frmFind& d) {
            enter(d, QStringLiteral("printer||and|req||none|Accounting|Smith, Jane"));
            for (auto [list, key] : {std::pair{d.cmbDept, Qt::Key_Delete}, std::pair{d.cmbAssignedTo, Qt::Key_Backspace}}) {
                QVERIFY(focusInto(list));
                QTest::keyClick(list, key);
                QCOMPARE(list->currentIndex(), -1);
            }
            d.cmdOK->click();
        }));
        QCOMPARE(FindSQL, QStringLiteral("Select * from Req where ReqDesc like '*printer*' order by ReqDate desc"));
    }

    // Alt with a letter that no button owns types nothing into the box; the
    // dialog's own access keys still work.  A date before the year 100 is
    // refused like any text that is no date.
    void keysAndYears()
    {
        frmMain& w = started();
        QString texts;
        QVERIFY(viaFind(w, [&](frmFind& d) {
            QVERIFY(typeInto(d.Search1, QStringLiteral("printer")));
            for (Qt::Key k : {Qt::Key_S, Qt::Key_A, Qt::Key_U, Qt::Key_2})
                QTest::keyClick(d.Search1, k, Qt::AltModifier);
            QVERIFY(typeInto(d.dcReqDate, QStringLiteral("1/1/0050")));
            tabOut();
            QTRY_VERIFY(focusIsIn(d.dcReqDate));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_X, Qt::AltModifier);
            texts = d.Search1->text() + '|' + d.dcReqDate->currentText();
            d.dcReqDate->setEditText(QString());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::AltModifier);
            QTRY_VERIFY(!d.isVisible()); // the button is pressed a moment later
        }));
        QCOMPARE(texts, QStringLiteral("printer|1/1/0050"));
        QCOMPARE(f->messages(), QStringLiteral("You must enter a valid request date, or leave the field blank."));
        QCOMPARE(FindSQL, QStringLiteral("Select * from Req where ReqDesc like '*printer*' order by ReqDate desc"));
    }
};

CVD_TEST_MAIN(tst_find)
#include "tst_find.moc"
