#pragma once

#include "ui/Dialog.h"

#include <memory>

namespace kx::store {
class Session;
}

namespace kx::ui {
class FileDialogs;
class GridView;
class SearchEdit;
} // namespace kx::ui

namespace kx::catalogues {

class CatalogueLists;
class TF_PPM;

// The waypoint catalogue: every waypoint in ident order, search by exact
// ident, new, edit and delete through the waypoint editor, and from the
// grid's context menu the import of OurAirports' files. Closing it reads
// the route list again on the same route, since saved waypoints may have
// marked routes as not calculated.
class TF_Punkts : public ui::Dialog
{
    Q_OBJECT
public:
    TF_Punkts(store::Session &session, CatalogueLists &lists, TF_PPM &editor, QWidget *parent = nullptr);
    ~TF_Punkts() override;

    int run() { return exec(); }

    void search();          // Enter in the search edit
    void newWaypoint();     // "Новый"
    void editWaypoint();    // "Правка", double click
    void deleteWaypoint();  // "Удалить"
    void importOurAirports(); // the grid's context menu
    // The dialogs the import's folder is chosen in; none: the platform's.
    void setFileDialogs(ui::FileDialogs *dialogs) { m_fileDialogs = dialogs; }

    void done(int result) override;

private:
    void shown() override;

    store::Session &m_session;
    CatalogueLists &m_lists;
    TF_PPM &m_editor;
    ui::GridView *m_grid = nullptr;
    ui::SearchEdit *m_search = nullptr;
    ui::FileDialogs *m_fileDialogs = nullptr;
    std::unique_ptr<ui::FileDialogs> m_ownFileDialogs;
    QString m_importFolder; // the folder of the last import, for the next one
};

} // namespace kx::catalogues
