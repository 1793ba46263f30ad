#pragma once

#include <QString>

class QObject;

namespace kx::store {
class Query;
class Session;
} // namespace kx::store

namespace kx::interchange {

// The I-21 gauge's folder and route list file under the simulator folder, as
// the messages show them: the simulator folder (with its trailing separator)
// followed by "\Gauges\i21_cfg", and that followed by "\I21_PPM.CFG".
QString i21Folder(const QString &fsPath);
QString i21GaugeFile(const QString &fsPath);
// The gauge file's one-time backup: its name followed by ".org".
QString i21Backup(const QString &fsPath);

// Puts the points of the current route of session.QRoutes into the I-21
// gauge's route list: the gauge file's lines up to and including the first one
// containing "[ppm" are kept, then one line "ppm_NN=DD*MM.mm,DDD*MM.mm" per
// point in Number order (NN skips the multiples of ten, each followed by an
// empty line; at most 90 points), CR LF lines. Before the first export the
// gauge file is copied to its backup; the new list is written whole under a
// temporary name and then replaces the gauge file in one step. qp is the route
// editor's point list QP, opened on the route and closed again.
// Returns true on success. Otherwise it has shown its failure, owned by
// editor: the folder or the gauge file is missing, QP cannot be opened
// (texts::pointsQueryFailed), or texts::fileWriteFailed with the file and
// the reason (exportFailureText) when the gauge file cannot be read, holds no
// "[ppm" line, or the backup or the new list cannot be written; the gauge
// file is then untouched.
bool ExportI21(store::Session &session, store::Query &qp, QObject *editor);

} // namespace kx::interchange
