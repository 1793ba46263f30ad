#include "Fixture.h"
#include "RecordingPrompter.h"
#include "SessionTest.h"
#include "TestFolder.h"

#include "base/Busy.h"
#include "base/Cp1251.h"
#include "base/Error.h"
#include "interchange/ImportPln.h"
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

QString sharedPlans()
{
    return QStringLiteral(KX_SHARED_DIR "/testdata/pln/");
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
    void lookupsUseTheIdentIndex_data();
    void lookupsUseTheIdentIndex();
    void sameWaypointTwiceIsOneCatalogueRow();
    void newWaypointsWithoutVariationTable();
    void planWithoutWaypointsKeepsTheRoute_data();
    void planWithoutWaypointsKeepsTheRoute();
    void routeRowRefused();
    void waypointRowRefused();
    void failuresForTheErrorDisplayKeepEarlierRows_data();
    void failuresForTheErrorDisplayKeepEarlierRows();
    void controlCharacterInTheHeaderStoresNothing_data();
    void controlCharacterInTheHeaderStoresNothing();
    void unreadableFileKeepsTheRouteRow();
    void realPlans_data();
    void realPlans();
    void damagedPlansNeitherCrashNorStoreBadWaypoints();
    void controlCharactersNeverReachTheDatabase();

private:
    QString writePlan(const QString &name, const QByteArray &bytes);
    qint64 import(const QString &path);
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
    QTest::newRow("VOR 0.01 minute away") << "UU, MR, , MR, V, N55* 57.71', E37* 20.90', +000000.00, " << ""
                                          << QVariant("VOR") << moscow;
    QTest::newRow("VOR of another region") << "UL, MR, , MR, V, N55* 57.70', E37* 20.90', +000000.00, " << ""
                                           << QVariant("VOR") << moscow;
    QTest::newRow("'_' is no wildcard") << "UU, M_, , M_, V, N55* 57.70', E37* 20.90', +000000.00, " << ""
                                        << QVariant("VOR") << moscow;
    QTest::newRow("NDB") << "UL, PL, , PL, N, N59* 47.50', E30* 22.40', +000000.00, " << "PL" << QVariant() << 0.0;
    QTest::newRow("NDB named as a VOR") << "UL, PL, , PL, V, N59* 47.50', E30* 22.40', +000000.00, " << ""
                                        << QVariant("VOR") << pulkovo;
    QTest::newRow("I matches a row without type") << "UU, GOTIK, , GOTIK, I, N56* 00.00', E38* 00.00', +000000.00, "
                                                  << "GOTIK" << QVariant() << 0.0;
    QTest::newRow("any other letter too") << "UU, GOTIK, , GOTIK, W, N56* 00.00', E38* 00.00', +000000.00, "
                                          << "GOTIK" << QVariant() << 0.0;
    QTest::newRow("a blank type too") << "UU, GOTIK, , GOTIK, , N56* 00.00', E38* 00.00', +000000.00, " << "GOTIK"
                                      << QVariant() << 0.0;
    QTest::newRow("I never matches a typed row") << "UU, MR, , MR, I, N55* 57.70', E37* 20.90', +000000.00, " << ""
                                                 << none << moscow;
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

void TestImportPln::lookupsUseTheIdentIndex_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("airport") << kAirportLine;
    QTest::newRow("VOR") << "UU, MR, , MR, V, N55* 57.70', E37* 20.90', +000000.00, ";
    QTest::newRow("intersection") << "UU, GOTIK, , GOTIK, I, N56* 00.00', E38* 00.00', +000000.00, ";
}

void TestImportPln::lookupsUseTheIdentIndex()
{
    QFETCH(QString, line);
    const interchange::PlanWaypoint w = interchange::parseWaypointLine(line);
    QVariantList values;
    const QString sql = interchange::catalogueLookupSql(w, &values);
    QSqlQuery q(m_session->ADOC.sql());
    QVERIFY(q.prepare("EXPLAIN QUERY PLAN " + sql));
    for (const QVariant &v : std::as_const(values))
        q.addBindValue(v);
    QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    QString plan;
    while (q.next())
        plan += q.value(3).toString() + '\n';
    QVERIFY2(plan.contains("USING INDEX Punkts_ID_Region"), qPrintable(plan));
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

void TestImportPln::planWithoutWaypointsKeepsTheRoute_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty line after the last waypoint")
        << toCp1251(planLines({kAirportLine, kAirportLine}).join("\r\n") + "\r\n\r\n")
        << "Ошибка чтения файла bad.plan.PLN !";
    QTest::newRow("no waypoints") << planBytes(header()) << "Ошибка чтения файла bad.plan.PLN !";
    QTest::newRow("empty file") << QByteArray() << "Ошибка чтения файла bad.plan.PLN !";
    QTest::newRow("one waypoint") << planBytes(planLines({kAirportLine}))
                                  << "Неправильный формат файла bad.plan.PLN !";
}

void TestImportPln::planWithoutWaypointsKeepsTheRoute()
{
    QFETCH(QByteArray, bytes);
    QCOMPARE(import(writePlan("bad.plan.PLN", bytes)), 0);
    QCOMPARE(m_prompter->messages().size(), 1);
    QCOMPARE(m_prompter->messages().first().kind, test::RecordingPrompter::Kind::Error);
    QCOMPARE(m_prompter->messages().first().owner, QString("TF_Main"));
    QTEST(m_prompter->lastText(), "message");
    const qint64 route = lastRoute();
    QVERIFY(route > 0);
    QCOMPARE(routeValue(route, "Name").toString(), QString("bad.plan"));
    QCOMPARE(m_fix->count("Points"), 0);
    QCOMPARE(m_fix->count("Punkts"), 0);
    QCOMPARE(m_session->currentRouteCode().toLongLong(), route);
}

void TestImportPln::routeRowRefused()
{
    m_fix->addRoute("Kept");
    QVERIFY(m_session->openRoutes());
    exec("CREATE TRIGGER refuse BEFORE INSERT ON Routes BEGIN SELECT RAISE(ABORT, 'refused'); END");
    const QString path = writePlan("plan.PLN", planBytes(planLines({kAirportLine, kAirportLine})));
    QCOMPARE(import(path), 0);
    QCOMPARE(m_prompter->texts(),
             QStringList{"Ошибка записи в таблицу [Routes]!\n\rВозможно, файл имеет неподдерживаемый формат"});
    QCOMPARE(m_prompter->messages().first().owner, QString("TF_Main"));
    QCOMPARE(m_fix->count("Routes"), 1);
    QCOMPARE(m_fix->count("Punkts"), 0);
    QCOMPARE(m_session->QRoutes.rowCount(), 1);
    QCOMPARE(m_session->QRoutes.value(u"Name").toString(), QString("Kept"));
    QVERIFY(!m_session->ADOC.inTransaction());
}

void TestImportPln::waypointRowRefused()
{
    m_fix->addPunkt({"UUEE", "N55*58.36", "E037*24.88", 11.0, "Airport", "UU", {}});
    exec("CREATE TRIGGER refuse BEFORE INSERT ON Punkts BEGIN SELECT RAISE(ABORT, 'refused'); END");
    const QString path = writePlan(
        "plan.PLN", planBytes(planLines({kAirportLine, kAirportLine, "UL, PL, , PL, N, N59* 47.50', E30* 22.40', +0, ",
                                         kAirportLine})));
    QCOMPARE(import(path), 0);
    QCOMPARE(m_prompter->texts(), QStringList{"Ошибка записи в таблицу [Punkts]!"});
    QCOMPARE(m_prompter->messages().first().owner, QString("TF_Main"));
    const qint64 route = lastRoute();
    QCOMPARE(punktsOf(route).size(), 2);
    QCOMPARE(m_fix->count("Punkts"), 1);
    QVERIFY(!m_session->ADOC.inTransaction());
}

void TestImportPln::failuresForTheErrorDisplayKeepEarlierRows_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QString>("error"); // the start of the error's text
    QTest::addColumn<int>("catalogueRows");

    const QString mr = "UU, MR, , MR, V, N55* 57.70', E37* 20.90', +000000.00, ";
    QTest::newRow("altitude not a number")
        << planLines({kAirportLine, mr, "UL, PL, , PL, N, N59* 47.50', E30* 22.40', abc, ", kAirportLine}) << ""
        << "Неверная высота \"abc\" в строке waypoint.2 файла plan.PLN" << 2;
    QTest::newRow("third-party short line")
        << planLines({kAirportLine, mr, "PL, N, N59* 47.50', E30* 22.40', +000000.00,", kAirportLine}) << ""
        << "Неверная широта \"\" в строке waypoint.2 файла plan.PLN" << 2;
    QTest::newRow("a waypoint line missing") << planLines({kAirportLine, mr}) + QStringList{"waypoint.3=" + mr} << ""
                                             << "Неверная широта \"\" в строке waypoint.2 файла plan.PLN" << 2;
    QTest::newRow("NUL inside an ident")
        << planLines({kAirportLine, mr, QStringLiteral("UL, P") + QChar(0) + QStringLiteral("L, , PL, N, N59* 47.50', E30* 22.40', +0, "), kAirportLine})
        << "" << "Недопустимый управляющий символ (код 0) в строке waypoint.2 файла plan.PLN" << 2;
    QTest::newRow("route point refused")
        << planLines({kAirportLine, mr, "UL, PL, , PL, N, N59* 47.50', E30* 22.40', +0, ", kAirportLine})
        << "CREATE TRIGGER refuse BEFORE INSERT ON Points WHEN NEW.Number = 3 BEGIN SELECT RAISE(ABORT, 'no'); END"
        << "Ошибка выполнения запроса [Points]!\r\nno" << 3;
}

void TestImportPln::failuresForTheErrorDisplayKeepEarlierRows()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, trigger);
    QFETCH(QString, error);
    if (!trigger.isEmpty())
        exec(trigger);
    const QString path = writePlan("plan.PLN", planBytes(lines));
    try {
        import(path);
        QFAIL("no error for the error display");
    } catch (const Error &e) {
        QVERIFY2(e.text().startsWith(error), qPrintable(e.text()));
    }
    QVERIFY(m_prompter->messages().isEmpty());
    QCOMPARE(punktsOf(lastRoute()).size(), 2);
    QTEST(int(m_fix->count("Punkts")), "catalogueRows");
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
    QFETCH(QString, error);
    QStringList head = header();
    for (QString &line : head)
        if (line.startsWith(key + '='))
            line = key + '=' + value;
    const QString path = writePlan("plan.PLN", planBytes(planLines({kAirportLine, kAirportLine}, head)));
    try {
        import(path);
        QFAIL("no error for the error display");
    } catch (const Error &e) {
        QCOMPARE(e.text(), error);
    }
    QCOMPARE(m_fix->count("Routes"), 0);
    QCOMPARE(m_fix->count("Punkts"), 0);
    QVERIFY(m_prompter->messages().isEmpty());
}

void TestImportPln::unreadableFileKeepsTheRouteRow()
{
    QVERIFY_THROWS_EXCEPTION(Error, import(m_folder->file("missing.PLN")));
    const qint64 route = lastRoute();
    QVERIFY(route > 0);
    QCOMPARE(routeValue(route, "Name").toString(), QString("missing"));
    QCOMPARE(routeValue(route, "FL").toInt(), 0);
    QCOMPARE(m_fix->count("Points"), 0);
}

void TestImportPln::realPlans_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("ids"); // the points' idents; empty when the import stops
    QTest::addColumn<QString>("message"); // its message, or the start of the error's text

    QTest::newRow("FS9, west longitudes") << "fs9_atools_EGPB-EISG_appver91_crlf.PLN"
                                          << QStringList{"EGPB", "WIK", "ADN", "GLESK", "ANGUS", "PTH",  "GRICE",
                                                         "FENIK", "TRN", "HERON", "MAC", "RUBEX", "EISG"}
                                          << "";
    QTest::newRow("flight plan database, five fields") << "reconstructed/fs9_fpdb_EGSH-EGBB_5field_noappver.PLN"
                                                       << QStringList{} << "Неверная широта \"\" в строке waypoint.0";
    QTest::newRow("FS Navigator, six fields") << "reconstructed/fs9_fsnavigator_LSGG-EGMC_6field_noappver.PLN"
                                              << QStringList{} << "Неверная широта \"\" в строке waypoint.0";
    QTest::newRow("FlightSim Commander") << "negative/fsc_LIDT-LSZS_fscfp_ini_crlf.PLN" << QStringList{}
                                         << "Ошибка чтения файла fsc_LIDT-LSZS_fscfp_ini_crlf.PLN !";
    QTest::newRow("FSX XML") << "negative/fsx_xml_LSZH-EIDW_utf8bom_crlf.PLN" << QStringList{}
                             << "Ошибка чтения файла fsx_xml_LSZH-EIDW_utf8bom_crlf.PLN !";
    QTest::newRow("MSFS XML, LF only") << "negative/msfs_xml_planG_LEJR_commadecimal_lf.PLN" << QStringList{}
                                       << "Ошибка чтения файла msfs_xml_planG_LEJR_commadecimal_lf.PLN !";
}

void TestImportPln::realPlans()
{
    QFETCH(QString, file);
    QFETCH(QStringList, ids);
    QFETCH(QString, message);
    if (!QDir(sharedPlans()).exists())
        QSKIP(qPrintable(QStringLiteral("optional cases skipped, no %1").arg(sharedPlans())));

    QString error;
    qint64 route = 0;
    try {
        route = import(sharedPlans() + file);
    } catch (const Error &e) {
        error = e.text();
    }
    if (!ids.isEmpty()) {
        QVERIFY2(route > 0, qPrintable(error + m_prompter->texts().join('\n')));
        QList<QString> imported;
        for (const qint64 p : punktsOf(route))
            imported.append(m_fix->value("Punkts", p, "ID").toString());
        QCOMPARE(imported, ids);
        return;
    }
    QCOMPARE(route, 0);
    QVERIFY(lastRoute() > 0);
    QCOMPARE(m_fix->count("Points"), 0);
    QCOMPARE(m_fix->count("Punkts"), 0);
    if (error.isEmpty())
        QCOMPARE(m_prompter->lastText(), message);
    else
        QVERIFY2(error.startsWith(message), qPrintable(error));
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
        try {
            import(path);
        } catch (const Error &) {
        }
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
    QVERIFY(rows > 0); // some damaged plans still carried good waypoints
    QVERIFY(q.exec("SELECT count(*) FROM Points LEFT JOIN Punkts ON Points.Punkt = Punkts.Code "
                   "WHERE Punkts.Code IS NULL"));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 0);
}

void TestImportPln::controlCharactersNeverReachTheDatabase()
{
    // The sample plan with control bytes put anywhere in its lines: what is
    // stored holds none (other programs cut a text at a NUL), and the rest of
    // each plan is imported as far as it goes.
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
        try {
            import(writePlan(QStringLiteral("plan%1.PLN").arg(round), changed.join('\n')));
        } catch (const Error &e) {
            refused += e.text().startsWith(QStringLiteral("Недопустимый управляющий символ"));
        }
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
