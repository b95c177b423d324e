// Speed of the customers window on a long customer list: opening it,
// finding a customer by last name, saving a changed customer.
//
//   bench_maint [PATH]
//
// The benchmark makes its own demo database of 100,000 customers in a
// temporary folder (PATH, the million-request file of the other
// benchmarks, is not used).  Each figure is printed with its target and
// PASS or FAIL; the exit status is 1 when any figure fails.
#include "base/formats.h"
#include "base/globals.h"
#include "benchsupport.h"
#include "db/database.h"
#include "maintenance/frmcust.h"
#include "maintenance/maintmenu.h"
#include "tools/createdb.h"
#include "tools/demodata.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

using namespace cvd;
using namespace cvd::bench;

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SilentPlatform platform;
    fmt::setLocale(QLocale(QLocale::English, QLocale::UnitedStates));

    QTemporaryDir dir;
    tools::DemoOptions options;
    options.customers = 100000;
    options.requests = 100000;
    const double makeMs = timed([&] { tools::createDemoDatabase(dir.path(), options); });
    MainDb = Database::Open(dir.filePath(QStringLiteral("cvd.mdb")));
    std::printf("demo database of 100,000 customers made in %.0f ms\n", makeMs);

    // Opening: from the menu command to the first customer on display.
    Timing open;
    for (int i = 0; i < 20; ++i) {
        open.add(timed([] {
            openMaintWindow(2);
            QCoreApplication::processEvents();
        }));
        closeMaintWindows();
    }
    report("Opening the customers window (mean)", open.mean(), "ms", 300);
    std::printf("  median %.1f ms, worst %.1f ms\n", open.median(), open.worst());

    auto* w = static_cast<frmCust*>(openMaintWindow(2));
    QCoreApplication::processEvents();

    // Find by the beginning of a last name, as users type it: two or three
    // letters, a whole name, and names that are not there.
    auto names = MainDb->OpenRecordset(QStringLiteral("Select LastName from Customers"), RecordsetType::Snapshot);
    QStringList lastNames;
    while (!names->Eof()) {
        lastNames << names->Field(QStringLiteral("LastName")).displayText();
        names->MoveNext();
    }
    names->Close();
    QRandomGenerator rng(7);
    Timing find;
    int missed = 0;
    for (int i = 0; i < 200; ++i) {
        const QString name = lastNames.at(int(rng.bounded(qint64(lastNames.size()))));
        const QString typed = i % 10 == 9 ? QStringLiteral("Zzq") + name : name.left(2 + i % 3);
        platform.inputs << typed;
        const int before = platform.told.value(QStringLiteral("That customer was not found."));
        find.add(timed([&] { w->cmdFind->click(); }));
        missed += platform.told.value(QStringLiteral("That customer was not found.")) - before;
    }
    report("Find by last name (mean)", find.mean(), "ms", 100);
    std::printf("  median %.1f ms, worst %.1f ms; %d of 200 not found (20 meant not to be)\n", find.median(),
                find.worst(), missed);

    // Update of a changed customer, shown again in its sorted place.
    Timing update;
    for (int i = 0; i < 20; ++i) {
        const QString phone = w->txtPhone->text();
        w->txtPhone->setText(QStringLiteral("555-0199"));
        update.add(timed([&] { w->cmdUpdate->click(); }));
        w->txtPhone->setText(phone);
        w->cmdUpdate->click();
        w->cmdNext->click();
    }
    report("Update of a customer, shown in its place (mean)", update.mean(), "ms", 300);
    std::printf("  median %.1f ms, worst %.1f ms\n", update.median(), update.worst());

    closeMaintWindows();
    MainDb.reset();
    if (!platform.told.isEmpty() && platform.told.size() > 1)
        std::printf("messages shown: %d kinds\n", int(platform.told.size()));
    return allPassed() ? 0 : 1;
}
