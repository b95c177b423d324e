// Every report's output against its golden file: the text file byte for
// byte, the preview as the dump of its pages.  What a report writes for no
// request, and that a report which is cancelled or cannot be written leaves
// an earlier file as it was.
#include "support/testmain.h"
#include "reportfixture.h"

#include <csignal>
#include <sys/resource.h>

using namespace cvd;
using namespace cvd::test;

namespace {

const QByteArray kEarlier = "earlier report\r\n";

} // namespace

class tst_reportfiles : public QObject {
    Q_OBJECT
    std::unique_ptr<ReportSession> s;

    // What the session's folder holds beside the database, temporary files included.
    QStringList reportFiles() const
    {
        QStringList files = folderFiles(s->dir.path());
        files.removeIf([](const QString& f) { return f.startsWith(QLatin1String("cvd.mdb")) || f == QLatin1String("cvd.conn"); });
        return files;
    }

private slots:
    void init() { s = std::make_unique<ReportSession>(); }
    void cleanup() { s.reset(); }

    void golden_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < goldenCases().size(); ++i)
            QTest::newRow(qPrintable(goldenCases().at(i).tag)) << i;
    }
    void golden()
    {
        QFETCH(int, index);
        const GoldenCase c = goldenCases().at(index);
        s->answers = c.answers;
        if (!c.setup.isEmpty())
            MainDb->Execute(c.setup);
        const bool document = c.golden.endsWith(QLatin1String(".doc.txt"));
        QByteArray bytes;
        if (document) {
            bytes = dumpDocument(s->preview(c.kind)).toUtf8();
            QVERIFY(!QFile::exists(s->file(QStringLiteral("report.txt"))));
        } else {
            bytes = s->runToFile(c.kind);
            QVERIFY(s->previews.isEmpty());
            QVERIFY(!bytes.startsWith("\xEF\xBB\xBF") && QString::fromUtf8(bytes).toUtf8() == bytes);
            QCOMPARE(bytes.count("\r\n"), bytes.count('\n')); // every line ends with CR LF
        }
        const QString diff = goldenDifference(c.golden, bytes);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        // A bill run tells of the requests it left out; nothing else is said.
        QStringList told;
        if (c.kind == u"bills-customer" && c.answers.id == 0)
            told << "2 requests without a customer were not billed: there is no one to send their bills to.";
        if (c.kind == u"bills-department" && c.answers.id == 0)
            told << "1 request without a department/company was not billed: there is no one to send its bill to.";
        QCOMPARE(s->platform.messageTexts(), told);
        QCOMPARE(s->platform.pointers.last(), Pointer::Default);
        QCOMPARE(s->dialogs, 1);
    }

    // The layout chosen for the preview does not change the file.
    void portraitFileIsTheSame()
    {
        const QByteArray landscape = s->runToFile(QStringLiteral("listing-staff"));
        s->answers.landscape = false;
        QCOMPARE(s->runToFile(QStringLiteral("listing-staff")), landscape);
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
        const QString path = s->file(QStringLiteral("empty.txt"));
        const PageDocument doc = s->preview(kind);
        const QStringList shown = textsOf(doc.pages.value(0));
        if (kind.startsWith(QLatin1String("listing"))) {
            QCOMPARE(s->runToFile(kind, path), QByteArray());
            QVERIFY(QFile::exists(path));
            QVERIFY(shown.contains(QStringLiteral("Response")) && !shown.contains(QStringLiteral("No")));
        } else if (kind.startsWith(QLatin1String("bills"))) {
            QCOMPARE(s->runToFile(kind, path), QByteArray("Total Amount Due:\t$0.00\r\n\r\n"));
            QCOMPARE(doc.pages.size(), 2);
            QCOMPARE(shown, QStringList({"Total Amount Due:", "$0.00"}));
        } else {
            QCOMPARE(s->runToFile(kind, path), QByteArray("\tTotals:\t0\t0\t$0.00\t$0.00\t\r\n"));
            QCOMPARE(shown.mid(shown.indexOf(QStringLiteral("Totals:")), 5), QStringList({"Totals:", "0", "0", "$0.00", "$0.00"}));
        }
        QCOMPARE(s->platform.messageTexts(), QStringList());
    }

    // Cancelling the options dialog, or a program without one: no file is
    // made, an earlier one stays, nothing is previewed or said.
    void optionsNotGiven_data()
    {
        QTest::addColumn<bool>("noDialog");
        QTest::newRow("cancelled") << false;
        QTest::newRow("no options dialog") << true;
    }
    void optionsNotGiven()
    {
        QFETCH(bool, noDialog);
        s->cancelOptions = true;
        if (noDialog)
            ShowReportOptions = {};
        const QString fresh = s->file(QStringLiteral("fresh.txt")), earlier = s->file(QStringLiteral("earlier.txt"));
        QVERIFY(writeFile(earlier, kEarlier));
        for (const QString& kind : reportKindNames()) {
            s->runToFile(kind, fresh);
            QCOMPARE(s->runToFile(kind, earlier), kEarlier);
            s->runToPreview(kind);
        }
        QCOMPARE(s->dialogs, noDialog ? 0 : 3 * int(reportKindNames().size()));
        QVERIFY(s->previews.isEmpty() && s->platform.pointers.isEmpty());
        QCOMPARE(s->platform.messageTexts() + s->platform.progressLabels, QStringList());
        QCOMPARE(reportFiles(), QStringList({"earlier.txt"}));
    }

    // Cancelling the progress dialog: nothing is written or shown, an
    // earlier file stays as it was, no temporary file is left.
    void progressCancelled_data()
    {
        QTest::addColumn<QString>("kind");
        for (const QString& kind : reportKindNames())
            QTest::newRow(qPrintable(kind)) << kind;
    }
    void progressCancelled()
    {
        QFETCH(QString, kind);
        const QString earlier = s->file(QStringLiteral("earlier.txt"));
        QVERIFY(writeFile(earlier, kEarlier));
        s->platform.cancelProgressAt = 3;
        QCOMPARE(s->runToFile(kind, earlier), kEarlier);
        QCOMPARE(s->platform.progressSteps, 3);
        QCOMPARE(s->platform.progressEnds, 1);
        QCOMPARE(s->platform.messageTexts(), QStringList());
        QCOMPARE(s->platform.pointers.last(), Pointer::Default);
        QCOMPARE(reportFiles(), QStringList({"earlier.txt"}));
        s->runToPreview(kind);
        QVERIFY(s->previews.isEmpty());
    }

    // A file that cannot be written (its folder is a file, or has no write
    // permission): one message that names it, an earlier file unchanged.
    void unwritableFolder()
    {
        const QString notAFolder = s->file(QStringLiteral("plain")), path = notAFolder + QStringLiteral("/Hours.txt");
        QVERIFY(writeFile(notAFolder, "x"));
        s->runToFile(QStringLiteral("hours"), path);
        QCOMPARE(s->platform.messages.size(), 1);
        QVERIFY2(s->platform.messages[0].text.contains(path), qPrintable(s->platform.messages[0].text));
        QCOMPARE(s->platform.messages[0].icon(), Mb::Critical);
        QCOMPARE(s->platform.pointers.last(), Pointer::Default);
        QCOMPARE(fileBytes(notAFolder), QByteArray("x"));

        QDir(s->dir.path()).mkdir(QStringLiteral("locked"));
        const QString locked = s->file(QStringLiteral("locked/Hours.txt"));
        QVERIFY(writeFile(locked, kEarlier));
        QFile::setPermissions(s->file(QStringLiteral("locked")), QFile::ReadOwner | QFile::ExeOwner);
        if (writeFile(s->file(QStringLiteral("locked/probe")), "x"))
            QSKIP("this user may write into any folder");
        s->runToFile(QStringLiteral("hours"), locked);
        QFile::setPermissions(s->file(QStringLiteral("locked")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(s->platform.messages.size(), 2);
        QVERIFY(s->platform.messages[1].text.contains(locked));
        QCOMPARE(fileBytes(locked), kEarlier);
    }

    // A disk that fills up while the report is written (the size limit of
    // the process stands in for it): one message that names the file, the
    // earlier file untouched, no temporary file left.
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
        // Without the limit the same report is written whole.
        const QByteArray whole = s->runToFile(QStringLiteral("listing-department"), earlier);
        QCOMPARE(s->platform.messages.size(), 1);
        QCOMPARE(whole.count("\r\n"), 12);
        QVERIFY(whole.size() > 12 * 300000);
    }
};

CVD_TEST_MAIN(tst_reportfiles)
#include "tst_reportfiles.moc"
