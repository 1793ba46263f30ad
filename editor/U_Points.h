#pragma once

#include "BeaconPicker.h"
#include "editor/core/RouteEditing.h"
#include "PointsHooks.h"
#include "WaypointPicker.h"

#include "ui/Dialog.h"

#include <functional>

class QAction;
class QLineEdit;
class QPushButton;

namespace kx::store {
class Session;
}

namespace kx::ui {
class GridView;
class Meter;
class Navigator;
class PictureSpinBox;
} // namespace kx::ui

namespace kx::editor {

// The route editor: the current route of the route list with its header and
// its points, whether it is calculated, the calculation, point editing, the
// correction beacons and the service commands. Shown modally (exec()) for the
// current row of the session's route list; when it closes, the route list has
// been read again with the same route current.
class TF_Points : public ui::Dialog
{
    Q_OBJECT
public:
    // Without pickers the editor makes the real picker windows.
    explicit TF_Points(store::Session &session, QWidget *parent = nullptr, WaypointPicker *waypoints = nullptr,
                       BeaconPicker *beacons = nullptr);
    ~TF_Points() override;

    void setHooks(PointsHooks hooks) { m_hooks = std::move(hooks); }

    // For other commands that work on the open route.
    // Marks the route as not calculated: the first time since the window was
    // shown or the route last calculated, shows the status and writes
    // Routes.DateTime = Null (with the typed header); later calls do nothing.
    void markNotCalculated();
    bool isMarkedNotCalculated() const { return m_editing.marker().isSet(); }
    // Read the point list again, keeping a point by its Code or a row number.
    bool reloadPointsAtCode(qint64 pointCode);
    bool reloadPointsAtRow(int rowNumber);
    qint64 routeCode() const { return m_points.route(); }
    qint64 currentPointCode() const { return m_points.currentCode(); }
    qint64 currentPunkt() const { return m_points.currentPunkt(); }
    store::Query &pointList() { return m_points.query(); } // QPPM
    ui::Meter &meter() { return *m_meter; }
    // The open route's editing, which the map shares.
    RouteEditing &editing() { return m_editing; }

    // The window's commands.
    void calculate();     // "Расчет"
    void newPoint();      // "Добавить"
    void replacePoint();  // "Изменить"
    void deletePoint();   // "Удалить"
    void selectBeacon();  // "Выбрать маяк"
    void removeBeacon();  // "Удалить корр."
    void undo();          // the popup menu's "Отменить", Ctrl+Z
    void redo();          // "Повторить", Ctrl+Y

    // Closing (by "Закрыть" or otherwise) offers to delete a route without
    // points, saves the header and puts the route list back on the route.
    void done(int result) override;

private:
    void shown() override;
    void buildWindow();
    QWidget *buildHeader();
    QWidget *buildPointsGroup();
    void showRouteStatus();
    void showNotCalculated();
    void updateButtons();
    void updateUndoActions();
    void runService(const std::function<void()> &command);
    bool reloaded(bool ok);

    store::Session &m_session;
    RouteEditing m_editing;
    PointList &m_points;
    PointsHooks m_hooks;
    WaypointPicker *m_waypoints;
    BeaconPicker *m_beacons;

    QLineEdit *m_name = nullptr;
    ui::PictureSpinBox *m_fl = nullptr;
    QLineEdit *m_apV = nullptr;
    QLineEdit *m_apP = nullptr;
    ui::GridView *m_grid = nullptr;
    ui::Meter *m_meter = nullptr;
    ui::Navigator *m_navigator = nullptr;
    QPushButton *m_newP = nullptr;
    QPushButton *m_editP = nullptr;
    QPushButton *m_delP = nullptr;
    QPushButton *m_selectM = nullptr;
    QPushButton *m_delM = nullptr;
    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
};

} // namespace kx::editor
