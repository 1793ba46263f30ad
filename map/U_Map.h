#pragma once

#include "map/core/MapScene.h"
#include "map/core/MapSettings.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>

class QAction;
class QLabel;

namespace kx::store {
class Query;
class Session;
} // namespace kx::store

namespace kx::ui {
class FileDialogs;
}

namespace kx::editor {
class RouteEditing;
}

namespace kx::map {

class MapCanvas;

// "Карта маршрута": the current route of the route list on a map, in an
// ordinary resizable window beside the others. It follows the route list
// (another route, a calculation) and the route editor's point list (an edit,
// a beacon choice, the current point, which it highlights); a click on a
// route point makes it current in the editor when the editor shows that
// route. Its place, size, layers and zoom are kept in kalyx.ini, [MAP].
// The catalogue's airports, navaids and intersections around the view are
// shown as the zoom allows. While the route is open in the editor the map
// edits it through the editor's own editing (the same steps, messages and
// undo stack): a catalogue waypoint inserted after the current point (right
// button), a leg or a point dragged onto one, a point of one's own made where
// the right button was pressed, a point deleted; Ctrl+Z and Ctrl+Y undo and
// redo. Made once with the other windows; its parent is the route editor, so
// that it works while the editor is shown modally.
class TF_Map : public QWidget
{
    Q_OBJECT
public:
    // editing: the route editor's editing of its route (none: the map only shows).
    TF_Map(store::Session &session, store::Query &pointList, ui::FileDialogs &fileDialogs, QWidget *parent = nullptr,
           editor::RouteEditing *editing = nullptr);
    ~TF_Map() override;

    // Shows the window on the current route (or brings it to the front).
    void showMap();

    MapCanvas &canvas() { return *m_canvas; }
    map::MapScene &scene() { return m_scene; }
    QString statusText() const;
    QAction *layerAction(map::Layer layer) const;
    // Whether the map edits the route now (the editor shows it).
    bool isEditing() const;

    // The window's commands.
    void printMap();  // "Печать" (through the route sheet's preview)
    void savePng();   // "Сохранить PNG"

    // The edits, as the right button's menu and the drags make them.
    void insertCatalogueWaypoint(int catalogueIndex);         // "Вставить после ППМ N"
    void insertIntoLeg(int fromIndex, int catalogueIndex);    // a leg dropped on a waypoint
    void replacePoint(int pointIndex, int catalogueIndex);    // a point dropped on a waypoint
    void deletePoint(int pointIndex);                          // "Удалить ППМ"
    void newOwnPoint(QPointF km);                              // "Новый пункт здесь"

protected:
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildWindow();
    bool loadBase();
    void reload();
    void scheduleReload();
    void updateCurrentPoint();
    void pointClicked(int index);
    void cursorMoved(QPointF km);
    void showStatus();
    void loadCatalogue(const map::MapView &view);
    void showContextMenu(QPoint globalPos, int pointIndex, int catalogueIndex, QPointF km);
    // The editor's current point: its row (from 1) and the route's number of points.
    int currentRow() const;
    void setLayer(map::Layer layer, bool on);
    void saveSettings();
    qint64 routeCode() const;
    bool editorShowsRoute() const;

    store::Session &m_session;
    store::Query &m_pointList;
    editor::RouteEditing *m_editing;
    ui::FileDialogs &m_fileDialogs;
    map::MapScene m_scene;
    map::MapSettings m_settings;
    bool m_settingsRead = false;
    bool m_baseTried = false;
    bool m_indexFresh = false;
    qint64 m_route = 0;
    int m_ownCurrent = -1; // the point clicked while no editor shows the route
    QTimer m_reload;
    MapCanvas *m_canvas = nullptr;
    QLabel *m_status = nullptr;
    QString m_pngFolder;
};

} // namespace kx::map
