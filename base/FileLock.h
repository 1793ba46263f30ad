#pragma once

#include "Platform.h"

#include <QString>

#include <cstdint>

namespace kx {

// An advisory lock on a whole file, held through a handle of this object's own:
// shared (any number of holders) or exclusive (one holder, no shared ones).
// The operating system drops it when the handle is closed, and so when the
// process ends however it ends, even by kill -9: nothing stale is ever left.
// Two FileLock objects on one file exclude each other as two processes would,
// even within one process (on Linux and Windows; other POSIX systems lock by
// process).
//
// The lock file itself is created when missing and never removed: removing it
// while another process waits on it would let two holders lock two files.
class FileLock
{
public:
    enum class Mode { None, Shared, Exclusive };

    explicit FileLock(QString path);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    const QString &path() const { return m_path; }
    Mode mode() const { return m_mode; }

    // The exclusive lock, when nobody else holds any lock on the file. Never
    // waits. Only from no lock: a shared lock is not turned into an exclusive
    // one (Windows cannot do so without letting another holder in between).
    [[nodiscard]] bool tryLockExclusive();
    // The shared lock. From the exclusive lock it is exchanged in one step,
    // so no other holder gets in between; from no lock it waits while another
    // holder has the exclusive one. False when the lock file cannot be opened
    // (a folder that cannot be written and holds no lock file).
    [[nodiscard]] bool lockShared();
    void unlock();

private:
    [[nodiscard]] bool openFile();

    QString m_path;
    platform::LockHandle m_handle;
    Mode m_mode = Mode::None;
};

} // namespace kx
