#include "GreatCircle.h"

#include "Sphere.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/GeodesicLine.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace kx::geo {
namespace {

using Vec = std::array<double, 3>;
constexpr double kDeg = std::numbers::pi / 180;

Vec unit(GeoPoint p)
{
    const double lat = p.lat * kDeg, lon = p.lon * kDeg;
    return {std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon), std::sin(lat)};
}

GeoPoint point(const Vec &v)
{
    return {std::atan2(v[2], std::hypot(v[0], v[1])) / kDeg, std::atan2(v[1], v[0]) / kDeg};
}

Vec cross(const Vec &a, const Vec &b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double dot(const Vec &a, const Vec &b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

double norm(const Vec &v) { return std::sqrt(dot(v, v)); }

} // namespace

const GeographicLib::Geodesic &sphereGeodesic()
{
    static const GeographicLib::Geodesic geodesic(static_cast<double>(kSphereRadiusKm) * 1000, 0);
    return geodesic;
}

long double orthoDistanceKm(GeoPoint a, GeoPoint b)
{
    constexpr long double rad = std::numbers::pi_v<long double> / 180;
    return OrthoDistance(a.lat * rad, a.lon * rad, b.lat * rad, b.lon * rad);
}

long double orthoCourse(GeoPoint a, GeoPoint b)
{
    constexpr long double rad = std::numbers::pi_v<long double> / 180;
    return OrthoCourse(a.lat * rad, a.lon * rad, b.lat * rad, b.lon * rad);
}

double distanceKm(GeoPoint a, GeoPoint b)
{
    double s12 = 0;
    sphereGeodesic().Inverse(a.lat, a.lon, b.lat, b.lon, s12);
    return s12 / 1000;
}

QList<GeoPoint> greatCircle(GeoPoint a, GeoPoint b, double stepKm)
{
    const GeographicLib::GeodesicLine line = sphereGeodesic().InverseLine(a.lat, a.lon, b.lat, b.lon);
    const double length = line.Distance() / 1000;
    const int steps = std::clamp(static_cast<int>(std::ceil(length / std::max(stepKm, 1e-3))), 1, 4096);
    QList<GeoPoint> points;
    points.reserve(steps + 1);
    points.append(a);
    for (int i = 1; i < steps; ++i) {
        GeoPoint p;
        line.Position(line.Distance() * i / steps, p.lat, p.lon);
        points.append(p);
    }
    points.append(b);
    return points;
}

QList<GeoPoint> circle(GeoPoint centre, double radiusKm, int segments)
{
    QList<GeoPoint> points;
    segments = std::max(segments, 3);
    points.reserve(segments + 1);
    for (int i = 0; i <= segments; ++i) {
        GeoPoint p;
        sphereGeodesic().Direct(centre.lat, centre.lon, 360.0 * (i % segments) / segments, radiusKm * 1000, p.lat,
                                p.lon);
        points.append(p);
    }
    return points;
}

GeoPoint interpolate(GeoPoint a, GeoPoint b, double t)
{
    const Vec u = unit(a), v = unit(b);
    const double angle = std::atan2(norm(cross(u, v)), dot(u, v));
    if (angle < 1e-12)
        return a;
    const double sa = std::sin(angle);
    const double wa = std::sin((1 - t) * angle) / sa, wb = std::sin(t * angle) / sa;
    return point({wa * u[0] + wb * v[0], wa * u[1] + wb * v[1], wa * u[2] + wb * v[2]});
}

std::optional<GeoPoint> perpendicularFoot(GeoPoint a, GeoPoint b, GeoPoint m, bool *withinArc)
{
    const Vec u = unit(a), v = unit(b), w = unit(m);
    Vec n = cross(u, v);
    const double length = norm(n);
    if (length < 1e-12)
        return std::nullopt;
    for (double &c : n)
        c /= length;
    const double d = dot(w, n);
    Vec f = {w[0] - d * n[0], w[1] - d * n[1], w[2] - d * n[2]};
    const double fl = norm(f);
    if (fl < 1e-12)
        return std::nullopt; // m at a pole of the great circle: every point is a foot
    for (double &c : f)
        c /= fl;
    if (withinArc) {
        // On the arc when the foot lies between a and b: both turns from a to
        // the foot and from the foot to b go the same way as from a to b.
        *withinArc = dot(cross(u, f), n) >= -1e-12 && dot(cross(f, v), n) >= -1e-12;
    }
    return point(f);
}

double wrapLongitude(double lon)
{
    lon = std::fmod(lon + 180, 360);
    if (lon < 0)
        lon += 360;
    return lon - 180;
}

} // namespace kx::geo
