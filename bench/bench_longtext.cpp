// Speed of showing requests with very long texts: requests whose request
// description and response hold 100,000 characters each (one paragraph of
// words; short lines; lines ended by CR LF; one word without a blank, as
// pasted data or a run of one key can be), the newest of them shown at
// start-up, and each stepped onto with Next and Previous among ordinary
// requests, with the window painted.
//
//   bench_longtext [ANY]
//
// The database is made in a temporary folder (demo requests plus the long
// ones); an argument, such as the path the other benchmarks take, is
// ignored.  Each figure is printed with its target and PASS or FAIL; the exit
// status is 1 when any figure fails.
#include "base/formats.h"
#include "base/globals.h"
#include "benchsupport.h"
#include "db/database.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/startup.h"
#include "tools/createdb.h"
#include "tools/demodata.h"

#include <QApplication>
#include <QDate>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>

using namespace cvd;
using namespace cvd::bench;

namespace {

constexpr int Length = 100000;

// 100,000 characters of words: one paragraph, or lines of about 70
// characters ended by `lineEnd`.
QString longText(const QString& lineEnd)
{
    const QStringList words{QStringLiteral("printer"), QStringLiteral("queue"), QStringLiteral("stalls"),
                            QStringLiteral("after"), QStringLiteral("the"), QStringLiteral("driver"),
                            QStringLiteral("update;"), QStringLiteral("Ångström"), QStringLiteral("checked"),
                            QStringLiteral("cables,"), QStringLiteral("rebooted"), QStringLiteral("twice.")};
    QString out;
    out.reserve(Length + 100);
    int line = 0;
    for (int i = 0; out.size() < Length; ++i) {
        const QString& w = words[i % words.size()];
        if (!lineEnd.isEmpty() && line + w.size() > 70) {
            out += lineEnd;
            line = 0;
        } else if (!out.isEmpty()) {
            out += QLatin1Char(' ');
            ++line;
        }
        out += w;
        line += int(w.size());
    }
    out.truncate(Length);
    return out;
}

void insertLong(sqlite3* db, int key, const QDate& date, const QString& text)
{
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into Req (ReqID, ShortDesc, ReqDesc, Resp, ReqDate, HoursTot, MinTot, CostTot) "
                       "values (?, ?, ?, ?, ?, 1, 0, 400000)",
                       -1, &st, nullptr);
    const QByteArray shortDesc = QStringLiteral("Long text %1").arg(key).toUtf8();
    const QByteArray body = text.toUtf8();
    const QByteArray day = date.toString(Qt::ISODate).toUtf8();
    sqlite3_bind_int(st, 1, key);
    sqlite3_bind_text(st, 2, shortDesc.constData(), int(shortDesc.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 3, body.constData(), int(body.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 4, body.constData(), int(body.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 5, day.constData(), int(day.size()), SQLITE_TRANSIENT);
    sqlite3_step(st);
    sqlite3_finalize(st);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SilentPlatform platform;
    fmt::setLocale(QLocale(QLocale::English, QLocale::UnitedStates));

    // Demo requests up to today; after them each long request followed by
    // an ordinary one, the one paragraph the newest and shown first.
    QTemporaryDir dir;
    const QDate today = QDate::currentDate();
    const QString kinds[] = {QStringLiteral("one paragraph"), QStringLiteral("lines ended by LF"),
                             QStringLiteral("lines ended by CR LF"), QStringLiteral("one word")};
    tools::DemoOptions demo;
    demo.requests = 200;
    demo.today = today;
    tools::createDatabase(dir.path(), [&](sqlite3* db) {
        tools::fillDemo(db, demo);
        const QString texts[] = {longText(QString()), longText(QStringLiteral("\n")), longText(QStringLiteral("\r\n")),
                                 QString(Length, QLatin1Char('x'))};
        for (int k = 0; k < 4; ++k) {
            insertLong(db, 1000001 + k, today.addDays(8 - 2 * k), texts[k]);
            insertLong(db, 1000011 + k, today.addDays(7 - 2 * k), QStringLiteral("An ordinary request"));
        }
    });

    // For comparison, start-up on the demo requests alone (once to warm up
    // what the first window of a process loads, then measured).
    QTemporaryDir plainDir;
    tools::createDemoDatabase(plainDir.path(), demo);
    auto startMs = [](frmMain& w, const QString& folder) {
        return timed([&] {
            startUp(w, QStringLiteral("-d ") + folder);
            w.show();
            QCoreApplication::processEvents();
            w.repaint();
        });
    };
    double plainMs = 0;
    for (int i = 0; i < 2; ++i) {
        frmMain plain;
        plainMs = startMs(plain, plainDir.path());
        ReqSet.reset();
        MainDb.reset();
    }

    // Start-up, the window shown and painted with the newest request.
    frmMain w;
    const double longMs = startMs(w, dir.path());
    if (w.txtReqID->text() != QStringLiteral("1000001")) {
        std::fprintf(stderr, "the long request is not shown first\n");
        return 2;
    }
    // The long request may add to the start-up what showing it adds to Next.
    report("start-up, a 100,000-character paragraph shown first", longMs, "ms", plainMs + 100.0);
    std::printf("  start-up with an ordinary request first: %.1f ms\n", plainMs);

    // Onto each long request from the ordinary one after it, and back.
    for (int k = 0; k < 4; ++k) {
        Timing onto, away;
        for (int round = 0; round < 5; ++round) {
            w.cmdFirst->click();
            for (int s = 0; s < 2 * k; ++s)
                w.cmdNext->click();
            w.cmdNext->click(); // the request after it
            QCoreApplication::processEvents();
            onto.add(timed([&] {
                w.cmdPrevious->click();
                w.repaint();
            }));
            away.add(timed([&] {
                w.cmdNext->click();
                w.repaint();
            }));
        }
        const QByteArray figure = ("Previous onto 100,000 characters, " + kinds[k] + " (worst)").toUtf8();
        report(figure.constData(), onto.worst(), "ms", 100.0);
        std::printf("  median %.1f ms; from it to an ordinary request: median %.1f ms, worst %.1f ms\n", onto.median(),
                    away.median(), away.worst());
    }

    ReqSet.reset();
    MainDb.reset();
    (void)argc;
    (void)argv;
    return allPassed() ? 0 : 1;
}
