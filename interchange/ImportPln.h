#pragma once

#include <QString>

class QObject;

namespace kx::store {
class Session;
}

namespace kx::interchange {

// Imports a flight plan file (its full path), FS9's or an XML plan
// (readPlanFile), as a new route (importPlan): the Routes row of its header,
// for each waypoint in order the catalogue's waypoint or a new Punkts row with
// the simulator's magnetic variation, and the route points 1, 2, 3 ...
// Returns the new route's Code, the route list re-read and standing on it, so
// that the caller opens the route editor on it. Returns 0 after a failure it
// has shown itself through the session's prompter, owned by owner (the route
// list window): the file cannot be read or holds no plan that can be stored,
// or the database refused a row. Nothing is then stored: the route list and
// the catalogue stay as they were. The busy cursor is shown throughout and
// restored on every path.
qint64 ImportPLN(store::Session &session, const QString &fileName, QObject *owner);

} // namespace kx::interchange
