#pragma once

#include "ui/Dialog.h"

class QLineEdit;

namespace kx::store {
class Query;
class Session;
} // namespace kx::store

namespace kx::ui {
class EnterWalk;
class NumberEdit;
}

namespace kx::catalogues {

// The runway dialog: edits the current row of the airport window's runway
// list (a new runway is a row appended to it before the dialog is shown).
// "Сохранить" stores the row for the airport and closes; "Отмена" discards
// the row's changes (a new row disappears) and closes.
class TF_VPP : public ui::Dialog
{
    Q_OBJECT
public:
    TF_VPP(store::Session &session, store::Query &runways, QWidget *parent = nullptr);
    ~TF_VPP() override;

    // Sets the caption and the airport the runway belongs to for the next
    // showing.
    void prepare(const QString &caption, qint64 airport);
    int run(const QString &caption, qint64 airport);

    void save(); // "Сохранить"
    void done(int result) override;

private:
    void shown() override;
    ui::NumberEdit *numberEdit(const char *name, int decimals, double minimum, double maximum,
                               const QString &column);

    store::Session &m_session;
    store::Query &m_runways;
    qint64 m_airport = 0;
    QLineEdit *m_runway = nullptr;
    ui::EnterWalk *m_walk = nullptr;
};

} // namespace kx::catalogues
