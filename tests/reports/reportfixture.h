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
#include "reports/reportprocs.h"
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

// `folder`/cvd.mdb with the rows above; returns its path.
// Rows as one text for the file and the server: {TAB} and {CRLF} stand for
// those characters inside a text literal.
inline QByteArray portableRows(const char* rows)
{
    return QByteArray(rows).replace("{TAB}", "\t").replace("{CRLF}", "\r\n");
}

inline QString createReportFixture(const QString& folder)
{
    return newDatabase(folder, QString::fromUtf8(portableRows(kReportRows)));
}

// The golden file `name` in the source tree.
inline QString goldenPath(const QString& name)
{
    return QDir(qEnvironmentVariable("CVD_SOURCE_DIR")).filePath(QStringLiteral("tests/reports/golden/") + name);
}

// Empty when `actual` is the golden file's content; otherwise the first
// line where they differ.  With CVD_GOLDEN_ACTUAL set to a folder, `actual`
// is also written there under the same name (tests/reports/update-goldens.sh
// collects them); the golden files themselves are never written by a test.
inline QString goldenDifference(const QString& name, const QByteArray& actual)
{
    const QString out = qEnvironmentVariable("CVD_GOLDEN_ACTUAL");
    if (!out.isEmpty())
        writeFile(QDir(out).filePath(name), actual);
    if (!QFile::exists(goldenPath(name)))
        return QStringLiteral("no golden file ") + goldenPath(name);
    const QByteArray expected = fileBytes(goldenPath(name));
    const QList<QByteArray> e = expected.split('\n'), a = actual.split('\n');
    for (qsizetype i = 0; i < std::max(e.size(), a.size()); ++i)
        if (e.value(i) != a.value(i))
            return QStringLiteral("%1, line %2:\n expected: %3\n actual:   %4")
                .arg(name).arg(i + 1)
                .arg(QString::fromUtf8(e.value(i).toPercentEncoding(" |;$,./:()-")),
                     QString::fromUtf8(a.value(i).toPercentEncoding(" |;$,./:()-")));
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

// The texts on the line of the first text equal to `first`, left to right,
// and their left edges into `columns`.
inline QStringList rowAt(const Page& page, const QString& first, QList<int>* columns = nullptr)
{
    int y = -1;
    for (const PageText& t : page.texts)
        if (t.text == first && y < 0)
            y = t.rect.y();
    QList<PageText> row;
    for (const PageText& t : page.texts)
        if (t.rect.y() == y)
            row << t;
    std::sort(row.begin(), row.end(), [](const PageText& a, const PageText& b) { return a.rect.x() < b.rect.x(); });
    QStringList texts;
    for (const PageText& t : row) {
        texts << t.text;
        if (columns)
            *columns << t.rect.x();
    }
    return texts;
}

// The answers of the report options dialog.
struct Answers {
    QDate start{2026, 1, 1};
    QDate end{2026, 12, 31};
    StateFilterKind state = StateFilterKind::Both;
    long id = 0;
    QString name;
    bool landscape = true;
};

// A report session on a fresh fixture: the database open as the program
// opens it, the scripted platform, en_US, the options dialog answering
// `answers` (or cancelled), previews collected.
class ReportSession {
public:
    explicit ReportSession(bool emptyDb = false)
    {
        fmt::setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        resetProgramValues();
        dbPath = emptyDb ? createEmptyDb(dir.path()) : createReportFixture(dir.path());
        MainDb = Database::Open(dbPath);
        TableHeaderShade = {0, 0, 0};
        TableBodyShade = {200, 200, 200};
        ShowReportOptions = [this] {
            ++dialogs;
            if (cancelOptions)
                return;
            ReportCancelled = false;
            ReportStartDate = answers.start;
            ReportEndDate = answers.end;
            StateFilter = answers.state;
            SelectedID = answers.id;
            SelectedName = answers.name;
            LandscapeWanted = answers.landscape;
        };
        ShowPreview = [this](PageDocument doc) { previews << doc; };
    }
    ~ReportSession()
    {
        ShowReportOptions = {};
        ShowPreview = {};
        resetProgramValues();
    }

    QString file(const QString& name) const { return dir.filePath(name); }

    // Runs the report `kind` to the text file `path` (the session's
    // report.txt by default); returns the file's bytes.
    QByteArray runToFile(const QString& kind, QString path = {})
    {
        if (path.isEmpty())
            path = file(QStringLiteral("report.txt"));
        ReportTarget = ReportTargetKind::File;
        ReportFileName = path;
        run(kind);
        return fileBytes(path);
    }

    // Runs the report `kind` to the preview.
    void runToPreview(const QString& kind)
    {
        ReportTarget = ReportTargetKind::Preview;
        run(kind);
    }

    // The one document the report `kind` previews (no page when it shows
    // none or several).
    PageDocument preview(const QString& kind)
    {
        previews.clear();
        runToPreview(kind);
        return previews.size() == 1 ? previews.front() : PageDocument();
    }

    void run(const QString& kind)
    {
        const ReportKind* k = findReportKind(kind);
        QVERIFY2(k, qPrintable(kind));
        ReportMode = k->mode;
        ShowLandscapeOption = k->listing && ReportTarget == ReportTargetKind::Preview;
        k->procedure();
    }

    QTemporaryDir dir;
    ScriptedPlatform platform;
    QString dbPath;
    Answers answers;
    bool cancelOptions = false;
    int dialogs = 0;
    QList<PageDocument> previews;
};

// A report with its answers and the golden file of its output: a text file
// (*.txt) or the dump of its preview (*.doc.txt).
struct GoldenCase {
    QString tag, kind;
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

inline QList<GoldenCase> goldenCases()
{
    QList<GoldenCase> cases;
    for (const QString& kind : reportKindNames())
        for (const char* suffix : {".txt", ".doc.txt"})
            cases << GoldenCase{kind + suffix, kind, {}, kind + suffix};
    const auto one = [](StateFilterKind state, long id, const char* name = "", bool landscape = true) {
        return Answers{{2026, 1, 1}, {2026, 12, 31}, state, id, QString::fromUtf8(name), landscape};
    };
    const auto both = StateFilterKind::Both, open = StateFilterKind::OpenOnly;
    cases << GoldenCase{"hours, one staff member, open", "hours", one(open, 2), "hours-one-open.txt"}
          << GoldenCase{"charges, one department", "charges-department", one(both, 2), "charges-department-one.txt"}
          << GoldenCase{"bills, one department, resolved", "bills-department", one(StateFilterKind::ResolvedOnly, 2),
                        "bills-department-one-resolved.txt"}
          << GoldenCase{"listing, one customer, open", "listing-customer", one(open, 2), "listing-customer-one-open.txt"}
          << GoldenCase{"listing by staff, portrait", "listing-staff", one(both, 0, "", false), "listing-staff-portrait.doc.txt"}
          << GoldenCase{"listing by category, one, portrait", "listing-category", one(both, 3, "Réseau", false),
                        "listing-category-one-portrait.doc.txt"}
          << GoldenCase{"hours, one staff member", "hours", one(both, 2, "Jane Smith"), "hours-one.doc.txt"}
          << GoldenCase{"bills, one customer", "bills-customer", one(both, 4, "Zoë Ångström"), "bills-customer-one.doc.txt"}
          << GoldenCase{"wide figures: hours", "hours", one(both, 2, "Jane Smith"), "wide-hours.doc.txt", kWideFigures}
          << GoldenCase{"wide figures: charges", "charges-customer", one(both, 2, "Ann Adams"), "wide-charges.doc.txt",
                        kWideFigures}
          << GoldenCase{"wide figures: bill", "bills-customer", one(both, 2, "Ann Adams"), "wide-bill.doc.txt", kWideFigures}
          << GoldenCase{"wide figures: listing, landscape", "listing-customer", one(both, 2, "Ann Adams"),
                        "wide-listing-landscape.doc.txt", kWideFigures}
          << GoldenCase{"wide figures: listing, portrait", "listing-customer", one(both, 2, "Ann Adams", false),
                        "wide-listing-portrait.doc.txt", kWideFigures};
    return cases;
}

} // namespace cvd::test
