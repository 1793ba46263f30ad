#pragma once

#include "BeaconPicker.h"

#include <QDialog>

namespace kx::store {
class Query;
class Session;
} // namespace kx::store

namespace kx::ui {
class GridView;
}

namespace kx::editor {

// The beacon picker: the candidates of the last beacon search, nearest first,
// "OK" and "Отмена". Its result is the chosen beacon's Code, 0 when the user
// cancelled.
class TF_RSBNSel : public QDialog, public BeaconPicker
{
    Q_OBJECT
public:
    explicit TF_RSBNSel(store::Session &session, QWidget *parent = nullptr);
    ~TF_RSBNSel() override;

    // Shows the picker modally and returns its result.
    qint64 pickBeacon(const QVariant &currentBeacon) override;

    // What pickBeacon does before and after showing, for driving the window
    // without a modal loop: prepare, show(), and read chosen() once it closed.
    void prepare(const QVariant &currentBeacon);
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
    QVariant m_current;
    qint64 m_chosen = 0;
};

} // namespace kx::editor
