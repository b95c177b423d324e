// cvdtool report: each report's text file byte for byte as the menu command
// writes it (the same golden files), on the standard output, as PDF; the
// arguments and files it refuses with a one-line error; a database the
// program holds; read-only data.
#include "reportfixture.h"
#include "pdfreader.h"

using namespace cvd;
using namespace cvd::test;

namespace {

const QStringList k2026{"--from", "2026-01-01", "--to", "2026-12-31"};

} // namespace

class tst_cvdtoolreport : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString folder;

    ToolResult report(const QStringList& args) { return runCvdTool(QStringList{"report"} + args); }

private slots:
    void initTestCase()
    {
        // In the C locale the tool uses the United States formats, as the
        // golden files do; it chooses the offscreen platform itself.
        qputenv("LC_ALL", "C");
        qunsetenv("QT_QPA_PLATFORM");
        folder = dir.filePath(QStringLiteral("data"));
        QDir().mkpath(folder);
        createReportFixture(folder);
    }

    // The golden text files, with the answers given as arguments.
    void textFiles_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("golden");
        const char* const state[] = {"open", "resolved", "all"};
        for (const GoldenCase& c : goldenCases()) {
            if (c.golden.endsWith(QLatin1String(".doc.txt")))
                continue;
            QStringList args = QStringList{c.kind, "--state", state[int(c.answers.state)]} + k2026;
            if (c.answers.id != 0)
                args << "--select" << QString::number(c.answers.id);
            QTest::newRow(qPrintable(c.tag)) << args << c.golden;
        }
    }
    void textFiles()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, golden);
        const QString out = dir.filePath(golden);
        const ToolResult r = report(QStringList{folder} + args + QStringList{"-o", out});
        QCOMPARE(r.exitCode, 0);
        const QString diff = goldenDifference(golden, fileBytes(out));
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        QCOMPARE(r.out, QString());
        // Only a bill run that leaves requests out says something.
        QCOMPARE(r.err.isEmpty(), !args.first().startsWith(QLatin1String("bills")) || args.contains("--select"));
        // The same on the standard output.
        const ToolResult piped = report(QStringList{folder} + args + QStringList{"-o", "-"});
        QCOMPARE(piped.exitCode, 0);
        QCOMPARE(piped.out.toUtf8(), fileBytes(out));
    }

    // -o FILE.pdf: the preview's document as PDF, one page for each page.
    void pdf_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("pages");
        QTest::newRow("bills") << QStringList{"bills-customer"} + k2026 << 6;
        QTest::newRow("hours") << QStringList{"hours"} + k2026 << 1;
        QTest::newRow("listing, portrait") << QStringList{"listing-staff", "--portrait"} + k2026 << 1;
    }
    void pdf()
    {
        QFETCH(QStringList, args);
        QFETCH(int, pages);
        const QString out = dir.filePath(QStringLiteral("report.PDF"));
        QCOMPARE(report(QStringList{folder} + args + QStringList{"-o", out}).exitCode, 0);
        QCOMPARE(PdfReader(fileBytes(out)).pageCount(), pages);
    }

    // Wrong arguments, a database the program holds open, an output folder
    // that cannot be written: one line that names the cause, a non-zero
    // exit, the output file untouched.
    void refused_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("named");
        QTest::newRow("unknown kind") << QStringList{"@", "hourz", "-o", "@out"} << "'hourz'";
        QTest::newRow("bad month") << QStringList{"@", "hours", "--from", "2026-13-01", "-o", "@out"} << "--from '2026-13-01'";
        QTest::newRow("bad day") << QStringList{"@", "hours", "--to", "2026-02-30", "-o", "@out"} << "--to '2026-02-30'";
        QTest::newRow("short year") << QStringList{"@", "hours", "--to", "26-02-03", "-o", "@out"} << "--to '26-02-03'";
        QTest::newRow("not a number") << QStringList{"@", "hours", "--select", "abc", "-o", "@out"} << "--select 'abc'";
        QTest::newRow("zero") << QStringList{"@", "hours", "--select", "0", "-o", "@out"} << "--select '0'";
        QTest::newRow("no such record") << QStringList{"@", "charges-customer", "--select", "99", "-o", "@out"}
                                        << "--select 99: no customer";
        QTest::newRow("bad state") << QStringList{"@", "hours", "--state", "closed", "-o", "@out"} << "--state 'closed'";
        QTest::newRow("unknown option") << QStringList{"@", "hours", "--landscape", "-o", "@out"} << "'--landscape'";
        QTest::newRow("value missing") << QStringList{"@", "hours", "-o", "@out", "--from"} << "--from needs a value";
        QTest::newRow("no output") << QStringList{"@", "hours"} << "-o FILE";
        QTest::newRow("missing folder") << QStringList{"@/missing", "hours", "-o", "@out"} << "/missing'";
        QTest::newRow("no database") << QStringList{"@/..", "hours", "-o", "@out"} << "3024";
        QTest::newRow("database in use") << QStringList{"@", "hours", "-o", "@out"} << "3045";
        QTest::newRow("output folder is a file") << QStringList{"@", "hours", "-o", "@out/Hours.txt"} << "earlier.txt/Hours.txt";
        QTest::newRow("output is a folder") << QStringList{"@", "hours", "-o", "@"} << "is a folder, not a file.";
        QTest::newRow("output folder missing") << QStringList{"@", "hours", "-o", "@/no/Hours.txt"} << "/no does not exist.";
    }
    void refused()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, named);
        const QString out = dir.filePath(QStringLiteral("earlier.txt"));
        QVERIFY(writeFile(out, "earlier\r\n"));
        for (QString& a : args)
            a.replace(QLatin1String("@out"), out).replace(QLatin1String("@"), folder);
        const auto held = QTest::currentDataTag() == QLatin1String("database in use")
                              ? Database::Open(QDir(folder).filePath(QStringLiteral("cvd.mdb")))
                              : nullptr;
        const ToolResult r = report(args);
        QVERIFY2(r.exitCode > 0, qPrintable(r.err));
        QCOMPARE(r.err.count(u'\n'), 1);
        QVERIFY2(r.err.startsWith(QLatin1String("cvdtool report: ")) && r.err.contains(named), qPrintable(r.err));
        QVERIFY2(r.err.endsWith(QLatin1String(".\n")), qPrintable(r.err)); // whole sentences
        QVERIFY2(!QFileInfo(args.last()).isDir() || !r.err.contains(QLatin1String("earlier file")), qPrintable(r.err));
        QCOMPARE(fileBytes(out), QByteArray("earlier\r\n"));
    }

    // A data file and folder that cannot be written (a copy on read-only
    // media, say) still give their reports: a report only reads.
    void readOnlyData()
    {
        const QString locked = dir.filePath(QStringLiteral("locked")), db = locked + QStringLiteral("/cvd.mdb");
        QDir().mkpath(locked);
        QVERIFY(QFile::copy(QDir(folder).filePath(QStringLiteral("cvd.mdb")), db));
        const auto readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        QFile::setPermissions(db, readOnly);
        QFile::setPermissions(locked, readOnly | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
        const bool writable = writeFile(locked + QStringLiteral("/probe"), "x");
        const QString out = dir.filePath(QStringLiteral("locked.txt"));
        const ToolResult r = report(QStringList{locked, "hours", "-o", out} + k2026);
        QFile::setPermissions(locked, readOnly | QFile::WriteOwner | QFile::ExeOwner);
        if (writable)
            QSKIP("this user may write into any folder");
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.err, QString());
        QVERIFY(goldenDifference(QStringLiteral("hours.txt"), fileBytes(out)).isEmpty());
    }

    // The dates default to the dialog's: the first of this month to today.
    void defaultRange()
    {
        const QString out = dir.filePath(QStringLiteral("default.txt"));
        QCOMPARE(report({folder, "hours", "-o", out}).exitCode, 0);
        const QDate today = QDate::currentDate();
        if (today < QDate(2026, 1, 1) || today > QDate(2026, 3, 31))
            QCOMPARE(fileBytes(out), QByteArray("\tTotals:\t0\t0\t$0.00\t$0.00\t\r\n"));
        QVERIFY(fileBytes(out).endsWith("\r\n"));
    }

    void help()
    {
        const ToolResult r = runCvdTool({"--help"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains(QLatin1String("cvdtool report DATABASE KIND")));
        for (const QString& kind : reportKindNames())
            QVERIFY2(r.out.contains(kind), qPrintable(kind));
    }
};

QTEST_MAIN(tst_cvdtoolreport)
#include "tst_cvdtoolreport.moc"
