#include "RouteMap.h"

namespace kx::map {

QList<geo::GeoPoint> RouteMap::positions() const
{
    QList<geo::GeoPoint> result;
    for (const MapPoint &p : points)
        if (p.position)
            result.append(*p.position);
    return result;
}

QStringList RouteMap::unlocated() const
{
    QStringList result;
    for (const MapPoint &p : points)
        if (!p.position)
            result.append(p.label());
    return result;
}

} // namespace kx::map
