// The find dialog: the requests each search finds and the main window then
// shows, the entries kept between openings, unloading by Display All or the
// close box, and the checks of its boxes.
#include "base/globals.h"
#include "dates/datefield.h"
#include "dates/frmdateent.h"
#include "db/database.h"
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

// Runs `script` on the find dialog inside its modal loop, opened by the
// main window's Find button; cancels the dialog if the script left it open.
void viaFind(frmMain& w, const std::function<void(frmFind&)>& script)
{
    QTimer::singleShot(0, &w, [&] {
        frmFind* d = loadedFindDialog();
        if (d && QTest::qWaitForWindowActive(d))
            script(*d);
        if (d && d->isVisible())
            d->cmdCancel->click();
    });
    w.cmdFind->click();
}

// The entries as one line: texts, and/or, req/resp, date, less/greater/none,
// department, staff member ("-" for no selection); set, or read back.
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
QString entries(const frmFind& d)
{
    const auto item = [](const QComboBox* c) { return c->currentIndex() < 0 ? QStringLiteral("-") : c->currentText(); };
    return QStringList{d.Search1->text(), d.Search2->text(), d.optOr->isChecked() ? "or" : "and",
                       d.optReqAndResp->isChecked() ? "resp" : "req", d.dcReqDate->currentText(),
                       d.optLess->isChecked() ? "less" : d.optGreater->isChecked() ? "greater" : "none",
                       item(d.cmbDept), item(d.cmbAssignedTo)}
        .join('|');
}

} // namespace

class tst_find : public QObject {
    Q_OBJECT
    std::unique_ptr<MainWindowFixture> f;
    const QString all = QStringLiteral("10 8 7 6 5 4 3 2 1 9");

    // Request 9 is dated 1920, request 10 in 2035: dates that two-digit
    // years would put in the wrong century.
    frmMain& started()
    {
        execSql(f->dbPath(), "INSERT INTO Req (ReqID, ShortDesc, ReqDesc, ReqDate, CustID, DeptID) VALUES "
                             "(9, 'Old', 'Typewriter ribbon', '1920-06-01', 1, 1), (10, 'Future', 'Flying car', '2035-01-01', 2, 3)");
        return f->started();
    }

private slots:
    void init() { f = std::make_unique<MainWindowFixture>(); }
    void cleanup() { f.reset(); }

    // The requests found, shown from the first; no match says so and shows
    // all again.  A found request is edited, saved and deleted as any other,
    // on the file and on a server alike.
    void search_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("ids");
        QTest::newRow("second text only") << "|printer|and|req||none|-|-" << "5 1";
        QTest::newRow("apostrophe") << "O'Neil||and|req||none|-|-" << "3";
        QTest::newRow("both texts, response too") << "the|driver|and|resp||none|-|-" << "5";
        QTest::newRow("either text, response too") << "switch|driver|or|resp||none|-|-" << "5 3";
        // The other criteria narrow both texts joined by Or (request 1 mentions the printer but is older).
        QTest::newRow("either text from a date") << "printer|cable|or|req|1/1/1998|greater|-|-" << "8 5";
        QTest::newRow("either text in a department") << "printer|network|or|req||none|Accounting|-" << "1";
        // The texts are matched as typed: #, ? and [ are no patterns.
        QTest::newRow("# is no digit") << "#5||and|req||none|-|-" << "8";
        QTest::newRow("? is no letter") << "O?Neil||and|req||none|-|-" << all;
        QTest::newRow("[ is no set") << "[printer]||and|req||none|-|-" << all;
        QTest::newRow("before 3/5/98") << "|||req|3/5/98|less|-|-" << "4 3 2 1 9";
        QTest::newRow("before 1925") << "|||req|1/1/1925|less|-|-" << "9";
        QTest::newRow("from 2031, no bound chosen") << "|||req|1/1/2031|none|-|-" << "10";
        QTest::newRow("department and staff") << "||and|req||none|Ångström Labs|Smith, Jane" << "7 3";
        QTest::newRow("staff only") << "||and|req||none|-|Ångström, Anders" << "8 5";
        QTest::newRow("every criterion, no match") << "printer|zzz|and|req|1/1/1998|greater|Ångström Labs|Ångström, Anders" << all;
    }
    void search()
    {
        QFETCH(QString, line);
        QFETCH(QString, ids);
        frmMain& w = started();
        w.cmdNext->click();
        viaFind(w, [&](frmFind& d) {
            enter(d, line);
            d.cmdOK->click();
        });
        const bool found = ids != all;
        QCOMPARE(f->messages() + '|' + w.windowTitle(),
                 found ? QStringLiteral("|Calvedon -- Selected Records") : QStringLiteral("No matching records were found.|Calvedon"));
        QVERIFY(f->browsing() && f->entriesEnabled(true));
        QCOMPARE(f->walk().join(' '), ids);

        f->p.messages.clear();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.cmdFirst->click();
        const QString first = ids.section(' ', 0, 0);
        QVERIFY(typeInto(w.txtShortDesc, QStringLiteral("Found and saved")));
        QVERIFY2(f->saved(), qPrintable(f->messages()));
        QCOMPARE(fileQuery("select ShortDesc from Req where ReqID = " + first), QStringLiteral("Found and saved"));
        f->p.answers << Answer::Yes;
        w.cmdDelete->click();
        QCOMPARE(fileQuery("select count(*) from Req where ReqID = " + first), QStringLiteral("0"));
        QCOMPARE(w.txtReqID->text(), ids.count(' ') ? ids.section(' ', 1, 1) : QString());
    }

    // OK without any criterion says so and keeps the dialog open.  An
    // asterisk in either search box, or a date before the year 100, is
    // refused when the box is left and by OK, the focus back in the box.
    // The date's picker opens a date of 1900 to 1930 a century on.  Delete
    // or Backspace in a list clears its choice.  Cancel keeps the entries
    // and runs the search again from its first request; Display All unloads
    // the dialog, whose next opening starts afresh.
    void boxChecks()
    {
        frmMain& w = started();
        int focusBack = 0;
        QString picked;
        viaFind(w, [&](frmFind& d) {
            d.cmdOK->click();
            focusBack += d.isVisible();
            for (QWidget* box : std::initializer_list<QWidget*>{d.Search1, d.Search2, d.dcReqDate}) {
                QVERIFY(typeInto(box, box == d.dcReqDate ? QStringLiteral("1/1/0050") : QStringLiteral("a*b")));
                tabOut();
                focusBack += QTest::qWaitFor([box] { return focusIsIn(box); });
                d.cmdOK->click();
                focusBack += d.isVisible() && focusIsIn(box);
                enter(d, QStringLiteral("||and|req||none|-|-"));
            }
            d.dcReqDate->setEditText(QStringLiteral("12/31/1930"));
            QTimer::singleShot(0, &d, [&] {
                if (auto* p = qobject_cast<frmDateEnt*>(QApplication::activeModalWidget())) {
                    picked = p->txtYear->text() + ' ';
                    p->close();
                }
            });
            d.dcReqDate->showPopup();
            picked += d.dcReqDate->currentText();
            enter(d, QStringLiteral("printer||and|req||none|Accounting|Smith, Jane"));
            for (auto [list, key] : {std::pair{d.cmbDept, Qt::Key_Delete}, std::pair{d.cmbAssignedTo, Qt::Key_Backspace}})
                if (focusInto(list))
                    QTest::keyClick(list, key);
            d.cmdOK->click();
        });
        QCOMPARE(focusBack, 7);
        const QString star = QStringLiteral("Cannot use * in search string"),
                      date = QStringLiteral("You must enter a valid request date, or leave the field blank.");
        QCOMPARE(f->p.messageTexts(), (QStringList{"You must enter some selection criteria to search for.", star, star, star, star, date, date}));
        QCOMPARE(picked, QStringLiteral("2030 12/31/2030"));
        QCOMPARE(f->walk().join(' '), QStringLiteral("5 1")); // printer, in every department, for anyone
        w.cmdNext->click();
        viaFind(w, [&](frmFind& d) { picked = entries(d); d.cmdCancel->click(); });
        QCOMPARE(picked + ' ' + w.txtReqID->text(), QStringLiteral("printer||and|req||none|-|- 5"));
        viaFind(w, [&](frmFind& d) { d.cmdAll->click(); });
        viaFind(w, [&](frmFind& d) { picked = entries(d); });
        QCOMPARE(picked + ' ' + f->walk().join(' '), "||and|req||none|-|- " + all);
    }
};

CVD_TEST_MAIN(tst_find)
#include "tst_find.moc"
