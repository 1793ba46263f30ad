#pragma once

#include "WaypointPicker.h"

#include "ui/PickerDialog.h"

namespace kx::store {
class Session;
}

namespace kx::ui {
class SearchEdit;
}

namespace kx::editor {

// The waypoint picker: the whole waypoint catalogue in ident order, two search
// edits that find a waypoint by the start of its ident or name while the user
// types, "Вставить" and "Отмена". Its result is the chosen waypoint's Code, 0
// when none was chosen.
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
    QString listSql() const override;
    void listRead() override;

    ui::SearchEdit *m_id = nullptr;
    ui::SearchEdit *m_name = nullptr;
    Mode m_mode = Mode::Add;
    qint64 m_current = 0;
};

} // namespace kx::editor
