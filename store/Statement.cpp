#include "Statement.h"

#include "Database.h"
#include "SqlText.h"

#include <QSqlError>

namespace kx::store {

Statement::Statement(Database &db, const QString &sql)
    : m_sql(sql)
    , m_query(db.sql())
{
    m_query.setForwardOnly(true);
    m_prepared = m_query.prepare(sql);
    if (!m_prepared)
        m_error = m_query.lastError().text() + QStringLiteral(" [") + sql + u']';
}

bool Statement::exec(const QVariantList &values)
{
    if (!m_prepared)
        return false;
    m_error.clear();
    m_query.finish();
    for (int i = 0; i < values.size(); ++i)
        m_query.bindValue(i, forBinding(values.at(i)));
    if (m_query.exec())
        return true;
    m_error = m_query.lastError().text() + QStringLiteral(" [") + m_sql + u']';
    return false;
}

bool Statement::execFirst(const QVariantList &values)
{
    return exec(values) && m_query.next();
}

} // namespace kx::store
