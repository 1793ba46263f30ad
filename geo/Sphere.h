#pragma once

#include <optional>

namespace kx::geo {

// Great-circle navigation on a sphere on which one minute of arc is one
// nautical mile of 1.852 km (radius 6366.707 km). Positions in radians,
// latitude north positive, longitude east positive; courses in degrees
// clockwise from true north; distances in km. The first position is where the
// arc starts. Longitude differences are taken the short way round, so a leg
// across the 180th meridian is handled like any other.

// The longitude difference lon2 - lon1 brought into -pi..pi.
long double longitudeDifference(long double lon1, long double lon2);

// Great-circle distance; 0 for coincident points.
long double OrthoDistance(long double lat1, long double lon1, long double lat2, long double lon2);

// Initial true course from point 1 to point 2 in 0..360: eastbound courses
// fall in 0..180, others in 180..360. Coincident points give 0. Along a
// meridian the zero guard of Cotan0/Cosec0 makes a northbound course just
// below 360 and a southbound one just above 180.
long double OrthoCourse(long double lat1, long double lon1, long double lat2, long double lon2);

// Initial true course from point 1 to point 2 in 0..360 by the exact
// great-circle formula, without the zero guard of OrthoCourse: for the short
// arcs where a tenth of a degree matters (a runway's track from its two
// thresholds, along a meridian as well). Nothing for coincident points.
std::optional<long double> InitialCourse(long double lat1, long double lon1, long double lat2, long double lon2);

// Two positions this close (km) are one place to the catalogue: the same
// radio aid in two files, an airport that has not moved, a flight plan's
// beacon and the catalogue's.
inline constexpr long double kSamePlaceKm = 1.0;

// Signed change of true course along the arc from point 1 to point 2,
// degrees; 0 for coincident points. North of the equator it is positive
// eastbound and negative westbound (a meridian counts as westbound).
long double Convergence(long double lat1, long double lon1, long double lat2, long double lon2);

// Convergence(point 1, point 2) - (var2 - var1): the turn of the great circle
// against the magnetic meridians; variations in degrees east positive.
long double RefCorrection(long double lat1, long double lon1, long double lat2, long double lon2,
                          long double var1, long double var2);

// One step into 0..360: above 360 subtract 360 once, then below 0 add 360
// once. 360 stays 360.
long double Norm360(long double angle);

// 1/sin and 1/tan of an angle in radians; an angle of exactly 0 is replaced by
// -2.90888e-6 (about -0.01 minute of arc).
long double Cosec0(long double angle);
long double Cotan0(long double angle);

} // namespace kx::geo
