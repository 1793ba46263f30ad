#pragma once

#include <QString>

namespace kx::map {

// A position as the program writes coordinates: "N55*58.27" and
// "E037*24.88" (S and W for the other hemispheres), minutes rounded to
// hundredths, 60.00 minutes carried into the degrees.
QString latitudeText(double degrees);
QString longitudeText(double degrees);

} // namespace kx::map
