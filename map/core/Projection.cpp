#include "Projection.h"

#include "geo/GreatCircle.h"
#include "geo/Sphere.h"

#include <GeographicLib/AzimuthalEquidistant.hpp>

#include <cmath>
#include <numbers>

namespace kx::map {
namespace {

constexpr double kDeg = std::numbers::pi / 180;
// An arc is divided while its image is longer than this share of its ends'
// distance from the centre (and longer than kMinSplitKm).
constexpr double kSplitShare = 0.25;
constexpr double kMinSplitKm = 50;
constexpr int kMaxDepth = 12;

} // namespace

Projection::Projection(geo::GeoPoint centre)
    : m_centre(centre)
    , m_ae(std::make_shared<GeographicLib::AzimuthalEquidistant>(geo::sphereGeodesic()))
{
}

geo::GeoPoint Projection::antipode() const { return {-m_centre.lat, geo::wrapLongitude(m_centre.lon + 180)}; }

QPointF Projection::forward(geo::GeoPoint p) const
{
    // On the sphere the projection has a closed form, several times cheaper
    // than the geodesic solution (the map projects thousands of catalogue
    // waypoints whenever it moves). Only right at the antipode, where every
    // direction is as good, the geodesic solution picks one.
    const double phi0 = m_centre.lat * kDeg, phi = p.lat * kDeg, dlambda = (p.lon - m_centre.lon) * kDeg;
    const double cosPhi = std::cos(phi), sinPhi = std::sin(phi);
    const double cosPhi0 = std::cos(phi0), sinPhi0 = std::sin(phi0);
    const double cosDl = std::cos(dlambda);
    const double east = cosPhi * std::sin(dlambda);
    const double north = cosPhi0 * sinPhi - sinPhi0 * cosPhi * cosDl;
    const double sinC = std::hypot(east, north);
    const double cosC = sinPhi0 * sinPhi + cosPhi0 * cosPhi * cosDl;
    if (sinC < 1e-9 && cosC < 0) {
        double x = 0, y = 0, azi = 0, rk = 0;
        m_ae->Forward(m_centre.lat, m_centre.lon, p.lat, p.lon, x, y, azi, rk);
        return {x / 1000, y / 1000};
    }
    const double c = std::atan2(sinC, cosC);
    const double k = sinC < 1e-12 ? 1 : c / sinC;
    const double radius = static_cast<double>(geo::kSphereRadiusKm);
    return {radius * k * east, radius * k * north};
}

geo::GeoPoint Projection::reverse(QPointF km) const
{
    geo::GeoPoint p;
    double azi = 0, rk = 0;
    m_ae->Reverse(m_centre.lat, m_centre.lon, km.x() * 1000, km.y() * 1000, p.lat, p.lon, azi, rk);
    return p;
}

double Projection::rimKm() { return std::numbers::pi * static_cast<double>(geo::kSphereRadiusKm); }

QPolygonF Projection::projectLine(const QList<geo::GeoPoint> &points) const
{
    QPolygonF out;
    if (points.isEmpty())
        return out;
    out.reserve(points.size());
    QPointF previous = forward(points.first());
    out.append(previous);
    for (qsizetype i = 1; i < points.size(); ++i) {
        const QPointF next = forward(points.at(i));
        appendArc(out, points.at(i - 1), previous, points.at(i), next, 0);
        previous = next;
    }
    return out;
}

void Projection::appendArc(QPolygonF &out, geo::GeoPoint a, QPointF aKm, geo::GeoPoint b, QPointF bKm) const
{
    appendArc(out, a, aKm, b, bKm, 0);
}

void Projection::appendArc(QPolygonF &out, geo::GeoPoint a, QPointF aKm, geo::GeoPoint b, QPointF bKm, int depth) const
{
    const QPointF d = bKm - aKm;
    const double chord = std::hypot(d.x(), d.y());
    const double reach = std::min(std::hypot(aKm.x(), aKm.y()), std::hypot(bKm.x(), bKm.y()));
    if (depth < kMaxDepth && chord > kMinSplitKm && chord > kSplitShare * reach) {
        const geo::GeoPoint mid = geo::interpolate(a, b, 0.5);
        const QPointF midKm = forward(mid);
        appendArc(out, a, aKm, mid, midKm, depth + 1);
        appendArc(out, mid, midKm, b, bKm, depth + 1);
        return;
    }
    out.append(bKm);
}

geo::GeoPoint Projection::centreOf(const QList<geo::GeoPoint> &points)
{
    if (points.isEmpty())
        return {};
    double x = 0, y = 0, z = 0;
    for (const geo::GeoPoint &p : points) {
        x += std::cos(p.lat * kDeg) * std::cos(p.lon * kDeg);
        y += std::cos(p.lat * kDeg) * std::sin(p.lon * kDeg);
        z += std::sin(p.lat * kDeg);
    }
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length < 1e-9 * points.size())
        return points.first();
    return {std::atan2(z, std::hypot(x, y)) / kDeg, std::atan2(y, x) / kDeg};
}

} // namespace kx::map
