#pragma once
// A frame (a group box, with or without a caption) that holds controls of
// its own at twips rectangles measured from the frame's top-left corner,
// and keeps them in proportion when the frame is resized on its elastic
// panel.
//
//   auto* frame = new ElasticFrame(QStringLiteral("Search In"), QSize(3495, 1035));
//   panel->place(frame, QRect(240, 2820, 3495, 1035));
//   frame->place(optReqOnly, QRect(240, 300, 3135, 285));
#include "ui/twipslayout.h"

#include <QGroupBox>

namespace cvd {

class ElasticFrame : public QGroupBox {
    Q_OBJECT
public:
    ElasticFrame(const QString& caption, QSize designTwips, QWidget* parent = nullptr);

    // Makes `w` a child of the frame, kept at `twips` scaled to the frame.
    void place(QWidget* w, const QRect& twips);

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    TwipsLayout m_layout;
};

} // namespace cvd
