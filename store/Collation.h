#pragma once

#include <QString>

class QSqlDatabase;
struct sqlite3;

namespace kx::store {

// The collation by which statements compare and order text without regard to
// letter case, Cyrillic as well as Latin ("ORDER BY Routes.Name COLLATE
// KALYX_NOCASE", "WHERE Punkts.ID = ? COLLATE KALYX_NOCASE").
inline constexpr char kCollation[] = "KALYX_NOCASE";

// Registers the collation on an open connection; false when the driver does not
// give access to its SQLite handle.
bool registerCollation(QSqlDatabase &db);

// The SQLite handle under a Qt connection; null when the driver is not SQLite.
sqlite3 *sqliteHandle(const QSqlDatabase &db);

// The collation's comparison of two UTF-8 texts: <0, 0 or >0.
int compareNoCase(const char *a, int aLength, const char *b, int bLength);

} // namespace kx::store
