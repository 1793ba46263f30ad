#pragma once

#include "GeoPoint.h"

#include <QList>

#include <optional>

namespace kx::map {

// The sphere of the route calculation, on which one minute of arc is one
// nautical mile of 1.852 km. The map draws on it so that a leg, a distance
// and a beacon's range look exactly as the calculation counts them.
inline constexpr double kSphereRadiusKm = 1.852 * 60 * 180 / 3.14159265358979323846;

// Geodesic distance on the sphere, km.
double distanceKm(GeoPoint a, GeoPoint b);

// Points along the great circle from a to b, both ends included, no farther
// apart than stepKm.
QList<GeoPoint> greatCircle(GeoPoint a, GeoPoint b, double stepKm);

// The circle of points radiusKm from centre on the sphere, as a closed ring of
// segments + 1 points.
QList<GeoPoint> circle(GeoPoint centre, double radiusKm, int segments);

// The point at fraction t of the great-circle arc from a to b.
GeoPoint interpolate(GeoPoint a, GeoPoint b, double t);

// The foot of the perpendicular from m on the great circle through a and b;
// nothing when a and b coincide or are antipodal. *withinArc tells whether
// the foot lies on the arc from a to b itself.
std::optional<GeoPoint> perpendicularFoot(GeoPoint a, GeoPoint b, GeoPoint m, bool *withinArc = nullptr);

// Longitude brought into -180..180.
double wrapLongitude(double lon);

} // namespace kx::map
