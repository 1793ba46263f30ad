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
#include <QSet>

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

// Meridians are named along the bottom edge, parallels along the left, of
// the picture as it is shown (a window's base picture reaches beyond it).
void renderGraticuleLabels(QPainter &painter, MapScene &scene, const MapView &view)
{
    const QList<MapScene::GridLine> &lines = scene.graticule(graticuleStep(view), view);
    const QFont f = font(10);
    painter.setFont(f);
    const QFontMetricsF metrics(f);
    const double w = view.size.width(), h = view.size.height();
    for (const MapScene::GridLine &line : lines) {
        const QPolygonF pixels = toPixels(line.km, view);
        const QString text = gridLabel(line.meridian, line.degrees);
        const double width = metrics.horizontalAdvance(text);
        if (line.meridian) {
            if (const auto p = crossing(pixels, true, h - 3, w))
                haloText(painter, QPointF(std::clamp(p->x() + 3, 2.0, w - width - 2), h - 5), text, kGridText);
        } else if (const auto p = crossing(pixels, false, 3, h)) {
            haloText(painter, QPointF(5, std::clamp(p->y() - 3, metrics.ascent() + 2, h - 4)), text, kGridText);
        }
    }
}

struct MarkLabel
{
    QPointF at;
    QString id;
};

// The symbols of catalogue beacons in the picture (not those the route uses
// for its corrections, which are drawn as such); their names are returned to
// be placed after the route's own.
void drawMarkSymbol(QPainter &painter, QPointF p, bool circleSymbol)
{
    if (circleSymbol) {
        painter.drawEllipse(p, 3.5, 3.5);
        painter.drawPoint(p);
    } else {
        painter.drawPolygon(hexagon(p, 4));
    }
}

// The symbols of catalogue beacons in the picture (not those the route uses
// for its corrections, which are drawn as such); their names are returned to
// be placed after the route's own.
QList<MarkLabel> renderMarks(QPainter &painter, const QList<MapScene::Mark> &marks, const QSet<qint64> &skip,
                             const MapView &view, const QColor &colour, bool circleSymbol)
{
    const QRectF picture = QRectF(QPointF(0, 0), view.size).adjusted(-8, -8, 8, 8);
    QList<MarkLabel> shown;
    const QPen pen(colour, 1.1);
    // Thousands of the same small symbol: on a raster device one picture of
    // it is copied; a printer or PDF gets each drawn as lines.
    const int type = painter.device()->devType();
    const bool raster = (type == QInternal::Image || type == QInternal::Widget || type == QInternal::Pixmap)
        && painter.transform().type() <= QTransform::TxTranslate;
    QImage sprite;
    if (raster) {
        const qreal ratio = painter.device()->devicePixelRatioF();
        sprite = QImage(QSize(12, 12) * ratio, QImage::Format_ARGB32_Premultiplied);
        sprite.setDevicePixelRatio(ratio);
        sprite.fill(Qt::transparent);
        QPainter s(&sprite);
        s.setRenderHint(QPainter::Antialiasing);
        s.setPen(pen);
        drawMarkSymbol(s, QPointF(6, 6), circleSymbol);
    }
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    for (const MapScene::Mark &m : marks) {
        const QPointF p = view.toPixel(m.km);
        if (!picture.contains(p) || skip.contains(m.code))
            continue;
        if (raster)
            painter.drawImage(QPointF(std::round(p.x()) - 6, std::round(p.y()) - 6), sprite);
        else
            drawMarkSymbol(painter, p, circleSymbol);
        shown.append({p, m.id});
    }
    return shown;
}

// Names only where there is room, and never thousands of them.
void renderMarkLabels(QPainter &painter, const QList<MarkLabel> &marks, const QColor &colour, LabelPlacer &labels)
{
    if (marks.size() > 300)
        return;
    const QFont f = font(9);
    painter.setFont(f);
    const QFontMetricsF metrics(f);
    painter.setPen(colour.darker(130));
    for (const MarkLabel &m : marks) {
        const QSizeF size(metrics.horizontalAdvance(m.id), metrics.height());
        if (const auto at = labels.place(m.at, size, metrics.ascent(), 4, false))
            painter.drawText(*at, m.id);
    }
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

void renderCorrectionBeacons(QPainter &painter, const MapScene &scene, const MapView &view, LabelPlacer &labels)
{
    const QColor green = colours::correction();
    const QFont f = font(11, true);
    const QFontMetricsF metrics(f);
    for (const MapScene::Correction &c : scene.corrections()) {
        const QPointF p = view.toPixel(c.km);
        painter.setPen(QPen(green, 1.6));
        painter.setBrush(Qt::white);
        painter.drawPolygon(hexagon(p, 6));
        painter.setBrush(green);
        painter.drawEllipse(p, 1.8, 1.8);
        painter.setFont(f);
        const QString text = c.beacon.id;
        const QSizeF size(metrics.horizontalAdvance(text), metrics.height());
        if (const auto at = labels.place(p, size, metrics.ascent(), 7, true))
            haloText(painter, *at, text, green.darker(120));
    }
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

void renderWaypoints(QPainter &painter, const MapScene &scene, const MapView &view, const RenderOptions &options,
                     LabelPlacer &labels)
{
    const QList<MapPoint> &points = scene.route().points;
    const QFont idFont = font(12, true), numberFont = font(10);
    const QFontMetricsF idMetrics(idFont), numberMetrics(numberFont);

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
    // Labels: the point's Number, then its ID.
    for (const MapScene::Waypoint &w : scene.waypoints()) {
        const QPointF p = view.toPixel(w.km);
        const MapPoint &point = points.at(w.index);
        const QString number = QString::number(point.number) + u' ';
        const double numberWidth = numberMetrics.horizontalAdvance(number);
        const QSizeF size(numberWidth + idMetrics.horizontalAdvance(point.id), idMetrics.height());
        const auto at = labels.place(p, size, idMetrics.ascent(), 8, true);
        painter.setFont(numberFont);
        haloText(painter, *at, number, colours::leg().darker(110));
        painter.setFont(idFont);
        haloText(painter, *at + QPointF(numberWidth, 0), point.id, point.isAirport() ? colours::airport() : ink());
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

void renderOverlay(QPainter &painter, MapScene &scene, const MapView &view, const RenderOptions &options)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    LabelPlacer labels(view.size);
    // The corners where the scale bar and the north mark stand.
    labels.reserve(QRectF(0, view.size.height() - 60, 200, 60));
    labels.reserve(QRectF(view.size.width() - 60, 14, 60, 60));

    if (options.layers & Layer::Graticule)
        renderGraticuleLabels(painter, scene, view);
    if (options.layers & Layer::Corrections)
        renderCorrections(painter, scene, view);
    QSet<qint64> corrections;
    for (const MapScene::Correction &c : scene.corrections())
        corrections.insert(c.beacon.code);
    QList<MarkLabel> rsbn, vor, ndb;
    if (options.layers & Layer::Rsbn)
        rsbn = renderMarks(painter, scene.rsbn(), corrections, view, colours::otherRsbn(), false);
    if (options.layers & Layer::Vor)
        vor = renderMarks(painter, scene.vor(), {}, view, colours::vor(), false);
    if (options.layers & Layer::Ndb)
        ndb = renderMarks(painter, scene.ndb(), {}, view, colours::ndb(), true);
    if (options.layers & Layer::Legs)
        renderLegs(painter, scene, view);
    // The route's own labels are placed first: the catalogue's give way.
    if (options.layers & Layer::Waypoints)
        renderWaypoints(painter, scene, view, options, labels);
    if (options.layers & Layer::Corrections)
        renderCorrectionBeacons(painter, scene, view, labels);
    renderMarkLabels(painter, rsbn, colours::otherRsbn(), labels);
    renderMarkLabels(painter, vor, colours::vor(), labels);
    renderMarkLabels(painter, ndb, colours::ndb(), labels);

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
