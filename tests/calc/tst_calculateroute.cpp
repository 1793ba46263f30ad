#include "Fixture.h"
#include "RecordingPrompter.h"
#include "SessionTest.h"
#include "TestFolder.h"

#include "base/Error.h"
#include "base/Numbers.h"
#include "base/Progress.h"
#include "calc/CalculateRoute.h"
#include "calc/TurnAnticipation.h"
#include "store/Session.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

using namespace kx;
using namespace kx::store;

namespace {

// Records the meter's calls as "max N" / "pos K".
class RecordingProgress : public Progress
{
public:
    void setMaximum(int maximum) override { calls.append(QStringLiteral("max %1").arg(maximum)); }
    void setPosition(int position) override { calls.append(QStringLiteral("pos %1").arg(position)); }
    QStringList calls;
};

// Stored values as text: "" for Null, numbers in their shortest form
// (77.60000000000001 reads as 77.6), so expectations read like the tables.
QString shown(const QVariant &v)
{
    if (v.isNull())
        return QString();
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? generalNumber(d) : v.toString();
}

const QStringList kLegColumns = {"IPU", "MPU", "S",  "Sp", "P_V", "P_P", "OZMPU_V", "OZMPU_P",
                                 "UKm", "Sm",  "Zm", "Am", "Dm",  "LUR"};

} // namespace

class TestCalculateRoute : public test::SessionTest
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void workedExample();
    void twoPointRoute();
    void alongAMeridian_data();
    void alongAMeridian();
    void orthodromicCoursesAreNotNormalised();
    void runningDistanceIsRoundedFromTheUnroundedSum();
    void beaconLeg_data();
    void beaconLeg();
    void turnAngleToAnticipation_data();
    void turnAngleToAnticipation();
    void turnAnticipationSkipsMissingCourses();
    void refusesRouteWithFewerThanTwoPoints_data();
    void refusesRouteWithFewerThanTwoPoints();
    void reportsQueryThatCannotBeOpened();
    void failedWriteKeepsEarlierWrites_data();
    void failedWriteKeepsEarlierWrites();
    void pointDeletedMeanwhileIsTold();
    void unusableWaypointThrows_data();
    void unusableWaypointThrows();
    void totalsGoToTheCalculatedRoute();

private:
    qint64 addRoute(const QList<qint64> &punkts, const QList<QVariant> &beacons = {});
    bool calculate(qint64 route);
    QString cell(qint64 point, const QString &column) const { return shown(m_fix->value("Points", point, column)); }
    QList<qint64> pointsOf(qint64 route) const;
    // Fills every calculated column of the route's points and its header with
    // old values, to see which rows a calculation rewrote.
    void markOld(qint64 route);

    RecordingProgress m_progress;
    QObject m_owner;
};

void TestCalculateRoute::init()
{
    QVERIFY(openSession());
    m_progress.calls.clear();
    m_owner.setObjectName("TF_Points");
}

void TestCalculateRoute::cleanup()
{
    closeSession();
}

qint64 TestCalculateRoute::addRoute(const QList<qint64> &punkts, const QList<QVariant> &beacons)
{
    const qint64 route = m_fix->addRoute("Route");
    for (int i = 0; i < punkts.size(); ++i)
        m_fix->addPoint(route, i + 1, punkts[i], i < beacons.size() ? beacons[i] : QVariant());
    return route;
}

bool TestCalculateRoute::calculate(qint64 route)
{
    if (!m_session->openRoutes() || !m_session->QRoutes.locate(u"Code", route))
        qWarning("the route list does not show route %lld", route);
    return calc::CalculateRoute(*m_session, route, &m_progress, &m_owner);
}

QList<qint64> TestCalculateRoute::pointsOf(qint64 route) const
{
    QSqlQuery q(m_session->ADOC.sql());
    q.prepare("SELECT Code FROM Points WHERE Route = ? ORDER BY Number");
    q.addBindValue(route);
    QList<qint64> codes;
    if (q.exec())
        while (q.next())
            codes.append(q.value(0).toLongLong());
    return codes;
}

void TestCalculateRoute::markOld(qint64 route)
{
    exec("UPDATE Points SET IPU = 1, MPU = 1, S = 1, Sp = 1, P_V = 1, P_P = 1, OZMPU_V = 1, OZMPU_P = 1, "
         "UKm = 1, Sm = 1, Zm = 1, Am = 1, Dm = 1, LUR = 99 WHERE Route = ?",
         {route});
    exec("UPDATE Routes SET S = 1, Vilka = 1, DateTime = '2001-02-03T04:05:06' WHERE Code = ?", {route});
}

void TestCalculateRoute::workedExample()
{
    const qint64 route = m_fix->addWorkedExample().route;
    const QList<qint64> points = pointsOf(route);
    exec(QStringLiteral("UPDATE Points SET LUR = 7 WHERE Code = %1").arg(points[2]));

    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    QVERIFY(calculate(route));

    const QList<QStringList> expected = {
        {"77.6", "68.1", "-728", "0", "0", "-16.7", "68.1", "84.7", "85.5", "-134.3", "28.8", "73.5", "137.4", "5"},
        {"80.5", "69.3", "-770.8", "728", "8.1", "-8.6", "61.2", "77.9", "", "", "", "", "", ""},
        {"", "", "", "1498.8", "", "", "", "", "", "", "", "", "", "7"},
    };
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < kLegColumns.size(); ++col)
            QVERIFY2(cell(points[row], kLegColumns[col]) == expected[row][col],
                     qPrintable(QStringLiteral("row %1 %2: %3, expected %4")
                                    .arg(row + 1)
                                    .arg(kLegColumns[col], cell(points[row], kLegColumns[col]), expected[row][col])));

    QCOMPARE(shown(m_fix->value("Routes", route, "S")), QString("1498.8"));
    QCOMPARE(shown(m_fix->value("Routes", route, "Vilka")), QString("16.7"));
    const QDateTime stamp = QDateTime::fromString(m_fix->value("Routes", route, "DateTime").toString(), Qt::ISODate);
    QVERIFY(stamp >= before && stamp <= QDateTime::currentDateTime().addSecs(1));

    QCOMPARE(m_prompter->messages().size(), 1);
    const auto &message = m_prompter->messages().first();
    QCOMPARE(message.kind, test::RecordingPrompter::Kind::Info);
    QCOMPARE(message.owner, QString("TF_Points"));
    QCOMPARE(message.text, QString("Расчет выполнен.\r\n\r\nРасстояние = 1498,8 км\r\nВилка = 16,7 град."));
    QCOMPARE(m_progress.calls, QStringList({"max 2", "pos 1", "pos 2"}));

    // The route list shows the route as calculated, and no transaction is
    // left open.
    QVERIFY(!m_session->QRoutes.value(u"DateTime").isNull());
    QCOMPARE(shown(m_session->QRoutes.value(u"S")), QString("1498.8"));
    QVERIFY(!m_session->ADOC.inTransaction());
}

void TestCalculateRoute::twoPointRoute()
{
    const qint64 a = m_fix->addPunkt("A", "N55*00.00", "E037*00.00", 8.0);
    const qint64 b = m_fix->addPunkt("B", "N57*00.00", "E061*00.00", 12.3);
    const qint64 route = addRoute({a, b});
    const QList<qint64> points = pointsOf(route);
    markOld(route);
    exec(QStringLiteral("UPDATE Points SET LUR = 20 WHERE Code = %1").arg(points[0]));

    QVERIFY(calculate(route));

    // The fork: the great circle turns 19.99° from A to B (worked out apart,
    // from the initial and final courses), less the variations' 4.3°.
    QCOMPARE(shown(m_fix->value("Routes", route, "Vilka")), QString("15.7"));
    QCOMPARE(cell(points[0], "P_V"), QString("0"));
    QCOMPARE(cell(points[0], "P_P"), QString("-15.7"));
    QCOMPARE(cell(points[0], "OZMPU_V"), cell(points[0], "MPU"));
    QCOMPARE(cell(points[0], "Sp"), QString("0"));
    QCOMPARE(cell(points[0], "S"), QString("-1499.8"));
    QCOMPARE(cell(points[1], "Sp"), QString("1499.8"));
    QCOMPARE(shown(m_fix->value("Routes", route, "S")), QString("1499.8"));
    // No turn on a single leg: its LUR is cleared, the destination's is left.
    QCOMPARE(cell(points[0], "LUR"), QString());
    QCOMPARE(cell(points[1], "LUR"), QString("99"));
    QCOMPARE(m_progress.calls, QStringList({"max 1", "pos 1"}));
}

void TestCalculateRoute::alongAMeridian_data()
{
    QTest::addColumn<QString>("fromLat");
    QTest::addColumn<QString>("toLat");
    QTest::addColumn<QString>("ipu");
    QTest::addColumn<QString>("mpu");
    QTest::newRow("northbound") << "N55*00.00" << "N56*00.00" << "360" << "350";
    QTest::newRow("southbound") << "N56*00.00" << "N55*00.00" << "180" << "170";
}

void TestCalculateRoute::alongAMeridian()
{
    QFETCH(QString, fromLat);
    QFETCH(QString, toLat);
    QFETCH(QString, ipu);
    QFETCH(QString, mpu);
    const qint64 route = addRoute({m_fix->addPunkt("A", fromLat, "E037*00.00", 10.0),
                                   m_fix->addPunkt("B", toLat, "E037*00.00", 10.0)});
    QVERIFY(calculate(route));
    const qint64 leg = pointsOf(route).first();
    QCOMPARE(cell(leg, "IPU"), ipu);
    QCOMPARE(cell(leg, "MPU"), mpu);
    QCOMPARE(cell(leg, "S"), QString("-111.1"));
}

void TestCalculateRoute::orthodromicCoursesAreNotNormalised()
{
    // Northbound along a meridian with the variation swinging from 5 W to 10 E:
    // the second leg's course in the departure system comes out past 360.
    const qint64 route = addRoute({m_fix->addPunkt("A", "N50*00.00", "E030*00.00", -5.0),
                                   m_fix->addPunkt("B", "N51*00.00", "E030*00.00", 10.0),
                                   m_fix->addPunkt("C", "N52*00.00", "E030*00.00", 0.0)});
    QVERIFY(calculate(route));
    const QList<qint64> points = pointsOf(route);
    QCOMPARE(cell(points[0], "MPU"), QString("5"));
    QCOMPARE(cell(points[0], "OZMPU_V"), QString("5"));
    QCOMPARE(cell(points[1], "MPU"), QString("350"));
    QCOMPARE(cell(points[1], "P_V"), QString("-15"));
    QCOMPARE(cell(points[1], "OZMPU_V"), QString("365"));
}

void TestCalculateRoute::runningDistanceIsRoundedFromTheUnroundedSum()
{
    // Two legs of 3 minutes of arc, 5.556 km each: each shows 5.6, their sum
    // 11.112 shows 11.1, not 11.2.
    const qint64 route = addRoute({m_fix->addPunkt("A", "N50*00.00", "E030*00.00"),
                                   m_fix->addPunkt("B", "N50*03.00", "E030*00.00"),
                                   m_fix->addPunkt("C", "N50*06.00", "E030*00.00")});
    QVERIFY(calculate(route));
    const QList<qint64> points = pointsOf(route);
    QCOMPARE(cell(points[0], "S"), QString("-5.6"));
    QCOMPARE(cell(points[1], "S"), QString("-5.6"));
    QCOMPARE(cell(points[1], "Sp"), QString("5.6"));
    QCOMPARE(cell(points[2], "Sp"), QString("11.1"));
    QCOMPARE(shown(m_fix->value("Routes", route, "S")), QString("11.1"));
    // The fork is the zero guard's along a short meridian: the course north
    // from A is taken a hundredth of a minute west of true.
    QCOMPARE(m_prompter->lastText(), QString("Расчет выполнен.\r\n\r\nРасстояние = 11,1 км\r\nВилка = -0,1 град."));
}

void TestCalculateRoute::beaconLeg_data()
{
    // A northbound leg from N50 to N52 on E030; the beacon's code as stored in
    // the point (0 and a deleted beacon both mean none).
    QTest::addColumn<QString>("beaconLat");
    QTest::addColumn<QString>("beaconLon");
    QTest::addColumn<bool>("deleteBeacon");
    QTest::addColumn<bool>("codeZero");
    QTest::addColumn<int>("zmSign");    // expected sign of Zm; 2: no beacon values
    QTest::addColumn<int>("smSign");
    // Dm, Am and UKm worked out apart (haversine, the initial and final
    // courses of the great circle), rounded to 0.1.
    QTest::addColumn<QString>("range");    // Dm
    QTest::addColumn<QString>("bearing");  // Am
    QTest::addColumn<QString>("mapAngle"); // UKm
    QTest::newRow("right of track, before the end") << "N51*00.00"
                                                    << "E031*00.00" << false << false << 1 << -1 << "130.9"
                                                    << "328.5"
                                                    << "360.8";
    QTest::newRow("left of track, before the end") << "N51*00.00"
                                                   << "E029*00.00" << false << false << -1 << -1 << "130.9"
                                                   << "31.5"
                                                   << "359.2";
    QTest::newRow("right of track, beyond the end") << "N53*00.00"
                                                    << "E031*00.00" << false << false << 1 << 1 << "130.1"
                                                    << "211.7"
                                                    << "360.8";
    QTest::newRow("at the end of the leg") << "N52*00.00"
                                           << "E030*00.00" << false << false << 0 << 0 << "0"
                                           << "0"
                                           << "360";
    QTest::newRow("code 0") << "N51*00.00"
                            << "E031*00.00" << false << true << 2 << 2 << ""
                            << ""
                            << "";
    QTest::newRow("deleted beacon") << "N51*00.00"
                                    << "E031*00.00" << true << false << 2 << 2 << ""
                                    << ""
                                    << "";
}

void TestCalculateRoute::beaconLeg()
{
    QFETCH(QString, beaconLat);
    QFETCH(QString, beaconLon);
    QFETCH(bool, deleteBeacon);
    QFETCH(bool, codeZero);
    QFETCH(int, zmSign);
    QFETCH(int, smSign);
    QFETCH(QString, range);
    QFETCH(QString, bearing);
    QFETCH(QString, mapAngle);
    const qint64 beacon = m_fix->addRsbn("RB", "Beacon", beaconLat, beaconLon);
    const qint64 route = addRoute({m_fix->addPunkt("A", "N50*00.00", "E030*00.00", 7.0),
                                   m_fix->addPunkt("B", "N52*00.00", "E030*00.00", 7.0)},
                                  {codeZero ? QVariant(0) : QVariant(beacon)});
    if (deleteBeacon)
        exec(QStringLiteral("DELETE FROM RSBN WHERE Code = %1").arg(beacon));
    markOld(route);

    QVERIFY(calculate(route));
    const qint64 leg = pointsOf(route).first();
    if (zmSign == 2) {
        for (const char *column : {"UKm", "Sm", "Zm", "Am", "Dm"})
            QVERIFY2(cell(leg, column).isEmpty(), column);
        return;
    }
    const double sm = m_fix->value("Points", leg, "Sm").toDouble();
    const double zm = m_fix->value("Points", leg, "Zm").toDouble();
    const double dm = m_fix->value("Points", leg, "Dm").toDouble();
    QCOMPARE(sm > 0 ? 1 : (sm < 0 ? -1 : 0), smSign);
    QCOMPARE(zm > 0 ? 1 : (zm < 0 ? -1 : 0), zmSign);
    // The beacon's coordinates in the leg's axes put it at its range from B.
    QVERIFY2(std::fabs(std::hypot(sm, zm) - dm) <= 0.15, qPrintable(QString("Sm %1 Zm %2 Dm %3").arg(sm).arg(zm).arg(dm)));
    QCOMPARE(cell(leg, "Dm"), range);
    QCOMPARE(cell(leg, "Am"), bearing);
    // The map angle: the course (360 on this northbound leg) carried to the
    // beacon's meridian.
    QCOMPARE(cell(leg, "UKm"), mapAngle);
}

void TestCalculateRoute::turnAngleToAnticipation_data()
{
    QTest::addColumn<double>("ozmpuV");
    QTest::addColumn<double>("nextOzmpuP");
    QTest::addColumn<int>("lur");
    QTest::newRow("straight on") << 90.0 << 90.0 << 5;
    QTest::newRow("40.5 rounds to 40") << 100.0 << 59.5 << 5;
    QTest::newRow("41.5 rounds to 42") << 100.0 << 141.5 << 10;
    QTest::newRow("70.5 rounds to 70") << 10.0 << 80.5 << 10;
    QTest::newRow("71") << 10.0 << 81.0 << 15;
    QTest::newRow("180.5 rounds to 180") << 0.0 << 180.5 << 15;
    QTest::newRow("181.5 rounds to 182, taken as 178") << 0.0 << 181.5 << 15;
    QTest::newRow("across north: 350 to 20") << 350.0 << 20.0 << 5;
    QTest::newRow("past 360 unnormalised: 365 to 5") << 365.0 << 5.0 << 5;
    QTest::newRow("more than a turn and a half apart") << -100.0 << 445.0 << 20;
}

void TestCalculateRoute::turnAngleToAnticipation()
{
    QFETCH(double, ozmpuV);
    QFETCH(double, nextOzmpuP);
    QFETCH(int, lur);
    QCOMPARE(calc::turnAnticipation(ozmpuV, nextOzmpuP), lur);
}

void TestCalculateRoute::turnAnticipationSkipsMissingCourses()
{
    // Rows as a calculation leaves them, some courses missing (Null, or -1,
    // which stands for Null): only pairs with both courses get a LUR.
    const qint64 p = m_fix->addPunkt("P", "N50*00.00", "E030*00.00");
    const qint64 route = addRoute({p, p, p, p, p, p});
    const QList<qint64> points = pointsOf(route);
    const QList<QPair<QVariant, QVariant>> courses = {
        {100.0, 10.0}, {QVariant(), 59.5}, {100.0, 141.5}, {50.0, -1.0}, {-1.0, 20.0}, {QVariant(), QVariant()}};
    for (int i = 0; i < points.size(); ++i) {
        QSqlQuery q(m_session->ADOC.sql());
        q.prepare("UPDATE Points SET OZMPU_V = ?, OZMPU_P = ?, LUR = 99 WHERE Code = ?");
        q.addBindValue(courses[i].first);
        q.addBindValue(courses[i].second);
        q.addBindValue(points[i]);
        QVERIFY(q.exec());
    }
    Query list(m_session->ADOC, "legs");
    QVERIFY(list.open("SELECT Code, Number, OZMPU_V, OZMPU_P, LUR FROM Points WHERE Route = ? ORDER BY Number",
                      {route}));
    list.setUpdateTable("Points");

    calc::writeTurnAnticipation(list);

    // 1: 100 against 59.5 (40.5 -> 40) gives 5; 2: no OZMPU_V, unchanged;
    // 3: the next row's OZMPU_P is -1, unchanged; 4: 50 against 20 gives 5;
    // 5: the last leg, cleared; 6: the destination, untouched.
    QStringList lur;
    for (const qint64 code : points)
        lur.append(cell(code, "LUR"));
    QCOMPARE(lur, QStringList({"5", "99", "99", "5", "", "99"}));
}

void TestCalculateRoute::refusesRouteWithFewerThanTwoPoints_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("existing");
    QTest::newRow("no points") << 0 << true;
    QTest::newRow("one point") << 1 << true;
    QTest::newRow("unknown route") << 0 << false;
}

void TestCalculateRoute::refusesRouteWithFewerThanTwoPoints()
{
    QFETCH(int, points);
    QFETCH(bool, existing);
    QList<qint64> punkts;
    for (int i = 0; i < points; ++i)
        punkts.append(m_fix->addPunkt("P", "N50*00.00", "E030*00.00"));
    const qint64 route = addRoute(punkts);
    markOld(route);

    QVERIFY(!calc::CalculateRoute(*m_session, existing ? route : route + 100, &m_progress, &m_owner));

    QCOMPARE(m_prompter->texts(), QStringList({"Маршрут должен содержать не менее двух ППМ!"}));
    QCOMPARE(m_prompter->messages().first().kind, test::RecordingPrompter::Kind::Error);
    QCOMPARE(m_prompter->messages().first().owner, QString("TF_Points"));
    QCOMPARE(shown(m_fix->value("Routes", route, "DateTime")), QString("2001-02-03T04:05:06"));
    for (const qint64 code : pointsOf(route))
        QCOMPARE(cell(code, "IPU"), QString("1"));
    QVERIFY(m_progress.calls.isEmpty());
}

void TestCalculateRoute::reportsQueryThatCannotBeOpened()
{
    const qint64 route = addRoute({m_fix->addPunkt("A", "N50*00.00", "E030*00.00"),
                                   m_fix->addPunkt("B", "N51*00.00", "E030*00.00")});
    exec("DROP TABLE RSBN");
    QVERIFY(!calculate(route));
    QCOMPARE(m_prompter->texts(), QStringList({"Ошибка открытия запроса!"}));
    QVERIFY(m_fix->value("Routes", route, "DateTime").isNull());
}

void TestCalculateRoute::failedWriteKeepsEarlierWrites_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QList<bool>>("rewritten"); // per point of four
    QTest::newRow("second leg") << "BEFORE UPDATE ON Points WHEN NEW.Number = 2"
                                << "Ошибка записи в таблицу [Points]!" << QList<bool>{true, false, false, false};
    QTest::newRow("last point") << "BEFORE UPDATE ON Points WHEN NEW.Number = 4"
                                << "Ошибка записи в таблицу [Points]!" << QList<bool>{true, true, true, false};
    QTest::newRow("route header") << "BEFORE UPDATE ON Routes"
                                  << "Ошибка записи в таблицу [Routes]!" << QList<bool>{true, true, true, true};
}

void TestCalculateRoute::failedWriteKeepsEarlierWrites()
{
    QFETCH(QString, trigger);
    QFETCH(QString, message);
    QFETCH(QList<bool>, rewritten);
    const qint64 route = addRoute({m_fix->addPunkt("A", "N50*00.00", "E030*00.00", 5.0),
                                   m_fix->addPunkt("B", "N51*00.00", "E032*00.00", 5.5),
                                   m_fix->addPunkt("C", "N52*00.00", "E034*00.00", 6.0),
                                   m_fix->addPunkt("D", "N53*00.00", "E036*00.00", 6.5)});
    markOld(route);
    exec("CREATE TRIGGER refuse " + trigger + " BEGIN SELECT RAISE(ABORT, 'refused'); END");

    QVERIFY(!calculate(route));

    QCOMPARE(m_prompter->texts(), QStringList({message}));
    QCOMPARE(m_prompter->messages().first().kind, test::RecordingPrompter::Kind::Error);
    const QList<qint64> points = pointsOf(route);
    for (int i = 0; i < 4; ++i)
        QVERIFY2((cell(points[i], "Sp") != "1") == rewritten[i], qPrintable(QString("point %1").arg(i + 1)));
    // The turn anticipation comes after the header: not reached.
    for (const qint64 code : points)
        QCOMPARE(cell(code, "LUR"), QString("99"));
    QCOMPARE(shown(m_fix->value("Routes", route, "S")), QString("1"));
    QCOMPARE(shown(m_fix->value("Routes", route, "Vilka")), QString("1"));
    QCOMPARE(shown(m_fix->value("Routes", route, "DateTime")), QString("2001-02-03T04:05:06"));
    QCOMPARE(shown(m_session->QRoutes.value(u"S")), QString("1"));
    QVERIFY(!m_session->ADOC.inTransaction());

    // Nothing is left half-done: once the cause is gone the route calculates.
    exec("DROP TRIGGER refuse");
    QVERIFY(calculate(route));
    QVERIFY(!m_fix->value("Routes", route, "DateTime").toString().startsWith("2001"));
}

void TestCalculateRoute::pointDeletedMeanwhileIsTold()
{
    // Another copy of the program deletes point 3 while this one calculates:
    // here, as leg 2 is written.
    const qint64 route = addRoute(
        {m_fix->addPunkt("A", "N50*00.00", "E030*00.00", 5.0), m_fix->addPunkt("B", "N51*00.00", "E032*00.00", 5.5),
         m_fix->addPunkt("C", "N52*00.00", "E034*00.00", 6.0), m_fix->addPunkt("D", "N53*00.00", "E036*00.00", 6.5)});
    markOld(route);
    const QList<qint64> points = pointsOf(route);
    exec("CREATE TRIGGER gone AFTER UPDATE OF IPU ON Points WHEN NEW.Number = 2 "
         "BEGIN DELETE FROM Points WHERE Route = NEW.Route AND Number = 3; END");

    QVERIFY(!calculate(route));

    QCOMPARE(m_prompter->texts(), QStringList({"ППМ № 3 удален из маршрута во время расчета!"}));
    QCOMPARE(m_prompter->messages().first().kind, test::RecordingPrompter::Kind::Error);
    QCOMPARE(m_prompter->messages().first().owner, QString("TF_Points"));
    // The legs before it stay written; the rest and the header are as they were.
    QCOMPARE(cell(points[0], "Sp"), QString("0"));
    QVERIFY(cell(points[1], "Sp") != QString("1"));
    QCOMPARE(cell(points[3], "Sp"), QString("1"));
    QCOMPARE(shown(m_fix->value("Routes", route, "DateTime")), QString("2001-02-03T04:05:06"));
    QVERIFY(!m_session->ADOC.inTransaction());
}

void TestCalculateRoute::unusableWaypointThrows_data()
{
    QTest::addColumn<QString>("breakSql"); // %1: the code of the waypoint (or beacon) to break
    QTest::addColumn<int>("which");        // point number whose waypoint is broken
    QTest::addColumn<bool>("beacon");      // break the beacon of that point instead
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("legsWritten");
    QTest::newRow("no latitude") << "UPDATE Punkts SET LAT = NULL WHERE Code = %1" << 3 << false
                                 << "У ППМ WP3 не заданы координаты!" << 1;
    QTest::newRow("empty longitude") << "UPDATE Punkts SET LON = '' WHERE Code = %1" << 3 << false
                                     << "У ППМ WP3 не заданы координаты!" << 1;
    QTest::newRow("unreadable latitude") << "UPDATE Punkts SET LAT = 'N5x*20.00' WHERE Code = %1" << 3 << false
                                         << "Неверная координата ППМ WP3: \"N5x*20.00\"!" << 1;
    QTest::newRow("no variation") << "UPDATE Punkts SET MS = NULL WHERE Code = %1" << 2 << false
                                  << "У ППМ WP2 не задано магнитное склонение!" << 1;
    QTest::newRow("destination without variation") << "UPDATE Punkts SET MS = NULL WHERE Code = %1" << 4 << false
                                                   << "У ППМ WP4 не задано магнитное склонение!" << 0;
    QTest::newRow("waypoint deleted") << "DELETE FROM Punkts WHERE Code = %1" << 3 << false
                                      << "ППМ № 3 маршрута нет в справочнике ППМ!" << 1;
    QTest::newRow("beacon without position") << "UPDATE RSBN SET LAT = NULL WHERE Code = %1" << 2 << true
                                             << "У маяка РСБН RB не заданы координаты!" << 1;
}

void TestCalculateRoute::unusableWaypointThrows()
{
    QFETCH(QString, breakSql);
    QFETCH(int, which);
    QFETCH(bool, beacon);
    QFETCH(QString, text);
    QFETCH(int, legsWritten);
    QList<qint64> punkts;
    for (int i = 1; i <= 4; ++i)
        punkts.append(m_fix->addPunkt(QString("WP%1").arg(i), QString("N5%1*00.00").arg(i), "E030*00.00", 3.0));
    const qint64 rsbn = m_fix->addRsbn("RB", "Beacon", "N52*30.00", "E031*00.00");
    const qint64 route = addRoute(punkts, {QVariant(), rsbn});
    exec("UPDATE Routes SET DateTime = NULL");
    exec(breakSql.arg(beacon ? rsbn : punkts[which - 1]));

    QString thrown;
    try {
        calculate(route);
    } catch (const Error &e) {
        thrown = e.text();
    }

    QCOMPARE(thrown, text);
    QVERIFY(m_prompter->messages().isEmpty());
    const QList<qint64> points = pointsOf(route);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(!cell(points[i], "IPU").isEmpty(), i < legsWritten);
    QVERIFY(m_fix->value("Routes", route, "DateTime").isNull());
    QVERIFY(!m_session->ADOC.inTransaction());
}

void TestCalculateRoute::totalsGoToTheCalculatedRoute()
{
    const qint64 a = m_fix->addPunkt("A", "N50*00.00", "E030*00.00");
    const qint64 b = m_fix->addPunkt("B", "N51*00.00", "E030*00.00");
    const qint64 route = addRoute({a, b});
    const qint64 other = m_fix->addRoute("Another");
    QVERIFY(m_session->openRoutes());
    QVERIFY(m_session->QRoutes.locate(u"Code", other));

    QVERIFY(calc::CalculateRoute(*m_session, route, nullptr, nullptr));

    QCOMPARE(shown(m_fix->value("Routes", route, "S")), QString("111.1"));
    QVERIFY(!m_fix->value("Routes", route, "DateTime").isNull());
    QVERIFY(m_fix->value("Routes", other, "S").isNull());
    QVERIFY(m_fix->value("Routes", other, "DateTime").isNull());
}

QTEST_GUILESS_MAIN(TestCalculateRoute)
#include "tst_calculateroute.moc"
