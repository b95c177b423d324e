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
#include "reports/pagerender.h"
#include "reports/reportoutput.h"
#include "reports/reportkinds.h"
#include "reports/reportprocs.h"

#include <QApplication>
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

// Reads the arguments after "report"; the empty text, or the one line that
// tells what is wrong.
QString parse(QStringList args, ReportArgs& a)
{
    const QDate today = QDate::currentDate();
    a.from = QDate(today.year(), today.month(), 1);
    a.to = today;
    QStringList positional;
    bool outputGiven = false;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (arg == QLatin1String("--portrait")) {
            a.portrait = true;
            continue;
        }
        const bool option = arg.startsWith(QLatin1String("--")) || arg == QLatin1String("-o");
        if (!option || arg == QLatin1String("-")) {
            positional << arg;
            continue;
        }
        static const QStringList withValue{"--from", "--to", "--select", "--state", "-o"};
        if (!withValue.contains(arg))
            return QStringLiteral("'%1' is not an option of cvdtool report.").arg(arg);
        if (args.isEmpty())
            return QStringLiteral("%1 needs a value.").arg(arg);
        const QString value = args.takeFirst();
        if (arg == QLatin1String("--from") || arg == QLatin1String("--to")) {
            if (!readDate(value, arg == QLatin1String("--from") ? a.from : a.to))
                return QStringLiteral("%1 '%2' is not a date: write it as YYYY-MM-DD, such as 2026-12-31.").arg(arg, value);
        } else if (arg == QLatin1String("--select")) {
            bool ok = false;
            const qlonglong id = value.toLongLong(&ok);
            if (!ok || id < 1 || id > 2147483647)
                return QStringLiteral("--select '%1' is not a record number.").arg(value);
            a.select = long(id);
        } else if (arg == QLatin1String("--state")) {
            if (value == QLatin1String("open"))
                a.state = StateFilterKind::OpenOnly;
            else if (value == QLatin1String("resolved"))
                a.state = StateFilterKind::ResolvedOnly;
            else if (value == QLatin1String("all"))
                a.state = StateFilterKind::Both;
            else
                return QStringLiteral("--state '%1' is none of open, resolved and all.").arg(value);
        } else {
            if (value.isEmpty())
                return QStringLiteral("-o needs a file name.");
            a.output = value;
            outputGiven = true;
        }
    }
    if (positional.size() < 2)
        return QStringLiteral("A DATABASE and a report KIND are needed.");
    if (positional.size() > 2)
        return QStringLiteral("'%1' is one argument too many.").arg(positional[2]);
    a.folder = positional[0];
    if (!QFileInfo::exists(a.folder) && !isServerLocation(a.folder))
        return QStringLiteral("There is no folder or file '%1'.").arg(a.folder);
    a.kind = findReportKind(positional[1]);
    if (!a.kind)
        return QStringLiteral("'%1' is not a report kind.  KIND is one of %2.")
            .arg(positional[1], reportKindNames().join(QLatin1String(", ")));
    if (!outputGiven)
        return QStringLiteral("-o FILE is needed: the file the report is written to.");
    return {};
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
    return rs->Field(QStringLiteral("FirstName")).displayText() + u' ' + rs->Field(QStringLiteral("LastName")).displayText();
}

const char* const kRecordKind[] = {"staff member", "customer", "department/company", "category"};

int fail(const QString& line, int code)
{
    std::fprintf(stderr, "cvdtool report: %s\n", qPrintable(line));
    return code;
}

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

    TableHeaderShade = {0, 0, 0};
    TableBodyShade = {200, 200, 200};
    ShowLandscapeOption = a.kind->listing;
    ShowReportOptions = [&] {
        ReportCancelled = false;
        ReportStartDate = a.from;
        ReportEndDate = a.to;
        SelectedID = a.select;
        SelectedName = name;
        StateFilter = a.state;
        LandscapeWanted = !a.portrait;
    };

    const bool toStdout = a.output == QLatin1String("-");
    const bool pdf = !toStdout && a.output.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive);
    QTemporaryDir scratch;
    bool written = false;
    if (pdf) {
        // The preview's document, written as PDF.
        ReportTarget = ReportTargetKind::Preview;
        ShowPreview = [&](PageDocument doc) {
            if (!doc.incomplete.isEmpty()) { // an earlier file stays as it was
                tellIncompleteNotWritten(a.output, doc.incomplete);
                return;
            }
            QString error;
            written = writePdf(doc, QFileInfo(a.output).absoluteFilePath(), &error);
            if (!written)
                console.messageBox(QStringLiteral("The report could not be written to the file %1.  %2")
                                       .arg(QDir::toNativeSeparators(a.output), whyNotWritable(a.output, error)),
                                   Mb::OkOnly | Mb::Critical, {});
        };
    } else {
        ReportTarget = ReportTargetKind::File;
        ReportFileName = toStdout ? scratch.filePath(QStringLiteral("report.txt")) : QFileInfo(a.output).absoluteFilePath();
    }

    try {
        a.kind->procedure();
    } catch (const ProgramEnded& e) {
        return e.code() == 0 ? 1 : e.code();
    }
    if (console.failures > 0 || (pdf && !written))
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

int reportCommand(int argc, char** argv, const QStringList& args)
{
    ReportArgs a;
    const QString wrong = parse(args, a);
    if (!wrong.isEmpty())
        return fail(wrong, 2);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ConsolePlatform console; // before the application, to quiet its set-up
    QApplication app(argc, argv);
    const int code = run(a, console);
    ShowReportOptions = {};
    ShowPreview = {};
    resetProgramValues();
    return code;
}
