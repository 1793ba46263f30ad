// The route calculation: a route of 99 points with a correction beacon on
// every leg, end to end with its one-row transactions, beside the formulas
// alone, so that the cost of the database writes shows.
#include "Bench.h"
#include "Generate.h"
#include "Groups.h"
#include "SilentPrompter.h"

#include "base/Error.h"
#include "calc/CalculateRoute.h"
#include "calc/Leg.h"
#include "calc/TurnAnticipation.h"
#include "geo/CoordText.h"
#include "geo/DecimalCoord.h"
#include "geo/Rounding.h"
#include "store/Session.h"
#include "tools/mkdb/DbBuild.h"

#include <cmath>

namespace kx::bench {
namespace {

constexpr int kPoints = 99;

struct GeneratedPoint
{
    QString lat;
    QString lon;
    double ms;
    QString beaconLat;
    QString beaconLon;
};

// A zigzag eastward across Russia, a beacon a little off each leg's end.
std::vector<GeneratedPoint> generateRoute()
{
    std::vector<GeneratedPoint> points;
    for (int i = 0; i < kPoints; ++i) {
        const double lat = 52 + 6 * std::sin(i * 0.7) + (i % 3) * 0.37;
        const double lon = 30 + i * 1.1 + (i % 2) * 0.43;
        const double beaconLat = lat + 0.5 - (i % 4) * 0.3;
        const double beaconLon = lon + 0.8;
        points.push_back({geo::latitudeText(lat), geo::longitudeText(lon), std::round((5 + i * 0.2) * 10) / 10,
                          geo::latitudeText(beaconLat), geo::longitudeText(beaconLon)});
    }
    return points;
}

bool insertRoute(store::Database &db, const std::vector<GeneratedPoint> &points, qint64 *route, QString *why)
{
    if (!execBound(db, QStringLiteral("INSERT INTO Routes (Name) VALUES (?)"), {QStringLiteral("Bench 99")}, why,
                   route))
        return false;
    for (int i = 0; i < kPoints; ++i) {
        const GeneratedPoint &p = points[static_cast<size_t>(i)];
        qint64 punkt = 0;
        if (!execBound(db, QStringLiteral("INSERT INTO Punkts (ID, Region, LAT, LON, MS) VALUES (?, 'UU', ?, ?, ?)"),
                       {QStringLiteral("P%1").arg(i + 1), p.lat, p.lon, p.ms}, why, &punkt))
            return false;
        QVariant beacon;
        if (i + 1 < kPoints) {
            qint64 code = 0;
            if (!execBound(db,
                           QStringLiteral(
                               "INSERT INTO RSBN (Region, ID, Name, LAT, LON, Freq) VALUES ('UU', ?, ?, ?, ?, 116)"),
                           {QStringLiteral("R%1").arg(i + 1), QStringLiteral("Beacon %1").arg(i + 1), p.beaconLat,
                            p.beaconLon},
                           why, &code))
                return false;
            beacon = code;
        }
        if (!execBound(db, QStringLiteral("INSERT INTO Points (Route, Number, Punkt, RSBN) VALUES (?, ?, ?, ?)"),
                       {*route, i + 1, punkt, beacon}, why))
            return false;
    }
    return true;
}

calc::Position position(const QString &lat, const QString &lon)
{
    return {geo::CoordToRad(geo::PointToComma(lat)), geo::CoordToRad(geo::PointToComma(lon))};
}

// What the calculation computes, without reading or writing the database:
// the texts converted, every leg with its beacon, the values rounded as
// stored, the turn anticipation. Returns a checksum so nothing is optimised
// away.
double formulasOnly(const std::vector<GeneratedPoint> &points)
{
    std::vector<calc::RoutePoint> route;
    route.reserve(points.size());
    for (const GeneratedPoint &p : points)
        route.push_back({position(p.lat, p.lon), p.ms});
    const long double fork = calc::routeFork(route.front(), route.back());
    double checksum = geo::roundDividingByTenth(fork);
    long double total = 0;
    double previousOzmpuV = -1;
    for (size_t k = 0; k + 1 < route.size(); ++k) {
        const calc::Position beacon = position(points[k].beaconLat, points[k].beaconLon);
        const calc::Leg leg = calc::computeLeg(route.front(), route[k], route[k + 1].pos, &beacon, fork);
        for (const long double v : {leg.ipu, leg.mpu, leg.s, total, leg.pV, leg.pP, leg.ozmpuV, leg.ozmpuP, leg.uKm,
                                    leg.sm, leg.zm, leg.am, leg.dm})
            checksum += geo::roundDividingByTenth(v);
        total += leg.s;
        const double ozmpuP = geo::roundDividingByTenth(leg.ozmpuP);
        if (k > 0)
            checksum += calc::turnAnticipation(previousOzmpuV, ozmpuP);
        previousOzmpuV = geo::roundDividingByTenth(leg.ozmpuV);
    }
    return checksum + geo::roundDividingByTenth(total);
}

} // namespace

void benchCalc(Bench &bench)
{
    const QString endToEnd = QStringLiteral("calc_99_ms");
    const QString formulas = QStringLiteral("calc_99_formulas_ms");
    if (!bench.wants(endToEnd) && !bench.wants(formulas))
        return;

    const std::vector<GeneratedPoint> points = generateRoute();

    if (bench.wants(endToEnd)) {
        const QString folder = bench.newFolder(QStringLiteral("calc"));
        QString why;
        if (!dbbuild::createDatabase(folder + QLatin1String(store::Session::kDatabaseName), &why)) {
            bench.fail(endToEnd, why);
            return;
        }
        SilentPrompter prompter;
        store::Session session(folder, prompter);
        qint64 route = 0;
        if (!session.ADOC.open(session.databasePath()) || !insertRoute(session.ADOC, points, &route, &why)
            || !session.openRoutes() || !session.QRoutes.locate(u"Code", route)) {
            bench.fail(endToEnd, why.isEmpty() ? session.ADOC.lastError() : why);
            return;
        }
        const double ms = bench.medianMs([&] {
            try {
                if (calc::CalculateRoute(session, route, nullptr, nullptr))
                    return true;
                bench.fail(endToEnd, prompter.lastError());
            } catch (const std::exception &e) {
                bench.fail(endToEnd, errorText(e));
            }
            return false;
        });
        if (!bench.failed())
            bench.report(endToEnd, ms, QStringLiteral("ms"));
    }

    if (bench.wants(formulas)) {
        volatile double sink = 0;
        const double ms = bench.medianMs([&] {
            sink = sink + formulasOnly(points);
            return true;
        });
        bench.report(formulas, ms, QStringLiteral("ms"));
    }
}

} // namespace kx::bench
