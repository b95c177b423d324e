// Speed of the main window's look-up lists with 100,000 customers: the
// activation that reloads the lists, and stepping through the requests,
// which selects each request's customer in a list of that size.
//
//   bench_lists [PATH]
//
// The benchmark makes its own database in a temporary folder (100,000
// customers, 200,000 requests); PATH, which bench/run.sh passes to every
// benchmark, is not used.  Each figure is printed with its target and PASS or
// FAIL; the exit status is 1 when any figure fails.
#include "base/formats.h"
#include "base/globals.h"
#include "benchsupport.h"
#include "db/database.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/startup.h"
#include "tools/demodata.h"
#include "ui/lookuplists.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

using namespace cvd;
using namespace cvd::bench;

namespace {

constexpr int kCustomers = 100'000;
constexpr int kRequests = 200'000;

void setAllListFlags(bool on)
{
    CatListChanged = CustListChanged = DeptListChanged = PriListChanged = StaffListChanged = on;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SilentPlatform platform;
    fmt::setLocale(QLocale(QLocale::English, QLocale::UnitedStates));

    QTemporaryDir tmp;
    if (!tmp.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 2;
    }
    tools::DemoOptions options;
    options.customers = kCustomers;
    options.requests = kRequests;
    const double demoMs = timed([&] { tools::createDemoDatabase(tmp.path(), options); });
    std::printf("demo database, %d customers and %d requests: %.0f ms\n", kCustomers, kRequests, demoMs);

    frmMain w;
    const double startMs = timed([&] { startUp(w, QStringLiteral("-d ") + tmp.path()); });
    if (!ReqSet || ReqSet->RecordCount() == 0) {
        std::fprintf(stderr, "no requests in the demo database\n");
        return 2;
    }
    std::printf("start-up with the first request shown: %.1f ms\n", startMs);
    // Shown, as on the desktop; the first showing fills the lists.
    const double showMs = timed([&] {
        w.show();
        QApplication::processEvents();
    });
    std::printf("window shown with its lists filled: %.1f ms\n", showMs);
    // An activation as the user sees it: the lists reloaded, the request
    // shown again and the window painted.
    auto activate = [&] {
        w.Form_Activate();
        QApplication::processEvents();
    };

    // (a) Activation with every list to reload (as after start-up), and with
    // only the customers (as after the customers window was active).
    Timing all, custOnly;
    for (int i = 0; i < 7; ++i) {
        setAllListFlags(true);
        all.add(timed(activate));
    }
    for (int i = 0; i < 7; ++i) {
        CustListChanged = true;
        custOnly.add(timed(activate));
    }
    if (w.cmbCust->count() != kCustomers) {
        std::fprintf(stderr, "cmbCust holds %d entries, not %d\n", w.cmbCust->count(), kCustomers);
        return 2;
    }
    report("Activation reloading all six lists (median)", all.median(), "ms", 300.0);
    report("Activation reloading the customer list (median)", custOnly.median(), "ms", 300.0);
    std::printf("  worst all lists %.1f ms; worst customers %.1f ms\n", all.worst(), custOnly.worst());
    const double idle = timed(activate);
    std::printf("  activation with no list to reload: %.3f ms\n", idle);

    // Where the customers' reload goes: the query read through the record
    // set with a field-name look-up per value, the list's own read, filling
    // a list, and the first showing of a request afterwards (which selects
    // in the new list).
    const double recordsetMs = timed([&] {
        auto rs = MainDb->OpenRecordset(lookup::CustomersSql, RecordsetType::Snapshot);
        qint64 sum = 0;
        while (!rs->Eof()) {
            sum += rs->Field(QStringLiteral("CustID")).toLong();
            sum += nameRule(rs->Field(QStringLiteral("LastName")), rs->Field(QStringLiteral("FirstName"))).size();
            rs->MoveNext();
        }
        rs->Close();
        if (sum == 42)
            std::printf(" ");
    });
    ListEntries entries;
    const double readMs = timed([&] { entries = readEntries(*MainDb, lookup::CustomersSql, QStringLiteral("CustID")); });
    QComboBox spare;
    spare.setEditable(true);
    const double fillMs = timed([&] { setEntries(&spare, entries); });
    const double refillMs = timed([&] { setEntries(&spare, entries); });
    CustListChanged = true;
    {
        const bool wasEditing = w.Editing;
        w.Editing = true; // as the activation does while it fills
        reloadChangedLists(*MainDb, w.lists());
        w.Editing = wasEditing;
    }
    const double firstShowMs = timed([&] { w.ShowRecord(); });
    std::printf("  customers read through the record set by field name: %.1f ms\n", recordsetMs);
    std::printf("  customers read for the list (readEntries): %.1f ms\n", readMs);
    std::printf("  filling an editable list (setEntries): first %.1f ms, again %.1f ms\n", fillMs, refillMs);
    std::printf("  first ShowRecord after the reload: %.1f ms\n", firstShowMs);

    // The customers' drop-down opened after a reload (laid out anew).
    CustListChanged = true;
    activate();
    const double popupMs = timed([&] {
        w.cmbCust->showPopup();
        QApplication::processEvents();
    });
    w.cmbCust->hidePopup();
    QApplication::processEvents();
    report("Opening the customers' drop-down after a reload", popupMs, "ms", 100.0);

    // (b) Next and Previous, each click showing the record with its customer
    // selected among 100,000 entries.
    w.cmdFirst->click();
    Timing next, previous, select;
    for (int i = 0; i < 2000; ++i)
        next.add(timed([&] { w.cmdNext->click(); }));
    for (int i = 0; i < 2000; ++i)
        previous.add(timed([&] { w.cmdPrevious->click(); }));
    report("Next, per click with the record shown (mean)", next.mean(), "ms", 2.0);
    report("Previous, per click with the record shown (mean)", previous.mean(), "ms", 2.0);
    std::printf("  median Next %.3f ms, worst %.3f ms; median Previous %.3f ms, worst %.3f ms\n", next.median(),
                next.worst(), previous.median(), previous.worst());
    for (int i = 0; i < 2000; ++i) {
        const Value key((i * 7919) % kCustomers + 1);
        select.add(timed([&] { selectByItemData(w.cmbCust, key); }));
    }
    report("Selecting a customer by key in cmbCust (mean)", select.mean(), "ms", 0.5);

    for (auto it = platform.told.cbegin(); it != platform.told.cend(); ++it)
        std::printf("message shown %d times: %s\n", it.value(), qPrintable(it.key()));

    ReqSet.reset();
    MainDb.reset();
    return allPassed() ? 0 : 1;
}
