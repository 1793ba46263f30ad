#include "RowReader.h"

#include "Collation.h"
#include "Database.h"

#include <sqlite3.h>

namespace kx::store {

RowReader::RowReader(Database &db, const QString &sql) : m_sql(sql)
{
    sqlite3 *handle = db.isOpen() ? sqliteHandle(db.sql()) : nullptr;
    if (!handle) {
        m_error = QStringLiteral("no open database [") + sql + u']';
        return;
    }
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(handle, text.constData(), int(text.size()), &m_statement, nullptr) != SQLITE_OK) {
        m_error = QString::fromUtf8(sqlite3_errmsg(handle)) + QStringLiteral(" [") + sql + u']';
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
    }
}

RowReader::~RowReader()
{
    sqlite3_finalize(m_statement);
}

bool RowReader::fail()
{
    m_error = QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(m_statement))) + QStringLiteral(" [") + m_sql + u']';
    sqlite3_reset(m_statement);
    return false;
}

bool RowReader::exec(const QVariantList &values)
{
    if (!m_statement)
        return false;
    m_error.clear();
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
    for (int i = 0; i < values.size(); ++i) {
        const QVariant &v = values.at(i);
        int rc = SQLITE_OK;
        if (v.isNull()) {
            rc = sqlite3_bind_null(m_statement, i + 1);
        } else {
            switch (v.typeId()) {
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::UInt:
            case QMetaType::Bool:
                rc = sqlite3_bind_int64(m_statement, i + 1, v.toLongLong());
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(m_statement, i + 1, v.toDouble());
                break;
            default: {
                const QByteArray text = v.toString().toUtf8();
                rc = sqlite3_bind_text(m_statement, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
                break;
            }
            }
        }
        if (rc != SQLITE_OK)
            return fail();
    }
    return true;
}

bool RowReader::next()
{
    if (!m_statement)
        return false;
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        return fail();
    sqlite3_reset(m_statement);
    return false;
}

double RowReader::real(int column) const
{
    return sqlite3_column_double(m_statement, column);
}

qint64 RowReader::integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

QString RowReader::text(int column) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(m_statement, column));
}

bool RowReader::isNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

} // namespace kx::store
