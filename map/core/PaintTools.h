#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPen>
#include <QPointF>
#include <QString>

// What the parts of the map's picture draw with.
namespace kx::map::renderer {

// The ink of the route's points, the scale and the north mark.
QColor ink();

// A thin line's pen of that width (see the definition for the screen's).
QPen thinPen(const QPainter &painter, const QColor &colour, double width);

// The map's letters, so many pixels high.
QFont font(double pixels, bool bold = false);

// Text on a pale ground at its baseline, in the painter's font.
void haloText(QPainter &painter, QPointF baseline, const QString &text, const QColor &colour);

} // namespace kx::map::renderer
