#pragma once

#include <QString>

class QObject;

namespace kx::store {
class Session;
}

namespace kx::interchange {

// Writes the current route of session.QRoutes as a flight plan file at
// fileName (its full path): section "flightplan" with the header entries,
// then one "waypoint.K" line per route point in Number order; windows-1251,
// CR LF. The file is written whole under a temporary name and then takes
// fileName, so an existing file is replaced only by a complete plan.
// Returns true when the file is complete. Otherwise it has shown its failure
// through the session's prompter, owned by owner (the route list window):
// texts::routeQueryFailed when the route has no points,
// texts::fileWriteFailed with the file and the reason (exportFailureText)
// when a value cannot be converted (an empty FL or RouteType) or the file
// cannot be written; no file is left behind and an existing one is untouched. The busy cursor is shown meanwhile.
bool ExportPLN(store::Session &session, const QString &fileName, QObject *owner);

} // namespace kx::interchange
