#pragma once

#include <QString>

// The messages that name a table or a statement object in brackets, shared by
// every part that reads or writes the database.
namespace kx::store::texts {

inline QString tableWriteFailed(const QString &table)
{
    return QStringLiteral("Ошибка записи в таблицу [") + table + QStringLiteral("]!");
}
inline QString queryFailed(const QString &name)
{
    return QStringLiteral("Ошибка выполнения запроса [") + name + QStringLiteral("]!");
}
inline QString queryOpenFailed(const QString &name)
{
    return QStringLiteral("Ошибка открытия запроса [") + name + QStringLiteral("]!");
}

} // namespace kx::store::texts
