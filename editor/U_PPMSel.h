#pragma once

#include "WaypointPicker.h"

#include <QDialog>

namespace kx::store {
class Query;
class Session;
} // namespace kx::store

namespace kx::ui {
class GridView;
class SearchEdit;
} // namespace kx::ui

namespace kx::editor {

// The waypoint picker: the whole waypoint catalogue in ident order, two search
// edits that find a waypoint by the start of its ident or name while the user
// types, "Вставить" and "Отмена". Its result is the chosen waypoint's Code, 0
// when none was chosen.
class TF_PPMSel : public QDialog, public WaypointPicker
{
    Q_OBJECT
public:
    explicit TF_PPMSel(store::Session &session, QWidget *parent = nullptr);
    ~TF_PPMSel() override;

    // Shows the picker modally and returns its result.
    qint64 pickWaypoint(Mode mode, const QString &caption, qint64 currentPunkt) override;

    // What pickWaypoint does before and after showing, for driving the window
    // without a modal loop: prepare, show(), and read chosen() once it closed.
    void prepare(Mode mode, const QString &caption, qint64 currentPunkt);
    qint64 chosen() const { return m_chosen; }

    store::Query &list() { return *m_list; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void choose();

    store::Session &m_session;
    std::unique_ptr<store::Query> m_list;
    ui::GridView *m_grid = nullptr;
    ui::SearchEdit *m_id = nullptr;
    ui::SearchEdit *m_name = nullptr;
    Mode m_mode = Mode::Add;
    qint64 m_current = 0;
    qint64 m_chosen = 0;
};

} // namespace kx::editor
