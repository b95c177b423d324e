#include "ui/elasticframe.h"

#include <QResizeEvent>

namespace cvd {

ElasticFrame::ElasticFrame(const QString& caption, QSize designTwips, QWidget* parent)
    : QGroupBox(caption, parent), m_layout(designTwips)
{
}

// Twips per pixel follow from the frame's size against its design size;
// before the frame is sized, from the screen's resolution.
void ElasticFrame::place(QWidget* w, const QRect& twips) { m_layout.place(this, w, twips, true); }

void ElasticFrame::resizeEvent(QResizeEvent* e)
{
    QGroupBox::resizeEvent(e);
    m_layout.relayout(this, true);
}

} // namespace cvd
