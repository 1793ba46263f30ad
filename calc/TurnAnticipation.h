#pragma once

namespace kx::store {
class Query;
}

namespace kx::calc {

// The turn anticipation distance ("ЛУР", km) before the end of a leg, from the
// leg's orthodromic course in the departure system and the next leg's in the
// destination system: the turn angle rounded to whole degrees (halves to
// even) and taken the short way: up to 40 gives 5, 41..70 gives 10, 71..180
// gives 15, anything else 20.
int turnAnticipation(double ozmpuV, double nextOzmpuP);

// Writes LUR into an open, updatable list of a route's points in flight
// order with their OZMPU_V, OZMPU_P and LUR: each leg but the last gets the
// distance for its turn, unless its OZMPU_V or the next row's OZMPU_P is Null
// or -1 (the row is then left as it is); the last leg's LUR becomes Null; the
// last point's is not touched. Each row is posted on its own, outside a
// transaction. Throws kx::Error when a row cannot be written.
void writeTurnAnticipation(store::Query &points);

} // namespace kx::calc
