#include "Sphere.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kx::geo {

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr long double kDegreesPerRadian = 180 / kPi;
constexpr long double kKmPerDegree = 60 * 1.852L;
constexpr long double kZeroGuard = -2.90888e-6L;

bool coincide(long double lat1, long double lon1, long double lat2, long double lon2)
{
    return lat1 == lat2 && longitudeDifference(lon1, lon2) == 0;
}

} // namespace

long double longitudeDifference(long double lon1, long double lon2)
{
    long double difference = lon2 - lon1;
    if (difference > kPi)
        difference -= 2 * kPi;
    else if (difference < -kPi)
        difference += 2 * kPi;
    return difference;
}

long double OrthoDistance(long double lat1, long double lon1, long double lat2, long double lon2)
{
    if (coincide(lat1, lon1, lat2, lon2))
        return 0;
    long double x = std::sin(lat1) * std::sin(lat2)
        + std::cos(lat1) * std::cos(lat2) * std::cos(longitudeDifference(lon1, lon2));
    // Rounding can carry x just past +-1 for nearly coincident or antipodal points.
    x = std::clamp(x, -1.0L, 1.0L);
    const long double angle = std::atan2(std::sqrt(1 - x * x), x);
    return angle * kDegreesPerRadian * kKmPerDegree;
}

long double OrthoCourse(long double lat1, long double lon1, long double lat2, long double lon2)
{
    if (coincide(lat1, lon1, lat2, lon2))
        return 0;
    const long double dLon = longitudeDifference(lon1, lon2);
    // X is the cotangent of the course; only its half-turn is known from it.
    const long double x = std::tan(lat2) * std::cos(lat1) * Cosec0(dLon) - std::sin(lat1) * Cotan0(dLon);
    long double course = x == 0 ? 90 : std::atan2(1 / x, 1.0L) * kDegreesPerRadian;
    while (course < 0)
        course += 360;
    while (course > 360)
        course -= 360;
    const bool eastbound = dLon > 0;
    if (eastbound) {
        if (course > 180)
            course -= 180;
    } else if (course < 180) {
        course += 180;
    }
    return course;
}

std::optional<long double> InitialCourse(long double lat1, long double lon1, long double lat2, long double lon2)
{
    if (coincide(lat1, lon1, lat2, lon2))
        return std::nullopt;
    const long double dLon = longitudeDifference(lon1, lon2);
    const long double y = std::sin(dLon) * std::cos(lat2);
    const long double x = std::cos(lat1) * std::sin(lat2) - std::sin(lat1) * std::cos(lat2) * std::cos(dLon);
    long double course = std::atan2(y, x) * kDegreesPerRadian;
    if (course < 0)
        course += 360;
    return course;
}

long double Convergence(long double lat1, long double lon1, long double lat2, long double lon2)
{
    if (coincide(lat1, lon1, lat2, lon2))
        return 0;
    const long double forward = OrthoCourse(lat1, lon1, lat2, lon2);
    const long double reverse = OrthoCourse(lat2, lon2, lat1, lon1);
    const long double magnitude = std::fabs(std::fabs(forward - reverse) - 180);
    if (lat1 >= 0 && lat2 >= 0)
        return longitudeDifference(lon1, lon2) > 0 ? magnitude : -magnitude;
    // South of the equator an eastbound course decreases along the arc, so the
    // sign comes from the course actually flown at point 2 against point 1.
    long double change = (reverse - 180) - forward;
    while (change > 180)
        change -= 360;
    while (change <= -180)
        change += 360;
    return change < 0 ? -magnitude : magnitude;
}

long double RefCorrection(long double lat1, long double lon1, long double lat2, long double lon2,
                          long double var1, long double var2)
{
    return Convergence(lat1, lon1, lat2, lon2) - (var2 - var1);
}

long double Norm360(long double angle)
{
    if (angle > 360)
        angle -= 360;
    if (angle < 0)
        angle += 360;
    return angle;
}

long double Cosec0(long double angle)
{
    return 1 / std::sin(angle == 0 ? kZeroGuard : angle);
}

long double Cotan0(long double angle)
{
    return 1 / std::tan(angle == 0 ? kZeroGuard : angle);
}

} // namespace kx::geo
