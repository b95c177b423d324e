// The Reports menu: each report command's steps before its report (the
// target, the Save As dialog with the command's file name on the file
// target, the grouping and whether landscape is offered); a cancelled Save
// As makes nothing; the commands run while a request is being edited; the
// program's own report windows.
#include "reportfixture.h"
#include "reports/frmoutput.h"
#include "reports/frmrptdateemp.h"
#include "support/mainwindowfixture.h"
#include "ui/elasticframe.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace cvd;
using namespace cvd::test;

namespace {

// The scripted platform, also keeping the file name and filter each Save
// As dialog proposed.
class SaveAsRecorder : public ScriptedPlatform {
public:
    QString saveAs(const QString& title, const QString& defaultName, const QString& filter) override
    {
        proposed << defaultName + u' ' + filter;
        if (failWith)
            raise(failWith);
        return ScriptedPlatform::saveAs(title, defaultName, filter);
    }
    QStringList proposed;
    int failWith = 0;
};

} // namespace

class tst_reportmenu : public QObject {
    Q_OBJECT
    std::unique_ptr<MainWindowFixture> f;
    std::unique_ptr<SaveAsRecorder> p;
    std::unique_ptr<TestReportWindows> windows;
    QStringList reports; // what each report saw when it asked for its options

    frmMain& started()
    {
        frmMain& w = f->started();
        reports.clear();
        p = std::make_unique<SaveAsRecorder>(); // in place of the fixture's
        windows = std::make_unique<TestReportWindows>();
        windows->options = [this] {
            reports << QStringLiteral("%1 %2 mode %3 landscape %4")
                           .arg(ReportTarget == ReportTargetKind::Preview ? "preview" : "file",
                                QDir(f->dir.path()).relativeFilePath(ReportFileName))
                           .arg(ReportMode)
                           .arg(ShowLandscapeOption);
        };
        return w;
    }

private slots:
    void init() { f = std::make_unique<MainWindowFixture>(); }
    void cleanup() { windows.reset(); p.reset(); setPlatform(&f->p); f.reset(); }

    // Every command on either target, while a request is being edited: the
    // file target first asks for the file, proposing the command's own name;
    // the report then finds the target, the file, its grouping and whether
    // landscape is offered.  The edit goes on.
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
        QVERIFY(typeInto(w.txtShortDesc, QStringLiteral("Still typing")));
        QAction* a = w.findChild<QAction*>(action);
        QVERIFY(a && a->isEnabled());
        a->trigger();
        w.mnuRptOut[2]->trigger();
        p->saveAsPaths << f->dir.filePath(QStringLiteral("mine.txt"));
        a->trigger();
        w.mnuRptOut[1]->trigger(); // back to the preview: the file chosen stays, unused
        a->trigger();
        QCOMPARE(p->proposed, QStringList{fileName + QStringLiteral(" Text Files (*.txt)|*.txt|All Files (*.*)|*.*")});
        QCOMPARE(reports, (QStringList{QStringLiteral("preview  mode %1 landscape %2").arg(mode).arg(landscapeOnPreview),
                                       QStringLiteral("file mine.txt mode %1 landscape 0").arg(mode),
                                       QStringLiteral("preview mine.txt mode %1 landscape %2").arg(mode).arg(landscapeOnPreview)}));
        QCOMPARE(f->messages() + p->messageTexts().join('\n'), QString());
        QVERIFY(f->editing() && w.txtShortDesc->text() == QStringLiteral("Still typing"));
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
        QCOMPARE(p->proposed.value(1).section(u' ', 0, 0), QDir(f->dir.path()).filePath(QStringLiteral("out/Hours.txt")));
        QVERIFY(reports.value(1).startsWith(QStringLiteral("file out/h.txt mode 0")));
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
        QCOMPARE(p->proposed.size(), 4);
        QCOMPARE(reports, QStringList());
        QCOMPARE(ReportFileName + QString::number(ReportMode), f->dir.filePath(QStringLiteral("earlier.txt3")));
        QCOMPARE(QDir(f->dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("cvd.mdb")});
        const QStringList shown = p->messageTexts();
        QCOMPARE(shown.size(), message.isEmpty() ? 0 : 4);
        QVERIFY(message.isEmpty() || shown[0].startsWith(message));
    }

    // The program's own report windows, as a command opens them: the
    // Report Options dialog for its grouping ("Bills by Department":
    // departments), then its pages in the preview window.
    void programWindows()
    {
        frmMain& w = started();
        windows.reset();
        QtReportWindows program;
        setReportWindows(&program);
        QString seen;
        QTimer::singleShot(0, &w, [&] {
            if (auto* d = qobject_cast<frmRptDateEmp*>(QApplication::activeModalWidget())) {
                seen = d->Frame1->title();
                d->cmdOK->click();
            }
        });
        w.mnuBill[1]->trigger();
        setReportWindows(nullptr);
        QCOMPARE(seen, QStringLiteral("Include Requests From Department/Company"));
        QVERIFY(previewWindow() && previewWindow()->isVisible());
        QVERIFY(textsOf(previewWindow()->document().pages.value(0)).contains(QStringLiteral("Total Amount Due:")));
        delete previewWindow();
    }
};

QTEST_MAIN(tst_reportmenu)
#include "tst_reportmenu.moc"
