#pragma once
// The scrolling view of the preview window: one page of a document on a
// grey desk, as large as the paper at the zoom (twips to pixels at the
// screen's resolution), with scroll bars when it is larger than the view.
//
// Only the page on show is drawn, once for each page and zoom, into a
// buffer that is kept and reused, so turning a page or changing the zoom
// costs one page's drawing.
#include "reports/pagedocument.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <vector>

namespace cvd {

class PageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    // Room around the page, in pixels.
    static constexpr int Desk = 12;

    explicit PageView(QWidget* parent = nullptr);

    // The document shown; not owned, kept by the caller while shown.
    void setDocument(const PageDocument* doc);
    // The page shown, from 0.
    void setPage(int index);
    int page() const { return m_page; }
    // Percent of the paper's size.
    void setZoom(int percent);
    int zoom() const { return m_zoom; }

    // The largest zoom that will be asked for: the drawing buffer is made
    // large enough for it at once, so that a later zoom costs no new memory.
    void setLargestZoom(int percent) { m_largestZoom = percent; }

    // The page's size on the screen at the zoom, in pixels.
    QSize pageSize() const;
    // The page as drawn for the screen (its device pixel ratio included).
    const QImage& pageImage();

signals:
    // Ctrl and the wheel ask for a larger (positive) or smaller zoom.
    void zoomStepRequested(int steps);
    // The wheel turned on past the top or the bottom of the page.
    void pageStepRequested(int steps);

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    double pixelsPerTwip() const;
    QSize pageSizeAt(int zoom) const;
    void layoutChanged();
    void render();

    const PageDocument* m_doc = nullptr;
    int m_page = 0;
    int m_zoom = 60;
    int m_largestZoom = 0;
    QImage m_image; // drawn over m_buffer
    QSize m_imageSize; // its size in device-independent pixels
    std::vector<uchar> m_buffer;
    bool m_imageValid = false;
    int m_wheelRest = 0;
};

} // namespace cvd
