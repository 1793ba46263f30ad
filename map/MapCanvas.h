#pragma once

#include "map/core/MapRenderer.h"
#include "map/core/MapView.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>

namespace kx::map {
class MapScene;
}

namespace kx::map {

// The map on screen: drag to pan, the wheel zooms at the cursor, Home shows
// the whole route, + and - zoom, the arrows pan. A click on a route point
// reports it. While the route can be edited, dragging one of its points (not
// the first or the last) or a leg onto a catalogue waypoint asks to put the
// point there or to insert the waypoint in the leg: a rubber band follows the
// cursor, the waypoint under it is highlighted, Esc cancels.
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

    // Whether the route's points may be dragged (the route is open in the editor).
    void setEditable(bool editable);
    bool isEditable() const { return m_editable; }
    // Called with the view the base picture is drawn for, so that the
    // catalogue's waypoints around it are read.
    void setCatalogueSource(std::function<void(const map::MapView &)> source) { m_catalogueSource = std::move(source); }
    // The catalogue waypoints the picture shows now, for picking.
    QList<map::renderer::ShownCatalogue> shownCatalogue() const;
    // The catalogue waypoint drawn nearest to px (index into the scene's
    // catalogueMarks()), or -1.
    int catalogueAt(QPointF px) const;
    // Where the last move of the pointer was, in the plane; nothing once it left.
    std::optional<QPointF> cursorKm() const { return m_cursorKm; }
    bool isDragging() const { return m_drag == Drag::Point || m_drag == Drag::Leg; }
signals:
    void pointClicked(int index);      // into the route's points
    // A route point (index into the route's points) dropped on a catalogue
    // waypoint (index into the scene's catalogueMarks()).
    void replaceRequested(int pointIndex, int catalogueIndex);
    // A leg, by the index of the point it starts at, dropped on a waypoint.
    void insertRequested(int fromIndex, int catalogueIndex);
    // The right button: what lies under it (-1 for nothing) and where.
    void contextRequested(QPoint globalPos, int pointIndex, int catalogueIndex, QPointF km);
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
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    enum class Drag { None, Pan, Point, Leg };

    map::MapView paddedView() const;
    void renderBase();
    void viewMoved();
    int legAt(QPointF px) const;
    void paintDrag(QPainter &painter) const;
    void endDrag();

    map::MapScene &m_scene;
    map::MapView m_view;
    map::RenderOptions m_options;
    QImage m_base;
    map::MapView m_baseView;
    QTimer m_refresh;
    Drag m_drag = Drag::None;
    bool m_moved = false;
    int m_dragIndex = -1; // the dragged point, or the point the dragged leg starts at
    int m_target = -1;    // the catalogue waypoint under the cursor while dragging
    QPointF m_pressAt;
    QPointF m_lastAt;
    bool m_editable = false;
    std::function<void(const map::MapView &)> m_catalogueSource;
    std::optional<QPointF> m_cursorKm;
};

} // namespace kx::map
