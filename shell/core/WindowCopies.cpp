#include "WindowCopies.h"

#include "base/SimPath.h"

#include <QFileInfo>

namespace kx::shell {

WindowCopies::WindowCopies(const QString &programFolder)
    : m_folder(withTrailingSeparator(programFolder))
    , m_lock(m_folder + QStringLiteral("kalyx.lock"))
{
}

bool WindowCopies::anotherRunning()
{
    if (m_lock.tryLockExclusive()) {
        m_lock.lockShared(); // exchanged in one step
        return false;
    }
    // A lock file that can only be read takes no exclusive lock, whoever holds it.
    const bool writable = QFileInfo(m_folder).isWritable()
        && (!QFileInfo::exists(m_lock.path()) || QFileInfo(m_lock.path()).isWritable());
    m_lock.lockShared();
    return writable;
}

} // namespace kx::shell
