#pragma once

#include "Plan.h"

#include <QByteArray>
#include <QString>

// What the readers of X-Plane's and FlightGear's plans share.
namespace kx::interchange {

// Which simulator's plan a file holds, from its first lines, whatever it is
// named: an X-Plane plan starts with "I" or "A" and a version line, a
// FlightGear route is a PropertyList; anything else is left to the readers of
// the flight plans of Microsoft's simulators.
enum class PlanFormat { MicrosoftPlan, XPlaneFms, FlightGearRoute };
PlanFormat detectPlanFormat(const QByteArray &bytes);

// A usable ident: 1 to 40 characters, no blank, no control character. False
// with *why set otherwise.
bool readIdent(const QString &text, QString *id, QString *why);
// A position from signed decimal degrees ("55.972778", "-0.5", FlightGear's
// seventeen digits) into the point's coordinate texts. False with *why set
// when either is no number or lies beyond the poles or the date line.
bool readDecimalPosition(const QString &lat, const QString &lon, PlanPoint *point, QString *why);

// A plan's cruising altitude from its waypoints' altitudes, which these
// formats give per waypoint: the highest of the points between the airports,
// in whole feet, 0 when there are none.
int cruisingAltitudeOf(const QList<double> &altitudes);

// Plans beyond this many points are not flight plans.
inline constexpr int kMaxSimPlanPoints = 10000;

} // namespace kx::interchange
