// The map's projection and its geodesy on the calculation's sphere, checked
// against GeographicLib's geodesic on that sphere: routes near Moscow, across
// the 180th meridian and above 80 degrees north.
#include "geo/GreatCircle.h"
#include "map/core/Projection.h"

#include "geo/Sphere.h"

#include <GeographicLib/Geodesic.hpp>

#include <QtTest>

#include <cmath>
#include <numbers>

using namespace kx::map;
namespace geo = kx::geo;

Q_DECLARE_METATYPE(QList<kx::geo::GeoPoint>)

namespace {

// 1.852 km per minute of arc.
const GeographicLib::Geodesic kSphere(6366707.0194937074, 0);

double geodesicKm(geo::GeoPoint a, geo::GeoPoint b)
{
    double s = 0;
    kSphere.Inverse(a.lat, a.lon, b.lat, b.lon, s);
    return s / 1000;
}

double lonDifference(double a, double b) { return std::abs(geo::wrapLongitude(a - b)); }

} // namespace

class TestProjection : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data() { addRoutes(); }
    void roundTrip();
    void distancesFromTheCentre_data() { addRoutes(); }
    void distancesFromTheCentre();
    void legsFollowTheGreatCircle_data() { addRoutes(); }
    void legsFollowTheGreatCircle();
    void sphereIsTheCalculations();
    void rangeCircleIsGeodesic();
    void centreOfARoute();
    void arcsNearTheAntipodeStayOnTheRim();

private:
    static void addRoutes();
};

void TestProjection::addRoutes()
{
    QTest::addColumn<QList<geo::GeoPoint>>("route");
    QTest::newRow("Moscow - Sochi") << QList<geo::GeoPoint>{{55.97, 37.41}, {51.5, 39.2}, {43.45, 39.95}};
    QTest::newRow("across the 180th meridian")
        << QList<geo::GeoPoint>{{64.73, 177.74}, {65.5, -179.5}, {66.0, -175.0}, {64.5, -165.4}};
    QTest::newRow("above 80 north") << QList<geo::GeoPoint>{{78.25, 15.5}, {82.5, 40.0}, {86.0, 120.0}, {81.0, -150.0}};
    QTest::newRow("over the pole") << QList<geo::GeoPoint>{{85.0, 0.0}, {89.9, 90.0}, {85.0, 180.0}};
}

void TestProjection::roundTrip()
{
    QFETCH(QList<geo::GeoPoint>, route);
    const Projection projection(Projection::centreOf(route));
    for (const geo::GeoPoint &p : route) {
        const geo::GeoPoint back = projection.reverse(projection.forward(p));
        QVERIFY2(std::abs(back.lat - p.lat) < 1e-9, qPrintable(QString::number(back.lat, 'f', 12)));
        // Longitude is undefined at a pole and wraps at the 180th meridian.
        if (std::abs(p.lat) < 89.99)
            QVERIFY2(lonDifference(back.lon, p.lon) < 1e-9, qPrintable(QString::number(back.lon, 'f', 12)));
    }
    // Plane points round the other way too, out to 5,000 km.
    for (int i = 0; i < 36; ++i) {
        const QPointF km(5000 * std::cos(i * 0.17) * (i % 7) / 6.0, 5000 * std::sin(i * 0.17) * (i % 5) / 4.0);
        const QPointF again = projection.forward(projection.reverse(km));
        QVERIFY(std::hypot(again.x() - km.x(), again.y() - km.y()) < 1e-6);
    }
}

void TestProjection::distancesFromTheCentre()
{
    QFETCH(QList<geo::GeoPoint>, route);
    const geo::GeoPoint centre = Projection::centreOf(route);
    const Projection projection(centre);
    for (const geo::GeoPoint &p : route) {
        const QPointF km = projection.forward(p);
        QVERIFY2(std::abs(std::hypot(km.x(), km.y()) - geodesicKm(centre, p)) < 1e-6,
                 qPrintable(QStringLiteral("%1 against %2").arg(std::hypot(km.x(), km.y())).arg(geodesicKm(centre, p))));
        // North is up and east to the right: the azimuth from the centre.
        double azi1 = 0, azi2 = 0, s = 0;
        kSphere.Inverse(centre.lat, centre.lon, p.lat, p.lon, s, azi1, azi2);
        if (s > 1) {
            const double azimuth = std::atan2(km.x(), km.y()) * 180 / std::numbers::pi;
            QVERIFY2(lonDifference(azimuth, azi1) < 1e-7, qPrintable(QStringLiteral("%1 against %2").arg(azimuth).arg(azi1)));
        }
    }
}

void TestProjection::legsFollowTheGreatCircle()
{
    QFETCH(QList<geo::GeoPoint>, route);
    const Projection projection(Projection::centreOf(route));
    for (qsizetype i = 1; i < route.size(); ++i) {
        const geo::GeoPoint a = route.at(i - 1), b = route.at(i);
        const QList<geo::GeoPoint> arc = geo::greatCircle(a, b, 25);
        const double leg = geodesicKm(a, b);
        QVERIFY(arc.size() >= std::ceil(leg / 25));
        // Each drawn point, taken back from the plane, lies on the geodesic
        // between the ends: the two parts add up to the whole leg.
        const QPolygonF drawn = projection.projectLine(arc);
        double along = 0;
        for (qsizetype k = 0; k < drawn.size(); ++k) {
            const geo::GeoPoint p = projection.reverse(drawn.at(k));
            QVERIFY2(std::abs(geodesicKm(a, p) + geodesicKm(p, b) - leg) < 1e-3,
                     qPrintable(QStringLiteral("leg %1 point %2 off the great circle").arg(i).arg(k)));
            if (k > 0)
                along += geodesicKm(projection.reverse(drawn.at(k - 1)), p);
        }
        QVERIFY2(std::abs(along - leg) < 1e-3, qPrintable(QStringLiteral("%1 against %2").arg(along).arg(leg)));
        // And the leg is as long as the calculation's own formula makes it.
        constexpr long double rad = std::numbers::pi_v<long double> / 180;
        const double ortho = double(kx::geo::OrthoDistance(a.lat * rad, a.lon * rad, b.lat * rad, b.lon * rad));
        QVERIFY2(std::abs(ortho - leg) < 1e-6, qPrintable(QStringLiteral("%1 against %2").arg(ortho).arg(leg)));
    }
}

void TestProjection::sphereIsTheCalculations()
{
    // One minute of arc along a meridian is one nautical mile.
    QCOMPARE(qRound64(geo::distanceKm({55.0, 37.0}, {55.0 + 1.0 / 60, 37.0}) * 1e6), qint64(1852000));
    const Projection projection({55.0, 37.0});
    QCOMPARE(qRound64(projection.forward({56.0, 37.0}).y() * 1e6), qint64(60 * 1852000));
    QCOMPARE(qRound64(Projection::rimKm() * 1000), qRound64(180 * 60 * 1852.0 / 1000 * 1000));
}

void TestProjection::rangeCircleIsGeodesic()
{
    const geo::GeoPoint beacon{64.73, 179.8}; // a circle across the 180th meridian
    const QList<geo::GeoPoint> ring = circle(beacon, 300, 90);
    QCOMPARE(ring.size(), 91);
    QCOMPARE(ring.first().lat, ring.last().lat);
    for (const geo::GeoPoint &p : ring)
        QVERIFY(std::abs(geodesicKm(beacon, p) - 300) < 1e-6);
}

void TestProjection::centreOfARoute()
{
    // Across the 180th meridian the centre is on it, not on Greenwich.
    const geo::GeoPoint c = Projection::centreOf({{65.0, 179.0}, {65.0, -179.0}});
    QVERIFY(lonDifference(c.lon, 180) < 1e-9);
    QVERIFY(c.lat > 65);
    // Positions that cancel out give the first one.
    const geo::GeoPoint first = Projection::centreOf({{0, 0}, {0, 180}});
    QCOMPARE(first.lon, 0.0);
    QCOMPARE(first.lat, 0.0);
}

void TestProjection::arcsNearTheAntipodeStayOnTheRim()
{
    // A short arc passing close to the antipode sweeps around the rim; drawn
    // as a chord it would cut across the whole map.
    const Projection projection({55.0, 37.0});
    const geo::GeoPoint antipode = projection.antipode();
    const QPolygonF line = projection.projectLine({{antipode.lat - 0.3, antipode.lon - 0.3}, {antipode.lat + 0.3, antipode.lon + 0.3}});
    QVERIFY(line.size() > 2);
    for (qsizetype i = 1; i < line.size(); ++i) {
        const QPointF mid = (line.at(i - 1) + line.at(i)) / 2;
        QVERIFY2(std::hypot(mid.x(), mid.y()) > 0.8 * Projection::rimKm(),
                 qPrintable(QStringLiteral("piece %1 passes %2 km from the centre").arg(i).arg(std::hypot(mid.x(), mid.y()))));
    }
}

QTEST_GUILESS_MAIN(TestProjection)
#include "tst_projection.moc"
