#include "MapRenderer.h"

#include "LabelPlacer.h"
#include "MapDecorations.h"
#include "MapScene.h"
#include "MapView.h"
#include "PaintTools.h"
#include "Projection.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <vector>

#include <cmath>

namespace kx::map::renderer {

namespace colours {
QColor sea() { return QColor(214, 229, 240); }
QColor land() { return QColor(243, 239, 226); }
QColor coast() { return QColor(104, 138, 166); }
QColor border() { return QColor(150, 118, 150); }
QColor grid() { return QColor(150, 168, 186); }
QColor leg() { return QColor(176, 0, 90); }
QColor airport() { return QColor(11, 61, 145); }
QColor correction() { return QColor(0, 128, 74); }
QColor otherRsbn() { return QColor(104, 150, 126); }
QColor vor() { return QColor(42, 92, 170); }
QColor ndb() { return QColor(160, 82, 45); }
QColor catalogueAirport() { return QColor(70, 110, 190); }
QColor intersection() { return QColor(120, 80, 170); }
} // namespace colours

namespace {

const QColor kBeyondRim(200, 204, 208);
const QColor kGridText(80, 100, 120);
const QColor kHighlight(255, 212, 0);

// Points closer than this on the picture are one point to the eye.
constexpr double kMinStepPx = 0.7;

// Plane to pixels, dropping points the eye cannot tell apart.
QPolygonF toPixels(const QPolygonF &km, const MapView &view)
{
    QPolygonF out;
    const qsizetype n = km.size();
    out.reserve(n);
    const double s = view.scale;
    const double ox = view.size.width() / 2 - view.centre.x() * s;
    const double oy = view.size.height() / 2 + view.centre.y() * s;
    double lx = 0, ly = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QPointF &p = km.at(i);
        const double x = ox + p.x() * s, y = oy - p.y() * s;
        if (i == 0 || i == n - 1 || std::abs(x - lx) + std::abs(y - ly) >= kMinStepPx) {
            out.append(QPointF(x, y));
            lx = x;
            ly = y;
        }
    }
    return out;
}

bool inView(const QRectF &boundsKm, const QRectF &visibleKm)
{
    return boundsKm.intersects(visibleKm) || visibleKm.contains(boundsKm.topLeft());
}

QPolygonF hexagon(QPointF c, double r)
{
    QPolygonF p;
    for (int i = 0; i < 6; ++i) {
        const double a = (60.0 * i + 30) * 3.14159265358979323846 / 180;
        p.append(c + QPointF(r * std::cos(a), r * std::sin(a)));
    }
    return p;
}

void drawLayerLines(QPainter &painter, const std::vector<BaseGeometry::Shape> &shapes, const MapView &view,
                    const QRectF &visible)
{
    for (const BaseGeometry::Shape &shape : shapes) {
        if (!inView(shape.bounds, visible))
            continue;
        for (const QPolygonF &ring : shape.rings)
            painter.drawPolyline(toPixels(ring, view));
    }
}

QPainterPath polygonPath(const std::vector<BaseGeometry::Shape> &shapes, const MapView &view, const QRectF &visible)
{
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    const double rim = Projection::rimKm();
    for (const BaseGeometry::Shape &shape : shapes) {
        if (!inView(shape.bounds, visible))
            continue;
        for (const QPolygonF &ring : shape.rings)
            path.addPolygon(toPixels(ring, view));
        if (shape.inverted)
            path.addEllipse(view.toPixel(QPointF(0, 0)), rim * view.scale, rim * view.scale);
    }
    return path;
}

QString gridLabel(bool meridian, double degrees)
{
    const long value = std::lround(degrees);
    if (value == 0)
        return QStringLiteral("0°");
    if (meridian && std::abs(value) == 180)
        return QStringLiteral("180°");
    const QChar letter = meridian ? (value > 0 ? u'E' : u'W') : (value > 0 ? u'N' : u'S');
    return QString(letter) + QString::number(std::abs(value)) + u'°';
}

// Where a line of the picture first crosses the horizontal (or vertical)
// line at `at`, within 0..extent of the other axis.
std::optional<QPointF> crossing(const QPolygonF &line, bool horizontal, double at, double extent)
{
    for (qsizetype i = 1; i < line.size(); ++i) {
        const QPointF a = line.at(i - 1), b = line.at(i);
        const double va = horizontal ? a.y() : a.x(), vb = horizontal ? b.y() : b.x();
        if ((va - at) * (vb - at) > 0 || va == vb)
            continue;
        const double t = (at - va) / (vb - va);
        const QPointF p = a + t * (b - a);
        const double along = horizontal ? p.x() : p.y();
        if (along >= 0 && along <= extent)
            return p;
    }
    return std::nullopt;
}

void renderGraticule(QPainter &painter, MapScene &scene, const MapView &view)
{
    const QList<MapScene::GridLine> &lines = scene.graticule(graticuleStep(view), view);
    painter.setPen(thinPen(painter, colours::grid(), 0.7));
    painter.setBrush(Qt::NoBrush);
    for (const MapScene::GridLine &line : lines)
        painter.drawPolyline(toPixels(line.km, view));
}

// A text of the picture with the place it takes.
struct TextLabel
{
    QPointF baseline;
    QString text;
    QRectF box;
    qsizetype kept = -1; // its number with the label placer, for a kept text
};

// Meridians are named along the bottom edge, parallels along the left, of
// the picture as it is shown (a window's base picture reaches beyond it).
// Their places are kept from the names of the map's points.
QList<TextLabel> graticuleLabels(MapScene &scene, const MapView &view, LabelPlacer &labels)
{
    const QList<MapScene::GridLine> &lines = scene.graticule(graticuleStep(view), view);
    const QFontMetricsF metrics(font(10));
    const double w = view.size.width(), h = view.size.height();
    QList<TextLabel> out;
    for (const MapScene::GridLine &line : lines) {
        const QPolygonF pixels = toPixels(line.km, view);
        const QString text = gridLabel(line.meridian, line.degrees);
        const double width = metrics.horizontalAdvance(text);
        std::optional<QPointF> baseline;
        if (line.meridian) {
            if (const auto p = crossing(pixels, true, h - 3, w))
                baseline = QPointF(std::clamp(p->x() + 3, 2.0, w - width - 2), h - 5);
        } else if (const auto p = crossing(pixels, false, 3, h)) {
            baseline = QPointF(5, std::clamp(p->y() - 3, metrics.ascent() + 2, h - 4));
        }
        if (!baseline)
            continue;
        const QRectF box(baseline->x() - 1, baseline->y() - metrics.ascent(), width + 2, metrics.height());
        if (!labels.isFree(box))
            continue; // under the scale bar or the north mark, where it could not be read
        out.append({*baseline, text, box, labels.keep(box)});
    }
    return out;
}

void drawGraticuleLabels(QPainter &painter, const QList<TextLabel> &grid, const LabelPlacer &labels)
{
    painter.setFont(font(10));
    for (const TextLabel &label : grid)
        if (!labels.isCovered(label.kept))
            haloText(painter, label.baseline, label.text, kGridText);
}

struct MarkLabel
{
    QPointF at;
    QString id;
};

enum class Symbol { Hexagon, Circle, Ring, Triangle };

void drawSymbol(QPainter &painter, QPointF p, Symbol symbol)
{
    switch (symbol) {
    case Symbol::Circle:
        painter.drawEllipse(p, 3.5, 3.5);
        painter.drawPoint(p);
        break;
    case Symbol::Hexagon:
        painter.drawPolygon(hexagon(p, 4));
        break;
    case Symbol::Ring:
        painter.drawEllipse(p, 4, 4);
        break;
    case Symbol::Triangle: {
        QPolygonF triangle;
        triangle << p + QPointF(0, -4) << p + QPointF(3.6, 2.5) << p + QPointF(-3.6, 2.5);
        painter.drawPolygon(triangle);
        break;
    }
    }
}

bool isRaster(const QPainter &painter)
{
    const int type = painter.device()->devType();
    return (type == QInternal::Image || type == QInternal::Widget || type == QInternal::Pixmap)
        && painter.transform().type() <= QTransform::TxTranslate;
}

// Thousands of the same small symbol: on a raster device one picture of it
// is copied; a printer or PDF gets each drawn as lines.
void drawSymbols(QPainter &painter, const QList<QPointF> &at, const QColor &colour, Symbol symbol)
{
    const QPen pen(colour, 1.1);
    const QBrush fill = symbol == Symbol::Ring ? QBrush(Qt::white) : QBrush(Qt::NoBrush);
    if (isRaster(painter)) {
        const qreal ratio = painter.device()->devicePixelRatioF();
        QImage sprite(QSize(12, 12) * ratio, QImage::Format_ARGB32_Premultiplied);
        sprite.setDevicePixelRatio(ratio);
        sprite.fill(Qt::transparent);
        {
            QPainter s(&sprite);
            s.setRenderHint(QPainter::Antialiasing);
            s.setPen(pen);
            s.setBrush(fill);
            drawSymbol(s, QPointF(6, 6), symbol);
        }
        for (const QPointF &p : at)
            painter.drawImage(QPointF(std::round(p.x()) - 6, std::round(p.y()) - 6), sprite);
        return;
    }
    painter.setPen(pen);
    painter.setBrush(fill);
    for (const QPointF &p : at)
        drawSymbol(painter, p, symbol);
}

// The catalogue beacons in the picture (not those the route uses for its
// corrections, which are drawn as such).
QList<MarkLabel> visibleMarks(const QList<MapScene::Mark> &marks, const QSet<qint64> &skip, const MapView &view)
{
    const QRectF picture = QRectF(QPointF(0, 0), view.size).adjusted(-8, -8, 8, 8);
    QList<MarkLabel> shown;
    for (const MapScene::Mark &m : marks) {
        const QPointF p = view.toPixel(m.km);
        if (picture.contains(p) && !skip.contains(m.code))
            shown.append({p, m.id});
    }
    return shown;
}

QList<QPointF> positions(const QList<MarkLabel> &marks)
{
    QList<QPointF> at;
    at.reserve(marks.size());
    for (const MarkLabel &m : marks)
        at.append(m.at);
    return at;
}

// Names only where there is room, and never thousands of them.
QList<TextLabel> placeMarkLabels(const QList<MarkLabel> &marks, LabelPlacer &labels)
{
    QList<TextLabel> out;
    if (marks.size() > 300)
        return out;
    const QFontMetricsF metrics(font(9));
    for (const MarkLabel &m : marks) {
        const QSizeF size(metrics.horizontalAdvance(m.id), metrics.height());
        if (const auto at = labels.place(m.at, size, metrics.ascent(), 4, false))
            out.append({*at, m.id, QRectF(), -1});
    }
    return out;
}

void drawMarkLabels(QPainter &painter, const QList<TextLabel> &texts, const QColor &colour)
{
    painter.setFont(font(9));
    painter.setPen(colour.darker(130));
    for (const TextLabel &t : texts)
        painter.drawText(t.baseline, t.text);
}

QColor catalogueColour(CatalogueKind kind)
{
    switch (kind) {
    case CatalogueKind::Airport:
        return colours::catalogueAirport();
    case CatalogueKind::Vor:
        return colours::vor();
    case CatalogueKind::Ndb:
        return colours::ndb();
    case CatalogueKind::Intersection:
        break;
    }
    return colours::intersection();
}

Symbol catalogueSymbol(CatalogueKind kind)
{
    switch (kind) {
    case CatalogueKind::Airport:
        return Symbol::Ring;
    case CatalogueKind::Vor:
        return Symbol::Hexagon;
    case CatalogueKind::Ndb:
        return Symbol::Circle;
    case CatalogueKind::Intersection:
        break;
    }
    return Symbol::Triangle;
}

Layer catalogueLayer(CatalogueKind kind)
{
    switch (kind) {
    case CatalogueKind::Airport:
        return Layer::Airports;
    case CatalogueKind::Vor:
        return Layer::Vor;
    case CatalogueKind::Ndb:
        return Layer::Ndb;
    case CatalogueKind::Intersection:
        break;
    }
    return Layer::Intersections;
}

void renderCorrections(QPainter &painter, const MapScene &scene, const MapView &view)
{
    const QColor green = colours::correction();
    QList<QPolygonF> rings;
    QPainterPath area;
    area.setFillRule(Qt::WindingFill);
    for (const MapScene::Correction &c : scene.corrections()) {
        // A chord of 2 sqrt(2 r s) pixels strays s = 0.2 pixel from a circle
        // of radius r: a small circle is drawn with every k-th of its points.
        const QRectF box = c.range.boundingRect();
        const double radius = std::max(box.width(), box.height()) / 2 * view.scale;
        const double segment = 2 * 3.14159265358979323846 * radius / std::max<qsizetype>(1, c.range.size() - 1);
        const qsizetype every = std::max<qsizetype>(1, qsizetype(2 * std::sqrt(0.4 * radius) / std::max(segment, 1e-9)));
        QPolygonF ring;
        for (qsizetype i = 0; i < c.range.size(); i += every)
            ring.append(view.toPixel(c.range.at(i)));
        ring.append(view.toPixel(c.range.last()));
        rings.append(ring);
        area.addPolygon(rings.last());
        area.closeSubpath();
    }
    // The country within reach of some beacon, tinted once however many
    // circles cover it; the rings' own lines give it its edge, so the tint
    // needs no smoothing (which would cost more than all the rest).
    QColor fill = green;
    fill.setAlpha(16);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillPath(area, fill);
    painter.setRenderHint(QPainter::Antialiasing, true);
    QPen ring = thinPen(painter, green, 1.3);
    ring.setDashPattern({7, 4});
    painter.setPen(ring);
    painter.setBrush(Qt::NoBrush);
    for (const QPolygonF &r : std::as_const(rings))
        painter.drawPolygon(r);
    for (const MapScene::Correction &c : scene.corrections()) {
        if (!c.extension.isEmpty()) {
            painter.setPen(QPen(colours::leg(), 1.2, Qt::DotLine));
            painter.drawPolyline(toPixels(c.extension, view));
        }
        if (c.foot) {
            const QPointF a = view.toPixel(c.km), b = view.toPixel(*c.foot);
            QPen line(green, 1.4);
            line.setDashPattern({4, 3});
            painter.setPen(line);
            painter.drawLine(a, b);
            painter.setPen(QPen(green, 1.4));
            painter.drawEllipse(b, 2.5, 2.5);
        }
    }
}

QList<TextLabel> placeCorrectionLabels(const MapScene &scene, const MapView &view, LabelPlacer &labels)
{
    const QFontMetricsF metrics(font(11, true));
    QList<TextLabel> out;
    for (const MapScene::Correction &c : scene.corrections()) {
        const QString text = c.beacon.id;
        const QSizeF size(metrics.horizontalAdvance(text), metrics.height());
        if (const auto at = labels.place(view.toPixel(c.km), size, metrics.ascent(), 7, true))
            out.append({*at, text, QRectF(), -1});
    }
    return out;
}

void renderCorrectionBeacons(QPainter &painter, const MapScene &scene, const MapView &view,
                             const QList<TextLabel> &texts)
{
    const QColor green = colours::correction();
    for (const MapScene::Correction &c : scene.corrections()) {
        const QPointF p = view.toPixel(c.km);
        painter.setPen(QPen(green, 1.6));
        painter.setBrush(Qt::white);
        painter.drawPolygon(hexagon(p, 6));
        painter.setBrush(green);
        painter.drawEllipse(p, 1.8, 1.8);
    }
    painter.setFont(font(11, true));
    for (const TextLabel &t : texts)
        haloText(painter, t.baseline, t.text, green.darker(120));
}

void renderLegs(QPainter &painter, const MapScene &scene, const MapView &view)
{
    QPen pen(colours::leg(), 2.4);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    for (const MapScene::Leg &leg : scene.legs())
        painter.drawPolyline(toPixels(leg.km, view));
}

// How far a route point's symbol reaches from its place: the airport's ring
// and half its pen (the triangle stays within it).
constexpr double kWaypointSymbolReach = 7.5;

// The route's labels: the point's Number, then its ID.
struct RouteLabel
{
    QPointF baseline;
    int index = 0; // into the route's points
};

QList<RouteLabel> placeWaypointLabels(const MapScene &scene, const MapView &view, LabelPlacer &labels)
{
    const QList<MapPoint> &points = scene.route().points;
    const QFontMetricsF idMetrics(font(12, true)), numberMetrics(font(10));
    QList<RouteLabel> out;
    for (const MapScene::Waypoint &w : scene.waypoints()) {
        const MapPoint &point = points.at(w.index);
        const QString number = QString::number(point.number) + u' ';
        const QSizeF size(numberMetrics.horizontalAdvance(number) + idMetrics.horizontalAdvance(point.id),
                          idMetrics.height());
        if (const auto at = labels.place(view.toPixel(w.km), size, idMetrics.ascent(), 8, true))
            out.append({*at, w.index});
    }
    return out;
}

void renderWaypoints(QPainter &painter, const MapScene &scene, const MapView &view, const RenderOptions &options,
                     const QList<RouteLabel> &texts)
{
    const QList<MapPoint> &points = scene.route().points;
    const QFont idFont = font(12, true), numberFont = font(10);
    const QFontMetricsF numberMetrics(numberFont);

    for (const MapScene::Waypoint &w : scene.waypoints()) {
        if (w.index != options.currentPoint)
            continue;
        const QPointF p = view.toPixel(w.km);
        QColor halo = kHighlight;
        halo.setAlpha(200);
        painter.setPen(QPen(QColor(200, 140, 0), 2));
        painter.setBrush(halo);
        painter.drawEllipse(p, 12, 12);
    }
    for (const MapScene::Waypoint &w : scene.waypoints()) {
        const QPointF p = view.toPixel(w.km);
        const MapPoint &point = points.at(w.index);
        if (point.isAirport()) {
            painter.setPen(QPen(colours::airport(), 2));
            painter.setBrush(Qt::white);
            painter.drawEllipse(p, 6.5, 6.5);
            painter.setBrush(colours::airport());
            painter.drawEllipse(p, 2.5, 2.5);
        } else {
            painter.setPen(QPen(ink(), 1.6));
            painter.setBrush(Qt::white);
            QPolygonF triangle;
            triangle << p + QPointF(0, -5.5) << p + QPointF(5, 3.5) << p + QPointF(-5, 3.5);
            painter.drawPolygon(triangle);
        }
    }
    for (const RouteLabel &label : texts) {
        const MapPoint &point = points.at(label.index);
        const QString number = QString::number(point.number) + u' ';
        painter.setFont(numberFont);
        haloText(painter, label.baseline, number, colours::leg().darker(110));
        painter.setFont(idFont);
        haloText(painter, label.baseline + QPointF(numberMetrics.horizontalAdvance(number), 0), point.id,
                 point.isAirport() ? colours::airport() : ink());
    }
}

} // namespace

double graticuleStep(const MapView &view)
{
    const double span = std::min(view.size.width(), view.size.height()) / view.scale;
    if (span < 500)
        return 1;
    if (span < 2000)
        return 5;
    return 10;
}

void renderBase(QPainter &painter, MapScene &scene, const MapView &view, const RenderOptions &options)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF picture(QPointF(0, 0), view.size);
    const QRectF visible = view.visibleKm();
    const double rim = Projection::rimKm();
    const QPointF origin = view.toPixel(QPointF(0, 0));

    // The sphere ends at the rim circle; beyond it there is nothing to show.
    painter.fillRect(picture, kBeyondRim);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colours::sea());
    if (visible.contains(QRectF(-rim, -rim, 2 * rim, 2 * rim)) || view.reachKm() > rim)
        painter.drawEllipse(origin, rim * view.scale, rim * view.scale);
    else
        painter.fillRect(picture, colours::sea());

    BaseGeometry *base = scene.base();
    if (base) {
        const double reach = options.exactReachKm > 0 ? options.exactReachKm : view.reachKm();
        base->ensureDetail(reach + 2 * BaseGeometry::kCoarseStepKm);
        if (options.layers & Layer::Land)
            painter.fillPath(polygonPath(base->layer(MapData::Land), view, visible), colours::land());
        if (options.layers & Layer::Lakes) {
            painter.setPen(thinPen(painter, colours::coast(), 0.8));
            painter.setBrush(colours::sea());
            painter.drawPath(polygonPath(base->layer(MapData::Lakes), view, visible));
        }
        painter.setBrush(Qt::NoBrush);
        if (options.layers & Layer::Coastlines) {
            painter.setPen(thinPen(painter, colours::coast(), 1.0));
            drawLayerLines(painter, base->layer(MapData::Coastlines), view, visible);
        }
        if (options.layers & Layer::Borders) {
            QPen pen = thinPen(painter, colours::border(), 1.1);
            pen.setDashPattern({5, 3, 1.5, 3});
            painter.setPen(pen);
            drawLayerLines(painter, base->layer(MapData::Borders), view, visible);
        }
    }
    if (options.layers & Layer::Graticule)
        renderGraticule(painter, scene, view);
    painter.restore();
}

QList<ShownCatalogue> shownCatalogue(const MapScene &scene, const MapView &view, const RenderOptions &options)
{
    QList<ShownCatalogue> shown;
    const Layers wanted = options.layers & (Layer::Airports | Layer::Vor | Layer::Ndb | Layer::Intersections);
    if (!wanted)
        return shown;
    // The route's own waypoints are drawn as such, and the catalogue's keep off them.
    QSet<qint64> route;
    for (const MapPoint &p : scene.route().points)
        route.insert(p.punktCode);
    const int maxRank = maxRankAt(view.scale);
    constexpr double kMargin = 6;
    const QRectF picture = QRectF(QPointF(0, 0), view.size).adjusted(-kMargin, -kMargin, kMargin, kMargin);
    // A symbol keeps off the ones placed before it (the more important) by
    // this much; the rest of a crowd is left out. The picture is cut into
    // cells of that size: a symbol's rivals are in its cell and the eight
    // around it, and no cell holds more than four symbols so far apart.
    constexpr double kSpacing = 14;
    constexpr int kPerCell = 4;
    const int columns = int(std::ceil(picture.width() / kSpacing)) + 2;
    const int rows = int(std::ceil(picture.height() / kSpacing)) + 2;
    std::vector<QPointF> cells(size_t(columns) * size_t(rows) * kPerCell);
    std::vector<unsigned char> filled(size_t(columns) * size_t(rows), 0);
    const auto cellOf = [&](QPointF p) {
        return QPoint(std::clamp(int((p.x() - picture.left()) / kSpacing) + 1, 0, columns - 1),
                      std::clamp(int((p.y() - picture.top()) / kSpacing) + 1, 0, rows - 1));
    };
    const auto crowded = [&](QPointF p) {
        const QPoint c = cellOf(p);
        for (int y = std::max(0, c.y() - 1); y <= std::min(rows - 1, c.y() + 1); ++y)
            for (int x = std::max(0, c.x() - 1); x <= std::min(columns - 1, c.x() + 1); ++x) {
                const size_t cell = size_t(y) * size_t(columns) + size_t(x);
                for (int k = 0; k < filled[cell]; ++k) {
                    const QPointF d = cells[cell * kPerCell + size_t(k)] - p;
                    if (d.x() * d.x() + d.y() * d.y() < kSpacing * kSpacing)
                        return true;
                }
            }
        return false;
    };
    const auto take = [&](QPointF p) {
        const QPoint c = cellOf(p);
        const size_t cell = size_t(c.y()) * size_t(columns) + size_t(c.x());
        if (filled[cell] < kPerCell)
            cells[cell * kPerCell + filled[cell]++] = p;
    };
    for (const MapScene::Waypoint &w : scene.waypoints()) {
        const QPointF p = view.toPixel(w.km);
        if (picture.contains(p))
            take(p);
    }
    const QList<MapScene::CatalogueMark> &marks = scene.catalogueMarks();
    shown.reserve(marks.size() / 2);
    for (int i = 0; i < marks.size(); ++i) {
        const MapScene::CatalogueMark &m = marks.at(i);
        if (m.rank > maxRank || !(wanted & catalogueLayer(m.kind)))
            continue;
        const QPointF p = view.toPixel(m.km);
        if (!picture.contains(p) || route.contains(m.code) || crowded(p))
            continue;
        take(p);
        shown.append({i, p});
    }
    return shown;
}

int catalogueAt(const QList<ShownCatalogue> &shown, QPointF px, double radiusPx)
{
    int best = -1;
    double bestDistance = radiusPx;
    for (const ShownCatalogue &s : shown) {
        const double distance = std::hypot(s.px.x() - px.x(), s.px.y() - px.y());
        if (distance <= bestDistance) {
            bestDistance = distance;
            best = s.index;
        }
    }
    return best;
}

void renderOverlay(QPainter &painter, MapScene &scene, const MapView &view, const RenderOptions &options)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    LabelPlacer labels;
    // The corners where the scale bar and the north mark stand.
    labels.reserve(QRectF(0, view.size.height() - 60, 200, 60));
    labels.reserve(QRectF(view.size.width() - 60, 14, 60, 60));

    // Where every name goes, most important first: the graticule's along the
    // edges stay readable; then the route's points and its correction
    // beacons, the catalogue's airports, the other RSBN beacons, the VORs and
    // NDBs, and the intersections last, each where the earlier left room.
    QList<TextLabel> grid;
    if (options.layers & Layer::Graticule)
        grid = graticuleLabels(scene, view, labels);
    QList<RouteLabel> routeLabels;
    if (options.layers & Layer::Waypoints) {
        // The route's own symbols stay in sight: no name, not even another
        // point's, is written over one (points close together, a point put
        // beside another on the map).
        for (const MapScene::Waypoint &w : scene.waypoints())
            labels.reserve(QRectF(view.toPixel(w.km) - QPointF(kWaypointSymbolReach, kWaypointSymbolReach),
                                  QSizeF(2 * kWaypointSymbolReach, 2 * kWaypointSymbolReach)));
        routeLabels = placeWaypointLabels(scene, view, labels);
    }
    QList<TextLabel> correctionLabels;
    if (options.layers & Layer::Corrections)
        correctionLabels = placeCorrectionLabels(scene, view, labels);
    const QList<ShownCatalogue> catalogue = shownCatalogue(scene, view, options);
    QList<MarkLabel> byKind[4];
    for (const ShownCatalogue &c : catalogue) {
        const MapScene::CatalogueMark &m = scene.catalogueMarks().at(c.index);
        byKind[int(m.kind)].append({c.px, m.id});
    }
    const QList<TextLabel> airportLabels = placeMarkLabels(byKind[int(CatalogueKind::Airport)], labels);
    QSet<qint64> corrections;
    for (const MapScene::Correction &c : scene.corrections())
        corrections.insert(c.beacon.code);
    QList<MarkLabel> rsbn;
    if (options.layers & Layer::Rsbn)
        rsbn = visibleMarks(scene.rsbn(), corrections, view);
    const QList<TextLabel> rsbnLabels = placeMarkLabels(rsbn, labels);
    const QList<TextLabel> vorLabels = placeMarkLabels(byKind[int(CatalogueKind::Vor)], labels);
    const QList<TextLabel> ndbLabels = placeMarkLabels(byKind[int(CatalogueKind::Ndb)], labels);
    const QList<TextLabel> intersectionLabels = placeMarkLabels(byKind[int(CatalogueKind::Intersection)], labels);

    drawGraticuleLabels(painter, grid, labels);
    if (options.layers & Layer::Corrections)
        renderCorrections(painter, scene, view);
    drawSymbols(painter, positions(rsbn), colours::otherRsbn(), Symbol::Hexagon);
    for (const CatalogueKind kind :
         {CatalogueKind::Intersection, CatalogueKind::Ndb, CatalogueKind::Vor, CatalogueKind::Airport})
        drawSymbols(painter, positions(byKind[int(kind)]), catalogueColour(kind), catalogueSymbol(kind));
    if (options.layers & Layer::Legs)
        renderLegs(painter, scene, view);
    if (options.layers & Layer::Waypoints)
        renderWaypoints(painter, scene, view, options, routeLabels);
    if (options.layers & Layer::Corrections)
        renderCorrectionBeacons(painter, scene, view, correctionLabels);
    drawMarkLabels(painter, airportLabels, colours::catalogueAirport());
    drawMarkLabels(painter, rsbnLabels, colours::otherRsbn());
    drawMarkLabels(painter, vorLabels, colours::vor());
    drawMarkLabels(painter, ndbLabels, colours::ndb());
    drawMarkLabels(painter, intersectionLabels, colours::intersection());

    renderScaleBar(painter, view);
    renderNorth(painter, scene, view);
    renderNotes(painter, options.notes);
    painter.restore();
}

void render(QPainter &painter, MapScene &scene, const MapView &view, const RenderOptions &options)
{
    renderBase(painter, scene, view, options);
    renderOverlay(painter, scene, view, options);
}

} // namespace kx::map::renderer
