#pragma once

#include "Query.h"

namespace kx::store {

// A table object: a whole table by name, used to append a row or to edit one
// row found by a column. It reads only the row it is asked for, so
// pointing it at a table of a quarter of a million rows costs nothing.
class Table
{
public:
    Table(Database &db, QString name);

    // Points the object at a table; fails when the table does not exist.
    [[nodiscard]] bool open(const QString &table);
    void close() { m_rows.close(); m_table.clear(); }
    bool isOpen() const { return m_rows.isOpen(); }
    const QString &table() const { return m_table; }

    // Makes the first row (by key) whose column equals value current; false when
    // there is none.
    bool locate(const QString &column, const QVariant &value);

    [[nodiscard]] bool append() { return m_rows.append(); }
    [[nodiscard]] bool edit() { return m_rows.edit(); }
    void setValue(QStringView column, const QVariant &value) { m_rows.setValue(column, value); }
    QVariant value(QStringView column) const { return m_rows.value(column); }
    [[nodiscard]] bool post() { return m_rows.post(); }
    void cancel() { m_rows.cancel(); }
    bool hasRow() const { return !m_rows.isEmpty(); }
    const QString &lastError() const { return m_rows.lastError(); }

private:
    Query m_rows;
    QString m_table;
};

} // namespace kx::store
