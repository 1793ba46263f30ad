#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

namespace kx::map {

// Which part of the projected plane a picture shows: the plane point at the
// picture's centre and the scale. Pixels count right and down, km east and
// north.
struct MapView
{
    QSizeF size;       // pixels
    QPointF centre;    // km
    double scale = 1;  // pixels per km

    // Closest and farthest zoom: about 20 m per pixel, and the whole sphere
    // (the rim circle) in the picture with room to spare.
    static constexpr double kMaxScale = 50;
    double minScale() const;

    QPointF toPixel(QPointF km) const
    {
        return {size.width() / 2 + (km.x() - centre.x()) * scale, size.height() / 2 - (km.y() - centre.y()) * scale};
    }
    QPointF toKm(QPointF px) const
    {
        return {centre.x() + (px.x() - size.width() / 2) / scale, centre.y() - (px.y() - size.height() / 2) / scale};
    }
    QRectF visibleKm() const;
    // Distance from the projection's centre to the farthest point in view.
    double reachKm() const;

    // The view that shows km (at least minSpanKm across) with marginPx to
    // spare on every side.
    static MapView fitting(const QRectF &km, const QSizeF &size, double marginPx, double minSpanKm = 100);
    // Zooms by factor keeping the plane point under px where it is.
    void zoomAt(QPointF px, double factor);
    void panBy(QPointF deltaPx);
    void setScale(double newScale);
};

} // namespace kx::map
