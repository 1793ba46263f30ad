#pragma once

#include <QString>

class QObject;

namespace kx::store {
class Query;
class Session;
} // namespace kx::store

namespace kx::interchange {

inline constexpr int kNvuCellCount = 20;
inline constexpr int kNvuCellSize = 4096;

// The Tu-154 panel's NVU data cell N (1 ... 20) under the simulator folder:
// Gauges\Tu154_cfg\nvu_dat_N.dat.
QString nvuCellPath(const QString &fsPath, int cell);

// Writes the calculated legs of the current route of session.QRoutes into NVU
// cell N: 512 little-endian doubles, the number of points and the rounded fork
// first, then per leg (at most 31, the last point's row never read) the leg
// length, the orthodromic course, the beacon's Zm, Sm and map angle, the
// beacon flag, the turn anticipation and the beacon's number, each list in 32
// slots. qp is the route editor's point list QP; it is opened on the route and
// closed again. The file is written whole under a temporary name and then takes
// the cell's name. Returns true on success. Otherwise it has shown its failure
// through the session's prompter: texts::pointsQueryFailed owned by editor
// when QP cannot be opened; texts::assignmentFailed owned by chooser when
// a value that is read unconditionally is empty or not a number (no file
// touched); texts::fileWriteFailed with the file and the reason
// (exportFailureText) owned by chooser when the file cannot be written (the
// old cell untouched).
bool ExportNVU(store::Session &session, store::Query &qp, int cell, QObject *editor, QObject *chooser);

} // namespace kx::interchange
