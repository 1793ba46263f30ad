// The route map: one full drawing of a long route with its beacons over the
// base layers, and opening the map window on it (reading the map data file,
// the route and the catalogue, projecting, the first paint).
#include "Bench.h"
#include "Generate.h"
#include "Groups.h"
#include "SilentPrompter.h"

#include "map/U_Map.h"
#include "map/core/MapData.h"
#include "map/core/MapPage.h"
#include "map/core/MapRenderer.h"
#include "map/core/MapScene.h"
#include "map/core/RouteMapReader.h"
#include "store/Query.h"
#include "store/Session.h"
#include "store/Transaction.h"
#include "tools/mkdb/DbBuild.h"
#include "ui/FileDialogs.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <cmath>

namespace kx::bench {
namespace {

constexpr int kPoints = 99;
constexpr int kCatalogueBeacons = 2000;
constexpr QSize kPicture(1600, 1000);

// A route of 99 points over some 4,000 km of Russia, a correction beacon on
// every third leg, and 2,000 catalogue beacons over the same country.
bool insertData(store::Database &db, qint64 *route, QString *why)
{
    store::Transaction transaction(db);
    QList<qint64> beacons;
    for (int i = 0; i < kCatalogueBeacons; ++i) {
        const double lat = 42 + 20.0 * (i % 50) / 49;
        const double lon = 26 + 70.0 * (i / 50) / 39;
        qint64 beacon = 0;
        if (!insertBeacon(db, i, lat, lon, &beacon, why))
            return false;
        beacons.append(beacon);
    }
    if (!execBound(db, QStringLiteral("INSERT INTO Routes (Name, FL) VALUES (?, 9449)"), {QStringLiteral("Bench map")},
                   why, route))
        return false;
    for (int i = 0; i < kPoints; ++i) {
        const double lat = 52 + 6 * std::sin(i * 0.15);
        const double lon = 30 + 0.6 * i;
        const QVariant type = i == 0 || i == kPoints - 1 ? QVariant(QStringLiteral("Airport")) : QVariant();
        const QVariant beacon = i % 3 == 0 && i + 1 < kPoints ? QVariant(beacons.at((i * 20) % kCatalogueBeacons)) : QVariant();
        qint64 punkt = 0;
        if (!insertWaypoint(db, i + 1, lat, lon, type, &punkt, why)
            || !insertRoutePoint(db, *route, i + 1, punkt, beacon, why))
            return false;
    }
    return transaction.commit();
}

} // namespace

void benchMap(Bench &bench)
{
    const QString render = QStringLiteral("map_render_ms");
    const QString open = QStringLiteral("map_open_ms");
    if (!bench.wants(render) && !bench.wants(open))
        return;
    const QString folder = bench.newFolder(QStringLiteral("map"));
    QString why;
    SilentPrompter prompter;
    if (!dbbuild::createDatabase(folder + QLatin1String(store::Session::kDatabaseName), &why)) {
        bench.fail(render, why);
        return;
    }
    // The map data beside the executables, or else the shipped file copied
    // into the program folder.
    const QString dataPath = map::locateMapData(folder);
    if (!QFile::exists(dataPath) && !QFile::copy(QStringLiteral(KX_MAP_DATA), folder + map::mapDataFileName())) {
        bench.fail(render, QStringLiteral("no map data file"));
        return;
    }
    store::Session session(folder, prompter);
    qint64 route = 0;
    if (!session.ADOC.open(session.databasePath()) || !insertData(session.ADOC, &route, &why) || !session.openRoutes()
        || !session.QRoutes.locate(u"Code", route)) {
        bench.fail(render, why.isEmpty() ? session.ADOC.lastError() : why);
        return;
    }

    if (bench.wants(render)) {
        const map::MapDataLoad data = map::loadMapData(map::locateMapData(folder));
        map::RouteMap routeMap;
        map::MapCatalogue catalogue;
        if (!data.data || !map::readRouteMap(session.ADOC, route, 300, &routeMap, &why)
            || !map::readMapCatalogue(session.ADOC, &catalogue, &why)) {
            bench.fail(render, data.error + why);
            return;
        }
        map::MapScene scene;
        scene.setBaseData(data.data);
        scene.setRoute(routeMap);
        scene.setCatalogue(catalogue);
        map::RenderOptions options;
        options.layers = map::allLayers();
        options.currentPoint = 10;
        const map::MapView view = map::fitRoute(scene, QSizeF(kPicture));
        QImage image(kPicture, QImage::Format_ARGB32_Premultiplied);
        // The window projects once per route; what is timed is the drawing
        // that every repaint without the kept base picture costs.
        {
            QPainter painter(&image);
            map::renderer::render(painter, scene, view, options);
        }
        const double ms = bench.medianMs([&] {
            QPainter painter(&image);
            map::renderer::render(painter, scene, view, options);
            return true;
        });
        if (ms >= 0)
            bench.report(render, ms, QStringLiteral("ms"));
    }

    if (bench.wants(open)) {
        store::Query pointList(session.ADOC, QStringLiteral("QPPM"));
        ui::QtFileDialogs dialogs;
        const double ms = bench.medianMs([&] {
            map::TF_Map window(session, pointList, dialogs);
            window.showMap();
            // The drawing area by its name, as a person's tools would see it:
            // the window's own widgets are not the benchmark's to include.
            QWidget *canvas = window.findChild<QWidget *>(QStringLiteral("MapCanvas"));
            if (canvas)
                canvas->repaint();
            QApplication::processEvents();
            const bool ok = canvas && window.scene().route().points.size() == kPoints && window.scene().hasBase();
            if (!ok)
                bench.fail(open, QStringLiteral("the map did not open on the route with its base layers"));
            window.hide();
            return ok;
        });
        if (ms >= 0)
            bench.report(open, ms, QStringLiteral("ms"));
    }
}

} // namespace kx::bench
