#pragma once

#include <QString>

// The messages every layer that writes files shares.
namespace kx::texts {

inline QString fileWriteFailed() { return QStringLiteral("Ошибка записи в файл!"); }

// Why a file could not be read or written (FileError.h).
inline QString fileIsFolder() { return QStringLiteral("Это папка, а не файл."); }
inline QString fileMissing() { return QStringLiteral("Файл не найден."); }
inline QString folderMissing() { return QStringLiteral("Папка не найдена."); }
inline QString noFileAccess() { return QStringLiteral("Нет доступа к файлу."); }
inline QString noFolderAccess() { return QStringLiteral("Нет доступа к папке."); }
inline QString readOnlyDisk() { return QStringLiteral("Диск доступен только для чтения."); }
inline QString diskFull() { return QStringLiteral("На диске нет места."); }

} // namespace kx::texts
