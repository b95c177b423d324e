#pragma once
// The resizing panel that lies under the controls of every window.  Each
// child is placed at a design rectangle in twips (1/1440 inch; 15 twips are
// one pixel at 96 dpi) and is kept in proportion when the window is
// resized: its rectangle is scaled by the panel's current size over the
// design size, and the panel's font follows the smaller of the two factors,
// within sensible bounds.
//
//   auto* panel = new ElasticPanel(QSize(9360, 6000), this);  // design size in twips
//   panel->place(txtName, QRect(240, 360, 3255, 285));
//   setCentralWidget(panel);                                  // or put it in a layout
#include "ui/twipslayout.h"

#include <QWidget>

namespace cvd {

class ElasticPanel : public QWidget {
    Q_OBJECT
public:
    explicit ElasticPanel(QSize designTwips, QWidget* parent = nullptr);

    // Makes `w` a child of the panel, kept at `twips` scaled to the panel.
    void place(QWidget* w, const QRect& twips);
    // The design rectangle of a placed child (an empty rectangle for others).
    QRect designRect(const QWidget* w) const { return m_layout.designRect(w); }

    QSize designTwips() const { return m_layout.designTwips(); }
    // The design size in pixels on this screen: the panel's natural size.
    QSize designPixels() const { return m_layout.designPixels(this); }
    // Where a design rectangle lies in pixels at the panel's current size.
    QRect toPixels(const QRect& twips) const { return m_layout.toPixels(this, twips, m_sized); }

    // The font size (points) at the design size; 8.25 by default.
    void setDesignPointSize(double points);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void relayout();

    TwipsLayout m_layout;
    double m_designPoints = 8.25;
    bool m_sized = false;
};

} // namespace cvd
