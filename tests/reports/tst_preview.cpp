// The preview window: one window for the program, reused by every report;
// the zoom and page scroll bars; Print, Save as PDF and Ok.
#include "reports/frmoutput.h"
#include "reports/pageengine.h"
#include "reports/pagerender.h"
#include "reports/pageview.h"
#include "support/scriptedplatform.h"
#include "support/testfiles.h"
#include "ui/contexthelp.h"
#include "pdfreader.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>
#include <unistd.h>

using namespace cvd;
using namespace cvd::test;

namespace {

// A document of `pages` pages, each saying which it is.
PageDocument sampleDocument(int pages, bool landscape = false)
{
    PageEngine e;
    e.setOrientation(landscape ? PageEngine::Landscape : PageEngine::Portrait);
    e.setFooterText(QStringLiteral("|Page %d|"));
    e.BeginDocument();
    for (int i = 1; i <= pages; ++i) {
        e.AddTable(QStringLiteral("+1100|>1140;"), {}, QStringLiteral("Date|Amount;"), Shade{0, 0, 0}, Shade{200, 200, 200}, true);
        e.AddText(QStringLiteral("Sheet %1\r\n").arg(i));
        if (i < pages)
            e.NewPage();
    }
    e.EndDocument();
    return e.takeDocument();
}

bool sameImage(const QImage& a, const QImage& b)
{
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

} // namespace

class tst_preview : public QObject {
    Q_OBJECT
    std::unique_ptr<ScriptedPlatform> platform;
    std::unique_ptr<QTemporaryDir> dir;

    frmOutput& shown(int pages = 3, bool landscape = false)
    {
        showInPreviewWindow(sampleDocument(pages, landscape));
        return *previewWindow();
    }

private slots:
    void init()
    {
        platform = std::make_unique<ScriptedPlatform>();
        dir = std::make_unique<QTemporaryDir>();
    }
    void cleanup()
    {
        delete previewWindow();
        platform.reset();
        dir.reset();
    }

    // The window as designed: not modal, the page bar from 1 to the page
    // count (two pages a step), the zoom from 10% to 250% starting at 60%.
    void opensAsTheReportOutputWindow()
    {
        QVERIFY(!previewWindow());
        frmOutput& w = shown(3);
        QVERIFY(w.isVisible() && !w.isModal());
        QCOMPARE(w.windowTitle(), QStringLiteral("Report Output"));
        QCOMPARE(helpContextOf(&w), 107);
        const auto bar = [](const QScrollBar* b) {
            return QStringLiteral("%1-%2 by %3/%4 at %5").arg(b->minimum()).arg(b->maximum()).arg(b->singleStep()).arg(b->pageStep()).arg(b->value());
        };
        QCOMPARE(bar(w.scrlPage) + u' ' + bar(w.scrlZoom), QStringLiteral("1-3 by 1/2 at 1 10-250 by 10/50 at 60"));
        QCOMPARE(QStringList({w.cmdPrint->text(), w.cmdOk->text(), w.cmdPdf->objectName(), w.lblPage->text()}),
                 QStringList({"&Print", "&Ok", "cmdPdf", "Page 1 of 3"}));
    }

    // The page is the paper's size times the zoom, at the screen's resolution.
    void zoomScalesThePage_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<bool>("landscape");
        QTest::newRow("250 percent") << 250 << false;
        QTest::newRow("10 percent") << 10 << false;
        QTest::newRow("100 percent, landscape") << 100 << true;
    }
    void zoomScalesThePage()
    {
        QFETCH(int, zoom);
        QFETCH(bool, landscape);
        frmOutput& w = shown(2, landscape);
        w.scrlZoom->setValue(zoom);
        QCOMPARE(w.vsViewPort1->zoom(), zoom);
        const double dpi = w.vsViewPort1->logicalDpiX();
        const QSize paper = landscape ? QSize(15840, 12240) : QSize(12240, 15840);
        const QSize expected(qRound(paper.width() / 1440.0 * dpi * zoom / 100), qRound(paper.height() / 1440.0 * dpi * zoom / 100));
        QCOMPARE(w.vsViewPort1->pageSize(), expected);
        QCOMPARE(w.vsViewPort1->pageImage().deviceIndependentSize().toSize(), expected);
        QCOMPARE(w.lblZoom->text(), QStringLiteral("%1%").arg(zoom));
    }

    // The page scroll bar shows the page it is set to, drawn as the renderer draws it.
    void thePageScrollBarChoosesThePage()
    {
        frmOutput& w = shown(4);
        QCOMPARE(w.scrlPage->maximum(), 4);
        w.scrlPage->setValue(3);
        QCOMPARE(w.vsViewPort1->page(), 2);
        QCOMPARE(w.lblPage->text(), QStringLiteral("Page 3 of 4"));
        const double k = w.vsViewPort1->logicalDpiX() / 1440.0 * 60 / 100;
        QVERIFY(sameImage(w.vsViewPort1->pageImage(), renderPage(w.document(), 2, k)));
        QVERIFY(!sameImage(w.vsViewPort1->pageImage(), renderPage(w.document(), 1, k)));
    }

    // Ctrl and the wheel zoom; the wheel turned on past the end of a page
    // goes to the next page, past its top to the one before.
    void theWheelZoomsAndTurnsPages()
    {
        frmOutput& w = shown(3);
        auto wheel = [&](int notches, Qt::KeyboardModifiers modifiers) {
            QWheelEvent e(QPointF(20, 20), QPointF(20, 20), QPoint(), QPoint(0, 120 * notches), Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
            QApplication::sendEvent(w.vsViewPort1->viewport(), &e);
        };
        wheel(1, Qt::ControlModifier);
        QCOMPARE(w.scrlZoom->value(), 70);
        wheel(-3, Qt::ControlModifier);
        QCOMPARE(w.scrlZoom->value(), 40);
        w.scrlZoom->setValue(10); // the whole page in view
        wheel(-1, Qt::NoModifier);
        QCOMPARE(w.scrlPage->value(), 2);
        QCOMPARE(w.vsViewPort1->page(), 1);
        wheel(1, Qt::NoModifier);
        QCOMPARE(w.scrlPage->value(), 1);
    }

    // Print and Save as PDF send every page (".pdf" added to a name without
    // it); cancelled, they write nothing; the window stays.
    void everyPageGoesOut_data()
    {
        QTest::addColumn<bool>("print");
        QTest::addColumn<QString>("typed"); // empty: the dialog is cancelled
        QTest::addColumn<QString>("written");
        QTest::newRow("print") << true << "printed.pdf" << "printed.pdf";
        QTest::newRow("print cancelled") << true << "" << "";
        QTest::newRow("pdf") << false << "report.pdf" << "report.pdf";
        QTest::newRow("pdf, no extension") << false << "march" << "march.pdf";
        QTest::newRow("pdf cancelled") << false << "" << "";
    }
    void everyPageGoesOut()
    {
        QFETCH(bool, print);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        frmOutput& w = shown(5);
        if (print && !typed.isEmpty())
            platform->printToPdf = dir->filePath(typed);
        else if (!typed.isEmpty())
            platform->saveAsPaths << dir->filePath(typed);
        (print ? w.cmdPrint : w.cmdPdf)->click();
        QCOMPARE(platform->printDialogs, int(print));
        QVERIFY(platform->messages.isEmpty());
        QCOMPARE(previewWindow(), &w);
        QVERIFY(w.isVisible());
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), written.isEmpty() ? QStringList() : QStringList{written});
        if (!written.isEmpty()) {
            const PdfReader pdf(fileBytes(dir->filePath(written)));
            QCOMPARE(pdf.pageCount(), 5);
            QVERIFY(pdf.pageText(4).contains(QStringLiteral("Sheet5")));
        }
    }

    // A PDF that cannot be written is told in plain words; an earlier file
    // of that name stays as it was.
    void aPdfThatCannotBeWrittenIsTold()
    {
        frmOutput& w = shown(2);
        QVERIFY(writeFile(dir->filePath(QStringLiteral("notafolder")), "x"));
        const QString path = dir->filePath(QStringLiteral("notafolder/report.pdf"));
        platform->saveAsPaths << path;
        w.cmdPdf->click();
        QCOMPARE(platform->messages.size(), 1);
        QVERIFY(platform->messages.at(0).text.startsWith(QStringLiteral("The report could not be saved as ") + path));
        QCOMPARE(platform->messages.at(0).icon(), Mb::Exclamation);

        if (geteuid() != 0) { // a read-only folder (the superuser writes anywhere)
            const QString folder = dir->filePath(QStringLiteral("readonly"));
            QVERIFY(QDir().mkdir(folder));
            QVERIFY(writeFile(folder + QStringLiteral("/report.pdf"), "earlier"));
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            platform->saveAsPaths << folder + QStringLiteral("/report.pdf");
            w.cmdPdf->click();
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            QCOMPARE(platform->messages.size(), 2);
            QCOMPARE(fileBytes(folder + QStringLiteral("/report.pdf")), QByteArray("earlier"));
        }
    }

    // Cancelling the progress of a long PDF leaves the earlier file.
    void aPdfStoppedHalfWayLeavesTheEarlierFile()
    {
        frmOutput& w = shown(6);
        const QString path = dir->filePath(QStringLiteral("report.pdf"));
        QVERIFY(writeFile(path, "earlier"));
        platform->saveAsPaths << path;
        platform->cancelProgressAt = 3;
        w.cmdPdf->click();
        QVERIFY(platform->messages.isEmpty());
        QCOMPARE(fileBytes(path), QByteArray("earlier"));
        QCOMPARE(platform->progressEnds, 1);
    }

    void okUnloadsTheWindow()
    {
        QPointer<frmOutput> first = &shown(2);
        first->scrlZoom->setValue(150);
        first->cmdOk->click();
        QVERIFY(!previewWindow());
        QTRY_VERIFY(first.isNull());
        frmOutput& again = shown(2);
        QCOMPARE(again.scrlZoom->value(), 60); // a new window, as on first use
    }

    // A second report goes to the open window, from its first page, at the
    // zoom the user chose.
    void aSecondReportReusesTheOpenWindow()
    {
        frmOutput& w = shown(5);
        w.scrlPage->setValue(4);
        w.scrlZoom->setValue(100);
        showInPreviewWindow(sampleDocument(2));
        QCOMPARE(previewWindow(), &w);
        QCOMPARE(QList<int>({w.scrlPage->maximum(), w.scrlPage->value(), w.vsViewPort1->page(), w.scrlZoom->value()}),
                 QList<int>({2, 1, 0, 100}));
        QCOMPARE(w.lblPage->text(), QStringLiteral("Page 1 of 2"));
        const double k = w.vsViewPort1->logicalDpiX() / 1440.0;
        QVERIFY(sameImage(w.vsViewPort1->pageImage(), renderPage(w.document(), 0, k)));
    }
};

QTEST_MAIN(tst_preview)
#include "tst_preview.moc"
