// The reports on the edges: texts of 100,000 characters, heading fonts that
// cannot be printed or no heading, empty amounts, a database error in the
// middle of a report, no preview window, and the progress of a report.
#include "reportfixture.h"

using namespace cvd;
using namespace cvd::test;
using namespace Qt::StringLiterals;

class tst_reportedges : public QObject {
    Q_OBJECT
    std::unique_ptr<ReportSession> s;

private slots:
    void init() { s = std::make_unique<ReportSession>(); }
    void cleanup() { s.reset(); }

    // Texts of 100,000 characters come out whole, in the file and in the
    // preview, where they run over several numbered pages.
    void longTexts()
    {
        QString longText;
        for (int i = 0; longText.size() < 100000; ++i)
            longText += QStringLiteral("word%1 ").arg(i % 1000);
        longText.truncate(100000);
        MainDb->Execute(QStringLiteral("update Req set ReqDesc = '%1', Resp = '%1', ShortDesc = '%1' where ReqID = 7").arg(longText));
        const QByteArray file = s->runToFile(QStringLiteral("listing-category"));
        QVERIFY(file.contains('\t' + longText.toUtf8() + '\t' + longText.toUtf8() + '\t'));
        QCOMPARE(file.count("\r\n"), 12);
        QVERIFY(s->runToFile(QStringLiteral("hours")).contains('\t' + longText.toUtf8() + '\t'));
        for (const bool landscape : {true, false}) {
            s->answers.landscape = landscape;
            const PageDocument doc = s->preview(QStringLiteral("listing-category"));
            QVERIFY(doc.pages.size() > 3);
            QString shown;
            for (qsizetype i = 0; i < doc.pages.size(); ++i) {
                QVERIFY(textsOf(doc.pages[i]).contains(QStringLiteral("Page %1").arg(i + 1)));
                for (const QString& t : textsOf(doc.pages[i]))
                    if (t.startsWith(QLatin1String("word")))
                        shown += t;
            }
            QVERIFY(shown.size() > 2 * 90000); // both texts, less the blanks where lines break
        }
        QVERIFY(!s->preview(QStringLiteral("bills-department")).pages.isEmpty());
        QCOMPARE(s->platform.messageTexts(),
                 QStringList{"1 request without a department/company was not billed: there is no one to send its bill to."});
    }

    // A Settings record whose heading fonts are empty, unknown or of a size
    // that cannot be printed: the bills still print, with the heading in
    // the fonts it names; without a Settings record, without the heading.
    void headingFonts_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<PageFont>("nameFont");
        QTest::addColumn<PageFont>("addressFont");
        const PageFont times18{"Times New Roman", 18, true, false}, times10{"Times New Roman", 10, false, false};
        QTest::newRow("empty") << "update Settings set NFont = null, NSize = null, AFont = null, ASize = null, NBold = 0"
                               << PageFont{"Times New Roman", 18, false, false} << times10;
        QTest::newRow("blank names, no sizes") << "update Settings set NFont = '  ', NSize = 0, AFont = '', ASize = -50000"
                                               << times18 << times10;
        QTest::newRow("unknown fonts") << "update Settings set NFont = 'No Such Font', NSize = 240000, AFont = 'Ñó Sûch', "
                                          "ASize = 75000, AItalic = 1"
                                       << PageFont{"No Such Font", 24, true, false} << PageFont{"Ñó Sûch", 7.5, false, true};
        QTest::newRow("huge sizes") << "update Settings set NSize = 90000000000, ASize = 50000000" << times18 << times10;
        QTest::newRow("courier, arial") << "update Settings set NFont = 'Courier New', NSize = 200000, NBold = 0, "
                                           "NItalic = 1, AFont = 'Arial', ASize = 90000, ABold = 1, AItalic = 0"
                                        << PageFont{"Courier New", 20, false, true} << PageFont{"Arial", 9, true, false};
        QTest::newRow("no Settings record") << "delete from Settings" << PageFont{} << PageFont{};
    }
    void headingFonts()
    {
        QFETCH(QString, sql);
        QFETCH(PageFont, nameFont);
        QFETCH(PageFont, addressFont);
        MainDb->Execute(sql);
        s->answers.id = 3;
        const QList<PageText> t = s->preview(QStringLiteral("bills-department")).pages.value(0).texts;
        const bool heading = !nameFont.name.isEmpty();
        QCOMPARE(t.value(heading ? 3 : 0).text, QStringLiteral("Zeta Corp"));
        if (heading) {
            QCOMPARE(t.value(0).text, QStringLiteral("Calvedon Service Desk"));
            QCOMPARE(t.value(0).font, nameFont);
            QCOMPARE(t.value(1).text, QStringLiteral("100 Main Street"));
            QCOMPARE(t.value(1).font, addressFont);
        } else {
            QCOMPARE(s->runToFile(QStringLiteral("bills-department")),
                     QByteArray("\r\nZeta Corp\r\n\r\n\r\n\r\n1/9/2026\tUpgrade\t$25.00\r\n3/3/2026\tTabbed text\t$25.00\r\n"
                                "Total Amount Due:\t$50.00\r\n\r\n"));
        }
        QCOMPARE(s->platform.messageTexts(), QStringList());
    }

    // Empty costs and amounts paid are legal: they add nothing, their cells
    // are empty, and nobody is told about them.
    void emptyAmounts()
    {
        MainDb->Execute(QStringLiteral("update Req set CostTot = null, AmtPaid = null, HoursTot = null where CustID = 4"));
        const QByteArray bytes = s->runToFile(QStringLiteral("charges-customer"));
        QVERIFY(bytes.contains("2/1/2026\tOdd | text; here\t\t130\t\t\tZo\xC3\xAB \xC3\x85ngstr\xC3\xB6m\t\r\n"));
        QVERIFY(bytes.contains("\tSubtotal:\t2\t10\t$0.00\t$0.00\t\r\n"));
        QVERIFY(bytes.endsWith("\tTotals:\t9.5\t55\t$324.33\t$70.00\t\r\n"));
        QCOMPARE(s->platform.messageTexts(), QStringList());
    }

    // Amounts stored with fractions of a cent (from a copy, or another
    // desk's script): every total is the sum of the printed figures above
    // it, each rounded to the cent with halves away from zero.
    void totalsOfPrintedFigures_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QList<QByteArray>>("lines");
        QTest::newRow("bill") << u"bills-customer"_s
                              << QList<QByteArray>{"\t$10.01\r\n", "\t$10.02\r\n", "\t$10.03\r\n", "\t$25.00\r\n",
                                                   "Less Payments Received:\t$0.06\r\n", "Total Amount Due:\t$55.00\r\n"};
        QTest::newRow("charges") << u"charges-customer"_s
                                 << QList<QByteArray>{"\t$10.01\t$0.01\t", "\t$10.02\t$0.02\t", "\t$10.03\t$0.03\t",
                                                      "\tSubtotal:\t0\t0\t$55.06\t$0.06\t\r\n"};
    }
    void totalsOfPrintedFigures()
    {
        QFETCH(QString, kind);
        QFETCH(QList<QByteArray>, lines);
        MainDb->Execute(QStringLiteral("delete from Req"));
        int id = 0;
        for (const char* amounts : {"100050, 50", "100150, 150", "100250, 250", "250000, 0"})
            MainDb->Execute(QStringLiteral("insert into Req (ReqID, ShortDesc, ReqDate, HoursTot, MinTot, CostTot, AmtPaid, "
                                           "CustID) values (%1, 'Part %1', #3/%1/2026#, 0, 0, %2, 1)")
                                .arg(++id)
                                .arg(QLatin1String(amounts)));
        const QByteArray bytes = s->runToFile(kind);
        for (const QByteArray& line : lines)
            QVERIFY2(bytes.contains(line), qPrintable(QString::fromUtf8(line + "\n" + bytes)));
    }

    // A database error in the middle of a report is shown by the central
    // error handler and the report goes on to its end, but it lacks
    // records: it never replaces a file (an earlier one keeps its bytes,
    // and the user is told why), and its preview says so in its caption's
    // document and above its first page.
    void errorsLeaveTheReportIncomplete()
    {
        const QString earlier = s->file(QStringLiteral("earlier.txt"));
        QVERIFY(writeFile(earlier, "an earlier, complete report\r\n"));
        MainDb->Execute(QStringLiteral("drop table Staff"));
        QCOMPARE(s->runToFile(QStringLiteral("listing-customer"), earlier), QByteArray("an earlier, complete report\r\n"));
        QCOMPARE(s->platform.messages.size(), 2);
        QVERIFY2(s->platform.messages[0].text.startsWith(QLatin1String("3001  ")), qPrintable(s->platform.messages[0].text));
        for (const QString& said : {u"incomplete"_s, u"not written"_s, u"error 3001"_s, u"earlier file"_s})
            QVERIFY2(s->platform.messages[1].text.contains(said), qPrintable(s->platform.messages[1].text));
        QCOMPARE(s->platform.pointers.last(), Pointer::Default);

        const PageDocument doc = s->preview(QStringLiteral("listing-customer"));
        QVERIFY(doc.incomplete.contains(u"error 3001"_s));
        QVERIFY(doc.pages.size() == 1 && doc.pages[0].texts.size() > 12); // every record it could read
        QVERIFY(doc.pages[0].texts[0].text.startsWith(u"INCOMPLETE REPORT"_s));
        // The hours report cannot read its rows at all: no file at all.
        s->runToFile(QStringLiteral("hours"));
        QVERIFY(!QFile::exists(s->file(QStringLiteral("report.txt"))));
    }

    // Without a preview window the document is dropped, nothing else.
    void noPreviewWindow()
    {
        ShowPreview = {};
        for (const QString& kind : reportKindNames())
            s->runToPreview(kind);
        QCOMPARE(s->dialogs, int(reportKindNames().size()));
    }

    // The progress of a report: begun once, told of every row, ended once;
    // the pointer is the hourglass meanwhile and the arrow afterwards.
    void progress()
    {
        s->runToFile(QStringLiteral("hours"));
        QCOMPARE(s->platform.progressLabels, QStringList({"Preparing Hours by Staff..."}));
        QCOMPARE(s->platform.progressSteps, 12);
        QCOMPARE(s->platform.progressEnds, 1);
        QCOMPARE(s->platform.pointers, QList<Pointer>({Pointer::Hourglass, Pointer::Default}));
    }
};

QTEST_MAIN(tst_reportedges)
#include "tst_reportedges.moc"
