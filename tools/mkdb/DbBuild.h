#pragma once

#include <QString>

class QSqlDatabase;

namespace kx::dbbuild {

// Creates a new route database file with the program's tables and indexes.
// Used by the build (the shipped kalyxdb.kdb) and by tests; the program itself
// never creates tables. Fails when the file already exists.
bool createDatabase(const QString &path, QString *error);

// Runs a text of SQL statements, each ending with ";" at a line end, "--"
// comments ignored, on an open connection.
bool runScript(QSqlDatabase &db, const QString &script, QString *error);

} // namespace kx::dbbuild
