#include "MapDecorations.h"

#include "MapScene.h"
#include "MapTexts.h"
#include "MapView.h"
#include "PaintTools.h"
#include "Projection.h"

#include "base/Numbers.h"

#include <QFontMetricsF>

#include <cmath>

namespace kx::map::renderer {

double scaleBarKm(double maxKm)
{
    if (!(maxKm > 0))
        return 1;
    const double power = std::pow(10.0, std::floor(std::log10(maxKm)));
    for (const double m : {5.0, 2.0, 1.0})
        if (m * power <= maxKm)
            return m * power;
    return power;
}

void renderScaleBar(QPainter &painter, const MapView &view)
{
    const double km = scaleBarKm(160 / view.scale);
    const double length = km * view.scale;
    const QPointF origin(14, view.size.height() - 28);
    const QFont f = font(11);
    painter.setFont(f);
    const QString text =
        texts::scaleBar(km >= 1 ? QString::number(km, 'f', 0) : withDecimalComma(QString::number(km, 'g', 3)));
    const QFontMetricsF metrics(f);
    const QRectF box(origin + QPointF(-6, -metrics.height() - 8), QSizeF(length + 12, metrics.height() + 20));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 200));
    painter.drawRect(box);
    painter.setPen(QPen(ink(), 1));
    for (int i = 0; i < 4; ++i) {
        painter.setBrush(i % 2 ? QColor(Qt::white) : ink());
        painter.drawRect(QRectF(origin + QPointF(length * i / 4, 0), QSizeF(length / 4, 5)));
    }
    painter.setPen(ink());
    painter.drawText(origin + QPointF(0, -5), text);
}

void renderNorth(QPainter &painter, const MapScene &scene, const MapView &view)
{
    // The true north where the mark stands, which away from the map's
    // centre is not straight up.
    const QPointF at(view.size.width() - 30, 44);
    const QPointF km = view.toKm(at);
    double dx = 0, dy = -1;
    if (std::hypot(km.x(), km.y()) < Projection::rimKm() * 0.99) {
        geo::GeoPoint g = scene.projection().reverse(km);
        if (g.lat < 89.9) {
            geo::GeoPoint north = g;
            north.lat = std::min(90.0, g.lat + 0.05);
            const QPointF n = view.toPixel(scene.projection().forward(north));
            const double len = std::hypot(n.x() - at.x(), n.y() - at.y());
            if (len > 1e-9) {
                dx = (n.x() - at.x()) / len;
                dy = (n.y() - at.y()) / len;
            }
        }
    }
    const QPointF dir(dx, dy), side(-dy, dx);
    const QPointF tip = at + 6 * dir, tail = at - 18 * dir;
    painter.setPen(QPen(QColor(120, 120, 120), 0.8));
    painter.setBrush(QColor(255, 255, 255, 215));
    painter.drawEllipse(at, 26, 26);
    painter.setPen(QPen(ink(), 1));
    painter.setBrush(ink());
    painter.drawPolygon(QPolygonF({tip, tail + 6 * side, at - 12 * dir, tail - 6 * side}));
    // The letter for north beyond the tip.
    const QFont f = font(13, true);
    painter.setFont(f);
    const QFontMetricsF metrics(f);
    const QString letter = texts::northLetter();
    const QPointF centre = at + 15 * dir;
    painter.setPen(ink());
    painter.drawText(centre + QPointF(-metrics.horizontalAdvance(letter) / 2, metrics.capHeight() / 2), letter);
}

void renderNotes(QPainter &painter, const QStringList &notes)
{
    if (notes.isEmpty())
        return;
    const QColor colour(150, 0, 0);
    const QFont f = font(12, true);
    painter.setFont(f);
    const QFontMetricsF metrics(f);
    double y = 10;
    for (const QString &note : notes) {
        const QRectF box(10, y, metrics.horizontalAdvance(note) + 12, metrics.height() + 6);
        painter.setPen(QPen(colour, 1));
        painter.setBrush(QColor(255, 255, 255, 230));
        painter.drawRect(box);
        painter.setPen(colour);
        painter.drawText(box.topLeft() + QPointF(6, 3 + metrics.ascent()), note);
        y += box.height() + 4;
    }
}

} // namespace kx::map::renderer
