#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariantList>

namespace kx::test {

// The first column of every row a statement reads, as texts; a failed
// statement reads as one row "error: ..." that no expected list holds.
inline QStringList column(QSqlDatabase db, const QString &sql, const QVariantList &values = {})
{
    QSqlQuery q(db);
    q.prepare(sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    QStringList out;
    if (!q.exec())
        return {QStringLiteral("error: ") + q.lastError().text() + QStringLiteral(" in ") + sql};
    while (q.next())
        out << q.value(0).toString();
    return out;
}

} // namespace kx::test
