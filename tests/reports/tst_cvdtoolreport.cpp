// cvdtool report: each report's text file byte for byte as the menu command
// writes it (the same golden files), on the standard output, as PDF; the
// arguments and files it refuses with a one-line error; a database the
// program holds.
#include "reportfixture.h"
#include "pdfreader.h"

using namespace cvd;
using namespace cvd::test;

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
            if (c.golden.endsWith(QLatin1String(".doc.txt")) || !c.setup.isEmpty())
                continue;
            QStringList args = QStringList{c.kind, "--state", state[int(c.answers.state)], "--from",
                                           c.answers.start.toString(Qt::ISODate), "--to", c.answers.end.toString(Qt::ISODate)};
            if (c.answers.id != 0)
                args << "--select" << QString::number(c.answers.id);
            QTest::newRow(qPrintable(c.golden)) << args << c.golden;
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
    void pdf()
    {
        const QString out = dir.filePath(QStringLiteral("report.PDF"));
        QCOMPARE(report({folder, "bills-customer", "-o", out, "--from", "2026-01-01", "--to", "2026-12-31"}).exitCode, 0);
        const PdfReader pdf(fileBytes(out));
        QCOMPARE(pdf.pageCount(), 6);
        QVERIFY2(pdf.pageText(0).startsWith(QStringLiteral("CalvedonServiceDesk100MainStreet")), qPrintable(pdf.pageText(0)));
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
        QTest::newRow("not a number") << QStringList{"@", "hours", "--select", "abc", "-o", "@out"} << "--select 'abc'";
        QTest::newRow("no such record") << QStringList{"@", "charges-customer", "--select", "99", "-o", "@out"}
                                        << "--select 99: no customer";
        QTest::newRow("no output") << QStringList{"@", "hours"} << "-o FILE";
        QTest::newRow("missing folder") << QStringList{"@/missing", "hours", "-o", "@out"} << "/missing'";
        QTest::newRow("no database") << QStringList{"@/..", "hours", "-o", "@out"} << "3024";
        QTest::newRow("database in use") << QStringList{"@", "hours", "-o", "@out"} << "3045";
        QTest::newRow("output folder is a file") << QStringList{"@", "hours", "-o", "@out/Hours.txt"} << "earlier.txt/Hours.txt";
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
};

QTEST_MAIN(tst_cvdtoolreport)
#include "tst_cvdtoolreport.moc"
