#pragma once

#include "ui/Dialog.h"
#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kx::store {
class Query;
class Session;
} // namespace kx::store

namespace kx::ui {
class EnterWalk;
class CoordinateEdit;
class NumberEdit;
} // namespace kx::ui

namespace kx::catalogues {

class CatalogueLists;

class TF_AP;

// The waypoint editor: one waypoint of the catalogue, new or edited, with its
// type, region, ident, name, position and beacon frequency. It works on the
// current row of QPunkts, which its opener has opened and made current (in
// new mode it appends a row there). Saving checks the entries, refuses a
// duplicate, stores the row with the magnetic variation at its position,
// marks the routes through a moved waypoint as not calculated and deletes the
// runways of a waypoint that is not an airport.
class TF_PPM : public ui::Dialog
{
    Q_OBJECT
public:
    enum class Mode { New, Edit };

    TF_PPM(store::Session &session, CatalogueLists &lists, QWidget *parent = nullptr);
    ~TF_PPM() override;

    // The mode of the next showing.
    void setMode(Mode mode) { m_mode = mode; }
    Mode mode() const { return m_mode; }
    // Shows the editor modally in this mode; QDialog::Accepted when saved.
    int run(Mode mode);

    // Whether the last showing stored a position other than the one the
    // waypoint had when it opened. Typing into a coordinate field and then
    // cancelling stores nothing, so it leaves this false. Cleared when the
    // editor opens; kept after it closed, for its opener.
    bool positionSaved() const { return m_positionSaved; }

    TF_AP &airportWindow() { return *m_airport; }

    void save();        // "Сохранить"
    void openAirport(); // "Аэропорт"

    // Closing without saving discards the row's pending changes (a new row
    // disappears).
    void done(int result) override;

private:
    void shown() override;
    void buildWindow();
    void typeChanged(int index);
    bool acceptLat();
    bool acceptLon();
    // What to store for a coordinate field: its text, or the stored text when
    // the field still shows what it showed at opening.
    QString enteredLat() const;
    QString enteredLon() const;
    void enterInType();

    store::Session &m_session;
    CatalogueLists &m_lists;
    store::Query &m_punkts;
    TF_AP *m_airport = nullptr;
    ui::EnterWalk *m_walk = nullptr;
    Mode m_mode = Mode::Edit;
    bool m_positionSaved = false;
    // The stored texts at opening, and the fields as they showed them: a field
    // the person left as it was keeps the stored text, which may hold more than
    // the field can show (a flight plan's three-digit fraction).
    QString m_openingLat;
    QString m_openingLon;
    QString m_openingLatField;
    QString m_openingLonField;

    QComboBox *m_type = nullptr;
    QLabel *m_regionLabel = nullptr;
    QLineEdit *m_region = nullptr;
    QLineEdit *m_id = nullptr;
    QLineEdit *m_name = nullptr;
    ui::CoordinateEdit *m_lat = nullptr;
    ui::CoordinateEdit *m_lon = nullptr;
    ui::NumberEdit *m_freq = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_ap = nullptr;
};

} // namespace kx::catalogues
