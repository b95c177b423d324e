// A "|" or ";" typed into a request, a name or a description: the page
// engine takes a report's rows as text with "|" between the cells and ";"
// after each row, and such a mark must not end a cell or a row there.  In
// the preview every field stays in its own cell, shown as typed, and the
// cells after it (an amount among them) stay in their columns; in the text
// file every field stays one field of one line, as typed, its tabs and line
// breaks made blanks.
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
 (15, 'Printer; toner low', 'A|B', 'Done; ok | fine', '2026-04-01', 0, 1, 30, 600000, 0, 6, 4, 4, 5),
 (16, 'Two lines' || char(13) || char(10) || 'of text', 'First;' || char(13) || char(10) || 'second | line',
  'Tab' || char(9) || 'here', '2026-04-02', 0, 0, 45, 250000, 0, 6, 4, 4, 5);
)SQL";

// The texts of one row of a page's tables, left to right: those on the
// line of the first text equal to `first`.
QStringList rowAt(const Page& page, const QString& first, QList<int>* columns = nullptr)
{
    int y = -1;
    for (const PageText& t : page.texts)
        if (t.text == first) {
            y = t.rect.y();
            break;
        }
    QList<const PageText*> row;
    for (const PageText& t : page.texts)
        if (t.rect.y() == y)
            row << &t;
    std::sort(row.begin(), row.end(), [](const PageText* a, const PageText* b) { return a->rect.x() < b->rect.x(); });
    QStringList texts;
    for (const PageText* t : row) {
        texts << t->text;
        if (columns)
            *columns << t->rect.x();
    }
    return texts;
}

const QByteArray kListingFile = "4/1/2026\tNo\tAl; Li|Co\tR|D; East\tInk;Toner|A\tKim| Ray;\tA|B\tDone; ok | fine\t\r\n"
                                "4/2/2026\tNo\tAl; Li|Co\tR|D; East\tInk;Toner|A\tKim| Ray;\tFirst; second | line\tTab here\t\r\n";

QByteArray totalsFile(const QByteArray& last)
{
    return "4/1/2026\tPrinter; toner low\t1\t30\t$60.00\t$0.00\t" + last + "\t\r\n"
           "4/2/2026\tTwo lines of text\t0\t45\t$25.00\t$0.00\t" + last + "\t\r\n"
           "\tSubtotal:\t2\t15\t$85.00\t$0.00\t\r\n"
           "\tTotals:\t2\t15\t$85.00\t$0.00\t\r\n";
}

QByteArray billFile(const QByteArray& recipient, const QByteArray& address)
{
    return "\r\n" + recipient + "\r\n" + address + "\r\n\r\n\r\n"
           "4/1/2026\tPrinter; toner low\t$60.00\r\n"
           "4/2/2026\tTwo lines of text\t$25.00\r\n"
           "Total Amount Due:\t$85.00\r\n\r\n";
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
        QVERIFY(execSql(s->dbPath, kMarkedRows));
        MainDb = Database::Open(s->dbPath);
        s->answers.start = QDate(2026, 4, 1);
        s->answers.end = QDate(2026, 4, 2);
    }
    void cleanup() { s.reset(); }

    // Each report's rows in the preview, by the texts on their first line:
    // the column titles (in landscape "Customer Name" wraps), then the
    // rows under them, each cell under its title.
    void preview_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<QList<QStringList>>("rows");
        const QStringList listing{"Req. Date", "Rslv", "Customer Name", "Dept./Comp.", "Category", "Assigned To"};
        const QStringList cells{"4/1/2026", "No", "Al; Li|Co", "R|D; East", "Ink;Toner|A", "Kim| Ray;"};
        const QStringList texts{"A|B", "Done; ok | fine"};
        for (const char* kind : {"listing-staff", "listing-customer", "listing-department", "listing-category"}) {
            QTest::addRow("%s, landscape", kind) << kind << true
                                                 << QList<QStringList>{{"Req. Date", "Rslv", "Customer", "Dept./Comp.", "Category",
                                                                        "Assigned To", "Request", "Response"},
                                                                       cells + texts,
                                                                       {"4/2/2026", "No", "Al; Li|Co", "R|D; East", "Ink;Toner|A",
                                                                        "Kim| Ray;", "First;", "Tab here"}};
            QTest::addRow("%s, portrait", kind) << kind << false
                                                << QList<QStringList>{listing, cells, {"Request", "Response"}, texts,
                                                                      {"First;", "Tab here"}};
        }
        const QStringList totals{"Req. Date", "Description", "Hours", "Minutes", "Cost", "Paid"};
        const QStringList first{"4/1/2026", "Printer; toner low", "1", "30", "$60.00", "$0.00"};
        const QStringList second{"4/2/2026", "Two lines", "0", "45", "$25.00", "$0.00"};
        QTest::newRow("hours") << "hours" << true
                               << QList<QStringList>{totals + QStringList{"Assigned To"}, first + QStringList{"Kim| Ray;"},
                                                     second + QStringList{"Kim| Ray;"}};
        QTest::newRow("charges-customer") << "charges-customer" << true
                                          << QList<QStringList>{totals + QStringList{"Customer"}, first + QStringList{"Al; Li|Co"},
                                                                second + QStringList{"Al; Li|Co"}};
        QTest::newRow("charges-department") << "charges-department" << true
                                            << QList<QStringList>{totals + QStringList{"Dept/Comp"}, first + QStringList{"R|D; East"},
                                                                  second + QStringList{"R|D; East"}};
        for (const char* kind : {"bills-customer", "bills-department"})
            QTest::newRow(kind) << kind << true
                                << QList<QStringList>{{"Date", "Description", "Amount"},
                                                      {"4/1/2026", "Printer; toner low", "$60.00"},
                                                      {"4/2/2026", "Two lines", "$25.00"},
                                                      {"Total Amount Due:", "$85.00"}};
    }
    void preview()
    {
        QFETCH(QString, kind);
        QFETCH(bool, landscape);
        QFETCH(QList<QStringList>, rows);
        s->answers.landscape = landscape;
        s->runToPreview(kind);
        QCOMPARE(s->previews.size(), 1);
        const Page& page = s->previews.front().pages.front();
        QList<int> titleColumns;
        QStringList titles;
        for (const QStringList& expected : rows) {
            QList<int> columns;
            const QStringList row = rowAt(page, expected.first(), &columns);
            QCOMPARE(row, expected);
            // A row of the titles gives the columns of the rows under it.
            if (expected.first() == u"Req. Date" || expected.first() == u"Date" || expected.first() == u"Request")
                titleColumns = columns;
            else if (expected.first() == u"Total Amount Due:")
                QCOMPARE(columns.last(), titleColumns.last()); // the amount under "Amount"
            else
                QCOMPARE(columns, titleColumns);
        }
        // The dump shows the marks as typed.
        const QString dump = dumpDocument(s->previews.front());
        QVERIFY(dump.contains(QLatin1String("\"Printer; toner low\"")) || dump.contains(QLatin1String("\"A|B\"")));
        QVERIFY(!dump.contains(QChar(kCellBar)) && !dump.contains(QChar(kCellSemicolon)));
    }

    // The PDF of a bill and of a listing holds the fields as typed, each
    // drawn whole before the next cell (the reader leaves blanks out).
    void pdf_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("text");
        QTest::newRow("bills-customer, heading") << "bills-customer" << "Al;Li|Co5MainSt";
        QTest::newRow("bills-customer, row") << "bills-customer" << "4/1/2026Printer;tonerlow$60.00";
        QTest::newRow("listing-staff") << "listing-staff" << "4/1/2026NoAl;Li|CoR|D;EastInk;Toner|AKim|Ray;A|BDone;ok|fine";
    }
    void pdf()
    {
        QFETCH(QString, kind);
        QFETCH(QString, text);
        s->runToPreview(kind);
        QCOMPARE(s->previews.size(), 1);
        const QString path = s->file(QStringLiteral("report.pdf"));
        QVERIFY(writePdf(s->previews.front(), path));
        const QString drawn = PdfReader(fileBytes(path)).text();
        QVERIFY2(drawn.contains(text), qPrintable(drawn));
    }

    // Each report's text file, byte for byte.
    void file_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("bytes");
        for (const char* kind : {"listing-staff", "listing-customer", "listing-department", "listing-category"})
            QTest::newRow(kind) << kind << kListingFile;
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
        s->runToPreview(QStringLiteral("listing-customer"));
        QCOMPARE(s->previews.size(), 1);
        const Page& page = s->previews.front().pages.front();
        QCOMPARE(rowAt(page, QStringLiteral("4/1/2026")).value(2), QStringLiteral("Al; Li|Co"));
        bool found = false;
        for (const PageText& t : page.texts)
            if (t.text == u"Requests by Customer for 4/1/2026 to 4/2/2026 from Al; Li|Co") {
                found = true;
                QCOMPARE(t.align, Qt::AlignHCenter);
            }
        QVERIFY(found);
    }

    // The page engine itself: a row composed of cells holding the marks,
    // and a header part holding them.
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
