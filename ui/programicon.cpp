#include "ui/programicon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace cvd {

QImage programIconImage(int size)
{
    QImage pm(size, size, QImage::Format_ARGB32_Premultiplied);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    QPainterPath ticket;
    ticket.addRoundedRect(QRectF(s * 0.06, s * 0.16, s * 0.88, s * 0.68), s * 0.12, s * 0.12);
    // The punched notches of a ticket.
    QPainterPath notches;
    notches.addEllipse(QPointF(s * 0.06, s * 0.5), s * 0.09, s * 0.09);
    notches.addEllipse(QPointF(s * 0.94, s * 0.5), s * 0.09, s * 0.09);
    p.fillPath(ticket.subtracted(notches), QColor(0x1f, 0x5f, 0xa8));
    QPen pen(Qt::white, s * 0.09, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.drawPolyline(QPolygonF({QPointF(s * 0.30, s * 0.50), QPointF(s * 0.44, s * 0.64), QPointF(s * 0.70, s * 0.36)}));
    return pm;
}

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(QPixmap::fromImage(programIconImage(size)));
    return icon;
}

} // namespace cvd
