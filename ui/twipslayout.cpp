#include "ui/twipslayout.h"

#include <QWidget>
#include <algorithm>
#include <cmath>

namespace cvd {

namespace {

double dpiX(const QWidget* w) { return w->logicalDpiX() > 0 ? w->logicalDpiX() : 96.0; }
double dpiY(const QWidget* w) { return w->logicalDpiY() > 0 ? w->logicalDpiY() : 96.0; }

} // namespace

int TwipsLayout::twipsToPixels(int twips, double dpi) { return int(std::lround(double(twips) * dpi / 1440.0)); }

QRect TwipsLayout::scaled(const QRect& t, double kx, double ky)
{
    const int l = int(std::lround(t.left() * kx));
    const int tp = int(std::lround(t.top() * ky));
    const int r = int(std::lround((t.left() + t.width()) * kx));
    const int b = int(std::lround((t.top() + t.height()) * ky));
    return QRect(l, tp, std::max(1, r - l), std::max(1, b - tp));
}

QSize TwipsLayout::designPixels(const QWidget* host) const
{
    return QSize(twipsToPixels(m_design.width(), dpiX(host)), twipsToPixels(m_design.height(), dpiY(host)));
}

QRect TwipsLayout::toPixels(const QWidget* host, const QRect& twips, bool sized) const
{
    const QSize d = designPixels(host);
    const bool scale = sized && host->width() > 0 && host->height() > 0;
    const double sx = (scale && d.width() > 0) ? double(host->width()) / d.width() : 1.0;
    const double sy = (scale && d.height() > 0) ? double(host->height()) / d.height() : 1.0;
    return scaled(twips, dpiX(host) / 1440.0 * sx, dpiY(host) / 1440.0 * sy);
}

void TwipsLayout::place(QWidget* host, QWidget* w, const QRect& twips, bool sized)
{
    if (w->parentWidget() != host)
        w->setParent(host);
    if (!m_children.contains(w))
        m_children << w;
    m_rects.insert(w, twips);
    w->setGeometry(toPixels(host, twips, sized));
}

void TwipsLayout::relayout(const QWidget* host, bool sized)
{
    m_children.removeAll(nullptr);
    for (const auto& c : std::as_const(m_children))
        c->setGeometry(toPixels(host, m_rects.value(c), sized));
}

} // namespace cvd
