// Start-up: the data folder from the command line, the values set, and what
// the user sees when the data file cannot be opened or has empty costing values.
#include "base/globals.h"
#include "db/database.h"
#include "mainwindow/startup.h"
#include "support/fixturedb.h"
#include "support/mainwindowfixture.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

using namespace cvd;
using namespace Qt::StringLiterals;

class tst_startup : public QObject {
    Q_OBJECT
private slots:
    void init() { resetProgramValues(); }
    void cleanup() { resetProgramValues(); }

    void dataPath_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no arguments") << QStringList{} << "/home/desk/";
        QTest::newRow("drive letter example") << QStringList{"-dX:\\DATA"} << ":\\DATA/";
        QTest::newRow("upper-case D not recognised") << QStringList{"-D", "/data"} << "/home/desk/";
        QTest::newRow("-d later on the line") << QStringList{"--verbose", "-d", "/srv/cvd"} << "/srv/cvd/";
        QTest::newRow("first -d counts") << QStringList{"-d", "/a-d/b"} << "/a-d/b/";
    }
    void dataPath()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, expected);
        QCOMPARE(dataPathFromCommandLine(commandLineText(args), QStringLiteral("/home/desk")), expected);
    }

    // The values set from the fixture's folder.  Each empty costing value is
    // reported and stays 0; start-up goes on to the newest request.
    void startsOnFixture_data()
    {
        QTest::addColumn<QString>("update"); // of the Settings row
        QTest::addColumn<qint64>("rate");
        QTest::addColumn<qint64>("minimum");
        QTest::newRow("as created") << "" << qint64(400000) << qint64(250000);
        QTest::newRow("both empty") << "DefHourlyRate = NULL, DefMinCharge = NULL" << qint64(0) << qint64(0);
        QTest::newRow("minimum empty") << "DefMinCharge = NULL" << qint64(400000) << qint64(0);
    }
    void startsOnFixture()
    {
        QFETCH(QString, update);
        QFETCH(qint64, rate);
        QFETCH(qint64, minimum);
        test::MainWindowFixture f;
        QVERIFY(update.isEmpty() || test::execSql(f.dbPath(), ("UPDATE Settings SET " + update).toUtf8().constData()));
        frmMain& w = f.started();
        QCOMPARE(f.p.messageTexts(), QStringList(update.count(u"NULL"_s), u"94  Invalid use of Null"_s));
        QVERIFY(!f.p.ended && f.browsing());
        QCOMPARE(DefaultHourlyRate.units, rate);
        QCOMPARE(DefaultMinCharge.units, minimum);
        QCOMPARE(w.txtReqID->text(), QStringLiteral("8"));
        QCOMPARE(DatabasePath, f.dbPath());
        QCOMPARE(HelpFilePath, f.dir.filePath(QStringLiteral("cvd.hlp")));
        QCOMPARE(ReportEndDate, QDate::currentDate());
        QCOMPARE(ReportStartDate, QDate(ReportEndDate.year(), ReportEndDate.month(), 1));
    }

    // A data file that cannot be opened: one message, the program ends, and
    // the folder and the file are left as they were.
    void unopenableDataFile_data()
    {
        QTest::addColumn<QByteArray>("content"); // the file's bytes, SQL that makes it, "missing" or "in use"
        QTest::addColumn<QStringList>("shown");  // %1: the data folder
        QTest::newRow("missing") << QByteArray("missing")
                                 << QStringList{"%1/cvd.mdb", "cvdtool create %1", "cvdtool demo %1"};
        QTest::newRow("text file") << QByteArray("Name,Phone\nAnn,555-1234\n")
                                   << QStringList{"%1/cvd.mdb", "not a Calvedon data file"};
        QTest::newRow("other tables") << QByteArray("CREATE TABLE Recipes (Name TEXT);")
                                      << QStringList{"%1/cvd.mdb", "does not hold the tables"};
        QTest::newRow("in use") << QByteArray("in use") << QStringList{"The database is in use."};
    }
    void unopenableDataFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, shown);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cvd.mdb"));
        std::shared_ptr<Database> first;
        if (content == "in use")
            first = Database::Open(test::createFixtureDb(dir.path()));
        else if (content.startsWith("CREATE"))
            QVERIFY(test::execSql(path, content.constData()));
        else if (content != "missing")
            QVERIFY(test::writeFile(path, content));
        const QByteArray before = test::fileBytes(path);
        test::ScriptedPlatform p;
        {
            frmMain w;
            QVERIFY_THROWS_EXCEPTION(ProgramEnded, startUp(w, "-d " + dir.path()));
        }
        QCOMPARE(p.messages.size(), 1);
        for (const QString& s : shown)
            QVERIFY2(p.messages[0].text.contains(s.arg(dir.path())), qPrintable(p.messages[0].text));
        resetProgramValues();
        QCOMPARE(test::fileBytes(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 content == "missing" ? QStringList() : QStringList{"cvd.mdb"});
        if (first) // the first user keeps working
            QVERIFY(first->OpenRecordset(QStringLiteral("Select * from Req"))->RecordCount() > 0);
    }
};

CVD_TEST_MAIN(tst_startup)
#include "tst_startup.moc"
