// The preview window: one window for the program, reused by every report;
// the zoom and page scroll bars; Print (all pages or the range chosen in the
// print dialog), Save as PDF and Ok.
#include "reports/frmoutput.h"
#include "reports/pageengine.h"
#include "reports/pagerender.h"
#include "reports/pageview.h"
#include "support/scriptedplatform.h"
#include "support/testfiles.h"
#include "pdfreader.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

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
        e.AddTable(QStringLiteral("+1100|>1140;"), {}, QStringLiteral("Date|Amount;"), TableHeaderShade, TableBodyShade, true);
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

// The scripted platform whose print dialog, when it prints, also chooses
// the pages from `from` to `to` (0: all of them).
class PrintingPlatform : public ScriptedPlatform {
public:
    bool choosePrinter(QPrinter& printer) override
    {
        if (!ScriptedPlatform::choosePrinter(printer))
            return false;
        if (from > 0) {
            printer.setPrintRange(QPrinter::PageRange);
            printer.setFromTo(from, to);
        }
        return true;
    }
    int from = 0, to = 0;
};

} // namespace

class tst_preview : public QObject {
    Q_OBJECT
    std::unique_ptr<PrintingPlatform> platform;
    std::unique_ptr<QTemporaryDir> dir;

    frmOutput& shown(int pages = 3, bool landscape = false)
    {
        showInPreviewWindow(sampleDocument(pages, landscape));
        return *previewWindow();
    }

private slots:
    void init() { platform = std::make_unique<PrintingPlatform>(); dir = std::make_unique<QTemporaryDir>(); }
    void cleanup() { delete previewWindow(); platform.reset(); dir.reset(); }

    // The window as designed: not modal, the page bar from 1 to the page
    // count (two pages a step), the zoom from 10% to 250% starting at 60%.
    // The page is the paper's size times the zoom, at the screen's resolution.
    void opensAsTheReportOutputWindow()
    {
        QVERIFY(!previewWindow());
        frmOutput& w = shown(3, true);
        QVERIFY(w.isVisible() && !w.isModal());
        QCOMPARE(w.windowTitle(), QStringLiteral("Report Output"));
        const auto bar = [](const QScrollBar* b) {
            return QStringLiteral("%1-%2 by %3/%4 at %5").arg(b->minimum()).arg(b->maximum()).arg(b->singleStep()).arg(b->pageStep()).arg(b->value());
        };
        QCOMPARE(bar(w.scrlPage) + u' ' + bar(w.scrlZoom), QStringLiteral("1-3 by 1/2 at 1 10-250 by 10/50 at 60"));
        QCOMPARE(QStringList({w.cmdPrint->text(), w.cmdOk->text(), w.cmdPdf->objectName(), w.lblPage->text()}),
                 QStringList({"&Print", "&Ok", "cmdPdf", "Page 1 of 3"}));
        w.scrlZoom->setValue(250);
        const double k = w.vsViewPort1->logicalDpiX() / 1440.0 * 250 / 100;
        QCOMPARE(w.vsViewPort1->pageSize(), QSize(qRound(15840 * k), qRound(12240 * k)));
        QCOMPARE(w.lblZoom->text(), QStringLiteral("250%"));
    }

    // Print sends every page, or the pages from and to the ones chosen in
    // the print dialog (as many as there are); Save as PDF every page
    // (".pdf" added to a name without it); cancelled, they write nothing;
    // the window stays.  An earlier PDF stays as it was when the new one
    // cannot be written (the user is told) or is stopped half way.
    void pagesGoOut_data()
    {
        QTest::addColumn<bool>("print");
        QTest::addColumn<QString>("typed"); // empty: the dialog is cancelled
        QTest::addColumn<QString>("written");
        QTest::addColumn<QList<int>>("range");
        QTest::addColumn<QList<int>>("pages");
        QTest::newRow("print") << true << "printed.pdf" << "printed.pdf" << QList<int>{} << QList<int>{1, 2, 3, 4, 5};
        QTest::newRow("print pages 2 to 4") << true << "p.pdf" << "p.pdf" << QList<int>{2, 4} << QList<int>{2, 3, 4};
        QTest::newRow("print page 5 to 9") << true << "p.pdf" << "p.pdf" << QList<int>{5, 9} << QList<int>{5};
        QTest::newRow("print cancelled") << true << "" << "" << QList<int>{} << QList<int>{};
        QTest::newRow("pdf") << false << "report.pdf" << "report.pdf" << QList<int>{} << QList<int>{1, 2, 3, 4, 5};
        QTest::newRow("pdf, no extension") << false << "march" << "march.pdf" << QList<int>{} << QList<int>{1, 2, 3, 4, 5};
        QTest::newRow("pdf cancelled") << false << "" << "" << QList<int>{} << QList<int>{};
        QTest::newRow("pdf stopped") << false << "earlier.pdf" << "earlier.pdf" << QList<int>{} << QList<int>{0};
        QTest::newRow("pdf in a file") << false << "earlier.pdf/x.pdf" << "earlier.pdf" << QList<int>{} << QList<int>{0};
    }
    void pagesGoOut()
    {
        QFETCH(bool, print);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QFETCH(QList<int>, range);
        QFETCH(QList<int>, pages);
        frmOutput& w = shown(5);
        const bool earlier = pages == QList<int>{0}; // "earlier" stays
        if (earlier)
            QVERIFY(writeFile(dir->filePath(written), "earlier"));
        platform->cancelProgressAt = QTest::currentDataTag() == QLatin1String("pdf stopped") ? 3 : -1;
        platform->from = range.value(0);
        platform->to = range.value(1);
        if (print && !typed.isEmpty())
            platform->printToPdf = dir->filePath(typed);
        else if (!typed.isEmpty())
            platform->saveAsPaths << dir->filePath(typed);
        (print ? w.cmdPrint : w.cmdPdf)->click();
        QCOMPARE(platform->printDialogs, int(print));
        QCOMPARE(previewWindow(), &w);
        QVERIFY(w.isVisible());
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), written.isEmpty() ? QStringList() : QStringList{written});
        QCOMPARE(platform->messageTexts().join('|').section(dir->filePath(typed), 0, 0),
                 typed.contains(u'/') ? QStringLiteral("The report could not be saved as ") : QString());
        if (earlier) {
            QCOMPARE(fileBytes(dir->filePath(written)), QByteArray("earlier"));
        } else if (!written.isEmpty()) {
            const PdfReader pdf(fileBytes(dir->filePath(written)));
            QCOMPARE(pdf.pageCount(), pages.size());
            for (int i = 0; i < pages.size(); ++i)
                QVERIFY2(pdf.pageText(i).contains(QStringLiteral("Sheet%1").arg(pages[i])), qPrintable(pdf.pageText(i)));
        }
    }

    // The page scroll bar shows the page it is set to, drawn as the renderer
    // draws it.  A second report goes to the open window, from its first
    // page, at the zoom the user chose.  Ok closes the window; the next
    // report opens a new one, as on first use.  By keyboard: Tab goes from
    // the page to the page bar, then to the zoom bar, whose arrows zoom in.
    void aSecondReportReusesTheOpenWindow()
    {
        frmOutput& w = shown(5);
        w.activateWindow();
        QTRY_VERIFY(w.vsViewPort1->hasFocus());
        for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down})
            QTest::keyClick(QApplication::focusWidget(), key);
        QCOMPARE(w.vsViewPort1->page(), 3);
        QCOMPARE(w.lblPage->text(), QStringLiteral("Page 4 of 5"));
        const double k = w.vsViewPort1->logicalDpiX() / 1440.0;
        QVERIFY(sameImage(w.vsViewPort1->pageImage(), renderPage(w.document(), 3, k * 0.6)));
        for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Right, Qt::Key_Right, Qt::Key_Up, Qt::Key_Up})
            QTest::keyClick(QApplication::focusWidget(), key);
        showInPreviewWindow(sampleDocument(2));
        QCOMPARE(previewWindow(), &w);
        QCOMPARE(QList<int>({w.scrlPage->maximum(), w.scrlPage->value(), w.vsViewPort1->page(), w.scrlZoom->value()}),
                 QList<int>({2, 1, 0, 100}));
        QCOMPARE(w.lblPage->text(), QStringLiteral("Page 1 of 2"));
        QVERIFY(sameImage(w.vsViewPort1->pageImage(), renderPage(w.document(), 0, k)));
        QPointer<frmOutput> first = &w;
        w.cmdOk->click();
        QVERIFY(!previewWindow());
        QTRY_VERIFY(first.isNull());
        QCOMPARE(shown(2).scrlZoom->value(), 60);
    }
};

QTEST_MAIN(tst_preview)
#include "tst_preview.moc"
