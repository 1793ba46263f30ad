#pragma once

#include "ui/Dialog.h"

#include <QList>
#include <QSize>
#include <QString>

#include <initializer_list>

class QGroupBox;
class QHBoxLayout;
class QLineEdit;

namespace kx::store {
class Query;
class Session;
} // namespace kx::store

namespace kx::ui {
class GridView;
} // namespace kx::ui

namespace kx::catalogues {

// A catalogue window: a group box with the grid G1 over one of the shared
// catalogue lists, a row under it with the window's searches and buttons and
// the list's navigator, and "Закрыть" (BClose) below. Showing it empties its
// searches, opens the list anew (its message when that fails, the window
// staying open without a list) and gives the grid the focus; closing it
// closes the list. The window grows and is maximised, its grid taking the
// room; its place, size and column widths are kept in kalyx.ini [WINDOWS]
// under the window's prefix.
class CatalogueWindow : public ui::Dialog
{
    Q_OBJECT
public:
    struct Setup
    {
        const char *objectName;
        QString caption;    // the window's and its group's
        QString openFailed; // the message when the list cannot be opened
        QString memoryPrefix; // its keys in kalyx.ini [WINDOWS]
    };

    ~CatalogueWindow() override;

    void done(int result) override;

protected:
    CatalogueWindow(const Setup &setup, store::Session &session, store::Query &list, QWidget *parent);

    store::Session &session() const { return m_session; }
    QGroupBox *group() const { return m_group; }
    ui::GridView *grid() const { return m_grid; }
    // A search edit emptied at every showing.
    void addSearch(QLineEdit *search) { m_searches.append(search); }
    // The window's body: the grid over the row of what the window adds, which
    // the navigator ends at the right; the Tab key goes from the grid through
    // tabBetween to "Закрыть".
    void layOut(QHBoxLayout *below, std::initializer_list<QWidget *> tabBetween);
    // The size the window opens at, and its smallest; the grid's name
    // columns, which take the room a grown window gives the grid.
    void setOpeningSize(QSize size, QList<int> nameColumns);

    // Opens the list anew, its first row current.
    virtual bool openList() = 0;
    // After the list was closed on closing the window.
    virtual void listClosed() {}

private:
    void shown() final;

    Setup m_setup;
    store::Session &m_session;
    store::Query &m_list;
    QGroupBox *m_group = nullptr;
    ui::GridView *m_grid = nullptr;
    QList<QLineEdit *> m_searches;
};

} // namespace kx::catalogues
