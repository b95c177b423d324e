// The reports in the preview: every report's document, page by page,
// against its golden dump (page, position, font and text of every line),
// and what the pages must hold whatever the layout: the column titles
// shaded, the page header and footer, a bill's heading in the fonts of the
// Settings record and its page break.
#include "reportfixture.h"

using namespace cvd;
using namespace cvd::test;

namespace {

// The texts of a page, in drawing order.
QStringList texts(const Page& page)
{
    QStringList out;
    for (const PageText& t : page.texts)
        out << t.text;
    return out;
}

bool hasText(const PageDocument& doc, const QString& text)
{
    for (const Page& p : doc.pages)
        for (const PageText& t : p.texts)
            if (t.text == text)
                return true;
    return false;
}

} // namespace

class tst_reportdocs : public QObject {
    Q_OBJECT
    std::unique_ptr<ReportSession> s;

    const PageDocument& preview(const QString& kind)
    {
        s->runToPreview(kind);
        if (s->previews.size() != 1)
            qFatal("expected one preview, got %d", int(s->previews.size()));
        return s->previews.front();
    }

private slots:
    void init() { s = std::make_unique<ReportSession>(); }
    void cleanup() { s.reset(); }

    void golden_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("golden");
        for (const QString& kind : reportKindNames())
            QTest::newRow(qPrintable(kind)) << kind << true << 0 << QString() << kind + QStringLiteral(".doc.txt");
        QTest::newRow("listing by staff, portrait") << "listing-staff" << false << 0 << QString()
                                                    << "listing-staff-portrait.doc.txt";
        QTest::newRow("listing by category, one, portrait")
            << "listing-category" << false << 3 << "Réseau" << "listing-category-one-portrait.doc.txt";
        QTest::newRow("hours, one staff member") << "hours" << true << 2 << "Jane Smith" << "hours-one.doc.txt";
        QTest::newRow("bills, one customer") << "bills-customer" << true << 4 << "Zoë Ångström"
                                             << "bills-customer-one.doc.txt";
    }
    void golden()
    {
        QFETCH(QString, kind);
        QFETCH(bool, landscape);
        QFETCH(int, id);
        QFETCH(QString, name);
        QFETCH(QString, golden);
        s->answers.landscape = landscape;
        s->answers.id = id;
        s->answers.name = name;
        const PageDocument& doc = preview(kind);
        const QString diff = goldenDifference(golden, dumpDocument(doc).toUtf8());
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        QCOMPARE(s->platform.pointers.last(), Pointer::Default);
        QVERIFY(!QFile::exists(s->file(QStringLiteral("report.txt"))));
    }

    // The column titles come first, on a shaded row; listings in landscape
    // turn the paper; the page header carries the title and the range.
    void titlesAndHeaders_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QString>("title");
        QTest::newRow("listing, landscape") << "listing-department" << true
            << QStringList{"Req. Date", "Rslv", "Customer Name", "Dept./Comp.", "Category", "Assigned To", "Request", "Response"}
            << "Requests by Dept/Comp for 1/1/2026 to 12/31/2026";
        QTest::newRow("listing, portrait") << "listing-customer" << false
            << QStringList{"Req. Date", "Rslv", "Customer Name", "Dept./Comp.", "Category", "Assigned To", "Request", "Response"}
            << "Requests by Customer for 1/1/2026 to 12/31/2026";
        QTest::newRow("hours") << "hours" << false
            << QStringList{"Req. Date", "Description", "Hours", "Minutes", "Cost", "Paid", "Assigned To"}
            << "Total Hours by Staff for 1/1/2026 to 12/31/2026";
        QTest::newRow("charges by department") << "charges-department" << false
            << QStringList{"Req. Date", "Description", "Hours", "Minutes", "Cost", "Paid", "Dept/Comp"}
            << "Total Hours by Department/Company for 1/1/2026 to 12/31/2026";
    }
    void titlesAndHeaders()
    {
        QFETCH(QString, kind);
        QFETCH(bool, landscape);
        QFETCH(QStringList, titles);
        QFETCH(QString, title);
        s->answers.landscape = landscape;
        const PageDocument& doc = preview(kind);
        QCOMPARE(doc.landscape, landscape && kind.startsWith(QLatin1String("listing")));
        for (const Page& page : doc.pages)
            QVERIFY2(texts(page).contains(title), qPrintable(texts(page).join(u'|')));
        // The texts on the grey rows, cell after cell (a title too wide for
        // its column wraps inside it).
        const Page& first = doc.pages.front();
        QStringList shaded;
        for (const PageText& t : first.texts)
            for (const PageBox& b : first.boxes)
                if (QList<int>({b.red, b.green, b.blue}) == QList<int>({200, 200, 200}) && b.rect.contains(t.rect.center())) {
                    shaded << t.text;
                    break;
                }
        QCOMPARE(shaded.join(u' '), titles.join(u' '));
    }

    // The listing's footer numbers its pages; a long listing has several.
    void listingPageNumbers()
    {
        MainDb->Execute(QStringLiteral("update Req set ReqDesc = '%1'").arg(QStringList(200, QStringLiteral("word")).join(u' ')));
        const PageDocument& doc = preview(QStringLiteral("listing-staff"));
        QVERIFY(doc.pages.size() > 1);
        for (qsizetype i = 0; i < doc.pages.size(); ++i)
            QVERIFY2(texts(doc.pages[i]).contains(QStringLiteral("Page %1").arg(i + 1)), qPrintable(QString::number(i)));
    }

    // Each bill: the company heading in the Settings fonts, the recipient,
    // the shaded titles, its rows and total, then a page break; the last
    // page is empty.
    void billPages()
    {
        MainDb->Execute(QStringLiteral("update Settings set NFont = 'Courier New', NSize = 200000, NBold = 0, NItalic = 1, "
                                       "AFont = 'Arial', ASize = 90000, ABold = 1, AItalic = 0"));
        const PageDocument& doc = preview(QStringLiteral("bills-customer"));
        QCOMPARE(doc.pages.size(), 6); // five bills, then the empty page
        QVERIFY(doc.pages.last().texts.isEmpty());
        for (int i = 0; i < 5; ++i) {
            const QStringList t = texts(doc.pages[i]);
            QCOMPARE(t.value(0), QStringLiteral("Calvedon Service Desk"));
            QCOMPARE(t.value(1), QStringLiteral("100 Main Street"));
            QCOMPARE(t.value(2), QStringLiteral("Springfield, IL  62701"));
            QVERIFY(t.contains(QStringLiteral("Total Amount Due:")));
            QCOMPARE(t.count(QStringLiteral("Date")), 1);
            QCOMPARE(doc.pages[i].texts[0].font, (PageFont{QStringLiteral("Courier New"), 20, false, true}));
            QCOMPARE(doc.pages[i].texts[1].font, (PageFont{QStringLiteral("Arial"), 9, true, false}));
        }
        QCOMPARE(texts(doc.pages[0]).mid(3, 4), QStringList({"Ann Adams", "1 Elm Street", "Springfield, IL  62701", "USA"}));
        // Payments received stand before the amount due.
        const QStringList adams = texts(doc.pages[0]);
        QCOMPARE(adams.mid(adams.indexOf(QStringLiteral("Less Payments Received:"))),
                 QStringList({"Less Payments Received:", "$30.00", "Total Amount Due:", "$9.33"}));
        const QStringList namesake = texts(doc.pages[1]);
        QVERIFY(!namesake.contains(QStringLiteral("Less Payments Received:")));
        QCOMPARE(namesake.mid(namesake.size() - 2), QStringList({"Total Amount Due:", "$105.00"}));
        // Requests without a customer are on no bill; the user is told.
        QVERIFY(!hasText(doc, QStringLiteral("Walk-in")));
        QCOMPARE(s->platform.messageTexts(),
                 QStringList{"2 requests without a customer were not billed: there is no one to send their bills to."});
    }

    // No request in the range: the titles and the totals of nothing (the
    // bills: a total of nothing and the empty page).
    void emptyRange()
    {
        s->answers.start = QDate(2027, 1, 1);
        s->answers.end = QDate(2027, 12, 31);
        QStringList listing = texts(preview(QStringLiteral("listing-staff")).pages.front());
        QVERIFY(listing.contains(QStringLiteral("Response")));
        QVERIFY(!listing.contains(QStringLiteral("Yes")) && !listing.contains(QStringLiteral("No")));
        s->previews.clear();
        const QStringList hours = texts(preview(QStringLiteral("hours")).pages.front());
        QCOMPARE(hours.mid(hours.indexOf(QStringLiteral("Totals:")), 5), QStringList({"Totals:", "0", "0", "$0.00", "$0.00"}));
        s->previews.clear();
        const PageDocument& bills = preview(QStringLiteral("bills-department"));
        QCOMPARE(bills.pages.size(), 2);
        QCOMPARE(texts(bills.pages.front()), QStringList({"Total Amount Due:", "$0.00"}));
        QCOMPARE(s->platform.messageTexts(), QStringList());
    }
};

QTEST_MAIN(tst_reportdocs)
#include "tst_reportdocs.moc"
