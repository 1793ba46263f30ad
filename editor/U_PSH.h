#pragma once

#include "ui/Dialog.h"

#include <QList>

class QButtonGroup;
class QFrame;
class QLabel;

namespace kx::store {
class Session;
}

namespace kx::editor {

// The NVU cell chooser "Экспорт в ПШ": twenty toggle buttons B01 ... B20 in
// four columns of five, exactly one of them down, "OK" and "Отмена". OK
// exports the current route into the chosen cell and closes the dialog. The
// chosen cell lives as long as the dialog, which is made once per program run
// with B01 down, so the last choice stays selected from one export to the next.
// Beside each button the cell says what it holds now (its file's date and the
// route written there, when the database knows it), so that a pilot does not
// overwrite a route he still flies; the chosen cell stands out in the
// selection colour.
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

    // What cell `cell` (1 ... 20) says of its contents beside its button
    // (there a long route name is cut to the cell's width).
    QString cellText(int cell) const;

private:
    void shown() override;
    void exportChosenCell(); // OK
    void describeCells();
    void highlightChosen();

    store::Session &m_session;
    QButtonGroup *m_cells = nullptr;
    QList<QFrame *> m_tiles;
    QList<QLabel *> m_labels;
    QStringList m_descriptions;
    QList<bool> m_empty; // no file in the cell
    QWidget *m_editor = nullptr;
    int m_cell = 1;
};

} // namespace kx::editor
