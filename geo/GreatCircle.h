#pragma once

#include "GeoPoint.h"

#include <QList>

#include <optional>

namespace GeographicLib {
class Geodesic;
}

namespace kx::geo {

// Great circles in degrees on the sphere of the route calculation (Sphere.h),
// on which one minute of arc is one nautical mile of 1.852 km: what the map
// draws, so that a leg, a distance and a beacon's range look exactly as the
// calculation counts them.

// The sphere as GeographicLib's geodesic, for projections onto it.
const GeographicLib::Geodesic &sphereGeodesic();

// Geodesic distance on the sphere, km.
double distanceKm(GeoPoint a, GeoPoint b);

// The distance (km) and the initial true course (0..360) from a to b by the
// route calculation's own formulas (OrthoDistance, OrthoCourse), to the last
// digit as the calculation gives them.
long double orthoDistanceKm(GeoPoint a, GeoPoint b);
long double orthoCourse(GeoPoint a, GeoPoint b);

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

} // namespace kx::geo
