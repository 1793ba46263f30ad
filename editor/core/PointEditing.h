#pragma once

#include <QtGlobal>

class QObject;

namespace kx::store {
class Session;
}

namespace kx::editor {

// The statements that change a route's sequence of points. Each shows its own
// failure message through the session's prompter, owned by owner. None of
// them can leave two points of one route with the same Number: a statement
// that would, once an earlier one has failed, is not run.

// Inserts a point at waypoint punkt right after the point numbered after (0:
// at the head of the route). The points behind it move up by one first; then
// the new row (Route, Punkt, Number = after + 1, nothing else) is appended in
// a transaction of its own. Returns the new point's Code, or 0 after a failure.
// When the append fails the moved numbers stay moved, leaving one number
// skipped; when the renumbering fails nothing is appended.
qint64 insertPointAfter(store::Session &session, QObject *owner, qint64 route, int after, qint64 punkt);

// Gives the point another waypoint and clears its MPU, S, correction beacon
// and Dm. The statement runs even for the waypoint the point already has.
bool replacePointWaypoint(store::Session &session, QObject *owner, qint64 point, qint64 punkt);

// Deletes the point, whose Number is number, and moves the points behind it
// down by one. When the deletion fails nothing is renumbered.
bool deletePoint(store::Session &session, QObject *owner, qint64 route, qint64 point, int number);

} // namespace kx::editor
