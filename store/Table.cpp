#include "Table.h"

#include "SqlText.h"

namespace kx::store {
Table::Table(Database &db, QString name) : m_rows(db, std::move(name)) {}

bool Table::open(const QString &table)
{
    m_table.clear();
    // No rows, but the columns, so that append works at once.
    if (!m_rows.open(QStringLiteral("SELECT * FROM %1 WHERE 0").arg(quoteIdentifier(table))))
        return false;
    m_rows.setUpdateTable(table);
    m_table = table;
    return true;
}

bool Table::locate(const QString &column, const QVariant &value)
{
    if (m_table.isEmpty())
        return false;
    const QString sql = QStringLiteral("SELECT * FROM %1 WHERE %2 = ? ORDER BY \"Code\" LIMIT 1")
                            .arg(quoteIdentifier(m_table), quoteIdentifier(column));
    if (!m_rows.open(sql, {value}))
        return false;
    return !m_rows.isEmpty();
}

} // namespace kx::store
