#pragma once

#include "WaypointPicker.h"

#include "ui/Dialog.h"

class QLabel;
class QLineEdit;

namespace kx::store {
class Session;
}

namespace kx::ui {
class PictureSpinBox;
}

namespace kx::editor {

// "Новый маршрут": the name, the departure and arrival airports and the
// cruising level of a route made in the program. An airport is typed by its
// ident (its name then shows beside it, or that the catalogue has none) or
// chosen in the waypoint picker with its search ("..."). "Создать" checks the
// entries and makes the route; its Code is then route().
class TF_NewRoute : public ui::Dialog
{
    Q_OBJECT
public:
    // Without a picker the dialog makes the real waypoint picker.
    explicit TF_NewRoute(store::Session &session, QWidget *parent = nullptr, WaypointPicker *picker = nullptr);

    // The route made by the last showing; 0 when none was.
    qint64 route() const { return m_route; }

    void create(); // "Создать"

private:
    void shown() override;
    void airportTyped(int which);
    void pickAirport(int which);
    void proposeName();

    store::Session &m_session;
    WaypointPicker *m_picker;
    qint64 m_route = 0;
    QString m_proposedName;

    QLineEdit *m_name = nullptr;
    QLineEdit *m_airport[2] = {nullptr, nullptr};
    QLabel *m_airportName[2] = {nullptr, nullptr};
    ui::PictureSpinBox *m_fl = nullptr;
};

} // namespace kx::editor
