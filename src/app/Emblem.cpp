#include "Emblem.h"
#include "Edition.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

QPixmap programIcon(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, size);
    g.setColorAt(0, QColor(0x4f, 0x86, 0xc6));
    g.setColorAt(1, QColor(0x33, 0x66, 0x99));
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(1, 1, size - 2, size - 2), size / 6.0, size / 6.0);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(int(size * 0.62));
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, productTitle().left(1));
    return pm;
}

QPixmap mainPicture(int width, int height)
{
    QPixmap pm(width, height);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor(0x9c, 0xc3, 0xe6));
    sky.setColorAt(1, QColor(0xf3, 0xe6, 0xc8));
    p.fillRect(pm.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf6, 0xd3, 0x6b));
    p.drawEllipse(QPointF(width * 0.75, height * 0.3), height * 0.12, height * 0.12);
    QPainterPath hills;
    hills.moveTo(0, height);
    hills.lineTo(0, height * 0.7);
    hills.cubicTo(width * 0.25, height * 0.5, width * 0.45, height * 0.85, width * 0.7, height * 0.62);
    hills.cubicTo(width * 0.85, height * 0.52, width * 0.95, height * 0.6, width, height * 0.58);
    hills.lineTo(width, height);
    p.setBrush(QColor(0x5b, 0x8c, 0x5a));
    p.drawPath(hills);
    QPainterPath front;
    front.moveTo(0, height);
    front.lineTo(0, height * 0.85);
    front.cubicTo(width * 0.3, height * 0.75, width * 0.6, height * 0.95, width, height * 0.8);
    front.lineTo(width, height);
    p.setBrush(QColor(0x3f, 0x6e, 0x40));
    p.drawPath(front);
    return pm;
}
