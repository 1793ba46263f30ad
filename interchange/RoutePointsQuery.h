#pragma once

#include <QString>

namespace kx::store {
class Query;
}

namespace kx::interchange {

// The route editor's list QP: one route's points in Number order with their
// waypoints, the leg's correction beacon and the airport's own beacon. The
// gauge exports and the printed sheet read it.
//
// Columns are named as the exports and the sheet address them: "Number",
// "Punkt", "Punkts.ID", "Punkts.Name", "Type", "Freq", "LAT", "LON", "MS", "H",
// "ATIS", "RSBNKorr" (the airport's beacon as ID + "  -  " + name, just the
// separator when it has none), "H_PER", "FL_PER", "OZMPU_V", "OZMPU_P", "S",
// "LUR", "Sp", "P_V", "P_P", "MPU", "IPU", "RSBN" (the leg's beacon Code),
// "RSBN.ID", "Sm", "Zm", "UKm", "Am", "Dm", "RSBN.Name".
// A point whose waypoint is missing drops out; a missing beacon shows empty.
QString routePointsSql();

// Closes qp, gives it the statement for the route and opens it. On failure qp
// stays closed and its lastError() tells why.
bool openRoutePoints(store::Query &qp, qint64 routeCode);

} // namespace kx::interchange
