#pragma once

#include "PlnFormat.h"

#include <QString>
#include <QVariantList>

class QObject;

namespace kx::store {
class Session;
}

namespace kx::interchange {

// Imports a flight plan file (its full path) as a new route:
// - the Routes row of the plan's header, appended through session.QRoutes;
// - for each "waypoint.K" line, K = 0 ... the index on the file's last line,
//   the catalogue waypoint (an airport by its ident, any other waypoint by
//   region, ident, type and both coordinate texts) or a new Punkts row with
//   the simulator's magnetic variation, and the route point K + 1.
// Returns the new route's Code, the route list re-read and standing on it, so
// that the caller opens the route editor on it. Returns 0 after a failure it
// has shown itself through the session's prompter, owned by owner (the route
// list window): the Routes row could not be written (nothing stays), the last
// line names no waypoint or only waypoint 0 (the route stays without points),
// a new Punkts row could not be written (the route keeps the points before it).
// Throws kx::Error, for the general error display, when the file cannot be
// read, a waypoint line holds no usable position or altitude, or the database
// refuses a look-up or a route point; the rows written before stay. The busy
// cursor is shown throughout and restored on every path.
qint64 ImportPLN(store::Session &session, const QString &fileName, QObject *owner);

// The catalogue look-up of one plan waypoint and its bound values: an airport
// by its ident, any other waypoint by region, ident, type (none for a letter
// other than N and V) and both coordinate texts; texts compared whole, without
// regard to letter case. At most one row, the first found.
QString catalogueLookupSql(const PlanWaypoint &waypoint, QVariantList *values);

} // namespace kx::interchange
