#include "AtomicFile.h"

#include "FileError.h"

#include <QSaveFile>

namespace kx {

bool writeFileAtomically(const QString &path, const QByteArray &content, FileFailure *failure)
{
    QSaveFile file(path);
    // Never the non-atomic fallback of writing into the target itself.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        if (failure)
            *failure = fileFailure(file, FileAccess::Write);
        file.cancelWriting();
        return false;
    }
    return true;
}

bool writeFileAtomically(const QString &path, const QByteArray &content, QString *error)
{
    FileFailure failure;
    const bool written = writeFileAtomically(path, content, &failure);
    if (!written && error)
        *error = failure.text;
    return written;
}

} // namespace kx
