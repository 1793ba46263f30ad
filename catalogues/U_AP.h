#pragma once

#include "store/Query.h"

#include "ui/Dialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kx::store {
class Session;
}

namespace kx::ui {
class EnterWalk;
class GridView;
class NumberEdit;
} // namespace kx::ui

namespace kx::catalogues {

class CatalogueLists;

class TF_VPP;

// The airport window, for the current row of QPunkts (the waypoint the
// editor has open): elevation in feet and metres following each other,
// transition level and altitude, ATIS frequency, the airport's RSBN beacon,
// and its runways (QAP) with the runway dialog. Closing it, in any way, stores
// the airport's columns of the row (the editor's own entries stay pending for
// the editor) and the runways.
class TF_AP : public ui::Dialog
{
    Q_OBJECT
public:
    TF_AP(store::Session &session, CatalogueLists &lists, QWidget *parent = nullptr);
    ~TF_AP() override;

    int run() { return exec(); }

    store::Query &runways() { return m_qap; } // QAP
    TF_VPP &runwayDialog() { return *m_vpp; }
    qint64 airport() const { return m_airport; }

    void addRunway();    // "Добавить ВПП"
    void editRunway();   // "Свойства ВПП"
    void deleteRunway(); // "Удалить ВПП"

    void done(int result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void shown() override;
    void buildWindow();
    QWidget *buildRunwayGroup();
    void loadBeacons();
    QVariant chosenBeacon() const;
    void updateRunwayState();
    void metresFromFeet();
    void feetFromMetres();

    store::Session &m_session;
    CatalogueLists &m_lists;
    store::Query &m_punkts;
    store::Query m_qap;
    TF_VPP *m_vpp = nullptr;
    ui::EnterWalk *m_walk = nullptr;
    qint64 m_airport = 0;
    bool m_beaconsLoaded = false;

    QLineEdit *m_id = nullptr;
    QLineEdit *m_name = nullptr;
    ui::NumberEdit *m_feet = nullptr;
    ui::NumberEdit *m_metres = nullptr;
    ui::NumberEdit *m_flPer = nullptr;
    ui::NumberEdit *m_hPer = nullptr;
    ui::NumberEdit *m_atis = nullptr;
    QComboBox *m_rsbn = nullptr;
    ui::GridView *m_grid = nullptr;
    QLabel *m_noRunways = nullptr;
    QPushButton *m_edit = nullptr;
    QPushButton *m_delete = nullptr;
};

} // namespace kx::catalogues
