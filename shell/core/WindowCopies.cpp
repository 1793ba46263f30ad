#include "WindowCopies.h"

#include "base/SimPath.h"

#include <QFileInfo>

#include <tuple>

namespace kx::shell {

WindowCopies::WindowCopies(const QString &programFolder)
    : m_folder(withTrailingSeparator(programFolder))
    , m_lock(m_folder + QStringLiteral("kalyx.lock"))
{
}

bool WindowCopies::anotherRunning()
{
    if (m_lock.tryLockExclusive()) {
        // Exchanged in one step on a file already open: it cannot fail.
        std::ignore = m_lock.lockShared();
        return false;
    }
    // A lock file that can only be read takes no exclusive lock, whoever holds it.
    const bool writable = QFileInfo(m_folder).isWritable()
        && (!QFileInfo::exists(m_lock.path()) || QFileInfo(m_lock.path()).isWritable());
    // Without a lock file of its own this copy only goes unseen by later ones;
    // it still runs, as the copy the pilot has just started.
    std::ignore = m_lock.lockShared();
    return writable;
}

} // namespace kx::shell
