#include "MapScene.h"

#include "MapView.h"
#include "geo/GreatCircle.h"
#include "geo/Sphere.h"

#include <algorithm>
#include <cmath>

namespace kx::map {
namespace {

// Legs and circles are drawn as chains of short arcs.
constexpr double kLegStepKm = 25;
constexpr int kCircleSegments = 120;
// Catalogue beacons farther than this from the centre are never in view at
// a useful scale.
constexpr double kCatalogueReachKm = 6000;
// While the route's new centre is within this share of its extent (and this
// many km) of the old one, the projection stays.
constexpr double kKeepCentreKm = 500;

} // namespace

MapScene::MapScene() = default;
MapScene::~MapScene() = default;

void MapScene::setBaseData(std::shared_ptr<const MapData> data)
{
    m_data = std::move(data);
    m_base = m_data ? std::make_unique<BaseGeometry>(m_data, m_projection) : nullptr;
}

void MapScene::recentre(geo::GeoPoint centre)
{
    m_projection = Projection(centre);
    m_base = m_data ? std::make_unique<BaseGeometry>(m_data, m_projection) : nullptr;
    m_grid.clear();
    m_gridStep = 0;
    projectCatalogue();
}

void MapScene::setRoute(const RouteMap &route, bool keepCentre)
{
    m_route = route;
    const QList<geo::GeoPoint> positions = route.positions();
    const geo::GeoPoint centre = positions.isEmpty() ? m_projection.centre() : Projection::centreOf(positions);
    const bool suits = keepCentre && m_centred && geo::distanceKm(centre, m_projection.centre()) < kKeepCentreKm;
    if (!m_centred || (!suits && !positions.isEmpty())) {
        recentre(centre);
        m_centred = true;
    }
    project();
}

void MapScene::setCatalogue(const MapCatalogue &catalogue)
{
    m_catalogue = catalogue;
    projectCatalogue();
}

void MapScene::projectCatalogue()
{
    // Chosen by the angle between unit vectors: far cheaper than a
    // geodesic, and the reach is no fine line.
    constexpr double deg = 3.14159265358979323846 / 180;
    const geo::GeoPoint c = m_projection.centre();
    const double cx = std::cos(c.lat * deg) * std::cos(c.lon * deg), cy = std::cos(c.lat * deg) * std::sin(c.lon * deg),
                 cz = std::sin(c.lat * deg);
    const double reach = std::cos(kCatalogueReachKm / static_cast<double>(geo::kSphereRadiusKm));
    const auto marks = [&](const QList<MapBeacon> &beacons) {
        QList<Mark> out;
        for (const MapBeacon &b : beacons) {
            if (!b.position)
                continue;
            const double lat = b.position->lat * deg, lon = b.position->lon * deg;
            if (std::cos(lat) * std::cos(lon) * cx + std::cos(lat) * std::sin(lon) * cy + std::sin(lat) * cz >= reach)
                out.append({m_projection.forward(*b.position), b.id, b.code});
        }
        return out;
    };
    m_rsbn = marks(m_catalogue.rsbn);
    m_catalogueMarks.clear();
    m_catalogueMarks.reserve(m_cataloguePoints.size());
    for (const CataloguePoint &p : std::as_const(m_cataloguePoints))
        m_catalogueMarks.append({m_projection.forward(p.position), p.code, p.id, p.kind, p.rank});
}

void MapScene::setCataloguePoints(const QList<CataloguePoint> &points)
{
    m_cataloguePoints = points;
    projectCatalogue();
}

void MapScene::project()
{
    m_waypoints.clear();
    m_legs.clear();
    m_corrections.clear();
    const QList<MapPoint> &points = m_route.points;
    int previous = -1;
    for (int i = 0; i < points.size(); ++i) {
        const MapPoint &p = points.at(i);
        if (!p.position)
            continue;
        m_waypoints.append({i, m_projection.forward(*p.position)});
        // A point without a position leaves a gap: the legs either side of it
        // cannot be drawn, and a straight line across it would be a leg that
        // the route does not have.
        if (previous == i - 1 && previous >= 0)
            m_legs.append(
                {previous, i,
                 m_projection.projectLine(geo::greatCircle(*points.at(previous).position, *p.position, kLegStepKm))});
        previous = i;
    }
    for (int i = 0; i < points.size(); ++i) {
        const MapPoint &p = points.at(i);
        if (!p.beacon || !p.beacon->position)
            continue;
        Correction c;
        c.from = i;
        c.beacon = *p.beacon;
        const geo::GeoPoint at = *p.beacon->position;
        c.km = m_projection.forward(at);
        c.range = m_projection.projectLine(geo::circle(at, m_route.rangeKm, kCircleSegments));
        const bool hasLeg = i + 1 < points.size() && p.position && points.at(i + 1).position;
        if (hasLeg) {
            c.to = i + 1;
            const geo::GeoPoint a = *p.position, b = *points.at(i + 1).position;
            bool within = true;
            if (const auto foot = geo::perpendicularFoot(a, b, at, &within)) {
                c.foot = m_projection.forward(*foot);
                if (!within) {
                    const geo::GeoPoint nearer = geo::distanceKm(*foot, a) < geo::distanceKm(*foot, b) ? a : b;
                    c.extension = m_projection.projectLine(geo::greatCircle(nearer, *foot, kLegStepKm));
                }
            }
        }
        m_corrections.append(c);
    }
}

QRectF MapScene::routeBoundsKm() const
{
    double left = 0, right = 0, bottom = 0, top = 0;
    bool any = false;
    const auto add = [&](QPointF p) {
        left = any ? std::min(left, p.x()) : p.x();
        right = any ? std::max(right, p.x()) : p.x();
        bottom = any ? std::min(bottom, p.y()) : p.y();
        top = any ? std::max(top, p.y()) : p.y();
        any = true;
    };
    for (const Waypoint &w : m_waypoints)
        add(w.km);
    for (const Leg &leg : m_legs)
        for (const QPointF &p : leg.km)
            add(p);
    for (const Correction &c : m_corrections) {
        add(c.km);
        // "The whole route" shows what each beacon reaches as well.
        for (const QPointF &p : c.range)
            add(p);
    }
    if (!any)
        return QRectF();
    // A rectangle of no size is still the route's place (QRectF would take
    // it for none).
    return QRectF(QPointF(left, bottom), QPointF(right, top)).adjusted(-1e-6, -1e-6, 1e-6, 1e-6);
}

int MapScene::waypointAt(QPointF px, const MapView &view, double radiusPx) const
{
    int best = -1;
    double bestDistance = radiusPx;
    // The later of coincident points wins, as it is drawn on top.
    for (const Waypoint &w : m_waypoints) {
        const QPointF d = view.toPixel(w.km) - px;
        const double distance = std::hypot(d.x(), d.y());
        if (distance <= bestDistance) {
            bestDistance = distance;
            best = w.index;
        }
    }
    return best;
}

MapScene::GeoRange MapScene::visibleRange(const MapView &view) const
{
    // The part of the sphere in view, in latitude and in longitude unwrapped
    // about the projection's centre (so a view across the 180th meridian is
    // one range).
    const geo::GeoPoint c = m_projection.centre();
    const double rim = Projection::rimKm() * 0.999;
    const QRectF r = view.visibleKm();
    GeoRange g;
    const auto take = [&](QPointF km) {
        const double d = std::hypot(km.x(), km.y());
        if (d > rim)
            km *= rim / d;
        const geo::GeoPoint p = m_projection.reverse(km);
        const double lon = c.lon + geo::wrapLongitude(p.lon - c.lon);
        g.latMin = std::min(g.latMin, p.lat);
        g.latMax = std::max(g.latMax, p.lat);
        g.lonMin = std::min(g.lonMin, lon);
        g.lonMax = std::max(g.lonMax, lon);
    };
    constexpr int kSamples = 24;
    for (int i = 0; i <= kSamples; ++i) {
        const double t = double(i) / kSamples;
        take(QPointF(r.left() + t * r.width(), r.top()));
        take(QPointF(r.left() + t * r.width(), r.bottom()));
        take(QPointF(r.left(), r.top() + t * r.height()));
        take(QPointF(r.right(), r.top() + t * r.height()));
    }
    take(r.center());
    g.wholeLongitude = g.lonMax - g.lonMin > 300;
    for (const double pole : {90.0, -90.0}) {
        const QPointF p = m_projection.forward({pole, 0});
        if (r.contains(p)) {
            (pole > 0 ? g.latMax : g.latMin) = pole;
            g.wholeLongitude = true;
        }
    }
    if (r.contains(QRectF(-rim, -rim, 2 * rim, 2 * rim))) {
        g.latMin = -90;
        g.latMax = 90;
        g.wholeLongitude = true;
    }
    if (g.wholeLongitude) {
        g.lonMin = c.lon - 180;
        g.lonMax = c.lon + 180;
    }
    return g;
}

QList<GeoBox> MapScene::visibleBoxes(const MapView &view) const
{
    const GeoRange g = visibleRange(view);
    // The edges are sampled: a little more, so that nothing at them is missed.
    const double padLat = std::max(0.05, (g.latMax - g.latMin) * 0.02);
    const double padLon = std::max(0.05, (g.lonMax - g.lonMin) * 0.02);
    const double south = std::max(-90.0, g.latMin - padLat), north = std::min(90.0, g.latMax + padLat);
    if (g.wholeLongitude || g.lonMax - g.lonMin + 2 * padLon >= 360)
        return {GeoBox{south, north, -180, 180}};
    double west = g.lonMin - padLon, east = g.lonMax + padLon;
    // Into -180..180, cut in two where it reaches across.
    const double shift = 360 * std::floor((west + 180) / 360);
    west -= shift;
    east -= shift;
    if (east <= 180)
        return {GeoBox{south, north, west, east}};
    return {GeoBox{south, north, west, 180}, GeoBox{south, north, -180, east - 360}};
}

const QList<MapScene::GridLine> &MapScene::graticule(double step, const MapView &view)
{
    const geo::GeoPoint c = m_projection.centre();
    const GeoRange g = visibleRange(view);
    const double latMin = g.latMin, latMax = g.latMax, lonMin = g.lonMin, lonMax = g.lonMax;
    const bool wholeLongitude = g.wholeLongitude;
    const QRectF needed(QPointF(lonMin, latMin), QPointF(lonMax, latMax));
    if (step == m_gridStep && m_gridCovers.contains(needed))
        return m_grid;

    // Computed for more than is in view, so that panning reuses it.
    const double padLon = std::max(needed.width() * 0.5, step), padLat = std::max(needed.height() * 0.5, step);
    const double west = wholeLongitude ? lonMin : std::max(lonMin - padLon, c.lon - 180);
    const double east = wholeLongitude ? lonMax : std::min(lonMax + padLon, c.lon + 180);
    const double south = std::max(latMin - padLat, -90.0), north = std::min(latMax + padLat, 90.0);
    const double sample = std::min(step / 4, 1.0);
    m_grid.clear();
    m_gridStep = step;
    m_gridCovers = QRectF(QPointF(west, south), QPointF(east, north));
    for (double lon = std::ceil(west / step) * step; lon <= east + 1e-9; lon += step) {
        if (wholeLongitude && lon >= east - 1e-9)
            break; // the same meridian as at west
        // Near the poles close meridians would merge into a blot.
        const double limit = std::fmod(std::abs(lon), 10.0) < 1e-9 ? 90.0 : step >= 5 ? 85.0 : 89.0;
        QList<geo::GeoPoint> line;
        const double from = std::max(south, -limit), to = std::min(north, limit);
        const int n = std::max(1, int(std::ceil((to - from) / sample)));
        for (int i = 0; i <= n; ++i)
            line.append({from + (to - from) * i / n, geo::wrapLongitude(lon)});
        m_grid.append({true, geo::wrapLongitude(lon), m_projection.projectLine(line)});
    }
    for (double lat = std::ceil(south / step) * step; lat <= north + 1e-9; lat += step) {
        if (std::abs(lat) > 89.999)
            continue;
        QList<geo::GeoPoint> line;
        const int n = std::max(1, int(std::ceil((east - west) / sample)));
        for (int i = 0; i <= n; ++i)
            line.append({lat, geo::wrapLongitude(west + (east - west) * i / n)});
        m_grid.append({false, lat, m_projection.projectLine(line)});
    }
    return m_grid;
}

} // namespace kx::map
