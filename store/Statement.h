#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVariantList>

namespace kx::store {

class Database;

// One SQL statement prepared once and run as often as needed, each time with
// its own bound values: the way work that is not a window's list talks to the
// database (imports, searches, one-off reads and writes). Rows are read
// forward only, one at a time, without keeping them; the values of a run are
// gone at the next run.
//
//   Statement insert(db, "INSERT INTO Punkts (ID, Name) VALUES (?, ?)");
//   for (const auto &p : points)
//       if (!insert.exec({p.id, p.name}))
//           return fail(insert.lastError());
//
//   Statement find(db, "SELECT Code, Name FROM Punkts WHERE ID = ?");
//   if (find.exec({id}))
//       while (find.next())
//           use(find.value(0), find.value(1));
//
// A statement whose text cannot be prepared fails at every run with the
// driver's reason, so a caller checks one result, not two.
class Statement
{
public:
    Statement(Database &db, const QString &sql);
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool isPrepared() const { return m_prepared; }
    const QString &sql() const { return m_sql; }

    // Binds values to the "?" placeholders in order and runs the statement.
    // A SELECT is then read with next() and value().
    [[nodiscard]] bool exec(const QVariantList &values = {});
    // Runs it and reads its first row: false when it fails or gives no row
    // (lastError() tells which: empty when there was simply no row).
    [[nodiscard]] bool execFirst(const QVariantList &values = {});

    bool next() { return m_query.next(); }
    QVariant value(int column) const { return m_query.value(column); }
    QVariant value(const QString &column) const { return m_query.value(column); }
    bool isNull(int column) const { return m_query.isNull(column); }

    int rowsAffected() const { return m_query.numRowsAffected(); }
    QVariant lastInsertId() const { return m_query.lastInsertId(); }
    // The driver's reason of the last failure, with the statement's text.
    const QString &lastError() const { return m_error; }
    // Lets the database go of the rows of the last run (a SELECT read in part
    // otherwise keeps its read cursor open until the next run).
    void finish() { m_query.finish(); }

private:
    QString m_sql;
    QSqlQuery m_query;
    QString m_error;
    bool m_prepared = false;
};

} // namespace kx::store
