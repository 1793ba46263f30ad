#pragma once

namespace kx::store {
class Session;
}

namespace kx::editor {
class TF_Points;
}

namespace kx::catalogues {
class CatalogueLists;
class TF_PPM;
} // namespace kx::catalogues

namespace kx::shell {

// "Cвойства пункта" of the route editor's point grid: opens the waypoint
// editor on the current point's waypoint. Afterwards the route list and the
// point list are read again on the same route and point, and the route is
// marked as not calculated when the editor stored a new position for the
// waypoint (coordinates typed and then cancelled change nothing). Does
// nothing when the waypoint list cannot be opened or the point's waypoint is
// missing from it.
void showWaypointProperties(store::Session &session, editor::TF_Points &points, catalogues::CatalogueLists &lists,
                            catalogues::TF_PPM &waypointEditor);

} // namespace kx::shell
