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

namespace kx::map {

class MapCanvas;

// "Карта маршрута": the current route of the route list on a map, in an
// ordinary resizable window beside the others. It follows the route list
// (another route, a calculation) and the route editor's point list (an edit,
// a beacon choice, the current point, which it highlights); a click on a
// route point makes it current in the editor when the editor shows that
// route. Its place, size, layers and zoom are kept in kalyx.ini, [MAP].
// Made once with the other windows; its parent is the route editor, so that
// it works while the editor is shown modally.
class TF_Map : public QWidget
{
    Q_OBJECT
public:
    TF_Map(store::Session &session, store::Query &pointList, ui::FileDialogs &fileDialogs, QWidget *parent = nullptr);
    ~TF_Map() override;

    // Shows the window on the current route (or brings it to the front).
    void showMap();

    MapCanvas &canvas() { return *m_canvas; }
    map::MapScene &scene() { return m_scene; }
    QString statusText() const;
    QAction *layerAction(map::Layer layer) const;

    // The window's commands.
    void printMap();  // "Печать" (through the route sheet's preview)
    void savePng();   // "Сохранить PNG"

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
    void setLayer(map::Layer layer, bool on);
    void saveSettings();
    qint64 routeCode() const;
    bool editorShowsRoute() const;

    store::Session &m_session;
    store::Query &m_pointList;
    ui::FileDialogs &m_fileDialogs;
    map::MapScene m_scene;
    map::MapSettings m_settings;
    bool m_settingsRead = false;
    bool m_baseTried = false;
    bool m_navaidsRead = false;
    qint64 m_route = 0;
    int m_ownCurrent = -1; // the point clicked while no editor shows the route
    QTimer m_reload;
    MapCanvas *m_canvas = nullptr;
    QLabel *m_status = nullptr;
    QString m_pngFolder;
};

} // namespace kx::map
