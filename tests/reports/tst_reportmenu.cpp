// The Reports menu: the output target's check marks, and each report
// command's steps before its report (the target, the Save As dialog with
// the command's file name on the file target, the grouping and whether
// landscape is offered); a cancelled Save As makes nothing; the commands
// stay available while a request is being edited.
#include "base/globals.h"
#include "reports/frmrptdateemp.h"
#include "reports/reportcommand.h"
#include "reports/reportprocs.h"
#include "support/mainwindowfixture.h"
#include "ui/elasticframe.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

using namespace cvd;
using namespace cvd::test;

namespace {

struct SaveAsCall {
    QString title, defaultName, filter;
};

// The scripted platform, also keeping what each Save As dialog was given.
class SaveAsRecorder : public ScriptedPlatform {
public:
    QString saveAs(const QString& title, const QString& defaultName, const QString& filter) override
    {
        saveAsCalls << SaveAsCall{title, defaultName, filter};
        if (failWith)
            raise(failWith);
        return ScriptedPlatform::saveAs(title, defaultName, filter);
    }
    QList<SaveAsCall> saveAsCalls;
    int failWith = 0;
};

} // namespace

class tst_reportmenu : public QObject {
    Q_OBJECT
    std::unique_ptr<MainWindowFixture> f;
    std::unique_ptr<SaveAsRecorder> p;
    // What each report saw when it asked for its options.
    QStringList reports;

    frmMain& started()
    {
        frmMain& w = f->started();
        p = std::make_unique<SaveAsRecorder>(); // in place of the fixture's
        ShowReportOptions = [this] {
            const char* target = ReportTarget == ReportTargetKind::Preview ? "preview" : "file";
            reports << QStringLiteral("%1 %2 mode %3 landscape %4")
                           .arg(target, QDir(f->dir.path()).relativeFilePath(ReportFileName))
                           .arg(ReportMode)
                           .arg(ShowLandscapeOption);
        };
        return w;
    }
    QAction* command(frmMain& w, const QString& name) { return w.findChild<QAction*>(name); }

private slots:
    void init()
    {
        f = std::make_unique<MainWindowFixture>();
        reports.clear();
    }
    void cleanup()
    {
        p.reset();
        setPlatform(&f->p);
        f.reset();
    }

    // Exactly one target is checked: the preview at start, then the one
    // chosen last, also when it is chosen twice.
    void targetMarks()
    {
        frmMain& w = started();
        QString marks;
        for (int i : {0, 2, 2, 1, 1, 2}) {
            if (i)
                w.mnuRptOut[i]->trigger();
            marks += QStringLiteral(" %1%2").arg(w.mnuRptOut[1]->isChecked()).arg(w.mnuRptOut[2]->isChecked());
        }
        QCOMPARE(marks, QStringLiteral(" 10 01 01 10 10 01"));
        QVERIFY(w.mnuRptOut[1]->isCheckable() && w.mnuRptOut[2]->isCheckable());
    }

    // Every command on either target: the file target first asks for the
    // file, proposing the command's own name; the report then finds the
    // target, the file, its grouping and whether landscape is offered.
    void commands_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("landscapeOnPreview");
        QTest::newRow("listing by staff") << "mnuRpt0" << "ReqRpt.txt" << 0 << true;
        QTest::newRow("listing by customer") << "mnuRpt1" << "ReqRpt.txt" << 1 << true;
        QTest::newRow("listing by department") << "mnuRpt2" << "ReqRpt.txt" << 2 << true;
        QTest::newRow("listing by category") << "mnuRpt3" << "ReqRpt.txt" << 3 << true;
        QTest::newRow("hours by staff") << "mnuRptHours" << "Hours.txt" << 0 << false;
        QTest::newRow("charges by customer") << "mnuRptCharge0" << "Charge.txt" << 1 << false;
        QTest::newRow("charges by department") << "mnuRptCharge1" << "Charge.txt" << 2 << false;
        QTest::newRow("bills by customer") << "mnuBill0" << "bills.txt" << 1 << false;
        QTest::newRow("bills by department") << "mnuBill1" << "bills.txt" << 2 << false;
    }
    void commands()
    {
        QFETCH(QString, action);
        QFETCH(QString, fileName);
        QFETCH(int, mode);
        QFETCH(bool, landscapeOnPreview);
        frmMain& w = started();
        QAction* a = command(w, action);
        QVERIFY(a && a->isEnabled());
        a->trigger();
        QVERIFY(p->saveAsCalls.isEmpty());

        w.mnuRptOut[2]->trigger();
        p->saveAsPaths << f->dir.filePath(QStringLiteral("mine.txt"));
        a->trigger();
        // Back to the preview: the file chosen stays, unused.
        w.mnuRptOut[1]->trigger();
        a->trigger();
        QCOMPARE(p->saveAsCalls.size(), 1);
        QCOMPARE(p->saveAsCalls[0].defaultName, fileName);
        QCOMPARE(p->saveAsCalls[0].filter, QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*"));

        QCOMPARE(reports, (QStringList{QStringLiteral("preview  mode %1 landscape %2").arg(mode).arg(landscapeOnPreview),
                                       QStringLiteral("file mine.txt mode %1 landscape 0").arg(mode),
                                       QStringLiteral("preview mine.txt mode %1 landscape %2").arg(mode).arg(landscapeOnPreview)}));
        QCOMPARE(f->messages() + p->messageTexts().join('\n'), QString());
    }

    // The next Save As proposes that command's own name, in the folder of
    // the file chosen last.
    void proposedFolder()
    {
        frmMain& w = started();
        w.mnuRptOut[2]->trigger();
        QDir(f->dir.path()).mkdir(QStringLiteral("out"));
        p->saveAsPaths << f->dir.filePath(QStringLiteral("out/week.txt")) << f->dir.filePath(QStringLiteral("out/h.txt"));
        w.mnuRpt[1]->trigger();
        w.mnuRptHours->trigger();
        QCOMPARE(p->saveAsCalls.size(), 2);
        QCOMPARE(p->saveAsCalls[0].defaultName, QStringLiteral("ReqRpt.txt"));
        QCOMPARE(p->saveAsCalls[1].defaultName, QDir(f->dir.path()).filePath(QStringLiteral("out/Hours.txt")));
        QCOMPARE(reports.size(), 2);
        QVERIFY(reports[1].startsWith(QStringLiteral("file out/h.txt mode 0")));
    }

    // Cancel in the Save As dialog ends the command: no report, no file, no
    // message, the file chosen before kept.  A dialog that fails otherwise
    // is reported, and no report is made either.
    void saveAsNotGiven_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("message");
        QTest::newRow("cancelled") << 0 << "";
        QTest::newRow("dialog failed") << int(ErrNo::ObjectNotSet) << "91  ";
    }
    void saveAsNotGiven()
    {
        QFETCH(int, error);
        QFETCH(QString, message);
        frmMain& w = started();
        ReportFileName = f->dir.filePath(QStringLiteral("earlier.txt"));
        ReportMode = 3;
        p->failWith = error;
        w.mnuRptOut[2]->trigger();
        for (QAction* a : {w.mnuRpt[0], w.mnuRptHours, w.mnuRptCharge[1], w.mnuBill[0]})
            a->trigger();
        QCOMPARE(p->saveAsCalls.size(), 4);
        QCOMPARE(reports, QStringList());
        QCOMPARE(ReportFileName, f->dir.filePath(QStringLiteral("earlier.txt")));
        QCOMPARE(ReportMode, 3);
        QCOMPARE(QDir(f->dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("cvd.mdb")});
        const QStringList shown = p->messageTexts();
        QCOMPARE(shown.size(), message.isEmpty() ? 0 : 4);
        QVERIFY(message.isEmpty() || shown[0].startsWith(message));
    }

    // While a request is being edited the report commands stay available
    // and run; the edit goes on.
    void whileEditing()
    {
        frmMain& w = started();
        QVERIFY(typeInto(w.txtShortDesc, QStringLiteral("Still typing")));
        QVERIFY(f->editing());
        const QList<QAction*> all = {w.mnuRptOut[1], w.mnuRptOut[2], w.mnuRpt[0], w.mnuRpt[1], w.mnuRpt[2],
                                     w.mnuRpt[3], w.mnuRptHours, w.mnuRptCharge[0], w.mnuRptCharge[1],
                                     w.mnuBill[0], w.mnuBill[1]};
        for (QAction* a : all)
            QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
        w.mnuRptHours->trigger();
        QCOMPARE(reports.size(), 1);
        QVERIFY(f->editing());
        QCOMPARE(w.txtShortDesc->text(), QStringLiteral("Still typing"));
    }

    // The program's own Report Options dialog, as a command opens it for
    // its grouping ("Bills by Department": departments); Cancel makes nothing.
    void optionsDialog()
    {
        frmMain& w = started();
        ShowReportOptions = [] { showReportOptions(); };
        QString seen;
        QTimer::singleShot(0, &w, [&] {
            if (auto* d = qobject_cast<frmRptDateEmp*>(QApplication::activeModalWidget())) {
                seen = d->Frame1->title();
                d->cmdCancel->click();
            }
        });
        w.mnuBill[1]->trigger();
        QCOMPARE(seen, QStringLiteral("Include Requests From Department/Company"));
        QVERIFY(ReportCancelled);
        QCOMPARE(p->messageTexts(), QStringList());
    }
};

QTEST_MAIN(tst_reportmenu)
#include "tst_reportmenu.moc"
