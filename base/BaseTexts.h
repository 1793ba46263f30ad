#pragma once

#include <QString>

// The messages every layer that writes files shares.
namespace kx::texts {

inline QString fileWriteFailed() { return QStringLiteral("Ошибка записи в файл!"); }

} // namespace kx::texts
