#include "Rounding.h"

#include <cmath>

namespace kx::geo {

double roundDividingByTenth(long double value)
{
    // Done in double on purpose: 0.25 / 0.1 is exactly 2.5 there and goes to
    // the even 2, while 0.35 / 0.1 stays just below 3.5.
    const double step = 0.1;
    // "+ 0.0" turns the -0 of a small negative value into 0: a stored or
    // written value must not carry a sign that means nothing.
    return std::nearbyint(static_cast<double>(value) / step) * step + 0.0;
}

double roundFractionToTenth(long double value)
{
    const long double whole = std::trunc(value);
    const long double tenths = std::nearbyint((value - whole) * 10);
    return static_cast<double>(whole) + static_cast<double>(tenths) / 10 + 0.0; // no -0, as roundDividingByTenth
}

long long MetresToFeet(long double metres)
{
    return std::llrint(metres * kFeetPerMetre);
}

long long FeetToWholeMetres(long long feet)
{
    return std::llrint(feet / kFeetPerMetre);
}

double FeetToMetres(long long feet) { return roundFractionToTenth(feet / kFeetPerMetre); }

} // namespace kx::geo
