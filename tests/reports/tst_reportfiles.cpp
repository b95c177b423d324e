// Every report's output against its golden file: the text file byte for
// byte, the preview as the dump of its pages.  What a report writes for no
// request, and that a report which is cancelled or cannot be written leaves
// an earlier file as it was; texts of 100,000 characters, a database error
// in the middle of a report.
#include "support/testmain.h"
#include "reportfixture.h"

#include <csignal>
#include <sys/resource.h>

using namespace cvd;
using namespace cvd::test;
using namespace Qt::StringLiterals;

static const QByteArray kEarlier = "earlier report\r\n";

class tst_reportfiles : public QObject {
    Q_OBJECT
    std::unique_ptr<ReportSession> s;

    // What the session's folder holds beside the database, temporary files included.
    QStringList reportFiles() const
    {
        return folderFiles(s->dir.path()).filter(QRegularExpression(QStringLiteral("^(?!cvd\\.mdb|cvd\\.conn$)")));
    }

private slots:
    void init() { s = std::make_unique<ReportSession>(); }
    void cleanup() { s.reset(); }

    void golden_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < goldenCases().size(); ++i)
            QTest::newRow(qPrintable(goldenCases().at(i).golden)) << i;
    }
    void golden()
    {
        QFETCH(int, index);
        const GoldenCase c = goldenCases().at(index);
        s->answers = c.answers;
        if (!c.setup.isEmpty()) {
            MainDb.reset(); // the program holds its database for itself
            QVERIFY(execSql(s->dbPath, portableRows(c.setup.toUtf8().constData()).constData()));
            MainDb = Database::Open(s->dbPath);
        }
        const bool document = c.golden.endsWith(QLatin1String(".doc.txt"));
        QByteArray bytes;
        if (document) {
            bytes = dumpDocument(s->preview(c.kind)).toUtf8();
            QVERIFY(!QFile::exists(s->file(QStringLiteral("report.txt"))));
        } else {
            bytes = s->runToFile(c.kind);
            QVERIFY(s->previews.isEmpty());
        }
        const QString diff = goldenDifference(c.golden, bytes);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        // A bill run tells of the requests it left out; nothing else is said.
        const QStringList said = s->platform.messageTexts();
        QStringList told = c.setup.isEmpty() ? QStringList() : said.filter(QStringLiteral(" not billed: "));
        if (c.setup.isEmpty() && c.kind == u"bills-customer" && c.answers.id == 0)
            told << "2 requests without a customer were not billed: there is no one to send their bills to.";
        if (c.setup.isEmpty() && c.kind == u"bills-department" && c.answers.id == 0)
            told << "1 request without a department/company was not billed: there is no one to send its bill to.";
        QCOMPARE(said, told);
        // The hourglass while the report runs, and its progress ended.
        QCOMPARE(s->platform.pointers, QList<Pointer>({Pointer::Hourglass, Pointer::Default}));
        QVERIFY(s->platform.progressLabels.size() == 1 && s->platform.progressEnds == 1 && s->dialogs == 1);
    }

    // No request to report, in empty tables or in a range whose start is
    // after its end (accepted): the listing file is empty, the totals
    // reports hold their totals of nothing, a bill run its total of nothing;
    // the preview shows the same (the bills: then the empty page).
    void nothingToReport_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("emptyTables");
        for (const QString& kind : reportKindNames())
            for (bool empty : {true, false})
                QTest::addRow("%s, %s", qPrintable(kind), empty ? "empty tables" : "start after end") << kind << empty;
    }
    void nothingToReport()
    {
        QFETCH(QString, kind);
        QFETCH(bool, emptyTables);
        if (emptyTables) {
            s.reset();
            s = std::make_unique<ReportSession>(true);
        }
        s->answers.start = QDate(2026, 12, 31);
        s->answers.end = QDate(2026, 1, 1);
        const PageDocument doc = s->preview(kind);
        const QStringList shown = textsOf(doc.pages.value(0));
        const QByteArray file = s->runToFile(kind);
        QVERIFY(QFile::exists(s->file(QStringLiteral("report.txt"))));
        if (kind.startsWith(QLatin1String("listing"))) {
            QCOMPARE(file, QByteArray());
            QVERIFY(shown.contains(QStringLiteral("Response")) && !shown.contains(QStringLiteral("No")));
        } else if (kind.startsWith(QLatin1String("bills"))) {
            QCOMPARE(file, QByteArray("Total Amount Due:\t$0.00\r\n\r\n"));
            QCOMPARE(doc.pages.size(), 2);
            QCOMPARE(shown, QStringList({"Total Amount Due:", "$0.00"}));
        } else {
            QCOMPARE(file, QByteArray("\tTotals:\t0\t0\t$0.00\t$0.00\t\r\n"));
            QCOMPARE(shown.mid(shown.indexOf(QStringLiteral("Totals:")), 5), QStringList({"Totals:", "0", "0", "$0.00", "$0.00"}));
        }
        QCOMPARE(s->platform.messageTexts(), QStringList());
    }

    // Cancelling the options dialog, a run without report windows, or
    // cancelling the progress dialog: no file is made, an earlier one stays
    // as it was (no temporary file left), nothing is previewed or said.
    void nothingMade_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("how");
        const char* const hows[] = {"options cancelled", "no report windows", "progress cancelled"};
        for (const QString& kind : reportKindNames())
            for (int how : {0, 1, 2})
                QTest::addRow("%s, %s", qPrintable(kind), hows[how]) << kind << how;
    }
    void nothingMade()
    {
        QFETCH(QString, kind);
        QFETCH(int, how);
        s->cancelOptions = how == 0;
        if (how == 1)
            setReportWindows(nullptr);
        s->platform.cancelProgressAt = how == 2 ? 3 : -1;
        const QString earlier = s->file(QStringLiteral("earlier.txt"));
        QVERIFY(writeFile(earlier, kEarlier));
        s->runToFile(kind, s->file(QStringLiteral("fresh.txt")));
        QCOMPARE(s->runToFile(kind, earlier), kEarlier);
        s->preview(kind);
        QCOMPARE(s->dialogs, how == 1 ? 0 : 3);
        QVERIFY(s->previews.isEmpty());
        QCOMPARE(s->platform.progressSteps + 100 * s->platform.progressEnds, how == 2 ? 309 : 0); // each run stopped at its third row
        QCOMPARE(s->platform.messageTexts(), QStringList());
        QCOMPARE(s->platform.pointers.size(), how == 2 ? 6 : 0); // the hourglass and back, for a report that runs
        QCOMPARE(reportFiles(), QStringList({"earlier.txt"}));
    }

    // A disk that fills up while a report of texts of 100,000 characters is
    // written (the size limit of the process stands in for it): one message
    // that names the file, the earlier file untouched, no temporary file
    // left; without the limit the report is written whole.
    void fullDisk()
    {
        MainDb->Execute(QStringLiteral("update Req set ReqDesc = '%1', Resp = '%2'")
                            .arg(QString(100000, u'x'), QString(100000, u'é')));
        const QString earlier = s->file(QStringLiteral("ReqRpt.txt"));
        QVERIFY(writeFile(earlier, kEarlier));
        rlimit before{};
        getrlimit(RLIMIT_FSIZE, &before);
        rlimit small = before;
        small.rlim_cur = 300000;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        s->runToFile(QStringLiteral("listing-department"), earlier);
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, oldHandler);
        QCOMPARE(s->platform.messages.size(), 1);
        QVERIFY2(s->platform.messages[0].text.contains(earlier), qPrintable(s->platform.messages[0].text));
        QVERIFY(s->platform.messages[0].text.contains(QLatin1String("unchanged")));
        QCOMPARE(fileBytes(earlier), kEarlier);
        QCOMPARE(reportFiles(), QStringList({"ReqRpt.txt"}));
        const QByteArray whole = s->runToFile(QStringLiteral("listing-department"), earlier);
        QCOMPARE(s->platform.messages.size(), 1);
        QCOMPARE(whole.count("\r\n"), 12);
        QVERIFY(whole.contains('\t' + QByteArray(100000, 'x') + '\t' + QString(100000, u'é').toUtf8() + '\t'));
    }

    // A database error in the middle of a report is shown by the central
    // error handler and the report goes on to its end, but it lacks
    // records: it never replaces a file (an earlier one keeps its bytes,
    // and the user is told why), and its preview says so in its caption's
    // document and above its first page.
    void errorsLeaveTheReportIncomplete()
    {
        if (serverMode())
            QSKIP("the error is a table of the file dropped under the report");
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
};

CVD_TEST_MAIN(tst_reportfiles)
#include "tst_reportfiles.moc"
