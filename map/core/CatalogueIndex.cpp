#include "CatalogueIndex.h"

#include "geo/GreatCircle.h"
#include "RouteMapReader.h"

#include "store/Database.h"
#include "store/RowReader.h"
#include "store/Statement.h"
#include "store/Transaction.h"

#include <algorithm>
#include <cmath>

namespace kx::map {
namespace {

bool failed(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

} // namespace

namespace catalogueindex {

namespace {

// Past this many changed waypoints (an import), the tree is made anew from the
// whole catalogue: cheaper than taking each one out and putting it back.
constexpr int kRebuildFrom = 5000;

// Puts the waypoints a statement reads (Code, ID, Type, ATIS, LAT, LON) into
// the tree, each where its position texts put it.
bool insertAll(store::Database &db, store::Statement &rows, QString *error)
{
    store::Statement insert(db, QStringLiteral("INSERT INTO PunktsArea (Code, LatMin, LatMax, LonMin, LonMax, RankMin, "
                                               "RankMax, ID, Kind) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    while (rows.next()) {
        if (rows.isNull(0))
            continue; // deleted
        const auto at = positionOf(rows.value(4).toString(), rows.value(5).toString());
        if (!at)
            continue; // no position the map could show
        const QString id = rows.value(1).toString();
        const int rank = catalogueRank(rows.value(2), id, rows.value(3));
        const int kind = static_cast<int>(catalogueKind(rows.value(2)));
        if (!insert.exec({rows.value(0), at->lat, at->lat, at->lon, at->lon, rank, rank, id, kind}))
            return failed(error, insert.lastError());
    }
    return true;
}

} // namespace

bool refresh(store::Database &db, QString *error)
{
    store::Statement stale(db, QStringLiteral("SELECT count(*) FROM PunktsAreaStale"));
    if (!stale.execFirst())
        return failed(error, stale.lastError());
    const int changed = stale.value(0).toInt();
    stale.finish();
    if (changed == 0 || db.isReadOnly())
        return true; // nothing new, or what the tree holds is all there is

    store::LargeTransaction transaction(db);
    if (!transaction.isActive())
        return failed(error, db.lastError());
    if (changed >= kRebuildFrom) {
        store::Statement clear(db, QStringLiteral("DELETE FROM PunktsArea"));
        store::Statement all(db, QStringLiteral("SELECT Code, ID, Type, ATIS, LAT, LON FROM Punkts"));
        if (!clear.exec())
            return failed(error, clear.lastError());
        if (!all.exec())
            return failed(error, all.lastError());
        if (!insertAll(db, all, error))
            return false;
    } else {
        store::Statement remove(db, QStringLiteral("DELETE FROM PunktsArea WHERE Code IN (SELECT Code FROM PunktsAreaStale)"));
        store::Statement rows(db, QStringLiteral("SELECT p.Code, p.ID, p.Type, p.ATIS, p.LAT, p.LON "
                                                 "FROM PunktsAreaStale s JOIN Punkts p ON p.Code = s.Code"));
        if (!remove.exec())
            return failed(error, remove.lastError());
        if (!rows.exec())
            return failed(error, rows.lastError());
        if (!insertAll(db, rows, error))
            return false;
    }
    store::Statement clear(db, QStringLiteral("DELETE FROM PunktsAreaStale"));
    if (!clear.exec())
        return failed(error, clear.lastError());
    return transaction.commit() || failed(error, db.lastError());
}

bool read(store::Database &db, const QList<GeoBox> &boxes, int maxRank, QList<CataloguePoint> *out, QString *error)
{
    out->clear();
    // The tree keeps single precision, which a position rounds within a
    // metre: the middle of its box is where the map draws it. Ident and kind
    // are kept with it, so no row of Punkts is read.
    // Thousands of rows each time the map moves: read without Qt's values.
    store::RowReader inBox(db, QStringLiteral("SELECT Code, (LatMin + LatMax) / 2, (LonMin + LonMax) / 2, RankMin, ID, "
                                              "Kind FROM PunktsArea "
                                              "WHERE LatMax >= ? AND LatMin <= ? AND LonMax >= ? AND LonMin <= ? "
                                              "AND RankMin <= ?"));
    out->reserve(4096);
    for (const GeoBox &box : boxes) {
        if (!inBox.exec({box.south, box.north, box.west, box.east, maxRank}))
            return failed(error, inBox.lastError());
        while (inBox.next()) {
            CataloguePoint p;
            p.code = inBox.integer(0);
            p.position = {inBox.real(1), inBox.real(2)};
            p.rank = int(inBox.integer(3));
            p.id = inBox.text(4);
            p.kind = static_cast<CatalogueKind>(std::clamp(int(inBox.integer(5)), 0, 3));
            out->append(p);
        }
        if (!inBox.lastError().isEmpty())
            return failed(error, inBox.lastError());
    }
    std::stable_sort(out->begin(), out->end(),
                     [](const CataloguePoint &a, const CataloguePoint &b) { return a.rank < b.rank; });
    return true;
}

QString regionNear(store::Database &db, geo::GeoPoint at, double reachKm)
{
    constexpr double kmPerDegree = 111.2;
    for (double half = 2; ; half = std::min(half * 3, reachKm / kmPerDegree)) {
        const double south = std::max(-90.0, at.lat - half), north = std::min(90.0, at.lat + half);
        const double widest = std::max(std::abs(south), std::abs(north));
        const double lonHalf = widest >= 89 ? 180 : std::min(180.0, half / std::cos(widest * 3.14159265358979323846 / 180));
        QList<GeoBox> boxes;
        if (lonHalf >= 180) {
            boxes.append({south, north, -180, 180});
        } else {
            const double west = at.lon - lonHalf, east = at.lon + lonHalf;
            if (west < -180)
                boxes << GeoBox{south, north, west + 360, 180} << GeoBox{south, north, -180, east};
            else if (east > 180)
                boxes << GeoBox{south, north, west, 180} << GeoBox{south, north, -180, east - 360};
            else
                boxes << GeoBox{south, north, west, east};
        }
        QList<CataloguePoint> airports;
        if (!read(db, boxes, kRankAirport, &airports))
            return {};
        const CataloguePoint *nearest = nullptr;
        double best = reachKm;
        for (const CataloguePoint &p : std::as_const(airports)) {
            const double d = geo::distanceKm(at, p.position);
            if (p.kind == CatalogueKind::Airport && d <= best) {
                best = d;
                nearest = &p;
            }
        }
        // Only a find within the box's own half-width is sure to be the nearest.
        if (nearest && (best <= half * kmPerDegree * 0.99 || half >= reachKm / kmPerDegree))
            return nearest->id.left(2).toUpper();
        if (half >= reachKm / kmPerDegree)
            return {};
    }
}

} // namespace catalogueindex

} // namespace kx::map
