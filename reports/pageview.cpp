#include "reports/pageview.h"

#include "reports/pagerender.h"

#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <cmath>

namespace cvd {

namespace {

constexpr double TwipsPerInch = 1440.0;
constexpr int WheelNotch = 120;

// Where the page starts along one axis: centred when the view is larger,
// else after the desk, moved by the scroll bar.
int originAlong(int view, int page, const QScrollBar* bar)
{
    const int content = page + 2 * PageView::Desk;
    return content <= view ? (view - page) / 2 : PageView::Desk - bar->value();
}

void fitBar(QScrollBar* bar, int content, int view)
{
    const double at = bar->maximum() > 0 ? double(bar->value()) / bar->maximum() : 0.0;
    bar->setRange(0, std::max(0, content - view));
    bar->setPageStep(std::max(1, view));
    bar->setSingleStep(20);
    bar->setValue(int(std::lround(at * bar->maximum())));
}

} // namespace

PageView::PageView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("vsViewPort1"));
    setFrameShape(QFrame::StyledPanel);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
}

void PageView::setDocument(const PageDocument* doc)
{
    m_doc = doc;
    m_page = 0;
    m_imageValid = false;
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    layoutChanged();
}

void PageView::setPage(int index)
{
    const int count = m_doc ? int(m_doc->pages.size()) : 0;
    index = std::clamp(index, 0, std::max(0, count - 1));
    if (index == m_page)
        return;
    m_page = index;
    m_imageValid = false;
    verticalScrollBar()->setValue(0);
    viewport()->update();
}

void PageView::setZoom(int percent)
{
    percent = std::max(1, percent);
    if (percent == m_zoom)
        return;
    m_zoom = percent;
    m_imageValid = false;
    layoutChanged();
}

double PageView::pixelsPerTwip() const { return logicalDpiX() / TwipsPerInch * m_zoom / 100.0; }

QSize PageView::pageSizeAt(int zoom) const
{
    const PageDocument blank;
    const PageDocument& doc = m_doc ? *m_doc : blank;
    const double k = logicalDpiX() / TwipsPerInch * zoom / 100.0;
    return {std::max(1, int(std::lround(doc.paperWidth * k))), std::max(1, int(std::lround(doc.paperHeight * k)))};
}

QSize PageView::pageSize() const { return pageSizeAt(m_zoom); }

const QImage& PageView::pageImage()
{
    // Drawn again after a change of page, zoom or document, and when the
    // window has moved to a screen of another resolution.
    if (!m_imageValid || m_image.devicePixelRatio() != devicePixelRatioF() ||
        m_imageSize != pageSize())
        render();
    return m_image;
}

void PageView::render()
{
    const double dpr = devicePixelRatioF();
    const QSize logical = pageSize();
    m_imageSize = logical;
    const int w = std::max(1, int(std::lround(logical.width() * dpr)));
    const int h = std::max(1, int(std::lround(logical.height() * dpr)));
    const std::size_t bytes = std::size_t(w) * std::size_t(h) * 4;
    m_image = QImage();
    if (m_buffer.size() < bytes) {
        constexpr std::size_t Plenty = 48u << 20; // made ready for the largest zoom up to this size
        const QSize largest = pageSizeAt(std::max(m_zoom, m_largestZoom)) * dpr;
        const std::size_t largestBytes = std::size_t(largest.width() + 1) * std::size_t(largest.height() + 1) * 4;
        m_buffer.resize(std::max(bytes, std::min(largestBytes, Plenty)));
    }
    m_image = QImage(m_buffer.data(), w, h, w * 4, QImage::Format_RGB32);
    m_image.setDevicePixelRatio(dpr);
    if (m_doc)
        paintPage(m_image, *m_doc, m_page, pixelsPerTwip());
    else
        m_image.fill(Qt::white);
    m_imageValid = true;
}

void PageView::layoutChanged()
{
    const QSize page = pageSize();
    const QSize view = viewport()->size();
    fitBar(horizontalScrollBar(), page.width() + 2 * Desk, view.width());
    fitBar(verticalScrollBar(), page.height() + 2 * Desk, view.height());
    viewport()->update();
}

void PageView::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), QColor(128, 128, 128));
    if (!m_doc || m_doc->pages.isEmpty())
        return;
    const QImage& image = pageImage();
    const QSize page = pageSize();
    const QPoint at(originAlong(viewport()->width(), page.width(), horizontalScrollBar()),
                    originAlong(viewport()->height(), page.height(), verticalScrollBar()));
    p.fillRect(QRect(at + QPoint(3, 3), page), QColor(64, 64, 64)); // the page's shadow
    p.drawImage(at, image);
}

void PageView::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    layoutChanged();
}

void PageView::wheelEvent(QWheelEvent* e)
{
    const int dy = e->angleDelta().y();
    if (e->modifiers() & Qt::ControlModifier) {
        m_wheelRest += dy;
        const int steps = m_wheelRest / WheelNotch;
        if (steps != 0) {
            m_wheelRest -= steps * WheelNotch;
            emit zoomStepRequested(steps);
        }
        e->accept();
        return;
    }
    QScrollBar* bar = verticalScrollBar();
    const bool pastEnd = (dy < 0 && bar->value() >= bar->maximum()) || (dy > 0 && bar->value() <= bar->minimum());
    if (!pastEnd || dy == 0) {
        m_wheelRest = 0;
        QAbstractScrollArea::wheelEvent(e);
        return;
    }
    m_wheelRest += dy;
    const int steps = -m_wheelRest / WheelNotch;
    if (steps != 0) {
        m_wheelRest = 0;
        const int before = m_page;
        emit pageStepRequested(steps);
        if (m_page < before) // back to the foot of the page before
            bar->setValue(bar->maximum());
    }
    e->accept();
}

} // namespace cvd
