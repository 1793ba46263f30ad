#pragma once

#include <QString>

#include <cstdint>

// The small pieces of the program that differ by operating system, one source
// file per platform (PlatformPosix.cpp, PlatformWindows.cpp).
namespace kx::platform {

// --- file locks (FileLock) -------------------------------------------------

using LockHandle = std::intptr_t;
inline constexpr LockHandle kNoLockHandle = -1;

// Opens (creating when missing) the lock file for locking; kNoLockHandle when
// it cannot. A file that can only be read is opened for shared locks.
LockHandle openLockFile(const QString &path);
void closeLockFile(LockHandle handle);
// Exclusive lock over the whole file, without waiting.
[[nodiscard]] bool tryLockFileExclusive(LockHandle handle);
// Shared lock over the whole file, waiting while another holder has the
// exclusive one.
[[nodiscard]] bool lockFileShared(LockHandle handle);
// Exchanges this handle's exclusive lock for a shared one in one step.
[[nodiscard]] bool downgradeFileLock(LockHandle handle);
void unlockFile(LockHandle handle);

// --- access rights ---------------------------------------------------------

// Gives the file at `to` the access rights of the file at `from` (the mode
// bits; on Windows its access control list), and its owner and group where
// the process may set them. False when the rights could not be given (the
// owner alone is not required).
[[nodiscard]] bool copyFileAccess(const QString &from, const QString &to);

} // namespace kx::platform
