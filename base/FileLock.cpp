#include "FileLock.h"

namespace kx {

FileLock::FileLock(QString path) : m_path(std::move(path)), m_handle(platform::kNoLockHandle) {}

FileLock::~FileLock()
{
    unlock();
}

bool FileLock::openFile()
{
    if (m_handle == platform::kNoLockHandle)
        m_handle = platform::openLockFile(m_path);
    return m_handle != platform::kNoLockHandle;
}

bool FileLock::tryLockExclusive()
{
    if (m_mode == Mode::Exclusive)
        return true;
    if (m_mode != Mode::None || !openFile())
        return false;
    if (!platform::tryLockFileExclusive(m_handle))
        return false;
    m_mode = Mode::Exclusive;
    return true;
}

bool FileLock::lockShared()
{
    if (m_mode == Mode::Shared)
        return true;
    if (m_mode == Mode::Exclusive) {
        if (!platform::downgradeFileLock(m_handle))
            return false;
        m_mode = Mode::Shared;
        return true;
    }
    if (!openFile() || !platform::lockFileShared(m_handle))
        return false;
    m_mode = Mode::Shared;
    return true;
}

void FileLock::unlock()
{
    if (m_handle == platform::kNoLockHandle)
        return;
    if (m_mode != Mode::None)
        platform::unlockFile(m_handle);
    platform::closeLockFile(m_handle);
    m_handle = platform::kNoLockHandle;
    m_mode = Mode::None;
}

} // namespace kx
