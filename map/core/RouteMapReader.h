#pragma once

#include "RouteMap.h"

#include <QString>

namespace kx::store {
class Database;
}

namespace kx::map {

// Reads a route for the map: its header from Routes, its points in flight
// order with their waypoints and correction beacons. False when there is no
// such route or a statement fails (*error then says which).
[[nodiscard]] bool readRouteMap(store::Database &db, qint64 route, int rangeKm, RouteMap *out,
                                QString *error = nullptr);

// The catalogue's RSBN beacons.
[[nodiscard]] bool readMapCatalogue(store::Database &db, MapCatalogue *out, QString *error = nullptr);

// A position from two coordinate texts; nothing when either cannot be read,
// or when both are the all-zero texts that mean no position was entered.
std::optional<geo::GeoPoint> positionOf(const QString &lat, const QString &lon);

} // namespace kx::map
