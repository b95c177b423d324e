// Speed and memory of the database engine layer on a large request table.
//
//   bench_engine [PATH]
//
// PATH is a cvd.mdb with many requests (cvdtool demo FOLDER --requests
// 1000000).  Without it, a temporary file with 1,000,000 generated requests
// is made first.  Each figure is printed with its target and PASS or FAIL;
// the exit status is 1 when any figure fails.
#include "db/database.h"
#include "db/schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>

using namespace cvd;

namespace {

bool allPassed = true;

void report(const char* figure, double value, const char* unit, double target, const char* how = "<")
{
    const bool pass = value < target;
    allPassed = allPassed && pass;
    std::printf("%-52s %12.3f %-3s  target %s %g %s  %s\n", figure, value, unit, how, target, unit, pass ? "PASS" : "FAIL");
    std::fflush(stdout);
}

long residentKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

bool generate(const QString& path, int requests)
{
    std::printf("generating %d requests in %s ...\n", requests, qPrintable(path));
    std::fflush(stdout);
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK)
        return false;
    sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr, nullptr);
    schema::createTables(db);
    const QByteArray fill = QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
        "INSERT INTO Req (ShortDesc, ReqDesc, Resp, ReqDate, DueDate, Resolved, HoursTot, MinTot, AddCharge, CostTot,"
        " AmtPaid, CustID, DeptID, PriID, CatID, EnteredBy, AssignedTo, Misc1) "
        "SELECT 'Request ' || i, 'The printer on floor ' || (i % 9) || ' jams when printing more than ' || (i % 50)"
        " || ' pages; the user asks for help', CASE WHEN i % 3 = 0 THEN NULL ELSE 'Cleared the paper path' END,"
        " date('2023-01-01', '+' || (i % 1095) || ' days'), NULL, i % 2, i % 5, (i * 7) % 60, 0, (i % 100) * 10000,"
        " 0, i % 40 + 1, i % 12 + 1, i % 4 + 1, i % 6 + 1, i % 8 + 1, i % 8 + 1, NULL FROM n")
                                .arg(requests)
                                .toUtf8();
    const bool ok = sqlite3_exec(db, fill.constData(), nullptr, nullptr, nullptr) == SQLITE_OK
                    && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    QString path = app.arguments().value(1);
    if (path.isEmpty()) {
        path = tmp.filePath(QStringLiteral("cvd.mdb"));
        QElapsedTimer g;
        g.start();
        if (!generate(path, 1000000)) {
            std::fprintf(stderr, "could not generate %s\n", qPrintable(path));
            return 2;
        }
        std::printf("generated in %.1f s\n", g.elapsed() / 1000.0);
    }
    const char* const reqSetSql = "Select * from Req order by ReqDate desc";

    // The sqlite3 shell on the same file, output thrown away (second run, warm).
    double shellMs = -1;
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (!shell.isEmpty()) {
        for (int run = 0; run < 2; ++run) {
            QProcess p;
            p.setStandardOutputFile(QProcess::nullDevice());
            QElapsedTimer t;
            t.start();
            p.start(shell, {path, QStringLiteral("select ReqID from Req order by ReqDate desc")});
            p.waitForFinished(-1);
            shellMs = t.nsecsElapsed() / 1e6;
        }
    }

    try {
        QElapsedTimer t;
        t.start();
        auto db = Database::Open(path);
        const double openDbMs = t.nsecsElapsed() / 1e6;
        std::printf("%-52s %12.3f ms\n", "Database::Open", openDbMs);

        const long rssBefore = residentKb();
        t.restart();
        auto rs = db->OpenRecordset(QString::fromLatin1(reqSetSql));
        const Value first = rs->Field(QStringLiteral("ReqID"));
        const double openMs = t.nsecsElapsed() / 1e6;
        const long rssAfter = residentKb();
        const long count = rs->RecordCount();
        std::printf("ReqSet holds %ld requests; first ReqID %s\n", count, qPrintable(first.toText()));
        if (shellMs > 0) {
            std::printf("%-52s %12.3f ms\n", "sqlite3 shell: select ReqID ... order by ReqDate desc", shellMs);
            std::printf("%-52s %12.3f ms\n", "ReqSet open + first record", openMs);
            report("ReqSet open + first record / sqlite3 shell", openMs / shellMs, "x", 3.0);
        } else {
            std::printf("%-52s %12.3f ms  (no sqlite3 shell to compare with)\n", "ReqSet open + first record", openMs);
        }
        report("resident memory added by the open ReqSet", (rssAfter - rssBefore) / 1024.0, "MB", 64.0);

        // MoveNext and every field, over a long stretch.
        const QStringList names = rs->FieldNames();
        const int steps = int(std::min<long>(count - 1, 200000));
        t.restart();
        qint64 sink = 0;
        for (int i = 0; i < steps; ++i) {
            rs->MoveNext();
            for (const QString& n : names)
                sink += int(rs->Field(n).type());
        }
        const double perStepUs = steps > 0 ? t.nsecsElapsed() / 1e3 / steps : 0;
        report("MoveNext + reading all fields, per step", perStepUs, "us", 20.0);

        // FindFirst by key, for keys early, in the middle and late in the set.
        double worstFindMs = 0;
        for (long k : {1L, count / 2, count - 5, count}) {
            t.restart();
            rs->FindFirst(QStringLiteral("ReqID = %1").arg(k));
            const double ms = t.nsecsElapsed() / 1e6;
            if (rs->NoMatch())
                std::printf("FindFirst ReqID = %ld: no match\n", k);
            worstFindMs = std::max(worstFindMs, ms);
        }
        report("FindFirst \"ReqID = n\" (worst of 4)", worstFindMs, "ms", 50.0);

        // A snapshot over every request: the first row is enough to know.
        t.restart();
        auto snap = db->OpenRecordset(QStringLiteral("Select * from Req where ReqDate >= #01/01/90#"),
                                      RecordsetType::Snapshot);
        const bool some = snap->RecordCount() > 0;
        const double snapMs = t.nsecsElapsed() / 1e6;
        report("snapshot of every request: RecordCount > 0", snapMs, "ms", 1.0);
        if (!some)
            std::printf("the snapshot is empty\n");
        std::printf("(checksum %lld)\n", static_cast<long long>(sink));
    } catch (const Error& e) {
        std::fprintf(stderr, "error %d: %s\n", e.number(), qPrintable(e.text()));
        return 2;
    }
    return allPassed ? 0 : 1;
}
