#pragma once
// What the report tests share: a small database that holds the cases the
// reports must get right, a report session on it (the database open, the
// scripted platform, the options dialog answered in code, en_US formats),
// and the comparison with the golden files in tests/reports/golden.
//
//   Customers  1 Ann Adams     1 Elm Street, Springfield IL 62701, USA (dept 1)
//              2 Ann Adams     77 Birch Road, Shelbyville IL 62565 (dept 2): a namesake
//              3 Bob Baker     no address at all (dept 3)
//              4 Zoë Ångström  Strandvägen 7, Stockholm 114 56, country "  Sweden  " (dept 2)
//              5 (none) 李     "Pipe | Lane; Unit 4", city with a tab, country "" (dept 3)
//   Dept       1 Accounting (full address), 2 Ångström Labs (no state), 3 Zeta Corp (no address)
//   Staff      1 Jane Smith, 2 Jane Smith (a namesake), 3 Tom Jones, 4 (none) Ølsen
//   Categories 1 Software, 2 Hardware, 3 Réseau
//   Req  id date        res hours min  cost    paid   cust dept cat staff
//        1  2026-01-05  yes 1     0    40.00   40.00  1    1    2   1
//        2  2026-01-06  no  2     0    80.00   0.00   2    2    1   2
//        3  2026-01-07  yes 0     59   39.33   30.00  1    1    3   1
//        4  2026-01-08  no  0     30   25.00   null   2    2    2   2
//        5  2026-01-09  yes 0     30   25.00   0.00   3    3    1   2
//        6  2026-01-10  no  1     0    40.00   0.00   -    -    -   -
//        7  2026-02-01  yes 2     130  166.67  null   4    2    3   3   texts with | ; tab CR LF Unicode
//        8  2026-02-02  no  null  null null    null   5    3    1   4
//        9  2026-02-03  no  0     61   25.00   0.00   3    1    2   99 (no longer on file)
//        10 2026-03-01  yes 3     0    120.00  50.00  4    2    1   3
//        11 2031-06-15  no  1     0    40.00   0.00   1    1    1   1
//        12 1925-03-04  yes 1     0    40.00   0.00   1    1    1   1
//        13 2026-03-02  no  0.5   0    25.00   0.00   -    1    2   3
//        14 2026-03-03  no  0     45   25.00   null   5    3    3   4   a tab in the description
//   Settings   heading "Calvedon Service Desk", "100 Main Street" CR LF "Springfield, IL  62701"
//              (a new file's heading is empty)
#include "db/database.h"
#include "base/formats.h"
#include "base/globals.h"
#include "reports/reportkinds.h"
#include "reports/reportwindows.h"
#include "support/fixturedb.h"
#include "support/scriptedplatform.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace cvd::test {

inline const char* const kReportRows = R"SQL(
BEGIN;
DELETE FROM Categories; DELETE FROM Dept; DELETE FROM Customers; DELETE FROM Staff; DELETE FROM Req;
INSERT INTO Categories (CatID, CatDesc) VALUES (1, 'Software'), (2, 'Hardware'), (3, 'Réseau');
INSERT INTO Dept (DeptID, DeptName, Address, City, St, Zip, Country) VALUES
 (1, 'Accounting', '12 Ledger Lane', 'Springfield', 'IL', '62701', 'USA'),
 (2, 'Ångström Labs', 'Box 7', 'Uppsala', NULL, '751 05', 'Sweden'),
 (3, 'Zeta Corp', NULL, NULL, NULL, NULL, NULL);
INSERT INTO Customers (CustID, FirstName, LastName, Address, City, St, Zip, Country, DeptID) VALUES
 (1, 'Ann', 'Adams', '1 Elm Street', 'Springfield', 'IL', '62701', 'USA', 1),
 (2, 'Ann', 'Adams', '77 Birch Road', 'Shelbyville', 'IL', '62565', NULL, 2),
 (3, 'Bob', 'Baker', NULL, NULL, NULL, NULL, NULL, 3),
 (4, 'Zoë', 'Ångström', 'Strandvägen 7', 'Stockholm', NULL, '114 56', '  Sweden  ', 2),
 (5, NULL, '李', 'Pipe | Lane; Unit 4', 'Tab{TAB}Town', 'ST', '00001', '', 3);
INSERT INTO Staff (StaffID, FirstName, LastName) VALUES
 (1, 'Jane', 'Smith'), (2, 'Jane', 'Smith'), (3, 'Tom', 'Jones'), (4, NULL, 'Ølsen');
INSERT INTO Req (ReqID, ShortDesc, ReqDesc, Resp, ReqDate, Resolved, HoursTot, MinTot, CostTot, AmtPaid,
                 CustID, DeptID, CatID, AssignedTo) VALUES
 (1, 'Printer jam', 'Jams on every page', 'Cleared the paper path', '2026-01-05', TRUE, 1, 0, 400000, 400000, 1, 1, 2, 1),
 (2, 'Spreadsheet crash', 'Crashes when printing', NULL, '2026-01-06', FALSE, 2, 0, 800000, 0, 2, 2, 1, 2),
 (3, 'Network down', 'No network in the lab', 'Replaced the switch', '2026-01-07', TRUE, 0, 59, 393300, 300000, 1, 1, 3, 1),
 (4, 'New mouse', 'Mouse needed', NULL, '2026-01-08', FALSE, 0, 30, 250000, NULL, 2, 2, 2, 2),
 (5, 'Upgrade', 'Upgrade the driver', 'Installed the driver', '2026-01-09', TRUE, 0, 30, 250000, 0, 3, 3, 1, 2),
 (6, 'Walk-in', 'Nobody on file', NULL, '2026-01-10', FALSE, 1, 0, 400000, 0, NULL, NULL, NULL, NULL),
 (7, 'Odd | text; here', 'Tab{TAB}here{CRLF}second line | with; marks',
  'Ünïcødé ✓ 李 — done', '2026-02-01', TRUE, 2, 130, 1666700, NULL, 4, 2, 3, 3),
 (8, 'Null amounts', 'Cost not set', NULL, '2026-02-02', FALSE, NULL, NULL, NULL, NULL, 5, 3, 1, 4),
 (9, 'Gone staff', 'Assigned to someone who left', NULL, '2026-02-03', FALSE, 0, 61, 250000, 0, 3, 1, 2, 99),
 (10, 'Partly paid', 'Big job', 'Done', '2026-03-01', TRUE, 3, 0, 1200000, 500000, 4, 2, 1, 3),
 (11, 'Far future', 'After 2030', NULL, '2031-06-15', FALSE, 1, 0, 400000, 0, 1, 1, 1, 1),
 (12, 'Long ago', 'Before 1930', 'Old', '1925-03-04', TRUE, 1, 0, 400000, 0, 1, 1, 1, 1),
 (13, 'Dept only', 'No customer, a department', NULL, '2026-03-02', FALSE, 0.5, 0, 250000, 0, NULL, 1, 2, 3),
 (14, 'Tabbed{TAB}text', 'Tab{TAB}separated', NULL, '2026-03-03', FALSE, 0, 45, 250000, NULL, 5, 3, 3, 4);
UPDATE Settings SET CompName = 'Calvedon Service Desk', CompAdd = '100 Main Street{CRLF}Springfield, IL  62701';
COMMIT;
)SQL";

// Rows as one text for the file and the server: {TAB} and {CRLF} stand for
// those characters inside a text literal.
inline QByteArray portableRows(const char* rows) { return QByteArray(rows).replace("{TAB}", "\t").replace("{CRLF}", "\r\n"); }

// `folder`/cvd.mdb with the rows above; returns its path.
inline QString createReportFixture(const QString& folder) { return newDatabase(folder, QString::fromUtf8(portableRows(kReportRows))); }

// Empty when `actual` is the content of the golden file `name` in the source
// tree (tests/reports/golden); otherwise the first
// line where they differ.  With CVD_GOLDEN_ACTUAL set to a folder, `actual`
// is also written there under the same name (tests/reports/update-goldens.sh
// collects them); the golden files themselves are never written by a test.
inline QString goldenDifference(const QString& name, const QByteArray& actual)
{
    if (const QString out = qEnvironmentVariable("CVD_GOLDEN_ACTUAL"); !out.isEmpty())
        writeFile(QDir(out).filePath(name), actual);
    const QString golden = qEnvironmentVariable("CVD_SOURCE_DIR") + QStringLiteral("/tests/reports/golden/") + name;
    const QList<QByteArray> e = fileBytes(golden).split('\n'), a = actual.split('\n');
    for (qsizetype i = 0; i < std::max(e.size(), a.size()); ++i)
        if (e.value(i) != a.value(i))
            return QStringLiteral("%1, line %2:\n expected: %3\n actual:   %4")
                .arg(name).arg(i + 1).arg(QString::fromUtf8(e.value(i)), QString::fromUtf8(a.value(i)));
    return {};
}

// The texts of a page, in drawing order.
inline QStringList textsOf(const Page& page)
{
    QStringList out;
    for (const PageText& t : page.texts)
        out << t.text;
    return out;
}

// The answers of the report options dialog.
struct Answers {
    QDate start{2026, 1, 1}, end{2026, 12, 31};
    StateFilterKind state = StateFilterKind::Both;
    long id = 0;
    QString name;
    bool landscape = true;
};

// The report windows of a test, installed while it lives: the options
// dialog answered by `options` (none: cancelled), previews collected.
struct TestReportWindows : ReportWindows {
    TestReportWindows() { setReportWindows(this); }
    ~TestReportWindows() override { setReportWindows(nullptr); }
    void showOptions() override { ++dialogs; if (options) options(); }
    void showPreview(PageDocument doc) override { previews << doc; }
    std::function<void()> options;
    int dialogs = 0;
    QList<PageDocument> previews;
};

// A report session on a fresh fixture: the database open as the program
// opens it, the scripted platform, en_US, the options dialog answering
// `answers` (or cancelled), previews collected.
class ReportSession : public TestReportWindows {
public:
    explicit ReportSession(bool emptyDb = false)
    {
        fmt::setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        resetProgramValues();
        dbPath = emptyDb ? createEmptyDb(dir.path()) : createReportFixture(dir.path());
        MainDb = Database::Open(dbPath);
        options = [this] {
            if (!cancelOptions)
                std::tie(ReportCancelled, ReportStartDate, ReportEndDate, StateFilter, SelectedID, SelectedName, LandscapeWanted) =
                    std::tuple(false, answers.start, answers.end, answers.state, answers.id, answers.name, answers.landscape);
        };
    }
    ~ReportSession() override { resetProgramValues(); }

    QString file(const QString& name) const { return dir.filePath(name); }

    // Runs the report `kind` to the text file `path` (the session's
    // report.txt by default); returns the file's bytes.
    QByteArray runToFile(const QString& kind, QString path = {})
    {
        ReportFileName = path.isEmpty() ? file(QStringLiteral("report.txt")) : path;
        run(kind, ReportTargetKind::File);
        return fileBytes(ReportFileName);
    }

    // The one document the report `kind` previews (no page when it shows
    // none or several).
    PageDocument preview(const QString& kind)
    {
        previews.clear();
        run(kind, ReportTargetKind::Preview);
        return previews.size() == 1 ? previews.front() : PageDocument();
    }

    void run(const QString& kind, ReportTargetKind target)
    {
        const ReportKind* k = findReportKind(kind);
        QVERIFY2(k, qPrintable(kind));
        std::tie(ReportTarget, ReportMode, ShowLandscapeOption) = std::tuple(target, k->mode, k->listing && target == ReportTargetKind::Preview);
        k->procedure();
    }

    QTemporaryDir dir;
    ScriptedPlatform platform;
    QString dbPath;
    Answers answers;
    bool cancelOptions = false;
};

// A report with its answers and the golden file of its output (which
// names the case): a text file (*.txt) or the dump of its preview
// (*.doc.txt).
struct GoldenCase {
    QString kind;
    Answers answers;
    QString golden;
    QString setup = {}; // SQL run on the fixture first
};

// The widest figures a page shows: a date whose month and day have two
// digits, amounts up to $999,999,999.99, and totals of such.
inline const QString kWideFigures = QStringLiteral(
    "update Req set ReqDate = '2026-11-19', CostTot = 9999999999900, AmtPaid = 1459306500, HoursTot = 9999, "
    "MinTot = 59 where ReqID = 2; update Req set ReqDate = '2026-12-28', CostTot = 12345678900, AmtPaid = NULL "
    "where ReqID = 4");

// Two requests alike in every item a report sorts by (request 2's staff
// member, customer and day), written in the reverse of their numbers: they
// come in the order of their numbers, on a server too.
inline const QString kTies = QStringLiteral(
    "insert into Req (ReqID, ShortDesc, ReqDesc, ReqDate, AssignedTo, CustID, CostTot) values (21, 'Tie 21', 'Tie 21', "
    "'2026-01-06', 2, 2, 10000); insert into Req (ReqID, ShortDesc, ReqDesc, ReqDate, AssignedTo, CustID, CostTot) "
    "values (20, 'Tie 20', 'Tie 20', '2026-01-06', 2, 2, 10000)");

// A "|" or ";" typed into a request, a name or a description must not end a
// cell or a row of the page engine's table text: in the preview every field
// stays in its own cell, shown as typed, and the cells after it (an amount
// among them) stay in their columns; in the text file every field stays one
// field of one line, as typed, its tabs and line breaks made blanks.  Two
// requests of one customer, department, category and staff member whose
// names carry the marks; the second's texts run over several lines.
inline const QString kMarkedRows = QStringLiteral(R"SQL(
INSERT INTO Categories (CatID, CatDesc) VALUES (4, 'Ink;Toner|A');
INSERT INTO Dept (DeptID, DeptName, Address, City, St, Zip, Country) VALUES (4, 'R|D; East', '9 Side St', 'Joliet', 'IL', '60431', NULL);
INSERT INTO Customers (CustID, FirstName, LastName, Address, City, St, Zip, Country, DeptID) VALUES
 (6, 'Al;', 'Li|Co', '5 Main St', 'Springfield', 'IL', '62701', NULL, 4);
INSERT INTO Staff (StaffID, FirstName, LastName) VALUES (5, 'Kim|', 'Ray;');
INSERT INTO Req (ReqID, ShortDesc, ReqDesc, Resp, ReqDate, Resolved, HoursTot, MinTot, CostTot, AmtPaid,
                 CustID, DeptID, CatID, AssignedTo) VALUES
 (15, 'Printer; toner low', 'A|B', 'Done; ok | fine', '2026-04-01', FALSE, 1, 30, 600000, 0, 6, 4, 4, 5),
 (16, 'Two lines{CRLF}of text', 'First;{CRLF}second | line',
  'Tab{TAB}here', '2026-04-02', FALSE, 0, 45, 250000, 0, 6, 4, 4, 5);
)SQL");

inline QList<GoldenCase> goldenCases()
{
    QList<GoldenCase> cases;
    for (const QString& kind : reportKindNames())
        for (const char* suffix : {".txt", ".doc.txt"})
            cases << GoldenCase{kind, {}, kind + suffix};
    const auto one = [](StateFilterKind state, long id, const char* name = "", bool landscape = true) {
        return Answers{{2026, 1, 1}, {2026, 12, 31}, state, id, QString::fromUtf8(name), landscape};
    };
    const auto both = StateFilterKind::Both, open = StateFilterKind::OpenOnly;
    const Answers april{{2026, 4, 1}, {2026, 4, 2}, both, 0, {}};
    cases << GoldenCase{"hours", one(open, 2), "hours-one-open.txt"}
          << GoldenCase{"charges-department", one(both, 2), "charges-department-one.txt"}
          << GoldenCase{"bills-department", one(StateFilterKind::ResolvedOnly, 2), "bills-department-one-resolved.txt"}
          << GoldenCase{"listing-customer", one(open, 2), "listing-customer-one-open.txt"}
          << GoldenCase{"listing-staff", one(both, 0, "", false), "listing-staff-portrait.doc.txt"}
          << GoldenCase{"listing-category", one(both, 3, "Réseau", false), "listing-category-one-portrait.doc.txt"}
          << GoldenCase{"hours", one(both, 2, "Jane Smith"), "hours-one.doc.txt"}
          << GoldenCase{"bills-customer", one(both, 4, "Zoë Ångström"), "bills-customer-one.doc.txt"}
          << GoldenCase{"hours", one(both, 2, "Jane Smith"), "wide-hours.doc.txt", kWideFigures}
          << GoldenCase{"charges-customer", one(both, 2, "Ann Adams"), "wide-charges.doc.txt", kWideFigures}
          << GoldenCase{"bills-customer", one(both, 2, "Ann Adams"), "wide-bill.doc.txt", kWideFigures}
          << GoldenCase{"listing-customer", one(both, 2, "Ann Adams"), "wide-listing-landscape.doc.txt", kWideFigures}
          << GoldenCase{"listing-customer", one(both, 2, "Ann Adams", false), "wide-listing-portrait.doc.txt", kWideFigures}
          << GoldenCase{"charges-customer", Answers{{1925, 1, 1}, {2031, 12, 31}, both, 1, {}}, "years-1925-2031.txt"}
          << GoldenCase{"listing-category", Answers{april.start, april.end, both, 0, {}, false},
                        "marks-listing-category-portrait.doc.txt", kMarkedRows}
          << GoldenCase{"listing-customer", Answers{april.start, april.end, both, 6, QStringLiteral("Al; Li|Co")},
                        "marks-listing-customer-one.doc.txt", kMarkedRows}
          // The heading's fonts: a blank name or a size that cannot be
          // printed gives the font of a new file's heading, an unknown name
          // is kept (and drawn in an installed font); without a Settings
          // record, no heading.
          << GoldenCase{"bills-department", one(both, 3), "fonts-blank-unknown.doc.txt",
                        "update Settings set NFont = '  ', NSize = 0, AFont = 'Ñó Sûch', ASize = 75000, AItalic = TRUE"}
          << GoldenCase{"bills-department", one(both, 3), "fonts-others.doc.txt",
                        "update Settings set NFont = 'Courier New', NSize = 90000000000, NBold = FALSE, NItalic = TRUE, "
                        "AFont = 'Arial', ASize = 90000, ABold = TRUE"}
          << GoldenCase{"bills-department", one(both, 3), "fonts-no-settings.doc.txt", "delete from Settings"}
          // Empty costs and amounts paid add nothing and leave their cells empty.
          << GoldenCase{"charges-customer", {}, "empty-amounts.txt",
                        "update Req set CostTot = null, AmtPaid = null, HoursTot = null where CustID = 4"};
    for (const char* kind : {"hours", "listing-staff", "charges-customer", "bills-customer"})
        cases << GoldenCase{kind, one(both, 2), QStringLiteral("ties-%1.txt").arg(kind), kTies};
    // What the fixture's requests do not hold: a fraction of a minute carried
    // into the hours, a negative amount, a recipient with only a zip code and
    // one with blanks only.
    for (const char* kind : {"charges-customer", "bills-customer"})
        cases << GoldenCase{kind, {}, QStringLiteral("edges-%1.txt").arg(kind),
                            "update Req set MinTot = 90.5 where ReqID = 9; update Req set CostTot = -30000 where ReqID = 5; "
                            "update Customers set Zip = '751 05', Country = 'Sweden' where CustID = 3; update Customers set "
                            "Address = '', City = ' ', St = '', Zip = ' ', Country = '   ' where CustID = 5"};
    for (const char* golden : {"listing-staff.txt", "listing-staff.doc.txt", "hours.txt", "charges-department.txt",
                               "charges-department.doc.txt", "bills-customer.txt", "bills-customer.doc.txt"})
        cases << GoldenCase{QString::fromLatin1(golden).section(u'.', 0, 0), april, QStringLiteral("marks-") + golden, kMarkedRows};
    // Amounts stored with fractions of a cent (from a copy, or another
    // desk's script): every total is the sum of the printed figures above
    // it, each rounded to the cent with halves away from zero.
    for (const char* kind : {"bills-customer", "charges-customer"})
        cases << GoldenCase{kind, {}, QStringLiteral("cents-%1.txt").arg(kind),
                            "delete from Req; insert into Req (ReqID, ShortDesc, ReqDate, HoursTot, MinTot, CostTot, "
                            "AmtPaid, CustID) values (1, 'Part 1', '2026-03-01', 0, 0, 100050, 50, 1), (2, 'Part 2', "
                            "'2026-03-02', 0, 0, 100150, 150, 1), (3, 'Part 3', '2026-03-03', 0, 0, 100250, 250, 1), "
                            "(4, 'Part 4', '2026-03-04', 0, 0, 250000, 0, 1)"};
    return cases;
}

} // namespace cvd::test
