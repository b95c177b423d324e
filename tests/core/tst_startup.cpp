// Start-up: the data folder from the command line, the values set, and what
// the user sees when the data file is missing, foreign, in use, or has empty
// costing values.
#include "core/database.h"
#include "core/frmmain.h"
#include "core/globals.h"
#include "core/startup.h"
#include "support/fixturedb.h"
#include "support/scriptedplatform.h"
#include "support/testfiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace cvd;

namespace {

QString dataArg(const QTemporaryDir& dir) { return QStringLiteral("-d ") + dir.path(); }

} // namespace

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
        QTest::newRow("-d and a blank") << QStringList{"-d", "/data"} << "/data/";
        QTest::newRow("drive letter example") << QStringList{"-dX:\\DATA"} << ":\\DATA/";
        QTest::newRow("upper-case D not recognised") << QStringList{"-D", "/data"} << "/home/desk/";
        QTest::newRow("text after the path kept") << QStringList{"-d", "/data", "extra"} << "/data extra/";
        QTest::newRow("-d later on the line") << QStringList{"--verbose", "-d", "/srv/cvd"} << "/srv/cvd/";
        QTest::newRow("first -d counts") << QStringList{"-d", "/a-d/b"} << "/a-d/b/";
        QTest::newRow("-d alone") << QStringList{"-d"} << "/";
        QTest::newRow("unicode folder") << QStringList{"-d", "/Zoë/李"} << "/Zoë/李/";
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
        const QDate today = QDate::currentDate();
        QCOMPARE(ReportEndDate, today);
        QCOMPARE(ReportStartDate, QDate(today.year(), today.month(), 1));
        QVERIFY(CatListChanged && CustListChanged && DeptListChanged && PriListChanged && StaffListChanged);
        // The newest request first; the lists are still empty.
        QCOMPARE(w.txtReqID->text(), QStringLiteral("8"));
        QVERIFY(!w.Editing && !w.Adding);
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
        QVERIFY(p.messages.isEmpty());
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
        QTest::addColumn<int>("messages");
        QTest::addColumn<qint64>("rate");
        QTest::addColumn<qint64>("minimum");
        QTest::newRow("both empty") << "DefHourlyRate = NULL, DefMinCharge = NULL" << 2 << qint64(0) << qint64(0);
        QTest::newRow("rate empty") << "DefHourlyRate = NULL" << 1 << qint64(0) << qint64(250000);
        QTest::newRow("minimum empty") << "DefMinCharge = NULL" << 1 << qint64(400000) << qint64(0);
    }
    void emptyCostingValues()
    {
        QFETCH(QString, update);
        QFETCH(int, messages);
        QFETCH(qint64, rate);
        QFETCH(qint64, minimum);
        QTemporaryDir dir;
        QVERIFY(test::execSql(test::createFixtureDb(dir.path()), ("UPDATE Settings SET " + update).toUtf8().constData()));
        test::ScriptedPlatform p;
        frmMain w;
        startUp(w, dataArg(dir));
        QCOMPARE(p.messages.size(), messages);
        for (const auto& m : p.messages) {
            QCOMPARE(m.text, QStringLiteral("94  Invalid use of Null"));
            QCOMPARE(m.buttons(), Mb::OkOnly);
            QCOMPARE(m.title, ProgramTitle);
        }
        QVERIFY(!p.ended);
        QCOMPARE(DefaultHourlyRate.units, rate);
        QCOMPARE(DefaultMinCharge.units, minimum);
        // Start-up went on to the end.
        QCOMPARE(w.txtReqID->text(), QStringLiteral("8"));
        QVERIFY(w.cmdCancel->isHidden());
    }

    void missingDataFile()
    {
        QTemporaryDir dir;
        test::ScriptedPlatform p;
        frmMain w;
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, startUp(w, dataArg(dir)));
        QVERIFY(p.ended);
        QCOMPARE(p.messages.size(), 1);
        const QString text = p.messages[0].text;
        QVERIFY2(text.contains(dir.path() + QStringLiteral("/cvd.mdb")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("cvdtool create ") + dir.path()));
        QVERIFY(text.contains(QStringLiteral("cvdtool demo ") + dir.path()));
        QVERIFY(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    }

    void foreignDataFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        QTest::newRow("text file") << QByteArray("Name,Phone\nAnn,555-1234\n") << "not a Calvedon data file";
        QTest::newRow("zero bytes") << QByteArray() << "Calvedon data file";
        QByteArray header("SQLite format 3");
        header.append('\0');
        header.append(QByteArray(4080, '\x5a'));
        QTest::newRow("damaged database") << header << "Calvedon data file";
        QTest::newRow("other tables") << QByteArray("CREATE TABLE Recipes (Name TEXT); INSERT INTO Recipes VALUES ('Soup');")
                                      << "does not hold the tables";
    }
    void foreignDataFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cvd.mdb"));
        if (content.startsWith("CREATE"))
            QVERIFY(test::execSql(path, content.constData()));
        else
            QVERIFY(test::writeFile(path, content));
        const QByteArray before = test::fileBytes(path);
        test::ScriptedPlatform p;
        {
            frmMain w;
            QVERIFY_THROWS_EXCEPTION(ProgramEnded, startUp(w, dataArg(dir)));
        }
        QVERIFY(p.ended);
        QCOMPARE(p.messages.size(), 1);
        QVERIFY2(p.messages[0].text.contains(path), qPrintable(p.messages[0].text));
        QVERIFY2(p.messages[0].text.contains(expected), qPrintable(p.messages[0].text));
        resetProgramValues();
        QVERIFY(test::fileBytes(path) == before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"cvd.mdb"});
    }

    void fileInUse()
    {
        QTemporaryDir dir;
        const QString path = test::createFixtureDb(dir.path());
        auto first = Database::Open(path);
        test::ScriptedPlatform p;
        frmMain w;
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, startUp(w, dataArg(dir)));
        QVERIFY(p.ended);
        QCOMPARE(p.messages.size(), 1);
        QCOMPARE(p.messages[0].text, QStringLiteral("The database is in use.  You are attempting to run the non-network "
                                                     "version in a network environment.  The program will exit."));
        QCOMPARE(p.messages[0].title, QStringLiteral("Database File Already In Use"));
        // The first user keeps working.
        auto rs = first->OpenRecordset(QStringLiteral("Select * from Req order by ReqDate desc"), RecordsetType::Dynaset);
        QVERIFY(rs->RecordCount() > 0);
    }
};

QTEST_MAIN(tst_startup)
#include "tst_startup.moc"
