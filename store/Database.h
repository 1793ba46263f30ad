#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

#include <utility>
#include <vector>

struct sqlite3_stmt;

namespace kx::store {

// The one connection of a program run (ADOC). SQLite through Qt Sql, with the
// KALYX_NOCASE collation registered, WAL journal and normal syncing, so that the
// one-row transactions of the route calculation stay cheap.
class Database
{
public:
    explicit Database(QString connectionName);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens an existing database file. Fails when the file is missing, is not an
    // SQLite database, is cut short, or its schema cannot be read: SQLite itself
    // would open such a file and fail only at the first statement.
    [[nodiscard]] bool open(const QString &path);
    // Creates a new, empty database file and opens it (the shipped database
    // is made so, and the tests' ones); fails when the file exists.
    [[nodiscard]] bool create(const QString &path);
    void close();
    bool isOpen() const;
    // Opened read-only because its folder cannot be written.
    bool isReadOnly() const { return m_readOnly; }
    const QString &path() const { return m_path; }
    QString lastError() const { return m_error; }

    QSqlDatabase &sql() { return m_db; }

    // The statement prepared on the connection's SQLite handle, ready to be
    // bound and run: kept for the next time the same text comes (a list's pages
    // and searches run the same few statements again and again, and preparing
    // them can cost more than running them). Null with lastError() when it
    // cannot be prepared. Valid until the connection closes or another
    // statement pushes it out, so a caller runs it to its end before asking
    // for the next.
    sqlite3_stmt *prepared(const QString &sql);

    // Runs one statement that returns no rows (DELETE, INSERT, UPDATE) with its
    // values bound; rowsAffected, when given, receives how many rows it
    // touched. False with lastError() when it fails.
    [[nodiscard]] bool exec(const QString &sql, const QVariantList &params = {}, int *rowsAffected = nullptr);

    [[nodiscard]] bool begin();
    [[nodiscard]] bool commit();
    bool rollback();
    bool inTransaction() const { return m_inTransaction; }

    // Checks that the file at path looks like a complete SQLite database:
    // the header's magic text, and a file no shorter than the header's page count
    // says. Cheap; reads 100 bytes.
    [[nodiscard]] static bool looksLikeDatabase(const QString &path, QString *why = nullptr);

private:
    [[nodiscard]] bool connect(const QString &path, bool readOnly);
    void finalizePrepared();

    QString m_name;
    QString m_path;
    QString m_error;
    QSqlDatabase m_db;
    bool m_inTransaction = false;
    bool m_readOnly = false;
    // The statements prepared by prepared(), the most recently used last.
    std::vector<std::pair<QString, sqlite3_stmt *>> m_prepared;
};

} // namespace kx::store
