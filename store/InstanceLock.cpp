#include "InstanceLock.h"

namespace kx::store {

InstanceLock::InstanceLock(const QString &databasePath) : m_lock(databasePath + QStringLiteral(".lock"))
{
    // Never stale while its owner runs, however long that is; a dead owner's lock
    // is recognised by its process id.
    m_lock.setStaleLockTime(0);
}

bool InstanceLock::tryLock()
{
    return m_lock.isLocked() || m_lock.tryLock(0);
}

} // namespace kx::store
