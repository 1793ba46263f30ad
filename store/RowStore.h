#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>
#include <QVariant>

#include <vector>

struct sqlite3_stmt;

namespace kx::store {

// The rows of a list, held compactly: a quarter of a million catalogue rows
// take tens of megabytes instead of hundreds, and read straight from SQLite
// without a QVariant per value until a value is asked for.
class RowStore
{
public:
    // Runs a prepared SELECT with its bound values and reads every row.
    [[nodiscard]] bool load(sqlite3_stmt *statement, const QVariantList &params, QString *error);
    void clear();

    const QStringList &columns() const { return m_columns; }
    int rowCount() const { return m_rows; }
    int columnCount() const { return static_cast<int>(m_columns.size()); }

    QVariant value(int row, int column) const;
    QVariantList row(int row) const;
    void setRow(int row, const QVariantList &values);
    void appendRow(const QVariantList &values);
    void removeRow(int row);
    // Puts the rows of other (of the same columns) before row at; other is
    // left empty.
    void insertRows(int at, RowStore &&other);
    // The rows in the opposite order.
    void reverseRows();

    // The first row whose column equals value (numbers by value, anything else
    // as text, Null only to Null), or -1.
    int findEqual(int column, const QVariant &value) const;
    // The first row whose column is a text beginning with prefix, letter case
    // ignored, or -1.
    int findPrefixNoCase(int column, const QString &prefix) const;

private:
    enum class Kind : quint8 { Null, Integer, Real, Text, Blob };
    struct Cell
    {
        Kind kind = Kind::Null;
        quint32 length = 0;
        union {
            qint64 integer;
            double real;
            quint64 offset; // into m_bytes, for Text and Blob
        };
        Cell() : integer(0) {}
    };

    Cell makeCell(const QVariant &value);
    QByteArrayView bytes(const Cell &c) const { return QByteArrayView(m_bytes.constData() + c.offset, c.length); }
    const Cell &cell(int row, int column) const { return m_cells[static_cast<size_t>(row) * m_columns.size() + column]; }

    QStringList m_columns;
    std::vector<Cell> m_cells;
    QByteArray m_bytes; // texts as UTF-8 and blobs, one after another
    int m_rows = 0;
};

} // namespace kx::store
