#pragma once

#include <QString>
#include <QStringList>

namespace kx::store {

class Database;

// The version of the route database's schema this program makes and knows,
// kept in the file as PRAGMA user_version:
//   0  the first schema: its ordering and look-up indexes named the program's
//      collation KALYX_NOCASE, so other SQLite clients could not use the file;
//   1  no collation of the program's own anywhere in the schema;
//   2  the waypoint catalogue's order in an index of built-in functions
//      (Punkts_Order, TextKey.h), and the words of waypoint names in the
//      table PunktWords, which triggers keep (NameWords.h).
//   3  the R*Tree of the waypoints' positions for the map (PunktsArea), the
//      table of waypoints changed since it was brought up to date
//      (PunktsAreaStale) and the triggers that fill that table.
inline constexpr int kSchemaVersion = 3;

// The schema version of an open database; -1 when it cannot be read.
[[nodiscard]] int schemaVersion(Database &db);

// Brings a database of an older schema up to kSchemaVersion in one
// transaction: indexes, the map's index tables and the version change, never
// a row of the program's tables. On failure
// the file stays as it was (and still works with this program) and *error
// says why. Needs the connection's KALYX_NOCASE collation to drop the old
// indexes, and must run only where no other copy of the program has the file
// open (the exclusive instance lock).
[[nodiscard]] bool upgradeSchema(Database &db, QString *error = nullptr);

// The message for a database made by a newer version of the program.
QString newerSchemaMessage(const QString &databasePath, int version);

// The keys of the waypoint catalogue's order, ident then region (letter case
// ignored, Cyrillic included) then Code, over the table Punkts: the
// expressions of the index Punkts_Order, so that a list in this order is read
// through it.
QStringList waypointOrderKeys();
// An ident's key as the first of those keys has it: what a search of that
// order compares with.
QString waypointIdentKey(const QString &ident);

// The statements that make what schema 2 adds to schema 1 (store/schema.sql
// holds the same), in order.
QStringList waypointSearchSchema();

} // namespace kx::store
