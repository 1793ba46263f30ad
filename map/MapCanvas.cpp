#include "MapCanvas.h"

#include "editor/core/RouteEditing.h"
#include "map/core/MapPage.h"
#include "map/core/MapScene.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace kx::map {
namespace {

// The base picture reaches this share of the widget beyond each edge.
constexpr double kPad = 0.25;
// A press that moves less than this is a click, not a drag.
constexpr double kClickSlopPx = 4;
constexpr double kPickRadiusPx = 10;
// A press this close to a leg takes the leg.
constexpr double kLegRadiusPx = 5;
constexpr double kWheelStep = 1.25;
// The base is drawn anew once the person pauses this long.
constexpr int kRefreshMs = 120;

} // namespace

MapCanvas::MapCanvas(map::MapScene &scene, QWidget *parent)
    : QWidget(parent)
    , m_scene(scene)
{
    setObjectName(QStringLiteral("MapCanvas"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 150);
    m_view.size = QSizeF(640, 480);
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(kRefreshMs);
    connect(&m_refresh, &QTimer::timeout, this, [this] {
        renderBase();
        update();
    });
}

void MapCanvas::setView(const map::MapView &view)
{
    m_view = view;
    m_view.size = size();
    m_view.setScale(view.scale);
    viewMoved();
}

map::MapView MapCanvas::fittedView() const
{
    return map::fitRoute(m_scene, QSizeF(size()));
}

void MapCanvas::fitRoute()
{
    setView(fittedView());
}

void MapCanvas::setLayers(map::Layers layers)
{
    m_options.layers = layers;
    sceneChanged();
}

void MapCanvas::setCurrentPoint(int index)
{
    if (m_options.currentPoint == index)
        return;
    m_options.currentPoint = index;
    update();
}

void MapCanvas::setNotes(const QStringList &notes)
{
    m_options.notes = notes;
    update();
}

void MapCanvas::setEditable(bool editable)
{
    if (m_editable == editable)
        return;
    m_editable = editable;
    if (!editable && isDragging())
        endDrag();
}

QList<map::renderer::ShownCatalogue> MapCanvas::shownCatalogue() const
{
    return map::renderer::shownCatalogue(m_scene, m_view, m_options);
}

int MapCanvas::catalogueAt(QPointF px) const
{
    return map::renderer::catalogueAt(shownCatalogue(), px, kPickRadiusPx);
}

int MapCanvas::legAt(QPointF px) const
{
    for (const map::MapScene::Leg &leg : m_scene.legs()) {
        const QPolygonF line = leg.km;
        for (qsizetype i = 1; i < line.size(); ++i) {
            const QPointF a = m_view.toPixel(line.at(i - 1)), b = m_view.toPixel(line.at(i));
            const QPointF ab = b - a;
            const double length2 = QPointF::dotProduct(ab, ab);
            const double t = length2 > 0 ? std::clamp(QPointF::dotProduct(px - a, ab) / length2, 0.0, 1.0) : 0;
            const QPointF d = a + t * ab - px;
            if (std::hypot(d.x(), d.y()) <= kLegRadiusPx)
                return leg.from;
        }
    }
    return -1;
}

void MapCanvas::sceneChanged()
{
    m_base = QImage();
    if (isVisible())
        renderBase();
    update();
}

map::MapView MapCanvas::paddedView() const
{
    map::MapView v = m_view;
    v.size = QSizeF(m_view.size.width() * (1 + 2 * kPad), m_view.size.height() * (1 + 2 * kPad));
    return v;
}

void MapCanvas::renderBase()
{
    m_baseView = paddedView();
    const qreal ratio = devicePixelRatioF();
    m_base = QImage((m_baseView.size * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    m_base.setDevicePixelRatio(ratio);
    // The catalogue's waypoints for as much as the picture holds.
    if (m_catalogueSource)
        m_catalogueSource(m_baseView);
    QPainter painter(&m_base);
    // Exact where the window shows; the margin kept for dragging may be
    // coarser for the moment the drag lasts.
    map::RenderOptions options = m_options;
    options.exactReachKm = m_view.reachKm();
    map::renderer::renderBase(painter, m_scene, m_baseView, options);
}

void MapCanvas::viewMoved()
{
    update();
    m_refresh.start();
    emit viewChanged();
}

void MapCanvas::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_base.isNull())
        renderBase();
    // The base picture where its plane now lies: the same plane point at the
    // same place, scaled by the change of scale.
    const double factor = m_view.scale / m_baseView.scale;
    const QPointF baseOrigin = m_view.toPixel(m_baseView.toKm(QPointF(0, 0)));
    const QRectF target(baseOrigin, m_baseView.size * factor);
    if (factor != 1 || !target.contains(QRectF(rect())))
        painter.fillRect(rect(), map::renderer::colours::sea());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, factor != 1);
    painter.drawImage(target, m_base);
    map::renderer::renderOverlay(painter, m_scene, m_view, m_options);
    if (isDragging())
        paintDrag(painter);
}

void MapCanvas::paintDrag(QPainter &painter) const
{
    // The legs as they would run: from the neighbours of the dragged point,
    // or from the ends of the dragged leg, to the cursor.
    QList<int> ends;
    const QList<map::MapScene::Waypoint> &waypoints = m_scene.waypoints();
    const auto at = [&](int index) -> std::optional<QPointF> {
        for (const map::MapScene::Waypoint &w : waypoints)
            if (w.index == index)
                return m_view.toPixel(w.km);
        return std::nullopt;
    };
    if (m_drag == Drag::Point)
        ends = {m_dragIndex - 1, m_dragIndex + 1};
    else
        ends = {m_dragIndex, m_dragIndex + 1};
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    QPen band(map::renderer::colours::leg(), 1.6, Qt::DashLine);
    painter.setPen(band);
    for (const int end : ends)
        if (const auto p = at(end))
            painter.drawLine(*p, m_lastAt);
    if (m_target >= 0 && m_target < m_scene.catalogueMarks().size()) {
        const QPointF p = m_view.toPixel(m_scene.catalogueMarks().at(m_target).km);
        painter.setPen(QPen(QColor(200, 140, 0), 2.5));
        painter.setBrush(QColor(255, 212, 0, 120));
        painter.drawEllipse(p, 11, 11);
    }
    painter.restore();
}

void MapCanvas::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_view.size = size();
    m_view.setScale(m_view.scale);
    m_base = QImage();
    update();
}

void MapCanvas::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_moved = false;
    m_target = -1;
    m_pressAt = m_lastAt = event->position();
    m_drag = Drag::Pan;
    if (m_editable) {
        const int count = static_cast<int>(m_scene.route().points.size());
        const int point = m_scene.waypointAt(m_pressAt, m_view, kPickRadiusPx);
        const int leg = point < 0 ? legAt(m_pressAt) : -1;
        if (point >= 0 && editor::canChangePoint(point + 1, count)) {
            m_drag = Drag::Point;
            m_dragIndex = point;
        } else if (leg >= 0 && editor::canInsertAfter(leg + 1, count)) {
            m_drag = Drag::Leg;
            m_dragIndex = leg;
        }
    }
    setCursor(m_drag == Drag::Pan ? Qt::ClosedHandCursor : Qt::CrossCursor);
}

void MapCanvas::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF at = event->position();
    if (m_drag != Drag::None) {
        if (!m_moved && std::hypot(at.x() - m_pressAt.x(), at.y() - m_pressAt.y()) >= kClickSlopPx)
            m_moved = true;
        if (m_moved && m_drag == Drag::Pan) {
            m_view.panBy(at - m_lastAt);
            m_lastAt = at;
            viewMoved();
        } else if (m_moved) {
            m_lastAt = at;
            m_target = catalogueAt(at);
            update();
        }
    }
    m_cursorKm = m_view.toKm(at);
    emit cursorMoved(*m_cursorKm);
}

void MapCanvas::endDrag()
{
    m_drag = Drag::None;
    m_target = -1;
    m_dragIndex = -1;
    unsetCursor();
    update();
}

void MapCanvas::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_drag == Drag::None) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const Drag drag = m_drag;
    const int index = m_dragIndex;
    if (m_moved && drag == Drag::Pan) {
        endDrag();
        m_refresh.start(0);
        return;
    }
    if (m_moved) {
        const int target = catalogueAt(event->position());
        endDrag();
        if (target >= 0 && drag == Drag::Point)
            emit replaceRequested(index, target);
        else if (target >= 0)
            emit insertRequested(index, target);
        return;
    }
    endDrag();
    const int point = m_scene.waypointAt(event->position(), m_view, kPickRadiusPx);
    if (point >= 0)
        emit pointClicked(point);
}

void MapCanvas::contextMenuEvent(QContextMenuEvent *event)
{
    if (isDragging())
        return;
    const QPointF at = event->pos();
    const int point = m_scene.waypointAt(at, m_view, kPickRadiusPx);
    const int catalogue = point < 0 ? catalogueAt(at) : -1;
    emit contextRequested(event->globalPos(), point, catalogue, m_view.toKm(at));
}

void MapCanvas::wheelEvent(QWheelEvent *event)
{
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0) {
        event->ignore();
        return;
    }
    m_view.zoomAt(event->position(), std::pow(kWheelStep, steps));
    viewMoved();
    event->accept();
}

void MapCanvas::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && m_drag != Drag::None) {
        // Esc drops what the drag was to do (a pan stays where it got to).
        endDrag();
        return;
    }
    const QPointF middle(width() / 2.0, height() / 2.0);
    switch (event->key()) {
    case Qt::Key_Home:
        fitRoute();
        return;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        m_view.zoomAt(middle, kWheelStep);
        break;
    case Qt::Key_Minus:
        m_view.zoomAt(middle, 1 / kWheelStep);
        break;
    case Qt::Key_Left:
        m_view.panBy(QPointF(width() / 8.0, 0));
        break;
    case Qt::Key_Right:
        m_view.panBy(QPointF(-width() / 8.0, 0));
        break;
    case Qt::Key_Up:
        m_view.panBy(QPointF(0, height() / 8.0));
        break;
    case Qt::Key_Down:
        m_view.panBy(QPointF(0, -height() / 8.0));
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    viewMoved();
}

void MapCanvas::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    m_cursorKm.reset();
    emit cursorLeft();
}

} // namespace kx::map
