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
        return test::sqlRows(folder + u"/cvd.mdb"_s, u"select type, name, tbl_name, sql from sqlite_master order by "
                                                     u"type, name"_s) + test::sqlRows(folder + u"/cvd.mdb"_s, u"select * from Settings"_s);
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
    }
    void cleanup() { resetProgramValues(); }

    // The first "-d", in lower case, names the folder from its third
    // character on; --menu is taken out wherever it stands.  Without -d:
    // the current directory, or ~/Calvedon from the menu.
    void arguments_data()
    {
        test::columns<QStringList, bool, QString>("args", "fromMenu", "folder"); // folder ~: the home folder
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
        QFETCH(QString, folder);
        QTEST(startedFromMenu(args), "fromMenu");
        const QString fallback = startedFromMenu(args) ? userDataFolder() : u"/work/desk"_s;
        QCOMPARE(dataPathFromCommandLine(commandLineText(args), fallback), folder.replace(u'~', m_home.path()));
    }

    // The values set from the data folder (from the menu: ~/Calvedon, with
    // no question when it holds a data file).  Each empty costing value is
    // reported and stays 0; a missing Settings record is told once and an
    // empty one added for the defaults window.  Start-up goes on to the
    // newest request.
    void startsOnFile_data()
    {
        // sql: run on the file first; told: each message as "title: text"
        test::columns<bool, QString, qint64, qint64, QStringList>("fromMenu", "sql", "rate", "minimum", "told");
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
        QTEST(qint64(DefaultHourlyRate.units), "rate");
        QTEST(qint64(DefaultMinCharge.units), "minimum");
        QCOMPARE(test::fileQuery(u"select count(*) from Settings"_s) + ' ' + f.w->txtReqID->text(), u"1 8"_s);
        QCOMPARE(DatabasePath + ' ' + HelpFilePath, folder + u"/cvd.mdb "_s + folder + u"/cvd.hlp"_s);
        const QDate today = QDate::currentDate();
        QVERIFY(ReportEndDate == today && ReportStartDate == QDate(today.year(), today.month(), 1));
    }

    // A data file that is missing, cannot be opened or cannot be written:
    // one message that names it and says why (the title included), the
    // program ends, and the folder and the file are left as they were; a
    // missing folder is not made.  (A file in use, a folder that cannot be
    // written: tst_filesafety and tst_database, at opening.)
    void unopenableDataFile_data()
    {
        // The file's bytes, or the fixture "read-only"; "missing".
        // shown: parts of "title: text" besides the file, by '|'; %1: the data folder
        test::columns<QByteArray, QString>("content", "shown");
        QTest::newRow("missing") << QByteArray("missing") << "Data File Not Found: |cvdtool create %1|cvdtool demo %1";
        QTest::newRow("text file") << QByteArray("Name,Phone\nAnn,555-1234\n") << "not a Calvedon data file";
        QTest::newRow("read-only file") << QByteArray("read-only") << "Cannot Write Data File: |cannot be written";
    }
    void unopenableDataFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, shown);
        QTemporaryDir dir;
        const QString folder = dir.filePath(u"data"_s), path = folder + u"/cvd.mdb"_s;
        const bool missing = content == "missing";
        const bool onFixture = content == "read-only";
        QVERIFY(missing || QDir().mkpath(folder));
        QVERIFY(!onFixture || !test::createFixtureDb(folder).isEmpty());
        if (!missing && !onFixture)
            QVERIFY(test::writeFile(path, content));
        const QByteArray before = test::fileBytes(path);
        test::ScriptedPlatform p;
        {
            std::optional<test::Unwritable> locked;
            if (onFixture && !locked.emplace(path).why().isEmpty())
                QSKIP(qPrintable(locked->why()));
            frmMain w;
            QVERIFY_THROWS_EXCEPTION(ProgramEnded, startUp(w, "-d " + folder));
        }
        resetProgramValues();
        QVERIFY(p.messages.size() == 1 && p.exitCode == 1 && p.messages[0].icon() == Mb::Critical);
        const QString told = p.messages[0].title + u": "_s + p.messages[0].text;
        for (const QString& s : (shown + u"|%1/cvd.mdb"_s).split(u'|'))
            QVERIFY2(told.contains(s.arg(folder)), qPrintable(told));
        QCOMPARE(test::fileBytes(path), before);
        QCOMPARE(test::folderFiles(folder), missing ? QStringList() : QStringList{"cvd.mdb"});
        QVERIFY(QFileInfo::exists(folder) != missing && !QFileInfo::exists(calvedon()));
    }

    // From the menu, ~/Calvedon without a data file: the user is asked once.
    // Yes makes the folder and a new data file exactly as `cvdtool create`
    // makes it, and the window shows on it, empty; No ends the program,
    // leaving the folder for next time.
    void offer_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("Yes") << int(Answer::Yes);
        QTest::newRow("No") << int(Answer::No);
    }
    void offer()
    {
        QFETCH(int, answer);
        const bool yes = answer == int(Answer::Yes);
        test::ScriptedPlatform p;
        p.answers << Answer(answer);
        {
            frmMain w;
            if (!yes) {
                QVERIFY_THROWS_EXCEPTION(ProgramEnded, start(w, {u"--menu"_s}));
            } else {
                start(w, {u"--menu"_s});
                w.show();
                QVERIFY(QTest::qWaitForWindowExposed(&w));
                QCOMPARE(DatabasePath + ' ' + w.windowTitle(), calvedon() + u"/cvd.mdb Calvedon"_s);
                QVERIFY(w.txtReqID->text().isEmpty() && !w.txtShortDesc->isEnabled());
            }
        }
        resetProgramValues(); // the file is released
        QVERIFY(p.exitCode == (yes ? -1 : 0) && p.messages.size() == 1 && QFileInfo(calvedon()).isDir());
        QCOMPARE(p.messages[0].text, u"There is no Calvedon data file in %1. Create a new, empty one?"_s.arg(calvedon()));
        QVERIFY(p.messages[0].buttons() == Mb::YesNo && p.messages[0].icon() == Mb::Question);
        QCOMPARE(test::folderFiles(calvedon()).isEmpty(), !yes);
        if (!yes)
            return;
        QTemporaryDir other;
        QCOMPARE(test::runCvdTool({u"create"_s, other.path()}).exitCode, 0);
        QVERIFY(makeUp(calvedon()).size() > 7);
        QCOMPARE(makeUp(calvedon()), makeUp(other.path()));
    }
};

CVD_TEST_MAIN(tst_startup)
#include "tst_startup.moc"
