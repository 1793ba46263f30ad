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
bool tryLockFileExclusive(LockHandle handle);
// Shared lock over the whole file, waiting while another holder has the
// exclusive one.
bool lockFileShared(LockHandle handle);
// Exchanges this handle's exclusive lock for a shared one in one step.
bool downgradeFileLock(LockHandle handle);
void unlockFile(LockHandle handle);

// --- access rights ---------------------------------------------------------

// Gives the file at `to` the access rights of the file at `from` (the mode
// bits; on Windows its access control list), and its owner and group where
// the process may set them. False when the rights could not be given (the
// owner alone is not required).
bool copyFileAccess(const QString &from, const QString &to);

// Writes what the file has been given through to the disk (fsync; _commit on
// Windows); false when the system could not. handle: the file's descriptor.
bool flushToDisk(int handle);

// --- file names and messages ----------------------------------------------

// Whether the file system takes names without regard to letter case (Windows),
// so that no search for another case is needed.
bool fileNamesIgnoreCase();
// Whether a system error text is the one for a full disk.
bool isDiskFullText(const QString &systemText);

// --- the desktop and the console -------------------------------------------

// Whether a program may open windows: Windows always has its desktop; on Linux
// an X or Wayland display must be named in the environment.
bool hasDesktop();

enum class StandardStream { Output, Error };
// When the stream is a console window (Windows' console, whatever its code
// page), writes the text there as characters and returns true; otherwise
// (a file, a pipe, a terminal that reads bytes) returns false and writes nothing.
bool writeToConsole(StandardStream stream, const QString &text);

// Where the simulator is usually installed, for a folder chooser to open at:
// Program Files (x86)\Microsoft Games\ on Windows, the home folder elsewhere.
QString usualSimulatorParent();

} // namespace kx::platform
