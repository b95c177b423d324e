// The same work on the database file and on a server holding the same
// rows, side by side, with the command-line clients running the same query.
//
//   bench_server FOLDER SERVER
//
// FOLDER holds a cvd.mdb with many requests (cvdtool demo FOLDER --requests
// 1000000); SERVER is a folder holding cvd.conn, a *.conn file or a
// connection string naming a server with the same rows (cvdtool copy FOLDER
// SERVER).  Measured on each: start-up to the first request shown, Next,
// Update, a find, a text find whose first request is then saved, and
// "Hours by Staff" for the whole range to a text file
// (cvdtool report, as a separate process; CVDTOOL names it, default the
// cvdtool beside this program).  Each server figure is printed with its
// target and PASS or FAIL; the exit status is 1 when any fails.
#include "db/database.h"
#include "db/serverdialect.h"
#include "search/findquery.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include "db/collation.h"
#include "reports/reportqueries.h"

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

using namespace cvd;

namespace {

bool allPassed = true;

const QString ListSql = QStringLiteral("Select * from Req order by ReqDate desc");
// The find dialog's query for a word in the description or the response,
// resolved requests of one staff member.
const QString FindSql = QStringLiteral("Select * from Req where (ReqDesc like '*floor 3 jams*' or Resp like "
                                       "'*floor 3 jams*') and AssignedTo = 2 order by ReqDate desc");

void row(const char* figure, double file, double server, double client, const char* unit, double target = 0,
         bool relative = false)
{
    std::printf("%-34s %10.3f %10.3f %10.3f %-3s", figure, file, server, client, unit);
    if (target > 0) {
        const double limit = relative ? target * client : target;
        const bool pass = server < limit;
        allPassed = allPassed && pass;
        std::printf("  target < %g%s  %s", relative ? target : limit, relative ? "x client" : unit, pass ? "PASS" : "FAIL");
    }
    std::printf("\n");
    std::fflush(stdout);
}

// The largest resident memory of any child process so far, in megabytes.
double childrenPeakMB()
{
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return double(u.ru_maxrss) / 1024.0;
}

QString location(const QString& arg)
{
    const QFileInfo fi(arg);
    if (fi.isDir())
        return QDir(arg).filePath(QFileInfo::exists(QDir(arg).filePath(QStringLiteral("cvd.conn"))) ? QStringLiteral("cvd.conn")
                                                                                                  : QStringLiteral("cvd.mdb"));
    return arg;
}

void showRecord(Recordset& rs)
{
    const int n = int(rs.FieldNames().size());
    for (int i = 0; i < n; ++i)
        (void)rs.Field(i);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct Figures {
    double startup = 0, next = 0, ends = 0, update = 0, find = 0, findSave = 0, hours = 0, hoursPeakMB = 0;
};

// The user's path through the find dialog: Search Text 1 "dial tone", OK,
// the first request found shown, edited and saved.
const QString DialToneSql = [] {
    FindCriteria c;
    c.search1 = QStringLiteral("dial tone");
    return findSql(c);
}();

Figures measure(const QString& where, const QString& folderArg)
{
    Figures f;
    QElapsedTimer t;
    t.start();
    auto db = Database::Open(where);
    auto rs = db->OpenRecordset(ListSql);
    showRecord(*rs);
    f.startup = t.nsecsElapsed() / 1e6;

    std::vector<double> times;
    for (int i = 0; i < 1000 && !rs->Eof(); ++i) {
        t.restart();
        rs->MoveNext();
        if (!rs->Eof())
            showRecord(*rs);
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    f.next = median(times);

    // Last and First in turn, the first Last included.
    times.clear();
    for (int i = 0; i < 10; ++i) {
        t.restart();
        i % 2 == 0 ? rs->MoveLast() : rs->MoveFirst();
        showRecord(*rs);
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    f.ends = *std::max_element(times.begin(), times.end());

    times.clear();
    rs->MoveFirst();
    for (int i = 0; i < 200; ++i) {
        t.restart();
        rs->Edit();
        // A text no earlier run wrote: an unchanged row costs the file no write.
        rs->SetField(QStringLiteral("Misc1"), Value(QStringLiteral("bench %1 %2").arg(i).arg(QDateTime::currentMSecsSinceEpoch())));
        rs->Update();
        showRecord(*rs);
        times.push_back(t.nsecsElapsed() / 1e6);
        rs->MoveNext();
    }
    f.update = median(times);

    times.clear();
    for (int i = 0; i < 3; ++i) {
        t.restart();
        auto found = db->OpenRecordset(FindSql);
        if (!found->Eof())
            showRecord(*found);
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    f.find = median(times);

    times.clear();
    for (int i = 0; i < 3; ++i) {
        t.restart();
        auto found = db->OpenRecordset(DialToneSql);
        showRecord(*found);
        found->Edit();
        found->SetField(QStringLiteral("Misc1"), Value(QStringLiteral("found %1 %2").arg(i).arg(QDateTime::currentMSecsSinceEpoch())));
        found->Update();
        showRecord(*found);
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    f.findSave = median(times);
    rs.reset();
    db.reset();

    QTemporaryDir tmp;
    QString tool = qEnvironmentVariable("CVDTOOL");
    if (tool.isEmpty())
        tool = QCoreApplication::applicationDirPath() + QStringLiteral("/../cvdtool");
    t.restart();
    const int rc = QProcess::execute(tool, {QStringLiteral("report"), folderArg, QStringLiteral("hours"), QStringLiteral("--from"),
                                            QStringLiteral("1900-01-01"), QStringLiteral("--to"), QStringLiteral("2100-12-31"),
                                            QStringLiteral("-o"), tmp.filePath(QStringLiteral("hours.txt"))});
    f.hours = rc == 0 ? t.nsecsElapsed() / 1e6 : -1;
    f.hoursPeakMB = childrenPeakMB();
    return f;
}

// The client's own time for a query ("Time: 12.3 ms" of its timer).
double clientTime(const QString& program, const QStringList& args, const QString& timePattern)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(-1);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const QRegularExpression re(timePattern);
    double best = -1;
    for (auto it = re.globalMatch(out); it.hasNext();) {
        const double v = it.next().captured(1).toDouble();
        best = best < 0 ? v : std::min(best, v);
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (app.arguments().size() < 3) {
        std::fprintf(stderr, "usage: bench_server FOLDER SERVER\n");
        return 2;
    }
    const QString fileArg = app.arguments()[1], serverArg = app.arguments()[2];
    const QString file = location(fileArg), server = location(serverArg);
    try {
        const Figures onFile = measure(file, fileArg);
        const Figures onServer = measure(server, serverArg);
        // The clients run the find three times; their best time counts.
        const QString serverSql = sql::translateForServer(FindSql);
        QString conninfo = server;
        if (server.endsWith(QLatin1String(".conn"))) {
            QFile f(server);
            if (f.open(QIODevice::ReadOnly))
                conninfo = QString::fromUtf8(f.readLine()).trimmed();
        }
        QStringList psql{QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-d"), conninfo, QStringLiteral("-o"),
                         QStringLiteral("/dev/null"), QStringLiteral("-c"), QStringLiteral("\\timing on")};
        for (int i = 0; i < 3; ++i)
            psql << QStringLiteral("-c") << serverSql;
        const double psqlFind = clientTime(QStringLiteral("psql"), psql, QStringLiteral("Time: ([0-9.]+) ms"));

        // psql writing the rows of the same report's query to a file.
        QTemporaryDir tmp;
        const QString hoursSql = sql::translateForServer(
            hoursQuery(ReportAnswers{QDate(1900, 1, 1), QDate(2100, 12, 31), StateFilterKind::Both, 0}));
        QElapsedTimer copyTimer;
        copyTimer.start();
        QProcess::execute(QStringLiteral("psql"), {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-d"), conninfo,
                                                   QStringLiteral("-c"), sql::serverOrderCollationStatement(),
                                                   QStringLiteral("-c"), QStringLiteral("\\copy (%1) to '%2'")
                                                                             .arg(hoursSql, tmp.filePath(QStringLiteral("psql.txt")))});
        const double psqlHours = copyTimer.nsecsElapsed() / 1e6;

        std::printf("%-34s %10s %10s %10s\n", "", "file", "server", "psql");
        row("start-up to the first request", onFile.startup, onServer.startup, 0, "ms", 1000);
        row("Next (median)", onFile.next, onServer.next, 0, "ms", 5);
        row("Last and First (worst of 10)", onFile.ends, onServer.ends, 0, "ms", 5);
        row("Update (median)", onFile.update, onServer.update, 0, "ms", 5);
        row("find (median of 3)", onFile.find, onServer.find, psqlFind, "ms", 2, true);
        row("text find, then Update (median of 3)", onFile.findSave, onServer.findSave, 0, "ms");
        row("Hours by Staff, all, to a text file", onFile.hours, onServer.hours, psqlHours, "ms", 1.2, true);
        row("  its peak resident memory", onFile.hoursPeakMB, std::max(onFile.hoursPeakMB, onServer.hoursPeakMB), 0, "MB", 200);
    } catch (const Error& e) {
        std::fprintf(stderr, "error %d: %s\n", e.number(), qPrintable(e.text()));
        return 1;
    }
    return allPassed ? 0 : 1;
}
