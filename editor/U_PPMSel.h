#pragma once

#include "WaypointPicker.h"

#include "geo/CoordText.h"
#include "ui/PickerDialog.h"

#include <optional>

namespace kx::store {
class Database;
class Session;
} // namespace kx::store

namespace kx::ui {
class SearchEdit;
}

namespace kx::editor {

// The waypoint picker: the whole waypoint catalogue in ident order, read in
// pages, with each waypoint's frequency, position and distance from the
// route's current point; two search edits that find a waypoint by the start of
// its ident or of any word of its name while the user types; "Вставить" and
// "Отмена". Its result is the chosen waypoint's Code, 0 when none was chosen.
class TF_PPMSel : public ui::PickerDialog, public WaypointPicker
{
    Q_OBJECT
public:
    explicit TF_PPMSel(store::Session &session, QWidget *parent = nullptr);

    // Shows the picker modally and returns its result.
    qint64 pickWaypoint(Mode mode, const QString &caption, qint64 currentPunkt) override;

    // What pickWaypoint does before showing, for driving the window without a
    // modal loop: prepare, show(), and read chosen() once it closed.
    void prepare(Mode mode, const QString &caption, qint64 currentPunkt);

private:
    store::PagedSql listSql() const override;
    void listRead() override;
    // The distance of a row's waypoint from the route's current point, km.
    QVariant distanceAt(int row);

    store::Database &m_db;
    ui::SearchEdit *m_id = nullptr;
    ui::SearchEdit *m_name = nullptr;
    Mode m_mode = Mode::Add;
    qint64 m_current = 0;
    std::optional<geo::Position> m_origin; // the route's current point
};

} // namespace kx::editor
