#pragma once

#include <QString>

namespace kx::store {
class Database;
}

namespace kx::dbbuild {

// Adds demonstration routes to a new route database from FS2004 flight plans
// (*.PLN), so that the route list is not empty on first start. A deliberately
// small reader: it takes the header entries and waypoint lines the way the
// program's import does (route name from the file name, FL in metres, AP_V /
// AP_P from the identifiers), leaves the route not calculated, and refers
// every point to a waypoint that must already be in the catalogue. It is
// strict where the import is lenient, because a sample plan that the import
// could not take, or that would add waypoints of its own, is a fault of the
// sample: the last line must be the last waypoint's, a non-airport must match a
// catalogue row by region, identifier, type and coordinate texts (as the import
// looks it up), an airport by identifier with the catalogue's coordinate texts,
// and an airport's altitude must be its elevation.
// The caller owns the transaction.
class DemoRouteLoader
{
public:
    explicit DemoRouteLoader(store::Database &db);

    [[nodiscard]] bool load(const QString &planPath, QString *error);
    int routes() const { return m_routes; }
    int points() const { return m_points; }

private:
    store::Database &m_db;
    int m_routes = 0;
    int m_points = 0;
};

} // namespace kx::dbbuild
