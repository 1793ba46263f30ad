#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "RowStore.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace kx::store {

class Database;

enum class Locate {
    Exact,        // equal value (numbers by value, texts case-sensitively)
    PrefixNoCase, // text beginning with the value, letter case ignored
};

// A list read in pages: its statement in parts, so that the list can ask for
// the rows that follow or precede those it holds.
struct PagedSql
{
    QString columns;   // the select list ("Punkts.Code, Punkts.ID, ...")
    QString from;      // the FROM clause's text, a WHERE of its own included
    QStringList order; // the ordering, ascending: expressions over the FROM's
                       // tables, never Null, that together tell every row apart
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
//
// A paged list (setPagedSql) holds only a stretch of its rows, read a page at
// a time through an index on its order: opening reads the first page; a grid
// asks for the pages before and after as it scrolls (fetchMore); next, prior,
// first and last read what they move to; locate finds its row in the database
// and reads the pages around it. Row numbers then count within the stretch
// held. A row appended to it stays at its end until the list is read again,
// and no page is read after it meanwhile.
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

    // Makes this a paged list of the statement; params are its "?" values.
    void setPagedSql(const PagedSql &sql, const QVariantList &params = {});
    bool isPaged() const { return !m_paged.order.isEmpty(); }
    // Rows read per page (at least 2).
    void setPageSize(int rows) { m_pageSize = std::max(2, rows); }
    int pageSize() const { return m_pageSize; }

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
    // Whether next() or prior() would move (a paged list: reading a page).
    bool hasNext() const { return m_current + 1 < rowCount() || canFetchMore(Edge::Bottom); }
    bool hasPrior() const { return m_current > 0 || canFetchMore(Edge::Top); }

    // The ends of the stretch a paged list holds.
    enum class Edge { Top, Bottom };
    // Whether the database has rows beyond that end (never for an unpaged
    // list, which holds them all).
    bool canFetchMore(Edge edge) const;
    // Reads the page beyond that end; false when that fails (lastError).
    bool fetchMore(Edge edge);
    // Reads every page that follows (a list whose reader needs all of it).
    bool fetchAll();

    const QStringList &columnNames() const { return m_columns; }
    int columnIndex(QStringView name) const;
    QVariant value(QStringView column) const;
    bool isNull(QStringView column) const { return value(column).isNull(); }
    QVariant valueAt(int row, int column) const;
    QVariant valueAt(int row, QStringView column) const;

    // Moves to the first row, in list order, whose column matches; false (and
    // the current row unchanged) when none does.
    bool locate(QStringView column, const QVariant &value, Locate mode = Locate::Exact);
    // A paged list: moves to the first row, in list order, that meets an SQL
    // condition over the list's column names, with its "?" values; false (and
    // the current row unchanged) when none does or the statement fails. The
    // condition may name the order's keys as orderKey(0), orderKey(1), ...
    bool locateWhere(const QString &condition, const QVariantList &values);
    static QString orderKey(int i) { return QStringLiteral("kx_key%1").arg(i); }
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
    // Rows first to last (0-based, inclusive) come or go. The current row
    // stays the same row; its number changes with rows that come or go
    // before it.
    void aboutToInsertRows(int first, int last);
    void rowsInserted(int first, int last);
    void aboutToRemoveRows(int first, int last);
    void rowsRemoved(int first, int last);
    void rowValuesChanged(int row);
    void currentRowChanged(int row);
    void stateChanged();

private:
    bool fail(const QString &error);
    void setCurrent(int index);
    void setState(State state);
    QString baseColumn(int column) const;
    int columnCount() const { return static_cast<int>(m_columns.size()); }

    // Takes rows as the list's stretch, after a reading of the database.
    void hold(RowStore &&rows, int current, bool atTop, bool atBottom);
    QString locateCondition(int column, const QVariant &value, Locate mode, QVariantList *values) const;

    // Paged lists.
    QString pageSql(const QString &condition, bool descending, bool keysOnly) const;
    bool readPage(RowStore *rows, const QString &condition, const QVariantList &values, bool descending, int limit,
                  bool keysOnly = false);
    // Holds the first page, the last page (fromEnd), or the stretch around
    // the row with these keys.
    bool openPaged(const QVariantList &keys, bool fromEnd);
    // Adds the page after (or before) the row with these keys.
    bool fetchBeyond(const QVariantList &keys, bool after);
    std::optional<QVariantList> firstKeysWhere(const QString &condition, const QVariantList &values);
    QVariantList keysOf(int row) const;
    bool hasKeys(int row) const;

    Database &m_db;
    QString m_name;
    QString m_sql;
    QVariantList m_params;
    QString m_table;
    QString m_key;
    QString m_error;

    RowStore m_store;        // the visible columns, then a paged list's keys
    QStringList m_columns;   // the visible columns
    PagedSql m_paged;
    int m_pageSize = 64;
    bool m_atTop = true;     // a paged list holds its first row
    bool m_atBottom = true;  // ... and its last
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
