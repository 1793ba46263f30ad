#pragma once

#include <QString>
#include <QVariantList>

struct sqlite3_stmt;

namespace kx::store {

class Database;

// A SELECT read straight from the connection's SQLite statement, value by
// value without a QVariant each: for the few readers that go through
// thousands of rows a time where a person waits for them (the map's catalogue
// layer while the map moves). Everything else reads through Statement.
//
//   RowReader inBox(db, "SELECT Code, Lat FROM PunktsArea WHERE Lat >= ?");
//   if (inBox.exec({south}))
//       while (inBox.next())
//           use(inBox.integer(0), inBox.real(1));
//
// A statement that cannot be prepared fails at every run with the reason.
class RowReader
{
public:
    RowReader(Database &db, const QString &sql);
    ~RowReader();
    RowReader(const RowReader &) = delete;
    RowReader &operator=(const RowReader &) = delete;

    // Binds the values (numbers, texts, Null) to the "?" in order and starts
    // the statement; false with lastError() when it cannot.
    [[nodiscard]] bool exec(const QVariantList &values = {});
    // The next row; false at the end or after a failure (lastError() then
    // says which).
    bool next();

    double real(int column) const;
    qint64 integer(int column) const;
    QString text(int column) const;
    bool isNull(int column) const;

    const QString &lastError() const { return m_error; }

private:
    bool fail();

    sqlite3_stmt *m_statement = nullptr;
    QString m_sql;
    QString m_error;
};

} // namespace kx::store
