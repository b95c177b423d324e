// cvdtool report: the reports of the Reports menu without a window.  The
// same report procedures run as for the menu commands; the answers of the
// report options dialog come from the command line, the preview's document
// is written as PDF, and anything the program would say in a message box is
// printed on the error output.
#include "db/createdb.h"
#include "db/newfile.h"
#include "db/database.h"
#include "db/errors.h"
#include "base/formats.h"
#include "base/globals.h"
#include "base/headlessplatform.h"
#include "base/lookupentries.h"
#include "reports/pagerender.h"
#include "reports/reportoutput.h"
#include "reports/reportkinds.h"
#include "reports/reportwindows.h"
#include "tools/cvdtool_args.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>

using namespace cvd;

namespace {

// Says on the error output what the program would show in a message box;
// every question gets its first button.  Counts what is not a mere note.
class ConsolePlatform : public HeadlessPlatform {
public:
    int failures = 0;

protected:
    void shown(const QString& text, int flags) override
    {
        if ((flags & Mb::IconMask) != Mb::Information)
            ++failures;
        QString line = text;
        line.replace(QLatin1String("\n\n"), QLatin1String(" ")).replace(u'\n', u' ');
        std::fprintf(stderr, "cvdtool report: %s\n", qPrintable(line));
    }
};

struct ReportArgs {
    QString folder;
    const ReportKind* kind = nullptr;
    QDate from;
    QDate to;
    long select = 0;
    StateFilterKind state = StateFilterKind::Both;
    bool portrait = false;
    QString output;
};

// A date of the command line, YYYY-MM-DD.
bool readDate(const QString& text, QDate& date)
{
    static const QRegularExpression iso(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    date = QDate::fromString(text, Qt::ISODate);
    return iso.match(text).hasMatch() && date.isValid();
}

int fail(const QString& line, int code);

// Reads the arguments after "report"; the exit status when the report is
// not to run: after its help, or the one line that tells what is wrong.
std::optional<int> parse(const QStringList& args, ReportArgs& a, const QString& syntax, const QString& description)
{
    const QDate today = QDate::currentDate();
    a.from = QDate(today.year(), today.month(), 1);
    a.to = today;
    const auto refuse = [](const QString& line) { return fail(line, 2); };
    QCommandLineParser p;
    const QCommandLineOption from(QStringLiteral("from"), QStringLiteral("The first request date (default: the first of this month)."),
                                  QStringLiteral("YYYY-MM-DD"));
    const QCommandLineOption to(QStringLiteral("to"), QStringLiteral("The last request date (default: today)."),
                                QStringLiteral("YYYY-MM-DD"));
    const QCommandLineOption select(QStringLiteral("select"), QStringLiteral("Only the requests of one record, by its number."),
                                    QStringLiteral("ID"));
    const QCommandLineOption state(QStringLiteral("state"), QStringLiteral("open, resolved or all (the default)."),
                                   QStringLiteral("STATE"));
    const QCommandLineOption portrait(QStringLiteral("portrait"), QStringLiteral("A listing in portrait."));
    const QCommandLineOption output(QStringLiteral("o"), QStringLiteral("The file written; - for the standard output."),
                                    QStringLiteral("FILE"));
    p.addOptions({from, to, select, state, portrait, output});
    p.addPositionalArgument(QStringLiteral("DATABASE"), QString());
    p.addPositionalArgument(QStringLiteral("KIND"), QString());
    if (const auto done = tools::readCommandLine(p, QStringLiteral("report"), syntax, description, args, refuse))
        return done;
    for (const QCommandLineOption* o : {&from, &to}) {
        if (p.isSet(*o) && !readDate(p.value(*o), o == &from ? a.from : a.to))
            return refuse(QStringLiteral("--%1 '%2' is not a date: write it as YYYY-MM-DD, such as 2026-12-31.")
                              .arg(o->names().constFirst(), p.value(*o)));
    }
    if (p.isSet(select)) {
        bool ok = false;
        const qlonglong id = p.value(select).toLongLong(&ok);
        if (!ok || id < 1 || id > 2147483647)
            return refuse(QStringLiteral("--select '%1' is not a record number.").arg(p.value(select)));
        a.select = long(id);
    }
    if (p.isSet(state)) {
        const QString value = p.value(state);
        if (value == QLatin1String("open"))
            a.state = StateFilterKind::OpenOnly;
        else if (value == QLatin1String("resolved"))
            a.state = StateFilterKind::ResolvedOnly;
        else if (value != QLatin1String("all"))
            return refuse(QStringLiteral("--state '%1' is none of open, resolved and all.").arg(value));
    }
    a.portrait = p.isSet(portrait);
    a.output = p.value(output);
    if (p.isSet(output) && a.output.isEmpty())
        return refuse(QStringLiteral("-o needs a file name."));
    const QStringList positional = p.positionalArguments();
    if (positional.size() < 2)
        return refuse(QStringLiteral("A DATABASE and a report KIND are needed."));
    if (positional.size() > 2)
        return refuse(QStringLiteral("'%1' is one argument too many.").arg(positional[2]));
    a.folder = positional[0];
    if (!QFileInfo::exists(a.folder) && !isServerLocation(a.folder))
        return refuse(QStringLiteral("There is no folder or file '%1'.").arg(a.folder));
    a.kind = findReportKind(positional[1]);
    if (!a.kind)
        return refuse(QStringLiteral("'%1' is not a report kind.  KIND is one of %2.")
                          .arg(positional[1], reportKindNames().join(QLatin1String(", "))));
    if (!p.isSet(output))
        return refuse(QStringLiteral("-o FILE is needed: the file the report is written to."));
    return std::nullopt;
}

// The name the report options dialog shows for the chosen record; empty
// when there is no such record.
QString selectedName(int mode, long id)
{
    static const char* const sql[] = {
        "Select FirstName, LastName from Staff where StaffID = %1",
        "Select FirstName, LastName from Customers where CustID = %1",
        "Select DeptName from Dept where DeptID = %1",
        "Select CatDesc from Categories where CatID = %1",
    };
    auto rs = MainDb->OpenRecordset(QString::fromLatin1(sql[mode]).arg(id), RecordsetType::Snapshot);
    if (rs->Eof())
        return {};
    if (mode >= 2)
        return rs->Field(mode == 2 ? QStringLiteral("DeptName") : QStringLiteral("CatDesc")).displayText();
    return fullName(rs->Field(QStringLiteral("FirstName")), rs->Field(QStringLiteral("LastName")));
}

const char* const kRecordKind[] = {"staff member", "customer", "department/company", "category"};

int fail(const QString& line, int code)
{
    std::fprintf(stderr, "cvdtool report: %s\n", qPrintable(line));
    return code;
}

// The report options dialog answered from the command line; the preview's
// document written as PDF to the output file.  Installed for one run.
class CommandLineWindows : public ReportWindows {
public:
    CommandLineWindows(const ReportArgs& a, const QString& name, ConsolePlatform& console)
        : m_a(a), m_name(name), m_console(console)
    {
        setReportWindows(this);
    }
    ~CommandLineWindows() override { setReportWindows(nullptr); }

    void showOptions() override
    {
        ReportCancelled = false;
        ReportStartDate = m_a.from;
        ReportEndDate = m_a.to;
        SelectedID = m_a.select;
        SelectedName = m_name;
        StateFilter = m_a.state;
        LandscapeWanted = !m_a.portrait;
    }

    void showPreview(PageDocument doc) override
    {
        if (!doc.incomplete.isEmpty()) { // an earlier file stays as it was
            tellIncompleteNotWritten(m_a.output, doc.incomplete);
            return;
        }
        QString error;
        written = writePdf(doc, QFileInfo(m_a.output).absoluteFilePath(), &error);
        if (!written)
            m_console.messageBox(QStringLiteral("The report could not be written to the file %1.  %2")
                                     .arg(QDir::toNativeSeparators(m_a.output), whyNotWritable(m_a.output, error)),
                                 Mb::OkOnly | Mb::Critical, {});
    }

    bool written = false; // the PDF

private:
    const ReportArgs& m_a;
    const QString m_name;
    ConsolePlatform& m_console;
};

int run(const ReportArgs& a, ConsolePlatform& console)
{
    try {
        // A report only reads: the file is opened for reading, so that a
        // read-only file serves too, and without the quick check of its
        // structure that guards the program's writes, which would read the
        // whole file a second time beside the report.  A file that the
        // program holds is still refused (3045).
        MainDb = Database::Open(databaseLocation(a.folder), OpenMode::Check);
        // The report reads each page once; SQLite's own small page cache
        // keeps the sort of its rows in the processor's cache (the larger
        // one the program keeps for browsing makes a sort of a million rows
        // a fifth slower).
        if (sqlite3* file = MainDb->handle())
            sqlite3_exec(file, "PRAGMA cache_size=-2000", nullptr, nullptr, nullptr);
    } catch (const Error& e) {
        return fail(QStringLiteral("error %1: %2").arg(e.number()).arg(e.text()), 1);
    }
    ReportMode = a.kind->mode;
    QString name;
    if (a.select != 0) {
        try {
            name = selectedName(ReportMode, a.select);
        } catch (const Error& e) {
            return fail(QStringLiteral("error %1: %2").arg(e.number()).arg(e.text()), 1);
        }
        if (name.isEmpty())
            return fail(QStringLiteral("--select %1: no %2 has that number.").arg(a.select).arg(QLatin1String(kRecordKind[ReportMode])), 2);
    }

    ShowLandscapeOption = a.kind->listing;
    CommandLineWindows windows(a, name, console);

    const bool toStdout = a.output == QLatin1String("-");
    const bool pdf = !toStdout && a.output.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive);
    QTemporaryDir scratch;
    if (pdf) {
        // The preview's document, written as PDF.
        ReportTarget = ReportTargetKind::Preview;
    } else {
        ReportTarget = ReportTargetKind::File;
        ReportFileName = toStdout ? scratch.filePath(QStringLiteral("report.txt")) : QFileInfo(a.output).absoluteFilePath();
    }

    try {
        a.kind->procedure();
    } catch (const ProgramEnded& e) {
        return e.code() == 0 ? 1 : e.code();
    }
    if (console.failures > 0 || (pdf && !windows.written))
        return 1;
    if (toStdout) {
        QFile f(ReportFileName);
        if (!f.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("the report was not written"), 1);
        const QByteArray bytes = f.readAll();
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

int reportCommand(int argc, char** argv, const QStringList& args, const QString& syntax, const QString& description)
{
    ReportArgs a;
    if (const auto done = parse(args, a, syntax, description))
        return *done;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ConsolePlatform console; // before the application, to quiet its set-up
    QApplication app(argc, argv);
    const int code = run(a, console);
    resetProgramValues();
    return code;
}
