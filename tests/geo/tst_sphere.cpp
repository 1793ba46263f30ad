#include "geo/CoordText.h"
#include "geo/Rounding.h"
#include "geo/Sphere.h"

#include <QtTest>

#include <cmath>
#include <numbers>

using namespace kx::geo;

namespace {

long double rad(double degrees)
{
    return static_cast<long double>(degrees) * std::numbers::pi_v<long double> / 180;
}

long double coord(const char *text)
{
    return CoordToRad(QString::fromLatin1(text));
}

QString describe(long double actual, double expected)
{
    return QStringLiteral("got %1, expected %2").arg(static_cast<double>(actual), 0, 'g', 17).arg(expected, 0, 'g', 17);
}

#define CHECK_NEAR(actual, expected, tolerance)                                                             \
    QVERIFY2(std::fabs(static_cast<double>(actual) - (expected)) <= (tolerance),                            \
             qPrintable(describe((actual), (expected))))

} // namespace

class TestSphere : public QObject
{
    Q_OBJECT
private slots:
    void orthoCourse_data();
    void orthoCourse();
    void convergence_data();
    void convergence();
    void orthoDistance_data();
    void orthoDistance();
    void workedRoute();
    void mirroredHemispheres_data();
    void mirroredHemispheres();
    void longitudeShift_data();
    void longitudeShift();
    void norm360_data();
    void norm360();
    void zeroGuard();
    void roundTo1_data();
    void roundTo1();
    void roundTenth_data();
    void roundTenth();
    void feetAndMetres_data();
    void feetAndMetres();
};

// Courses: the expected value with its tolerance, and what roundDividingByTenth makes of it.
void TestSphere::orthoCourse_data()
{
    QTest::addColumn<double>("lat1");
    QTest::addColumn<double>("lon1");
    QTest::addColumn<double>("lat2");
    QTest::addColumn<double>("lon2");
    QTest::addColumn<double>("course");
    QTest::addColumn<double>("tolerance");
    QTest::addColumn<double>("rounded");
    QTest::newRow("same point") << 55.0 << 37.0 << 55.0 << 37.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("north along a meridian") << 55.0 << 37.0 << 56.0 << 37.0 << 359.9947 << 1e-4 << 360.0;
    QTest::newRow("south along a meridian") << 56.0 << 37.0 << 55.0 << 37.0 << 180.0055 << 1e-4 << 180.0;
    QTest::newRow("eastbound") << 55.0 << 37.0 << 57.0 << 61.0 << 71.6515 << 1e-4 << 71.7;
    QTest::newRow("westbound") << 57.0 << 61.0 << 55.0 << 37.0 << 271.6423 << 1e-4 << 271.6;
    QTest::newRow("along the equator east") << 0.0 << 10.0 << 0.0 << 20.0 << 90.0 << 0.0 << 90.0;
    QTest::newRow("along the equator west") << 0.0 << 20.0 << 0.0 << 10.0 << 270.0 << 0.0 << 270.0;
    QTest::newRow("east across the date line") << 10.0 << 170.0 << 10.0 << -170.0 << 88.2462 << 1e-4 << 88.2;
    QTest::newRow("west across the date line") << 10.0 << -170.0 << 10.0 << 170.0 << 271.7538 << 1e-4 << 271.8;
    QTest::newRow("south-east in the south") << -33.0 << 18.0 << -34.0 << 25.0 << 101.6428 << 1e-4 << 101.6;
}

void TestSphere::orthoCourse()
{
    QFETCH(double, lat1);
    QFETCH(double, lon1);
    QFETCH(double, lat2);
    QFETCH(double, lon2);
    QFETCH(double, course);
    QFETCH(double, tolerance);
    QFETCH(double, rounded);
    const long double actual = OrthoCourse(rad(lat1), rad(lon1), rad(lat2), rad(lon2));
    CHECK_NEAR(actual, course, tolerance);
    QCOMPARE(roundDividingByTenth(Norm360(actual)), rounded);
}

void TestSphere::convergence_data()
{
    QTest::addColumn<double>("lat1");
    QTest::addColumn<double>("lon1");
    QTest::addColumn<double>("lat2");
    QTest::addColumn<double>("lon2");
    QTest::addColumn<double>("convergence");
    QTest::newRow("same point") << 55.0 << 37.0 << 55.0 << 37.0 << 0.0;
    QTest::newRow("eastbound") << 55.0 << 37.0 << 57.0 << 61.0 << 19.9908;
    QTest::newRow("westbound") << 57.0 << 61.0 << 55.0 << 37.0 << -19.9908;
    // The zero guard leaves a small negative value on a meridian, both ways.
    QTest::newRow("meridian north") << 55.0 << 37.0 << 56.0 << 37.0 << -0.0108;
    QTest::newRow("meridian south") << 56.0 << 37.0 << 55.0 << 37.0 << -0.0108;
    // South of the equator an eastbound course decreases along the arc.
    QTest::newRow("eastbound in the south") << -33.0 << 18.0 << -34.0 << 25.0 << -3.8671;
    QTest::newRow("westbound in the south") << -34.0 << 25.0 << -33.0 << 18.0 << 3.8671;
    QTest::newRow("east across the date line") << 10.0 << 170.0 << 10.0 << -170.0 << 3.5076;
}

void TestSphere::convergence()
{
    QFETCH(double, lat1);
    QFETCH(double, lon1);
    QFETCH(double, lat2);
    QFETCH(double, lon2);
    QFETCH(double, convergence);
    CHECK_NEAR(Convergence(rad(lat1), rad(lon1), rad(lat2), rad(lon2)), convergence, 1e-4);
}

void TestSphere::orthoDistance_data()
{
    QTest::addColumn<QString>("lat1");
    QTest::addColumn<QString>("lon1");
    QTest::addColumn<QString>("lat2");
    QTest::addColumn<QString>("lon2");
    QTest::addColumn<double>("km");
    QTest::addColumn<double>("tolerance");
    QTest::newRow("example") << "N55*00.00" << "E037*00.00" << "N57*00.00" << "E061*00.00" << 1499.76 << 0.005;
    QTest::newRow("one minute of latitude") << "N55*00.00" << "E037*00.00" << "N55*01.00" << "E037*00.00" << 1.852 << 1e-9;
    QTest::newRow("one degree of the equator") << "N00*00.00" << "E010*00.00" << "N00*00.00" << "E011*00.00" << 111.12 << 1e-9;
    QTest::newRow("same point") << "N57*20.00" << "E061*55.00" << "N57*20.00" << "E061*55.00" << 0.0 << 0.0;
    QTest::newRow("date line from both sides") << "N10*00.00" << "E180*00.00" << "N10*00.00" << "W180*00.00" << 0.0 << 0.0;
    QTest::newRow("antipodes on the equator") << "N00*00.00" << "E000*00.00" << "N00*00.00" << "E180*00.00" << 20001.6 << 1e-9;
    QTest::newRow("antipodes") << "N45*00.00" << "E060*00.00" << "S45*00.00" << "W120*00.00" << 20001.6 << 1e-6;
    QTest::newRow("pole to pole") << "N90*00.00" << "E000*00.00" << "S90*00.00" << "E000*00.00" << 20001.6 << 1e-9;
    QTest::newRow("across the date line") << "N10*00.00" << "E170*00.00" << "N10*00.00" << "W170*00.00" << 2188.2977 << 1e-3;
}

void TestSphere::orthoDistance()
{
    QFETCH(QString, lat1);
    QFETCH(QString, lon1);
    QFETCH(QString, lat2);
    QFETCH(QString, lon2);
    QFETCH(double, km);
    QFETCH(double, tolerance);
    const long double d = OrthoDistance(CoordToRad(lat1), CoordToRad(lon1), CoordToRad(lat2), CoordToRad(lon2));
    QVERIFY(std::isfinite(d));
    CHECK_NEAR(d, km, tolerance);
}

// Three points with variations 9.5, 11.2 and 13.4 and a beacon on the first
// leg: every leg value a route calculation derives from these routines.
void TestSphere::workedRoute()
{
    const long double lat1 = coord("N55*58.27"), lon1 = coord("E037*24.88");
    const long double lat2 = coord("N56*50.00"), lon2 = coord("E049*10.00");
    const long double lat3 = coord("N57*20.00"), lon3 = coord("E061*55.00");
    const long double latM = coord("N56*30.00"), lonM = coord("E047*00.00");
    const long double ms1 = 9.5, ms2 = 11.2, ms3 = 13.4;

    const long double vilka = RefCorrection(lat1, lon1, lat3, lon3, ms1, ms3);
    QCOMPARE(roundDividingByTenth(vilka), 16.7);

    const long double s1 = OrthoDistance(lat1, lon1, lat2, lon2);
    const long double s2 = OrthoDistance(lat2, lon2, lat3, lon3);
    QCOMPARE(roundDividingByTenth(s1), 728.0);
    QCOMPARE(roundDividingByTenth(s2), 770.8);
    QCOMPARE(roundDividingByTenth(s1 + s2), 1498.8);

    const long double ipu1 = Norm360(OrthoCourse(lat1, lon1, lat2, lon2));
    const long double ipu2 = Norm360(OrthoCourse(lat2, lon2, lat3, lon3));
    QCOMPARE(roundDividingByTenth(ipu1), 77.6);
    QCOMPARE(roundDividingByTenth(ipu2), 80.5);
    QCOMPARE(roundDividingByTenth(Norm360(ipu1 - ms1)), 68.1);
    QCOMPARE(roundDividingByTenth(Norm360(ipu2 - ms2)), 69.3);

    const long double pv2 = RefCorrection(lat1, lon1, lat2, lon2, ms1, ms2);
    QCOMPARE(roundDividingByTenth(pv2), 8.1);
    QCOMPARE(roundDividingByTenth(pv2 - vilka), -8.6);
    QCOMPARE(roundDividingByTenth(Norm360(ipu2 - ms2) - (pv2 - vilka)), 77.9);

    const long double ukm = ipu1 + Convergence(lat1, lon1, latM, lonM);
    QCOMPARE(roundDividingByTenth(ukm), 85.5);
    const long double alpha =
        Norm360(OrthoCourse(lat2, lon2, latM, lonM) - ukm + Convergence(lat2, lon2, latM, lonM)) * std::numbers::pi_v<long double> / 180;
    const long double d = OrthoDistance(lat2, lon2, latM, lonM);
    QCOMPARE(roundDividingByTenth(d * std::cos(alpha)), -134.3);
    QCOMPARE(roundDividingByTenth(d * std::sin(alpha)), 28.8);
    QCOMPARE(roundDividingByTenth(OrthoCourse(latM, lonM, lat2, lon2)), 73.5);
    QCOMPARE(roundDividingByTenth(OrthoDistance(latM, lonM, lat2, lon2)), 137.4);
}

// A leg mirrored across the equator or across Greenwich has the same length,
// the mirrored course and the opposite change of course.
void TestSphere::mirroredHemispheres_data()
{
    QTest::addColumn<double>("lat1");
    QTest::addColumn<double>("lon1");
    QTest::addColumn<double>("lat2");
    QTest::addColumn<double>("lon2");
    QTest::newRow("north-east leg") << 55.0 << 37.0 << 57.0 << 61.0;
    QTest::newRow("westbound leg") << 57.0 << 61.0 << 55.0 << 37.0;
    QTest::newRow("south-eastbound") << 60.0 << 10.0 << 20.0 << 50.0;
    QTest::newRow("long leg") << 35.0 << 5.0 << 61.0 << 170.0;
    QTest::newRow("from the equator") << 0.0 << 30.0 << 45.0 << 80.0;
}

void TestSphere::mirroredHemispheres()
{
    QFETCH(double, lat1);
    QFETCH(double, lon1);
    QFETCH(double, lat2);
    QFETCH(double, lon2);
    const long double distance = OrthoDistance(rad(lat1), rad(lon1), rad(lat2), rad(lon2));
    const long double course = OrthoCourse(rad(lat1), rad(lon1), rad(lat2), rad(lon2));
    const long double change = Convergence(rad(lat1), rad(lon1), rad(lat2), rad(lon2));
    QVERIFY(std::fabs(change) > 0.1);

    struct Mirror
    {
        const char *name;
        double latSign, lonSign, courseBase;
    };
    // Across the equator a course c becomes 180 - c, across Greenwich 360 - c,
    // across both 180 + c.
    for (const Mirror m : {Mirror{"south", -1, 1, 180}, Mirror{"west", 1, -1, 360}, Mirror{"south-west", -1, -1, 180}}) {
        const long double mLat1 = rad(m.latSign * lat1), mLon1 = rad(m.lonSign * lon1);
        const long double mLat2 = rad(m.latSign * lat2), mLon2 = rad(m.lonSign * lon2);
        const double mirroredCourse = std::fmod(m.courseBase + m.latSign * m.lonSign * double(course) + 720.0, 360.0);
        const double flips = m.latSign * m.lonSign; // the change of course flips with each mirror
        QVERIFY2(std::fabs(double(OrthoDistance(mLat1, mLon1, mLat2, mLon2) - distance)) < 1e-9, m.name);
        QVERIFY2(std::fabs(double(OrthoCourse(mLat1, mLon1, mLat2, mLon2)) - mirroredCourse) < 1e-9,
                 qPrintable(QString::fromLatin1(m.name) + u' ' + describe(OrthoCourse(mLat1, mLon1, mLat2, mLon2), mirroredCourse)));
        QVERIFY2(std::fabs(double(Convergence(mLat1, mLon1, mLat2, mLon2)) - flips * double(change)) < 1e-9,
                 qPrintable(QString::fromLatin1(m.name) + u' ' + describe(Convergence(mLat1, mLon1, mLat2, mLon2), flips * double(change))));
    }
}

// Turning the whole picture about the polar axis changes nothing, also when a
// leg then crosses the 180th meridian.
void TestSphere::longitudeShift_data()
{
    QTest::addColumn<double>("lat1");
    QTest::addColumn<double>("lon1");
    QTest::addColumn<double>("lat2");
    QTest::addColumn<double>("lon2");
    QTest::addColumn<double>("shift");
    QTest::newRow("eastbound onto the date line") << 55.0 << 37.0 << 57.0 << 61.0 << 131.0;
    QTest::newRow("eastbound across the date line") << 55.0 << 37.0 << 57.0 << 61.0 << 150.0;
    QTest::newRow("westbound across the date line") << 57.0 << 61.0 << 55.0 << 37.0 << 130.0;
    QTest::newRow("southern leg across the date line") << -33.0 << 18.0 << -34.0 << 25.0 << 160.0;
    QTest::newRow("into the west") << 40.0 << 10.0 << 50.0 << 20.0 << -70.0;
    QTest::newRow("across Greenwich") << 51.0 << 2.0 << 48.0 << 12.0 << -5.0;
}

void TestSphere::longitudeShift()
{
    QFETCH(double, lat1);
    QFETCH(double, lon1);
    QFETCH(double, lat2);
    QFETCH(double, lon2);
    QFETCH(double, shift);
    const auto wrap = [](double lon) { return lon > 180 ? lon - 360 : lon; };
    const long double a1 = rad(lat1), b1 = rad(wrap(lon1 + shift)), a2 = rad(lat2), b2 = rad(wrap(lon2 + shift));
    const long double o1 = rad(lat1), p1 = rad(lon1), o2 = rad(lat2), p2 = rad(lon2);
    CHECK_NEAR(OrthoDistance(a1, b1, a2, b2), double(OrthoDistance(o1, p1, o2, p2)), 1e-9);
    CHECK_NEAR(OrthoCourse(a1, b1, a2, b2), double(OrthoCourse(o1, p1, o2, p2)), 1e-9);
    CHECK_NEAR(Convergence(a1, b1, a2, b2), double(Convergence(o1, p1, o2, p2)), 1e-9);
}

void TestSphere::norm360_data()
{
    QTest::addColumn<double>("angle");
    QTest::addColumn<double>("normalised");
    QTest::newRow("-30") << -30.0 << 330.0;
    QTest::newRow("370") << 370.0 << 10.0;
    QTest::newRow("360 stays") << 360.0 << 360.0;
    QTest::newRow("0 stays") << 0.0 << 0.0;
    QTest::newRow("730 once only") << 730.0 << 370.0;
    QTest::newRow("-400 once only") << -400.0 << -40.0;
    QTest::newRow("in range") << 123.4 << 123.4;
}

void TestSphere::norm360()
{
    QFETCH(double, angle);
    QFETCH(double, normalised);
    QCOMPARE(static_cast<double>(Norm360(angle)), normalised);
}

void TestSphere::zeroGuard()
{
    const long double guard = -2.90888e-6L;
    QCOMPARE(Cosec0(0), 1 / std::sin(guard));
    QCOMPARE(Cotan0(0), 1 / std::tan(guard));
    QVERIFY(Cosec0(0) < -3e5L);
    QCOMPARE(static_cast<double>(Cosec0(rad(90))), 1.0);
    CHECK_NEAR(Cotan0(rad(45)), 1.0, 1e-15);
    CHECK_NEAR(Cosec0(rad(-30)), -2.0, 1e-15);
}

void TestSphere::roundTo1_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("rounded");
    QTest::newRow("0.25 half to even") << 0.25 << 0.2;
    QTest::newRow("0.45 half to even") << 0.45 << 0.4;
    QTest::newRow("0.35 just below the half") << 0.35 << 0.3;
    QTest::newRow("123.45") << 123.45 << 123.4;
    QTest::newRow("0.15 just below the half") << 0.15 << 0.1;
    QTest::newRow("negative half") << -0.25 << -0.2;
    QTest::newRow("359.9947") << 359.9947 << 360.0;
    QTest::newRow("-728.04") << -728.04 << -728.0;
    QTest::newRow("small negative is zero") << -0.04 << 0.0;
}

void TestSphere::roundTo1()
{
    QFETCH(double, value);
    QFETCH(double, rounded);
    QCOMPARE(roundDividingByTenth(value), rounded);
    QCOMPARE(std::signbit(roundDividingByTenth(value)), std::signbit(rounded)); // no -0
}

void TestSphere::roundTenth_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("rounded");
    QTest::newRow("12.34") << 12.34 << 12.3;
    QTest::newRow("12.25 half to even") << 12.25 << 12.2;
    QTest::newRow("12.75 half to even") << 12.75 << 12.8;
    QTest::newRow("-3.25 toward zero first") << -3.25 << -3.2;
    QTest::newRow("99.9744 carries") << 99.9744 << 100.0;
    QTest::newRow("whole") << 7.0 << 7.0;
    QTest::newRow("small negative is zero") << -0.04 << 0.0;
}

void TestSphere::roundTenth()
{
    QFETCH(double, value);
    QFETCH(double, rounded);
    QCOMPARE(roundFractionToTenth(value), rounded);
    QCOMPARE(std::signbit(roundFractionToTenth(value)), std::signbit(rounded)); // no -0
}

void TestSphere::feetAndMetres_data()
{
    QTest::addColumn<double>("metres");
    QTest::addColumn<long long>("feet");
    QTest::addColumn<double>("metresBack");
    QTest::newRow("100 m") << 100.0 << 328LL << 100.0;
    QTest::newRow("1000 ft") << 304.8 << 1000LL << 304.8;
    QTest::newRow("1001 ft") << 305.1 << 1001LL << 305.1;
    QTest::newRow("sea level") << 0.0 << 0LL << 0.0;
    QTest::newRow("below sea level") << -30.0 << -98LL << -29.9;
}

void TestSphere::feetAndMetres()
{
    QFETCH(double, metres);
    QFETCH(long long, feet);
    QFETCH(double, metresBack);
    QCOMPARE(MetresToFeet(metres), feet);
    QCOMPARE(FeetToMetres(feet), metresBack);
}

QTEST_GUILESS_MAIN(TestSphere)
#include "tst_sphere.moc"
