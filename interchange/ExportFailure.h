#pragma once

#include <QString>

namespace kx {
struct FileFailure;
}

namespace kx::interchange {

// The message of an export whose file could not be written: the program's
// "Ошибка записи в файл!", the file (with native separators) and the reason.
// A file refused inside a folder Windows protects from programs without
// elevated rights (FS9 is often installed under Program Files) also gets what
// the pilot can do about it; Windows reports that refusal as no access or in
// its own words, so either gets the advice there.
QString exportFailureText(const QString &path, const FileFailure &failure);
QString exportFailureText(const QString &path, const QString &reason);

} // namespace kx::interchange
