#include "keyerpicture.h"

#include <QPainter>

QPixmap keyerPicture(const QColor &body, const QColor &display, const QColor &lamp)
{
    QPixmap pixmap(56, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(60, 60, 60), 1.5));
    painter.setBrush(body);
    painter.drawRoundedRect(QRectF(1.5, 4.5, 53, 24), 4, 4);
    painter.setBrush(display);
    painter.drawRect(QRectF(7.5, 9.5, 26, 12));
    painter.setBrush(lamp);
    painter.drawEllipse(QPointF(44, 16), 4.5, 4.5);
    return pixmap;
}
