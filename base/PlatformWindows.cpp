// The platform pieces on Windows.
//
// File locks are LockFileEx over the whole file (offset 0, every byte there
// may ever be). Locks belong to the handle; the system drops them when the
// handle is closed or the process ends.
#include "Platform.h"

#include <QDir>

#include <string>

#include <windows.h>
#include <aclapi.h>

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

} // namespace kx::platform
