#include "ExportFailure.h"

#include "InterchangeTexts.h"

#include "base/FileError.h"

#include <QDir>

namespace kx::interchange {

QString exportFailureText(const QString &path, const FileFailure &failure)
{
    QString text = exportFailureText(path, failure.text);
    if ((failure.problem == FileProblem::NoAccess || failure.problem == FileProblem::Other)
        && isInProtectedFolder(path))
        text += QStringLiteral("\r\n") + texts::protectedFolderAdvice();
    return text;
}

QString exportFailureText(const QString &path, const QString &reason)
{
    return texts::exportWriteFailed(QDir::toNativeSeparators(path), reason);
}

} // namespace kx::interchange
