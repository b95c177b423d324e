// cvdtool report: each report's text file byte for byte as the menu command
// writes it (the same golden files), on the standard output, as PDF; the
// arguments it refuses with a one-line error; a database the program holds.
#include "reportfixture.h"

#include <QProcess>
#include <QRegularExpression>

using namespace cvd;
using namespace cvd::test;

namespace {

struct ToolRun {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

// cvdtool with `args`, in the C locale (the program then uses the United
// States formats, as the golden files do).
ToolRun cvdtool(const QStringList& args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM")); // the tool sets offscreen itself
    p.setProcessEnvironment(env);
    p.start(qEnvironmentVariable("CVDTOOL"), args);
    ToolRun r;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

const QStringList k2026{"--from", "2026-01-01", "--to", "2026-12-31"};

} // namespace

class tst_cvdtoolreport : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString folder;

private slots:
    void initTestCase()
    {
        folder = dir.filePath(QStringLiteral("data"));
        QDir().mkpath(folder);
        createReportFixture(folder);
    }

    void textFiles_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("golden");
        for (const QString& kind : reportKindNames())
            QTest::newRow(qPrintable(kind)) << QStringList{kind} + k2026 << kind + QStringLiteral(".txt");
        QTest::newRow("hours, one, open") << QStringList{"hours", "--select", "2", "--state", "open"} + k2026
                                          << "hours-one-open.txt";
        QTest::newRow("bills, one, resolved") << QStringList{"bills-department", "--state", "resolved", "--select", "2"} + k2026
                                              << "bills-department-one-resolved.txt";
        QTest::newRow("listing, one, open, portrait")
            << QStringList{"listing-customer", "--portrait", "--select", "2", "--state", "open"} + k2026
            << "listing-customer-one-open.txt";
        QTest::newRow("charges, one, all") << QStringList{"charges-department", "--select", "2", "--state", "all"} + k2026
                                           << "charges-department-one.txt";
    }
    void textFiles()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, golden);
        const QString out = dir.filePath(golden);
        const ToolRun r = cvdtool(QStringList{"report", folder} + args + QStringList{"-o", out});
        QCOMPARE(r.exitCode, 0);
        const QString diff = goldenDifference(golden, fileBytes(out));
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        QCOMPARE(r.out, QByteArray());
        // Only a bill run that leaves requests out says something.
        QCOMPARE(r.err.isEmpty(), !golden.startsWith(QLatin1String("bills-customer.")) && golden != QLatin1String("bills-department.txt"));
        // The same on the standard output.
        const ToolRun piped = cvdtool(QStringList{"report", folder} + args + QStringList{"-o", "-"});
        QCOMPARE(piped.exitCode, 0);
        QCOMPARE(piped.out, fileBytes(out));
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
        const ToolRun r = cvdtool(QStringList{"report", folder} + args + QStringList{"-o", out});
        QCOMPARE(r.exitCode, 0);
        const QByteArray bytes = fileBytes(out);
        QVERIFY(bytes.startsWith("%PDF-"));
        QCOMPARE(int(bytes.count(QByteArray("/Type /Page\n")) + bytes.count(QByteArray("/Type /Page\r"))
                     + bytes.count(QByteArray("/Type /Page/")) + bytes.count(QByteArray("/Type /Page "))
                     + bytes.count(QByteArray("/Type /Page>"))),
                 pages);
    }

    // Wrong arguments: one line that names the argument, a non-zero exit,
    // the output file untouched.
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
    }
    void refused()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, named);
        const QString out = dir.filePath(QStringLiteral("earlier.txt"));
        QVERIFY(writeFile(out, "earlier\r\n"));
        for (QString& a : args)
            a.replace(QLatin1String("@out"), out).replace(QLatin1String("@"), folder);
        const ToolRun r = cvdtool(QStringList{"report"} + args);
        QVERIFY2(r.exitCode > 0, qPrintable(r.err));
        QCOMPARE(r.err.count(u'\n'), 1);
        QVERIFY2(r.err.startsWith(QLatin1String("cvdtool report: ")) && r.err.contains(named), qPrintable(r.err));
        QCOMPARE(fileBytes(out), QByteArray("earlier\r\n"));
    }

    // A database that the program holds open is refused with its 3045
    // message; the output file stays as it was.
    void databaseInUse()
    {
        const auto held = Database::Open(QDir(folder).filePath(QStringLiteral("cvd.mdb")));
        const QString out = dir.filePath(QStringLiteral("held.txt"));
        QVERIFY(writeFile(out, "earlier\r\n"));
        const ToolRun r = cvdtool({"report", folder, "hours", "-o", out});
        QVERIFY(r.exitCode > 0);
        QVERIFY2(r.err.contains(QLatin1String("3045")) && r.err.contains(QLatin1String("in use")), qPrintable(r.err));
        QCOMPARE(fileBytes(out), QByteArray("earlier\r\n"));
    }

    // A data file and folder that cannot be written (a copy on read-only
    // media, say) still give their reports: a report only reads.
    void readOnlyData()
    {
        const QString locked = dir.filePath(QStringLiteral("locked"));
        QDir().mkpath(locked);
        QVERIFY(QFile::copy(QDir(folder).filePath(QStringLiteral("cvd.mdb")), QDir(locked).filePath(QStringLiteral("cvd.mdb"))));
        const auto readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        QFile::setPermissions(QDir(locked).filePath(QStringLiteral("cvd.mdb")), readOnly);
        QFile::setPermissions(locked, readOnly | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
        const bool writable = writeFile(QDir(locked).filePath(QStringLiteral("probe")), "x");
        const QString out = dir.filePath(QStringLiteral("locked.txt"));
        const ToolRun r = cvdtool(QStringList{"report", locked, "hours", "-o", out} + k2026);
        QFile::setPermissions(locked, readOnly | QFile::WriteOwner | QFile::ExeOwner);
        if (writable)
            QSKIP("this user may write into any folder");
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.err, QString());
        QVERIFY(goldenDifference(QStringLiteral("hours.txt"), fileBytes(out)).isEmpty());
    }

    // An output folder that cannot be written: the message names the file.
    void unwritable()
    {
        const QString plain = dir.filePath(QStringLiteral("plain"));
        QVERIFY(writeFile(plain, "x"));
        const ToolRun r = cvdtool(QStringList{"report", folder, "hours", "-o", plain + "/Hours.txt"} + k2026);
        QVERIFY(r.exitCode > 0);
        QVERIFY2(r.err.contains(plain + "/Hours.txt"), qPrintable(r.err));
        QCOMPARE(fileBytes(plain), QByteArray("x"));
    }

    // The dates default to the dialog's: the first of this month to today.
    void defaultRange()
    {
        const QString out = dir.filePath(QStringLiteral("default.txt"));
        const ToolRun r = cvdtool({"report", folder, "hours", "-o", out});
        QCOMPARE(r.exitCode, 0);
        const QDate today = QDate::currentDate();
        const bool inRange = today >= QDate(2026, 1, 1) && today <= QDate(2026, 3, 31);
        if (!inRange)
            QCOMPARE(fileBytes(out), QByteArray("\tTotals:\t0\t0\t$0.00\t$0.00\t\r\n"));
        QVERIFY(fileBytes(out).endsWith("\r\n"));
    }

    void help()
    {
        const ToolRun r = cvdtool({"--help"});
        QCOMPARE(r.exitCode, 0);
        const QString text = QString::fromUtf8(r.out);
        QVERIFY(text.contains(QLatin1String("cvdtool report FOLDER KIND")));
        for (const QString& kind : reportKindNames())
            QVERIFY2(text.contains(kind), qPrintable(kind));
    }
};

QTEST_MAIN(tst_cvdtoolreport)
#include "tst_cvdtoolreport.moc"
