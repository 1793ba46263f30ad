#include "calc/Leg.h"

#include <QtTest>

#include <numbers>

// One leg's values from positions alone: courses, distance, the corrections of
// the two reference systems and the beacon's place relative to the leg. Each
// case is chosen so that the expected values follow from the geometry: legs
// along a meridian or the equator, beacons on the track or square to it.
using namespace kx::calc;

namespace {

constexpr long double kKmPerDegree = 60 * 1.852L;

Position at(double latDegrees, double lonDegrees)
{
    constexpr long double perDegree = std::numbers::pi_v<long double> / 180;
    return {latDegrees * perDegree, lonDegrees * perDegree};
}

// The distance of one degree of longitude along a parallel, as a great circle.
double eastDegreeKm(double latDegrees)
{
    const double phi = latDegrees * std::numbers::pi / 180;
    const double x = std::sin(phi) * std::sin(phi) + std::cos(phi) * std::cos(phi) * std::cos(std::numbers::pi / 180);
    return std::acos(x) * 180 / std::numbers::pi * static_cast<double>(kKmPerDegree);
}

} // namespace

Q_DECLARE_METATYPE(Position)

class TestLeg : public QObject
{
    Q_OBJECT
private slots:
    void coursesAndCorrections_data();
    void coursesAndCorrections();
    void beaconAgainstTheLeg_data();
    void beaconAgainstTheLeg();
    void forkOfARoute();
};

void TestLeg::coursesAndCorrections_data()
{
    QTest::addColumn<Position>("first");
    QTest::addColumn<double>("firstMs");
    QTest::addColumn<Position>("from");
    QTest::addColumn<double>("fromMs");
    QTest::addColumn<Position>("to");
    QTest::addColumn<double>("fork");
    QTest::addColumn<double>("s");
    QTest::addColumn<double>("ipu");
    QTest::addColumn<double>("mpu");
    QTest::addColumn<double>("pV");
    QTest::addColumn<double>("pP");

    const double degree = static_cast<double>(kKmPerDegree);
    // The first leg of a route: no correction of the departure system.
    QTest::newRow("north along a meridian, east variation")
        << at(55, 37) << 10.0 << at(55, 37) << 10.0 << at(56, 37) << 0.0 << degree << 360.0 << 350.0 << 0.0 << 0.0;
    QTest::newRow("south along a meridian, west variation")
        << at(56, 37) << -7.0 << at(56, 37) << -7.0 << at(55, 37) << 0.0 << degree << 180.0 << 187.0 << 0.0 << 0.0;
    QTest::newRow("east along the equator")
        << at(0, 30) << 0.0 << at(0, 30) << 0.0 << at(0, 31) << 0.0 << degree << 90.0 << 90.0 << 0.0 << 0.0;
    QTest::newRow("west along the equator, course through 0")
        << at(0, 31) << -95.0 << at(0, 31) << -95.0 << at(0, 30) << 0.0 << degree << 270.0 << 5.0 << 0.0 << 0.0;
    // A later leg: the variations' difference turns the systems, the fork
    // separates the destination system from the departure one.
    QTest::newRow("later leg, variation grows, fork 2")
        << at(0, 20) << 5.0 << at(0, 30) << 8.0 << at(0, 31) << 2.0 << degree << 90.0 << 82.0 << -3.0 << -5.0;
    QTest::newRow("later leg, variation falls, fork -1.5")
        << at(0, 20) << 5.0 << at(0, 30) << 1.0 << at(0, 29) << -1.5 << degree << 270.0 << 269.0 << 4.0 << 5.5;
}

void TestLeg::coursesAndCorrections()
{
    QFETCH(Position, first);
    QFETCH(double, firstMs);
    QFETCH(Position, from);
    QFETCH(double, fromMs);
    QFETCH(Position, to);
    QFETCH(double, fork);
    QFETCH(double, s);
    QFETCH(double, ipu);
    QFETCH(double, mpu);
    QFETCH(double, pV);
    QFETCH(double, pP);

    const Leg leg = computeLeg({first, firstMs}, {from, fromMs}, to, nullptr, fork);
    // The zero guard of the course formulas keeps a meridian course some
    // thousandths of a degree off the round value (359.995 for due north).
    const double angle = 0.01;
    QVERIFY2(std::abs(static_cast<double>(leg.s) - s) < 1e-6, qPrintable(QString::number(double(leg.s), 'f', 9)));
    QVERIFY2(std::abs(static_cast<double>(leg.ipu) - ipu) < angle, qPrintable(QString::number(double(leg.ipu), 'f', 6)));
    QVERIFY2(std::abs(static_cast<double>(leg.mpu) - mpu) < angle, qPrintable(QString::number(double(leg.mpu), 'f', 6)));
    QVERIFY2(std::abs(static_cast<double>(leg.pV) - pV) < angle, qPrintable(QString::number(double(leg.pV), 'f', 6)));
    QVERIFY2(std::abs(static_cast<double>(leg.pP) - pP) < angle, qPrintable(QString::number(double(leg.pP), 'f', 6)));
    // The orthodromic courses are the magnetic course less each system's correction.
    QCOMPARE(double(leg.ozmpuV), double(leg.mpu - leg.pV));
    QCOMPARE(double(leg.ozmpuP), double(leg.mpu - leg.pP));
    QVERIFY(!leg.hasBeacon);
}

void TestLeg::beaconAgainstTheLeg_data()
{
    QTest::addColumn<Position>("beacon");
    QTest::addColumn<double>("sm");
    QTest::addColumn<double>("zm");
    QTest::addColumn<double>("am");
    QTest::addColumn<double>("dm");

    // The leg runs north along 30E from the equator to N1; B is its end.
    const double degree = static_cast<double>(kKmPerDegree);
    const double across = eastDegreeKm(1);
    QTest::newRow("on the track ahead of B") << at(2, 30) << degree << 0.0 << 180.0 << degree;
    QTest::newRow("on the track behind B") << at(0.5, 30) << -degree / 2 << 0.0 << 360.0 << degree / 2;
    QTest::newRow("square to B, right of track") << at(1, 31) << 0.0 << across << 270.0 << across;
    QTest::newRow("square to B, left of track") << at(1, 29) << 0.0 << -across << 90.0 << across;
}

void TestLeg::beaconAgainstTheLeg()
{
    QFETCH(Position, beacon);
    QFETCH(double, sm);
    QFETCH(double, zm);
    QFETCH(double, am);
    QFETCH(double, dm);

    const RoutePoint a{at(0, 30), 3};
    const Leg leg = computeLeg(a, a, at(1, 30), &beacon, 0);
    QVERIFY(leg.hasBeacon);
    // The meridian course's zero guard turns the leg's axis by about 0.01
    // degree: some 20 m at the beacons' distance of one degree.
    const double km = 0.05;
    const double angle = 0.02; // a bearing over a degree of arc off the equator
    QVERIFY2(std::abs(static_cast<double>(leg.sm) - sm) < km, qPrintable(QString::number(double(leg.sm), 'f', 6)));
    QVERIFY2(std::abs(static_cast<double>(leg.zm) - zm) < km, qPrintable(QString::number(double(leg.zm), 'f', 6)));
    QVERIFY2(std::abs(static_cast<double>(leg.dm) - dm) < km, qPrintable(QString::number(double(leg.dm), 'f', 6)));
    // A bearing of due north may come out just above 0 or just below 360.
    const double bearing = std::fmod(static_cast<double>(leg.am) - am + 540, 360) - 180;
    QVERIFY2(std::abs(bearing) < angle, qPrintable(QString::number(double(leg.am), 'f', 6)));
    // The beacon's values do not change the leg's own.
    const Leg plain = computeLeg(a, a, at(1, 30), nullptr, 0);
    QCOMPARE(double(leg.s), double(plain.s));
    QCOMPARE(double(leg.ipu), double(plain.ipu));
    QCOMPARE(double(leg.mpu), double(plain.mpu));
}

void TestLeg::forkOfARoute()
{
    // Along the equator the meridians do not converge: the fork is the
    // difference of the variations alone, departure less destination.
    QVERIFY(std::abs(double(routeFork({at(0, 20), 5}, {at(0, 40), 9})) - -4.0) < 1e-9);
    // North of the equator the meridians converge: an eastbound route's great
    // circle turns against them, the more the wider the longitude span.
    const double north = double(routeFork({at(60, 20), 0}, {at(60, 40), 0}));
    const double further = double(routeFork({at(60, 20), 0}, {at(60, 60), 0}));
    QVERIFY2(north > 0 && further > north, qPrintable(QStringLiteral("%1 %2").arg(north).arg(further)));
}

QTEST_GUILESS_MAIN(TestLeg)
#include "tst_leg.moc"
