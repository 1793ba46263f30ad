#pragma once

#include <QtGlobal>

class QObject;

namespace kx {
class Progress;
namespace store {
class Session;
}
} // namespace kx

namespace kx::calc {

// Calculates one route: every leg's courses, distances, corrections, turn
// anticipation and beacon values, written leg by leg (one transaction each),
// then the last point, then the route's totals and date-time through the
// session's route list, whose current row must be this route. Shows its
// messages through the session's prompter, owned by owner, the summary last.
// Returns true when every write succeeded; false after a handled failure (its
// message shown). A waypoint without coordinates or variation, or a coordinate
// text that cannot be read, throws kx::Error for the caller's general error
// display; the legs written before it stay.
[[nodiscard]] bool CalculateRoute(store::Session &session, qint64 routeCode, Progress *progress, QObject *owner);

} // namespace kx::calc
