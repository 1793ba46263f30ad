#pragma once

#include "BaseGeometry.h"
#include "CatalogueLayer.h"
#include "MapData.h"
#include "Projection.h"
#include "RouteMap.h"

#include <QList>
#include <QPolygonF>
#include <QRectF>

#include <memory>
#include <optional>

namespace kx::map {

struct MapView;

// Everything the map draws, projected into the plane (km): the base layers,
// the route with its correction beacons and the catalogue's beacons around
// it. Projecting is the costly part of drawing, so it is done here once per
// route and centre; a picture of any part of the plane then only scales.
class MapScene
{
public:
    struct Waypoint
    {
        int index = 0; // into route().points
        QPointF km;
    };
    struct Leg
    {
        int from = 0; // indexes into route().points
        int to = 0;
        QPolygonF km;
    };
    struct Correction
    {
        int from = 0; // the point whose leg the beacon corrects
        int to = -1;  // the leg's end; -1 for the last point (no leg)
        MapBeacon beacon;
        QPointF km;
        QPolygonF range;              // the circle of radius L_RSBN
        std::optional<QPointF> foot;  // the beacon's perpendicular on the leg
        QPolygonF extension;          // the leg's great circle carried on to a foot beyond its ends
    };
    struct Mark
    {
        QPointF km;
        QString id;
        qint64 code = 0;
    };
    // A waypoint of the catalogue layer.
    struct CatalogueMark
    {
        QPointF km;
        qint64 code = 0;
        QString id;
        CatalogueKind kind = CatalogueKind::Intersection;
        int rank = kRankIntersection;
    };
    struct GridLine
    {
        bool meridian = false;
        double degrees = 0;
        QPolygonF km;
    };

    MapScene();
    ~MapScene();

    // The base layers; none draws the map without them.
    void setBaseData(std::shared_ptr<const MapData> data);
    bool hasBase() const { return m_data != nullptr; }
    BaseGeometry *base() { return m_base.get(); }

    // A new route, or the same route after an edit: with keepCentre the
    // projection stays where it is while it still suits the route, so an edit
    // neither moves the picture nor projects the base layers again.
    void setRoute(const RouteMap &route, bool keepCentre = false);
    void setCatalogue(const MapCatalogue &catalogue);
    // The catalogue's waypoints around the view, most important first.
    void setCataloguePoints(const QList<CataloguePoint> &points);

    const RouteMap &route() const { return m_route; }
    const Projection &projection() const { return m_projection; }
    const QList<Waypoint> &waypoints() const { return m_waypoints; }
    const QList<Leg> &legs() const { return m_legs; }
    const QList<Correction> &corrections() const { return m_corrections; }
    const QList<Mark> &rsbn() const { return m_rsbn; }
    const QList<CatalogueMark> &catalogueMarks() const { return m_catalogueMarks; }

    // The route's points, legs, correction beacons and their range circles;
    // invalid when no point has a position.
    QRectF routeBoundsKm() const;
    // The part of the sphere a view shows, as boxes of latitude and longitude
    // (two when it reaches across the 180th meridian).
    QList<GeoBox> visibleBoxes(const MapView &view) const;
    // The route point drawn nearest to px within radiusPx: its index into
    // route().points, or -1.
    int waypointAt(QPointF px, const MapView &view, double radiusPx) const;

    // Meridians and parallels every stepDegrees over the part of the sphere
    // in view.
    const QList<GridLine> &graticule(double stepDegrees, const MapView &view);

private:
    // The latitudes and the longitudes (unwrapped about the centre) a view
    // shows; wholeLongitude when it holds a pole or the whole sphere.
    struct GeoRange
    {
        double latMin = 90, latMax = -90, lonMin = 1e9, lonMax = -1e9;
        bool wholeLongitude = false;
    };
    GeoRange visibleRange(const MapView &view) const;
    void project();
    void projectCatalogue();
    void recentre(geo::GeoPoint centre);

    std::shared_ptr<const MapData> m_data;
    std::unique_ptr<BaseGeometry> m_base;
    Projection m_projection;
    bool m_centred = false;
    RouteMap m_route;
    MapCatalogue m_catalogue;
    QList<Waypoint> m_waypoints;
    QList<Leg> m_legs;
    QList<Correction> m_corrections;
    QList<Mark> m_rsbn;
    QList<CataloguePoint> m_cataloguePoints;
    QList<CatalogueMark> m_catalogueMarks;

    double m_gridStep = 0;
    QRectF m_gridCovers; // longitude (unwrapped about the centre) and latitude
    QList<GridLine> m_grid;
};

} // namespace kx::map
