#pragma once

#include <QString>
#include <QVariantList>

namespace kx::store {
class Database;
}

namespace kx::bench {

// A route database of a realistic size for timing: waypoints spread over the
// CIS with idents, regions, names and types, routes with Russian and Latin
// names, and points on every route. Written in one transaction.
struct GeneratedSize
{
    int waypoints = 250000;
    int routes = 5000;
    int pointsPerRoute = 12;
    int beacons = 0;
};

// Creates the database file at path (it must not exist); false with *why.
// With KX_BENCH_CACHE naming a folder, the file is kept there and copied by
// later runs (for profiling; the timings do not depend on it).
[[nodiscard]] bool generateDatabase(const QString &path, const GeneratedSize &size, QString *why);
[[nodiscard]] bool generateTables(const QString &path, const GeneratedSize &size, QString *why);

// A simulator folder with a variation table (a smooth field of declinations),
// the NVU cell folder and the I-21 gauge file; fsPath ends with a separator.
[[nodiscard]] bool generateSimulator(const QString &fsPath, QString *why);

// Runs one statement with its values bound; false with *why. *insertId, when
// given, gets the key of the row it inserted.
[[nodiscard]] bool execBound(store::Database &db, const QString &sql, const QVariantList &values, QString *why,
                             qint64 *insertId = nullptr);

// Catalogue rows for the timed scenes, numbered from 0 or 1 by the caller:
// beacon "B<n>" named "Beacon <n>" on 116 MHz, waypoint "P<n>" named
// "Point <n>" (type may be null), and the n-th point of a route. *code gets
// the new row's code.
[[nodiscard]] bool insertBeacon(store::Database &db, int n, double lat, double lon, qint64 *code, QString *why);
[[nodiscard]] bool insertWaypoint(store::Database &db, int n, double lat, double lon, const QVariant &type,
                                  qint64 *code, QString *why);
[[nodiscard]] bool insertRoutePoint(store::Database &db, qint64 route, int n, qint64 punkt, const QVariant &beacon,
                                    QString *why);

} // namespace kx::bench
