#include "ui/elasticpanel.h"

#include <QResizeEvent>
#include <algorithm>
#include <cmath>

namespace cvd {

ElasticPanel::ElasticPanel(QSize designTwips, QWidget* parent)
    : QWidget(parent), m_design(designTwips)
{
    QFont f = font();
    f.setPointSizeF(m_designPoints);
    setFont(f);
}

int ElasticPanel::twipsToPixels(int twips, double dpi)
{
    return int(std::lround(double(twips) * dpi / 1440.0));
}

double ElasticPanel::dpiX() const { return logicalDpiX() > 0 ? logicalDpiX() : 96.0; }
double ElasticPanel::dpiY() const { return logicalDpiY() > 0 ? logicalDpiY() : 96.0; }

QSize ElasticPanel::designPixels() const
{
    return QSize(twipsToPixels(m_design.width(), dpiX()), twipsToPixels(m_design.height(), dpiY()));
}

QSize ElasticPanel::sizeHint() const { return designPixels(); }

QSize ElasticPanel::minimumSizeHint() const
{
    const QSize d = designPixels();
    return QSize(d.width() / 2, d.height() / 2);
}

void ElasticPanel::setDesignPointSize(double points)
{
    m_designPoints = points;
    relayout();
}

void ElasticPanel::place(QWidget* w, const QRect& twips)
{
    if (w->parentWidget() != this)
        w->setParent(this);
    if (!m_children.contains(w))
        m_children << w;
    m_rects.insert(w, twips);
    w->setGeometry(toPixels(twips));
}

QRect ElasticPanel::designRect(const QWidget* w) const { return m_rects.value(w); }

QRect ElasticPanel::toPixels(const QRect& t) const
{
    // Until the panel is first laid out, its children stand at the design size.
    const QSize d = designPixels();
    const bool sized = m_sized && width() > 0 && height() > 0;
    const double sx = (sized && d.width() > 0) ? double(width()) / d.width() : 1.0;
    const double sy = (sized && d.height() > 0) ? double(height()) / d.height() : 1.0;
    return scaled(t, dpiX() / 1440.0 * sx, dpiY() / 1440.0 * sy);
}

QRect ElasticPanel::scaled(const QRect& t, double kx, double ky)
{
    const int l = int(std::lround(t.left() * kx));
    const int tp = int(std::lround(t.top() * ky));
    const int r = int(std::lround((t.left() + t.width()) * kx));
    const int b = int(std::lround((t.top() + t.height()) * ky));
    return QRect(l, tp, std::max(1, r - l), std::max(1, b - tp));
}

void ElasticPanel::relayout()
{
    const QSize d = designPixels();
    if (d.isEmpty() || !m_sized)
        return;
    const double s = std::min(double(width()) / d.width(), double(height()) / d.height());
    QFont f = font();
    f.setPointSizeF(m_designPoints * std::clamp(s, 0.75, 3.0));
    setFont(f);
    m_children.removeAll(nullptr);
    for (const auto& c : std::as_const(m_children))
        c->setGeometry(toPixels(m_rects.value(c)));
}

void ElasticPanel::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    m_sized = true;
    relayout();
}

} // namespace cvd
