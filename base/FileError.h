#pragma once

#include <QString>

class QFileDevice;

namespace kx {

enum class FileAccess { Read, Write };

// Why a file could not be read or written.
enum class FileProblem { NotFound, FolderMissing, IsFolder, NoAccess, ReadOnlyDisk, DiskFull, Other };
struct FileFailure
{
    FileProblem problem = FileProblem::Other;
    QString text; // for a person (fileErrorText)
};

// Why a file could not be read or written, for a person: in Russian for the
// common cases (the file or its folder is not there, no permission, a folder
// where a file was expected, a full or read-only disk), the system's own text
// otherwise. Looks at the file system as it is after the failure.
QString fileErrorText(const QFileDevice &file, FileAccess access);
QString fileErrorText(const QString &path, const QString &systemText, FileAccess access);
FileFailure fileFailure(const QFileDevice &file, FileAccess access);
FileFailure fileFailure(const QString &path, const QString &systemText, FileAccess access);

// Whether a path lies in a folder that Windows keeps from programs run
// without elevated rights: the Program Files folders and the Windows folder,
// as the system's environment names them (ProgramFiles, ProgramFiles(x86),
// ProgramW6432, SystemRoot). Where the environment names none, as on Linux,
// no folder is.
bool isInProtectedFolder(const QString &path);

} // namespace kx
