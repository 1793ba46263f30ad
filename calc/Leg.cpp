#include "Leg.h"

#include "geo/Sphere.h"

#include <cmath>
#include <numbers>

namespace kx::calc {

using namespace kx::geo;

long double routeFork(const RoutePoint &first, const RoutePoint &last)
{
    return RefCorrection(first.pos.lat, first.pos.lon, last.pos.lat, last.pos.lon, first.ms, last.ms);
}

Leg computeLeg(const RoutePoint &first, const RoutePoint &a, const Position &b, const Position *beacon,
               long double fork)
{
    Leg leg;
    leg.s = OrthoDistance(a.pos.lat, a.pos.lon, b.lat, b.lon);
    leg.ipu = Norm360(OrthoCourse(a.pos.lat, a.pos.lon, b.lat, b.lon));
    leg.mpu = Norm360(leg.ipu - a.ms);
    leg.pV = RefCorrection(first.pos.lat, first.pos.lon, a.pos.lat, a.pos.lon, first.ms, a.ms);
    leg.pP = leg.pV - fork;
    leg.ozmpuV = leg.mpu - leg.pV;
    leg.ozmpuP = leg.mpu - leg.pP;

    if (beacon) {
        const Position &m = *beacon;
        leg.hasBeacon = true;
        const long double d = OrthoDistance(b.lat, b.lon, m.lat, m.lon);
        leg.uKm = leg.ipu + Convergence(a.pos.lat, a.pos.lon, m.lat, m.lon);
        // The beacon's bearing from B measured from the leg's axis, both
        // carried to B's meridian.
        const long double alpha =
            Norm360(OrthoCourse(b.lat, b.lon, m.lat, m.lon) - leg.uKm + Convergence(b.lat, b.lon, m.lat, m.lon));
        const long double radians = alpha * std::numbers::pi_v<long double> / 180;
        leg.sm = d * std::cos(radians);
        leg.zm = d * std::sin(radians);
        leg.dm = OrthoDistance(m.lat, m.lon, b.lat, b.lon);
        leg.am = OrthoCourse(m.lat, m.lon, b.lat, b.lon);
    }
    return leg;
}

} // namespace kx::calc
