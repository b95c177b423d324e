// A "|" or ";" typed into a request, a name or a description: the page
// engine takes a report's rows as text with "|" between the cells and ";"
// after each row, and such a mark must not end a cell or a row there.  In
// the preview and its PDF every field stays in its own cell, shown as typed,
// and the cells after it (an amount among them) stay in their columns; in
// the text file every field stays one field of one line, as typed, its tabs
// and line breaks made blanks.
#include "support/testmain.h"
#include "reportfixture.h"
#include "pdfreader.h"
#include "reports/pageengine.h"
#include "reports/pagerender.h"
#include "reports/reportrules.h"
#include "reports/tabletext.h"

using namespace cvd;
using namespace cvd::test;

namespace {

// Two requests of one customer, department, category and staff member
// whose names carry the marks; the second request's texts run over
// several lines and hold a tab.
const char* const kMarkedRows = R"SQL(
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
)SQL";

QByteArray totalsFile(const QByteArray& last)
{
    return "4/1/2026\tPrinter; toner low\t1\t30\t$60.00\t$0.00\t" + last + "\t\r\n"
           "4/2/2026\tTwo lines of text\t0\t45\t$25.00\t$0.00\t" + last + "\t\r\n"
           "\tSubtotal:\t2\t15\t$85.00\t$0.00\t\r\n\tTotals:\t2\t15\t$85.00\t$0.00\t\r\n";
}

QByteArray billFile(const QByteArray& recipient, const QByteArray& address)
{
    return "\r\n" + recipient + "\r\n" + address + "\r\n\r\n\r\n4/1/2026\tPrinter; toner low\t$60.00\r\n"
           "4/2/2026\tTwo lines of text\t$25.00\r\nTotal Amount Due:\t$85.00\r\n\r\n";
}

} // namespace

class tst_reportmarks : public QObject {
    Q_OBJECT
    std::unique_ptr<ReportSession> s;

private slots:
    void init()
    {
        s = std::make_unique<ReportSession>();
        MainDb.reset(); // the program holds its database for itself
        QVERIFY(execSql(s->dbPath, portableRows(kMarkedRows).constData()));
        MainDb = Database::Open(s->dbPath);
        s->answers.start = QDate(2026, 4, 1);
        s->answers.end = QDate(2026, 4, 2);
    }
    void cleanup() { s.reset(); }

    // Each report's rows in the preview, by the texts on their first line:
    // the column titles (in landscape "Customer Name" wraps), then the rows
    // under them, each cell under its title; a bill's recipient heads it.
    void preview_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<QList<QStringList>>("rows");
        const QStringList cells{"4/1/2026", "No", "Al; Li|Co", "R|D; East", "Ink;Toner|A", "Kim| Ray;"};
        const QStringList texts{"A|B", "Done; ok | fine"}, next{"First;", "Tab here"};
        QTest::newRow("listing, landscape")
            << "listing-staff" << true
            << QList<QStringList>{{"Req. Date", "Rslv", "Customer", "Dept./Comp.", "Category", "Assigned To", "Request", "Response"},
                                  cells + texts, QStringList{"4/2/2026"} + cells.mid(1) + next};
        QTest::newRow("listing, portrait")
            << "listing-category" << false
            << QList<QStringList>{{"Req. Date", "Rslv", "Customer Name", "Dept./Comp.", "Category", "Assigned To"},
                                  cells, {"Request", "Response"}, texts, next};
        const QStringList totals{"Req. Date", "Description", "Hours", "Minutes", "Cost", "Paid"};
        const QStringList first{"4/1/2026", "Printer; toner low", "1", "30", "$60.00", "$0.00"};
        const QStringList second{"4/2/2026", "Two lines", "0", "45", "$25.00", "$0.00"};
        for (const auto& [kind, title, last] : {std::tuple{"hours", "Assigned To", "Kim| Ray;"},
                                                 std::tuple{"charges-customer", "Customer", "Al; Li|Co"},
                                                 std::tuple{"charges-department", "Dept/Comp", "R|D; East"}})
            QTest::newRow(kind) << kind << true << QList<QStringList>{totals + QStringList{title}, first + QStringList{last},
                                                                      second + QStringList{last}};
        const QList<QStringList> bill{{"4/1/2026", "Printer; toner low", "$60.00"}, {"4/2/2026", "Two lines", "$25.00"},
                                      {"Total Amount Due:", "$85.00"}};
        QTest::newRow("bills-customer") << "bills-customer" << true
                                        << QList<QStringList>{{"Date", "Description", "Amount"}, {"Al; Li|Co"}, {"5 Main St"}} + bill;
        QTest::newRow("bills-department") << "bills-department" << true
                                          << QList<QStringList>{{"Date", "Description", "Amount"}, {"R|D; East"}} + bill;
    }
    void preview()
    {
        QFETCH(QString, kind);
        QFETCH(bool, landscape);
        QFETCH(QList<QStringList>, rows);
        s->answers.landscape = landscape;
        const PageDocument doc = s->preview(kind);
        QList<int> titleColumns;
        QString drawn;
        for (const QStringList& expected : rows) {
            QList<int> columns;
            QCOMPARE(rowAt(doc.pages.value(0), expected.first(), &columns), expected);
            // A row of the titles gives the columns of the rows under it.
            if (expected.first() == u"Req. Date" || expected.first() == u"Date" || expected.first() == u"Request")
                titleColumns = columns;
            else if (expected.first() == u"Total Amount Due:")
                QCOMPARE(columns.last(), titleColumns.last()); // the amount under "Amount"
            else if (expected.size() > 1)
                QCOMPARE(columns, titleColumns);
            drawn += expected.join(QString());
        }
        QVERIFY(!dumpDocument(doc).contains(QChar(kCellBar)) && !dumpDocument(doc).contains(QChar(kCellSemicolon)));
        // The PDF draws each field of a one-line row whole before the next
        // cell (the reader leaves blanks out).
        const QString path = s->file(QStringLiteral("report.pdf"));
        QVERIFY(writePdf(doc, path));
        const QString pdf = PdfReader(fileBytes(path)).text();
        for (const QStringList& expected : rows.mid(1))
            if (!expected.contains(QStringLiteral("First;")) && !expected.contains(QStringLiteral("Two lines")))
                QVERIFY2(pdf.contains(expected.join(QString()).remove(u' ')), qPrintable(expected.join(u',') + u'\n' + pdf));
    }

    // Each report's text file, byte for byte.
    void file_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("bytes");
        for (const char* kind : {"listing-staff", "listing-customer", "listing-department", "listing-category"})
            QTest::newRow(kind) << kind
                                << QByteArray("4/1/2026\tNo\tAl; Li|Co\tR|D; East\tInk;Toner|A\tKim| Ray;\tA|B\tDone; ok | fine\t\r\n"
                                              "4/2/2026\tNo\tAl; Li|Co\tR|D; East\tInk;Toner|A\tKim| Ray;\tFirst; second | line\t"
                                              "Tab here\t\r\n");
        QTest::newRow("hours") << "hours" << totalsFile("Kim| Ray;");
        QTest::newRow("charges-customer") << "charges-customer" << totalsFile("Al; Li|Co");
        QTest::newRow("charges-department") << "charges-department" << totalsFile("R|D; East");
        QTest::newRow("bills-customer") << "bills-customer" << billFile("Al; Li|Co", "5 Main St\r\nSpringfield, IL  62701");
        QTest::newRow("bills-department") << "bills-department" << billFile("R|D; East", "9 Side St\r\nJoliet, IL  60431");
    }
    void file()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, bytes);
        QCOMPARE(s->runToFile(kind), bytes);
        QCOMPARE(s->platform.messageTexts(), QStringList());
    }

    // A listing of the one customer whose name holds the marks: the page
    // header shows the whole name in its middle part.
    void listingTitle()
    {
        s->answers.id = 6;
        s->answers.name = QStringLiteral("Al; Li|Co");
        const Page page = s->preview(QStringLiteral("listing-customer")).pages.value(0);
        QCOMPARE(rowAt(page, QStringLiteral("4/1/2026")).value(2), QStringLiteral("Al; Li|Co"));
        QVERIFY(textsOf(page).contains(QStringLiteral("Requests by Customer for 4/1/2026 to 4/2/2026 from Al; Li|Co")));
    }

    // The page engine itself: rows composed of cells holding the marks, and
    // a header part holding them.
    void engine()
    {
        PageEngine e;
        e.setHeaderText(QStringLiteral("|") + cellText(u"Title; with | marks") + QStringLiteral("|right"));
        e.BeginDocument();
        e.AddTable(QStringLiteral("+2000|+2000|>1500;"), {},
                   tableRow({u"x;y", u"a|b|c", u"$1.00"}) + tableRow({u"next", u";", u"$2.00"}));
        e.EndDocument();
        const Page& page = e.document().pages.front();
        QCOMPARE(rowAt(page, QStringLiteral("x;y")), QStringList({"x;y", "a|b|c", "$1.00"}));
        QCOMPARE(rowAt(page, QStringLiteral("next")), QStringList({"next", ";", "$2.00"}));
        QCOMPARE(rowAt(page, QStringLiteral("Title; with | marks")), QStringList({"Title; with | marks", "right"}));
    }
};

CVD_TEST_MAIN(tst_reportmarks)
#include "tst_reportmarks.moc"
