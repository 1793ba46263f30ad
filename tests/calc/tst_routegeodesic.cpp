#include "Fixture.h"
#include "RecordingPrompter.h"
#include "TestFolder.h"

#include "calc/CalculateRoute.h"
#include "geo/CoordText.h"
#include "store/Session.h"

#include <GeographicLib/Geodesic.hpp>

#include <QSqlQuery>
#include <QtTest>

#include <cmath>
#include <numbers>

using namespace kx;

// A calculated route checked leg by leg against an independent geodesic
// solver on the program's sphere (one minute of arc = 1.852 km): lengths,
// courses, the running distance, the fork and a beacon's range and bearing.
class TestRouteGeodesic : public QObject
{
    Q_OBJECT
private slots:
    void routeMatchesGeodesicSolver();
};

namespace {

struct Waypoint
{
    const char *lat;
    const char *lon;
    double ms;
};

double degrees(const char *text)
{
    return double(geo::CoordToRad(QString::fromLatin1(text))) * 180 / std::numbers::pi;
}

// The difference of two courses brought into -180..180.
double courseDifference(double a, double b)
{
    return std::remainder(a - b, 360.0);
}

} // namespace

void TestRouteGeodesic::routeMatchesGeodesicSolver()
{
    // Across the equator, west of Greenwich, across it and on to the east;
    // a beacon on the transatlantic leg.
    const Waypoint route[] = {{"S12*01.30", "W077*06.90", -1.5}, {"N25*47.60", "W080*17.40", -6.0},
                              {"N40*38.40", "W073*46.70", -13.0}, {"N51*28.65", "W000*27.70", -1.0},
                              {"N55*58.27", "E037*24.88", 10.5}};
    const Waypoint beacon = {"N53*00.00", "W010*00.00", 0};
    const int n = std::size(route);

    test::TestFolder folder;
    QVERIFY(folder.createDatabase());
    test::RecordingPrompter prompter;
    store::Session session(folder.path(), prompter);
    QVERIFY(session.ADOC.open(session.databasePath()));
    test::Fixture fix(session.ADOC.sql());
    const qint64 rsbn = fix.addRsbn("RB", "Beacon", beacon.lat, beacon.lon);
    const qint64 code = fix.addRoute("Lima - Moscow");
    QList<qint64> points;
    for (int i = 0; i < n; ++i)
        points.append(fix.addPoint(code, i + 1, fix.addPunkt(QString("P%1").arg(i + 1), route[i].lat, route[i].lon, route[i].ms),
                                   i == 2 ? QVariant(rsbn) : QVariant()));
    QVERIFY(session.openRoutes());
    QVERIFY(session.QRoutes.locate(u"Code", code));

    QVERIFY(calc::CalculateRoute(session, code, nullptr, nullptr));

    const GeographicLib::Geodesic sphere(6366707.0194937074, 0); // 1.852 km per minute of arc
    double total = 0;
    for (int i = 0; i + 1 < n; ++i) {
        double metres = 0, azimuth1 = 0, azimuth2 = 0;
        sphere.Inverse(degrees(route[i].lat), degrees(route[i].lon), degrees(route[i + 1].lat),
                       degrees(route[i + 1].lon), metres, azimuth1, azimuth2);
        const QString leg = QString("leg %1").arg(i + 1);
        const double s = fix.value("Points", points[i], "S").toDouble();
        const double ipu = fix.value("Points", points[i], "IPU").toDouble();
        const double sp = fix.value("Points", points[i], "Sp").toDouble();
        QVERIFY2(std::fabs(-s - metres / 1000) <= 0.051, qPrintable(leg + QString(": S %1, solver %2").arg(s).arg(metres / 1000)));
        QVERIFY2(std::fabs(courseDifference(ipu, azimuth1)) <= 0.051,
                 qPrintable(leg + QString(": IPU %1, solver %2").arg(ipu).arg(azimuth1)));
        QVERIFY2(std::fabs(sp - total) <= 0.051, qPrintable(leg + QString(": Sp %1, solver %2").arg(sp).arg(total)));
        total += metres / 1000;
    }
    QVERIFY(std::fabs(fix.value("Points", points[n - 1], "Sp").toDouble() - total) <= 0.051);
    QVERIFY(std::fabs(fix.value("Routes", code, "S").toDouble() - total) <= 0.051);

    // The fork: the great circle's turn from the first point to the last,
    // less the change of variation between them.
    double metres = 0, azimuth1 = 0, azimuth2 = 0;
    sphere.Inverse(degrees(route[0].lat), degrees(route[0].lon), degrees(route[n - 1].lat), degrees(route[n - 1].lon),
                   metres, azimuth1, azimuth2);
    const double fork = courseDifference(azimuth2, azimuth1) - (route[n - 1].ms - route[0].ms);
    const double vilka = fix.value("Routes", code, "Vilka").toDouble();
    QVERIFY2(std::fabs(vilka - fork) <= 0.051, qPrintable(QString("Vilka %1, solver %2").arg(vilka).arg(fork)));

    // The beacon of leg 3: range and bearing of the leg's end from it.
    sphere.Inverse(degrees(beacon.lat), degrees(beacon.lon), degrees(route[3].lat), degrees(route[3].lon), metres,
                   azimuth1, azimuth2);
    const double dm = fix.value("Points", points[2], "Dm").toDouble();
    const double am = fix.value("Points", points[2], "Am").toDouble();
    QVERIFY2(std::fabs(dm - metres / 1000) <= 0.051, qPrintable(QString("Dm %1, solver %2").arg(dm).arg(metres / 1000)));
    QVERIFY2(std::fabs(courseDifference(am, azimuth1)) <= 0.051,
             qPrintable(QString("Am %1, solver %2").arg(am).arg(azimuth1)));
}

QTEST_GUILESS_MAIN(TestRouteGeodesic)
#include "tst_routegeodesic.moc"
