// Start-up, from a terminal or from the desktop menu (--menu): the data
// folder from the command line, the values set, the help file found, and
// what the user sees when the data file is missing, cannot be opened or
// written, or has empty or missing costing values; from the
// menu, the user's own folder ~/Calvedon and the offer of a new data file.
#include "base/formats.h"
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
#include <optional>

using namespace cvd;
using namespace Qt::StringLiterals;

class tst_startup : public QObject {
    Q_OBJECT

    QTemporaryDir m_home; // HOME while the tests run
    QByteArray m_oldHome;

    QString calvedon() const { return m_home.filePath(u"Calvedon"_s); }
    // The program's start with these arguments, as main() makes it.
    static void start(frmMain& w, const QStringList& args) { startUp(w, commandLineText(args), startedFromMenu(args)); }
    // What a data file is made of: every table, index and trigger, and the Settings record.
    static QStringList makeUp(const QString& folder)
    {
        const QString file = folder + u"/cvd.mdb"_s;
        return test::sqlRows(file, u"select type, name, tbl_name, sql from sqlite_master order by type, name"_s)
               + test::sqlRows(file, u"select * from Settings"_s);
    }

private slots:
    void initTestCase()
    {
        m_oldHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(m_home.path()));
        QCOMPARE(QDir::homePath(), m_home.path());
    }
    void cleanupTestCase() { qputenv("HOME", m_oldHome); }
    void init()
    {
        resetProgramValues();
        fmt::setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        QDir(calvedon()).removeRecursively();
        QFile::remove(calvedon());
    }
    void cleanup() { resetProgramValues(); }

    // The first "-d", in lower case, names the folder from its third
    // character on; --menu is taken out wherever it stands.  Without -d:
    // the current directory, or ~/Calvedon from the menu.
    void arguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("fromMenu");
        QTest::addColumn<QString>("folder"); // ~: the home folder
        QTest::newRow("terminal") << QStringList{} << false << "/work/desk/";
        QTest::newRow("upper-case D not recognised") << QStringList{"-D", "/data"} << false << "/work/desk/";
        QTest::newRow("-d later on the line") << QStringList{"--verbose", "-d", "/srv/cvd"} << false << "/srv/cvd/";
        QTest::newRow("first -d counts") << QStringList{"-d", "/a-d/b"} << false << "/a-d/b/";
        QTest::newRow("menu") << QStringList{"--menu"} << true << "~/Calvedon/";
        QTest::newRow("-d on a folder with blanks, then menu") << QStringList{"-d", "/srv/help desk", "--menu"} << true
                                                               << "/srv/help desk/";
    }
    void arguments()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, fromMenu);
        QFETCH(QString, folder);
        QCOMPARE(startedFromMenu(args), fromMenu);
        const QString fallback = fromMenu ? userDataFolder() : u"/work/desk"_s;
        QCOMPARE(dataPathFromCommandLine(commandLineText(args), fallback), folder.replace(u'~', m_home.path()));
    }

    // The values set from the data folder (from the menu: ~/Calvedon, with
    // no question when it holds a data file).  Each empty costing value is
    // reported and stays 0; a missing Settings record is told once and an
    // empty one added for the defaults window.  Start-up goes on to the
    // newest request.
    void startsOnFile_data()
    {
        QTest::addColumn<bool>("fromMenu");
        QTest::addColumn<QString>("sql"); // run on the file first
        QTest::addColumn<qint64>("rate");
        QTest::addColumn<qint64>("minimum");
        QTest::addColumn<QStringList>("told"); // each message as "title: text"
        const QString null = u"^cvd: 94  Invalid use of Null$"_s;
        QTest::newRow("as created") << false << "" << qint64(400000) << qint64(250000) << QStringList{};
        QTest::newRow("from the menu") << true << "" << qint64(400000) << qint64(250000) << QStringList{};
        QTest::newRow("both empty") << false << "UPDATE Settings SET DefHourlyRate = NULL, DefMinCharge = NULL"
                                    << qint64(0) << qint64(0) << QStringList{null, null};
        QTest::newRow("minimum empty") << false << "UPDATE Settings SET DefMinCharge = NULL" << qint64(400000)
                                       << qint64(0) << QStringList{null};
        QTest::newRow("no Settings record") << false << "DELETE FROM Settings" << qint64(0) << qint64(0)
            << QStringList{u"^Program Defaults Missing: .*File > Maintain Program Defaults"_s};
    }
    void startsOnFile()
    {
        QFETCH(bool, fromMenu);
        QFETCH(QString, sql);
        QFETCH(qint64, rate);
        QFETCH(qint64, minimum);
        QFETCH(QStringList, told);
        test::MainWindowFixture f;
        const QString folder = fromMenu ? calvedon() : f.dir.path();
        QVERIFY(!fromMenu || (QDir().mkpath(folder) && !test::createFixtureDb(folder).isEmpty()));
        QVERIFY(sql.isEmpty() || test::execSql(folder + u"/cvd.mdb"_s, sql.toUtf8().constData()));
        if (fromMenu)
            start(*f.w, {u"--menu"_s});
        else
            f.started();
        QCOMPARE(f.p.messages.size(), told.size());
        for (int i = 0; i < told.size(); ++i) {
            const QString m = f.p.messages[i].title + u": "_s + f.p.messages[i].text;
            QVERIFY2(m.contains(QRegularExpression(told[i], QRegularExpression::DotMatchesEverythingOption)), qPrintable(m));
        }
        QVERIFY(!f.p.ended && f.browsing());
        QCOMPARE(DefaultHourlyRate.units, rate);
        QCOMPARE(DefaultMinCharge.units, minimum);
        QCOMPARE(test::fileQuery(u"select count(*) from Settings"_s), u"1"_s);
        QCOMPARE(f.w->txtReqID->text(), u"8"_s);
        QCOMPARE(DatabasePath, folder + u"/cvd.mdb"_s);
        QCOMPARE(HelpFilePath, folder + u"/cvd.hlp"_s);
        QCOMPARE(ReportEndDate, QDate::currentDate());
        QCOMPARE(ReportStartDate, QDate(ReportEndDate.year(), ReportEndDate.month(), 1));
    }

    // A data file that is missing, cannot be opened or cannot be written:
    // one message that names it and says why (the title included), the
    // program ends, and the folder and the file are left as they were; a
    // missing folder is not made.
    void unopenableDataFile_data()
    {
        // The file's bytes, or the fixture "in use", "read-only" or in a
        // "locked folder"; "missing".
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("shown"); // parts of "title: text" besides the file, by '|'; %1: the data folder
        QTest::newRow("missing") << QByteArray("missing") << "Data File Not Found: |cvdtool create %1|cvdtool demo %1";
        QTest::newRow("text file") << QByteArray("Name,Phone\nAnn,555-1234\n") << "not a Calvedon data file";
        QTest::newRow("in use") << QByteArray("in use") << "The database is in use.";
        QTest::newRow("read-only file") << QByteArray("read-only") << "Cannot Write Data File: |cannot be written";
        QTest::newRow("folder without write permission") << QByteArray("locked folder")
                                                         << "Cannot Write Data File: |folder '%1'";
    }
    void unopenableDataFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, shown);
        QTemporaryDir dir;
        const QString folder = dir.filePath(u"data"_s), path = folder + u"/cvd.mdb"_s;
        const bool missing = content == "missing";
        const bool onFixture = QByteArrayList{"in use", "read-only", "locked folder"}.contains(content);
        QVERIFY(missing || QDir().mkpath(folder));
        QVERIFY(!onFixture || !test::createFixtureDb(folder).isEmpty());
        if (!missing && !onFixture)
            QVERIFY(test::writeFile(path, content));
        const QByteArray before = test::fileBytes(path);
        const std::shared_ptr<Database> first = content == "in use" ? Database::Open(path) : nullptr;
        test::ScriptedPlatform p;
        {
            std::optional<test::Unwritable> locked;
            if (content == "read-only" || content == "locked folder") {
                if (!locked.emplace(content == "read-only" ? path : folder).why().isEmpty())
                    QSKIP(qPrintable(locked->why()));
            }
            frmMain w;
            QVERIFY_THROWS_EXCEPTION(ProgramEnded, startUp(w, "-d " + folder));
        }
        resetProgramValues();
        QCOMPARE(p.messages.size(), 1);
        QVERIFY(content == "in use" || p.messages[0].icon() == Mb::Critical);
        QCOMPARE(p.exitCode, 1);
        const QString told = p.messages[0].title + u": "_s + p.messages[0].text;
        for (const QString& s : (content == "in use" ? shown : shown + u"|%1/cvd.mdb"_s).split(u'|'))
            QVERIFY2(told.contains(s.arg(folder)), qPrintable(told));
        QCOMPARE(test::fileBytes(path), before);
        QCOMPARE(test::folderFiles(folder), missing ? QStringList() : QStringList{"cvd.mdb"});
        QVERIFY(QFileInfo::exists(folder) != missing && !QFileInfo::exists(calvedon()));
        if (first) // the first user keeps working
            QVERIFY(first->OpenRecordset(u"Select * from Req"_s)->RecordCount() > 0);
    }

    // From the menu, ~/Calvedon without a data file: the user is asked once.
    // Yes makes the folder and a new data file exactly as `cvdtool create`
    // makes it, and the window shows on it, empty; No ends the program,
    // leaving the folder for next time; a data file that cannot be made is
    // told plainly, and the program ends with nothing left behind.
    void offer_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("home"); // "file": ~/Calvedon is a file
        QTest::addColumn<int>("exitCode"); // -1: the program runs
        QTest::newRow("Yes") << int(Answer::Yes) << "" << -1;
        QTest::newRow("No") << int(Answer::No) << "" << 0;
        QTest::newRow("~/Calvedon is a file") << int(Answer::Yes) << "file" << 1;
    }
    void offer()
    {
        QFETCH(int, answer);
        QFETCH(QString, home);
        QFETCH(int, exitCode);
        QVERIFY(home != "file" || test::writeFile(calvedon(), "notes\n"));
        const QStringList before = test::folderFiles(m_home.path());
        test::ScriptedPlatform p;
        p.answers << Answer(answer);
        {
            frmMain w;
            if (exitCode >= 0) {
                QVERIFY_THROWS_EXCEPTION(ProgramEnded, start(w, {u"--menu"_s}));
            } else {
                start(w, {u"--menu"_s});
                w.show();
                QVERIFY(QTest::qWaitForWindowExposed(&w));
                QCOMPARE(DatabasePath, calvedon() + u"/cvd.mdb"_s);
                QCOMPARE(w.windowTitle(), u"Calvedon"_s);
                QVERIFY(w.isVisible() && w.txtReqID->text().isEmpty());
                for (const QWidget* c : w.entryControls())
                    QVERIFY(!c->isEnabled());
            }
        }
        resetProgramValues(); // the file is released
        QCOMPARE(p.exitCode, exitCode);
        QCOMPARE(p.messages.size(), exitCode == 1 ? 2 : 1);
        QCOMPARE(p.messages[0].text, u"There is no Calvedon data file in %1. Create a new, empty one?"_s.arg(calvedon()));
        QVERIFY(p.messages[0].buttons() == Mb::YesNo && p.messages[0].icon() == Mb::Question);
        if (exitCode == 1) {
            const test::MessageCall told = p.messages[1];
            QVERIFY(told.title == u"Cannot Create Data File"_s && told.icon() == Mb::Critical);
            QVERIFY2(told.text.contains(u"could not create a new data file in "_s + calvedon()), qPrintable(told.text));
            QCOMPARE(test::folderFiles(m_home.path()), before);
        }
        QCOMPARE(test::fileBytes(calvedon()), home == "file" ? QByteArray("notes\n") : QByteArray());
        QCOMPARE(QFileInfo(calvedon()).isDir(), exitCode <= 0);
        if (exitCode >= 0) {
            QCOMPARE(test::folderFiles(calvedon()), QStringList());
            return;
        }
        QTemporaryDir other;
        QCOMPARE(test::runCvdTool({u"create"_s, other.path()}).exitCode, 0);
        const QStringList made = makeUp(calvedon());
        QVERIFY(made.size() > 7);
        QCOMPARE(made, makeUp(other.path()));
    }
};

CVD_TEST_MAIN(tst_startup)
#include "tst_startup.moc"
