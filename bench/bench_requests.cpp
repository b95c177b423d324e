// Speed of the main window's request handling on a large request table:
// stepping through the requests, saving an edited request, deleting one.
//
//   bench_requests PATH
//
// PATH is a cvd.mdb with many requests (cvdtool demo FOLDER --requests
// 1000000).  The requests the benchmark edits are put back and the ones it
// adds are deleted again, so the file holds the same requests afterwards.  Each figure is printed with its
// target and PASS or FAIL; the exit status is 1 when any figure fails.
#include "base/formats.h"
#include "base/globals.h"
#include "base/platform.h"
#include "benchsupport.h"
#include "db/database.h"
#include "db/errors.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/startup.h"
#include "search/findquery.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace cvd;
using namespace cvd::bench;

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_requests PATH-TO-cvd.mdb\n");
        return 2;
    }
    SilentPlatform platform;
    fmt::setLocale(QLocale(QLocale::English, QLocale::UnitedStates));

    frmMain w;
    const double startMs = timed([&] { startUp(w, QStringLiteral("-d ") + QFileInfo(QString::fromLocal8Bit(argv[1])).absolutePath()); });
    if (!ReqSet || ReqSet->RecordCount() == 0) {
        std::fprintf(stderr, "no requests in %s\n", argv[1]);
        return 2;
    }
    report("start-up with the first request shown", startMs, "ms", 100.0);

    // The first save after start-up (the file's check of its structure may
    // still be reading), then Last and First, each with the record shown.
    {
        const QString before = w.txtShortDesc->text();
        w.txtShortDesc->setText(before + QStringLiteral(" (checked)"));
        report("the first Update after start-up", timed([&] { w.cmdUpdate->click(); }), "ms", 100.0);
        w.txtShortDesc->setText(before);
        w.cmdUpdate->click();
    }
    Timing ends;
    ends.add(timed([&] { w.cmdLast->click(); }));
    ends.add(timed([&] { w.cmdFirst->click(); }));
    ends.add(timed([&] { w.cmdLast->click(); }));
    report("Last and First, the worst click with the record shown", ends.worst(), "ms", 2.0);

    // Next and Previous, each click including showing the record.
    Timing next, previous;
    for (int i = 0; i < 2000; ++i)
        next.add(timed([&] { w.cmdNext->click(); }));
    for (int i = 0; i < 2000; ++i)
        previous.add(timed([&] { w.cmdPrevious->click(); }));
    w.cmdLast->click();
    for (int i = 0; i < 500; ++i)
        previous.add(timed([&] { w.cmdPrevious->click(); }));
    report("Next, per click with the record shown (mean)", next.mean(), "ms", 2.0);
    report("Previous, per click with the record shown (mean)", previous.mean(), "ms", 2.0);
    std::printf("  median Next %.3f ms, worst %.3f ms; median Previous %.3f ms, worst %.3f ms\n", next.median(),
                next.worst(), previous.median(), previous.worst());

    // Update of an edited request, found again by its key and shown: at the
    // newest, the oldest and in between.
    Timing update;
    for (int round = 0; round < 30; ++round) {
        if (round % 3 == 0)
            w.cmdFirst->click();
        else if (round % 3 == 1)
            w.cmdLast->click();
        for (int s = 0; s < 7 * round; ++s)
            w.cmdPrevious->click();
        // Edited and saved, then put back as it was and saved again.
        const QString before = w.txtShortDesc->text();
        w.txtShortDesc->setText(before + QStringLiteral(" (checked)"));
        update.add(timed([&] { w.cmdUpdate->click(); }));
        w.txtShortDesc->setText(before);
        update.add(timed([&] { w.cmdUpdate->click(); }));
    }
    report("Update of an edited request, found and shown (mean)", update.mean(), "ms", 50.0);
    std::printf("  median Update %.3f ms, worst %.3f ms\n", update.median(), update.worst());

    // Requests added for the delete, then the set opened again so that they
    // stand in their place among the others (the newest first).
    std::vector<int> added;
    for (int i = 0; i < 20; ++i) {
        w.cmdAddNew->click();
        w.txtShortDesc->setText(QStringLiteral("Benchmark request %1").arg(i));
        w.cmdUpdate->click();
        added.push_back(w.txtReqID->text().toInt());
    }
    ReqSet = MainDb->OpenRecordset(AllRequestsSql, RecordsetType::Dynaset);
    Timing del;
    for (int key : added) {
        ReqSet->FindFirst(QStringLiteral("ReqID = %1").arg(key));
        w.ShowRecord();
        del.add(timed([&] { w.cmdDelete->click(); }));
    }
    report("Delete, with the next request shown (mean)", del.mean(), "ms", 50.0);
    std::printf("  median Delete %.3f ms, worst %.3f ms\n", del.median(), del.worst());

    // Any message shown meanwhile (there should be none).
    for (auto it = platform.told.cbegin(); it != platform.told.cend(); ++it)
        std::printf("message shown %d times: %s\n", it.value(), qPrintable(it.key()));

    ReqSet.reset();
    MainDb.reset();
    return allPassed() ? 0 : 1;
}
