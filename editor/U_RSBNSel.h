#pragma once

#include "BeaconPicker.h"

#include "ui/PickerDialog.h"

#include <QVariant>

namespace kx::store {
class Session;
}

namespace kx::editor {

// The beacon picker: the candidates of the last beacon search, nearest first,
// "OK" and "Отмена". Its result is the chosen beacon's Code, 0 when the user
// cancelled.
class TF_RSBNSel : public ui::PickerDialog, public BeaconPicker
{
    Q_OBJECT
public:
    explicit TF_RSBNSel(store::Session &session, QWidget *parent = nullptr);

    // Shows the picker modally and returns its result.
    qint64 pickBeacon(const QVariant &currentBeacon) override;

    // What pickBeacon does before showing, for driving the window without a
    // modal loop: prepare, show(), and read chosen() once it closed.
    void prepare(const QVariant &currentBeacon) { m_current = currentBeacon; }

private:
    store::PagedSql listSql() const override;
    void listRead() override;

    QVariant m_current;
};

} // namespace kx::editor
