#pragma once

#include "base/FileLock.h"

#include <QString>

namespace kx::store {

// The lock file beside the database (kalyxdb.kdb.lock) that every running copy
// of the program, window or command line, holds for its whole run: shared
// while it works, exclusive only while it replaces or upgrades the database
// file at start-up. A copy that cannot have the exclusive lock leaves the file
// as it is, so no copy ever replaces the file under another one (which would
// silently drop the other one's later writes). A copy that dies leaves no lock
// behind.
class InstanceLock : public FileLock
{
public:
    explicit InstanceLock(const QString &databasePath) : FileLock(databasePath + QStringLiteral(".lock")) {}
};

} // namespace kx::store
