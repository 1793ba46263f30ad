#pragma once

namespace kx::geo {

// A position in degrees, latitude north and longitude east positive, as the
// map draws it (the formulas of Sphere.h take radians, Position).
struct GeoPoint
{
    double lat = 0;
    double lon = 0;
};

} // namespace kx::geo
