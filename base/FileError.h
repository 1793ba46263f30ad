#pragma once

#include <QString>

class QFileDevice;

namespace kx {

enum class FileAccess { Read, Write };

// Why a file could not be read or written, for a person: in Russian for the
// common cases (the file or its folder is not there, no permission, a folder
// where a file was expected, a full or read-only disk), the system's own text
// otherwise. Looks at the file system as it is after the failure.
QString fileErrorText(const QFileDevice &file, FileAccess access);
QString fileErrorText(const QString &path, const QString &systemText, FileAccess access);

} // namespace kx
