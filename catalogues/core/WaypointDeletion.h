#pragma once

#include <QStringList>
#include <QtGlobal>

#include <optional>

class QObject;

namespace kx::store {
class Query;
class Session;
} // namespace kx::store

namespace kx::catalogues {

// The names of the routes that use a waypoint, one per route point (a route
// that passes the waypoint twice is named twice), in the order of the routes'
// keys. Nothing when the statement fails.
[[nodiscard]] std::optional<QStringList> routesUsingWaypoint(store::Session &session, qint64 waypoint);

// The message that refuses to delete a waypoint still in use: the head, then
// each route's name on a line of its own. More than ten names are cut after
// the tenth with a line "..."; the list part never exceeds 255 characters (a
// name that would pass that limit ends the list with "..." as well).
QString deletionRefusedText(const QStringList &routeNames);

// The whole command on the current row of the waypoint list: refuses while
// routes use the waypoint, asks (No preselected), then deletes the waypoint
// and, for an airport, its runways in one transaction, and removes the row
// from the list. Messages go through the session's prompter, owned by owner.
// True when the waypoint was deleted.
bool deleteWaypoint(store::Session &session, store::Query &punkts, QObject *owner);

} // namespace kx::catalogues
