#pragma once

#include "SimRoute.h"

#include <QByteArray>

// The plan of the PA-3 tablet map of X-Plane's Tu-154B2, read from
// <aircraft folder>/pa3/gen_plans/<name>.json (fpln.json there loads at start):
//   {"Name": "UUEE-URSS", "ShortDesc": ..., "LongDesc": ...,
//    "Legs": [{"NAME": "UUEE-DE", "S": 66.9, "Z": 0, "DTK": 150.3}, ...]}
// S is the leg's length in km, Z a lateral offset in km, DTK the course the
// NVU is set to for the leg, in degrees. UTF-8 without a byte-order mark.
namespace kx::interchange {

// The plan of a calculated route: one leg per leg of the route, all of them
// (the tablet's own editor holds ten, a longer file still loads), each named
// "FROM-TO" with S and DTK as the NVU cell gets them and Z 0. DTK is brought
// into (0, 360] (a northbound leg is 360.0), the way the NVU's course is
// dialled; the cell itself takes the orthodromic course as calculated, which
// may lie a little outside.
QByteArray writePa3Plan(const SimRoute &route);

} // namespace kx::interchange
