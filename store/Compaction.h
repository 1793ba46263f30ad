#pragma once

#include <QString>

#include <functional>

namespace kx::store {

// Compacts the database file through a scratch copy: any scratch copy left over
// from an earlier run is deleted, the database is copied compactly into the
// scratch file (VACUUM INTO), the copy is checked (a complete SQLite file with
// the same tables holding the same numbers of rows), given the database's
// access rights and owner, flushed to disk, and only then renamed over the
// database in one step. A database of a newer schema than the program knows is
// not compacted. Any failure leaves the database
// file exactly as it was and removes the scratch copy; nothing is reported, so
// the start-up goes on with whatever database is there.
// Returns true when the database was replaced by its compacted copy.
// afterCopy runs on the finished copy before it is checked: what tests use to
// spoil a copy and see that it is refused.
[[nodiscard]] bool compactDatabase(const QString &databasePath, const QString &scratchPath,
                                   const std::function<void(const QString &copy)> &afterCopy = {});

// Whether compacting would give back enough of the file to be worth copying
// all of it: at least an eighth of its pages are free. SQLite reuses free pages
// for new rows, so a file with few of them loses nothing by waiting; a copy of
// a world-size catalogue takes longer than the rest of the start-up together.
// Reads the file's header only; false when it cannot.
bool isWorthCompacting(const QString &databasePath);

// Deletes a scratch copy left over from an earlier run; false when one stays.
bool removeScratchCopy(const QString &scratchPath);

} // namespace kx::store
