#pragma once

#include <QByteArray>
#include <QString>

namespace kx {

struct FileFailure;

// Writes the whole content to a temporary file in the target's folder and
// renames it over the target only when every byte is written, so the target
// holds either its old content or the new one, never a part. False (the
// target untouched, no temporary file left) when the folder cannot take the
// file; *error then says why.
bool writeFileAtomically(const QString &path, const QByteArray &content, QString *error = nullptr);
// The same, telling what kind of failure it was (FileError.h).
bool writeFileAtomically(const QString &path, const QByteArray &content, FileFailure *failure);

} // namespace kx
