#include "RouteMapReader.h"

#include "geo/CoordText.h"
#include "store/Query.h"

#include <numbers>

namespace kx::map {
namespace {

bool failed(store::Query &q, QString *error)
{
    if (error)
        *error = q.name() + QStringLiteral(": ") + q.lastError();
    q.close();
    return false;
}

MapBeacon beaconOf(const store::Query &q, QStringView code, QStringView id, QStringView name, QStringView lat,
                   QStringView lon)
{
    MapBeacon b;
    b.code = q.value(code).toLongLong();
    b.id = q.value(id).toString();
    b.name = q.value(name).toString();
    b.position = positionOf(q.value(lat).toString(), q.value(lon).toString());
    return b;
}

} // namespace

std::optional<geo::GeoPoint> positionOf(const QString &lat, const QString &lon)
{
    constexpr long double toDegrees = 180 / std::numbers::pi_v<long double>;
    const std::optional<long double> latRad = geo::readCoordinate(lat);
    const std::optional<long double> lonRad = geo::readCoordinate(lon);
    if (!latRad || !lonRad)
        return std::nullopt;
    const double latitude = static_cast<double>(*latRad * toDegrees);
    const double longitude = static_cast<double>(*lonRad * toDegrees);
    if (latitude == 0 && longitude == 0)
        return std::nullopt;
    if (!(latitude >= -90 && latitude <= 90 && longitude >= -180 && longitude <= 180))
        return std::nullopt;
    return geo::GeoPoint{latitude, longitude};
}

bool readRouteMap(store::Database &db, qint64 route, int rangeKm, RouteMap *out, QString *error)
{
    store::Query q(db, QStringLiteral("QMap"));
    if (!q.open(QStringLiteral("SELECT Name, S, Vilka, DateTime FROM Routes WHERE Code = ?"), {route}))
        return failed(q, error);
    if (q.isEmpty()) {
        if (error)
            *error = QStringLiteral("no route %1").arg(route);
        return false;
    }
    RouteMap map;
    map.code = route;
    map.name = q.value(u"Name").toString();
    map.distance = q.value(u"S");
    map.fork = q.value(u"Vilka");
    map.calculated = !q.value(u"DateTime").isNull();
    map.rangeKm = rangeKm;
    q.close();

    if (!q.open(QStringLiteral(
                    "SELECT Points.Code AS PCode, Points.Number AS PNumber, Points.Punkt AS PPunkt, Punkts.ID AS PID, "
                    "Punkts.Name AS PName, "
                    "Punkts.Type AS PType, Punkts.LAT AS PLAT, Punkts.LON AS PLON, RSBN.Code AS RCode, "
                    "RSBN.ID AS RID, RSBN.Name AS RName, RSBN.LAT AS RLAT, RSBN.LON AS RLON "
                    "FROM (Points INNER JOIN Punkts ON Points.Punkt = Punkts.Code) "
                    "LEFT JOIN RSBN ON Points.RSBN = RSBN.Code "
                    "WHERE Points.Route = ? ORDER BY Points.Number"),
                {route}))
        return failed(q, error);
    for (int row = 0; row < q.rowCount(); ++row) {
        q.setRowNumber(row + 1);
        MapPoint p;
        p.pointCode = q.value(u"PCode").toLongLong();
        p.punktCode = q.value(u"PPunkt").toLongLong();
        p.number = q.value(u"PNumber").toInt();
        p.id = q.value(u"PID").toString();
        p.name = q.value(u"PName").toString();
        p.type = q.value(u"PType").toString();
        p.position = positionOf(q.value(u"PLAT").toString(), q.value(u"PLON").toString());
        if (!q.value(u"RCode").isNull())
            p.beacon = beaconOf(q, u"RCode", u"RID", u"RName", u"RLAT", u"RLON");
        map.points.append(p);
    }
    q.close();
    *out = std::move(map);
    return true;
}

bool readMapCatalogue(store::Database &db, MapCatalogue *out, QString *error)
{
    MapCatalogue catalogue;
    store::Query q(db, QStringLiteral("QMapRSBN"));
    if (!q.open(QStringLiteral("SELECT Code, ID, Name, LAT, LON FROM RSBN")))
        return failed(q, error);
    catalogue.rsbn.reserve(q.rowCount());
    for (int row = 0; row < q.rowCount(); ++row) {
        q.setRowNumber(row + 1);
        catalogue.rsbn.append(beaconOf(q, u"Code", u"ID", u"Name", u"LAT", u"LON"));
    }
    q.close();
    *out = std::move(catalogue);
    return true;
}

} // namespace kx::map
