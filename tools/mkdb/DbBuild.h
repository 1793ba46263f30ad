#pragma once

#include <QString>

namespace kx::dbbuild {

// Creates a new route database file with the program's tables and indexes.
// Used by the build (the shipped kalyxdb.kdb) and by tests; the program itself
// never creates tables. Fails when the file already exists; a file it could
// not finish is removed.
[[nodiscard]] bool createDatabase(const QString &path, QString *error);

} // namespace kx::dbbuild
