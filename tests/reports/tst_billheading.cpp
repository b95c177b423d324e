// A data file whose company heading is empty (as a new file's is): the
// first bill run of the program asks whether to set it now.  Yes opens the
// defaults window and makes no bill; No makes the bills without a heading;
// either way no later run asks again.  A file with a heading never asks,
// nor does a run without windows (cvdtool report).
#include "base/globals.h"
#include "defaults/frmdefault.h"
#include "reports/reportprocs.h"
#include "support/mainwindowfixture.h"
#include "support/testmain.h"

#include <QFile>
#include <QtTest>

using namespace cvd;
using namespace cvd::test;

namespace {

const QString kQuestion = QStringLiteral("The company name and address that head every bill are empty.  Set them now in "
                                         "the defaults window?");

} // namespace

class tst_billheading : public QObject {
    Q_OBJECT
    std::unique_ptr<MainWindowFixture> f;
    QList<PageDocument> previews;

    // One bill run as its menu command starts it: whether it made bills.
    bool billsMade(const QString& target, int mode)
    {
        previews.clear();
        const QString file = f->dir.filePath(QStringLiteral("bills.txt"));
        QFile::remove(file);
        ReportTarget = target == QLatin1String("file") ? ReportTargetKind::File : ReportTargetKind::Preview;
        ReportFileName = file;
        ReportMode = mode;
        ShowLandscapeOption = false;
        BillsReport();
        return ReportTarget == ReportTargetKind::File ? QFile::exists(file) : previews.size() == 1;
    }
    bool defaultsWindowShown() const
    {
        const auto* d = f->w->findChild<frmDefault*>();
        return d && d->isVisible();
    }

private slots:
    void init()
    {
        f = std::make_unique<MainWindowFixture>();
        f->started();
        ShowReportOptions = [] {
            ReportCancelled = false;
            ReportStartDate = QDate(1990, 1, 1);
            ReportEndDate = QDate(2030, 12, 31);
            StateFilter = StateFilterKind::Both;
            SelectedID = 0;
        };
        ShowPreview = [this](PageDocument doc) { previews << doc; };
    }
    void cleanup() { f.reset(); }

    void firstBillRun_data()
    {
        QTest::addColumn<QString>("heading"); // SQL run first; empty: the fixture's heading
        QTest::addColumn<bool>("windows");    // false: no defaults window to offer (cvdtool)
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("answer");       // to the question, when it is asked
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("firstMade");   // bills made by the first run, then by a second
        QTest::addColumn<bool>("defaultsShown");

        const QString empty = QStringLiteral("update Settings set CompName = '', CompAdd = ''");
        const QString nulls = QStringLiteral("update Settings set CompName = null, CompAdd = null");
        const QString blanks = QStringLiteral("update Settings set CompName = '  ', CompAdd = '   '");
        const int yes = int(Answer::Yes), no = int(Answer::No);
        QTest::newRow("yes: the defaults window, no bill")
            << empty << true << "preview" << 1 << yes << true << false << true;
        QTest::newRow("yes, by department to a file") << nulls << true << "file" << 2 << yes << true << false << true;
        QTest::newRow("no: bills without heading") << empty << true << "preview" << 1 << no << true << true << false;
        QTest::newRow("no, by department to a file") << blanks << true << "file" << 2 << no << true << true << false;
        QTest::newRow("a heading: never asked") << QString() << true << "preview" << 2 << yes << false << true << false;
        QTest::newRow("only a name: never asked")
            << QStringLiteral("update Settings set CompAdd = null") << true << "file" << 1 << yes << false << true
            << false;
        QTest::newRow("no windows (cvdtool): never asked") << empty << false << "preview" << 1 << yes << false << true
                                                           << false;
    }
    void firstBillRun()
    {
        QFETCH(QString, heading);
        QFETCH(bool, windows);
        QFETCH(QString, target);
        QFETCH(int, mode);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QFETCH(bool, firstMade);
        QFETCH(bool, defaultsShown);
        if (!heading.isEmpty())
            MainDb->Execute(heading);
        if (!windows)
            ShowDefaults = {};
        f->p.answers << Answer(answer);

        QCOMPARE(billsMade(target, mode), firstMade);
        QList<MessageCall> questions;
        for (const MessageCall& m : f->p.messages)
            if (m.title == QLatin1String("Bills"))
                questions << m;
        QCOMPARE(questions.size(), asked ? 1 : 0);
        if (asked) {
            QCOMPARE(questions.front().text, kQuestion);
            QCOMPARE(questions.front().flags, Mb::YesNo | Mb::Question);
        }
        QCOMPARE(defaultsWindowShown(), defaultsShown);
        if (firstMade && target == QLatin1String("preview")) {
            const QStringList texts = [&] {
                QStringList t;
                for (const PageText& x : previews.front().pages.value(0).texts)
                    t << x.text;
                return t;
            }();
            QCOMPARE(texts.contains(QStringLiteral("Calvedon Service Desk")), heading.isEmpty());
        }

        // A second run never asks: the bills, with the heading as it is now.
        f->p.messages.clear();
        QVERIFY(billsMade(target, mode));
        for (const MessageCall& m : f->p.messages)
            QVERIFY2(m.title != QLatin1String("Bills"), qPrintable(m.text));
    }
};

CVD_TEST_MAIN(tst_billheading)
#include "tst_billheading.moc"
