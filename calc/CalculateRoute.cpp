#include "CalculateRoute.h"

#include "CalcTexts.h"
#include "Leg.h"
#include "TurnAnticipation.h"

#include "base/Error.h"
#include "base/Progress.h"
#include "base/Prompter.h"
#include "geo/CoordText.h"
#include "geo/Rounding.h"
#include "store/RowWrite.h"
#include "store/Session.h"
#include "store/Table.h"

#include <QDateTime>

#include <optional>
#include <tuple>

namespace kx::calc {
namespace {

using geo::roundDividingByTenth;

// The route's points in flight order with their waypoints and beacons. The left
// joins keep one row for a route without points and keep a point whose
// waypoint or beacon is gone. Columns are aliased by table so that each is
// found by its qualified name.
const QString kPointsWithWaypointsSql = QStringLiteral(
    "SELECT Routes.Code AS \"Routes.Code\", Routes.Name AS \"Routes.Name\", Points.Code AS \"Points.Code\", "
    "Points.Number AS \"Points.Number\", Points.OZMPU_V AS \"Points.OZMPU_V\", Points.OZMPU_P AS \"Points.OZMPU_P\", "
    "Points.LUR AS \"Points.Lur\", Punkts.Code AS \"Punkts.Code\", Punkts.ID AS \"Punkts.ID\", Punkts.LAT AS LAT, "
    "Punkts.LON AS LON, Punkts.MS AS \"Punkts.MS\", RSBN.Code AS \"RSBN.Code\", RSBN.ID AS \"RSBN.ID\", "
    "RSBN.LAT AS MLAT, RSBN.LON AS MLON\n"
    "FROM ((Routes LEFT JOIN Points ON Routes.Code = Points.Route) LEFT JOIN Punkts ON Points.Punkt = Punkts.Code) "
    "LEFT JOIN RSBN ON Points.RSBN = RSBN.Code\n"
    "WHERE Routes.Code = ?\n"
    "ORDER BY Points.Number, Points.Code");

// The same points on their own, to write the last point and the turn
// anticipation through the list (Code is the key the list posts by).
const QString kPointsSql = QStringLiteral(
    "SELECT Points.Code, Points.Route, Points.Number, Points.Sp, Points.Sm, Points.Zm, Points.UKm, Points.IPU, "
    "Points.MPU, Points.Am, Points.Dm, Points.P_V, Points.P_P, Points.OZMPU_V, Points.OZMPU_P, Points.S, Points.LUR\n"
    "FROM Points\n"
    "WHERE Points.Route = ?\n"
    "ORDER BY Points.Number, Points.Code");

// The columns of a leg's row that hold the leg's values; the last point's row
// has them all Null.
const char16_t *const kLegColumns[] = {u"IPU", u"MPU", u"S",   u"P_V", u"P_P", u"OZMPU_V",
                                       u"OZMPU_P", u"Sm", u"Zm", u"UKm", u"Am", u"Dm"};
const char16_t *const kBeaconColumns[] = {u"Sm", u"Zm", u"UKm", u"Am", u"Dm"};

// Reading the route's points: each row of the first list as positions, with an
// error naming the waypoint (or beacon) when its data cannot be used.
class PointReader
{
public:
    explicit PointReader(const store::Query &rows) : m_rows(rows) {}

    Position position(int row) const
    {
        checkWaypoint(row);
        const QString id = waypointId(row);
        return {angle(row, u"LAT", id, false), angle(row, u"LON", id, false)};
    }

    RoutePoint point(int row) const
    {
        RoutePoint p;
        p.pos = position(row);
        const QVariant ms = value(row, u"Punkts.MS");
        bool ok = false;
        p.ms = ms.toDouble(&ok);
        if (ms.isNull() || !ok)
            throw Error(texts::variationMissing(waypointId(row)));
        return p;
    }

    // The leg's beacon; none when the point has no beacon (Null or 0) or its
    // beacon is no longer in the catalogue.
    std::optional<Position> beacon(int row) const
    {
        const QVariant code = value(row, u"RSBN.Code");
        if (code.isNull() || code.toLongLong() == 0)
            return std::nullopt;
        const QString id = value(row, u"RSBN.ID").toString();
        return Position{angle(row, u"MLAT", id, true), angle(row, u"MLON", id, true)};
    }

    qint64 pointCode(int row) const { return value(row, u"Points.Code").toLongLong(); }
    QString pointNumber(int row) const { return value(row, u"Points.Number").toString(); }

private:
    QVariant value(int row, QStringView column) const { return m_rows.valueAt(row, column); }

    QString waypointId(int row) const { return value(row, u"Punkts.ID").toString(); }

    void checkWaypoint(int row) const
    {
        if (value(row, u"Punkts.Code").isNull())
            throw Error(texts::waypointMissing(pointNumber(row)));
    }

    long double angle(int row, QStringView column, const QString &id, bool isBeacon) const
    {
        const QVariant v = value(row, column);
        const QString text = v.toString().trimmed();
        const QString what = isBeacon ? texts::beaconWhat(id) : texts::waypointWhat(id);
        if (v.isNull() || text.isEmpty())
            throw Error(texts::coordinatesMissing(what));
        const std::optional<long double> angle = geo::readCoordinate(geo::PointToComma(text));
        if (!angle)
            throw Error(texts::badCoordinate(what, text));
        return *angle;
    }

    const store::Query &m_rows;
};

QVariant rounded(long double value) { return roundDividingByTenth(value); }

// Writes one leg into its point's row, found by its key in the table object,
// in a transaction of its own. False after a handled failure, its message
// shown: the write that fails, and the row that is gone (deleted by another
// copy of the program while the route was being calculated). A failure
// without a message of its own (the table cannot be searched, the row cannot
// be put into editing) is thrown (base/Error.h).
bool writeLeg(store::Session &session, store::Table &table, const PointReader &reader, int row, const Leg &leg,
              long double distanceSoFar, QObject *owner)
{
    if (!table.locate(QStringLiteral("Code"), reader.pointCode(row))) {
        if (!table.lastError().isEmpty())
            throw Error(texts::withReason(texts::pointsOpenFailed(), table.lastError()));
        session.prompter().error(owner, texts::pointGone(reader.pointNumber(row)));
        return false;
    }
    if (!table.edit())
        throw Error(texts::withReason(texts::pointsWriteFailed(), table.lastError()));

    return store::writeRowOrTell(session, table, texts::pointsWriteFailed(), owner, [&] {
        table.setValue(u"IPU", rounded(leg.ipu));
        table.setValue(u"MPU", rounded(leg.mpu));
        table.setValue(u"S", 0.0 - roundDividingByTenth(leg.s)); // stored negative, never -0
        table.setValue(u"Sp", rounded(distanceSoFar));
        table.setValue(u"P_V", rounded(leg.pV));
        table.setValue(u"P_P", rounded(leg.pP));
        table.setValue(u"OZMPU_V", rounded(leg.ozmpuV));
        table.setValue(u"OZMPU_P", rounded(leg.ozmpuP));
        if (leg.hasBeacon) {
            table.setValue(u"Sm", rounded(leg.sm));
            table.setValue(u"Zm", rounded(leg.zm));
            table.setValue(u"UKm", rounded(leg.uKm));
            table.setValue(u"Am", rounded(leg.am));
            table.setValue(u"Dm", rounded(leg.dm));
        } else {
            for (const char16_t *column : kBeaconColumns)
                table.setValue(column, QVariant());
        }
    });
}

// The last point's row of the route's updatable point list: the route's total
// distance, the leg columns Null.
bool writeLastPoint(store::Session &session, store::Query &points, long double total, QObject *owner)
{
    points.last();
    if (!points.edit())
        throw Error(texts::withReason(texts::pointsWriteFailed(), points.lastError()));
    return store::writeRowOrTell(session, points, texts::pointsWriteFailed(), owner, [&] {
        points.setValue(u"Sp", rounded(total));
        for (const char16_t *column : kLegColumns)
            points.setValue(column, QVariant());
    });
}

// The route's header through the route list, whose current row is the route.
bool writeHeader(store::Session &session, qint64 routeCode, long double total, long double fork, QObject *owner)
{
    store::Query &routes = session.QRoutes;
    // The totals belong to this route only: should the list stand on another
    // one, find this one rather than overwrite the other.
    const QVariant current = routes.value(u"Code");
    if ((current.isNull() || current.toLongLong() != routeCode) && !routes.locate(u"Code", routeCode)) {
        session.prompter().error(owner, texts::routesWriteFailed());
        return false;
    }
    if (!routes.edit())
        throw Error(texts::withReason(texts::routesWriteFailed(), routes.lastError()));

    const store::RowWrite written = store::writeRow(session.ADOC, routes, [&] {
        routes.setValue(u"S", rounded(total));
        routes.setValue(u"Vilka", rounded(fork));
        routes.setValue(u"DateTime", QDateTime::currentDateTime());
    });
    if (written == store::RowWrite::Committed)
        return true;
    routes.cancel();
    // A row posted but not committed shows values the database lacks: the
    // list is read again. Should that fail too, the list is left closed, and
    // the message below is still the one to show.
    if (written == store::RowWrite::NotCommitted)
        std::ignore = routes.refreshAt(u"Code", routeCode);
    session.prompter().error(owner, texts::routesWriteFailed());
    return false;
}

} // namespace

bool CalculateRoute(store::Session &session, qint64 routeCode, Progress *progress, QObject *owner)
{
    Prompter &prompter = session.prompter();
    store::Query route(session.ADOC, QStringLiteral("Route"));
    if (!route.open(kPointsWithWaypointsSql, {routeCode})) {
        prompter.error(owner, texts::queryOpenFailed());
        return false;
    }
    const int n = route.rowCount();
    if (n < 2) {
        prompter.error(owner, texts::tooFewPoints());
        return false;
    }

    const PointReader reader(route);
    long double total = 0;
    const RoutePoint first = reader.point(0);
    const RoutePoint last = reader.point(n - 1);
    const long double fork = routeFork(first, last);
    if (progress)
        progress->setMaximum(n - 1);

    store::Table legRows(session.ADOC, QStringLiteral("Points"));
    if (!legRows.open(QStringLiteral("Points"))) {
        prompter.error(owner, texts::pointsOpenFailed());
        return false;
    }
    for (int k = 1; k <= n - 1; ++k) {
        const int a = k - 1; // rows are 0-based here
        const RoutePoint from = reader.point(a);
        const std::optional<Position> beacon = reader.beacon(a);
        const Position to = reader.position(a + 1);

        const Leg leg = computeLeg(first, from, to, beacon ? &*beacon : nullptr, fork);

        if (!writeLeg(session, legRows, reader, a, leg, total, owner))
            return false;
        total += leg.s;
        if (progress)
            progress->setPosition(k);
    }

    // The same points again, now with the values just written, to write the
    // last point and the turn anticipation.
    store::Query points(session.ADOC, QStringLiteral("Points"));
    points.setSql(kPointsSql, {routeCode});
    points.setUpdateTable(QStringLiteral("Points"));
    if (!points.open())
        throw Error(texts::withReason(texts::pointsQueryOpenFailed(), points.lastError()));
    if (!writeLastPoint(session, points, total, owner))
        return false;
    if (!writeHeader(session, routeCode, total, fork, owner))
        return false;

    writeTurnAnticipation(points);

    prompter.info(owner, texts::summary(roundDividingByTenth(total), roundDividingByTenth(fork)));
    return true;
}

} // namespace kx::calc
