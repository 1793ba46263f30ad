#include "FileError.h"

#include "BaseTexts.h"
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

FileFailure fileFailure(const QString &path, const QString &systemText, FileAccess access)
{
    const QFileInfo info(path);
    if (info.isDir())
        return {FileProblem::IsFolder, texts::fileIsFolder()};
    const QString folder = info.absolutePath();
    if (access == FileAccess::Read) {
        if (!info.exists())
            return QDir(folder).exists() ? FileFailure{FileProblem::NotFound, texts::fileMissing()}
                                         : FileFailure{FileProblem::FolderMissing, texts::folderMissing()};
        if (!info.isReadable())
            return {FileProblem::NoAccess, texts::noFileAccess()};
        return {FileProblem::Other, systemText};
    }
    if (!QDir(folder).exists())
        return {FileProblem::FolderMissing, texts::folderMissing()};
    const QStorageInfo storage(folder);
    if (storage.isValid() && storage.isReadOnly())
        return {FileProblem::ReadOnlyDisk, texts::readOnlyDisk()};
    if (info.exists() && !info.isWritable())
        return {FileProblem::NoAccess, texts::noFileAccess()};
    if (!QFileInfo(folder).isWritable())
        return {FileProblem::NoAccess, texts::noFolderAccess()};
    if (isDiskFull(folder, systemText))
        return {FileProblem::DiskFull, texts::diskFull()};
    return {FileProblem::Other, systemText};
}

FileFailure fileFailure(const QFileDevice &file, FileAccess access)
{
    return fileFailure(file.fileName(), file.errorString(), access);
}

QString fileErrorText(const QString &path, const QString &systemText, FileAccess access)
{
    return fileFailure(path, systemText, access).text;
}

QString fileErrorText(const QFileDevice &file, FileAccess access)
{
    return fileErrorText(file.fileName(), file.errorString(), access);
}

bool isInProtectedFolder(const QString &path)
{
    const QString file = QDir::cleanPath(QDir::fromNativeSeparators(QFileInfo(path).absoluteFilePath()));
    for (const char *name : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432", "SystemRoot"}) {
        const QString folder = QDir::cleanPath(QDir::fromNativeSeparators(qEnvironmentVariable(name)));
        if (folder.isEmpty() || folder == u"." || folder == u"/")
            continue;
        // Windows tells no letter case apart in paths.
        if (file.startsWith(folder + u'/', Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace kx
