// cvdtool: makes, checks, backs up, copies and recovers Calvedon's
// databases (data files, or a PostgreSQL server's), and runs its reports.
#include "base/version.h"
#include "db/copydb.h"
#include "db/errors.h"
#include "tools/checkdb.h"
#include "tools/createdb.h"
#include "tools/demodata.h"
#include "tools/recover.h"
#include "tools/cvdtool_args.h"

#include <QRegularExpression>
#include <QStringList>
#include <cstdio>

namespace {

// Each command of the usage: what follows its name, and what it does (as
// its --help says it; the usage indents it).
struct CommandText {
    const char* name;
    const char* syntax;
    const char* text;
};
const CommandText kCommandTexts[] = {
    {"create", "DATABASE",
     "Makes a new database: the empty tables and the default settings\n"
     "(hourly rate 40.00, minimum charge 25.00)."},
    {"demo", "DATABASE [--requests N] [--customers N] [--seed S]",
     "Makes a new database filled with demo customers, departments, staff,\n"
     "categories, priorities and N requests (default 500) of the last three\n"
     "years.  --customers N makes N customers (default: a fixed list of 36;\n"
     "beyond those the names are made up).  The same seed (default 1) gives\n"
     "the same records."},
    {"report",
     "DATABASE KIND [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--select ID]\n"
     "                 [--state open|resolved|all] [--portrait] -o FILE",
     "Runs a report of the Reports menu on the database without a window.\n"
     "KIND is listing-staff, listing-customer, listing-department,\n"
     "listing-category, hours, charges-customer, charges-department,\n"
     "bills-customer or bills-department.  The requests dated --from to --to\n"
     "(default: the first day of the current month to today); --select ID\n"
     "only those of one staff member (listing-staff, hours), customer,\n"
     "department/company or category (by the kind), as its number in the\n"
     "database; --state the open or the resolved ones only (default all);\n"
     "--portrait prints a listing in portrait (default landscape).  FILE\n"
     "ending in .pdf gets the previewed report as PDF; any other FILE the\n"
     "report's text file, as the menu command writes it; - writes the text\n"
     "file to the standard output.  FILE is replaced only when the report\n"
     "is complete.  Refused while Calvedon has the data file open."},
    {"check", "DATABASE",
     "Checks the database: the tables and columns the program needs, the\n"
     "Settings record, and for a data file SQLite's full integrity check.\n"
     "Prints \"ok\" (exit status 0) or what is wrong (exit status 1)."},
    {"backup", "DATABASE FILE",
     "Writes a consistent copy of the database to FILE, a new data file:\n"
     "a data file through SQLite's online backup, a server's records as\n"
     "they were when the backup began.  FILE must not exist yet; a damaged\n"
     "data file is not copied (recover it instead).  To restore a backup,\n"
     "close Calvedon and put the backup in place of cvd.mdb, named cvd.mdb\n"
     "(or copy it to a server with cvdtool copy)."},
    {"copy", "SOURCE DESTINATION",
     "Copies every record of SOURCE, with its number, into DESTINATION: a\n"
     "new data file, or a database on a server (its tables are made when it\n"
     "has none; one that holds records is refused).  Then reads the copy\n"
     "back and prints, for each table, its records and SHA-256 checksum\n"
     "in SOURCE and in the copy.  A copy that differs is not kept, and the\n"
     "exit status is 1.  SOURCE is only read.  Records that name a record\n"
     "SOURCE lacks (a request assigned to a staff member no longer on\n"
     "file) are copied as they are and counted."},
    {"recover", "FOLDER FILE",
     "Copies every record of a damaged FOLDER/cvd.mdb that can still be\n"
     "read into FILE, a new data file, keeping the records' numbers, and\n"
     "says how many records of each table were saved and how many could\n"
     "not be read.  The damaged file is only read."},
};

const char kUsageEnd[] =
    "  cvdtool --help\n"
    "  cvdtool --version\n"
    "DATABASE, SOURCE and DESTINATION are each a data folder (the server its\n"
    "cvd.conn names, or else its cvd.mdb), a *.mdb or *.conn file, or a\n"
    "connection string such as postgresql://helpdesk@dbhost/calvedon.  create\n"
    "and demo take a folder (made when missing) or a server.  Passwords are\n"
    "never part of a connection string: they come from ~/.pgpass, PGPASSWORD\n"
    "or a service file.\n"
    "An existing cvd.mdb is never overwritten by create, demo or copy, nor an\n"
    "existing FILE by backup or recover, nor a server's tables by create or\n"
    "demo.  Every command that opens an existing cvd.mdb is refused while\n"
    "Calvedon has it open.\n";

const CommandText* findCommand(const QString& name)
{
    for (const CommandText& c : kCommandTexts)
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

// Every command, then the notes.
QByteArray usage()
{
    QByteArray text = "Usage:\n";
    for (const CommandText& c : kCommandTexts) {
        text += QByteArray("  cvdtool ") + c.name + ' ' + c.syntax + '\n';
        for (const QByteArray& line : QByteArray(c.text).split('\n'))
            text += "      " + line + '\n';
    }
    return text + kUsageEnd;
}

int usageError(const QString& what)
{
    std::fprintf(stderr, "cvdtool: %s\n\n%s", qPrintable(what), usage().constData());
    return 2;
}

bool readNumber(const QString& text, qlonglong min, qlonglong& value)
{
    bool ok = false;
    value = text.toLongLong(&ok);
    return ok && value >= min;
}

// Each table of a copy with its records and checksum in the source and in
// the copy; exit status 1 when they differ.
int printCopy(const cvd::CopyReport& report)
{
    for (const cvd::TableCopy& t : report.tables) {
        if (t.matches())
            std::printf("%-10s %9lld records  sha256 %s  copy alike\n", qPrintable(t.table), t.source.rows,
                        t.source.sha256.constData());
        else
            std::printf("%-10s %9lld records  sha256 %s  copy DIFFERS: %lld records  sha256 %s\n", qPrintable(t.table),
                        t.source.rows, t.source.sha256.constData(), t.copy.rows, t.copy.sha256.constData());
    }
    if (!report.matches()) {
        std::fprintf(stderr, "cvdtool: the copy of %s differs from it, and was not kept in %s.\n",
                     qPrintable(report.source), qPrintable(report.copy));
        return 1;
    }
    std::printf("Copied %s to %s.\n", qPrintable(report.source), qPrintable(report.copy));
    // Records that name a record the source does not hold (an older file's
    // requests assigned to staff since removed, say) are copied as they are.
    for (const cvd::BrokenReferences& b : report.broken)
        std::printf("%s (copied as it is).\n", qPrintable(b.describe()));
    return 0;
}

} // namespace

// cvdtool report (cvdtool_report.cpp).
int reportCommand(int argc, char** argv, const QStringList& args, const QString& syntax, const QString& description);

namespace {

// A command other than report: its arguments, then its work.
int runCommand(const CommandText& c, const QStringList& args)
{
    const QString command = QString::fromLatin1(c.name);
    QCommandLineParser parser;
    const QCommandLineOption requests(QStringLiteral("requests"), QStringLiteral("Makes N requests (default 500)."),
                                      QStringLiteral("N"));
    const QCommandLineOption customers(QStringLiteral("customers"), QStringLiteral("Makes N customers (default 36)."),
                                       QStringLiteral("N"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("The seed of the records (default 1)."),
                                  QStringLiteral("S"));
    // Only demo has options (asking the parser of another command about
    // them would print Qt's warning).
    const bool demo = command == QLatin1String("demo");
    if (demo)
        parser.addOptions({requests, customers, seed});
    const QStringList names = QString::fromLatin1(c.syntax).split(u' ').filter(QRegularExpression(QStringLiteral("^[A-Z]+$")));
    for (const QString& name : names)
        parser.addPositionalArgument(name, QString());
    if (const auto done = cvd::tools::readCommandLine(parser, command, QString::fromLatin1(c.syntax), QString::fromLatin1(c.text), args,
                                          usageError))
        return *done;
    const QStringList given = parser.positionalArguments();
    if (given.isEmpty())
        return usageError(QStringLiteral("cvdtool %1 needs a DATABASE: a folder, a *.mdb or *.conn file, or a "
                                         "connection string.").arg(command));
    if (given.size() < names.size())
        return usageError(QStringLiteral("cvdtool %1 needs %2 after %3.").arg(command, names.last(), given[0]));
    if (given.size() > names.size())
        return usageError(QStringLiteral("'%1' is one argument too many for cvdtool %2.").arg(given[names.size()], command));
    const QString folder = given[0], second = given.value(1);

    cvd::tools::DemoOptions options;
    for (const QCommandLineOption* o : {&requests, &customers, &seed}) {
        if (!demo || !parser.isSet(*o))
            continue;
        const QString option = QStringLiteral("--") + o->names().constFirst(), value = parser.value(*o);
        const bool isSeed = o == &seed;
        qlonglong v = 0;
        if (!readNumber(value, 0, v) || (!isSeed && v > 100'000'000))
            return usageError(QStringLiteral("%1 '%2' is not a whole number%3.")
                                  .arg(option, value, isSeed ? QString() : QStringLiteral(" from 0 to 100000000")));
        if (o == &requests)
            options.requests = int(v);
        else if (o == &customers)
            options.customers = int(v);
        else
            options.seed = std::uint64_t(v);
    }
    try {
        if (command == QLatin1String("create")) {
            std::printf("Created %s.\n", qPrintable(cvd::tools::createDatabaseAt(folder)));
        } else if (command == QLatin1String("demo")) {
            std::printf("Created %s.\n", qPrintable(cvd::tools::createDemoDatabaseAt(folder, options)));
        } else if (command == QLatin1String("check")) {
            const QStringList problems = cvd::tools::checkDatabase(folder);
            const QString note = cvd::tools::checkNote(folder);
            if (!note.isEmpty())
                std::fprintf(stderr, "cvdtool: %s\n", qPrintable(note));
            for (const QString& p : problems)
                std::printf("%s\n", qPrintable(p));
            if (problems.isEmpty())
                std::printf("ok\n");
            return problems.isEmpty() ? 0 : 1;
        } else if (command == QLatin1String("backup")) {
            const QString name = cvd::tools::backupDatabaseFile(folder, second);
            std::printf("Backed up %s to %s.\n", qPrintable(name), qPrintable(second));
        } else if (command == QLatin1String("copy")) {
            return printCopy(cvd::copyDatabase(folder, second));
        } else {
            std::fputs(qPrintable(cvd::tools::recoveryReport(cvd::tools::recoverDatabase(folder, second), folder, second)), stdout);
        }
    } catch (const cvd::Error& e) {
        std::fprintf(stderr, "cvdtool: error %d: %s\n", e.number(), qPrintable(e.text()));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (args.isEmpty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) {
        std::fputs(usage().constData(), args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? 2 : 0;
    }
    if (args[0] == QLatin1String("--version")) {
        std::printf("cvdtool %s\n", qPrintable(cvd::programVersion()));
        return 0;
    }
    const QString command = args.takeFirst();
    const CommandText* c = findCommand(command);
    if (!c)
        return usageError(QStringLiteral("'%1' is not a command of cvdtool.").arg(command));
    if (command == QLatin1String("report"))
        return reportCommand(argc, argv, args, QString::fromLatin1(c->syntax).simplified(), QString::fromLatin1(c->text));
    return runCommand(*c, args);
}
