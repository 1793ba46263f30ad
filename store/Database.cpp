#include "Database.h"

#include "Collation.h"
#include "SqlText.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QtEndian>

#include <sqlite3.h>

#include <algorithm>

namespace kx::store {
namespace {

// Enough for the lists of the windows open at once, each with its pages and
// searches.
constexpr size_t kPreparedStatements = 32;

} // namespace

Database::Database(QString connectionName) : m_name(std::move(connectionName)) {}

Database::~Database()
{
    close();
    if (QSqlDatabase::contains(m_name))
        QSqlDatabase::removeDatabase(m_name);
}

bool Database::looksLikeDatabase(const QString &path, QString *why)
{
    auto fail = [why](const QString &text) {
        if (why)
            *why = text;
        return false;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1").arg(path));
    const QByteArray header = file.read(100);
    if (header.size() < 100 || !header.startsWith(QByteArray("SQLite format 3\0", 16)))
        return fail(QStringLiteral("%1 is not an SQLite database").arg(path));
    const auto *h = reinterpret_cast<const uchar *>(header.constData());
    quint32 pageSize = qFromBigEndian<quint16>(h + 16);
    if (pageSize == 1)
        pageSize = 65536;
    const quint32 changeCounter = qFromBigEndian<quint32>(h + 24);
    const quint32 pageCount = qFromBigEndian<quint32>(h + 28);
    const quint32 validFor = qFromBigEndian<quint32>(h + 92);
    // The page count in the header is trustworthy only when written by the same
    // change as the change counter (SQLite 3.7.0 and later).
    if (validFor == changeCounter && pageCount > 0
        && static_cast<qint64>(pageSize) * pageCount > file.size())
        return fail(QStringLiteral("%1 is cut short").arg(path));
    return true;
}

bool Database::open(const QString &path)
{
    close();
    m_error.clear();
    m_path = path;
    if (!QFileInfo(path).isFile()) {
        m_error = QStringLiteral("%1 does not exist").arg(path);
        return false;
    }
    if (!looksLikeDatabase(path, &m_error))
        return false;

    if (!connect(path, false)) {
        // A database in a folder that cannot be written (a read-only program
        // folder) cannot get its journal files; nobody can write it there, so it
        // is read as a file that does not change. Its writes then fail with
        // their commands' messages instead of the program refusing to start.
        const QString why = m_error;
        if (QFileInfo(QFileInfo(path).absolutePath()).isWritable() || !connect(path, true)) {
            m_error = why;
            return false;
        }
    }
    if (m_readOnly)
        return true;
    QSqlQuery q(m_db);
    // WAL may be refused; the database then stays in its own journal mode and
    // still works.
    q.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    q.finish();
    q.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    q.finish();
    // A statement that changes many rows through triggers (a catalogue import)
    // keeps its undo journal in memory, not in a temporary file it writes page
    // by page.
    q.exec(QStringLiteral("PRAGMA temp_store=MEMORY"));
    q.finish();
    // Large catalogues are read straight from the mapped file rather than
    // copied page by page through the cache.
    q.exec(QStringLiteral("PRAGMA mmap_size=268435456"));
    return true;
}

bool Database::create(const QString &path)
{
    close();
    m_error.clear();
    m_path = path;
    if (QFileInfo::exists(path)) {
        m_error = QStringLiteral("%1 already exists").arg(path);
        return false;
    }
    return connect(path, false);
}

bool Database::connect(const QString &path, bool readOnly)
{
    m_db = QSqlDatabase::contains(m_name) ? QSqlDatabase::database(m_name, false)
                                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    if (readOnly) {
        m_db.setDatabaseName(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded)
                             + QStringLiteral("?immutable=1"));
        m_db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
    } else {
        // open() never gets here for a missing file (that is the caller's
        // message); create() does, to make one.
        m_db.setDatabaseName(path);
        m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    }
    if (!m_db.open()) {
        m_error = m_db.lastError().text();
        return false;
    }
    if (!registerCollation(m_db)) {
        m_error = QStringLiteral("the SQLite driver gives no access to its handle");
        m_db.close();
        return false;
    }
    QSqlQuery q(m_db);
    // Reading the schema makes SQLite look into the file now rather than at the
    // first statement of some later command.
    if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !q.next()) {
        m_error = q.lastError().text();
        q.finish();
        m_db.close();
        return false;
    }
    m_readOnly = readOnly;
    return true;
}

sqlite3_stmt *Database::prepared(const QString &sql)
{
    for (auto it = m_prepared.begin(); it != m_prepared.end(); ++it) {
        if (it->first != sql)
            continue;
        sqlite3_stmt *statement = it->second;
        std::rotate(it, it + 1, m_prepared.end());
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
        return statement;
    }
    sqlite3 *handle = sqliteHandle(m_db);
    if (!handle) {
        m_error = QStringLiteral("the database is not an open SQLite connection");
        return nullptr;
    }
    sqlite3_stmt *statement = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(handle, text.constData(), static_cast<int>(text.size()), &statement, nullptr) != SQLITE_OK) {
        m_error = QString::fromUtf8(sqlite3_errmsg(handle));
        sqlite3_finalize(statement);
        return nullptr;
    }
    if (m_prepared.size() >= kPreparedStatements) {
        sqlite3_finalize(m_prepared.front().second);
        m_prepared.erase(m_prepared.begin());
    }
    m_prepared.emplace_back(sql, statement);
    return statement;
}

void Database::finalizePrepared()
{
    for (const auto &[sql, statement] : m_prepared)
        sqlite3_finalize(statement);
    m_prepared.clear();
}

void Database::close()
{
    // SQLite closes no connection that still has statements of its own.
    finalizePrepared();
    if (m_db.isOpen()) {
        if (m_inTransaction)
            rollback();
        m_db.close();
    }
    m_db = QSqlDatabase();
    m_readOnly = false;
}

bool Database::isOpen() const
{
    return m_db.isOpen();
}

bool Database::exec(const QString &sql, const QVariantList &params, int *rowsAffected)
{
    QSqlQuery q(m_db);
    bool ok = q.prepare(sql);
    if (ok) {
        for (const QVariant &p : params)
            q.addBindValue(forBinding(p));
        ok = q.exec();
    }
    if (!ok) {
        m_error = q.lastError().text();
        return false;
    }
    if (rowsAffected)
        *rowsAffected = q.numRowsAffected();
    return true;
}

bool Database::begin()
{
    if (!m_db.transaction()) {
        m_error = m_db.lastError().text();
        return false;
    }
    m_inTransaction = true;
    return true;
}

bool Database::commit()
{
    if (!m_db.commit()) {
        m_error = m_db.lastError().text();
        return false;
    }
    m_inTransaction = false;
    return true;
}

bool Database::rollback()
{
    m_inTransaction = false;
    if (!m_db.rollback()) {
        m_error = m_db.lastError().text();
        return false;
    }
    return true;
}

} // namespace kx::store
