// A data file whose company heading is empty (as a new file's is): the
// first bill run of the program asks whether to set it now.  Yes opens the
// defaults window (the main window gives the bills its defaults window) and
// makes no bill; No makes the bills without a heading; either way no later
// run asks again.  A file with a heading never asks, nor does a run without
// windows (cvdtool report).
#include "defaults/frmdefault.h"
#include "reportfixture.h"
#include "reports/reportprocs.h"
#include "support/mainwindowfixture.h"
#include "support/testmain.h"

using namespace cvd;
using namespace cvd::test;

class tst_billheading : public QObject {
    Q_OBJECT
    // Installed before the main window, which fills in its defaults window.
    std::unique_ptr<TestReportWindows> windows;
    std::unique_ptr<MainWindowFixture> f;

    // One bill run as its menu command starts it: whether it made bills.
    bool billsMade(bool toFile, int mode)
    {
        windows->previews.clear();
        ReportTarget = toFile ? ReportTargetKind::File : ReportTargetKind::Preview;
        ReportFileName = f->dir.filePath(QStringLiteral("bills.txt"));
        QFile::remove(ReportFileName);
        ReportMode = mode;
        BillsReport();
        return toFile ? QFile::exists(ReportFileName) : windows->previews.size() == 1;
    }
    int questions() const
    {
        return int(f->p.messageTexts().count(QStringLiteral("The company name and address that head every bill are "
                                                            "empty.  Set them now in the defaults window?")));
    }

private slots:
    void init()
    {
        windows = std::make_unique<TestReportWindows>();
        windows->options = [] { std::tie(ReportCancelled, ReportStartDate, ReportEndDate) = std::tuple(false, QDate(1990, 1, 1), QDate(2030, 12, 31)); };
        f = std::make_unique<MainWindowFixture>();
        f->started();
    }
    void cleanup()
    {
        f.reset(); // before the windows, whose defaults window it gave
        windows.reset();
    }

    void firstBillRun_data()
    {
        QTest::addColumn<QString>("heading"); // SQL run first; empty: the fixture's heading
        QTest::addColumn<bool>("offered");    // false: no defaults window to offer (cvdtool)
        QTest::addColumn<bool>("toFile");
        QTest::addColumn<int>("answer");      // to the question, when it is asked
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("firstMade");  // bills made by the first run (a second always makes them)
        const QString empty = QStringLiteral("update Settings set CompName = '', CompAdd = ''");
        const QString blanks = QStringLiteral("update Settings set CompName = null, CompAdd = '   '");
        const int yes = int(Answer::Yes), no = int(Answer::No);
        QTest::newRow("yes: the defaults window, no bill") << empty << true << false << yes << true << false;
        QTest::newRow("yes, to a file") << blanks << true << true << yes << true << false;
        QTest::newRow("no: bills without heading") << empty << true << false << no << true << true;
        QTest::newRow("only a name: never asked") << "update Settings set CompAdd = null" << true << true << yes << false << true;
        QTest::newRow("a heading: never asked") << QString() << true << false << yes << false << true;
        QTest::newRow("no windows (cvdtool): never asked") << empty << false << false << yes << false << true;
    }
    void firstBillRun()
    {
        QFETCH(QString, heading);
        QFETCH(bool, offered);
        QFETCH(bool, toFile);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QFETCH(bool, firstMade);
        if (!heading.isEmpty())
            MainDb->Execute(heading);
        if (!offered)
            reportWindows().showDefaults = {};
        f->p.answers << Answer(answer);
        for (int mode : {1, 2}) {
            QCOMPARE(billsMade(toFile, mode), mode == 2 || firstMade);
            QCOMPARE(questions(), int(asked));
            const auto* d = f->w->findChild<frmDefault*>();
            QCOMPARE(d && d->isVisible(), asked && answer == int(Answer::Yes));
        }
        if (!toFile)
            QCOMPARE(textsOf(windows->previews.front().pages.value(0)).contains(QStringLiteral("Calvedon Service Desk")),
                     heading.isEmpty());
    }
};

CVD_TEST_MAIN(tst_billheading)
#include "tst_billheading.moc"
