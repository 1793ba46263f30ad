#include "CalculateRoute.h"

#include "Leg.h"
#include "TurnAnticipation.h"

#include "base/Error.h"
#include "base/Numbers.h"
#include "base/Progress.h"
#include "base/Prompter.h"
#include "geo/CoordText.h"
#include "geo/Rounding.h"
#include "store/Session.h"
#include "store/RowWrite.h"
#include "store/StoreTexts.h"

#include <QDateTime>

#include <optional>

namespace kx::calc {
namespace {

using geo::RoundTo1;

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

const QString kQueryOpenFailed = QStringLiteral("Ошибка открытия запроса!");
const QString kTooFewPoints = QStringLiteral("Маршрут должен содержать не менее двух ППМ!");
const QString kPointsOpenFailed = QStringLiteral("Ошибка открытия таблицы [Points]!");
const QString kPointsWriteFailed = store::texts::tableWriteFailed(QStringLiteral("Points"));
const QString kRoutesWriteFailed = store::texts::tableWriteFailed(QStringLiteral("Routes"));

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
            throw Error(QStringLiteral("У ППМ %1 не задано магнитное склонение!").arg(waypointId(row)));
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

private:
    QVariant value(int row, QStringView column) const { return m_rows.valueAt(row, column); }

    QString waypointId(int row) const { return value(row, u"Punkts.ID").toString(); }

    void checkWaypoint(int row) const
    {
        if (value(row, u"Punkts.Code").isNull())
            throw Error(QStringLiteral("ППМ № %1 маршрута нет в справочнике ППМ!")
                            .arg(value(row, u"Points.Number").toString()));
    }

    long double angle(int row, QStringView column, const QString &id, bool isBeacon) const
    {
        const QVariant v = value(row, column);
        const QString text = v.toString().trimmed();
        const QString what = isBeacon ? QStringLiteral("маяка РСБН %1").arg(id) : QStringLiteral("ППМ %1").arg(id);
        if (v.isNull() || text.isEmpty())
            throw Error(QStringLiteral("У %1 не заданы координаты!").arg(what));
        try {
            return geo::CoordToRad(geo::PointToComma(text));
        } catch (const Error &) {
            throw Error(QStringLiteral("Неверная координата %1: \"%2\"!").arg(what, text));
        }
    }

    const store::Query &m_rows;
};

// Leaves the shared statement object as other commands expect to find it:
// closed and read-only.
class StatementReset
{
public:
    explicit StatementReset(store::Query &q) : m_q(q) {}
    ~StatementReset()
    {
        m_q.close();
        m_q.setUpdateTable(QString());
    }
    StatementReset(const StatementReset &) = delete;
    StatementReset &operator=(const StatementReset &) = delete;

private:
    store::Query &m_q;
};

QVariant rounded(long double value)
{
    return RoundTo1(value);
}

// Writes one leg into its point's row through the table object, in a
// transaction of its own. False after a handled failure: the table that cannot
// be opened and the write that fails have their messages, a row that is gone
// has none. A failure without a message of its own (the table cannot be
// searched, the row cannot be put into editing) is thrown (base/Error.h).
bool writeLeg(store::Session &session, qint64 pointCode, const Leg &leg, long double distanceSoFar, QObject *owner)
{
    store::Table &table = session.AWork;
    table.close();
    if (!table.open(QStringLiteral("Points"))) {
        session.prompter().error(owner, kPointsOpenFailed);
        return false;
    }
    if (!table.locate(QStringLiteral("Code"), pointCode)) {
        if (!table.lastError().isEmpty())
            throw Error(QStringLiteral("%1\r\n%2").arg(kPointsOpenFailed, table.lastError()));
        return false;
    }
    if (!table.edit())
        throw Error(QStringLiteral("%1\r\n%2").arg(kPointsWriteFailed, table.lastError()));

    return store::writeRowOrTell(session, table, kPointsWriteFailed, owner, [&] {
        table.setValue(u"IPU", rounded(leg.ipu));
        table.setValue(u"MPU", rounded(leg.mpu));
        table.setValue(u"S", 0.0 - RoundTo1(leg.s)); // stored negative, never -0
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

// The last point's row: the route's total distance, the leg columns Null.
// Q2 is left open on the route's points for the turn anticipation.
bool writeLastPoint(store::Session &session, qint64 routeCode, long double total, QObject *owner)
{
    store::Query &q = session.Q2;
    q.close();
    q.setSql(kPointsSql, {routeCode});
    q.setUpdateTable(QStringLiteral("Points"));
    if (!q.open())
        throw Error(QStringLiteral("Ошибка открытия запроса [Points]!\r\n%1").arg(q.lastError()));
    q.last();
    if (!q.edit())
        throw Error(QStringLiteral("%1\r\n%2").arg(kPointsWriteFailed, q.lastError()));
    return store::writeRowOrTell(session, q, kPointsWriteFailed, owner, [&] {
        q.setValue(u"Sp", rounded(total));
        for (const char16_t *column : kLegColumns)
            q.setValue(column, QVariant());
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
        session.prompter().error(owner, kRoutesWriteFailed);
        return false;
    }
    if (!routes.edit())
        throw Error(QStringLiteral("%1\r\n%2").arg(kRoutesWriteFailed, routes.lastError()));

    const store::RowWrite written = store::writeRow(session.ADOC, routes, [&] {
        routes.setValue(u"S", rounded(total));
        routes.setValue(u"Vilka", rounded(fork));
        routes.setValue(u"DateTime", QDateTime::currentDateTime());
    });
    if (written == store::RowWrite::Committed)
        return true;
    routes.cancel();
    // A row posted but not committed shows values the database lacks.
    if (written == store::RowWrite::NotCommitted)
        routes.refreshAt(u"Code", routeCode);
    session.prompter().error(owner, kRoutesWriteFailed);
    return false;
}

} // namespace

bool CalculateRoute(store::Session &session, qint64 routeCode, Progress *progress, QObject *owner)
{
    Prompter &prompter = session.prompter();
    store::Query &q = session.Q2;
    const StatementReset resetQ2(q);

    q.close();
    q.setUpdateTable(QString());
    q.setSql(kPointsWithWaypointsSql, {routeCode});
    if (!q.open()) {
        prompter.error(owner, kQueryOpenFailed);
        return false;
    }
    const int n = q.rowCount();
    if (n < 2) {
        q.close();
        prompter.error(owner, kTooFewPoints);
        return false;
    }

    const PointReader reader(q);
    long double total = 0;
    const RoutePoint first = reader.point(0);
    const RoutePoint last = reader.point(n - 1);
    const long double fork = routeFork(first, last);
    q.first();
    if (progress)
        progress->setMaximum(n - 1);

    for (int k = 1; k <= n - 1; ++k) {
        const int a = k - 1; // rows are 0-based here
        const RoutePoint from = reader.point(a);
        const std::optional<Position> beacon = reader.beacon(a);
        q.setRowNumber(k + 1);
        const Position to = reader.position(a + 1);

        const Leg leg = computeLeg(first, from, to, beacon ? &*beacon : nullptr, fork);

        q.setRowNumber(k);
        if (!writeLeg(session, reader.pointCode(a), leg, total, owner))
            return false;
        total += leg.s;
        if (progress)
            progress->setPosition(k);
        q.setRowNumber(k + 1);
    }

    if (!writeLastPoint(session, routeCode, total, owner))
        return false;
    if (!writeHeader(session, routeCode, total, fork, owner))
        return false;
    session.AWork.close();

    writeTurnAnticipation(q);
    q.close();

    prompter.info(owner, QStringLiteral("Расчет выполнен.\r\n\r\nРасстояние = ") + generalNumberComma(RoundTo1(total))
                             + QStringLiteral(" км") + QStringLiteral("\r\n") + QStringLiteral("Вилка = ")
                             + generalNumberComma(RoundTo1(fork)) + QStringLiteral(" град."));
    return true;
}

} // namespace kx::calc
