#pragma once

#include "ForeignPlan.h"
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

// Reads a route of version 2. Waypoints without a position of their own (a
// runway, a procedure leg such as a vector or a heading to an altitude) are
// left out; every other waypoint must have an ident and a position. A first
// or last waypoint named like the departure or destination airport is that
// airport; of the others the file does not tell the kind. False with *why set
// when the file is not such a route or a waypoint cannot be placed.
bool readFlightGearRoute(const QByteArray &bytes, ForeignPlan *plan, QString *why);

} // namespace kx::interchange
