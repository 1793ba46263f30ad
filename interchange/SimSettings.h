#pragma once

#include <QString>

// Where the files for other simulators go, remembered in kalyx.ini in a
// section of their own, [SIMULATORS]:
//   XPlaneAircraft=   the Tu-154B2's folder in X-Plane (its pa3/gen_plans/ takes
//                     the tablet's plans; X-Plane's Output/FMS plans/ is found
//                     above it)
//   FlightGearRoutes= the folder the pilot loads FlightGear routes from
namespace kx::interchange {

struct SimSettings
{
    QString xplaneAircraft;
    QString flightGearRoutes;
};

// Missing keys read as empty.
SimSettings readSimSettings(const QString &iniPath);
// Writes section SIMULATORS only; every other line of the file stays as it was.
// A folder whose name the file's encoding cannot spell (windows-1251 cannot
// spell every one) keeps the value it had.
bool writeSimSettings(const QString &iniPath, const SimSettings &settings);

} // namespace kx::interchange
