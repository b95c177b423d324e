// Speed of a find on a large request table: a search text plus a
// department entered in the find dialog, timed from OK to the main window
// showing the first match, against the sqlite3 shell running the same
// query (its `like` written with SQLite's own wildcards) on the same file.
// Both must give the same number of rows and the same first request.
//
//   bench_find PATH [TEXT [DEPARTMENT]]
//
// PATH is a cvd.mdb with many requests (cvdtool demo FOLDER --requests
// 1000000); TEXT defaults to "printer", DEPARTMENT to the first one in the
// dialog's list.  The program holds the file exclusively while it runs, so
// its finds are timed first and the shell's after it has let the file go.
// Prints both medians and their ratio with PASS or FAIL (target: under 2);
// the exit status is 1 on FAIL.
#include "base/formats.h"
#include "base/globals.h"
#include "base/platform.h"
#include "benchsupport.h"
#include "db/database.h"
#include "db/errors.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/startup.h"
#include "search/frmfind.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace cvd;
using namespace cvd::bench;

namespace {

constexpr int Rounds = 7;
const QString Shell = QStringLiteral("/usr/bin/sqlite3");

// What a find gave: the number of rows and the first request.
struct Result {
    long rows = 0;
    QString firstId;
    QString text() const { return QStringLiteral("%1 rows, first request %2").arg(rows).arg(firstId); }
    bool operator==(const Result&) const = default;
};

// One find through the dialog, from OK to the first match shown; the
// entries are made at the first opening and kept by the dialog after it.
double programFind(frmMain& w, const QString& text, const QString& dept, QString* deptChosen)
{
    QElapsedTimer t;
    QTimer::singleShot(0, &w, [&] {
        frmFind* d = loadedFindDialog();
        if (!d)
            return;
        if (d->Search1->text().isEmpty()) {
            d->Search1->setText(text);
            const int i = dept.isEmpty() ? 0 : d->cmbDept->findText(dept);
            d->cmbDept->setCurrentIndex(std::max(0, i));
        }
        *deptChosen = d->cmbDept->currentText();
        t.start();
        d->cmdOK->click();
    });
    w.cmdFind->click();
    return double(t.nsecsElapsed()) / 1e6;
}

// The query for the shell: the engine's translation, with the dialect's
// `like` wildcard '*' written as SQLite's '%'.
QString shellQuery(const QString& findSql)
{
    QString sql = translateSql(findSql);
    sql.replace(QLatin1String("like '*"), QLatin1String("like '%"));
    sql.replace(QLatin1String("*'"), QLatin1String("%'"));
    return sql;
}

// The shell run as a process on the file; its rows read back in its ASCII
// mode (fields split by 0x1F, rows by 0x1E), the request number first.
double shellFind(const QString& dbPath, const QString& sql, Result* out)
{
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start(Shell, {QStringLiteral("-ascii"), dbPath, sql});
    p.waitForFinished(-1);
    const QByteArray bytes = p.readAllStandardOutput();
    const double ms = double(t.nsecsElapsed()) / 1e6;
    if (p.exitCode() != 0)
        std::fprintf(stderr, "sqlite3: %s\n", p.readAllStandardError().constData());
    const QList<QByteArray> rows = bytes.split('\x1e');
    out->rows = long(std::count_if(rows.begin(), rows.end(), [](const QByteArray& r) { return !r.isEmpty(); }));
    out->firstId = rows.isEmpty() ? QString() : QString::fromUtf8(rows.first().split('\x1f').first());
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_find PATH-TO-cvd.mdb [TEXT [DEPARTMENT]]\n");
        return 2;
    }
    const QString dbPath = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const QString text = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("printer");
    const QString dept = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    if (!QFileInfo(Shell).isExecutable()) {
        std::fprintf(stderr, "%s is needed for the comparison\n", qPrintable(Shell));
        return 2;
    }
    SilentPlatform platform;
    fmt::setLocale(QLocale(QLocale::English, QLocale::UnitedStates));

    // The program: a cold find right after start-up, then the timed rounds.
    std::vector<double> ours;
    double cold = 0;
    Result program;
    QString sql, deptChosen;
    {
        frmMain w;
        startUp(w, QStringLiteral("-d ") + QFileInfo(dbPath).absolutePath());
        if (!ReqSet || ReqSet->RecordCount() == 0) {
            std::fprintf(stderr, "no requests in %s\n", qPrintable(dbPath));
            return 2;
        }
        cold = programFind(w, text, dept, &deptChosen);
        for (int i = 0; i < Rounds; ++i)
            ours.push_back(programFind(w, text, dept, &deptChosen));
        sql = FindSQL;
        program.firstId = w.txtReqID->text();
        if (w.windowTitle() != QStringLiteral("Calvedon -- Selected Records"))
            program.firstId = QStringLiteral("(no match: ") + platform.told.keys().join(u' ') + u')';
        ReqSet->MoveLast();
        program.rows = ReqSet->RecordCount();
        // The file is let go for the shell.
        ReqSet.reset();
        MainDb.reset();
    }

    const QString query = shellQuery(sql);
    std::vector<double> theirs;
    Result shell;
    shellFind(dbPath, query, &shell); // the file's pages into the system's cache, as for the program
    for (int i = 0; i < Rounds; ++i)
        theirs.push_back(shellFind(dbPath, query, &shell));

    const double a = Timing{ours}.median(), b = Timing{theirs}.median();
    const double ratio = b > 0 ? a / b : 0;
    const bool same = program == shell;
    const bool pass = same && ratio < 2.0;
    std::printf("find on \"%s\" in %s\n", qPrintable(text), qPrintable(deptChosen));
    std::printf("  program: %s\n  shell:   %s\n", qPrintable(sql), qPrintable(query));
    std::printf("  result: program %s; shell %s  %s\n", qPrintable(program.text()), qPrintable(shell.text()),
                same ? "same" : "DIFFERENT");
    std::printf("%-52s %12.3f ms  (first find after start-up %.3f ms)\n", "find, OK to first match shown (median)", a,
                cold);
    std::printf("%-52s %12.3f ms\n", "sqlite3 shell, same query and rows (median)", b);
    std::printf("%-52s %12.3f     target < 2  %s\n", "ratio program / shell", ratio, pass ? "PASS" : "FAIL");
    return pass ? 0 : 1;
}
