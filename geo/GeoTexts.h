#pragma once

#include <QString>

// The messages of the coordinate texts: a stored text that cannot be read,
// and the checks of the coordinate fields.
namespace kx::geo::texts {

inline QString badCoordinate(const QString &text)
{
    return QStringLiteral("Неверная координата: \"") + text + QStringLiteral("\"");
}
inline QString latEditError() { return QStringLiteral("Ошибка ввода широты!"); }
inline QString lonEditError() { return QStringLiteral("Ошибка ввода долготы!"); }

} // namespace kx::geo::texts
