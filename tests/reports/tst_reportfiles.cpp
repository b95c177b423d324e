// The reports as text files: every report byte for byte against its golden
// file, what an empty range writes, and that a report which is cancelled or
// cannot be written leaves an earlier file as it was.
#include "support/testmain.h"
#include "reportfixture.h"

#include <csignal>
#include <sys/resource.h>

using namespace cvd;
using namespace cvd::test;

class tst_reportfiles : public QObject {
    Q_OBJECT
    std::unique_ptr<ReportSession> s;

    // The files in the session's folder beside the database, temporary
    // ones included.
    QStringList reportFiles() const
    {
        QStringList files = QDir(s->dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
        files.removeIf([](const QString& f) { return f.startsWith(QLatin1String("cvd.mdb")); });
        return files;
    }

private slots:
    void init() { s = std::make_unique<ReportSession>(); }
    void cleanup() { s.reset(); }

    void golden_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("golden");
        QTest::addColumn<QStringList>("told");
        const int both = int(StateFilterKind::Both);
        for (const QString& kind : reportKindNames()) {
            QStringList told;
            if (kind == QLatin1String("bills-customer"))
                told << "2 requests without a customer were not billed: there is no one to send their bills to.";
            if (kind == QLatin1String("bills-department"))
                told << "1 request without a department/company was not billed: there is no one to send its bill to.";
            QTest::newRow(qPrintable(kind)) << kind << both << 0 << kind + QStringLiteral(".txt") << told;
        }
        QTest::newRow("hours, one staff member, open") << "hours" << int(StateFilterKind::OpenOnly) << 2
                                                      << "hours-one-open.txt" << QStringList();
        QTest::newRow("charges, one department") << "charges-department" << both << 2 << "charges-department-one.txt"
                                                << QStringList();
        QTest::newRow("bills, one department, resolved") << "bills-department" << int(StateFilterKind::ResolvedOnly) << 2
                                                        << "bills-department-one-resolved.txt" << QStringList();
        QTest::newRow("listing, one customer, open") << "listing-customer" << int(StateFilterKind::OpenOnly) << 2
                                                    << "listing-customer-one-open.txt" << QStringList();
    }
    void golden()
    {
        QFETCH(QString, kind);
        QFETCH(int, state);
        QFETCH(int, id);
        QFETCH(QString, golden);
        QFETCH(QStringList, told);
        s->answers.state = StateFilterKind(state);
        s->answers.id = id;
        const QByteArray bytes = s->runToFile(kind);
        const QString diff = goldenDifference(golden, bytes);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(bytes.count("\r\n"), bytes.count('\n')); // every line ends with CR LF
        QVERIFY(QString::fromUtf8(bytes).toUtf8() == bytes);
        // Nothing else said, the pointer back to normal, the options asked once.
        QCOMPARE(s->platform.messageTexts(), told);
        QCOMPARE(s->platform.pointers.last(), Pointer::Default);
        QCOMPARE(s->dialogs, 1);
        QVERIFY(s->previews.isEmpty());
    }

    // The layout chosen for the preview does not change the file.
    void portraitFileIsTheSame()
    {
        const QByteArray landscape = s->runToFile(QStringLiteral("listing-staff"));
        s->answers.landscape = false;
        QCOMPARE(s->runToFile(QStringLiteral("listing-staff")), landscape);
    }

    // No request in the range (the start after the end is accepted): the
    // listing file is empty, the totals reports hold their totals line, a
    // bill run its total of nothing.
    void emptyRange_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("listing") << "listing-category" << QByteArray();
        QTest::newRow("hours") << "hours" << QByteArray("\tTotals:\t0\t0\t$0.00\t$0.00\t\r\n");
        QTest::newRow("charges") << "charges-customer" << QByteArray("\tTotals:\t0\t0\t$0.00\t$0.00\t\r\n");
        QTest::newRow("bills") << "bills-department" << QByteArray("Total Amount Due:\t$0.00\r\n\r\n");
    }
    void emptyRange()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, bytes);
        s->answers.start = QDate(2026, 12, 31);
        s->answers.end = QDate(2026, 1, 1);
        const QString path = s->file(QStringLiteral("empty.txt"));
        QCOMPARE(s->runToFile(kind, path), bytes);
        QVERIFY(QFile::exists(path));
        QCOMPARE(s->platform.messageTexts(), QStringList());
    }

    // Cancelling the options dialog: no file is made, an earlier one stays.
    void optionsCancelled()
    {
        s->cancelOptions = true;
        const QString fresh = s->file(QStringLiteral("fresh.txt"));
        for (const QString& kind : reportKindNames())
            s->runToFile(kind, fresh);
        QVERIFY(!QFile::exists(fresh));
        const QString earlier = s->file(QStringLiteral("earlier.txt"));
        QVERIFY(writeFile(earlier, "earlier report\r\n"));
        for (const QString& kind : reportKindNames())
            QCOMPARE(s->runToFile(kind, earlier), QByteArray("earlier report\r\n"));
        QCOMPARE(s->dialogs, 2 * int(reportKindNames().size()));
        QCOMPARE(s->platform.messageTexts(), QStringList());
        QCOMPARE(s->platform.progressLabels, QStringList());
        QCOMPARE(reportFiles(), QStringList({"earlier.txt"}));
    }

    // Cancelling the progress dialog: nothing is written, an earlier file
    // stays as it was, no temporary file is left.
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
        QVERIFY(writeFile(earlier, "earlier report\r\n"));
        s->platform.cancelProgressAt = 3;
        QCOMPARE(s->runToFile(kind, earlier), QByteArray("earlier report\r\n"));
        QCOMPARE(s->platform.progressSteps, 3);
        QCOMPARE(s->platform.progressEnds, 1);
        QCOMPARE(s->platform.messageTexts(), QStringList());
        QCOMPARE(s->platform.pointers.last(), Pointer::Default);
        QCOMPARE(reportFiles(), QStringList({"earlier.txt"}));
        // The same to the preview: nothing is shown.
        s->runToPreview(kind);
        QVERIFY(s->previews.isEmpty());
    }

    // A folder that cannot be written: one message that names the file, and
    // nothing else.
    void unwritableFolder()
    {
        const QString notAFolder = s->file(QStringLiteral("plain"));
        QVERIFY(writeFile(notAFolder, "x"));
        const QString path = notAFolder + QStringLiteral("/Hours.txt");
        s->runToFile(QStringLiteral("hours"), path);
        QCOMPARE(s->platform.messages.size(), 1);
        QVERIFY2(s->platform.messages[0].text.contains(path), qPrintable(s->platform.messages[0].text));
        QCOMPARE(s->platform.messages[0].icon(), Mb::Critical);
        QCOMPARE(s->platform.pointers.last(), Pointer::Default);
        QCOMPARE(fileBytes(notAFolder), QByteArray("x"));

        // A folder without write permission, holding an earlier report.
        QDir(s->dir.path()).mkdir(QStringLiteral("locked"));
        const QString locked = s->file(QStringLiteral("locked/Hours.txt"));
        QVERIFY(writeFile(locked, "earlier report\r\n"));
        QFile::setPermissions(s->file(QStringLiteral("locked")), QFile::ReadOwner | QFile::ExeOwner);
        if (writeFile(s->file(QStringLiteral("locked/probe")), "x"))
            QSKIP("this user may write into any folder");
        s->platform.messages.clear();
        s->runToFile(QStringLiteral("hours"), locked);
        QFile::setPermissions(s->file(QStringLiteral("locked")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(s->platform.messages.size(), 1);
        QVERIFY(s->platform.messages[0].text.contains(locked));
        QCOMPARE(fileBytes(locked), QByteArray("earlier report\r\n"));
    }

    // A disk that fills up while the report is written (the size limit of
    // the process stands in for it): one message that names the file, the
    // earlier file untouched, no temporary file left.
    void fullDisk()
    {
        MainDb->Execute(QStringLiteral("update Req set ReqDesc = '%1', Resp = '%2'")
                            .arg(QString(100000, u'x'), QString(100000, u'é')));
        const QString earlier = s->file(QStringLiteral("ReqRpt.txt"));
        QVERIFY(writeFile(earlier, "earlier report\r\n"));
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
        QCOMPARE(fileBytes(earlier), QByteArray("earlier report\r\n"));
        QCOMPARE(reportFiles(), QStringList({"ReqRpt.txt"}));
        // Without the limit the same report is written whole.
        s->platform.messages.clear();
        const QByteArray whole = s->runToFile(QStringLiteral("listing-department"), earlier);
        QCOMPARE(s->platform.messageTexts(), QStringList());
        QCOMPARE(whole.count("\r\n"), 12);
        QVERIFY(whole.size() > 12 * 300000);
    }
};

CVD_TEST_MAIN(tst_reportfiles)
#include "tst_reportfiles.moc"
