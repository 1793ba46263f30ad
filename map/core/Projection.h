#pragma once

#include "geo/GeoPoint.h"

#include <QList>
#include <QPointF>
#include <QPolygonF>

#include <memory>

namespace GeographicLib {
class AzimuthalEquidistant;
}

namespace kx::map {

// The map's projection: azimuthal equidistant on the calculation's sphere,
// centred on the route. Distances and courses from the centre are true, and
// near the route shapes and lengths are nearly so (1 % at 1,600 km from the
// centre); the poles and the 180th meridian are ordinary places in it, so a
// route across either draws like any other. The one singular point is the
// antipode of the centre, which spreads over the rim circle of radius
// pi R (rimKm) around the map.
// Plane coordinates are km, x east and y north of the centre.
class Projection
{
public:
    explicit Projection(geo::GeoPoint centre = {});

    const geo::GeoPoint &centre() const { return m_centre; }
    geo::GeoPoint antipode() const;

    QPointF forward(geo::GeoPoint p) const;
    geo::GeoPoint reverse(QPointF km) const;

    // A line of the sphere (its points joined by short arcs) in the plane.
    // Where an arc's image is long against its distance from the centre (near
    // the antipode, where a short arc can sweep half around the rim) points of
    // the arc are added, so that a straight chord never cuts across the map.
    QPolygonF projectLine(const QList<geo::GeoPoint> &points) const;
    // The same for one arc from a to b whose ends are already projected;
    // appends the points after a up to and including b.
    void appendArc(QPolygonF &out, geo::GeoPoint a, QPointF aKm, geo::GeoPoint b, QPointF bKm) const;

    static double rimKm();

    // A centre for a set of positions: the direction of the sum of their unit
    // vectors, or the first position when they cancel out.
    static geo::GeoPoint centreOf(const QList<geo::GeoPoint> &points);

private:
    void appendArc(QPolygonF &out, geo::GeoPoint a, QPointF aKm, geo::GeoPoint b, QPointF bKm, int depth) const;

    geo::GeoPoint m_centre;
    std::shared_ptr<const GeographicLib::AzimuthalEquidistant> m_ae;
};

} // namespace kx::map
