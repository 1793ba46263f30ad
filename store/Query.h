#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "RowStore.h"

#include <vector>

namespace kx::store {

class Database;

enum class Locate {
    Exact,        // equal value (numbers by value, texts case-sensitively)
    PrefixNoCase, // text beginning with the value, letter case ignored
};

// A list: an SQL statement opened as rows in memory with a current row, the way
// every window reads the database; also runs DELETE/INSERT/UPDATE statements.
//
// Values are bound to "?" placeholders, never spliced into the text. Columns
// are found by name without regard to letter case; a qualified name
// ("Points.Code") matches a column of that exact name or, failing that, the
// column named by its last part ("Code"), and an unqualified name matches a
// column whose name ends with it ("ID" finds "Punkts.ID"). Null stays distinct
// from every value.
//
// A list over one table (setUpdateTable) also changes rows: edit/append put
// the current row into a buffer, setValue changes it, post writes the changed
// columns to the base table by key (or inserts the row and reads its new key
// back), cancel discards the buffer, deleteRow deletes the row.
class Query : public QObject
{
    Q_OBJECT
public:
    enum class State { Closed, Browse, Edit, Insert };

    Query(Database &db, QString name, QObject *parent = nullptr);
    ~Query() override;

    const QString &name() const { return m_name; }
    Database &database() { return m_db; }

    void setSql(const QString &sql, const QVariantList &params = {});
    void setParams(const QVariantList &params) { m_params = params; }
    const QString &sql() const { return m_sql; }
    const QVariantList &params() const { return m_params; }

    // Runs the statement and reads its rows; the first row becomes current.
    [[nodiscard]] bool open();
    [[nodiscard]] bool open(const QString &sql, const QVariantList &params = {});
    // Runs a statement that returns no rows. The list is closed first.
    [[nodiscard]] bool exec();
    [[nodiscard]] bool exec(const QString &sql, const QVariantList &params = {});
    int numRowsAffected() const { return m_rowsAffected; }
    QVariant lastInsertId() const { return m_lastInsertId; }
    void close();
    bool isOpen() const { return m_state != State::Closed; }
    State state() const { return m_state; }
    const QString &lastError() const { return m_error; }

    // Makes the list writable: posts go to this table, rows found by this key.
    void setUpdateTable(const QString &table, const QString &keyColumn = QStringLiteral("Code"));
    const QString &updateTable() const { return m_table; }

    int rowCount() const { return m_store.rowCount(); }
    bool isEmpty() const { return m_store.rowCount() == 0; }
    // 1-based position of the current row; 0 on an empty list.
    int rowNumber() const { return m_current + 1; }
    bool setRowNumber(int number);
    int currentIndex() const { return m_current; } // 0-based, -1 on an empty list
    bool first();
    bool last();
    bool next();  // at the last row: stays there and sets eof
    bool prior(); // at the first row: stays there and sets bof
    bool eof() const { return m_eof || isEmpty(); }
    bool bof() const { return m_bof || isEmpty(); }

    const QStringList &columnNames() const { return m_store.columns(); }
    int columnIndex(QStringView name) const;
    QVariant value(QStringView column) const;
    bool isNull(QStringView column) const { return value(column).isNull(); }
    QVariant valueAt(int row, int column) const;
    QVariant valueAt(int row, QStringView column) const;

    // Moves to the first row, in list order, whose column matches; false (and
    // the current row unchanged) when none does.
    bool locate(QStringView column, const QVariant &value, Locate mode = Locate::Exact);
    // Posts a pending change, runs the statement again, first row current.
    [[nodiscard]] bool refresh();
    // refresh, then locate the row whose column equals value (first row if gone).
    [[nodiscard]] bool refreshAt(QStringView column, const QVariant &value);

    [[nodiscard]] bool edit();
    [[nodiscard]] bool append();
    void setValue(QStringView column, const QVariant &value);
    bool isModified() const;
    [[nodiscard]] bool post();
    void cancel();
    [[nodiscard]] bool deleteRow();

signals:
    void aboutToReset();
    void reset();
    void aboutToInsertRow(int row);
    void rowInserted(int row);
    void aboutToRemoveRow(int row);
    void rowRemoved(int row);
    void rowValuesChanged(int row);
    void currentRowChanged(int row);
    void stateChanged();

private:
    bool fail(const QString &error);
    void setCurrent(int index);
    void setState(State state);
    QString baseColumn(int column) const;

    Database &m_db;
    QString m_name;
    QString m_sql;
    QVariantList m_params;
    QString m_table;
    QString m_key;
    QString m_error;

    RowStore m_store;
    int m_current = -1;
    bool m_eof = false;
    bool m_bof = false;

    State m_state = State::Closed;
    QVariantList m_buffer;         // the current row's values while editing
    std::vector<bool> m_modified;  // columns changed in the buffer
    int m_rowsAffected = 0;
    QVariant m_lastInsertId;
};

} // namespace kx::store
