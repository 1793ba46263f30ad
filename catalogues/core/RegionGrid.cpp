#include "RegionGrid.h"

#include "geo/Sphere.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace kx::catalogues {
namespace {

constexpr int kRings = 20; // 1° cells searched around a radio aid
constexpr long double kDegrees = 180 / std::numbers::pi_v<long double>;
constexpr long double kKmPerDegree = 60 * 1.852L;

int latCell(long double lat)
{
    return std::clamp(static_cast<int>(std::floor(lat * kDegrees)), -90, 89);
}

int lonCell(long double lon)
{
    return static_cast<int>(std::floor(lon * kDegrees));
}

int key(int row, int column)
{
    return (row + 90) * 360 + ((column % 360) + 360) % 360;
}

} // namespace

void RegionGrid::add(long double lat, long double lon, const QString &prefix)
{
    m_cells[key(latCell(lat), lonCell(lon))].append({lat, lon, prefix});
}

QString RegionGrid::nearest(long double lat, long double lon) const
{
    const int row = latCell(lat);
    const int column = lonCell(lon);
    const Airport *best = nullptr;
    long double bestKm = std::numeric_limits<long double>::max();
    for (int ring = 0; ring <= kRings; ++ring) {
        for (int dr = -ring; dr <= ring; ++dr) {
            const int r = row + dr;
            if (r < -90 || r > 89)
                continue;
            const int step = (dr == -ring || dr == ring) ? 1 : 2 * ring;
            for (int dc = -ring; dc <= ring; dc += std::max(step, 1)) {
                const auto it = m_cells.constFind(key(r, column + dc));
                if (it == m_cells.cend())
                    continue;
                for (const Airport &a : it.value()) {
                    const long double km = geo::OrthoDistance(lat, lon, a.lat, a.lon);
                    if (km < bestKm) {
                        bestKm = km;
                        best = &a;
                    }
                }
            }
        }
        // Whatever lies beyond this ring is at least `ring` whole degrees
        // away in latitude or in longitude.
        const long double parallel = std::cos(std::min(89.0L, std::abs(lat * kDegrees) + ring + 1) / kDegrees);
        if (best && bestKm <= ring * kKmPerDegree * parallel)
            break;
    }
    return best ? best->prefix : QString(QLatin1String(""));
}

} // namespace kx::catalogues
