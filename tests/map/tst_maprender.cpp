// The map as pictures: where the route, a beacon's range circle and a coast
// fall on the produced image, that a switched-off layer leaves nothing, and
// routes the map must survive (one point, coincident points, a point without
// position, no base layers).
#include "geo/GreatCircle.h"
#include "map/core/MapData.h"
#include "map/core/MapPage.h"
#include "map/core/MapRenderer.h"
#include "map/core/MapScene.h"
#include "map/core/MapTexts.h"
#include "map/core/MapView.h"

#include "../reports/PaintRecorder.h"

#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QtTest>

#include <cmath>

using namespace kx::map;
namespace geo = kx::geo;
namespace colours = kx::map::renderer::colours;

Q_DECLARE_METATYPE(kx::map::RouteMap)
Q_DECLARE_METATYPE(kx::map::Layer)
Q_DECLARE_METATYPE(kx::geo::GeoPoint)

namespace {

const QString kShipped = QStringLiteral(KX_SOURCE_DIR "/data/map/kalyxmap.dat");

MapPoint point(int number, const QString &id, double lat, double lon, const QString &type = {})
{
    MapPoint p;
    p.pointCode = 100 + number;
    p.number = number;
    p.id = id;
    p.type = type;
    p.position = geo::GeoPoint{lat, lon};
    return p;
}

RouteMap route(const QString &name, const QList<MapPoint> &points)
{
    RouteMap r;
    r.code = 1;
    r.name = name;
    r.points = points;
    return r;
}

MapBeacon beacon(qint64 code, const QString &id, double lat, double lon)
{
    return {code, id, id, geo::GeoPoint{lat, lon}};
}

QImage picture(MapScene &scene, const MapView &view, Layers layers, int current = -1)
{
    QImage image(view.size.toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    QPainter painter(&image);
    RenderOptions options;
    options.layers = layers;
    options.currentPoint = current;
    renderer::render(painter, scene, view, options);
    return image;
}

bool near(QRgb a, const QColor &b, int tolerance = 8)
{
    return std::abs(qRed(a) - b.red()) <= tolerance && std::abs(qGreen(a) - b.green()) <= tolerance
        && std::abs(qBlue(a) - b.blue()) <= tolerance;
}

// Pixels that are at least half colour over the background, as a line's
// smoothed edge is.
int blendedPixels(const QImage &image, const QColor &colour, const QColor &background)
{
    const double dr = colour.red() - background.red(), dg = colour.green() - background.green(),
                 db = colour.blue() - background.blue();
    const double length2 = dr * dr + dg * dg + db * db;
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const double pr = qRed(line[x]) - background.red(), pg = qGreen(line[x]) - background.green(),
                         pb = qBlue(line[x]) - background.blue();
            const double t = (pr * dr + pg * dg + pb * db) / length2;
            const double er = pr - t * dr, eg = pg - t * dg, eb = pb - t * db;
            if (t >= 0.5 && t <= 1.1 && std::sqrt(er * er + eg * eg + eb * eb) <= 8)
                ++count;
        }
    }
    return count;
}

int colourPixels(const QImage &image, const QColor &colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += near(image.pixel(x, y), colour, 1) ? 1 : 0;
    return count;
}

std::shared_ptr<const MapData> shippedData()
{
    static const MapDataLoad load = loadMapData(kShipped);
    return load.data;
}

// Around the Caspian: an airport at each end, a point over the sea, a
// correction beacon, other beacons and navaids of the catalogue.
void caspian(MapScene &scene)
{
    QList<MapPoint> points = {point(1, QStringLiteral("URWA"), 46.28, 48.01, QStringLiteral("Airport")),
                              point(2, QStringLiteral("CASP"), 44.5, 49.5),
                              point(3, QStringLiteral("UBBB"), 40.47, 50.05, QStringLiteral("Airport"))};
    points[0].beacon = beacon(7, QStringLiteral("AS"), 45.0, 47.0);
    RouteMap r = route(QStringLiteral("Астрахань - Баку"), points);
    scene.setBaseData(shippedData());
    scene.setRoute(r);
    MapCatalogue catalogue;
    catalogue.rsbn = {beacon(7, QStringLiteral("AS"), 45.0, 47.0), beacon(8, QStringLiteral("MH"), 43.0, 46.0),
                      beacon(9, QStringLiteral("GR"), 43.3, 45.7)};
    scene.setCatalogue(catalogue);
    scene.setCataloguePoints({{22, QStringLiteral("UATG"), CatalogueKind::Airport, kRankAirport, {47.1, 51.8}},
                              {20, QStringLiteral("VOR"), CatalogueKind::Vor, kRankVor, {45.5, 49.0}},
                              {21, QStringLiteral("NDB"), CatalogueKind::Ndb, kRankNdb, {43.5, 48.5}},
                              {23, QStringLiteral("RATIN"), CatalogueKind::Intersection, kRankIntersection, {42.5, 51.0}}});
}

// What a picture draws as text and where: every run of text on a recording
// device of the view's size.
QList<kx::test::PaintRecorder::Text> textsOf(MapScene &scene, const MapView &view, Layers layers)
{
    constexpr int kDpi = 96;
    kx::test::PaintRecorder device(view.size.width() * 25.4 / kDpi, view.size.height() * 25.4 / kDpi, kDpi);
    QPainter painter(&device);
    RenderOptions options;
    options.layers = layers;
    renderer::render(painter, scene, view, options);
    painter.end();
    return device.texts;
}

QRectF boxOf(const kx::test::PaintRecorder::Text &t)
{
    return QRectF(QPointF(t.left(), t.top()), QPointF(t.right(), t.bottom()));
}

bool isGraticuleLabel(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^([NSEW]\\d+|0|180)°$"));
    return form.match(text).hasMatch();
}

} // namespace

class TestMapRender : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void routeAtItsWaypoints_data();
    void routeAtItsWaypoints();
    void rangeCircleRadius();
    void correctionLineMeetsTheLeg_data();
    void correctionLineMeetsTheLeg();
    void newRouteKeepsOrMovesTheCentre_data();
    void newRouteKeepsOrMovesTheCentre();
    void coastWhereItShouldBe();
    void landAndSeaAroundThePoleAndTheDateLine_data();
    void landAndSeaAroundThePoleAndTheDateLine();
    void switchedOffLayerDrawsNothing_data();
    void switchedOffLayerDrawsNothing();
    void currentPointIsHighlighted();
    void wholeRouteShowsTheRangeCircles();
    void labelsKeepOffTheGraticuleLabels();
    void labelsGiveWayByImportance();
    void labelsLeaveTheRoutePointsSeen_data();
    void labelsLeaveTheRoutePointsSeen();
    void awkwardRoutes_data();
    void awkwardRoutes();
    void withoutBaseLayers();
    void titleLine_data();
    void titleLine();
};

void TestMapRender::initTestCase()
{
    QVERIFY2(shippedData(), "the shipped map data file does not read");
}

void TestMapRender::routeAtItsWaypoints_data()
{
    QTest::addColumn<RouteMap>("route");
    QTest::newRow("Moscow - Sochi") << route(QStringLiteral("UUEE-URSS"),
                                             {point(1, QStringLiteral("UUEE"), 55.97, 37.41, QStringLiteral("Airport")),
                                              point(2, QStringLiteral("RATIN"), 51.5, 39.2),
                                              point(3, QStringLiteral("URSS"), 43.45, 39.95, QStringLiteral("Airport"))});
    QTest::newRow("across the 180th meridian")
        << route(QStringLiteral("Анадырь - Ном"), {point(1, QStringLiteral("UHMA"), 64.73, 177.74),
                                                    point(2, QStringLiteral("DATE"), 65.5, -179.5),
                                                    point(3, QStringLiteral("PAOM"), 64.51, -165.44)});
    QTest::newRow("over the pole") << route(QStringLiteral("Полярный"), {point(1, QStringLiteral("ENSB"), 78.25, 15.47),
                                                                         point(2, QStringLiteral("POLE"), 89.5, 60.0),
                                                                         point(3, QStringLiteral("UOHH"), 71.98, 102.5)});
}

void TestMapRender::routeAtItsWaypoints()
{
    QFETCH(RouteMap, route);
    MapScene scene;
    scene.setBaseData(shippedData());
    scene.setRoute(route);
    const MapView view = fitRoute(scene, QSizeF(1200, 800));
    const QImage image = picture(scene, view, Layer::Legs);
    QCOMPARE(scene.waypoints().size(), route.points.size());
    QCOMPARE(scene.legs().size(), route.points.size() - 1);
    // The line covers a pixel next to the point fully (the point itself may
    // fall on a pixel's edge).
    const auto onRoute = [&](QPointF at) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (near(image.pixel(at.toPoint() + QPoint(dx, dy)), colours::leg()))
                    return true;
        return false;
    };
    for (const MapScene::Waypoint &w : scene.waypoints()) {
        const QPointF p = view.toPixel(w.km);
        QVERIFY2(QRectF(1, 1, image.width() - 2, image.height() - 2).contains(p), qPrintable(route.points.at(w.index).id));
        QVERIFY2(onRoute(p), qPrintable(QStringLiteral("%1 at %2,%3").arg(route.points.at(w.index).id).arg(p.x()).arg(p.y())));
    }
    // Along each leg too, so that a leg is one unbroken curve.
    for (const MapScene::Leg &leg : scene.legs())
        for (qsizetype k = 0; k < leg.km.size(); k += std::max<qsizetype>(1, leg.km.size() / 10))
            QVERIFY2(onRoute(view.toPixel(leg.km.at(k))), qPrintable(QStringLiteral("leg %1, point %2").arg(leg.from).arg(k)));
    // And nowhere else: the corners are sea.
    QVERIFY(near(image.pixel(2, 2), colours::sea()));
    QVERIFY(near(image.pixel(image.width() - 3, image.height() / 2), colours::sea()));
}

void TestMapRender::rangeCircleRadius()
{
    // The beacon at the projection's centre, where the azimuthal equidistant
    // projection keeps every distance: its circle of L_RSBN km has a radius of
    // L_RSBN times the scale in pixels.
    const MapPoint a = point(1, QStringLiteral("A"), 55.0, 35.0), b = point(2, QStringLiteral("B"), 55.0, 39.0);
    RouteMap r = route(QStringLiteral("Circle"), {a, b});
    const geo::GeoPoint centre = Projection::centreOf({*a.position, *b.position});
    r.points[0].beacon = beacon(5, QStringLiteral("RB"), centre.lat, centre.lon);
    r.rangeKm = 300;
    MapScene scene;
    scene.setRoute(r);
    QCOMPARE(scene.corrections().size(), 1);
    QVERIFY(std::hypot(scene.corrections().first().km.x(), scene.corrections().first().km.y()) < 1e-6);

    MapView view;
    view.size = QSizeF(1000, 1000);
    view.centre = QPointF(0, 0);
    view.setScale(1.5);
    const QImage image = picture(scene, view, Layer::Corrections);
    const double expected = 300 * 1.5;
    const QPointF middle = view.toPixel(QPointF(0, 0));
    double sum = 0;
    int hits = 0;
    for (int degree = 0; degree < 360; ++degree) {
        const double angle = degree * 3.14159265358979 / 180;
        double raySum = 0;
        int rayHits = 0;
        for (double radius = expected - 15; radius <= expected + 15; radius += 0.25) {
            const QPoint p = (middle + radius * QPointF(std::cos(angle), std::sin(angle))).toPoint();
            if (near(image.pixel(p), colours::correction(), 60)) {
                raySum += radius;
                ++rayHits;
            }
        }
        if (rayHits == 0)
            continue; // a gap of the dashes
        const double found = raySum / rayHits;
        QVERIFY2(std::abs(found - expected) <= 1.5, qPrintable(QStringLiteral("%1 px at %2°").arg(found).arg(degree)));
        sum += found;
        ++hits;
    }
    QVERIFY2(hits > 120, qPrintable(QString::number(hits)));
    QVERIFY2(std::abs(sum / hits - expected) <= 1.0, qPrintable(QStringLiteral("%1 px, not %2").arg(sum / hits).arg(expected)));
}

void TestMapRender::correctionLineMeetsTheLeg_data()
{
    // A leg along the parallel N55 from E035 to E039; the beacon north of it.
    QTest::addColumn<double>("beaconLon");
    QTest::addColumn<int>("extendedFrom"); // the leg's end the dotted extension starts at; -1: none
    QTest::newRow("foot on the leg") << 37.0 << -1;
    QTest::newRow("foot beyond the leg's end") << 42.0 << 1;
    QTest::newRow("foot before the leg's start") << 32.0 << 0;
}

void TestMapRender::correctionLineMeetsTheLeg()
{
    QFETCH(double, beaconLon);
    QFETCH(int, extendedFrom);
    const MapPoint a = point(1, QStringLiteral("A"), 55.0, 35.0), b = point(2, QStringLiteral("B"), 55.0, 39.0);
    RouteMap r = route(QStringLiteral("Correction"), {a, b});
    r.points[0].beacon = beacon(5, QStringLiteral("RB"), 56.0, beaconLon);
    MapScene scene;
    scene.setRoute(r);
    QCOMPARE(scene.corrections().size(), 1);
    const MapScene::Correction &c = scene.corrections().first();
    QCOMPARE(c.from, 0);
    QCOMPARE(c.to, 1);
    QVERIFY(c.foot);
    // The foot is where the perpendicular from the beacon meets the leg's
    // great circle: nearer the beacon than any other point of the circle, so
    // the dashed line to it is the beacon's shortest way to the leg.
    const geo::GeoPoint foot = scene.projection().reverse(*c.foot);
    const double toFoot = geo::distanceKm(foot, *r.points[0].beacon->position);
    for (const QPointF &p : scene.legs().first().km)
        QVERIFY(geo::distanceKm(scene.projection().reverse(p), *r.points[0].beacon->position) >= toFoot - 1e-6);
    const auto close = [](QPointF p, QPointF q) { return std::hypot(p.x() - q.x(), p.y() - q.y()) < 1e-6; };
    if (extendedFrom < 0) {
        QVERIFY(c.extension.isEmpty());
        return;
    }
    // The leg's great circle carried on from the nearer end to the foot.
    QVERIFY(c.extension.size() >= 2);
    const QPointF end = scene.projection().forward(*r.points[extendedFrom].position);
    QVERIFY2(close(c.extension.first(), end), "the extension starts at the nearer end of the leg");
    QVERIFY(close(c.extension.last(), *c.foot));
}

void TestMapRender::newRouteKeepsOrMovesTheCentre_data()
{
    // A first route around N55 E037, then another moved east by so many
    // degrees of longitude (about 64 km each).
    QTest::addColumn<bool>("keepCentre");
    QTest::addColumn<double>("shift");
    QTest::addColumn<bool>("centreKept");
    QTest::newRow("kept for a route nearby") << true << 2.0 << true;
    QTest::newRow("moved for a route far off") << true << 20.0 << false;
    QTest::newRow("moved when not to be kept") << false << 2.0 << false;
}

void TestMapRender::newRouteKeepsOrMovesTheCentre()
{
    QFETCH(bool, keepCentre);
    QFETCH(double, shift);
    QFETCH(bool, centreKept);
    const auto twoPoints = [](double lon) {
        return route(QStringLiteral("Route"),
                     {point(1, QStringLiteral("A"), 55.0, lon - 1), point(2, QStringLiteral("B"), 55.0, lon + 1)});
    };
    MapScene scene;
    scene.setRoute(twoPoints(37.0));
    const geo::GeoPoint first = scene.projection().centre();
    QVERIFY(std::abs(first.lat - 55.0) < 0.1 && std::abs(first.lon - 37.0) < 1e-6);
    scene.setRoute(twoPoints(37.0 + shift), keepCentre);
    const geo::GeoPoint now = scene.projection().centre();
    const double expectedLon = centreKept ? 37.0 : 37.0 + shift;
    QVERIFY2(std::abs(now.lon - expectedLon) < 1e-6, qPrintable(QString::number(now.lon)));
    // The points are drawn where they are, wherever the centre stands.
    QCOMPARE(scene.waypoints().size(), 2);
    const geo::GeoPoint back = scene.projection().reverse(scene.waypoints().first().km);
    QVERIFY(std::abs(back.lon - (37.0 + shift - 1)) < 1e-6);
}

void TestMapRender::coastWhereItShouldBe()
{
    // The Black Sea coast at Sochi: inland to the north-east, sea to the
    // south-west, the coastline between them.
    MapScene scene;
    scene.setBaseData(shippedData());
    scene.setRoute(route(QStringLiteral("Sochi"), {point(1, QStringLiteral("URSS"), 43.45, 39.95)}));
    MapView view;
    view.size = QSizeF(800, 600);
    view.centre = scene.projection().forward({43.585, 39.72});
    view.setScale(2);
    const QImage image = picture(scene, view, Layer::Land | Layer::Coastlines);
    const QPointF land = view.toPixel(scene.projection().forward({43.75, 40.0}));
    const QPointF sea = view.toPixel(scene.projection().forward({43.4, 39.3}));
    QVERIFY(near(image.pixel(land.toPoint()), colours::land(), 2));
    QVERIFY(near(image.pixel(sea.toPoint()), colours::sea(), 2));
    // Between them a dark line, darker than land and sea both, crossed once.
    int crossings = 0;
    bool onLine = false;
    for (int i = 0; i <= 400; ++i) {
        const QPoint p = (land + (sea - land) * i / 400.0).toPoint();
        const bool dark = qRed(image.pixel(p)) < 190;
        crossings += dark && !onLine ? 1 : 0;
        onLine = dark;
    }
    QCOMPARE(crossings, 1);
    // And the Caspian is water, within land on either side.
    view.centre = scene.projection().forward({42.0, 50.5});
    view.setScale(0.5);
    const QImage caspian = picture(scene, view, Layer::Land | Layer::Lakes);
    QVERIFY(near(caspian.pixel(view.toPixel(view.centre).toPoint()), colours::sea(), 2));
    QVERIFY(near(caspian.pixel(view.toPixel(scene.projection().forward({42.0, 46.0})).toPoint()), colours::land(), 2));
    QVERIFY(near(caspian.pixel(view.toPixel(scene.projection().forward({42.0, 56.0})).toPoint()), colours::land(), 2));
}

void TestMapRender::landAndSeaAroundThePoleAndTheDateLine_data()
{
    // Natural Earth's rings cross the 180th meridian (Chukotka, Wrangel
    // Island) and circle the South Pole (Antarctica): taken for sweeps around
    // the world they would lay bands of land over the sea.
    QTest::addColumn<RouteMap>("route");
    QTest::addColumn<geo::GeoPoint>("place");
    QTest::addColumn<bool>("land");
    const RouteMap polar = route(QStringLiteral("Полярный"), {point(1, QStringLiteral("ENSB"), 78.25, 15.47),
                                                               point(2, QStringLiteral("POLE"), 89.5, 100.0),
                                                               point(3, QStringLiteral("PABR"), 71.29, -156.77)});
    const RouteMap dateLine = route(QStringLiteral("Анадырь - Ном"), {point(1, QStringLiteral("UHMA"), 64.73, 177.74),
                                                                      point(2, QStringLiteral("PAOM"), 64.51, -165.44)});
    QTest::newRow("polar: Arctic Ocean") << polar << geo::GeoPoint{84.0, -140.0} << false;
    QTest::newRow("polar: Barents Sea") << polar << geo::GeoPoint{72.0, 40.0} << false;
    QTest::newRow("polar: Laptev Sea") << polar << geo::GeoPoint{76.0, 125.0} << false;
    QTest::newRow("polar: Siberia") << polar << geo::GeoPoint{66.0, 100.0} << true;
    QTest::newRow("polar: Greenland") << polar << geo::GeoPoint{75.0, -40.0} << true;
    QTest::newRow("date line: Chukotka") << dateLine << geo::GeoPoint{66.0, 172.0} << true;
    QTest::newRow("date line: Bering Sea") << dateLine << geo::GeoPoint{62.0, -177.0} << false;
    QTest::newRow("date line: Alaska") << dateLine << geo::GeoPoint{65.3, -163.5} << true;
}

void TestMapRender::landAndSeaAroundThePoleAndTheDateLine()
{
    QFETCH(RouteMap, route);
    QFETCH(geo::GeoPoint, place);
    QFETCH(bool, land);
    MapScene scene;
    scene.setBaseData(shippedData());
    scene.setRoute(route);
    MapView view = fitRoute(scene, QSizeF(1200, 800));
    view.setScale(view.scale / 2); // the country around the route too
    const QImage image = picture(scene, view, Layer::Land);
    const QPoint p = view.toPixel(scene.projection().forward(place)).toPoint();
    QVERIFY(QRect(QPoint(0, 0), image.size()).contains(p));
    QVERIFY2(near(image.pixel(p), land ? colours::land() : colours::sea(), 2), qPrintable(QColor(image.pixel(p)).name()));
}

void TestMapRender::switchedOffLayerDrawsNothing_data()
{
    QTest::addColumn<Layer>("layer");
    QTest::addColumn<QColor>("colour");
    // Land is told by its own colour: the fill has no smoothed edges.
    QTest::newRow("land") << Layer::Land << colours::land();
    QTest::newRow("lakes") << Layer::Lakes << colours::coast();
    QTest::newRow("coastlines") << Layer::Coastlines << colours::coast();
    QTest::newRow("borders") << Layer::Borders << colours::border();
    QTest::newRow("graticule") << Layer::Graticule << colours::grid();
    QTest::newRow("legs") << Layer::Legs << colours::leg();
    QTest::newRow("waypoints") << Layer::Waypoints << colours::airport();
    QTest::newRow("corrections") << Layer::Corrections << colours::correction();
    QTest::newRow("other RSBN") << Layer::Rsbn << colours::otherRsbn();
    QTest::newRow("catalogue airports") << Layer::Airports << colours::catalogueAirport();
    QTest::newRow("VOR") << Layer::Vor << colours::vor();
    QTest::newRow("NDB") << Layer::Ndb << colours::ndb();
    QTest::newRow("intersections") << Layer::Intersections << colours::intersection();
}

void TestMapRender::switchedOffLayerDrawsNothing()
{
    QFETCH(Layer, layer);
    QFETCH(QColor, colour);
    MapScene scene;
    caspian(scene);
    const MapView view = fitRoute(scene, QSizeF(900, 900));
    const auto count = [&](const QImage &image) {
        return layer == Layer::Land ? colourPixels(image, colour) : blendedPixels(image, colour, colours::sea());
    };
    const int shown = count(picture(scene, view, layer));
    QVERIFY2(shown >= 20, qPrintable(QStringLiteral("%1 pixels with the layer on").arg(shown)));
    QCOMPARE(count(picture(scene, view, Layers())), 0);
}

void TestMapRender::currentPointIsHighlighted()
{
    MapScene scene;
    caspian(scene);
    const MapView view = fitRoute(scene, QSizeF(900, 900));
    const QImage plain = picture(scene, view, Layer::Waypoints);
    const QImage marked = picture(scene, view, Layer::Waypoints, 1);
    const QPointF at = view.toPixel(scene.waypoints().at(1).km);
    // The halo around the second point, and only there.
    const QPoint ring = (at + QPointF(9, 0)).toPoint();
    QVERIFY(near(plain.pixel(ring), colours::sea(), 2));
    QVERIFY(!near(marked.pixel(ring), colours::sea(), 30));
    const QPointF first = view.toPixel(scene.waypoints().at(0).km);
    QCOMPARE(marked.copy(QRectF(first - QPointF(15, 15), QSizeF(30, 30)).toRect()),
             plain.copy(QRectF(first - QPointF(15, 15), QSizeF(30, 30)).toRect()));
}

void TestMapRender::wholeRouteShowsTheRangeCircles()
{
    // A beacon far to the side of a short route: its circle reaches well
    // beyond the route and the beacon.
    MapScene scene;
    QList<MapPoint> points = {point(1, QStringLiteral("UUEE"), 55.97, 37.41, QStringLiteral("Airport")),
                              point(2, QStringLiteral("UUWW"), 55.6, 37.27, QStringLiteral("Airport"))};
    points[0].beacon = beacon(7, QStringLiteral("AS"), 54.0, 41.0);
    scene.setRoute(route(QStringLiteral("short"), points));
    QCOMPARE(scene.corrections().size(), 1);
    const MapView view = fitRoute(scene, QSizeF(800, 600));
    const QRectF picture(QPointF(0, 0), view.size);
    for (const QPointF &km : scene.corrections().first().range)
        QVERIFY2(picture.contains(view.toPixel(km)), qPrintable(QStringLiteral("%1 %2").arg(view.toPixel(km).x()).arg(view.toPixel(km).y())));
}

void TestMapRender::labelsKeepOffTheGraticuleLabels()
{
    // Where the graticule names its lines in a view of about 450 km...
    MapScene scene;
    const geo::GeoPoint centre{50.5, 30.5};
    scene.setBaseData(shippedData());
    scene.setRoute(route(QStringLiteral("centre"), {point(1, QStringLiteral("C"), centre.lat, centre.lon)}));
    MapView view;
    view.size = QSizeF(900, 700);
    view.setScale(2);
    QList<QRectF> gridBoxes;
    for (const auto &t : textsOf(scene, view, Layer::Graticule))
        if (isGraticuleLabel(t.text))
            gridBoxes.append(boxOf(t));
    QVERIFY(gridBoxes.size() >= 6);
    // ...a route with a point just beside each of those names, whose own
    // label would first be tried right over it.
    QList<MapPoint> points;
    int number = 0;
    for (const QRectF &box : std::as_const(gridBoxes)) {
        const QPointF at = box.bottomLeft() + QPointF(box.width() / 2, 6);
        const geo::GeoPoint g = scene.projection().reverse(view.toKm(QPointF(std::max(at.x(), 6.0), std::min(at.y(), 690.0))));
        ++number;
        points.append(point(number, QStringLiteral("WPT%1").arg(number), g.lat, g.lon));
    }
    const geo::GeoPoint kept = scene.projection().centre();
    scene.setRoute(route(QStringLiteral("edges"), points), true);
    QCOMPARE(scene.projection().centre().lat, kept.lat);
    QCOMPARE(scene.projection().centre().lon, kept.lon);

    int drawnGrid = 0, drawnPoints = 0;
    const QList<kx::test::PaintRecorder::Text> texts = textsOf(scene, view, Layer::Graticule | Layer::Waypoints);
    for (const auto &grid : texts) {
        if (!isGraticuleLabel(grid.text))
            continue;
        ++drawnGrid;
        for (const auto &other : texts)
            if (!isGraticuleLabel(other.text))
                QVERIFY2(!boxOf(grid).intersects(boxOf(other)),
                         qPrintable(QStringLiteral("%1 covers %2").arg(other.text, grid.text)));
    }
    for (const auto &t : texts)
        drawnPoints += t.text.startsWith(QStringLiteral("WPT"));
    QCOMPARE(drawnPoints, int(points.size()));
    QCOMPARE(drawnGrid, int(gridBoxes.size()));
}

void TestMapRender::labelsGiveWayByImportance()
{
    // A route point, and just below it (its label's first place clear of the
    // route point's symbol) a catalogue airport, an RSBN beacon and a VOR at
    // one place (the VOR's symbol just clear of the airport's): the route's
    // label takes the first place, then the airport's, the beacon's, the VOR's.
    MapScene scene;
    const geo::GeoPoint at{50.0, 30.0};
    scene.setRoute(route(QStringLiteral("one"), {point(1, QStringLiteral("RTE"), at.lat, at.lon)}));
    MapView view;
    view.size = QSizeF(600, 400);
    view.setScale(2);
    const QPointF p = view.toPixel(scene.projection().forward(at));
    const geo::GeoPoint aside = scene.projection().reverse(view.toKm(p + QPointF(0, 28)));
    const geo::GeoPoint further = scene.projection().reverse(view.toKm(p + QPointF(0, 43)));
    MapCatalogue catalogue;
    catalogue.rsbn = {beacon(7, QStringLiteral("RSB"), aside.lat, aside.lon)};
    scene.setCatalogue(catalogue);
    scene.setCataloguePoints({{20, QStringLiteral("APT"), CatalogueKind::Airport, kRankAirport, aside},
                              {21, QStringLiteral("VRR"), CatalogueKind::Vor, kRankVor, further}});
    QHash<QString, QRectF> drawn;
    for (const auto &t : textsOf(scene, view, Layer::Waypoints | Layer::Rsbn | Layer::Airports | Layer::Vor))
        drawn.insert(t.text, boxOf(t));
    QVERIFY(drawn.contains(QStringLiteral("RTE")));
    QVERIFY(drawn.contains(QStringLiteral("APT")));
    QVERIFY(drawn.contains(QStringLiteral("RSB")));
    QVERIFY(drawn.contains(QStringLiteral("VRR")));
    // Each where it went first, the later ones around the earlier.
    const QPointF apt = p + QPointF(0, 28), vrr = p + QPointF(0, 43);
    QVERIFY(drawn.value("RTE").bottom() <= p.y() - 7 && drawn.value("RTE").left() >= p.x() + 7); // above right
    QVERIFY(drawn.value("APT").bottom() <= apt.y() - 3 && drawn.value("APT").left() >= apt.x() + 3);
    QVERIFY(drawn.value("RSB").top() >= apt.y() + 3 && drawn.value("RSB").left() >= apt.x() + 3);   // below right
    QVERIFY(drawn.value("VRR").top() >= vrr.y() + 3 || drawn.value("VRR").right() <= vrr.x() - 3);
    for (auto a = drawn.cbegin(); a != drawn.cend(); ++a)
        for (auto b = std::next(a); b != drawn.cend(); ++b)
            if (!a.key().startsWith(u'1') && !b.key().startsWith(u'1'))
                QVERIFY2(!a.value().intersects(b.value()), qPrintable(a.key() + u' ' + b.key()));
}

void TestMapRender::labelsLeaveTheRoutePointsSeen_data()
{
    // Where the second point stands, relative to the first, in pixels: just
    // where the first point's label would go first (above right of it), and
    // a catalogue airport's label likewise.
    QTest::addColumn<QPointF>("offset");
    QTest::addColumn<bool>("catalogue");
    QTest::newRow("route label over the next point") << QPointF(28, -16) << false;
    QTest::newRow("route label over the next own point, left") << QPointF(-30, 16) << false;
    QTest::newRow("airport label over a route point") << QPointF(14, -12) << true;
}

void TestMapRender::labelsLeaveTheRoutePointsSeen()
{
    QFETCH(QPointF, offset);
    QFETCH(bool, catalogue);
    MapScene scene;
    const geo::GeoPoint at{50.0, 30.0};
    scene.setRoute(route(QStringLiteral("one"), {point(1, QStringLiteral("URKK"), at.lat, at.lon, QStringLiteral("Airport"))}));
    MapView view;
    view.size = QSizeF(600, 400);
    view.setScale(2);
    const QPointF p = view.toPixel(scene.projection().forward(at));
    const geo::GeoPoint second = scene.projection().reverse(view.toKm(p + offset));
    if (catalogue) {
        // The catalogue airport first, the route point where its label goes.
        scene.setRoute(route(QStringLiteral("one"), {point(1, QStringLiteral("KAVKA"), second.lat, second.lon)}), true);
        scene.setCataloguePoints({{20, QStringLiteral("URKK"), CatalogueKind::Airport, kRankAirport, at}});
    } else {
        scene.setRoute(route(QStringLiteral("two"), {point(1, QStringLiteral("URKK"), at.lat, at.lon, QStringLiteral("Airport")),
                                                      point(2, QStringLiteral("KAVKA"), second.lat, second.lon)}),
                       true);
    }
    QCOMPARE(view.toPixel(scene.projection().forward(at)), p);
    QList<QPointF> symbols;
    for (const MapScene::Waypoint &w : scene.waypoints())
        symbols.append(view.toPixel(w.km));
    const QList<kx::test::PaintRecorder::Text> texts =
        textsOf(scene, view, Layer::Waypoints | Layer::Legs | Layer::Airports);
    QVERIFY(texts.size() >= 3);
    // No text lies over a route point's symbol (a ring of 6.5 pixels, a
    // triangle of 5.5).
    for (const auto &t : texts)
        for (const QPointF &s : std::as_const(symbols))
            QVERIFY2(!boxOf(t).intersects(QRectF(s - QPointF(6, 6), QSizeF(12, 12))),
                     qPrintable(QStringLiteral("%1 covers the point at %2 %3").arg(t.text).arg(s.x()).arg(s.y())));
}

void TestMapRender::awkwardRoutes_data()
{
    QTest::addColumn<RouteMap>("route");
    QTest::addColumn<int>("legs");
    QTest::addColumn<QStringList>("notes");
    MapPoint unlocated = point(2, QStringLiteral("NOPOS"), 0, 0);
    unlocated.position.reset();
    QTest::newRow("one point") << route(QStringLiteral("1"), {point(1, QStringLiteral("UUEE"), 55.97, 37.41)}) << 0
                               << QStringList();
    QTest::newRow("coincident points")
        << route(QStringLiteral("2"), {point(1, QStringLiteral("UUEE"), 55.97, 37.41), point(2, QStringLiteral("UUEE"), 55.97, 37.41),
                                       point(3, QStringLiteral("UUEE"), 55.97, 37.41)})
        << 2 << QStringList();
    QTest::newRow("a point without position")
        << route(QStringLiteral("3"), {point(1, QStringLiteral("UUEE"), 55.97, 37.41), unlocated,
                                       point(3, QStringLiteral("URSS"), 43.45, 39.95)})
        << 0 << QStringList{QStringLiteral("Без координат: 2 NOPOS")};
    QTest::newRow("no points") << route(QStringLiteral("4"), {}) << 0
                               << QStringList{QStringLiteral("В маршруте нет ни одного ППМ")};
}

void TestMapRender::awkwardRoutes()
{
    QFETCH(RouteMap, route);
    QFETCH(int, legs);
    QFETCH(QStringList, notes);
    MapScene scene;
    scene.setBaseData(shippedData());
    scene.setRoute(route);
    QCOMPARE(scene.legs().size(), legs);
    QCOMPARE(mapNotes(scene), notes);
    const MapView view = fitRoute(scene, QSizeF(600, 400));
    QVERIFY(std::isfinite(view.scale) && view.scale > 0 && std::isfinite(view.centre.x()));
    const QImage image = picture(scene, view, allLayers());
    // Every located point stands in the picture, the first at its middle
    // when it is alone.
    for (const MapScene::Waypoint &w : scene.waypoints())
        QVERIFY(QRectF(0, 0, 600, 400).contains(view.toPixel(w.km)));
    if (route.points.size() == 1)
        QCOMPARE(view.toPixel(scene.waypoints().first().km).toPoint(), QPoint(300, 200));
    QVERIFY(!image.isNull());
}

void TestMapRender::withoutBaseLayers()
{
    MapScene scene;
    scene.setRoute(route(QStringLiteral("UUEE-URSS"), {point(1, QStringLiteral("UUEE"), 55.97, 37.41),
                                                        point(2, QStringLiteral("URSS"), 43.45, 39.95)}));
    QVERIFY(!scene.hasBase());
    QCOMPARE(mapNotes(scene), QStringList{kx::map::texts::noBaseNote()});
    const MapView view = fitRoute(scene, QSizeF(600, 400));
    const QImage image = picture(scene, view, allLayers());
    QCOMPARE(colourPixels(image, colours::land()), 0);
    // The route is drawn all the same.
    QVERIFY(blendedPixels(image, colours::leg(), colours::sea()) > 300);
}

void TestMapRender::titleLine_data()
{
    QTest::addColumn<QVariant>("distance");
    QTest::addColumn<QVariant>("fork");
    QTest::addColumn<bool>("calculated");
    QTest::addColumn<QString>("title");
    QTest::newRow("calculated") << QVariant(1498.8) << QVariant(16.7) << true
                                << QStringLiteral("Маршрут: Москва - Сочи    S общ = 1498,8 км    Вилка = 16,7°    ППМ: 2");
    QTest::newRow("not calculated") << QVariant() << QVariant() << false
                                    << QStringLiteral("Маршрут: Москва - Сочи    (маршрут не расчитан)    ППМ: 2");
}

void TestMapRender::titleLine()
{
    QFETCH(QVariant, distance);
    QFETCH(QVariant, fork);
    QFETCH(bool, calculated);
    QFETCH(QString, title);
    RouteMap r = route(QStringLiteral("Москва - Сочи"),
                       {point(1, QStringLiteral("UUEE"), 55.97, 37.41), point(2, QStringLiteral("URSS"), 43.45, 39.95)});
    r.distance = distance;
    r.fork = fork;
    r.calculated = calculated;
    QCOMPARE(mapTitle(r), title);
}

QTEST_MAIN(TestMapRender)
#include "tst_maprender.moc"
