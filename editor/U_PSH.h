#pragma once

#include "ui/Dialog.h"

class QButtonGroup;

namespace kx::store {
class Session;
}

namespace kx::editor {

// The NVU cell chooser "Экспорт в ПШ": twenty toggle buttons B01 ... B20 in
// four columns of five, exactly one of them down, "OK" and "Отмена". OK
// exports the current route into the chosen cell and closes the dialog. The
// chosen cell lives as long as the dialog, which is made once per program run
// with B01 down, so the last choice stays selected from one export to the next.
class TF_PSH : public ui::Dialog
{
    Q_OBJECT
public:
    explicit TF_PSH(store::Session &session, QWidget *parent = nullptr);

    int cellNumber() const { return m_cell; }

    // Shows the chooser modally for the route open in editor, which owns the
    // success message and the message when the route's points cannot be read.
    void exportFor(QWidget *editor);

    // What exportFor does before showing, for driving the dialog without a
    // modal loop: prepare, then show().
    void prepare(QWidget *editor) { m_editor = editor; }

private:
    void shown() override;
    void exportChosenCell(); // OK

    store::Session &m_session;
    QButtonGroup *m_cells = nullptr;
    QWidget *m_editor = nullptr;
    int m_cell = 1;
};

} // namespace kx::editor
