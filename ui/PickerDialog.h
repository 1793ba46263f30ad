#pragma once

#include "Dialog.h"

#include <QList>
#include <QSize>
#include <QString>

#include <initializer_list>
#include <memory>

class QLayout;
class QPushButton;

namespace kx {
class Prompter;
}

namespace kx::store {
class Database;
class Query;
struct PagedSql;
} // namespace kx::store

namespace kx::ui {

class GridView;

// A modal picker of one row: its own list in the grid GM, "OK" (BOK) and
// "Отмена" (BCancel). A double click or Enter in the list chooses as BOK does.
// The result is the key of the chosen row, 0 when the person cancelled or
// closed the window. The list is read afresh at every showing, in pages as the
// grid scrolls, and closed when the window closes. The window grows and is
// maximised, the list taking the room; its place, size and column widths are
// kept in kalyx.ini [WINDOWS] once setOpeningSize has named where.
class PickerDialog : public Dialog
{
    Q_OBJECT
public:
    struct Setup
    {
        const char *objectName;
        QString listName;   // the list's name in messages and logs
        QString okCaption;  // BOK's caption
        QString keyColumn;  // the column of the list whose value is the result
        QString failedText; // the message when the list cannot be read
    };

    PickerDialog(const Setup &setup, store::Database &db, Prompter &prompter, QWidget *parent);
    ~PickerDialog() override;

    store::Query &list() { return *m_list; }
    qint64 chosen() const { return m_chosen; }

    void done(int result) override;

protected:
    GridView *grid() const { return m_grid; }
    // The window's body: the list, then what the picker adds (may be null),
    // then the buttons; the Tab key goes through the list, the added controls
    // and the buttons in that order.
    void layOut(QLayout *between, std::initializer_list<QWidget *> tabBetween);
    // The size the window opens at, and its smallest; where its place is kept
    // (kalyx.ini, the keys' prefix) and the list's name columns, which take
    // the room a grown window gives the list.
    void setOpeningSize(QSize size, QString iniPath, const QString &memoryPrefix, QList<int> nameColumns);

    // The statement of the list, read at every showing, a page at a time.
    virtual store::PagedSql listSql() const = 0;
    // Runs after the list was read: the row to start on, the controls to reset.
    virtual void listRead() {}

private:
    void shown() override;
    void choose();

    Setup m_setup;
    Prompter &m_prompter;
    std::unique_ptr<store::Query> m_list;
    GridView *m_grid = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    qint64 m_chosen = 0;
};

} // namespace kx::ui
