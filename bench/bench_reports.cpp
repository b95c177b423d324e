// Speed and memory of the reports on a large request table:
//  - "Hours by Staff" over every request written to a text file by
//    `cvdtool report`, beside the sqlite3 shell writing the same query's
//    rows to a file with .mode tabs;
//  - the preview of the same report over the newest 100,000 requests,
//    composed and its first page shown in the preview window, and the
//    resident memory that adds;
//  - a bill run over all customers (every request) to a text file, and to
//    the preview.
//
//   bench_reports PATH
//
// PATH is a cvd.mdb with many requests (cvdtool demo FOLDER --requests
// 1000000); the file is only read.  Each figure is printed with its target
// and PASS or FAIL, each time also in processor time (which other work on
// a busy machine does not stretch), and with the shell's time for the same
// query; the exit status is 1 when any figure fails.
#include "benchsupport.h"
#include "db/database.h"
#include "base/formats.h"
#include "base/globals.h"
#include "reports/frmoutput.h"
#include "reports/reportprocs.h"
#include "reports/reportqueries.h"
#include "reports/reportwindows.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

using namespace cvd;
using namespace cvd::bench;

namespace {

const QDate kEarliest(1900, 1, 1);
const QDate kLatest(2100, 12, 31);

struct RunTime {
    double wall = -1; // ms; negative when the program failed
    double cpu = -1;  // ms of processor time, user and system
};

// Processor time, user and system, in ms: of this process (RUSAGE_SELF) or
// of the children it has waited for (RUSAGE_CHILDREN).  Unlike the clock,
// not stretched by other programs on a busy machine.
double cpuMs(int who)
{
    rusage u{};
    getrusage(who, &u);
    return (double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// How long f takes, on the clock and in this process's processor time.
template <typename F> RunTime timedRun(F&& f)
{
    const double before = cpuMs(RUSAGE_SELF);
    const double wall = timed(std::forward<F>(f));
    return {wall, cpuMs(RUSAGE_SELF) - before};
}

// How long a program takes to run to its end.
RunTime runProgram(const QString& program, const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.setStandardOutputFile(QProcess::nullDevice());
    const double cpuBefore = cpuMs(RUSAGE_CHILDREN);
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return {double(t.nsecsElapsed()) / 1e6, cpuMs(RUSAGE_CHILDREN) - cpuBefore};
}

// The sqlite3 shell writing the rows of `sql` (the program's dialect,
// translated as the program runs it) to `out` with .mode tabs.
RunTime shell(const QString& sqlite3, const QString& db, const QString& sql, const QString& out)
{
    return runProgram(sqlite3, {QStringLiteral("-readonly"), db, QStringLiteral("-cmd"), QStringLiteral(".mode tabs"),
                                QStringLiteral("-cmd"), QStringLiteral(".output ") + out, translateSql(sql) + u';'});
}

// Resident memory of this process, and its peak, in MB.
std::pair<double, double> residentMb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    double rss = 0, peak = 0;
    if (f.open(QIODevice::ReadOnly))
        for (const QByteArray& line : f.readAll().split('\n')) {
            const auto kb = [&] { return line.simplified().split(' ').value(1).toDouble() / 1024.0; };
            if (line.startsWith("VmRSS:"))
                rss = kb();
            else if (line.startsWith("VmHWM:"))
                peak = kb();
        }
    return {rss, peak};
}

long countRequests(const QDate& from, const QDate& to)
{
    auto rs = MainDb->OpenRecordset(QStringLiteral("select count(*) as n from Req where ReqDate >= #%1# and ReqDate <= #%2#")
                                        .arg(fmt::sqlDate(from), fmt::sqlDate(to)),
                                    RecordsetType::Snapshot);
    return rs->Field(QStringLiteral("n")).toLong();
}

// The options answered with a date range, every preview handed to `preview`.
struct BenchWindows : ReportWindows {
    QDate from, to;
    std::function<void(PageDocument)> preview;
    void showOptions() override
    {
        ReportCancelled = false;
        ReportStartDate = from;
        ReportEndDate = to;
        SelectedID = 0;
        SelectedName.clear();
        StateFilter = StateFilterKind::Both;
        LandscapeWanted = true;
    }
    void showPreview(PageDocument doc) override { preview(std::move(doc)); }
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_reports PATH-TO-cvd.mdb\n");
        return 2;
    }
    SilentPlatform platform;
    fmt::setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString db = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const QString cvdtool = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../cvdtool"));
    const QString sqlite3 = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (sqlite3.isEmpty()) {
        std::fprintf(stderr, "the sqlite3 shell is needed (apt-get install sqlite3)\n");
        return 2;
    }
    QTemporaryDir tmp;

    // 1. Hours by Staff over every request to a text file, the best of
    // three runs of each, taken in turn; the processor time as well, which
    // other work on the machine does not stretch.
    const QString hours = hoursQuery(ReportAnswers{kEarliest, kLatest, StateFilterKind::Both, 0});
    RunTime tool{1e300, 1e300}, sh{1e300, 1e300};
    for (int round = 0; round < 3; ++round) {
        const RunTime t = runProgram(cvdtool, {QStringLiteral("report"), QFileInfo(db).absolutePath(),
                                               QStringLiteral("hours"), QStringLiteral("--from"), QStringLiteral("1900-01-01"),
                                               QStringLiteral("--to"), QStringLiteral("2100-12-31"), QStringLiteral("-o"),
                                               tmp.filePath(QStringLiteral("Hours.txt"))});
        const RunTime s = shell(sqlite3, db, hours, tmp.filePath(QStringLiteral("shell.txt")));
        if (t.wall < 0 || s.wall < 0) {
            std::fprintf(stderr, "cvdtool report or the sqlite3 shell failed\n");
            return 2;
        }
        tool = {std::min(tool.wall, t.wall), std::min(tool.cpu, t.cpu)};
        sh = {std::min(sh.wall, s.wall), std::min(sh.cpu, s.cpu)};
    }
    std::printf("Hours by Staff, every request, to a text file: cvdtool report %.0f ms (processor %.0f ms, %lld bytes), "
                "sqlite3 shell %.0f ms (processor %.0f ms, %lld bytes)\n",
                tool.wall, tool.cpu, QFileInfo(tmp.filePath(QStringLiteral("Hours.txt"))).size(), sh.wall, sh.cpu,
                QFileInfo(tmp.filePath(QStringLiteral("shell.txt"))).size());
    report("Hours by Staff to a file, cvdtool / sqlite3 shell", tool.wall / sh.wall, "x", 1.5);
    report("  the same in processor time", tool.cpu / sh.cpu, "x", 1.5);

    // The newest 100,000 requests, and the shell's times for the rows of
    // the preview and of the bill run below (before this process holds the
    // file open).
    QDate from, to;
    {
        const auto file = Database::Open(db);
        auto rs = file->OpenRecordset(QStringLiteral("select ReqDate from Req order by ReqDate desc"), RecordsetType::ForwardOnly);
        to = rs->Field(0).toDate();
        for (int i = 1; i < 100000 && !rs->Eof(); ++i)
            rs->MoveNext();
        from = rs->Eof() ? kEarliest : rs->Field(0).toDate();
    }
    const double previewShell = shell(sqlite3, db, hoursQuery(ReportAnswers{from, to, StateFilterKind::Both, 0}),
                                      tmp.filePath(QStringLiteral("shell100k.txt"))).wall;
    const double billsShell = shell(sqlite3, db, billsQuery(1, ReportAnswers{kEarliest, kLatest, StateFilterKind::Both, 0}),
                                    tmp.filePath(QStringLiteral("shellbills.txt"))).wall;

    // 2. The preview of the same report over the newest 100,000 requests,
    // up to its first page shown.
    MainDb = Database::Open(db);
    const long requests = countRequests(from, to);
    BenchWindows windows;
    setReportWindows(&windows);
    windows.from = from;
    windows.to = to;
    int pages = 0;
    windows.preview = [&](PageDocument doc) {
        pages = int(doc.pages.size());
        showInPreviewWindow(std::move(doc));
    };
    ReportTarget = ReportTargetKind::Preview;
    const auto [rssBefore, peakBefore] = residentMb();
    const RunTime preview = timedRun([&] {
        HoursByStaffReport();
        QApplication::processEvents();
        if (frmOutput* w = previewWindow())
            w->grab(); // the first page drawn
    });
    const auto [rssAfter, peakAfter] = residentMb();
    std::printf("Hours by Staff preview: %ld requests (%s to %s), %d pages; sqlite3 shell for its rows %.0f ms\n", requests,
                qPrintable(from.toString(Qt::ISODate)), qPrintable(to.toString(Qt::ISODate)), pages, previewShell);
    report("Hours by Staff preview, 100,000 requests, first page shown", preview.wall, "ms", 3000);
    report("  the same in processor time", preview.cpu, "ms", 3000);
    report("  resident memory added (peak added)", std::max(rssAfter - rssBefore, peakAfter - peakBefore), "MB", 300);
    if (frmOutput* w = previewWindow())
        w->close();
    QApplication::processEvents();

    // 3. A bill run over all customers and every request.
    windows.from = kEarliest;
    windows.to = kLatest;
    ReportMode = 1;
    ReportTarget = ReportTargetKind::File;
    ReportFileName = tmp.filePath(QStringLiteral("bills.txt"));
    const RunTime bills = timedRun([&] { BillsReport(); });
    std::printf("Bills by Customer, every request: %lld bytes; sqlite3 shell for its rows %.0f ms\n",
                QFileInfo(ReportFileName).size(), billsShell);
    report("Bills by Customer, all customers, to a text file", bills.wall, "ms", 5000);
    report("  the same in processor time", bills.cpu, "ms", 5000);
    ReportTarget = ReportTargetKind::Preview;
    pages = 0;
    windows.preview = [&](PageDocument doc) { pages = int(doc.pages.size()); };
    const RunTime billsPreview = timedRun([&] { BillsReport(); });
    std::printf("  the same bill run composed for the preview: %.0f ms, %d pages\n", billsPreview.wall, pages);
    report("Bills by Customer, all customers, to the preview", billsPreview.wall, "ms", 5000);
    report("  the same in processor time", billsPreview.cpu, "ms", 5000);

    setReportWindows(nullptr);
    MainDb.reset();
    return allPassed() ? 0 : 1;
}
