#include "MapCanvas.h"

#include "map/core/MapPage.h"
#include "map/core/MapScene.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

namespace kx::map {
namespace {

// The base picture reaches this share of the widget beyond each edge.
constexpr double kPad = 0.25;
// A press that moves less than this is a click, not a drag.
constexpr double kClickSlopPx = 4;
constexpr double kPickRadiusPx = 10;
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
    m_dragging = true;
    m_moved = false;
    m_pressAt = m_lastAt = event->position();
    setCursor(Qt::ClosedHandCursor);
}

void MapCanvas::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF at = event->position();
    if (m_dragging) {
        if (!m_moved && std::hypot(at.x() - m_pressAt.x(), at.y() - m_pressAt.y()) >= kClickSlopPx)
            m_moved = true;
        if (m_moved) {
            m_view.panBy(at - m_lastAt);
            m_lastAt = at;
            viewMoved();
        }
    }
    emit cursorMoved(m_view.toKm(at));
}

void MapCanvas::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_dragging) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_dragging = false;
    unsetCursor();
    if (m_moved) {
        m_refresh.start(0);
        return;
    }
    const int index = m_scene.waypointAt(event->position(), m_view, kPickRadiusPx);
    if (index >= 0)
        emit pointClicked(index);
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
    emit cursorLeft();
}

} // namespace kx::map
