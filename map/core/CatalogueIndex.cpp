#include "CatalogueIndex.h"

#include "Geodesy.h"
#include "RouteMapReader.h"

#include "store/Database.h"
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

bool refresh(store::Database &db, QString *error)
{
    store::Statement any(db, QStringLiteral("SELECT Code FROM PunktsAreaStale LIMIT 1"));
    if (!any.execFirst())
        return any.lastError().isEmpty() || failed(error, any.lastError());
    any.finish();
    if (db.isReadOnly())
        return true; // what the tree holds is all there is

    store::Transaction transaction(db);
    if (!transaction.isActive())
        return failed(error, db.lastError());
    store::Statement changed(db, QStringLiteral("SELECT s.Code, p.Code, p.ID, p.Type, p.ATIS, p.LAT, p.LON "
                                                "FROM PunktsAreaStale s LEFT JOIN Punkts p ON p.Code = s.Code"));
    store::Statement remove(db, QStringLiteral("DELETE FROM PunktsArea WHERE Code = ?"));
    store::Statement insert(db, QStringLiteral("INSERT INTO PunktsArea (Code, LatMin, LatMax, LonMin, LonMax, RankMin, "
                                               "RankMax) VALUES (?, ?, ?, ?, ?, ?, ?)"));
    if (!changed.exec())
        return failed(error, changed.lastError());
    while (changed.next()) {
        const QVariant code = changed.value(0);
        if (!remove.exec({code}))
            return failed(error, remove.lastError());
        if (changed.isNull(1))
            continue; // deleted
        const auto at = positionOf(changed.value(5).toString(), changed.value(6).toString());
        if (!at)
            continue; // no position the map could show
        const int rank = catalogueRank(changed.value(3), changed.value(2).toString(), changed.value(4));
        if (!insert.exec({code, at->lat, at->lat, at->lon, at->lon, rank, rank}))
            return failed(error, insert.lastError());
    }
    changed.finish();
    store::Statement clear(db, QStringLiteral("DELETE FROM PunktsAreaStale"));
    if (!clear.exec())
        return failed(error, clear.lastError());
    return transaction.commit() || failed(error, db.lastError());
}

bool read(store::Database &db, const QList<GeoBox> &boxes, int maxRank, QList<CataloguePoint> *out, QString *error)
{
    out->clear();
    // The tree keeps single precision, which a position rounds within a
    // metre: the middle of its box is where the map draws it.
    store::Statement inBox(db, QStringLiteral("SELECT a.Code, (a.LatMin + a.LatMax) / 2, (a.LonMin + a.LonMax) / 2, "
                                              "a.RankMin, p.ID, p.Type "
                                              "FROM PunktsArea a JOIN Punkts p ON p.Code = a.Code "
                                              "WHERE a.LatMax >= ? AND a.LatMin <= ? AND a.LonMax >= ? AND a.LonMin <= ? "
                                              "AND a.RankMin <= ?"));
    for (const GeoBox &box : boxes) {
        if (!inBox.exec({box.south, box.north, box.west, box.east, maxRank}))
            return failed(error, inBox.lastError());
        while (inBox.next()) {
            CataloguePoint p;
            p.code = inBox.value(0).toLongLong();
            p.position = {inBox.value(1).toDouble(), inBox.value(2).toDouble()};
            p.rank = inBox.value(3).toInt();
            p.id = inBox.value(4).toString();
            p.kind = catalogueKind(inBox.value(5));
            out->append(p);
        }
    }
    std::stable_sort(out->begin(), out->end(),
                     [](const CataloguePoint &a, const CataloguePoint &b) { return a.rank < b.rank; });
    return true;
}

QString regionNear(store::Database &db, GeoPoint at, double reachKm)
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
            const double d = distanceKm(at, p.position);
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
