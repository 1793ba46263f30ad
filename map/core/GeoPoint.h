#pragma once

namespace kx::map {

// A position in degrees, latitude north and longitude east positive.
struct GeoPoint
{
    double lat = 0;
    double lon = 0;
};

} // namespace kx::map
