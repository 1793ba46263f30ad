// The catalogue layer of the map: the R*Tree of the waypoints' positions kept
// up to date with every change of the catalogue (by the program or any other
// SQLite client), a view's waypoints read from it at world size exactly as a
// look at every row would find them, and the thinning by importance.
#include "BuildMachineTools.h"
#include "SessionTest.h"
#include "TestFolder.h"

#include "map/core/CatalogueIndex.h"
#include "geo/DecimalCoord.h"
#include "map/core/MapRenderer.h"
#include "map/core/MapScene.h"
#include "map/core/MapView.h"
#include "store/Statement.h"
#include "store/Transaction.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QtTest>

using namespace kx;
using namespace kx::map;

namespace {

struct Row
{
    qint64 code;
    double lat;
    double lon;
    int rank;
};

QSet<qint64> codesOf(const QList<CataloguePoint> &points)
{
    QSet<qint64> codes;
    for (const CataloguePoint &p : points)
        codes.insert(p.code);
    return codes;
}

bool inBoxes(const QList<GeoBox> &boxes, double lat, double lon, double slack)
{
    for (const GeoBox &b : boxes)
        if (lat >= b.south - slack && lat <= b.north + slack && lon >= b.west - slack && lon <= b.east + slack)
            return true;
    return false;
}

RouteMap routeAt(geo::GeoPoint centre)
{
    RouteMap route;
    MapPoint p;
    p.number = 1;
    p.id = QStringLiteral("C");
    p.position = centre;
    route.points = {p};
    return route;
}

} // namespace

class TestCatalogueIndex : public test::SessionTest
{
    Q_OBJECT
private slots:
    void init() { QVERIFY(openSession()); }
    void cleanup() { closeSession(); }

    void followsEveryChangeOfTheCatalogue();
    void rankOfAWaypoint_data();
    void rankOfAWaypoint();
    void worldSizeViews_data();
    void worldSizeViews();
    void thinnedByImportance();

private:
    QList<CataloguePoint> readAll(int maxRank = kRankIntersection)
    {
        QList<CataloguePoint> points;
        QString why;
        [&] { QVERIFY2(catalogueindex::read(m_session->ADOC, {GeoBox()}, maxRank, &points, &why), qPrintable(why)); }();
        return points;
    }
    void refresh()
    {
        QString why;
        QVERIFY2(catalogueindex::refresh(m_session->ADOC, &why), qPrintable(why));
        QCOMPARE(m_fix->count(QStringLiteral("PunktsAreaStale")), 0);
    }
    void sql(const QString &statement)
    {
        QSqlQuery q(m_session->ADOC.sql());
        QVERIFY2(q.exec(statement), qPrintable(statement));
    }
    // The world's catalogue: airports, navaids and intersections everywhere,
    // denser over Europe, as an import of the world leaves it.
    static QList<Row> world(store::Database &db, int count);

    // One world for all the views, made at the first.
    std::unique_ptr<test::TestFolder> m_worldFolder;
    std::unique_ptr<store::Database> m_world;
    QList<Row> m_worldRows;
};

void TestCatalogueIndex::followsEveryChangeOfTheCatalogue()
{
    const qint64 moscow = m_fix->addPunkt({"UUEE", "N55*58.36", "E037*24.88", 9.5, "Airport", "", "Шереметьево"});
    const qint64 ndb = m_fix->addPunkt({"DE", "N55*22.00", "E037*58.70", 9.4, "NDB", "UU", ""});
    const qint64 unreadable = m_fix->addPunkt({"BAD", "N5522.00", "E037*58.70", 9.4, QVariant(), "UU", ""});
    const qint64 gone = m_fix->addPunkt({"GONE", "S33*56.80", "W118*24.50", 0.0, "VOR", "K2", ""});
    QCOMPARE(m_fix->count(QStringLiteral("PunktsAreaStale")), 4);
    refresh();
    QList<CataloguePoint> all = readAll();
    QCOMPARE(codesOf(all), (QSet<qint64>{moscow, ndb, gone}));
    for (const CataloguePoint &p : all)
        if (p.code == gone) {
            QVERIFY(std::abs(p.position.lat + (33 + 56.8 / 60)) < 1e-5);
            QVERIFY(std::abs(p.position.lon + (118 + 24.5 / 60)) < 1e-5);
            QCOMPARE(p.kind, CatalogueKind::Vor);
            QCOMPARE(p.id, QStringLiteral("GONE"));
        }

    // Moved, given another type, deleted, mended: each is where it is now.
    sql(QStringLiteral("UPDATE Punkts SET LAT = 'N60*00.00', Type = 'VOR' WHERE Code = %1").arg(ndb));
    sql(QStringLiteral("DELETE FROM Punkts WHERE Code = %1").arg(gone));
    sql(QStringLiteral("UPDATE Punkts SET LAT = 'N55*22.00' WHERE Code = %1").arg(unreadable));
    // A change of what the map does not show is no change for it.
    sql(QStringLiteral("UPDATE Punkts SET Name = 'Sheremetyevo', MS = 10.0"));
    QCOMPARE(m_fix->count(QStringLiteral("PunktsAreaStale")), 3);
    refresh();
    all = readAll();
    QCOMPARE(codesOf(all), (QSet<qint64>{moscow, ndb, unreadable}));
    for (const CataloguePoint &p : all)
        if (p.code == ndb) {
            QCOMPARE(p.position.lat, 60.0);
            QCOMPARE(p.kind, CatalogueKind::Vor);
        }

    // A row another SQLite client writes, with no extension of its own.
    KX_NEEDS_BUILD_MACHINE_TOOL("the sqlite3 shell");
    QProcess shell;
    shell.start(QStandardPaths::findExecutable(QStringLiteral("sqlite3")),
                {QStringLiteral("-batch"), QStringLiteral("-bail"), m_session->databasePath()});
    shell.write("INSERT INTO Punkts (ID, Region, Type, LAT, LON, MS) VALUES ('NEW', 'UU', 'NDB', 'N56*00.00', "
                "'E038*00.00', 10.0);\n");
    shell.closeWriteChannel();
    QVERIFY(shell.waitForFinished(60000));
    QCOMPARE(shell.exitCode(), 0);
    QCOMPARE(shell.readAllStandardError(), QByteArray());
    refresh();
    QCOMPARE(readAll().size(), 4);
}

void TestCatalogueIndex::rankOfAWaypoint_data()
{
    QTest::addColumn<QVariant>("type");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QVariant>("atis");
    QTest::addColumn<int>("rank");
    QTest::newRow("ICAO airport with ATIS") << QVariant("Airport") << "UUEE" << QVariant(128.3) << int(kRankMajorAirport);
    QTest::newRow("ICAO airport") << QVariant("Airport") << "uuww" << QVariant() << int(kRankAirport);
    QTest::newRow("airport by a local code") << QVariant("Airport") << "RU-0042" << QVariant(120.1)
                                             << int(kRankMinorAirport);
    QTest::newRow("three letters") << QVariant("Airport") << "ABC" << QVariant() << int(kRankMinorAirport);
    QTest::newRow("VOR") << QVariant("VOR") << "ADL" << QVariant() << int(kRankVor);
    QTest::newRow("NDB") << QVariant("ndb") << "SB" << QVariant() << int(kRankNdb);
    QTest::newRow("intersection") << QVariant() << "RATIN" << QVariant() << int(kRankIntersection);
}

void TestCatalogueIndex::rankOfAWaypoint()
{
    QFETCH(QVariant, type);
    QFETCH(QString, id);
    QFETCH(QVariant, atis);
    QFETCH(int, rank);
    QCOMPARE(catalogueRank(type, id, atis), rank);
    // Zooming in shows more and more, never less.
    QCOMPARE(maxRankAt(rankMinScale(rank)) >= rank, true);
    if (rank > 0)
        QVERIFY(maxRankAt(rankMinScale(rank) * 0.99) < rank);
}

QList<Row> TestCatalogueIndex::world(store::Database &db, int count)
{
    QList<Row> rows;
    QRandomGenerator random(20261211);
    store::Transaction transaction(db);
    store::Statement insert(db,
                            QStringLiteral("INSERT INTO Punkts (ID, Region, Type, ATIS, LAT, LON, MS) VALUES (?, ?, ?, ?, ?, ?, 0)"));
    const QVariant types[] = {QStringLiteral("Airport"), QStringLiteral("Airport"), QStringLiteral("Airport"),
                              QStringLiteral("VOR"), QStringLiteral("NDB"), QVariant()};
    for (int i = 0; i < count; ++i) {
        const bool europe = i % 3 == 0;
        const double lat = europe ? 35 + random.generateDouble() * 35 : random.generateDouble() * 170 - 85;
        const double lon = europe ? -10 + random.generateDouble() * 50 : random.generateDouble() * 360 - 180;
        const QVariant type = types[random.bounded(6)];
        const QString id = type.toString() == u"Airport" && i % 2 ? QStringLiteral("%1").arg(i, 6, 36).toUpper().replace(u' ', u'X').right(4)
                                                                   : QStringLiteral("P%1").arg(i);
        const QVariant atis = i % 5 == 0 ? QVariant(120.5) : QVariant();
        const QString latText = geo::latitudeText(lat), lonText = geo::longitudeText(lon);
        [&] { QVERIFY2(insert.exec({id, QStringLiteral("XX"), type, atis, latText, lonText}), qPrintable(insert.lastError())); }();
        const qint64 code = insert.lastInsertId().toLongLong();
        // Where the texts put it, as the program reads them.
        const auto readBack = [](const QString &text) {
            const double degrees = text.mid(1, text.indexOf(u'*') - 1).toDouble() + text.mid(text.indexOf(u'*') + 1).toDouble() / 60;
            return text.startsWith(u'S') || text.startsWith(u'W') ? -degrees : degrees;
        };
        rows.append({code, readBack(latText), readBack(lonText), catalogueRank(type, id, atis)});
    }
    [&] { QVERIFY(transaction.commit()); }();
    return rows;
}

void TestCatalogueIndex::worldSizeViews_data()
{
    QTest::addColumn<double>("lat");
    QTest::addColumn<double>("lon");
    QTest::addColumn<double>("scale"); // pixels per km
    QTest::newRow("Europe") << 50.0 << 15.0 << 0.35;
    QTest::newRow("the Alps") << 46.5 << 9.0 << 1.2;
    QTest::newRow("across the 180th meridian") << 62.0 << 179.0 << 0.4;
    QTest::newRow("the north pole") << 84.0 << 40.0 << 0.25;
    QTest::newRow("the whole sphere") << 0.0 << 0.0 << 0.02;
}

void TestCatalogueIndex::worldSizeViews()
{
    QFETCH(double, lat);
    QFETCH(double, lon);
    QFETCH(double, scale);
    if (!m_world) {
        m_worldFolder = std::make_unique<test::TestFolder>();
        QVERIFY(m_worldFolder->createDatabase());
        m_world = std::make_unique<store::Database>(QStringLiteral("world"));
        QVERIFY(m_world->open(m_worldFolder->file(QStringLiteral("kalyxdb.kdb"))));
        m_worldRows = world(*m_world, 90000);
        QString why;
        QVERIFY2(catalogueindex::refresh(*m_world, &why), qPrintable(why));
    }
    const QList<Row> &rows = m_worldRows;
    store::Database &db = *m_world;

    MapScene scene;
    scene.setRoute(routeAt({lat, lon}));
    MapView view;
    view.size = QSizeF(1600, 1000);
    view.setScale(scale);
    const QList<GeoBox> boxes = scene.visibleBoxes(view);
    const int maxRank = maxRankAt(view.scale);
    QList<CataloguePoint> read;
    QString why;
    QVERIFY2(catalogueindex::read(db, boxes, maxRank, &read, &why), qPrintable(why));
    const QSet<qint64> found = codesOf(read);
    QCOMPARE(found.size(), read.size());

    // Exactly what a look at every row finds (the tree keeps single
    // precision, a hundred-thousandth of a degree either way), and every
    // waypoint the picture shows.
    const QRectF picture(QPointF(0, 0), view.size);
    int inPicture = 0;
    for (const Row &r : std::as_const(rows)) {
        if (r.rank > maxRank)
            continue;
        if (inBoxes(boxes, r.lat, r.lon, -1e-4))
            QVERIFY2(found.contains(r.code), qPrintable(QStringLiteral("%1 %2 missing").arg(r.lat).arg(r.lon)));
        else if (!inBoxes(boxes, r.lat, r.lon, 1e-4))
            QVERIFY2(!found.contains(r.code), qPrintable(QStringLiteral("%1 %2 found").arg(r.lat).arg(r.lon)));
        if (picture.contains(view.toPixel(scene.projection().forward({r.lat, r.lon})))) {
            ++inPicture;
            QVERIFY2(found.contains(r.code), qPrintable(QStringLiteral("%1 %2 in the picture").arg(r.lat).arg(r.lon)));
        }
    }
    QVERIFY(inPicture > 50);
    // Most important first.
    for (qsizetype i = 1; i < read.size(); ++i)
        QVERIFY(read.at(i - 1).rank <= read.at(i).rank);
}

void TestCatalogueIndex::thinnedByImportance()
{
    world(m_session->ADOC, 20000);
    refresh();
    MapScene scene;
    scene.setRoute(routeAt({50, 15}));
    MapView view;
    view.size = QSizeF(1200, 800);
    view.setScale(1.5); // everything shown, crowded
    QList<CataloguePoint> points;
    QVERIFY(catalogueindex::read(m_session->ADOC, scene.visibleBoxes(view), kRankIntersection, &points));
    scene.setCataloguePoints(points);
    RenderOptions options;
    const QList<renderer::ShownCatalogue> shown = renderer::shownCatalogue(scene, view, options);
    QVERIFY(shown.size() > 100);
    QVERIFY(shown.size() < points.size());
    const QList<MapScene::CatalogueMark> &marks = scene.catalogueMarks();
    QSet<int> kept;
    for (const renderer::ShownCatalogue &s : shown)
        kept.insert(s.index);
    const QRectF picture(QPointF(0, 0), view.size);
    for (int i = 0; i < marks.size(); ++i) {
        const QPointF p = view.toPixel(marks.at(i).km);
        if (!picture.contains(p))
            continue;
        // Each one left out has a more important (or as important, placed
        // first) neighbour close by, or the route's own point; none shown
        // crowds another.
        const QPointF route = view.toPixel(scene.waypoints().first().km);
        bool crowdedByMore = std::hypot(route.x() - p.x(), route.y() - p.y()) < 14;
        for (const renderer::ShownCatalogue &s : shown) {
            if (s.index == i)
                continue;
            const double d = std::hypot(s.px.x() - p.x(), s.px.y() - p.y());
            if (kept.contains(i))
                QVERIFY2(d >= 14, qPrintable(QStringLiteral("%1 px apart").arg(d)));
            else if (d < 14 && marks.at(s.index).rank <= marks.at(i).rank)
                crowdedByMore = true;
        }
        QVERIFY(kept.contains(i) || crowdedByMore);
    }
    // A layer switched off takes its waypoints away.
    options.layers &= ~Layers(Layer::Airports);
    for (const renderer::ShownCatalogue &s : renderer::shownCatalogue(scene, view, options))
        QVERIFY(marks.at(s.index).kind != CatalogueKind::Airport);
}

QTEST_GUILESS_MAIN(TestCatalogueIndex)
#include "tst_catalogueindex.moc"
