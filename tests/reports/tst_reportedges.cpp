// The reports on the edges: empty tables, texts of 100,000 characters,
// heading fonts that cannot be printed, empty amounts, ranges after 2029 and
// before 1930, a database error in the middle of a report, no options
// dialog, and the progress of a report.
#include "reportfixture.h"

using namespace cvd;
using namespace cvd::test;

class tst_reportedges : public QObject {
    Q_OBJECT

private slots:
    // Empty tables: the lists of the options dialog stay empty, so only
    // "all" can be chosen; every report still comes out.
    void emptyTables_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray totals("\tTotals:\t0\t0\t$0.00\t$0.00\t\r\n");
        for (const QString& kind : reportKindNames())
            QTest::newRow(qPrintable(kind)) << kind
                                            << (kind.startsWith(QLatin1String("listing")) ? QByteArray()
                                                : kind.startsWith(QLatin1String("bills"))
                                                    ? QByteArray("Total Amount Due:\t$0.00\r\n\r\n")
                                                    : totals);
    }
    void emptyTables()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, bytes);
        ReportSession s(true);
        QCOMPARE(s.runToFile(kind), bytes);
        s.runToPreview(kind);
        QCOMPARE(s.previews.size(), 1);
        QCOMPARE(s.platform.messageTexts(), QStringList());
    }

    // Texts of 100,000 characters come out whole, in the file and in the
    // preview, where they run over several pages.
    void longTexts()
    {
        ReportSession s;
        QString longText;
        for (int i = 0; longText.size() < 100000; ++i)
            longText += QStringLiteral("word%1 ").arg(i % 1000);
        longText.truncate(100000);
        MainDb->Execute(QStringLiteral("update Req set ReqDesc = '%1', Resp = '%1', ShortDesc = '%1' where ReqID = 7").arg(longText));
        const QByteArray file = s.runToFile(QStringLiteral("listing-category"));
        QVERIFY(file.contains('\t' + longText.toUtf8() + '\t' + longText.toUtf8() + '\t'));
        QCOMPARE(file.count("\r\n"), 12);
        QVERIFY(s.runToFile(QStringLiteral("hours")).contains('\t' + longText.toUtf8() + '\t'));
        for (const bool landscape : {true, false}) {
            s.previews.clear();
            s.answers.landscape = landscape;
            s.runToPreview(QStringLiteral("listing-category"));
            QCOMPARE(s.previews.size(), 1);
            const PageDocument& doc = s.previews.front();
            QVERIFY(doc.pages.size() > 3);
            QString shown;
            for (const Page& p : doc.pages)
                for (const PageText& t : p.texts)
                    if (t.text.startsWith(QLatin1String("word")))
                        shown += t.text;
            QVERIFY(shown.size() > 2 * 90000); // both texts, less the blanks where lines break
        }
        s.previews.clear();
        s.runToPreview(QStringLiteral("bills-department"));
        QCOMPARE(s.previews.size(), 1);
        QCOMPARE(s.platform.messageTexts(),
                 QStringList{"1 request without a department/company was not billed: there is no one to send its bill to."});
    }

    // A Settings record whose heading fonts are empty, unknown or of a size
    // that cannot be printed: the bills still print, with the heading.
    void headingFonts_data()
    {
        QTest::addColumn<QString>("fields");
        QTest::addColumn<PageFont>("nameFont");
        QTest::addColumn<PageFont>("addressFont");
        QTest::newRow("empty") << "NFont = null, NSize = null, AFont = null, ASize = null, NBold = 0"
                               << PageFont{"Times New Roman", 18, false, false} << PageFont{"Times New Roman", 10, false, false};
        QTest::newRow("blank names, no sizes") << "NFont = '  ', NSize = 0, AFont = '', ASize = -50000"
                                               << PageFont{"Times New Roman", 18, true, false}
                                               << PageFont{"Times New Roman", 10, false, false};
        QTest::newRow("unknown fonts") << "NFont = 'No Such Font', NSize = 240000, AFont = 'Ñó Sûch', ASize = 75000, AItalic = 1"
                                       << PageFont{"No Such Font", 24, true, false} << PageFont{"Ñó Sûch", 7.5, false, true};
        QTest::newRow("huge sizes") << "NSize = 90000000000, ASize = 50000000"
                                    << PageFont{"Times New Roman", 18, true, false} << PageFont{"Times New Roman", 10, false, false};
    }
    void headingFonts()
    {
        QFETCH(QString, fields);
        QFETCH(PageFont, nameFont);
        QFETCH(PageFont, addressFont);
        ReportSession s;
        MainDb->Execute(QStringLiteral("update Settings set ") + fields);
        s.answers.id = 3;
        s.runToPreview(QStringLiteral("bills-department"));
        QCOMPARE(s.previews.size(), 1);
        const Page& page = s.previews.front().pages.front();
        QCOMPARE(page.texts.value(0).text, QStringLiteral("Calvedon Service Desk"));
        QCOMPARE(page.texts.value(0).font, nameFont);
        QCOMPARE(page.texts.value(1).text, QStringLiteral("100 Main Street"));
        QCOMPARE(page.texts.value(1).font, addressFont);
        QCOMPARE(page.texts.value(3).text, QStringLiteral("Zeta Corp"));
        QCOMPARE(s.platform.messageTexts(), QStringList());
    }

    // Without a Settings record, or with an empty heading, the bills print
    // without the company's lines.
    void noHeading()
    {
        ReportSession s;
        MainDb->Execute(QStringLiteral("delete from Settings"));
        s.answers.id = 3;
        s.runToPreview(QStringLiteral("bills-department"));
        QCOMPARE(s.previews.size(), 1);
        QCOMPARE(s.previews.front().pages.front().texts.value(0).text, QStringLiteral("Zeta Corp"));
        QCOMPARE(s.runToFile(QStringLiteral("bills-department")),
                 QByteArray("\r\nZeta Corp\r\n\r\n\r\n\r\n1/9/2026\tUpgrade\t$25.00\r\n3/3/2026\tTabbed text\t$25.00\r\n"
                            "Total Amount Due:\t$50.00\r\n\r\n"));
        QCOMPARE(s.platform.messageTexts(), QStringList());
    }

    // Empty costs and amounts paid are legal: they add nothing, their cells
    // are empty, and nobody is told about them.
    void emptyAmounts()
    {
        ReportSession s;
        MainDb->Execute(QStringLiteral("update Req set CostTot = null, AmtPaid = null, HoursTot = null where CustID = 4"));
        const QByteArray bytes = s.runToFile(QStringLiteral("charges-customer"));
        QVERIFY(bytes.contains("2/1/2026\tOdd | text; here\t\t130\t\t\tZo\xC3\xAB \xC3\x85ngstr\xC3\xB6m\t\r\n"));
        QVERIFY(bytes.contains("\tSubtotal:\t2\t10\t$0.00\t$0.00\t\r\n"));
        QVERIFY(bytes.endsWith("\tTotals:\t9.5\t55\t$324.33\t$70.00\t\r\n"));
        QCOMPARE(s.platform.messageTexts(), QStringList());
    }

    // Ranges after 2029 and before 1930 find their requests.
    void centuries()
    {
        ReportSession s;
        s.answers.start = QDate(2031, 1, 1);
        s.answers.end = QDate(2031, 12, 31);
        QVERIFY(s.runToFile(QStringLiteral("listing-staff")).startsWith("6/15/2031\tNo\tAnn Adams\t"));
        s.answers.start = QDate(1925, 1, 1);
        s.answers.end = QDate(1929, 12, 31);
        QVERIFY(s.runToFile(QStringLiteral("bills-customer")).contains("3/4/1925\tLong ago\t$40.00\r\n"));
    }

    // A database error in the middle of a report is shown by the central
    // error handler, and the report goes on with what it can still do.
    void errorsGoOn()
    {
        ReportSession s;
        MainDb->Execute(QStringLiteral("drop table Staff"));
        const QByteArray bytes = s.runToFile(QStringLiteral("listing-customer"));
        QCOMPARE(s.platform.messages.size(), 1);
        QVERIFY2(s.platform.messages[0].text.startsWith(QLatin1String("3001  ")), qPrintable(s.platform.messages[0].text));
        QCOMPARE(bytes.count("\r\n"), 12);
        QVERIFY(bytes.startsWith("1/10/2026\tNo\t \t\t\t\tNobody on file\t\t\r\n"));
        QVERIFY(bytes.contains("1/5/2026\tYes\tAnn Adams\tAccounting\tHardware\t\tJams on every page\t"));
        QCOMPARE(s.platform.pointers.last(), Pointer::Default);
        // The hours report cannot read its rows at all: told once, and its
        // totals of nothing are written.
        s.platform.messages.clear();
        QCOMPARE(s.runToFile(QStringLiteral("hours")), QByteArray("\tTotals:\t0\t0\t$0.00\t$0.00\t\r\n"));
        QCOMPARE(s.platform.messages.size(), 1);
    }

    // Without an options dialog a report counts as cancelled.
    void noOptionsDialog()
    {
        ReportSession s;
        ShowReportOptions = {};
        for (const QString& kind : reportKindNames()) {
            s.runToFile(kind);
            s.runToPreview(kind);
        }
        QVERIFY(!QFile::exists(s.file(QStringLiteral("report.txt"))));
        QVERIFY(s.previews.isEmpty());
        QVERIFY(s.platform.pointers.isEmpty());
    }

    // Without a preview window the document is dropped, nothing else.
    void noPreviewWindow()
    {
        ReportSession s;
        ShowPreview = {};
        for (const QString& kind : reportKindNames())
            s.runToPreview(kind);
        QCOMPARE(s.dialogs, int(reportKindNames().size()));
    }

    // The progress of a report: begun once, told of every row, ended once;
    // the pointer is the hourglass meanwhile and the arrow afterwards.
    void progress()
    {
        ReportSession s;
        s.runToFile(QStringLiteral("hours"));
        QCOMPARE(s.platform.progressLabels, QStringList({"Preparing Hours by Staff..."}));
        QCOMPARE(s.platform.progressSteps, 12);
        QCOMPARE(s.platform.progressEnds, 1);
        QCOMPARE(s.platform.pointers, QList<Pointer>({Pointer::Hourglass, Pointer::Default}));
    }
};

QTEST_MAIN(tst_reportedges)
#include "tst_reportedges.moc"
