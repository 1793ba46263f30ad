#pragma once

#include <QLockFile>
#include <QString>

namespace kx::store {

// A lock file beside the database, held by one running copy of the program for
// its whole run. Only the copy that holds it compacts the database, so a second
// copy never replaces the file under the first one (which would silently drop
// the first one's later writes). A lock left by a copy that died is taken over.
class InstanceLock
{
public:
    explicit InstanceLock(const QString &databasePath);
    // True when this run now holds the lock (or already did).
    bool tryLock();
    bool isLocked() const { return m_lock.isLocked(); }
    void unlock() { m_lock.unlock(); }

private:
    QLockFile m_lock;
};

} // namespace kx::store
