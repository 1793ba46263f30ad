#include "geo/CoordText.h"
#include "geo/Sphere.h"

#include <GeographicLib/Geodesic.hpp>

#include <QtTest>

#include <cmath>
#include <numbers>

using namespace kx::geo;

// The navigation routines checked against an independent geodesic solver on
// the same sphere (one minute of arc = 1.852 km, radius 6366.707 km): legs in
// every hemisphere, across the equator, Greenwich and the 180th meridian.
class TestGeodesic : public QObject
{
    Q_OBJECT
private slots:
    void matchesGeodesicSolver_data();
    void matchesGeodesicSolver();
};

void TestGeodesic::matchesGeodesicSolver_data()
{
    QTest::addColumn<QString>("lat1");
    QTest::addColumn<QString>("lon1");
    QTest::addColumn<QString>("lat2");
    QTest::addColumn<QString>("lon2");
    QTest::newRow("Moscow - Yekaterinburg") << "N55*58.27" << "E037*24.88" << "N56*44.62" << "E060*48.17";
    QTest::newRow("Yekaterinburg - Moscow") << "N56*44.62" << "E060*48.17" << "N55*58.27" << "E037*24.88";
    QTest::newRow("New York - London") << "N40*38.40" << "W073*46.70" << "N51*28.65" << "W000*27.70";
    QTest::newRow("London - New York") << "N51*28.65" << "W000*27.70" << "N40*38.40" << "W073*46.70";
    QTest::newRow("London - Rome across Greenwich") << "N51*28.65" << "W000*27.70" << "N41*48.00" << "E012*14.00";
    QTest::newRow("Tokyo - Anchorage across the date line") << "N35*33.00" << "E139*47.00" << "N61*10.00" << "W149*59.00";
    QTest::newRow("Anchorage - Tokyo across the date line") << "N61*10.00" << "W149*59.00" << "N35*33.00" << "E139*47.00";
    QTest::newRow("Sydney - Santiago across the date line") << "S33*56.80" << "E151*10.60" << "S33*23.50" << "W070*47.00";
    QTest::newRow("Cape Town - Perth") << "S33*58.00" << "E018*36.00" << "S31*56.50" << "E115*58.00";
    QTest::newRow("Perth - Cape Town") << "S31*56.50" << "E115*58.00" << "S33*58.00" << "E018*36.00";
    QTest::newRow("Lima - Miami across the equator") << "S12*01.30" << "W077*06.90" << "N25*47.60" << "W080*17.40";
    QTest::newRow("Rio - Lagos") << "S22*48.60" << "W043*15.00" << "N06*34.60" << "E003*19.30";
    QTest::newRow("Singapore - Nairobi") << "N01*21.00" << "E103*59.00" << "S01*19.00" << "E036*55.00";
    QTest::newRow("Auckland - Honolulu") << "S37*00.50" << "E174*47.50" << "N21*19.10" << "W157*55.30";
}

void TestGeodesic::matchesGeodesicSolver()
{
    QFETCH(QString, lat1);
    QFETCH(QString, lon1);
    QFETCH(QString, lat2);
    QFETCH(QString, lon2);
    const long double a1 = CoordToRad(lat1), b1 = CoordToRad(lon1);
    const long double a2 = CoordToRad(lat2), b2 = CoordToRad(lon2);
    const double toDegrees = 180 / std::numbers::pi;

    const GeographicLib::Geodesic sphere(6366707, 0);
    double metres = 0, azimuth1 = 0, azimuth2 = 0;
    sphere.Inverse(double(a1) * toDegrees, double(b1) * toDegrees, double(a2) * toDegrees, double(b2) * toDegrees,
                   metres, azimuth1, azimuth2);
    const double course = std::fmod(azimuth1 + 360, 360);
    double change = azimuth2 - azimuth1;
    if (change > 180)
        change -= 360;
    if (change <= -180)
        change += 360;

    const double distance = double(OrthoDistance(a1, b1, a2, b2));
    const double ourCourse = double(OrthoCourse(a1, b1, a2, b2));
    const double ourChange = double(Convergence(a1, b1, a2, b2));
    // The sphere of 1.852 km per minute has a radius of 6366.70702 km: the
    // solver's 6366.707 km differ by about 3e-9 of the length.
    QVERIFY2(std::fabs(distance - metres / 1000) < 1e-3,
             qPrintable(QStringLiteral("distance %1 km, solver %2 km").arg(distance, 0, 'f', 6).arg(metres / 1000, 0, 'f', 6)));
    QVERIFY2(std::fabs(ourCourse - course) < 1e-6,
             qPrintable(QStringLiteral("course %1, solver %2").arg(ourCourse, 0, 'f', 8).arg(course, 0, 'f', 8)));
    QVERIFY2(std::fabs(ourChange - change) < 1e-6,
             qPrintable(QStringLiteral("convergence %1, solver %2").arg(ourChange, 0, 'f', 8).arg(change, 0, 'f', 8)));
}

QTEST_GUILESS_MAIN(TestGeodesic)
#include "tst_geodesic.moc"
