#include "AboutPictures.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

QPixmap AboutPicture(int index, int size, qreal devicePixelRatio)
{
    QPixmap pm(QSize(size, size) * devicePixelRatio);
    pm.setDevicePixelRatio(devicePixelRatio);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);

    // 0 at the first picture, 1 at the last.
    const double t = double(qBound(1, index, kAboutPictureCount) - 1) / (kAboutPictureCount - 1);

    // The slide fades into the page as the run goes on.
    QColor slideHead(230, 110, 40);
    QColor pageLine(60, 100, 190);
    p.setPen(QPen(QColor(150, 70, 20), 1.2));
    p.setBrush(QColor(255, 250, 240));
    p.setOpacity(1.0 - 0.6 * t);
    p.drawRoundedRect(QRectF(6, 10, 34, 26), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(slideHead);
    p.drawRect(QRectF(7, 11, 32, 6));

    p.setOpacity(0.4 + 0.6 * t);
    p.setPen(QPen(QColor(40, 70, 140), 1.2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(32, 24, 26, 34));
    p.setPen(Qt::NoPen);
    p.setBrush(pageLine);
    const int lines = 1 + int(std::lround(t * 5));
    for (int k = 0; k < lines; ++k)
        p.drawRect(QRectF(36, 29 + k * 5, 18, 2.2));

    // The arrow sweeps a quarter turn per four pictures round the middle.
    p.setOpacity(1.0);
    const double angle = 360.0 * t;
    p.translate(32, 32);
    p.rotate(angle);
    QPainterPath arrow;
    arrow.moveTo(-4, -26);
    arrow.lineTo(6, -26);
    arrow.lineTo(6, -31);
    arrow.lineTo(14, -23);
    arrow.lineTo(6, -15);
    arrow.lineTo(6, -20);
    arrow.lineTo(-4, -20);
    arrow.closeSubpath();
    p.setPen(QPen(QColor(20, 80, 30), 1));
    p.setBrush(QColor(40, 150, 60));
    p.drawPath(arrow);
    return pm;
}
