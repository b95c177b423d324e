#include "reports/frmoutput.h"

#include "base/errorhandler.h"
#include "base/platform.h"
#include "reports/pagerender.h"
#include "reports/pageview.h"
#include "ui/accessiblenames.h"
#include "ui/contexthelp.h"
#include "ui/programicon.h"
#include "ui/taborder.h"

#include <QCloseEvent>
#include <QApplication>
#include <QDir>
#include <QFocusFrame>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>

namespace cvd {

namespace {

QPointer<frmOutput>& theWindow()
{
    static QPointer<frmOutput> window;
    return window;
}

constexpr int ZoomStep = 10;

// Reports the progress of a long print or PDF through the platform.
bool stepProgress(int done, int total) { return platform().progressStep(done, total); }

} // namespace

frmOutput::frmOutput(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmOutput"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Report Output"));
    setWindowIcon(programIcon());
    setHelpContext(this, HelpContext);
    createControls();
    installContextHelp(this);
    resize(fittingSize());
}

// As large as the page at the zoom, within the screen.
QSize frmOutput::fittingSize() const
{
    const QSize page = vsViewPort1->pageSize();
    QSize want(page.width() + 2 * PageView::Desk + scrlPage->sizeHint().width() + 40,
               page.height() + 2 * PageView::Desk + cmdOk->sizeHint().height() + 50);
    want = want.expandedTo(minimumSizeHint());
    if (const QScreen* s = screen())
        want = want.boundedTo(s->availableGeometry().size() * 9 / 10);
    return want;
}

frmOutput::~frmOutput()
{
    if (theWindow() == this)
        theWindow().clear();
}

void frmOutput::createControls()
{
    vsViewPort1 = new PageView(this);

    scrlPage = new QScrollBar(Qt::Vertical, this);
    scrlPage->setObjectName(QStringLiteral("scrlPage"));
    scrlPage->setToolTip(QStringLiteral("Page"));
    scrlPage->setRange(1, 1);
    scrlPage->setSingleStep(1);
    scrlPage->setPageStep(2);
    scrlPage->setValue(1);

    scrlZoom = new QScrollBar(Qt::Horizontal, this);
    scrlZoom->setObjectName(QStringLiteral("scrlZoom"));
    scrlZoom->setToolTip(QStringLiteral("Zoom"));
    scrlZoom->setRange(10, 250);
    scrlZoom->setSingleStep(ZoomStep);
    scrlZoom->setPageStep(50);
    scrlZoom->setValue(ZoomAtStart);
    scrlZoom->setMinimumWidth(160);
    vsViewPort1->setZoom(ZoomAtStart);
    vsViewPort1->setLargestZoom(scrlZoom->maximum());

    auto* zoomLabel = new QLabel(QStringLiteral("Zoom:"), this);
    lblZoom = new QLabel(this);
    lblZoom->setObjectName(QStringLiteral("lblZoom"));
    lblZoom->setMinimumWidth(lblZoom->fontMetrics().horizontalAdvance(QStringLiteral("250%")) + 4);
    lblPage = new QLabel(this);
    lblPage->setObjectName(QStringLiteral("lblPage"));

    cmdPdf = new QPushButton(QStringLiteral("Save as P&DF..."), this);
    cmdPdf->setObjectName(QStringLiteral("cmdPdf"));
    cmdPrint = new QPushButton(QStringLiteral("&Print"), this);
    cmdPrint->setObjectName(QStringLiteral("cmdPrint"));
    cmdOk = new QPushButton(QStringLiteral("&Ok"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    grid->addWidget(vsViewPort1, 0, 0);
    grid->addWidget(scrlPage, 0, 1);
    auto* foot = new QHBoxLayout;
    foot->setSpacing(8);
    foot->addWidget(zoomLabel);
    foot->addWidget(scrlZoom, 1);
    foot->addWidget(lblZoom);
    foot->addSpacing(12);
    foot->addWidget(lblPage);
    foot->addStretch(1);
    foot->addWidget(cmdPdf);
    foot->addWidget(cmdPrint);
    foot->addWidget(cmdOk);
    grid->addLayout(foot, 1, 0, 1, 2);
    grid->setRowStretch(0, 1);
    grid->setColumnStretch(0, 1);

    // By keyboard: Tab from the page to the page bar and the zoom bar, whose
    // arrow keys turn the pages and zoom.
    nameControl(vsViewPort1, QStringLiteral("Report Page"));
    nameControl(scrlPage, QStringLiteral("Page"));
    tieLabel(zoomLabel, scrlZoom);
    for (QScrollBar* bar : {scrlPage, scrlZoom})
        bar->setFocusPolicy(Qt::StrongFocus);
    // Right and Up zoom in, Left and Down out, as the wheel does over the
    // page with Ctrl (a horizontal scroll bar's keys run the other way).
    scrlZoom->setInvertedControls(false);
    // The style draws no focus on a scroll bar: a frame shows where it is.
    auto* focusFrame = new QFocusFrame(this);
    connect(qApp, &QApplication::focusChanged, focusFrame, [this, focusFrame](QWidget*, QWidget* now) {
        focusFrame->setWidget(now == scrlPage || now == scrlZoom ? now : nullptr);
    });
    setTabChain({vsViewPort1, scrlPage, scrlZoom, cmdPdf, cmdPrint, cmdOk});

    connect(scrlPage, &QScrollBar::valueChanged, this, &frmOutput::scrlPage_Change);
    connect(scrlZoom, &QScrollBar::valueChanged, this, &frmOutput::scrlZoom_Change);
    connect(cmdPrint, &QPushButton::clicked, this, &frmOutput::cmdPrint_Click);
    connect(cmdPdf, &QPushButton::clicked, this, &frmOutput::cmdPdf_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmOutput::cmdOk_Click);
    connect(vsViewPort1, &PageView::zoomStepRequested, this,
            [this](int steps) { scrlZoom->setValue(scrlZoom->value() + steps * ZoomStep); });
    connect(vsViewPort1, &PageView::pageStepRequested, this,
            [this](int steps) { scrlPage->setValue(scrlPage->value() + steps); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &frmOutput::cmdOk_Click);
    showPosition();
}

void frmOutput::setDocument(PageDocument doc)
{
    m_doc = std::move(doc);
    setWindowTitle(m_doc.incomplete.isEmpty() ? QStringLiteral("Report Output")
                                              : QStringLiteral("Report Output - Incomplete Report"));
    const QSignalBlocker block(scrlPage);
    scrlPage->setRange(1, std::max<int>(1, int(m_doc.pages.size())));
    scrlPage->setValue(1);
    vsViewPort1->setDocument(&m_doc);
    showPosition();
}

void frmOutput::showPosition()
{
    lblPage->setText(QStringLiteral("Page %1 of %2").arg(scrlPage->value()).arg(std::max<qsizetype>(1, m_doc.pages.size())));
    lblZoom->setText(QStringLiteral("%1%").arg(scrlZoom->value()));
}

void frmOutput::scrlPage_Change()
{
    vsViewPort1->setPage(scrlPage->value() - 1);
    showPosition();
}

void frmOutput::scrlZoom_Change()
{
    vsViewPort1->setZoom(scrlZoom->value());
    showPosition();
}

void frmOutput::cmdPrint_Click()
{
    guarded([this] {
        QPrinter printer(QPrinter::HighResolution);
        printer.setDocName(QStringLiteral("Calvedon report"));
        setUpPrinter(m_doc, printer);
        if (!platform().choosePrinter(printer))
            return;
        platform().progressBegin(QStringLiteral("Printing the report..."));
        const bool printed = printDocument(m_doc, printer, stepProgress);
        platform().progressEnd();
        if (!printed)
            platform().messageBox(QStringLiteral("The report could not be printed: the printer did not start."),
                                  Mb::OkOnly | Mb::Exclamation);
    });
}

void frmOutput::cmdPdf_Click()
{
    guarded([this] {
        QString path;
        try {
            path = platform().saveAs(QStringLiteral("Save Report as PDF"), QStringLiteral("Report.pdf"),
                                     QStringLiteral("PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*"));
        } catch (const Error& e) {
            if (e.number() == ErrNo::DialogCancelled)
                return; // nothing to do
            throw;
        }
        if (QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".pdf");
        QString error;
        platform().progressBegin(QStringLiteral("Writing the PDF file..."));
        const bool written = writePdf(m_doc, path, &error, stepProgress);
        platform().progressEnd();
        if (!written && !error.isEmpty())
            platform().messageBox(QStringLiteral("The report could not be saved as %1.\n\n%2")
                                      .arg(QDir::toNativeSeparators(path), error),
                                  Mb::OkOnly | Mb::Exclamation);
    });
}

void frmOutput::cmdOk_Click() { close(); }

// A closed window is gone for good: the next report opens a new one, even
// before this one is deleted.
void frmOutput::closeEvent(QCloseEvent* e)
{
    if (theWindow() == this)
        theWindow().clear();
    QWidget::closeEvent(e);
}

void showInPreviewWindow(PageDocument doc)
{
    QPointer<frmOutput>& window = theWindow();
    const bool opening = !window;
    if (opening)
        window = new frmOutput;
    window->setDocument(std::move(doc));
    if (opening) // the first report's paper, landscape or portrait
        window->resize(window->fittingSize());
    window->show();
    window->raise();
    window->activateWindow();
}

frmOutput* previewWindow() { return theWindow().data(); }

} // namespace cvd
