#pragma once
// The preview window, "Report Output": one page of a report at a time, the
// page chosen with the scroll bar at the right (scrlPage), the zoom with
// the one at the foot (scrlZoom, 10 to 250 percent of the paper's size);
// Print sends the whole report to a printer, Save as PDF writes it to a
// file, Ok closes the window.
//
// There is one preview window for the program, beside the main window and
// not modal: a report shown while it is open replaces its pages.
#include "reports/pagedocument.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QScrollBar;

namespace cvd {

class PageView;

class frmOutput : public QWidget {
    Q_OBJECT
public:
    static constexpr int HelpContext = 107;
    static constexpr int ZoomAtStart = 60;

    explicit frmOutput(QWidget* parent = nullptr);
    ~frmOutput() override;

    // Controls, named as the program knows them.
    PageView* vsViewPort1 = nullptr;
    QScrollBar* scrlPage = nullptr;
    QScrollBar* scrlZoom = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdPdf = nullptr;
    QPushButton* cmdOk = nullptr;
    QLabel* lblPage = nullptr;
    QLabel* lblZoom = nullptr;

    // Shows `doc` from its first page, at the zoom in force.
    void setDocument(PageDocument doc);
    const PageDocument& document() const { return m_doc; }
    // The window's size for the page on show at the zoom, within the screen.
    QSize fittingSize() const;

    // The page chosen with scrlPage is shown.
    void scrlPage_Change();
    // The page is shown at the zoom chosen with scrlZoom.
    void scrlZoom_Change();
    // The print dialog, then every page to the printer; the window stays.
    void cmdPrint_Click();
    // Asks for a file name and writes the report there as PDF.
    void cmdPdf_Click();
    // Closes the window; the next report opens a new one.
    void cmdOk_Click();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void createControls();
    void showPosition();

    PageDocument m_doc;
};

// Shows a finished report in the preview window: the open one, or a new
// one; the window comes to the front without holding up the program.
void showInPreviewWindow(PageDocument doc);
// The open preview window, or null.
frmOutput* previewWindow();

} // namespace cvd
