#pragma once
// Children of a widget kept at design rectangles in twips (1/1440 inch; 15
// twips are one pixel at 96 dpi), scaled by the widget's size over its
// design size.  The resizing panel and the frames on it share this one
// rule, so that neighbours stay flush wherever they stand.
#include <QHash>
#include <QList>
#include <QPointer>
#include <QRect>
#include <QSize>

class QWidget;

namespace cvd {

class TwipsLayout {
public:
    explicit TwipsLayout(QSize designTwips) : m_design(designTwips) {}

    QSize designTwips() const { return m_design; }
    // Makes `w` a child of `host`, kept at `twips`.
    void place(QWidget* host, QWidget* w, const QRect& twips, bool sized);
    // The design rectangle of a placed child (an empty rectangle for others).
    QRect designRect(const QWidget* w) const { return m_rects.value(w); }
    // The design size in pixels on the host's screen.
    QSize designPixels(const QWidget* host) const;
    // Where a design rectangle lies in pixels at the host's current size;
    // before the host is `sized`, at the design size.
    QRect toPixels(const QWidget* host, const QRect& twips, bool sized) const;
    // Puts every child at its place for the host's current size.
    void relayout(const QWidget* host, bool sized);

    // Twips to pixels at `dpi` dots per inch.
    static int twipsToPixels(int twips, double dpi);
    // A design rectangle at `kx`, `ky` pixels per twip.  Edges are rounded,
    // not sizes, so that neighbours stay flush.
    static QRect scaled(const QRect& twips, double kx, double ky);

private:
    QSize m_design;
    QHash<const QWidget*, QRect> m_rects;
    QList<QPointer<QWidget>> m_children;
};

} // namespace cvd
