// Started from the desktop menu (--menu): the user's own data folder
// ~/Calvedon, and the offer of a new data file when it has none; started
// from a terminal, a missing file is told as before.  Where the help file
// is found.
#include "base/formats.h"
#include "base/globals.h"
#include "db/badfiles.h"
#include "mainwindow/startup.h"
#include "support/fixturedb.h"
#include "support/mainwindowfixture.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <sqlite3.h>

using namespace cvd;
using namespace Qt::StringLiterals;

namespace {

// Every row of `sql` on the file, read with plain SQLite, the columns
// joined by '|'.
QStringList fileRows(const QString& path, const char* sql)
{
    QStringList rows;
    sqlite3* db = nullptr;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK
        && sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK) {
        while (sqlite3_step(st) == SQLITE_ROW) {
            QStringList row;
            for (int i = 0; i < sqlite3_column_count(st); ++i)
                row << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
            rows << row.join(u'|');
        }
    } else {
        rows << u"(cannot read %1)"_s.arg(path);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return rows;
}

// What a data file is made of: every table, index and trigger with its SQL,
// and the Settings record.
QStringList fileMakeUp(const QString& path)
{
    return fileRows(path, "select type, name, tbl_name, sql from sqlite_master order by type, name")
           + fileRows(path, "select * from Settings");
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
}

} // namespace

class tst_menustart : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    QByteArray m_oldHome;

    QString calvedon() const { return m_home.filePath(u"Calvedon"_s); }

    // The program's start with these arguments, as main() makes it.
    static void start(frmMain& w, const QStringList& args) { startUp(w, commandLineText(args), startedFromMenu(args)); }

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

    // --menu is taken out of the command line wherever it stands, so -d
    // still names its folder; without -d the menu starts on ~/Calvedon.
    void arguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("fromMenu");
        QTest::addColumn<QString>("folder"); // ~: the home folder
        QTest::newRow("terminal") << QStringList{} << false << "/work/desk/";
        QTest::newRow("menu") << QStringList{"--menu"} << true << "~/Calvedon/";
        QTest::newRow("menu, then -d") << QStringList{"--menu", "-d", "/srv/cvd"} << true << "/srv/cvd/";
        QTest::newRow("-d, then menu") << QStringList{"-d", "/srv/cvd", "--menu"} << true << "/srv/cvd/";
        QTest::newRow("-d on a folder with blanks") << QStringList{"-d", "/srv/help desk", "--menu"} << true
                                                    << "/srv/help desk/";
        QTest::newRow("another option") << QStringList{"--menue"} << false << "/work/desk/";
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

    // Yes: the folder and a new data file made exactly as `cvdtool create`
    // makes it, and the window shows on it, empty.
    void yesCreatesTheFile()
    {
        QTemporaryDir other;
        QProcess tool;
        tool.start(qEnvironmentVariable("CVDTOOL"), {u"create"_s, other.path()});
        QVERIFY(tool.waitForFinished(60000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0);
        const QStringList expected = fileMakeUp(other.filePath(u"cvd.mdb"_s));
        QVERIFY(expected.size() > 7);

        test::ScriptedPlatform p;
        p.answers << Answer::Yes;
        {
            frmMain w;
            start(w, {u"--menu"_s});
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QCOMPARE(p.messages.size(), 1);
            QCOMPARE(p.messages[0].text, u"There is no Calvedon data file in %1. Create a new, empty one?"_s.arg(calvedon()));
            QCOMPARE(p.messages[0].buttons(), Mb::YesNo);
            QCOMPARE(p.messages[0].icon(), Mb::Question);
            QVERIFY(!p.ended);
            QCOMPARE(DatabasePath, calvedon() + u"/cvd.mdb"_s);
            QCOMPARE(DefaultHourlyRate.units, qint64(400000));
            QCOMPARE(w.windowTitle(), u"Calvedon"_s);
            QVERIFY(w.isVisible() && w.txtReqID->text().isEmpty());
            const QList<QWidget*> controls = w.entryControls();
            QVERIFY(std::none_of(controls.begin(), controls.end(), [](QWidget* c) { return c->isEnabled(); }));
        }
        resetProgramValues(); // the file is released
        const QStringList made = fileMakeUp(calvedon() + u"/cvd.mdb"_s);
        QCOMPARE(made, expected);
        QCOMPARE(fileRows(calvedon() + u"/cvd.mdb"_s, "select count(*) from Settings"), QStringList{u"1"_s});
    }

    // No: the folder is there for next time, but no file is made, and the
    // program ends without another message.
    void noEndsQuietly()
    {
        test::ScriptedPlatform p;
        p.answers << Answer::No;
        {
            frmMain w;
            QVERIFY_THROWS_EXCEPTION(ProgramEnded, start(w, {u"--menu"_s}));
        }
        QCOMPARE(p.messages.size(), 1);
        QCOMPARE(p.messages[0].buttons(), Mb::YesNo);
        QCOMPARE(p.exitCode, 0);
        QVERIFY(QFileInfo(calvedon()).isDir());
        QCOMPARE(entries(calvedon()), QStringList());
    }

    // A data file already in ~/Calvedon: no question, the program starts on it.
    void startsOnTheUsersFile()
    {
        QVERIFY(QDir().mkpath(calvedon()));
        test::createFixtureDb(calvedon());
        test::ScriptedPlatform p;
        frmMain w;
        start(w, {u"--menu"_s});
        QCOMPARE(p.messageTexts(), QStringList());
        QCOMPARE(DatabasePath, calvedon() + u"/cvd.mdb"_s);
        QCOMPARE(w.txtReqID->text(), u"8"_s);
    }

    // A data file that cannot be made is told plainly, and the program ends
    // with nothing left behind.
    void cannotCreate_data()
    {
        QTest::addColumn<bool>("homeLocked"); // otherwise ~/Calvedon is a file
        QTest::newRow("~/Calvedon is a file") << false;
        QTest::newRow("home without write permission") << true;
    }
    void cannotCreate()
    {
        QFETCH(bool, homeLocked);
        if (!homeLocked)
            QVERIFY(test::writeFile(calvedon(), "notes\n"));
        const QStringList before = entries(m_home.path());
        test::ScriptedPlatform p;
        p.answers << Answer::Yes;
        {
            std::unique_ptr<test::Unwritable> locked;
            if (homeLocked) {
                locked = std::make_unique<test::Unwritable>(m_home.path());
                if (!locked->why().isEmpty())
                    QSKIP(qPrintable(locked->why()));
            }
            frmMain w;
            QVERIFY_THROWS_EXCEPTION(ProgramEnded, start(w, {u"--menu"_s}));
        }
        QCOMPARE(p.exitCode, 1);
        QCOMPARE(p.messages.size(), 2);
        const test::MessageCall told = p.messages[1];
        QCOMPARE(told.title, u"Cannot Create Data File"_s);
        QCOMPARE(told.icon(), Mb::Critical);
        QVERIFY2(told.text.contains(u"could not create a new data file in "_s + calvedon()), qPrintable(told.text));
        QCOMPARE(entries(m_home.path()), before);
        QCOMPARE(test::fileBytes(calvedon()), homeLocked ? QByteArray() : QByteArray("notes\n"));
    }

    // Started from a terminal on a folder without the file: the message of
    // before, nothing asked, and no folder made.
    void terminalMissingFile()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(u"nowhere"_s);
        test::ScriptedPlatform p;
        {
            frmMain w;
            QVERIFY_THROWS_EXCEPTION(ProgramEnded, start(w, {u"-d"_s, folder}));
        }
        QCOMPARE(p.messages.size(), 1);
        QCOMPARE(p.messages[0].title, u"Data File Not Found"_s);
        QCOMPARE(p.messages[0].flags, Mb::OkOnly | Mb::Critical);
        QVERIFY(p.messages[0].text.contains(u"cvdtool create "_s + folder));
        QCOMPARE(p.exitCode, 1);
        QVERIFY(!QFileInfo::exists(folder));
        QVERIFY(!QFileInfo::exists(calvedon()));
    }

    // The data folder's own help file first, then the installed one; with
    // neither, the data folder's, which the help window reports as missing.
    void helpFile_data()
    {
        QTest::addColumn<bool>("inData");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<bool>("fromData");
        QTest::newRow("both") << true << true << true;
        QTest::newRow("installed only") << false << true << false;
        QTest::newRow("data folder only") << true << false << true;
        QTest::newRow("neither") << false << false << true;
    }
    void helpFile()
    {
        QFETCH(bool, inData);
        QFETCH(bool, installed);
        QFETCH(bool, fromData);
        QTemporaryDir dir;
        const QString data = dir.filePath(u"data/"_s);
        const QString share = dir.filePath(u"usr/share/calvedon/cvd.hlp"_s);
        QVERIFY(QDir().mkpath(data) && QDir().mkpath(QFileInfo(share).path()));
        QVERIFY(!inData || test::writeFile(data + u"cvd.hlp"_s, "@help Own\n"));
        QVERIFY(!installed || test::writeFile(share, "@help Installed\n"));
        QCOMPARE(helpFilePathFor(data, share), fromData ? data + u"cvd.hlp"_s : share);
    }

    // The installed help file is looked for where the install puts it: in
    // share/calvedon beside the program's bin folder.
    void installedHelpBesideBin()
    {
        QCOMPARE(installedHelpFile(),
                 QDir::cleanPath(QCoreApplication::applicationDirPath() + u"/../share/calvedon/cvd.hlp"_s));
    }
};

CVD_TEST_MAIN(tst_menustart)
#include "tst_menustart.moc"
