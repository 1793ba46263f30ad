// The platform pieces on Windows.
//
// File locks are LockFileEx over the whole file (offset 0, every byte there
// may ever be). Locks belong to the handle; the system drops them when the
// handle is closed or the process ends.
#include "Platform.h"

#include <QDir>

#include <algorithm>
#include <string>

#include <windows.h>
#include <aclapi.h>
#include <io.h>

namespace kx::platform {
namespace {

HANDLE toHandle(LockHandle handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

bool lockRange(LockHandle handle, DWORD flags)
{
    OVERLAPPED at = {};
    return LockFileEx(toHandle(handle), flags, 0, MAXDWORD, MAXDWORD, &at) != 0;
}

bool unlockRange(LockHandle handle)
{
    OVERLAPPED at = {};
    return UnlockFileEx(toHandle(handle), 0, MAXDWORD, MAXDWORD, &at) != 0;
}

HANDLE openFile(const QString &path, DWORD access, DWORD disposition)
{
    const QString native = QDir::toNativeSeparators(path);
    return CreateFileW(reinterpret_cast<const wchar_t *>(native.utf16()), access,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

LockHandle openLockFile(const QString &path)
{
    HANDLE h = openFile(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
    if (h == INVALID_HANDLE_VALUE)
        h = openFile(path, GENERIC_READ, OPEN_EXISTING);
    return h == INVALID_HANDLE_VALUE ? kNoLockHandle : reinterpret_cast<LockHandle>(h);
}

void closeLockFile(LockHandle handle)
{
    CloseHandle(toHandle(handle));
}

bool tryLockFileExclusive(LockHandle handle)
{
    return lockRange(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY);
}

bool lockFileShared(LockHandle handle)
{
    return lockRange(handle, 0);
}

bool downgradeFileLock(LockHandle handle)
{
    // A handle that holds the exclusive lock may add a shared one over the same
    // range; the next unlock then takes away the exclusive lock first, and the
    // shared one stays. No other holder can get in between.
    return lockRange(handle, LOCKFILE_FAIL_IMMEDIATELY) && unlockRange(handle);
}

void unlockFile(LockHandle handle)
{
    unlockRange(handle);
}

bool copyFileAccess(const QString &from, const QString &to)
{
    const std::wstring source = QDir::toNativeSeparators(from).toStdWString();
    std::wstring target = QDir::toNativeSeparators(to).toStdWString();
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    PSID owner = nullptr;
    PSID group = nullptr;
    PACL dacl = nullptr;
    if (GetNamedSecurityInfoW(source.c_str(), SE_FILE_OBJECT,
                              OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                              &owner, &group, &dacl, nullptr, &descriptor)
        != ERROR_SUCCESS)
        return false;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor, &control, &revision);
    // The list is given as the source has it: its entries inherited from the
    // folder are inherited again by the target in the same folder, and a list
    // protected from inheritance stays protected.
    const SECURITY_INFORMATION protection =
        (control & SE_DACL_PROTECTED) ? PROTECTED_DACL_SECURITY_INFORMATION : UNPROTECTED_DACL_SECURITY_INFORMATION;
    const bool ok = SetNamedSecurityInfoW(target.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | protection,
                                          nullptr, nullptr, dacl, nullptr)
        == ERROR_SUCCESS;
    // The owner only where the process holds the right to set it.
    SetNamedSecurityInfoW(target.data(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION,
                          owner, group, nullptr, nullptr);
    LocalFree(descriptor);
    return ok;
}

bool flushToDisk(int handle)
{
    return _commit(handle) == 0;
}

bool fileNamesIgnoreCase()
{
    return true;
}

bool isDiskFullText(const QString &systemText)
{
    // Qt gives the system's own text for the error, as FormatMessage words it.
    for (const DWORD code : {DWORD(ERROR_DISK_FULL), DWORD(ERROR_HANDLE_DISK_FULL)}) {
        wchar_t *buffer = nullptr;
        const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                                | FORMAT_MESSAGE_IGNORE_INSERTS,
                                            nullptr, code, 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
        const QString text = QString::fromWCharArray(buffer, int(length)).trimmed();
        LocalFree(buffer);
        if (!text.isEmpty() && systemText.trimmed() == text)
            return true;
    }
    return false;
}

bool hasDesktop()
{
    return true;
}

bool writeToConsole(StandardStream stream, const QString &text)
{
    const HANDLE handle = GetStdHandle(stream == StandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode))
        return false;
    // The console takes UTF-16 characters whatever its code page (866 in a
    // Russian cmd.exe), so Cyrillic shows as it is. Large texts in parts, as
    // older consoles refuse very long writes.
    constexpr qsizetype kPart = 8192;
    const auto *data = reinterpret_cast<const wchar_t *>(text.utf16());
    for (qsizetype at = 0; at < text.size();) {
        qsizetype count = std::min(kPart, text.size() - at);
        // Never split a surrogate pair between two writes.
        if (at + count < text.size() && QChar::isHighSurrogate(text.at(at + count - 1).unicode()))
            --count;
        DWORD written = 0;
        if (!WriteConsoleW(handle, data + at, DWORD(count), &written, nullptr) || written == 0)
            return true; // a console that takes no more: what it refused is lost, as on a closed pipe
        at += qsizetype(written);
    }
    return true;
}

QString usualSimulatorParent()
{
    // FS9 installs itself into Microsoft Games under the 32-bit programs
    // folder; Windows names that folder in the environment.
    QString programs = qEnvironmentVariable("ProgramFiles(x86)");
    if (programs.isEmpty())
        programs = qEnvironmentVariable("ProgramFiles", QStringLiteral("C:\\Program Files (x86)"));
    return QDir::toNativeSeparators(QDir::cleanPath(programs + QStringLiteral("/Microsoft Games"))) + u'\\';
}

} // namespace kx::platform
