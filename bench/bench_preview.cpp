// Speed and memory of the page engine and the preview window on a listing
// of 100,000 requests: composing the pages and showing the first one,
// then turning pages and changing the zoom.
//
//   bench_preview [PATH]
//
// The rows are composed and laid out as the portrait request listing does
// it: a row of six cells, a row with the request and response texts, a gap.  The
// texts come from the first 100,000 requests of PATH (a demo cvd.mdb)
// when it is given, otherwise from a generator of texts of the same kind
// and length; one request in a thousand carries a text of several pages.
// Each figure is printed with its target and PASS or FAIL; the exit
// status is 1 when any figure fails.
#include "benchsupport.h"
#include "reports/frmoutput.h"
#include "reports/pageengine.h"
#include "reports/pageview.h"
#include "reports/reportrules.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QScrollBar>
#include <cstdio>
#include <ctime>
#include <sqlite3.h>

using namespace cvd;
using namespace cvd::bench;

namespace {

constexpr int Requests = 100000;

struct Request {
    QString date, resolved, customer, dept, category, staff, request, response;
};

// Resident memory of this process, in megabytes.
double residentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

// Processor time of this process so far (user and system), in milliseconds:
// unlike the clock, not stretched by other programs on a busy machine.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

QString column(sqlite3_stmt* s, int i)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, i)));
}

QList<Request> fromDatabase(const QString& path)
{
    QList<Request> out;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return out;
    }
    sqlite3_stmt* s = nullptr;
    const char* sql = "SELECT ReqDate, Resolved, Customers.FirstName || ' ' || Customers.LastName, DeptName, CatDesc,"
                      " Staff.FirstName || ' ' || Staff.LastName, ReqDesc, Resp FROM Req"
                      " LEFT JOIN Customers ON Req.CustID = Customers.CustID LEFT JOIN Dept ON Req.DeptID = Dept.DeptID"
                      " LEFT JOIN Categories ON Req.CatID = Categories.CatID LEFT JOIN Staff ON Req.AssignedTo = Staff.StaffID"
                      " LIMIT 100000";
    if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) == SQLITE_OK)
        while (sqlite3_step(s) == SQLITE_ROW)
            out.append(Request{column(s, 0), sqlite3_column_int(s, 1) ? QStringLiteral("Yes") : QStringLiteral("No"),
                               column(s, 2), column(s, 3), column(s, 4), column(s, 5), column(s, 6), column(s, 7)});
    sqlite3_finalize(s);
    sqlite3_close(db);
    return out;
}

QList<Request> generated()
{
    static const char* const words[] = {
        "printer", "the", "network", "drive", "is", "not", "working", "after", "update", "please", "check",
        "user", "cannot", "log", "in", "to", "accounting", "system", "since", "Monday", "morning", "and",
        "reports", "a", "message", "about", "an", "expired", "password", "replaced", "toner", "cartridge",
        "restarted", "server", "reinstalled", "driver", "tested", "with", "several", "pages", "of", "output"};
    QRandomGenerator rng(42);
    auto text = [&](int length) {
        QString t;
        while (t.size() < length)
            t += QString::fromLatin1(words[rng.bounded(int(std::size(words)))]) + u' ';
        t.chop(1);
        return t;
    };
    QList<Request> out;
    out.reserve(Requests);
    for (int i = 0; i < Requests; ++i) {
        const int longOne = i % 1000 == 999 ? 8000 : 0;
        out.append(Request{QStringLiteral("%1/%2/2025").arg(1 + i % 12).arg(1 + i % 28), i % 3 ? QStringLiteral("Yes") : QStringLiteral("No"),
                           QStringLiteral("Customer %1").arg(i % 5000), QStringLiteral("Department %1").arg(i % 40),
                           QStringLiteral("Category %1").arg(i % 12), QStringLiteral("Staff %1").arg(i % 25),
                           text(60 + int(rng.bounded(400)) + longOne), text(20 + int(rng.bounded(200)))});
    }
    return out;
}

PageDocument compose(const QList<Request>& requests)
{
    PageEngine e;
    const QString first = QStringLiteral("+1100|+600|+2040|+1680|+1800|+3240;");
    const QString second = QStringLiteral("+5230|+5230;");
    e.setFooterText(QStringLiteral("|Page %d|"));
    e.BeginDocument();
    e.AddTable(first, {}, QStringLiteral("Req. Date|Rslv|Customer Name|Dept./Comp.|Category|Assigned To;"), Shade{0, 0, 0},
               Shade{200, 200, 200}, true);
    e.AddTable(second, {}, QStringLiteral("Request|Response;"), Shade{0, 0, 0}, Shade{200, 200, 200}, true);
    e.setHeaderText(QStringLiteral("|Requests by Staff for 1/1/2025 to 12/31/2025|"));
    for (const Request& r : requests) {
        e.AddTable(first, {}, tableRow({r.date, r.resolved, r.customer, r.dept, r.category, r.staff}));
        e.AddTable(second, {}, tableRow({r.request, r.response}));
        e.setVerticalPosition(e.VerticalPosition() + 80);
    }
    e.EndDocument();
    return e.takeDocument();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SilentPlatform platform;

    QList<Request> requests;
    if (argc > 1 && QFileInfo::exists(QString::fromLocal8Bit(argv[1])))
        requests = fromDatabase(QString::fromLocal8Bit(argv[1]));
    const bool fromFile = requests.size() >= Requests;
    if (!fromFile)
        requests = generated();
    qsizetype chars = 0;
    for (const Request& r : requests)
        chars += r.request.size() + r.response.size();
    std::printf("%lld requests (%s), %.0f characters of request and response text on average\n",
                qlonglong(requests.size()), fromFile ? "from the demo database" : "generated", double(chars) / requests.size());

    // Warm up the fonts and the window's code once, on a small document.
    showInPreviewWindow(compose(requests.mid(0, 20)));
    QCoreApplication::processEvents();
    delete previewWindow();
    QCoreApplication::processEvents();

    const double before = residentMb();
    int pages = 0;
    double composing = 0;
    const double cpuBefore = cpuMs();
    const double firstPage = timed([&] {
        PageDocument doc;
        composing = timed([&] { doc = compose(requests); });
        pages = int(doc.pages.size());
        showInPreviewWindow(std::move(doc));
        previewWindow()->vsViewPort1->viewport()->grab();
    });
    const double cpu = cpuMs() - cpuBefore;
    frmOutput* w = previewWindow();
    const double added = residentMb() - before;
    std::printf("%d pages; composing %.0f ms, showing %.0f ms; %.0f ms of processor time in all\n", pages, composing,
                firstPage - composing, cpu);
    report("Compose 100,000 requests and show page 1", firstPage, "ms", 3000);
    report("Resident memory added by the document", added, "MB", 300);

    auto show = [w] { w->vsViewPort1->viewport()->grab(); };
    QRandomGenerator rng(7);
    Timing turn;
    for (int i = 0; i < 60; ++i) {
        const int page = i % 3 == 0 ? w->scrlPage->value() + 1 : 1 + int(rng.bounded(pages));
        turn.add(timed([&] {
            w->scrlPage->setValue(page);
            show();
        }));
    }
    report("Turn a page (mean)", turn.mean(), "ms", 50);
    std::printf("  median %.1f ms, worst %.1f ms\n", turn.median(), turn.worst());

    Timing zoom;
    const int zooms[] = {70, 80, 100, 150, 250, 200, 10, 60, 250, 30, 120, 60};
    for (int round = 0; round < 3; ++round)
        for (int z : zooms)
            zoom.add(timed([&] {
                w->scrlZoom->setValue(z);
                show();
            }));
    report("Change the zoom (mean)", zoom.mean(), "ms", 50);
    std::printf("  median %.1f ms, worst %.1f ms\n", zoom.median(), zoom.worst());
    std::printf("resident memory now %.0f MB above the start\n", residentMb() - before);

    delete w;
    return allPassed() ? 0 : 1;
}
