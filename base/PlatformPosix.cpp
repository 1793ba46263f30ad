// The platform pieces on Linux and other POSIX systems.
//
// File locks are fcntl record locks over the whole file; open-file-description
// locks where the system has them (Linux): they belong to the handle, so two
// handles of one process exclude each other, and closing some other handle of
// the same file keeps the lock.
#include "Platform.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kx::platform {
namespace {

#ifdef F_OFD_SETLK
constexpr int kSetLock = F_OFD_SETLK;
constexpr int kSetLockWait = F_OFD_SETLKW;
#else
constexpr int kSetLock = F_SETLK;
constexpr int kSetLockWait = F_SETLKW;
#endif

bool setLock(LockHandle handle, short type, bool wait)
{
    struct flock request = {};
    request.l_type = type;
    request.l_whence = SEEK_SET;
    request.l_start = 0;
    request.l_len = 0; // to the end of the file, however long it grows
    for (;;) {
        if (::fcntl(static_cast<int>(handle), wait ? kSetLockWait : kSetLock, &request) == 0)
            return true;
        if (errno != EINTR)
            return false;
    }
}

} // namespace

LockHandle openLockFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    return fd < 0 ? kNoLockHandle : LockHandle(fd);
}

void closeLockFile(LockHandle handle)
{
    ::close(static_cast<int>(handle));
}

bool tryLockFileExclusive(LockHandle handle)
{
    return setLock(handle, F_WRLCK, false);
}

bool lockFileShared(LockHandle handle)
{
    return setLock(handle, F_RDLCK, true);
}

bool downgradeFileLock(LockHandle handle)
{
    // Replacing a write lock by a read lock over the same range is one step.
    return setLock(handle, F_RDLCK, false);
}

void unlockFile(LockHandle handle)
{
    setLock(handle, F_UNLCK, false);
}

bool copyFileAccess(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    struct stat st = {};
    if (::stat(source.constData(), &st) != 0)
        return false;
    // Owner and group first, since changing them clears set-id bits. Only the
    // superuser may give a file away; a member of the group may still set it.
    if (::chown(target.constData(), st.st_uid, st.st_gid) != 0
        && ::chown(target.constData(), static_cast<uid_t>(-1), st.st_gid) != 0) {
        // Neither may be set: the file stays this process's own.
    }
    return ::chmod(target.constData(), st.st_mode & 07777) == 0;
}

bool flushToDisk(int handle)
{
    return ::fsync(handle) == 0;
}

bool fileNamesIgnoreCase()
{
    return false;
}

bool isDiskFullText(const QString &systemText)
{
    return systemText == QString::fromLocal8Bit(std::strerror(ENOSPC));
}

bool hasDesktop()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

bool writeToConsole(StandardStream, const QString &)
{
    // A terminal here reads the bytes it is given, which are UTF-8.
    return false;
}

QString usualSimulatorParent()
{
    return QDir::homePath();
}

} // namespace kx::platform
