#include "ui/elasticframe.h"

#include "ui/elasticpanel.h"

#include <QResizeEvent>

namespace cvd {

ElasticFrame::ElasticFrame(const QString& caption, QSize designTwips, QWidget* parent)
    : QGroupBox(caption, parent), m_design(designTwips)
{
}

void ElasticFrame::place(QWidget* w, const QRect& twips)
{
    if (w->parentWidget() != this)
        w->setParent(this);
    if (!m_children.contains(w))
        m_children << w;
    m_rects.insert(w, twips);
    w->setGeometry(toPixels(twips));
}

QRect ElasticFrame::toPixels(const QRect& t) const
{
    // Twips per pixel follow from the frame's size against its design size;
    // before the frame is sized, from the screen's resolution.
    const double dpiX = logicalDpiX() > 0 ? logicalDpiX() : 96.0;
    const double dpiY = logicalDpiY() > 0 ? logicalDpiY() : 96.0;
    const int dw = ElasticPanel::twipsToPixels(m_design.width(), dpiX);
    const int dh = ElasticPanel::twipsToPixels(m_design.height(), dpiY);
    const double sx = width() > 0 && dw > 0 ? double(width()) / dw : 1.0;
    const double sy = height() > 0 && dh > 0 ? double(height()) / dh : 1.0;
    return ElasticPanel::scaled(t, dpiX / 1440.0 * sx, dpiY / 1440.0 * sy);
}

void ElasticFrame::resizeEvent(QResizeEvent* e)
{
    QGroupBox::resizeEvent(e);
    m_children.removeAll(nullptr);
    for (const auto& c : std::as_const(m_children))
        c->setGeometry(toPixels(m_rects.value(c)));
}

} // namespace cvd
