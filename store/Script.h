#pragma once

#include <QString>

namespace kx::store {

class Database;

// Runs a text of SQL statements, each ending with ";" at a line end, "--"
// comments ignored, on an open database: the schema of a new database file.
// Stops at the first statement that fails; *error then has the driver's
// reason and the statement.
[[nodiscard]] bool runScript(Database &db, const QString &script, QString *error);

} // namespace kx::store
