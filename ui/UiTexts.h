#pragma once

#include <QString>

// Texts the window parts show by themselves, where Qt's own are missing or
// follow the system's language rather than the program's.
namespace kx::ui::texts {

// The type of a folder in the file dialogs' lists.
inline QString folderType() { return QStringLiteral("Папка"); }
// A size below a kilobyte: "512 байт".
inline QString bytes(qint64 count) { return QString::number(count) + QStringLiteral(" байт"); }

} // namespace kx::ui::texts
