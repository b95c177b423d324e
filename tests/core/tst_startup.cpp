// Start-up: the data folder from the command line, the values set, and what
// the user sees when the data file cannot be opened or has empty costing values.
#include "core/database.h"
#include "core/frmmain.h"
#include "core/globals.h"
#include "core/startup.h"
#include "support/fixturedb.h"
#include "support/scriptedplatform.h"
#include "support/testfiles.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace cvd;
using namespace Qt::StringLiterals;

static QString dataArg(const QTemporaryDir& dir) { return QStringLiteral("-d ") + dir.path(); }

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
        QTest::newRow("text after the path kept") << QStringList{"-d", "/data", "extra"} << "/data extra/";
        QTest::newRow("-d later on the line") << QStringList{"--verbose", "-d", "/srv/cvd"} << "/srv/cvd/";
        QTest::newRow("first -d counts") << QStringList{"-d", "/a-d/b"} << "/a-d/b/";
        QTest::newRow("-d alone") << QStringList{"-d"} << "/";
    }
    void dataPath()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, expected);
        QCOMPARE(dataPathFromCommandLine(commandLineText(args), QStringLiteral("/home/desk")), expected);
    }

    void startsOnFixture()
    {
        QTemporaryDir dir;
        test::createFixtureDb(dir.path());
        test::ScriptedPlatform p;
        frmMain w;
        startUp(w, dataArg(dir));
        QVERIFY2(p.messages.isEmpty(), qPrintable(p.messageTexts().join('\n')));
        QCOMPARE(DatabasePath, dir.path() + QStringLiteral("/cvd.mdb"));
        QCOMPARE(HelpFilePath, dir.path() + QStringLiteral("/cvd.hlp"));
        QCOMPARE(ReqSet->RecordCount(), 8L);
        QCOMPARE(DefaultHourlyRate, Currency::fromWhole(40));
        QCOMPARE(DefaultMinCharge, Currency::fromWhole(25));
        QCOMPARE(ReportEndDate, QDate::currentDate());
        QCOMPARE(ReportStartDate, QDate(ReportEndDate.year(), ReportEndDate.month(), 1));
        QVERIFY(CatListChanged && CustListChanged && DeptListChanged && PriListChanged && StaffListChanged);
        QCOMPARE(w.txtReqID->text(), QStringLiteral("8"));
        QVERIFY(w.cmdCancel->isHidden() && !w.cmdFirst->isHidden());
        for (QWidget* c : w.entryControls())
            QVERIFY(c->isEnabled() || c == w.txtCostTot);
    }

    void emptyRequestTable()
    {
        QTemporaryDir dir;
        test::createEmptyDb(dir.path());
        test::ScriptedPlatform p;
        frmMain w;
        startUp(w, dataArg(dir));
        for (QWidget* c : w.entryControls())
            QVERIFY2(!c->isEnabled(), qPrintable(c->objectName()));
        w.Form_Activate();
        QVERIFY(p.messages.isEmpty());
        QCOMPARE(w.txtReqID->text(), QString());
        for (QComboBox* l : {w.cmbCust, w.cmbDept, w.cmbPri, w.cmbCat, w.cmbEnteredBy, w.cmbAssignedTo})
            QCOMPARE(l->currentIndex(), -1);
        QVERIFY(w.cmdCancel->isHidden());
    }

    void emptyCostingValues_data()
    {
        QTest::addColumn<QString>("update");
        QTest::addColumn<qint64>("rate");
        QTest::addColumn<qint64>("minimum");
        QTest::newRow("both empty") << "DefHourlyRate = NULL, DefMinCharge = NULL" << qint64(0) << qint64(0);
        QTest::newRow("minimum empty") << "DefMinCharge = NULL" << qint64(400000) << qint64(0);
    }
    void emptyCostingValues()
    {
        QFETCH(QString, update);
        QFETCH(qint64, rate);
        QFETCH(qint64, minimum);
        QTemporaryDir dir;
        QVERIFY(test::execSql(test::createFixtureDb(dir.path()), ("UPDATE Settings SET " + update).toUtf8().constData()));
        test::ScriptedPlatform p;
        frmMain w;
        startUp(w, dataArg(dir));
        // Each empty value is reported, stays 0, and start-up goes on.
        QCOMPARE(p.messageTexts(), QStringList(update.count(u"NULL"_s), u"94  Invalid use of Null"_s));
        QVERIFY(!p.ended);
        QCOMPARE(DefaultHourlyRate.units, rate);
        QCOMPARE(DefaultMinCharge.units, minimum);
        QCOMPARE(w.txtReqID->text(), QStringLiteral("8"));
        QVERIFY(w.cmdCancel->isHidden());
    }

    // A data file that cannot be opened: one message, the program ends, and
    // the folder and the file are left as they were.
    void unopenableDataFile_data()
    {
        QTest::addColumn<QByteArray>("content"); // the file's bytes, SQL that makes it, "missing" or "in use"
        QTest::addColumn<QStringList>("shown");  // %1: the data folder
        QTest::newRow("missing") << QByteArray("missing") << QStringList{"%1/cvd.mdb", "cvdtool create %1", "cvdtool demo %1"};
        QTest::newRow("text file") << QByteArray("Name,Phone\nAnn,555-1234\n") << QStringList{"%1/cvd.mdb", "not a Calvedon data file"};
        QTest::newRow("other tables") << QByteArray("CREATE TABLE Recipes (Name TEXT); INSERT INTO Recipes VALUES ('Soup');")
                                      << QStringList{"%1/cvd.mdb", "does not hold the tables"};
        QTest::newRow("in use") << QByteArray("in use")
                                << QStringList{"The database is in use.  You are attempting to run the non-network version"};
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
            QVERIFY_THROWS_EXCEPTION(ProgramEnded, startUp(w, dataArg(dir)));
        }
        QVERIFY(p.ended);
        QCOMPARE(p.messages.size(), 1);
        for (const QString& s : shown)
            QVERIFY2(p.messages[0].text.contains(s.arg(dir.path())), qPrintable(p.messages[0].text));
        resetProgramValues();
        QCOMPARE(test::fileBytes(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 content == "missing" ? QStringList() : QStringList{"cvd.mdb"});
        if (first) // the first user keeps working
            QVERIFY(first->OpenRecordset(QStringLiteral("Select * from Req order by ReqDate desc"))->RecordCount() > 0);
    }
};

QTEST_MAIN(tst_startup)
#include "tst_startup.moc"
