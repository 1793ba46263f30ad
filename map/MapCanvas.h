#pragma once

#include "map/core/MapRenderer.h"
#include "map/core/MapView.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

namespace kx::map {
class MapScene;
}

namespace kx::map {

// The map on screen: drag to pan, the wheel zooms at the cursor, Home shows
// the whole route, + and - zoom, the arrows pan. A click on a route point
// reports it.
// Pan and zoom answer at once from a picture of the base layers kept from
// the last full drawing (drawn larger than the widget, so that a drag shows
// real country at the edges) and moved or scaled as the view changes; the
// base is drawn anew as soon as the person pauses. The route and the beacons
// are drawn over it at every paint, so they never lag.
class MapCanvas : public QWidget
{
    Q_OBJECT
public:
    explicit MapCanvas(map::MapScene &scene, QWidget *parent = nullptr);

    const map::MapView &view() const { return m_view; }
    void setView(const map::MapView &view);
    // The view that shows the whole route.
    map::MapView fittedView() const;
    void fitRoute();

    const map::RenderOptions &options() const { return m_options; }
    void setLayers(map::Layers layers);
    void setCurrentPoint(int index);
    void setNotes(const QStringList &notes);

    // The scene changed (a new route, an edit, the catalogue): draw anew.
    void sceneChanged();

signals:
    void pointClicked(int index);      // into the route's points
    void cursorMoved(QPointF km);      // in the projected plane
    void cursorLeft();
    void viewChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    map::MapView paddedView() const;
    void renderBase();
    void viewMoved();

    map::MapScene &m_scene;
    map::MapView m_view;
    map::RenderOptions m_options;
    QImage m_base;
    map::MapView m_baseView;
    QTimer m_refresh;
    bool m_dragging = false;
    bool m_moved = false;
    QPointF m_pressAt;
    QPointF m_lastAt;
};

} // namespace kx::map
