// The map's catalogue layer over a catalogue of the world's size (as an import
// of OurAirports' world files leaves it, with intersections besides): a view
// over Europe read from the spatial index, projected, thinned and drawn, as
// each new view of the map does (map_catalogue_layer_ms, and the processor
// time of it, map_catalogue_layer_cpu_ms); each picture while the map is
// dragged, with the waypoints around it read before (map_catalogue_pan_ms);
// and bringing the index up to date after the whole world was written, what
// the first opening of the map after such an import costs
// (map_catalogue_index_world_ms).
#include "Bench.h"
#include "Groups.h"
#include "SilentPrompter.h"

#include "map/core/CatalogueIndex.h"
#include "geo/DecimalCoord.h"
#include "map/core/MapRenderer.h"
#include "map/core/MapScene.h"
#include "map/core/MapView.h"
#include "store/Session.h"
#include "store/Statement.h"
#include "store/Transaction.h"
#include "tools/mkdb/DbBuild.h"

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

#include <ctime>

namespace kx::bench {
namespace {

// The world's size: the airports an import of the three usual types keeps,
// every radio aid, and intersections of flight plans.
constexpr int kAirports = 47000;
constexpr int kNavaids = 11000;
constexpr int kIntersections = 8000;
constexpr QSize kPicture(1600, 1000);

// A place on the world's land-heavy latitudes; one in six in Europe, where the
// airfields stand thickest.
geo::GeoPoint somewhere(QRandomGenerator &random)
{
    if (random.bounded(6) == 0)
        return {36 + random.generateDouble() * 34, -10 + random.generateDouble() * 50};
    return {-55 + random.generateDouble() * 125, random.generateDouble() * 360 - 180};
}

bool writeWorld(store::Database &db, QString *why)
{
    QRandomGenerator random(20261211);
    store::Transaction transaction(db);
    store::Statement insert(db, QStringLiteral("INSERT INTO Punkts (ID, Region, Type, ATIS, LAT, LON, MS) "
                                               "VALUES (?, ?, ?, ?, ?, ?, 0)"));
    for (int i = 0; i < kAirports + kNavaids + kIntersections; ++i) {
        const geo::GeoPoint at = somewhere(random);
        QVariant type, atis;
        QString id;
        if (i < kAirports) {
            type = QStringLiteral("Airport");
            // A third with an ICAO ident, some of those with an ATIS frequency.
            if (i % 3 == 0) {
                for (int k = 0, n = i / 3; k < 4; ++k, n /= 26)
                    id.prepend(QChar(u'A' + n % 26));
                if (i % 4 == 0)
                    atis = 118.0 + random.bounded(200) * 0.05;
            } else {
                id = QStringLiteral("XX-%1").arg(i);
            }
        } else if (i < kAirports + kNavaids) {
            type = i % 2 ? QStringLiteral("VOR") : QStringLiteral("NDB");
            id = QStringLiteral("N%1").arg(i % 9000);
        } else {
            id = QStringLiteral("P%1").arg(i);
        }
        if (!insert.exec({id, QStringLiteral("XX"), type, atis, geo::latitudeText(at.lat), geo::longitudeText(at.lon)})) {
            *why = insert.lastError();
            return false;
        }
    }
    if (!transaction.commit()) {
        *why = db.lastError();
        return false;
    }
    return true;
}

} // namespace

void benchMapCatalogue(Bench &bench)
{
    const QString layer = QStringLiteral("map_catalogue_layer_ms");
    const QString index = QStringLiteral("map_catalogue_index_world_ms");
    if (!bench.wants(layer) && !bench.wants(index))
        return;
    const QString folder = bench.newFolder(QStringLiteral("mapcatalogue"));
    QString why;
    SilentPrompter prompter;
    store::Session session(folder, prompter);
    if (!dbbuild::createDatabase(session.databasePath(), &why) || !session.ADOC.open(session.databasePath())
        || !writeWorld(session.ADOC, &why)) {
        bench.fail(layer, why.isEmpty() ? session.ADOC.lastError() : why);
        return;
    }
    store::Database &db = session.ADOC;

    // The whole world noted as changed, then put in its places.
    if (!bench.wants(index) && !map::catalogueindex::refresh(db, &why)) {
        bench.fail(layer, why);
        return;
    }
    const double indexMs = !bench.wants(index) ? -1 : bench.medianMs([&] {
        store::Statement stale(db, QStringLiteral("INSERT OR IGNORE INTO PunktsAreaStale (Code) SELECT Code FROM Punkts"));
        if (!stale.exec() || !map::catalogueindex::refresh(db, &why)) {
            bench.fail(index, why.isEmpty() ? stale.lastError() : why);
            return false;
        }
        return true;
    });
    if (indexMs >= 0)
        bench.report(index, indexMs, QStringLiteral("ms"));
    if (!bench.wants(layer))
        return;

    // Europe on a large screen, from a route across it.
    map::MapScene scene;
    map::RouteMap route;
    map::MapPoint centre;
    centre.number = 1;
    centre.id = QStringLiteral("C");
    centre.position = geo::GeoPoint{50, 15};
    route.points = {centre};
    scene.setRoute(route);
    map::MapView view;
    view.size = QSizeF(kPicture);
    view.setScale(kPicture.width() / 4000.0);
    map::RenderOptions options;
    options.layers = map::Layer::Airports | map::Layer::Vor | map::Layer::Ndb | map::Layer::Intersections;
    QImage image(kPicture, QImage::Format_ARGB32_Premultiplied);
    qsizetype read = 0;
    // What a new view costs: its waypoints read from the index, projected,
    // thinned and drawn. The processor time besides the time that passed, as
    // a machine shared with other work stretches the latter.
    const std::clock_t cpuBefore = std::clock();
    const double ms = bench.medianMs([&] {
        QList<map::CataloguePoint> points;
        if (!map::catalogueindex::refresh(db, &why)
            || !map::catalogueindex::read(db, scene.visibleBoxes(view), map::maxRankAt(view.scale), &points, &why)) {
            bench.fail(layer, why);
            return false;
        }
        scene.setCataloguePoints(points);
        image.fill(Qt::white);
        QPainter painter(&image);
        map::renderer::renderOverlay(painter, scene, view, options);
        read = points.size();
        return true;
    });
    const double cpuMs = double(std::clock() - cpuBefore) * 1000 / CLOCKS_PER_SEC / bench.runs();
    if (ms < 0)
        return;
    if (read < 500) {
        bench.fail(layer, QStringLiteral("only %1 waypoints over Europe").arg(read));
        return;
    }
    bench.report(layer, ms, QStringLiteral("ms"));
    bench.report(layer.chopped(3) + QStringLiteral("_cpu_ms"), cpuMs, QStringLiteral("ms"));
    // What each picture of a pan costs, the waypoints around it read before.
    const double pan = bench.medianMs([&] {
        image.fill(Qt::white);
        QPainter painter(&image);
        map::renderer::renderOverlay(painter, scene, view, options);
        return true;
    });
    if (pan >= 0)
        bench.report(QStringLiteral("map_catalogue_pan_ms"), pan, QStringLiteral("ms"));
}

} // namespace kx::bench
