#include "ProgramIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kx::shell {
namespace {

QPixmap drawRose(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(size / 2.0, size / 2.0);
    p.scale(size / 64.0, size / 64.0);
    p.setPen(QPen(QColor(0, 0, 102), 2));
    p.setBrush(QColor(235, 245, 245));
    p.drawEllipse(QPointF(0, 0), 30, 30);
    for (int i = 0; i < 4; ++i) {
        QPainterPath needle;
        needle.moveTo(0, -27);
        needle.lineTo(6, 0);
        needle.lineTo(-6, 0);
        needle.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(i == 0 ? QColor(176, 0, 0) : QColor(0, 0, 102));
        p.drawPath(needle);
        p.rotate(90);
    }
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(0, 0), 3, 3);
    return pixmap;
}

} // namespace

QIcon programIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128})
        icon.addPixmap(drawRose(size));
    return icon;
}

} // namespace kx::shell
