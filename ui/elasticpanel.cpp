#include "ui/elasticpanel.h"

#include <QResizeEvent>
#include <algorithm>

namespace cvd {

ElasticPanel::ElasticPanel(QSize designTwips, QWidget* parent)
    : QWidget(parent), m_layout(designTwips)
{
    QFont f = font();
    f.setPointSizeF(m_designPoints);
    setFont(f);
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

void ElasticPanel::place(QWidget* w, const QRect& twips) { m_layout.place(this, w, twips, m_sized); }

void ElasticPanel::relayout()
{
    const QSize d = designPixels();
    if (d.isEmpty() || !m_sized)
        return;
    const double s = std::min(double(width()) / d.width(), double(height()) / d.height());
    QFont f = font();
    f.setPointSizeF(m_designPoints * std::clamp(s, 0.75, 3.0));
    setFont(f);
    m_layout.relayout(this, true);
}

void ElasticPanel::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    m_sized = true;
    relayout();
}

} // namespace cvd
