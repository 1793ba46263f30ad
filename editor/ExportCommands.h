#pragma once

class QObject;
class QWidget;

namespace kx::store {
class Query;
class Session;
} // namespace kx::store

namespace kx::ui {
class FileDialogs;
}

namespace kx::editor {

class TF_PSH;

// The route editor's export buttons. The editor runs them only for a route
// that has points and is calculated (it refuses the others itself); each works
// on the current route of the session's route list, editor being the route
// editor window.

// "Экспорт в *.PLN": the save dialog in the flight plan folder with the
// proposed name and the one filter, ".PLN" appended to a name without a plan
// extension, the replace question for an existing file (No shows the dialog
// again with the name chosen last), then the export and texts::exportDone
// with the file written. The export's own failures are owned by routeList
// (the route list window).
void exportToPln(store::Session &session, ui::FileDialogs &dialogs, QWidget *editor, QObject *routeList);

// "Экспорт в И-21": the I-21 gauge export, then texts::exportDone with the
// gauge file written.
void exportToI21(store::Session &session, QWidget *editor);

// "Печать" from the busy cursor on: the sheet of the current route prepared
// from pp.fr3 (reports/RouteSheet.h, whose messages go to messageOwner, the
// route list window) and shown in the modal preview over parent. Returns when
// the preview is closed; false when the sheet could not be prepared (the
// message has been shown).
bool showRouteSheet(store::Session &session, store::Query &qp, QObject *messageOwner, ui::FileDialogs &fileDialogs,
                    QWidget *parent);

// "Экспорт в ПШ": the cell chooser, made once per program run, shown modally.
void exportToCell(TF_PSH &chooser, QWidget *editor);

} // namespace kx::editor
