#pragma once

#include "Plan.h"
#include "SimRoute.h"

#include <QByteArray>

// FlightGear's route file, which its Route Manager loads (Load, or
// --flight-plan=FILE): a PropertyList in UTF-8, version 2, naming the
// departure and destination airports and then the waypoints of route/wp with
// their type, ident and position in signed decimal degrees:
//   <PropertyList>
//     <version type="int">2</version>
//     <departure><airport type="string">UUEE</airport></departure>
//     <destination><airport type="string">URSS</airport></destination>
//     <route>
//       <wp><type type="string">basic</type><ident type="string">UUEE</ident>
//           <lon type="double">37.414667</lon><lat type="double">55.972667</lat></wp>
//       <wp n="1">...</wp>
//     </route>
//   </PropertyList>
namespace kx::interchange {

// The route of a calculated route. Every point goes as a "basic" waypoint, a
// position with its ident as a label, so that FlightGear loads the route
// whatever its own navigation data hold, and the Tu-154B's NVU takes its legs
// from exactly these positions. The airports at the ends are also named as
// departure and destination.
QByteArray writeFlightGearRoute(const SimRoute &route);

// Reads a route of version 2 from the file fileName (its full path; the route
// is named after it) into a Plan for the plan import. Waypoints without a
// position of their own (a runway, a procedure leg such as a vector or a
// heading to an altitude) are left out; every other waypoint must have an
// ident and a position. A first or last waypoint named like the departure or
// destination airport is that airport; of the others the file does not tell
// the type, nor of any the region. The cruising altitude is the highest
// altitude-ft of the waypoints. False with *error set, naming the file and
// the line or waypoint, when the file is not such a route (a DTD included)
// or a waypoint cannot be placed; *plan is then untouched.
bool readFlightGearRoute(const QByteArray &bytes, const QString &fileName, Plan *plan, QString *error);

} // namespace kx::interchange
