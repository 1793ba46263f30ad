#pragma once

#include "CatalogueWindow.h"

#include <memory>

namespace kx::ui {
class FileDialogs;
class SearchEdit;
} // namespace kx::ui

namespace kx::catalogues {

class CatalogueLists;
class TF_PPM;

// The waypoint catalogue: every waypoint in ident order, read in pages as the
// grid scrolls; two searches as the user types, by the start of the ident and
// by the start of any word of the name; new, edit and delete through the
// waypoint editor, and from the grid's context menu the import of
// OurAirports' files. Closing it reads the route list again on the same
// route, since saved waypoints may have marked routes as not calculated.
class TF_Punkts : public CatalogueWindow
{
    Q_OBJECT
public:
    TF_Punkts(store::Session &session, CatalogueLists &lists, TF_PPM &editor, QWidget *parent = nullptr);
    ~TF_Punkts() override;

    int run() { return exec(); }

    void newWaypoint();     // "Новый"
    void editWaypoint();    // "Правка", double click
    void deleteWaypoint();  // "Удалить"
    void importOurAirports(); // the grid's context menu
    // The dialogs the import's folder is chosen in; none: the platform's.
    void setFileDialogs(ui::FileDialogs *dialogs) { m_fileDialogs = dialogs; }

private:
    bool openList() override;
    void listClosed() override;

    CatalogueLists &m_lists;
    TF_PPM &m_editor;
    ui::SearchEdit *m_id = nullptr;
    ui::SearchEdit *m_name = nullptr;
    ui::FileDialogs *m_fileDialogs = nullptr;
    std::unique_ptr<ui::FileDialogs> m_ownFileDialogs;
    QString m_importFolder; // the folder of the last import, for the next one
};

} // namespace kx::catalogues
