// Start-up: the data folder from the command line, the values set, and what
// the user sees when the data file cannot be opened, cannot be written, is
// damaged, or has empty or missing costing values.
#include "base/globals.h"
#include "db/badfiles.h"
#include "db/database.h"
#include "mainwindow/startup.h"
#include "support/fixturedb.h"
#include "support/mainwindowfixture.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
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
        QTest::newRow("zero bytes") << QByteArray("") << QStringList{"%1/cvd.mdb", "not a Calvedon data file"};
        QTemporaryDir scratch;
        const QByteArray whole = test::fileBytes(test::createFixtureDb(scratch.path()));
        QTest::newRow("truncated") << whole.left(whole.size() * 2 / 3)
                                   << QStringList{"%1/cvd.mdb", "not a Calvedon data file"};
        QTest::newRow("missing column") << QByteArray("ALTER TABLE Req DROP COLUMN Resp;")
                                        << QStringList{"%1/cvd.mdb", "the column Resp of the table Req"};
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
        else if (content.startsWith("ALTER"))
            QVERIFY(test::execSql(test::createFixtureDb(dir.path()), content.constData()));
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

    // A read-only data file, or a folder where the journal cannot be made:
    // one message that names it and says that it cannot be written (not
    // that it is in use), and the program ends, the file untouched.
    void cannotBeWritten_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::newRow("read-only file") << false;
        QTest::newRow("folder without write permission") << true;
    }
    void cannotBeWritten()
    {
        QFETCH(bool, folder);
        QTemporaryDir dir;
        const QString path = test::createFixtureDb(dir.path());
        const QByteArray before = test::fileBytes(path);
        test::ScriptedPlatform p;
        {
            test::Unwritable locked(folder ? dir.path() : path);
            if (!locked.why().isEmpty())
                QSKIP(qPrintable(locked.why()));
            frmMain w;
            QVERIFY_THROWS_EXCEPTION(ProgramEnded, startUp(w, "-d " + dir.path()));
        }
        resetProgramValues();
        QCOMPARE(p.messages.size(), 1);
        const QString text = p.messages[0].text;
        QCOMPARE(p.messages[0].title, u"Cannot Write Data File"_s);
        QVERIFY2(text.contains(path) && text.contains(folder ? u"folder '"_s + dir.path() + u"'"_s : u"cannot be written"_s),
                 qPrintable(text));
        QVERIFY(!text.contains(u"network"_s));
        QCOMPARE(test::fileBytes(path), before);
    }

    // A file with a damaged page opens, and the user is told once, plainly,
    // what it means and what to do; a save is refused with its reason, what
    // was typed stays on screen, and the file stays as it was.
    void damagedFile()
    {
        test::MainWindowFixture f;
        QVERIFY(QFile::remove(f.dbPath()));
        QVERIFY(!test::demoFile(f.dir.path(), 3000, 1500).isEmpty());
        const QByteArray before = test::fileHash(f.dbPath());
        frmMain& w = f.started();
        QTRY_COMPARE(f.p.messages.size(), 1);
        const test::MessageCall told = f.p.messages[0];
        QCOMPARE(told.title, u"Damaged Data File"_s);
        QCOMPARE(told.icon(), Mb::Critical);
        for (const QString& s : {f.dbPath(), u"is damaged"_s, u"has not been changed"_s, u"cvdtool check "_s + f.dir.path(),
                                 u"cvdtool recover "_s + f.dir.path()})
            QVERIFY2(told.text.contains(s), qPrintable(told.text));
        QVERIFY(test::typeInto(w.txtShortDesc, u"A change that cannot be saved"_s));
        w.cmdUpdate->click();
        QCOMPARE(f.p.messages.size(), 2);
        QVERIFY2(f.p.messages[1].text.startsWith(u"3049  "_s), qPrintable(f.p.messages[1].text));
        QVERIFY(f.editing());
        QCOMPARE(w.txtShortDesc->text(), u"A change that cannot be saved"_s);
        QTest::qWait(50);
        QCOMPARE(f.p.messages.size(), 2); // told once
        f.w.reset();
        resetProgramValues();
        QCOMPARE(test::fileHash(f.dbPath()), before);
    }

    // A file without its Settings record: the user is told once that the
    // rates are 0 until set, an empty record is added for the defaults
    // window, and start-up goes on to the newest request.
    void missingSettingsRecord()
    {
        test::MainWindowFixture f;
        QVERIFY(test::execSql(f.dbPath(), "DELETE FROM Settings"));
        frmMain& w = f.started();
        QCOMPARE(f.p.messages.size(), 1);
        QCOMPARE(f.p.messages[0].title, u"Program Defaults Missing"_s);
        QVERIFY2(f.p.messages[0].text.contains(u"File > Maintain Program Defaults"_s), qPrintable(f.p.messages[0].text));
        QCOMPARE(DefaultHourlyRate.units, qint64(0));
        QCOMPARE(DefaultMinCharge.units, qint64(0));
        QCOMPARE(test::fileQuery(u"select count(*) from Settings"_s), u"1"_s);
        QCOMPARE(w.txtReqID->text(), u"8"_s);
        QVERIFY(f.browsing());
    }
};

CVD_TEST_MAIN(tst_startup)
#include "tst_startup.moc"
