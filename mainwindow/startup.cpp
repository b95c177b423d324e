#include "mainwindow/startup.h"

#include "base/damagedfile.h"
#include "base/errorhandler.h"
#include "base/globals.h"
#include "base/platform.h"
#include "db/createdb.h"
#include "db/database.h"
#include "mainwindow/frmmain.h"
#include "search/findquery.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

// Where the installed help file lies, seen from the folder of the program
// (data/CMakeLists.txt tells it from the install folders).
#ifndef CVD_HELP_FROM_BIN
#define CVD_HELP_FROM_BIN "../share/calvedon"
#endif

namespace cvd {

namespace {

QString folderOf(const QString& path)
{
    QString f = path;
    while (f.size() > 1 && f.endsWith(QLatin1Char('/')))
        f.chop(1);
    return QDir::toNativeSeparators(f);
}

// A database on a server that cannot be opened: one message that says why
// in the engine's words (which name the server, never a password) and what
// to do.
void tellServerRefused(const Error& e)
{
    const QString conn = QDir::toNativeSeparators(DatabasePath);
    std::pair<QString, QString> told; // the text and the caption
    switch (e.number()) {
    case ErrNo::ServerUnreachable:
        told = {QStringLiteral("Calvedon cannot connect to the database server named in %1.\n\n%2\n\n"
                               "%1 holds one line, the connection string to the server, such as "
                               "postgresql://helpdesk@dbhost/calvedon.  Check it, and that the server is "
                               "running and can be reached from this computer, then start the program "
                               "again.")
                    .arg(conn, e.text()),
                QStringLiteral("Cannot Reach Database Server")};
        break;
    case ErrNo::LoginRefused:
        told = {QStringLiteral("The database server named in %1 refused the login.\n\n%2\n\n"
                               "Passwords are never kept in %1: they come from ~/.pgpass, PGPASSWORD or "
                               "a service file.  Ask the server's administrator for access if you have "
                               "none, then start the program again.")
                    .arg(conn, e.text()),
                QStringLiteral("Database Server Login Refused")};
        break;
    case ErrNo::FileNotFound:
        told = {QStringLiteral("The database named in %1 does not exist on its server.\n\n%2\n\n"
                               "Check the database's name in %1.  A new database is made on the server by its "
                               "administrator (createdb), and then filled with\n    cvdtool create %1\nor, from a "
                               "data file,\n    cvdtool copy FOLDER %1\nThen start the program again.")
                    .arg(conn, e.text()),
                QStringLiteral("Database Not Found")};
        break;
    case ErrNo::MissingTables:
        told = {QStringLiteral("The database named in %1 does not hold the tables of Calvedon, and "
                               "cannot be used.  Nothing has been changed.\n\n%2\n\n"
                               "Make them there with\n    cvdtool create %1\nor move a data file there "
                               "with\n    cvdtool copy FOLDER %1\nand start the program again.")
                    .arg(conn, e.text()),
                QStringLiteral("Cannot Use Database Server")};
        break;
    default:
        told = {QStringLiteral("The database named in %1 cannot be opened.\n\n%2  %3")
                    .arg(conn)
                    .arg(e.number())
                    .arg(e.text()),
                QStringLiteral("Cannot Open Database")};
        break;
    }
    platform().messageBox(told.first, Mb::OkOnly | Mb::Critical, told.second);
}

// Opens the database: the file, or the server that cvd.conn names.  A file
// in use elsewhere goes to the central handler, which ends the program; any
// other refusal is explained once and ends the program, the file or the
// server untouched.
void openDatabase()
{
    try {
        MainDb = Database::Open(DatabasePath);
    } catch (const Error& e) {
        if (isServerLocation(DatabasePath)) {
            tellServerRefused(e);
            platform().endProgram(1);
            return;
        }
        const QString file = QDir::toNativeSeparators(DatabasePath);
        std::pair<QString, QString> told; // the text and the caption
        switch (e.number()) {
        case ErrNo::DatabaseInUse:
            throw;
        case ErrNo::FileNotFound:
            told = {
                QStringLiteral("The data file %1 was not found.\n\n"
                               "To create a new, empty data file in that folder, run\n"
                               "    cvdtool create %2\n"
                               "or, for one filled with sample requests,\n"
                               "    cvdtool demo %2\n"
                               "and start the program again.  To use a data file in another folder, "
                               "start the program with -d and the folder, for example: cvd -d /path/to/folder")
                    .arg(file, folderOf(DataPath)),
                QStringLiteral("Data File Not Found")};
            break;
        case ErrNo::NotADatabase:
            told = {QStringLiteral("The file %1 is not a Calvedon data file, or it is damaged, "
                                   "and cannot be opened.  The file has not been changed.\n\n(%2)")
                        .arg(file, e.text()),
                    QStringLiteral("Cannot Open Data File")};
            break;
        case ErrNo::MissingTables:
            told = {QStringLiteral("The file %1 is a database, but it does not hold the tables of a "
                                   "Calvedon data file, and cannot be used.  The file has not been changed.\n\n(%2)")
                        .arg(file, e.text()),
                    QStringLiteral("Cannot Open Data File")};
            break;
        case ErrNo::CannotWrite:
            told = {QStringLiteral("The data file %1 cannot be used, because Calvedon could not save "
                                   "anything into it:\n\n%2\n\nThe file has not been changed.  Allow "
                                   "changes to the file and its folder (or copy both to a place where you "
                                   "may write) and start the program again.")
                        .arg(file, e.text()),
                    QStringLiteral("Cannot Write Data File")};
            break;
        default:
            told = {QStringLiteral("The data file %1 cannot be opened.\n\n%2  %3")
                        .arg(file)
                        .arg(e.number())
                        .arg(e.text()),
                    QStringLiteral("Cannot Open Data File")};
            break;
        }
        platform().messageBox(told.first, Mb::OkOnly | Mb::Critical, told.second);
        platform().endProgram(1);
    }
}

// Started from the menu on a folder without a data file: the folder is made
// when missing, and the user is asked once whether to create a new, empty
// data file there, as `cvdtool create` makes it.  No ends the program
// without another word; a file that cannot be created is explained, and
// the program ends.
void offerNewDatabase()
{
    if (QFileInfo::exists(DatabasePath))
        return;
    const QString folder = folderOf(DataPath);
    QDir().mkpath(folder);
    if (platform().messageBox(QStringLiteral("There is no Calvedon data file in %1. Create a new, empty one?").arg(folder),
                              Mb::YesNo | Mb::Question, QStringLiteral("New Data File"))
        != Answer::Yes)
        platform().endProgram(0);
    try {
        createDatabase(folder);
    } catch (const Error& e) {
        platform().messageBox(QStringLiteral("Calvedon could not create a new data file in %1.\n\n%2\n\n"
                                             "Nothing has been created.  Allow changes to that folder, or start "
                                             "the program from a terminal with -d and a folder where you may "
                                             "write, for example: cvd -d /path/to/folder")
                                  .arg(folder, e.text()),
                              Mb::OkOnly | Mb::Critical, QStringLiteral("Cannot Create Data File"));
        platform().endProgram(1);
    }
}

// The structure of the file is checked beside the program once it is open
// (the engine's quick check); a damaged file is told to the user once, as
// soon as the check has found it.  Until then, and for good when the file
// is damaged, the engine lets nothing be written to it.
void tellWhenDamaged()
{
    if (MainDb->isServer()) // the server keeps its own structure
        return;
    const std::weak_ptr<Database> checked = MainDb;
    MainDb->whenChecked([=](const QStringList& damage) {
        if (damage.isEmpty())
            return;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [=] {
                if (checked.lock() != MainDb) // the program has moved on to another file
                    return;
                guarded([&] { tellDamagedFile(damage); });
            },
            Qt::QueuedConnection);
    });
}

// A login on a server that may read the requests but not change them: told
// once, and the program works read-only instead of failing at each save.
void tellReadOnly()
{
    const QStringList missing = MainDb->missingRights();
    QString lacks;
    for (const QString& lack : missing.mid(0, 3))
        lacks += QStringLiteral("\n    ") + lack;
    if (missing.size() > 3)
        lacks += QStringLiteral("\n    and %1 more (cvdtool check names them all)").arg(missing.size() - 3);
    platform().messageBox(QStringLiteral("This login can read but not change the database %1.  Requests can be viewed, "
                                         "not saved.\n\nThe login lacks:%2\n\nAsk the server's administrator to give "
                                         "it the rights of a desk (desk-role.sql, installed with Calvedon), then start "
                                         "the program again.")
                              .arg(MainDb->path(), lacks),
                          Mb::OkOnly | Mb::Exclamation, QStringLiteral("Read-Only Database"));
}

// A file without its Settings record gets an empty one, so that the
// defaults can be set; the user is told that costs are computed with 0
// until then.
void addMissingSettings(Recordset& settings)
{
    settings.AddNew();
    settings.Update();
}

void tellMissingSettings()
{
    platform().messageBox(QStringLiteral("The data file %1 held no program defaults (its Settings record was "
                                         "missing).  Until you set the hourly rate, the minimum charge and the bill "
                                         "heading in File > Maintain Program Defaults, costs are computed with an "
                                         "hourly rate and a minimum charge of 0.")
                              .arg(QDir::toNativeSeparators(DatabasePath)),
                          Mb::OkOnly | Mb::Exclamation, QStringLiteral("Program Defaults Missing"));
}

// A set that failed to open is reported like any other failure of a step.
template <class T>
T& must(const std::unique_ptr<T>& p)
{
    if (!p)
        raise(ErrNo::ObjectNotSet, QStringLiteral("Object variable or With block variable not set"));
    return *p;
}

} // namespace

bool startedFromMenu(const QStringList& argumentsAfterProgram) { return argumentsAfterProgram.contains(MenuOption); }

QString commandLineText(const QStringList& argumentsAfterProgram)
{
    QStringList rest = argumentsAfterProgram;
    rest.removeAll(MenuOption);
    return rest.join(QLatin1Char(' '));
}

QString dataPathFromCommandLine(const QString& commandLine, const QString& currentDirectory)
{
    const qsizetype p = commandLine.indexOf(QLatin1String("-d"), 0, Qt::CaseSensitive);
    if (p >= 0)
        return commandLine.mid(p + 3) + QLatin1Char('/'); // from 1-based position p + 3
    return currentDirectory + QLatin1Char('/');
}

QString userDataFolder() { return QDir::homePath() + QStringLiteral("/Calvedon"); }

QString installedHelpFile()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/" CVD_HELP_FROM_BIN "/cvd.hlp"));
}

QString helpFilePathFor(const QString& dataPath, const QString& installedHelp)
{
    const QString own = dataPath + QStringLiteral("cvd.hlp");
    if (QFileInfo(own).isFile() || installedHelp.isEmpty() || !QFileInfo(installedHelp).isFile())
        return own;
    return installedHelp;
}

void startUp(frmMain& w, const QString& commandLine, bool fromMenu)
{
    const QuietDamage once; // a damaged file is told once, whatever meets it first
    std::unique_ptr<Recordset> settings;
    bool noSettings = false;
    trapSteps({
        // 1. Every list is filled at the first activation.
        [] { CatListChanged = CustListChanged = DeptListChanged = PriListChanged = StaffListChanged = true; },
        // 2. The data folder.
        [&] { DataPath = dataPathFromCommandLine(commandLine, fromMenu ? userDataFolder() : QDir::currentPath()); },
        // 3. Report defaults.
        [] {
            ReportEndDate = QDate::currentDate();
            ReportStartDate = QDate(ReportEndDate.year(), ReportEndDate.month(), 1);
            LandscapeWanted = true;
        },
        // 4. The files in the data folder.
        [] {
            HelpFilePath = helpFilePathFor(DataPath, installedHelpFile());
            DatabasePath = locateDatabase(DataPath);
        },
        // 5. The database, for this program alone; from the menu, a new one
        //    when the user wants it.
        [&] {
            if (fromMenu)
                offerNewDatabase();
            openDatabase();
        },
        [] { tellWhenDamaged(); },
        // 6. All requests, newest first.
        [] { ReqSet = MainDb->OpenRecordset(AllRequestsSql, RecordsetType::Dynaset); },
        // 7. The costing values; an empty field is reported and leaves 0.
        [&] { settings = MainDb->OpenRecordset(QStringLiteral("Settings"), RecordsetType::Table); },
        [&] {
            noSettings = must(settings).RecordCount() == 0;
            if (noSettings)
                addMissingSettings(*settings);
        },
        [&] {
            if (noSettings)
                tellMissingSettings();
        },
        [&] {
            if (!noSettings)
                must(settings).MoveFirst();
        },
        [&] {
            if (!noSettings)
                DefaultMinCharge = must(settings).Field(QStringLiteral("DefMinCharge")).toCurrency();
        },
        [&] {
            if (!noSettings)
                DefaultHourlyRate = must(settings).Field(QStringLiteral("DefHourlyRate")).toCurrency();
        },
        [&] { must(settings).Close(); },
        // 8. The first request, or empty disabled fields.
        [&] {
            Recordset& rs = must(ReqSet);
            if (rs.RecordCount() == 0) {
                w.DisableFields();
            } else {
                rs.MoveLast();
                rs.MoveFirst();
                w.ShowRecord();
            }
        },
        // 9. Browsing.
        [&] {
            w.Editing = false;
            w.Adding = false;
            w.BrowseLayout();
        },
        // A login that cannot change the requests works read-only.
        [&] {
            if (MainDb && !MainDb->canWrite(QStringLiteral("Req"))) {
                tellReadOnly();
                w.setReadOnly();
            }
        },
    });
}

} // namespace cvd
