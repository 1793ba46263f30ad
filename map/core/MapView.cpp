#include "MapView.h"

#include "Projection.h"

#include <algorithm>
#include <cmath>

namespace kx::map {

double MapView::minScale() const
{
    const double side = std::max(1.0, std::min(size.width(), size.height()));
    return side / (2.4 * Projection::rimKm());
}

QRectF MapView::visibleKm() const
{
    const QPointF topLeft = toKm(QPointF(0, 0));
    const QPointF bottomRight = toKm(QPointF(size.width(), size.height()));
    return QRectF(QPointF(topLeft.x(), bottomRight.y()), QPointF(bottomRight.x(), topLeft.y()));
}

double MapView::reachKm() const
{
    const QRectF r = visibleKm();
    const double dx = std::max(std::abs(r.left()), std::abs(r.right()));
    const double dy = std::max(std::abs(r.top()), std::abs(r.bottom()));
    return std::hypot(dx, dy);
}

MapView MapView::fitting(const QRectF &km, const QSizeF &size, double marginPx, double minSpanKm)
{
    MapView view;
    view.size = size;
    const QRectF r = km.normalized();
    view.centre = r.center();
    const double width = std::max(r.width(), minSpanKm);
    const double height = std::max(r.height(), minSpanKm);
    const double w = std::max(1.0, size.width() - 2 * marginPx);
    const double h = std::max(1.0, size.height() - 2 * marginPx);
    view.setScale(std::min(w / width, h / height));
    return view;
}

void MapView::setScale(double newScale)
{
    scale = std::clamp(newScale, minScale(), kMaxScale);
}

void MapView::zoomAt(QPointF px, double factor)
{
    const QPointF fixed = toKm(px);
    setScale(scale * factor);
    // Put the fixed plane point back under px.
    centre = QPointF(fixed.x() - (px.x() - size.width() / 2) / scale, fixed.y() + (px.y() - size.height() / 2) / scale);
}

void MapView::panBy(QPointF deltaPx)
{
    centre -= QPointF(deltaPx.x() / scale, -deltaPx.y() / scale);
    // Not beyond the rim: the sphere ends there.
    const double rim = Projection::rimKm();
    const double r = std::hypot(centre.x(), centre.y());
    if (r > rim)
        centre *= rim / r;
}

} // namespace kx::map
