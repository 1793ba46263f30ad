#pragma once

#include <QString>

class QWidget;

namespace kx::store {
class Query;
class Session;
} // namespace kx::store

namespace kx::ui {
class FileDialogs;
}

namespace kx::catalogues {

// The waypoint catalogue's "Импорт из OurAirports...": the folder dialog
// (opened at *folder; the first time at the Downloads folder, or the home
// folder where there is none; *folder keeps the choice for the next import),
// the import of its four files with a progress window and Cancel, the
// summary or the reason it was not done (through the session's prompter,
// owned by owner), and, when the catalogue has changed, the list read again
// and standing on the waypoint it stood on.
void importOurAirportsFolder(store::Session &session, store::Query &punkts, ui::FileDialogs &dialogs,
                             QString *folder, QWidget *owner);

} // namespace kx::catalogues
