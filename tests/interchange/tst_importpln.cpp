#include "Fixture.h"
#include "RecordingPrompter.h"
#include "SessionTest.h"
#include "TestFolder.h"

#include "base/Busy.h"
#include "base/Cp1251.h"
#include "base/Error.h"
#include "calc/CalculateRoute.h"
#include "interchange/ImportPln.h"
#include "interchange/PlanImport.h"
#include "interchange/PlnFormat.h"
#include "store/Session.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

using namespace kx;
using namespace kx::store;

namespace {

// Tells whether every show of the busy cursor was taken back.
class BusyDepth : public BusyIndicator
{
public:
    void show() override
    {
        ++depth;
        ++shows;
    }
    void restore() override { --depth; }
    int depth = 0;
    int shows = 0;
};

const QString kAirportLine = QStringLiteral("UU, UUEE, , UUEE, A, N55* 58.36', E37* 24.88', +000622.00, ");

// A plan's bytes: windows-1251 (or UTF-8 after a byte-order mark), lines
// ended as given, the last one too.
QByteArray planBytes(const QStringList &lines, bool utf8 = false, const QString &eol = QStringLiteral("\r\n"))
{
    const QString text = lines.join(eol) + eol;
    return utf8 ? QByteArray("\xEF\xBB\xBF") + text.toUtf8() : toCp1251(text);
}

QStringList header()
{
    return {"[flightplan]",
            "AppVersion=9.0.30612",
            "title=UUEE to ULLI",
            "description=UUEE, ULLI",
            "type=IFR",
            "routetype=1",
            "cruising_altitude=28000",
            "departure_id=UUEE, N55* 58.36', E37* 24.88', +000622.00",
            "departure_position=24C",
            "destination_id=ULLI, N59* 48.02', E30* 15.75', +000078.00",
            "departure_name=Sheremetyevo International Airport",
            "destination_name=Pulkovo Airport"};
}

// Header and waypoint lines, "waypoint.K=" put in front of each waypoint.
QStringList planLines(const QStringList &waypoints, const QStringList &head = header())
{
    QStringList lines = head;
    for (int k = 0; k < waypoints.size(); ++k)
        lines.append(QStringLiteral("waypoint.%1=%2").arg(k).arg(waypoints.at(k)));
    return lines;
}

// Plans written by other programs (data/pln/SOURCES.md).
QString sharedPlans()
{
    return QStringLiteral(KX_SOURCE_DIR "/tests/interchange/data/pln/");
}

QByteArray readShared(const QString &name)
{
    QFile file(sharedPlans() + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestImportPln : public test::SessionTest
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void importsSamplePlan();
    void headerEntries_data();
    void headerEntries();
    void catalogueLookups_data();
    void catalogueLookups();
    void navaidOfTheSamePlace_data();
    void navaidOfTheSamePlace();
    void waypointsOfUnknownTypeOrRegion_data();
    void waypointsOfUnknownTypeOrRegion();
    void lookupsUseTheIdentIndex_data();
    void lookupsUseTheIdentIndex();
    void sameWaypointTwiceIsOneCatalogueRow();
    void newWaypointsWithoutVariationTable();
    void failedImportsStoreNothing_data();
    void failedImportsStoreNothing();
    void controlCharacterInTheHeaderStoresNothing_data();
    void controlCharacterInTheHeaderStoresNothing();
    void xmlPlan();
    void xmlPlanVariants_data();
    void xmlPlanVariants();
    void xmlWaypointWithoutPosition_data();
    void xmlWaypointWithoutPosition();
    void hostileXmlStoresNothing_data();
    void hostileXmlStoresNothing();
    void realPlans_data();
    void realPlans();
    void fs9PlanFindsTheWorldsNavaids();
    void damagedPlansNeitherCrashNorStoreBadWaypoints();
    void controlCharactersNeverReachTheDatabase();

private:
    QString writePlan(const QString &name, const QByteArray &bytes);
    qint64 import(const QString &path);
    void exec(const QString &sql);
    // The route's points as Punkt codes in Number order; fails the test unless
    // they are numbered 1, 2, 3 ...
    QList<qint64> punktsOf(qint64 route);
    QVariant routeValue(qint64 route, const QString &column) const { return m_fix->value("Routes", route, column); }
    qint64 lastRoute() const;

    BusyDepth m_busy;
    QObject m_owner;
};

void TestImportPln::init()
{
    QVERIFY(openSession(test::SessionSetup::withSimulator().withBusy(&m_busy)));
    m_busy = BusyDepth();
    QVERIFY(m_session->openRoutes());
    m_owner.setObjectName("TF_Main");
}

void TestImportPln::cleanup()
{
    QCOMPARE(m_busy.depth, 0);
    closeSession();
}

QString TestImportPln::writePlan(const QString &name, const QByteArray &bytes)
{
    QFile file(m_folder->file(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qWarning("cannot write %s", qPrintable(file.fileName()));
    return file.fileName();
}

qint64 TestImportPln::import(const QString &path)
{
    return interchange::ImportPLN(*m_session, path, &m_owner);
}

void TestImportPln::exec(const QString &sql)
{
    QSqlQuery q(m_session->ADOC.sql());
    QVERIFY2(q.exec(sql), qPrintable(q.lastError().text() + " in " + sql));
}

QList<qint64> TestImportPln::punktsOf(qint64 route)
{
    QSqlQuery q(m_session->ADOC.sql());
    q.prepare("SELECT Number, Punkt FROM Points WHERE Route = ? ORDER BY Number");
    q.addBindValue(route);
    QList<qint64> punkts;
    if (!q.exec())
        qWarning("%s", qPrintable(q.lastError().text()));
    while (q.next()) {
        if (q.value(0).toInt() != punkts.size() + 1)
            qWarning("route %lld: point numbered %d at place %lld", route, q.value(0).toInt(), punkts.size() + 1);
        punkts.append(q.value(1).toLongLong());
    }
    return punkts;
}

qint64 TestImportPln::lastRoute() const
{
    QSqlQuery q(m_session->ADOC.sql());
    return q.exec("SELECT max(Code) FROM Routes") && q.next() ? q.value(0).toLongLong() : 0;
}

void TestImportPln::importsSamplePlan()
{
    m_fix->addRoute("A first route");
    m_fix->addRoute("ZZZ last route");
    QVERIFY(m_session->openRoutes());

    const qint64 route = import(QStringLiteral(KX_SOURCE_DIR "/data/plans/UUEE-ULLI.PLN"));
    QVERIFY(route > 0);
    QVERIFY2(m_prompter->messages().isEmpty(), qPrintable(m_prompter->texts().join('\n')));
    QVERIFY(m_busy.shows > 0);

    // The route list stands on the new route, in its place by name.
    QCOMPARE(m_session->currentRouteCode().toLongLong(), route);
    QCOMPARE(m_session->QRoutes.rowNumber(), 2);

    const QVariantMap expected{{"Name", "UUEE-ULLI"},
                               {"FL", 8534},
                               {"Type", "IFR"},
                               {"RouteType", 1},
                               {"AP_V", "UUEE"},
                               {"AP_P", "ULLI"},
                               {"Dep_ID", "UUEE, N55* 58.36', E37* 24.88', +000622.00"},
                               {"Dep_Name", "Sheremetyevo International Airport"},
                               {"Dep_Pos", "24C"},
                               {"Dest_ID", "ULLI, N59* 48.02', E30* 15.75', +000078.00"},
                               {"Dest_Name", "Pulkovo Airport"}};
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(routeValue(route, it.key()).toString(), it.value().toString());
    for (const char *empty : {"S", "Vilka", "DateTime"})
        QVERIFY2(routeValue(route, empty).isNull(), empty);

    const QList<qint64> punkts = punktsOf(route);
    QCOMPARE(punkts.size(), 4);
    struct Row
    {
        const char *region, *id;
        QVariant type;
        const char *lat, *lon;
        double h;
        double ms; // the variation table's value at the nearest whole degrees
    };
    const Row rows[] = {{"UU", "UUEE", "Airport", "N55*58.36", "E037*24.88", 622, test::TestFolder::variationAt(56, 37)},
                        {"UU", "MR", "VOR", "N55*57.70", "E037*20.90", 0, test::TestFolder::variationAt(56, 37)},
                        {"UL", "PL", "NDB", "N59*47.50", "E030*22.40", 0, test::TestFolder::variationAt(60, 30)},
                        {"UL", "ULLI", "Airport", "N59*48.02", "E030*15.75", 78, test::TestFolder::variationAt(60, 30)}};
    for (int i = 0; i < 4; ++i) {
        const qint64 p = punkts.at(i);
        QCOMPARE(m_fix->value("Punkts", p, "Region").toString(), QString(rows[i].region));
        QCOMPARE(m_fix->value("Punkts", p, "ID").toString(), QString(rows[i].id));
        QCOMPARE(m_fix->value("Punkts", p, "Type"), rows[i].type);
        QCOMPARE(m_fix->value("Punkts", p, "LAT").toString(), QString(rows[i].lat));
        QCOMPARE(m_fix->value("Punkts", p, "LON").toString(), QString(rows[i].lon));
        QCOMPARE(m_fix->value("Punkts", p, "MS").toDouble(), rows[i].ms);
        QCOMPARE(m_fix->value("Punkts", p, "H").toDouble(), rows[i].h);
        QVERIFY(m_fix->value("Punkts", p, "Name").isNull());
    }
}

void TestImportPln::headerEntries_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QVariantMap>("expected");

    const QStringList waypoints{kAirportLine, kAirportLine};
    QTest::newRow("letter case of section and keys, blanks around values")
        << planBytes(planLines(waypoints, {"[FlightPlan]", "TYPE =  VFR  ", "RouteType= 2", "Cruising_Altitude=35000",
                                           "Departure_ID=UUWW", "DESTINATION_ID=  URWW, N48* 46.93', E44* 20.70'  ",
                                           "departure_name=\tVnukovo"}))
        << QVariantMap{{"Type", "VFR"},     {"RouteType", 2},
                       {"FL", 10668},       {"AP_V", "UUWW"},
                       {"Dep_ID", "UUWW"},  {"AP_P", "URWW"},
                       {"Dest_ID", "URWW, N48* 46.93', E44* 20.70'"}, {"Dep_Name", "Vnukovo"},
                       {"Dest_Name", ""},   {"Dep_Pos", ""}};
    QTest::newRow("missing entries") << planBytes(planLines(waypoints, {"[flightplan]"}))
                                     << QVariantMap{{"Type", ""},     {"RouteType", 0}, {"FL", 0},
                                                    {"AP_V", ""},     {"AP_P", ""},     {"Dep_ID", ""},
                                                    {"Dep_Name", ""}, {"Dep_Pos", ""},  {"Dest_ID", ""},
                                                    {"Dest_Name", ""}};
    QTest::newRow("numbers that are not whole numbers")
        << planBytes(planLines(waypoints, {"[flightplan]", "cruising_altitude=31000ft", "routetype=1.5"}))
        << QVariantMap{{"FL", 0}, {"RouteType", 0}};
    QTest::newRow("other sections are not read")
        << planBytes(QStringList{"[more]", "type=Y"}
                     + planLines(waypoints, {"[other]", "cruising_altitude=5000", "type=X", "[flightplan]",
                                             "cruising_altitude=31000"}))
        << QVariantMap{{"FL", 9449}, {"Type", ""}};
    QTest::newRow("the first of two entries") << planBytes(planLines(waypoints, {"[flightplan]", "type=IFR", "type=VFR"}))
                                              << QVariantMap{{"Type", "IFR"}};
    QTest::newRow("windows-1251 names")
        << planBytes(planLines(waypoints, {"[flightplan]", "departure_name=Шереметьево", "destination_name=Пулково"}))
        << QVariantMap{{"Dep_Name", "Шереметьево"}, {"Dest_Name", "Пулково"}};
    QTest::newRow("UTF-8 with a byte-order mark, LF only")
        << planBytes(planLines(waypoints, {"[flightplan]", "departure_name=Шереметьево", "cruising_altitude=31000"}),
                     true, "\n")
        << QVariantMap{{"Dep_Name", "Шереметьево"}, {"FL", 9449}};
}

void TestImportPln::headerEntries()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QVariantMap, expected);
    const qint64 route = import(writePlan("plan.PLN", bytes));
    QVERIFY2(route > 0, qPrintable(m_prompter->texts().join('\n')));
    QCOMPARE(punktsOf(route).size(), 2);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const QVariant stored = routeValue(route, it.key());
        QVERIFY2(!stored.isNull(), qPrintable(it.key())); // texts are empty, never Null
        QCOMPARE(stored.toString(), it.value().toString());
    }
}

void TestImportPln::catalogueLookups_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("found"); // the catalogue row's ident, or empty for a new row
    QTest::addColumn<QVariant>("newType");
    QTest::addColumn<double>("newMs"); // a new row's variation, from the table's nearest whole degrees

    const double moscow = test::TestFolder::variationAt(56, 37);
    const double pulkovo = test::TestFolder::variationAt(60, 30);

    const QVariant none = QVariant(QMetaType::fromType<QString>());
    QTest::newRow("airport by ident alone") << "XX, UUEE, , UUEE, A, N10* 00.00', E10* 00.00', +000100.00, "
                                            << "UUEE" << QVariant() << 0.0;
    QTest::newRow("airport ident ignoring case") << "uu, uuee, , uuee, A, N55* 58.36', E37* 24.88', +000622.00, "
                                                 << "UUEE" << QVariant() << 0.0;
    QTest::newRow("airport of another ident") << "UU, UUEF, , UUEF, A, N55* 58.36', E37* 24.88', +000622.00, "
                                              << "" << QVariant("Airport") << moscow;
    QTest::newRow("'%' is no wildcard") << "UU, UU%, , UU%, A, N55* 58.36', E37* 24.88', +000622.00, " << ""
                                        << QVariant("Airport") << moscow;
    QTest::newRow("VOR by region, ident, type and position")
        << "UU, MR, , MR, V, N55* 57.70', E37* 20.90', +000000.00, " << "MR" << QVariant() << 0.0;
    QTest::newRow("VOR ignoring letter case") << "uu, mr, , mr, V, N55* 57.70', E37* 20.90', +000000.00, " << "MR"
                                              << QVariant() << 0.0;
    // Within 1 km the plan's VOR is the catalogue's, whatever region it
    // writes: FS9 writes "KK" for the beacons it knows as "EG".
    QTest::newRow("VOR 0.01 minute away") << "UU, MR, , MR, V, N55* 57.71', E37* 20.90', +000000.00, " << "MR"
                                          << QVariant() << 0.0;
    QTest::newRow("VOR of another region") << "KK, MR, , MR, V, N55* 57.70', E37* 20.90', +000000.00, " << "MR"
                                           << QVariant() << 0.0;
    QTest::newRow("VOR 0.9 km away, another region") << "KK, MR, , MR, V, N55* 58.18', E37* 20.90', +000000.00, "
                                                     << "MR" << QVariant() << 0.0;
    QTest::newRow("VOR 1.1 km away") << "UU, MR, , MR, V, N55* 58.30', E37* 20.90', +000000.00, " << ""
                                     << QVariant("VOR") << moscow;
    QTest::newRow("VOR 5 km away") << "UU, MR, , MR, V, N56* 00.40', E37* 20.90', +000000.00, " << ""
                                   << QVariant("VOR") << moscow;
    QTest::newRow("'_' is no wildcard") << "UU, M_, , M_, V, N55* 57.70', E37* 20.90', +000000.00, " << ""
                                        << QVariant("VOR") << moscow;
    QTest::newRow("NDB") << "UL, PL, , PL, N, N59* 47.50', E30* 22.40', +000000.00, " << "PL" << QVariant() << 0.0;
    QTest::newRow("NDB named as a VOR") << "UL, PL, , PL, V, N59* 47.50', E30* 22.40', +000000.00, " << ""
                                        << QVariant("VOR") << pulkovo;
    QTest::newRow("I matches a row without type") << "UU, GOTIK, , GOTIK, I, N56* 00.00', E38* 00.00', +000000.00, "
                                                  << "GOTIK" << QVariant() << 0.0;
    QTest::newRow("an intersection 0.5 km away, another region")
        << "KK, GOTIK, , GOTIK, I, N56* 00.27', E38* 00.00', +000000.00, " << "GOTIK" << QVariant() << 0.0;
    QTest::newRow("any other letter too") << "UU, GOTIK, , GOTIK, W, N56* 00.00', E38* 00.00', +000000.00, "
                                          << "GOTIK" << QVariant() << 0.0;
    QTest::newRow("a blank type too") << "UU, GOTIK, , GOTIK, , N56* 00.00', E38* 00.00', +000000.00, " << "GOTIK"
                                      << QVariant() << 0.0;
    QTest::newRow("I never matches a typed row") << "UU, MR, , MR, I, N55* 57.70', E37* 20.90', +000000.00, " << ""
                                                 << none << moscow;
    QTest::newRow("the short form, without region") << "MR, V, N55* 57.7', E37* 20.9', +000000.00," << "MR"
                                                    << QVariant() << 0.0;
}

void TestImportPln::catalogueLookups()
{
    QFETCH(QString, line);
    QFETCH(QString, found);
    QFETCH(QVariant, newType);
    QFETCH(double, newMs);

    QMap<QString, qint64> catalogue;
    const auto add = [&](const char *region, const char *id, const QVariant &type, const char *lat, const char *lon) {
        test::Fixture::Waypoint w;
        w.region = region;
        w.id = id;
        w.type = type;
        w.lat = lat;
        w.lon = lon;
        w.ms = 7.5;
        catalogue.insert(id, m_fix->addPunkt(w));
    };
    add("UU", "UUEE", "Airport", "N55*58.36", "E037*24.88");
    add("UU", "MR", "VOR", "N55*57.70", "E037*20.90");
    add("UL", "PL", "NDB", "N59*47.50", "E030*22.40");
    add("UU", "GOTIK", QVariant(), "N56*00.00", "E038*00.00");
    const qint64 rowsBefore = m_fix->count("Punkts");

    const qint64 route = import(writePlan("plan.PLN", planBytes(planLines({line, kAirportLine}))));
    QVERIFY2(route > 0, qPrintable(m_prompter->texts().join('\n')));
    const QList<qint64> punkts = punktsOf(route);
    QCOMPARE(punkts.size(), 2);
    QCOMPARE(punkts.at(1), catalogue.value("UUEE"));
    if (!found.isEmpty()) {
        QCOMPARE(punkts.at(0), catalogue.value(found));
        QCOMPARE(m_fix->count("Punkts"), rowsBefore);
        return;
    }
    QCOMPARE(m_fix->count("Punkts"), rowsBefore + 1);
    const interchange::PlanWaypoint w = interchange::parseWaypointLine(line);
    const qint64 p = punkts.at(0);
    QVERIFY(!catalogue.values().contains(p));
    QCOMPARE(m_fix->value("Punkts", p, "Region").toString(), w.region);
    QCOMPARE(m_fix->value("Punkts", p, "ID").toString(), w.id);
    QCOMPARE(m_fix->value("Punkts", p, "Type").isNull(), newType.isNull());
    QCOMPARE(m_fix->value("Punkts", p, "Type").toString(), newType.toString());
    QCOMPARE(m_fix->value("Punkts", p, "LAT").toString(), w.lat);
    QCOMPARE(m_fix->value("Punkts", p, "LON").toString(), w.lon);
    QCOMPARE(m_fix->value("Punkts", p, "MS").toDouble(), newMs);
}

void TestImportPln::navaidOfTheSamePlace_data()
{
    // Several catalogue rows of the plan's ident and type: which one serves.
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("found"); // the name of the catalogue row

    QTest::newRow("the row of the plan's region and position before a nearer one of another region")
        << "UU, ADN, , ADN, V, N57* 18.63', W2* 16.03', +000000.00, " << "exact";
    QTest::newRow("the nearer of two within 1 km") << "KK, ADN, , ADN, V, N57* 18.62', W2* 16.03', +000000.00, "
                                                   << "near";
    QTest::newRow("the one within 1 km, not the one beyond")
        << "KK, ADN, , ADN, V, N57* 20.00', W2* 16.03', +000000.00, " << "north";
}

void TestImportPln::navaidOfTheSamePlace()
{
    QFETCH(QString, line);
    QFETCH(QString, found);
    const auto add = [&](const char *region, const char *lat, const char *name) {
        test::Fixture::Waypoint w;
        w.region = region;
        w.id = "ADN";
        w.type = "VOR";
        w.lat = lat;
        w.lon = "W002*16.03";
        w.name = name;
        m_fix->addPunkt(w);
    };
    add("EG", "N57*18.70", "north of the exact one by 130 m"); // nearest to "exact" but of another region
    add("UU", "N57*18.63", "exact");
    add("EG", "N57*18.62", "near");
    add("EG", "N57*20.40", "north");
    const qint64 rowsBefore = m_fix->count("Punkts");
    const qint64 route = import(writePlan("plan.PLN", planBytes(planLines({kAirportLine, line}))));
    QVERIFY2(route > 0, qPrintable(m_prompter->texts().join('\n')));
    QCOMPARE(m_fix->value("Punkts", punktsOf(route).at(1), "Name").toString(), found);
    QCOMPARE(m_fix->count("Punkts"), rowsBefore + 1); // the airport only
}

void TestImportPln::waypointsOfUnknownTypeOrRegion_data()
{
    // Plans of other planners may not say a waypoint's type or region.
    using Type = interchange::PlanPointType;
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("regionKnown");
    QTest::addColumn<QString>("region");
    QTest::addColumn<QString>("lat"); // empty: no position
    QTest::addColumn<QString>("found"); // the catalogue row's name, or "new"

    QTest::newRow("unknown type at the VOR") << int(Type::Unknown) << false << "" << "N55*57.71" << "MR VOR";
    QTest::newRow("unknown type at the NDB of the same ident")
        << int(Type::Unknown) << false << "" << "N56*10.00" << "MR NDB";
    QTest::newRow("unknown type 5 km away") << int(Type::Unknown) << false << "" << "N56*00.40" << "new";
    QTest::newRow("unknown region, no position") << int(Type::Vor) << false << "" << "" << "MR VOR";
    QTest::newRow("known empty region, no position")
        << int(Type::Vor) << true << "" << "" << "Точка p1 файла plan.fms не найдена";
    QTest::newRow("unknown type and region, no position") << int(Type::Unknown) << false << "" << "" << "MR VOR";
}

void TestImportPln::waypointsOfUnknownTypeOrRegion()
{
    QFETCH(int, type);
    QFETCH(bool, regionKnown);
    QFETCH(QString, region);
    QFETCH(QString, lat);
    QFETCH(QString, found);
    m_fix->addPunkt({"MR", "N55*57.70", "E037*20.90", 0.0, "VOR", "UU", "MR VOR"});
    m_fix->addPunkt({"MR", "N56*10.00", "E037*20.90", 0.0, "NDB", "UU", "MR NDB"});
    const qint64 before = m_fix->count("Punkts");

    interchange::Plan plan;
    plan.fileName = "plan.fms";
    plan.routeName = "plan";
    interchange::PlanPoint airport{"UUEE", "", false, interchange::PlanPointType::Airport, "N55*58.36", "E037*24.88",
                                   622, "p0"};
    interchange::PlanPoint point{"mr", region, regionKnown, interchange::PlanPointType(type), lat,
                                 lat.isEmpty() ? QString() : QStringLiteral("E037*20.90"), 0, "p1"};
    plan.points = {airport, point};
    const qint64 route = interchange::importPlan(*m_session, plan, &m_owner);
    if (found.startsWith("Точка")) {
        QCOMPARE(route, 0);
        QVERIFY2(m_prompter->lastText().startsWith(found), qPrintable(m_prompter->lastText()));
        QCOMPARE(m_fix->count("Punkts"), before);
        return;
    }
    QVERIFY2(route > 0, qPrintable(m_prompter->texts().join('\n')));
    const qint64 p = punktsOf(route).at(1);
    if (found != "new") {
        QCOMPARE(m_fix->value("Punkts", p, "Name").toString(), found);
        QCOMPARE(m_fix->count("Punkts"), before + 1);
        return;
    }
    // A new waypoint of unknown type is one without type.
    QCOMPARE(m_fix->count("Punkts"), before + 2);
    QVERIFY(m_fix->value("Punkts", p, "Type").isNull());
    QCOMPARE(m_fix->value("Punkts", p, "ID").toString(), QString("mr"));
    QCOMPARE(m_fix->value("Punkts", p, "Region").toString(), QString(""));
}

void TestImportPln::lookupsUseTheIdentIndex_data()
{
    QTest::addColumn<QStringList>("idents");
    QTest::newRow("one") << QStringList{"UUEE"};
    QTest::newRow("several") << QStringList{"UUEE", "MR", "GOTIK"};
    QTest::newRow("Cyrillic and Latin") << QStringList{"ПЛ", "Кедр", "kk"};
}

void TestImportPln::lookupsUseTheIdentIndex()
{
    QFETCH(QStringList, idents);
    QVariantList values;
    const QString sql = interchange::catalogueLookupSql(idents, &values);
    QSqlQuery q(m_session->ADOC.sql());
    QVERIFY(q.prepare("EXPLAIN QUERY PLAN " + sql));
    for (const QVariant &v : std::as_const(values))
        q.addBindValue(v);
    QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    QString plan;
    while (q.next())
        plan += q.value(3).toString() + '\n';
    QVERIFY2(plan.contains("USING INDEX Punkts_ID_Region") || plan.contains("USING COVERING INDEX Punkts_ID_Region"),
             qPrintable(plan));
    QVERIFY2(!plan.contains("SCAN Punkts"), qPrintable(plan));
}

void TestImportPln::sameWaypointTwiceIsOneCatalogueRow()
{
    const QString mr = "UU, MR, , MR, V, N55* 57.70', E37* 20.90', +000000.00, ";
    const qint64 route = import(writePlan("twice.PLN", planBytes(planLines({kAirportLine, mr, mr, kAirportLine}))));
    QVERIFY(route > 0);
    const QList<qint64> punkts = punktsOf(route);
    QCOMPARE(punkts.size(), 4);
    QCOMPARE(punkts.at(1), punkts.at(2));
    QCOMPARE(punkts.at(0), punkts.at(3));
    QCOMPARE(m_fix->count("Punkts"), 2);
}

void TestImportPln::newWaypointsWithoutVariationTable()
{
    const qint64 known = m_fix->addPunkt({"MR", "N55*57.70", "E037*20.90", 9.9, "VOR", "UU", {}});
    m_session->settings.fsPath = m_folder->file("nowhere/");
    const qint64 route = import(writePlan(
        "plan.PLN", planBytes(planLines({kAirportLine, "UU, MR, , MR, V, N55* 57.70', E37* 20.90', +000000.00, "}))));
    QVERIFY(route > 0);
    const QList<qint64> punkts = punktsOf(route);
    QCOMPARE(m_fix->value("Punkts", punkts.at(0), "MS").toDouble(), 0.0);
    QCOMPARE(punkts.at(1), known);
    QCOMPARE(m_fix->value("Punkts", known, "MS").toDouble(), 9.9);
}

void TestImportPln::failedImportsStoreNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("trigger"); // a statement the database runs first
    QTest::addColumn<QString>("message");

    const QString mr = "UU, MR, , MR, V, N55* 57.70', E37* 20.90', +000000.00, ";
    const QString pl = "UL, PL, , PL, N, N59* 47.50', E30* 22.40', +0, ";
    QTest::newRow("empty line after the last waypoint")
        << toCp1251(planLines({kAirportLine, kAirportLine}).join("\r\n") + "\r\n\r\n") << ""
        << "Ошибка чтения файла bad.plan.PLN !";
    QTest::newRow("no waypoints") << planBytes(header()) << "" << "Ошибка чтения файла bad.plan.PLN !";
    QTest::newRow("empty file") << QByteArray() << "" << "Ошибка чтения файла bad.plan.PLN !";
    QTest::newRow("one waypoint") << planBytes(planLines({kAirportLine})) << ""
                                  << "Неправильный формат файла bad.plan.PLN !";
    QTest::newRow("altitude not a number")
        << planBytes(planLines({kAirportLine, mr, "UL, PL, , PL, N, N59* 47.50', E30* 22.40', abc, ", kAirportLine}))
        << "" << "Неверная высота \"abc\" в строке waypoint.2 файла bad.plan.PLN";
    QTest::newRow("a waypoint line missing") << planBytes(planLines({kAirportLine, mr}) + QStringList{"waypoint.3=" + mr})
                                             << "" << "Неверная широта \"\" в строке waypoint.2 файла bad.plan.PLN";
    QTest::newRow("NUL inside an ident")
        << planBytes(planLines({kAirportLine, mr,
                                QStringLiteral("UL, P") + QChar(0) + QStringLiteral("L, , PL, N, N59* 47.50', E30* 22.40', +0, "),
                                kAirportLine}))
        << "" << "Недопустимый управляющий символ (код 0) в строке waypoint.2 файла bad.plan.PLN";
    QTest::newRow("route row refused") << planBytes(planLines({kAirportLine, mr}))
                                       << "CREATE TRIGGER refuse BEFORE INSERT ON Routes BEGIN SELECT RAISE(ABORT, 'no'); END"
                                       << "Ошибка записи в таблицу [Routes]!\n\rВозможно, файл имеет неподдерживаемый формат";
    QTest::newRow("waypoint row refused after others were added")
        << planBytes(planLines({kAirportLine, mr, pl, kAirportLine}))
        << "CREATE TRIGGER refuse BEFORE INSERT ON Punkts WHEN NEW.ID = 'PL' BEGIN SELECT RAISE(ABORT, 'no'); END"
        << "Ошибка записи в таблицу [Punkts]!";
    QTest::newRow("route point refused")
        << planBytes(planLines({kAirportLine, mr, pl, kAirportLine}))
        << "CREATE TRIGGER refuse BEFORE INSERT ON Points WHEN NEW.Number = 3 BEGIN SELECT RAISE(ABORT, 'no'); END"
        << "Ошибка выполнения запроса [Points]!\r\nno";
    QTest::newRow("FlightSim Commander's plan") << readShared("negative/fsc_LIDT-LSZS_fscfp_ini_crlf.PLN") << ""
                                                << "Ошибка чтения файла bad.plan.PLN !";
}

void TestImportPln::failedImportsStoreNothing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, trigger);
    QFETCH(QString, message);
    // A catalogue and a route list that the failed import must leave as they are.
    m_fix->addPunkt({"UUEE", "N55*58.36", "E037*24.88", 11.0, "Airport", "UU", {}});
    m_fix->addRoute("Kept");
    QVERIFY(m_session->openRoutes());
    if (!trigger.isEmpty())
        exec(trigger);
    const QString path = writePlan("bad.plan.PLN", bytes);
    QCOMPARE(import(path), 0);
    QCOMPARE(m_prompter->messages().size(), 1);
    QCOMPARE(m_prompter->messages().first().kind, test::RecordingPrompter::Kind::Error);
    QCOMPARE(m_prompter->messages().first().owner, QString("TF_Main"));
    QVERIFY2(m_prompter->lastText().startsWith(message), qPrintable(m_prompter->lastText()));
    QCOMPARE(m_fix->count("Routes"), 1);
    QCOMPARE(m_fix->count("Points"), 0);
    QCOMPARE(m_fix->count("Punkts"), 1);
    QCOMPARE(m_session->QRoutes.rowCount(), 1);
    QCOMPARE(m_session->QRoutes.value(u"Name").toString(), QString("Kept"));
    QVERIFY(!m_session->ADOC.inTransaction());
}

void TestImportPln::controlCharacterInTheHeaderStoresNothing_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("error");
    QTest::newRow("NUL in the departure name") << "departure_name" << QStringLiteral("Sheremetyevo") + QChar(0) + "X"
                                              << "Недопустимый управляющий символ (код 0) в строке departure_name файла plan.PLN";
    QTest::newRow("escape in the destination ident") << "destination_id" << "UL\x1bLI, N59* 48.02', E30* 15.75'"
                                                     << "Недопустимый управляющий символ (код 27) в строке destination_id файла plan.PLN";
    QTest::newRow("DEL in the type") << "type" << "IF\x7fR"
                                     << "Недопустимый управляющий символ (код 127) в строке type файла plan.PLN";
}

void TestImportPln::controlCharacterInTheHeaderStoresNothing()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    QStringList head = header();
    for (QString &line : head)
        if (line.startsWith(key + '='))
            line = key + '=' + value;
    const QString path = writePlan("plan.PLN", planBytes(planLines({kAirportLine, kAirportLine}, head)));
    QCOMPARE(import(path), 0);
    QTEST(m_prompter->lastText(), "error");
    QCOMPARE(m_fix->count("Routes"), 0);
    QCOMPARE(m_fix->count("Punkts"), 0);
}

namespace {

// An XML plan of the FSX layout around the given waypoint elements.
QByteArray xmlPlanBytes(const QString &waypoints, const QString &head = {})
{
    return (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                           "<SimBase.Document Type=\"AceXML\" version=\"1,0\">\r\n"
                           "    <Descr>AceXML Document</Descr>\r\n"
                           "    <FlightPlan.FlightPlan>\r\n")
            + head + waypoints
            + QStringLiteral("    </FlightPlan.FlightPlan>\r\n</SimBase.Document>\r\n"))
        .toUtf8();
}

QString xmlWaypoint(const QString &id, const QString &type, const QString &position, const QString &region = {},
                    const QString &ident = {})
{
    QString xml = QStringLiteral("        <ATCWaypoint id=\"%1\">\r\n"
                                 "            <ATCWaypointType>%2</ATCWaypointType>\r\n")
                      .arg(id, type);
    if (!position.isNull())
        xml += QStringLiteral("            <WorldPosition>%1</WorldPosition>\r\n").arg(position);
    if (!region.isEmpty() || !ident.isEmpty()) {
        xml += QStringLiteral("            <ICAO>\r\n");
        if (!region.isEmpty())
            xml += QStringLiteral("                <ICAORegion>%1</ICAORegion>\r\n").arg(region);
        if (!ident.isEmpty())
            xml += QStringLiteral("                <ICAOIdent>%1</ICAOIdent>\r\n").arg(ident);
        xml += QStringLiteral("            </ICAO>\r\n");
    }
    return xml + QStringLiteral("        </ATCWaypoint>\r\n");
}

const QString kXmlAirports = xmlWaypoint("UUEE", "Airport", "N55° 58' 21.60\",E37° 24' 52.80\",+000622.00", {}, "UUEE")
    + xmlWaypoint("ULLI", "Airport", "N59° 48' 1.20\",E30° 15' 45.00\",+000078.00", {}, "ULLI");

} // namespace

void TestImportPln::xmlPlan()
{
    const QString head = QStringLiteral(
        "        <Title>UUEE to ULLI</Title>\r\n"
        "        <FPType>IFR</FPType>\r\n"
        "        <RouteType>HighAlt</RouteType>\r\n"
        "        <CruisingAlt>31000.000</CruisingAlt>\r\n"
        "        <DepartureID>UUEE</DepartureID>\r\n"
        "        <DepartureLLA>N55° 58' 21.60\",E37° 24' 52.80\",+000622.00</DepartureLLA>\r\n"
        "        <DestinationID>ULLI</DestinationID>\r\n"
        "        <DestinationLLA>N59° 48' 1.20\",E30° 15' 45.00\",+000078.00</DestinationLLA>\r\n"
        "        <Descr>UUEE, ULLI</Descr>\r\n"
        "        <DeparturePosition>24C</DeparturePosition>\r\n"
        "        <DepartureName>Шереметьево</DepartureName>\r\n"
        "        <DestinationName>Pulkovo</DestinationName>\r\n"
        "        <AppVersion>\r\n            <AppVersionMajor>10</AppVersionMajor>\r\n        </AppVersion>\r\n");
    const QString waypoints = xmlWaypoint("UUEE", "Airport", "N55° 58' 21.60\",E37° 24' 52.80\",+000622.00", {}, "UUEE")
        + xmlWaypoint("MR", "VOR", "N55° 57' 42.00\",E37° 20' 54.00\",+000000.00", "UU", "MR")
        + xmlWaypoint("GOTIK", "Intersection", "N56° 0' 0.00\",E38° 0' 0.00\",+000000.00", "UU")
        + xmlWaypoint("PL", "NDB", "S0° 0' 0.30\",W0° 0' 0.90\",-000012.00", "UL", "PL")
        + xmlWaypoint("ULLI", "Airport", "N59° 48' 1.20\",E30° 15' 45.00\",+000078.00", {}, "ULLI");
    const qint64 route = import(writePlan("Москва - Питер.pln", xmlPlanBytes(waypoints, head)));
    QVERIFY2(route > 0, qPrintable(m_prompter->texts().join('\n')));
    const QVariantMap expected{{"Name", "Москва - Питер"},
                               {"FL", 9449},
                               {"Type", "IFR"},
                               {"RouteType", 3},
                               {"AP_V", "UUEE"},
                               {"AP_P", "ULLI"},
                               {"Dep_ID", "UUEE, N55* 58.36', E37* 24.88', +000622.00"},
                               {"Dep_Name", "Шереметьево"},
                               {"Dep_Pos", "24C"},
                               {"Dest_ID", "ULLI, N59* 48.02', E30* 15.75', +000078.00"},
                               {"Dest_Name", "Pulkovo"}};
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(routeValue(route, it.key()).toString(), it.value().toString());
    QStringList rows;
    for (const qint64 p : punktsOf(route)) {
        QStringList cells;
        for (const char *column : {"Region", "ID", "Type", "LAT", "LON", "H"})
            cells << m_fix->value("Punkts", p, column).toString();
        rows << cells.join('|');
    }
    // 21.60" is 0.36', 0.30" is 0.005' (a half: to the even 0.00'), 0.90"
    // 0.015' (to 0.02'); the id names an intersection without ICAOIdent.
    QCOMPARE(rows, (QStringList{"|UUEE|Airport|N55*58.36|E037*24.88|622", "UU|MR|VOR|N55*57.70|E037*20.90|0",
                                "UU|GOTIK||N56*00.00|E038*00.00|0", "UL|PL|NDB|N00*00.00|W000*00.02|-12",
                                "|ULLI|Airport|N59*48.02|E030*15.75|78"}));
}

void TestImportPln::xmlPlanVariants_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("lat"); // of the second waypoint

    const QByteArray plain = xmlPlanBytes(xmlWaypoint("A", "User", "N55° 58' 21.60\",E37° 24' 52.80\",+000000.00")
                                     + kXmlAirports);
    QTest::newRow("UTF-8, CR LF") << plain << "N55*58.36";
    QTest::newRow("a byte-order mark") << QByteArray("\xEF\xBB\xBF") + plain << "N55*58.36";
    QTest::newRow("LF only") << QByteArray(plain).replace("\r\n", "\n") << "N55*58.36";
    QTest::newRow("no XML declaration")
        << plain.mid(plain.indexOf("<SimBase.Document")) << "N55*58.36";
    QTest::newRow("decimal commas, padded minutes and seconds")
        << xmlPlanBytes(xmlWaypoint("A", "User", "N55° 05' 01,80\",E037° 04' 52,80\",+000078,00") + kXmlAirports)
        << "N55*05.03";
    QTest::newRow("no altitude, an asterisk for the degree sign")
        << xmlPlanBytes(xmlWaypoint("A", "User", "N55* 58' 21.6\", E37* 24' 52.8\"") + kXmlAirports) << "N55*58.36";
}

void TestImportPln::xmlPlanVariants()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, lat);
    // Named .txt: the content, not the name, tells the format.
    const qint64 route = import(writePlan("plan.txt", bytes));
    QVERIFY2(route > 0, qPrintable(m_prompter->texts().join('\n')));
    const QList<qint64> punkts = punktsOf(route);
    QCOMPARE(punkts.size(), 3);
    QCOMPARE(m_fix->value("Punkts", punkts.at(0), "LAT").toString(), lat);
    QVERIFY(m_fix->value("Punkts", punkts.at(0), "Type").isNull());
    QCOMPARE(routeValue(route, "Name").toString(), QString("plan"));
}

void TestImportPln::xmlWaypointWithoutPosition_data()
{
    QTest::addColumn<QString>("waypoint");
    QTest::addColumn<QString>("found"); // the catalogue row's name, or the start of the message

    QTest::newRow("a VOR by ident, region and type")
        << xmlWaypoint("MR", "VOR", QString(), "UU", "MR") << "MR of UU";
    QTest::newRow("ident and region in other letter case")
        << xmlWaypoint("mr", "VOR", QString(), "uu") << "MR of UU";
    QTest::newRow("an empty WorldPosition") << xmlWaypoint("MR", "VOR", "", "UU", "MR") << "MR of UU";
    QTest::newRow("an airport by ident alone") << xmlWaypoint("UWWW", "Airport", QString(), {}, "UWWW") << "Kurumoch";
    QTest::newRow("another region")
        << xmlWaypoint("MR", "VOR", QString(), "UL", "MR")
        << "Точка ATCWaypoint 2 (MR) файла plan.PLN не найдена в каталоге пунктов, а ее координат в файле нет.";
    QTest::newRow("another type")
        << xmlWaypoint("MR", "NDB", QString(), "UU", "MR")
        << "Точка ATCWaypoint 2 (MR) файла plan.PLN не найдена в каталоге пунктов, а ее координат в файле нет.";
}

void TestImportPln::xmlWaypointWithoutPosition()
{
    QFETCH(QString, waypoint);
    QFETCH(QString, found);
    m_fix->addPunkt({"MR", "N55*57.70", "E037*20.90", 0.0, "VOR", "UU", "MR of UU"});
    m_fix->addPunkt({"MR", "N55*57.70", "E037*20.90", 0.0, "VOR", "UR", "MR of UR"});
    m_fix->addPunkt({"UWWW", "N53*30.28", "E050*09.30", 0.0, "Airport", "", "Kurumoch"});
    const QString airport = xmlWaypoint("UUEE", "Airport", "N55° 58' 21.60\",E37° 24' 52.80\",+000622.00", {}, "UUEE");
    const qint64 rowsBefore = m_fix->count("Punkts");
    const qint64 route = import(writePlan("plan.PLN", xmlPlanBytes(airport + waypoint + airport)));
    if (found.startsWith("Точка")) {
        QCOMPARE(route, 0);
        QVERIFY2(m_prompter->lastText().startsWith(found), qPrintable(m_prompter->lastText()));
        QCOMPARE(m_fix->count("Routes"), 0);
        QCOMPARE(m_fix->count("Punkts"), rowsBefore);
        return;
    }
    QVERIFY2(route > 0, qPrintable(m_prompter->texts().join('\n')));
    QCOMPARE(m_fix->value("Punkts", punktsOf(route).at(1), "Name").toString(), found);
    QCOMPARE(m_fix->count("Punkts"), rowsBefore + 1);
}

void TestImportPln::hostileXmlStoresNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message"); // the start of the message, or of its second line

    const QByteArray good = xmlPlanBytes(kXmlAirports);
    const QByteArray body = good.mid(good.indexOf("<SimBase.Document"));
    QTest::newRow("an internal entity")
        << QByteArray("<?xml version=\"1.0\"?>\n<!DOCTYPE SimBase.Document [<!ENTITY x \"UUEE\">]>\n") + body
        << "строка 2: объявления DTD и сущностей в плане не допускаются";
    QByteArray laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n<!ENTITY lol \"lol\">\n";
    for (int i = 1; i < 10; ++i)
        laughs += QStringLiteral("<!ENTITY lol%1 \"%2\">\n").arg(i).arg(QString("&lol%1;").arg(i - 1).repeated(10)).toUtf8();
    laughs += "]>\n<SimBase.Document><FlightPlan.FlightPlan><Title>&lol9;</Title></FlightPlan.FlightPlan></SimBase.Document>";
    QTest::newRow("a billion laughs") << laughs << "строка 13: объявления DTD";
    QTest::newRow("an external entity")
        << QByteArray("<?xml version=\"1.0\"?>\n<!DOCTYPE d [<!ENTITY e SYSTEM \"file:///etc/passwd\">]>\n")
               + QByteArray(body).replace("<Descr>AceXML Document</Descr>", "<Descr>&e;</Descr>")
        << "строка 2: объявления DTD";
    QTest::newRow("an undeclared entity") << QByteArray(good).replace("AceXML Document", "&e;")
                                          << "строка 3: это не правильно составленный XML";
    QTest::newRow("cut short") << good.left(good.size() / 2) << "строка ";
    QTest::newRow("cut after the last waypoint") << good.left(good.indexOf("</FlightPlan.FlightPlan>"))
                                                 << "строка ";
    QByteArray deep = "<?xml version=\"1.0\"?><SimBase.Document><FlightPlan.FlightPlan>";
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    QTest::newRow("nested a hundred thousand deep") << deep << "строка 1: элементы вложены глубже 32 уровней";
    QTest::newRow("not XML after its declaration") << QByteArray("<?xml version=\"1.0\"?>\n[flightplan]\n")
                                                   << "строка 2: ";
    QTest::newRow("no flight plan") << QByteArray("<?xml version=\"1.0\"?><SimBase.Document/>")
                                    << "нет элемента FlightPlan.FlightPlan";
    QTest::newRow("a waypoint's position is no position")
        << xmlPlanBytes(xmlWaypoint("A", "User", "N95° 0' 0.00\",E37° 0' 0.00\",+000000.00") + kXmlAirports)
        << "Неверные координаты \"N95° 0' 0.00\",E37° 0' 0.00\",+000000.00\" в ATCWaypoint 1 (A) файла plan.PLN";
    QTest::newRow("minutes of 60") << xmlPlanBytes(xmlWaypoint("A", "User", "N55° 60' 0.00\",E37° 0' 0.00\"") + kXmlAirports)
                                   << "Неверные координаты";
    QTest::newRow("a waypoint without ident") << xmlPlanBytes(xmlWaypoint("", "User", "N5° 0' 0\",E5° 0' 0\"") + kXmlAirports)
                                              << "Нет идентификатора (ни ICAOIdent, ни атрибута id) в ATCWaypoint 1 "
                                                 "файла plan.PLN";
    QTest::newRow("a control character in an ident")
        << xmlPlanBytes(xmlWaypoint("A&#x7F;B", "User", "N5° 0' 0\",E5° 0' 0\"") + kXmlAirports)
        << "Недопустимый управляющий символ (код 127) в ATCWaypoint 1 файла plan.PLN";
    QTest::newRow("one waypoint") << xmlPlanBytes(xmlWaypoint("UUEE", "Airport", "N5° 0' 0\",E5° 0' 0\""))
                                  << "Неправильный формат файла plan.PLN !";
    QTest::newRow("no waypoints") << xmlPlanBytes({}) << "Ошибка чтения файла plan.PLN !";
}

void TestImportPln::hostileXmlStoresNothing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    const QString readFailed = QStringLiteral("Ошибка чтения файла plan.PLN !\r\n");
    QCOMPARE(import(writePlan("plan.PLN", bytes)), 0);
    const QString text = m_prompter->lastText();
    QVERIFY2(text.startsWith(readFailed + message) || text.startsWith(message), qPrintable(text));
    QCOMPARE(m_fix->count("Routes"), 0);
    QCOMPARE(m_fix->count("Punkts"), 0);
}

void TestImportPln::realPlans_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("ids"); // the points' idents

    QTest::newRow("FS9, west longitudes") << "fs9_atools_EGPB-EISG_appver91_crlf.PLN"
                                          << QStringList{"EGPB", "WIK", "ADN", "GLESK", "ANGUS", "PTH",  "GRICE",
                                                         "FENIK", "TRN", "HERON", "MAC", "RUBEX", "EISG"};
    QTest::newRow("flight plan database, short form") << "reconstructed/fs9_fpdb_EGSH-EGBB_5field_noappver.PLN"
                                                      << QStringList{"EGSH", "MAM", "EGBB"};
    QTest::newRow("FS Navigator, short form unpadded") << "reconstructed/fs9_fsnavigator_LSGG-EGMC_6field_noappver.PLN"
                                                       << QStringList{"LSGG", "DJL", "TRO", "BSN", "BNE", "DVR", "EGMC"};
    QTest::newRow("FSX XML") << "negative/fsx_xml_LSZH-EIDW_utf8bom_crlf.PLN"
                             << QStringList{"LSZH",  "DITON", "HOC",   "NATLI", "LUL",   "IXILU", "RESPO", "RLP",
                                            "ROTSI", "KOTUN", "PODUK", "DIDOR", "IRBAL", "NITAR", "ABNUR", "DIMAL",
                                            "ALESO", "BIG",   "GOXUL", "LINDY", "NORRY", "CPT",   "KENET", "UGNUS",
                                            "OKTAD", "DOBEM", "TOPRO", "MEDOG", "LANON", "BADSI", "LIPGO", "EIDW"};
    QTest::newRow("MSFS XML, LF only, decimal commas")
        << "negative/msfs_xml_planG_LEJR_commadecimal_lf.PLN"
        << QStringList{"LEJR", "LEJR-E", "LEJR-G", "C0 W1", "C1 W2", "C2 W3", "C3 W4", "C4 W5", "C5 W6", "C6 W7",
                       "C7 W8", "LEJR-E", "LEJR"};
}

void TestImportPln::realPlans()
{
    QFETCH(QString, file);
    QFETCH(QStringList, ids);
    const qint64 route = import(sharedPlans() + file);
    QVERIFY2(route > 0, qPrintable(m_prompter->texts().join('\n')));
    QStringList imported;
    for (const qint64 p : punktsOf(route))
        imported.append(m_fix->value("Punkts", p, "ID").toString());
    QCOMPARE(imported, ids);
    // A route that calculates: every leg's values are stored.
    QVERIFY2(calc::CalculateRoute(*m_session, route, nullptr, &m_owner), qPrintable(m_prompter->texts().join('\n')));
    QVERIFY(!routeValue(route, "DateTime").isNull());
    QVERIFY(routeValue(route, "S").toDouble() > 0);
}

void TestImportPln::fs9PlanFindsTheWorldsNavaids()
{
    // The catalogue as the world's import leaves it around the FS9-written
    // plan: Wick VOR where the plan has it, Aberdeen 0.01' away, both of
    // region EG where the plan writes KK; an NDB MAC 3 km off.
    m_fix->addPunkt({"WIK", "N58*27.53", "W003*06.02", 0.0, "VOR", "EG", "Wick"});
    m_fix->addPunkt({"ADN", "N57*18.62", "W002*16.03", 0.0, "VOR", "EG", "Aberdeen"});
    m_fix->addPunkt({"MAC", "N55*27.40", "W005*39.02", 0.0, "NDB", "EG", "Machrihanish, 3 km off"});
    m_fix->addPunkt({"EGPB", "N59*52.73", "W001*17.72", 0.0, "Airport", "", "Sumburgh"});
    const qint64 before = m_fix->count("Punkts");
    const qint64 route = import(sharedPlans() + "fs9_atools_EGPB-EISG_appver91_crlf.PLN");
    QVERIFY2(route > 0, qPrintable(m_prompter->texts().join('\n')));
    const QList<qint64> punkts = punktsOf(route);
    QStringList names;
    for (const int i : {0, 1, 2, 10})
        names << m_fix->value("Punkts", punkts.at(i), "Name").toString();
    QCOMPARE(names, (QStringList{"Sumburgh", "Wick", "Aberdeen", ""}));
    // Every other waypoint is new, MAC among them.
    QCOMPARE(m_fix->count("Punkts"), before + 13 - 3);
}

void TestImportPln::damagedPlansNeitherCrashNorStoreBadWaypoints()
{
    QFile sample(QStringLiteral(KX_SOURCE_DIR "/data/plans/UUEE-URSS.PLN"));
    QVERIFY(sample.open(QIODevice::ReadOnly));
    const QByteArray original = sample.readAll();
    const QList<QByteArray> lines = original.split('\n');

    QRandomGenerator random(20261210);
    const auto noise = [&](int length, const char *alphabet) {
        QByteArray bytes;
        const int size = int(qstrlen(alphabet));
        for (int i = 0; i < length; ++i)
            bytes.append(alphabet[random.bounded(size)]);
        return bytes;
    };
    const auto garbage = [&](int length) { return noise(length, "UNEWAVI*.,' =+-0123456789\r\xC0\xFF\x98waypoint.[]"); };
    int stored = 0;
    for (int round = 0; round < 250; ++round) {
        QByteArray bytes;
        switch (round % 5) {
        case 0: // cut anywhere
            bytes = original.left(random.bounded(original.size() + 1));
            break;
        case 1: { // one line replaced by noise
            QList<QByteArray> changed = lines;
            changed[random.bounded(changed.size())] = garbage(random.bounded(80));
            bytes = changed.join('\n');
            break;
        }
        case 2: { // a waypoint value cut short or its characters shuffled
            QList<QByteArray> changed = lines;
            const int at = 12 + random.bounded(6);
            QByteArray &line = changed[at];
            if (random.bounded(2))
                line.truncate(random.bounded(line.size() + 1));
            else
                for (int i = 0; i < 6; ++i)
                    std::swap(line[random.bounded(line.size())], line[random.bounded(line.size())]);
            bytes = changed.join('\n');
            break;
        }
        case 3: { // a position that is no position, the other fields intact
            QList<QByteArray> changed = lines;
            QByteArray &line = changed[12 + random.bounded(6)];
            QList<QByteArray> fields = line.split(',');
            fields[5 + random.bounded(2)] = noise(random.bounded(14), "NSEW*.' 0123456789");
            line = fields.join(',');
            bytes = changed.join('\n');
            break;
        }
        default: // noise throughout
            bytes = garbage(random.bounded(600));
            break;
        }
        const QString path = writePlan(QStringLiteral("fuzz%1.PLN").arg(round), bytes);
        const qint64 routesBefore = m_fix->count("Routes");
        const qint64 route = import(path);
        stored += route > 0;
        // A plan is stored whole or not at all.
        QCOMPARE(m_fix->count("Routes"), routesBefore + (route > 0 ? 1 : 0));
        QCOMPARE(m_busy.depth, 0);
        QVERIFY(!m_session->ADOC.inTransaction());
    }

    QSqlQuery q(m_session->ADOC.sql());
    QVERIFY(q.exec("SELECT LAT, LON, H FROM Punkts"));
    int rows = 0;
    while (q.next()) {
        ++rows;
        QVERIFY2(interchange::isCoordinateText(q.value(0).toString(), true), qPrintable(q.value(0).toString()));
        QVERIFY2(interchange::isCoordinateText(q.value(1).toString(), false), qPrintable(q.value(1).toString()));
        QVERIFY(std::isfinite(q.value(2).toDouble()));
    }
    QVERIFY(stored > 0); // some damaged plans still carried a whole plan
    QVERIFY(rows > 0);
    QVERIFY(q.exec("SELECT count(*) FROM Points LEFT JOIN Punkts ON Points.Punkt = Punkts.Code "
                   "WHERE Punkts.Code IS NULL"));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 0);
    QVERIFY(q.exec("SELECT count(*) FROM Routes WHERE Code NOT IN (SELECT Route FROM Points)"));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 0);
}

void TestImportPln::controlCharactersNeverReachTheDatabase()
{
    // The sample plan with control bytes put anywhere in its lines: what is
    // stored holds none (other programs cut a text at a NUL), and a plan
    // whose stored texts would hold one is refused whole.
    QFile sample(QStringLiteral(KX_SOURCE_DIR "/data/plans/UUEE-URSS.PLN"));
    QVERIFY(sample.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = sample.readAll().split('\n');
    QRandomGenerator random(20261210);
    const QByteArray controls("\x00\x01\x08\x09\x0b\x0c\x1b\x1f\x7f", 9);
    int refused = 0;
    for (int round = 0; round < 150; ++round) {
        QList<QByteArray> changed = lines;
        for (int i = random.bounded(1, 4); i > 0; --i) {
            QByteArray &line = changed[random.bounded(changed.size())];
            line.insert(random.bounded(line.size() + 1), controls.at(random.bounded(controls.size())));
        }
        m_prompter->clear();
        if (import(writePlan(QStringLiteral("plan%1.PLN").arg(round), changed.join('\n'))) == 0)
            refused += m_prompter->lastText().startsWith(QStringLiteral("Недопустимый управляющий символ"));
        QCOMPARE(m_busy.depth, 0);
        QVERIFY(!m_session->ADOC.inTransaction());
    }
    QVERIFY(refused > 0);
    QSqlQuery q(m_session->ADOC.sql());
    const QString texts = QStringLiteral(
        "SELECT ifnull(Name, '') || ifnull(Type, '') || ifnull(AP_V, '') || ifnull(AP_P, '') || ifnull(Dep_ID, '') "
        "|| ifnull(Dep_Name, '') || ifnull(Dep_Pos, '') || ifnull(Dest_ID, '') || ifnull(Dest_Name, '') FROM Routes "
        "UNION ALL SELECT ifnull(Region, '') || ifnull(ID, '') || ifnull(Type, '') || ifnull(LAT, '') || ifnull(LON, '') "
        "FROM Punkts");
    QVERIFY(q.exec(texts));
    int rows = 0;
    while (q.next()) {
        ++rows;
        const QString text = q.value(0).toString();
        QVERIFY2(interchange::firstControlCharacter(text) < 0, qPrintable(text.toUtf8().toPercentEncoding()));
    }
    QVERIFY(rows > 0);
}

QTEST_GUILESS_MAIN(TestImportPln)
#include "tst_importpln.moc"
