#include "Floor.h"

#include <sqlite3.h>

namespace kx::bench {

RawDatabase::RawDatabase(const QString &path)
{
    if (sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_close(m_db);
        m_db = nullptr;
        return;
    }
    // As the program's connection (store/Database.cpp).
    sqlite3_exec(m_db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA mmap_size=268435456", nullptr,
                 nullptr, nullptr);
}

RawDatabase::~RawDatabase()
{
    for (sqlite3_stmt *statement : std::as_const(m_prepared))
        sqlite3_finalize(statement);
    sqlite3_close(m_db);
}

bool RawDatabase::run(const QString &sql, const QVariantList &values, int *rows, QVariantList *firstRow)
{
    // Prepared once, as the program keeps its statements.
    sqlite3_stmt *statement = m_prepared.value(sql);
    if (!statement) {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, text.constData(), static_cast<int>(text.size()), &statement, nullptr) != SQLITE_OK) {
            m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
            return false;
        }
        m_prepared.insert(sql, statement);
    }
    for (int i = 0; i < values.size(); ++i) {
        const QVariant &v = values.at(i);
        if (v.isNull()) {
            sqlite3_bind_null(statement, i + 1);
        } else if (v.typeId() == QMetaType::Double) {
            sqlite3_bind_double(statement, i + 1, v.toDouble());
        } else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong) {
            sqlite3_bind_int64(statement, i + 1, v.toLongLong());
        } else {
            const QByteArray bytes = v.toString().toUtf8();
            sqlite3_bind_text(statement, i + 1, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        }
    }
    int count = 0;
    int rc;
    const int columns = sqlite3_column_count(statement);
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            if (sqlite3_column_type(statement, c) == SQLITE_TEXT)
                sqlite3_column_text(statement, c);
            if (count == 0 && firstRow) {
                switch (sqlite3_column_type(statement, c)) {
                case SQLITE_INTEGER:
                    firstRow->append(static_cast<qlonglong>(sqlite3_column_int64(statement, c)));
                    break;
                case SQLITE_FLOAT:
                    firstRow->append(sqlite3_column_double(statement, c));
                    break;
                case SQLITE_NULL:
                    firstRow->append(QVariant());
                    break;
                default:
                    firstRow->append(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, c)),
                                                       sqlite3_column_bytes(statement, c)));
                }
            }
        }
        ++count;
    }
    if (rc != SQLITE_DONE)
        m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    if (rows)
        *rows = count;
    return rc == SQLITE_DONE;
}

} // namespace kx::bench
