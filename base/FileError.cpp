#include "FileError.h"

#include "Platform.h"

#include <QDir>
#include <QFileDevice>
#include <QFileInfo>
#include <QStorageInfo>

namespace kx {
namespace {

// Less than this is a full disk for a file the program writes (the largest,
// a route sheet PDF, takes some tens of kilobytes).
constexpr qint64 kFullDiskBytes = 64 * 1024;

bool isDiskFull(const QString &folder, const QString &systemText)
{
    if (platform::isDiskFullText(systemText))
        return true;
    const QStorageInfo storage(folder);
    return storage.isValid() && storage.bytesAvailable() >= 0 && storage.bytesAvailable() < kFullDiskBytes;
}

} // namespace

QString fileErrorText(const QString &path, const QString &systemText, FileAccess access)
{
    const QFileInfo info(path);
    if (info.isDir())
        return QStringLiteral("Это папка, а не файл.");
    const QString folder = info.absolutePath();
    if (access == FileAccess::Read) {
        if (!info.exists())
            return QDir(folder).exists() ? QStringLiteral("Файл не найден.") : QStringLiteral("Папка не найдена.");
        if (!info.isReadable())
            return QStringLiteral("Нет доступа к файлу.");
        return systemText;
    }
    if (!QDir(folder).exists())
        return QStringLiteral("Папка не найдена.");
    const QStorageInfo storage(folder);
    if (storage.isValid() && storage.isReadOnly())
        return QStringLiteral("Диск доступен только для чтения.");
    if (info.exists() && !info.isWritable())
        return QStringLiteral("Нет доступа к файлу.");
    if (!QFileInfo(folder).isWritable())
        return QStringLiteral("Нет доступа к папке.");
    if (isDiskFull(folder, systemText))
        return QStringLiteral("На диске нет места.");
    return systemText;
}

QString fileErrorText(const QFileDevice &file, FileAccess access)
{
    return fileErrorText(file.fileName(), file.errorString(), access);
}

} // namespace kx
