#pragma once

#include <QtGlobal>

class QObject;

namespace kx::store {
class Session;
}

namespace kx::editor {

// Deletes a route's points and its row in one transaction, with the busy
// cursor: both go, or nothing does. A failure is told with the information
// icon (texts::routePointsDeleteFailed when the points could not be deleted,
// texts::routeDeleteFailed when the row could not). Returns whether the
// route is gone.
bool deleteRouteWithPoints(store::Session &session, QObject *owner, qint64 route);

// Posts the current row of the route list, which saves the header fields the
// user typed. When that fails texts::routesWriteFailed is
// shown and the typed values are given up, so that the list can be read
// again. Returns whether the row was saved.
bool saveRouteHeader(store::Session &session, QObject *owner);

} // namespace kx::editor
