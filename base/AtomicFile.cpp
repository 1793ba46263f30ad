#include "AtomicFile.h"

#include "FileError.h"

#include <QSaveFile>

namespace kx {

bool writeFileAtomically(const QString &path, const QByteArray &content, QString *error)
{
    QSaveFile file(path);
    // Never the non-atomic fallback of writing into the target itself.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        if (error)
            *error = fileErrorText(file, FileAccess::Write);
        file.cancelWriting();
        return false;
    }
    return true;
}

} // namespace kx
