#include "Query.h"

#include "Collation.h"
#include "Database.h"
#include "SqlText.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace kx::store {
namespace {

bool bindAll(QSqlQuery &q, const QVariantList &params)
{
    for (const QVariant &p : params)
        q.addBindValue(forBinding(p));
    return true;
}

QString keyColumn(qsizetype i)
{
    return Query::orderKey(static_cast<int>(i));
}

// The rows that come after (or before) given keys in the order of the keys
// 0..n-1, as a condition over the key columns with a "?" for each value of
// keyValues(): lexicographic, its first term a range an index on the order
// answers.
QString beyondCondition(qsizetype n, bool after, bool inclusive)
{
    const QString beyond = after ? QStringLiteral(" > ?") : QStringLiteral(" < ?");
    const QString last = inclusive ? (after ? QStringLiteral(" >= ?") : QStringLiteral(" <= ?")) : beyond;
    // The keys i..n-1 beyond theirs, the keys before i being equal to theirs.
    QString rest = keyColumn(n - 1) + last;
    for (qsizetype i = n - 2; i >= 1; --i)
        rest = QStringLiteral("(%1%2 OR (%1 = ? AND %3))").arg(keyColumn(i), beyond, rest);
    if (n == 1)
        return rest;
    const QString reach = after ? QStringLiteral(" >= ?") : QStringLiteral(" <= ?");
    return QStringLiteral("%1%2 AND (%1%3 OR %4)").arg(keyColumn(0), reach, beyond, rest);
}

// The values of beyondCondition's placeholders, in their order.
QVariantList keyValues(const QVariantList &keys)
{
    const qsizetype n = keys.size();
    if (n == 1)
        return keys;
    QVariantList values{keys.at(0), keys.at(0)};
    for (qsizetype i = 1; i < n - 1; ++i)
        values << keys.at(i) << keys.at(i);
    values << keys.at(n - 1);
    return values;
}

} // namespace

Query::Query(Database &db, QString name, QObject *parent) : QObject(parent), m_db(db), m_name(std::move(name)) {}

Query::~Query() = default;

void Query::setSql(const QString &sql, const QVariantList &params)
{
    m_sql = sql;
    m_params = params;
    m_paged = {};
}

void Query::setPagedSql(const PagedSql &sql, const QVariantList &params)
{
    m_paged = sql;
    m_params = params;
    // What the list is, for logs and messages: the statement it reads in pages.
    m_sql = QStringLiteral("SELECT %1 FROM %2 ORDER BY %3").arg(sql.columns, sql.from, sql.order.join(QStringLiteral(", ")));
}

bool Query::fail(const QString &error)
{
    m_error = error;
    return false;
}

void Query::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged();
}

void Query::setCurrent(int index)
{
    m_eof = m_bof = false;
    if (index == m_current)
        return;
    m_current = index;
    emit currentRowChanged(m_current);
}

void Query::close()
{
    if (m_state == State::Closed && m_store.columnCount() == 0)
        return;
    emit aboutToReset();
    m_store.clear();
    m_columns.clear();
    m_buffer.clear();
    m_modified.clear();
    m_current = -1;
    m_eof = m_bof = false;
    m_atTop = m_atBottom = true;
    setState(State::Closed);
    emit reset();
    emit currentRowChanged(-1);
}

bool Query::open(const QString &sql, const QVariantList &params)
{
    setSql(sql, params);
    return open();
}

bool Query::open()
{
    close();
    m_error.clear();
    if (!m_db.isOpen())
        return fail(QStringLiteral("the database is not open"));
    if (isPaged())
        return openPaged({}, false);
    sqlite3_stmt *statement = m_db.prepared(m_sql);
    if (!statement)
        return fail(m_db.lastError());
    RowStore rows;
    QString error;
    if (!rows.load(statement, m_params, &error))
        return fail(error);
    hold(std::move(rows), 0, true, true);
    return true;
}

void Query::hold(RowStore &&rows, int current, bool atTop, bool atBottom)
{
    emit aboutToReset();
    m_store = std::move(rows);
    m_columns = m_store.columns().mid(0, m_store.columnCount() - static_cast<int>(m_paged.order.size()));
    m_buffer.clear();
    m_modified.clear();
    m_current = isEmpty() ? -1 : std::clamp(current, 0, rowCount() - 1);
    m_eof = m_bof = false;
    m_atTop = atTop;
    m_atBottom = atBottom;
    const bool wasBrowsing = m_state == State::Browse;
    m_state = State::Browse;
    emit reset();
    if (!wasBrowsing)
        emit stateChanged();
    emit currentRowChanged(m_current);
}

QString Query::pageSql(const QString &condition, bool descending, bool keysOnly) const
{
    QStringList keys;
    QStringList order;
    for (qsizetype i = 0; i < m_paged.order.size(); ++i) {
        keys << QStringLiteral("%1 AS %2").arg(m_paged.order.at(i), keyColumn(i));
        order << keyColumn(i) + (descending ? QStringLiteral(" DESC") : QString());
    }
    QStringList keyNames;
    for (qsizetype i = 0; i < m_paged.order.size(); ++i)
        keyNames << keyColumn(i);
    // The outer statement names the inner one's columns; SQLite folds the two
    // into one, so the condition and the order reach the index on the keys.
    return QStringLiteral("SELECT %1 FROM (SELECT %2, %3 FROM %4)%5 ORDER BY %6 LIMIT ?")
        .arg(keysOnly ? keyNames.join(QStringLiteral(", ")) : QStringLiteral("*"), m_paged.columns,
             keys.join(QStringLiteral(", ")), m_paged.from,
             condition.isEmpty() ? QString() : QStringLiteral(" WHERE ") + condition,
             order.join(QStringLiteral(", ")));
}

bool Query::readPage(RowStore *rows, const QString &condition, const QVariantList &values, bool descending,
                     int limit, bool keysOnly)
{
    sqlite3_stmt *statement = m_db.prepared(pageSql(condition, descending, keysOnly));
    if (!statement)
        return fail(m_db.lastError());
    QString error;
    if (!rows->load(statement, m_params + values + QVariantList{limit}, &error))
        return fail(error);
    if (descending)
        rows->reverseRows();
    return true;
}

bool Query::openPaged(const QVariantList &keys, bool fromEnd)
{
    const qsizetype n = m_paged.order.size();
    RowStore rows;
    if (keys.isEmpty()) {
        if (!readPage(&rows, {}, {}, fromEnd, m_pageSize))
            return false;
        const bool whole = rows.rowCount() < m_pageSize;
        const int current = fromEnd ? rows.rowCount() - 1 : 0;
        hold(std::move(rows), current, whole || !fromEnd, whole || fromEnd);
        return true;
    }
    // The row with these keys, some rows before it to scroll back to, and a
    // page from it on.
    const int before = std::max(1, m_pageSize / 2);
    RowStore from;
    if (!readPage(&rows, beyondCondition(n, false, false), keyValues(keys), true, before)
        || !readPage(&from, beyondCondition(n, true, true), keyValues(keys), false, m_pageSize))
        return false;
    const int current = rows.rowCount();
    const bool atTop = rows.rowCount() < before;
    const bool atBottom = from.rowCount() < m_pageSize;
    if (rows.columnCount() == 0)
        rows = std::move(from);
    else
        rows.insertRows(rows.rowCount(), std::move(from));
    hold(std::move(rows), current, atTop, atBottom);
    return true;
}

QVariantList Query::keysOf(int row) const
{
    QVariantList keys;
    for (int c = columnCount(); c < m_store.columnCount(); ++c)
        keys << m_store.value(row, c);
    return keys;
}

bool Query::hasKeys(int row) const
{
    return row >= 0 && row < rowCount() && m_store.columnCount() > columnCount()
        && !m_store.value(row, m_store.columnCount() - 1).isNull();
}

bool Query::canFetchMore(Edge edge) const
{
    if (!isPaged() || m_state == State::Closed)
        return false;
    if (edge == Edge::Top)
        return !m_atTop && hasKeys(0);
    return !m_atBottom && hasKeys(rowCount() - 1);
}

bool Query::fetchMore(Edge edge)
{
    if (!canFetchMore(edge))
        return true;
    const bool top = edge == Edge::Top;
    return fetchBeyond(keysOf(top ? 0 : rowCount() - 1), !top);
}

bool Query::fetchBeyond(const QVariantList &keys, bool after)
{
    RowStore page;
    if (!readPage(&page, beyondCondition(keys.size(), after, false), keyValues(keys), !after, m_pageSize))
        return false;
    const int n = page.rowCount();
    if (n < m_pageSize)
        (after ? m_atBottom : m_atTop) = true;
    if (n == 0)
        return true;
    const int first = after ? rowCount() : 0;
    emit aboutToInsertRows(first, first + n - 1);
    m_store.insertRows(first, std::move(page));
    if (!after && m_current >= 0)
        m_current += n;
    emit rowsInserted(first, first + n - 1);
    return true;
}

bool Query::fetchAll()
{
    while (canFetchMore(Edge::Bottom))
        if (!fetchMore(Edge::Bottom))
            return false;
    return true;
}

bool Query::exec(const QString &sql, const QVariantList &params)
{
    setSql(sql, params);
    return exec();
}

bool Query::exec()
{
    close();
    m_error.clear();
    m_rowsAffected = 0;
    m_lastInsertId = {};
    if (!m_db.isOpen())
        return fail(QStringLiteral("the database is not open"));
    QSqlQuery q(m_db.sql());
    if (!q.prepare(m_sql))
        return fail(q.lastError().text());
    bindAll(q, m_params);
    if (!q.exec())
        return fail(q.lastError().text());
    m_rowsAffected = q.numRowsAffected();
    m_lastInsertId = q.lastInsertId();
    return true;
}

void Query::setUpdateTable(const QString &table, const QString &keyColumn)
{
    m_table = table;
    m_key = keyColumn;
}

bool Query::setRowNumber(int number)
{
    if (number < 1 || number > rowCount())
        return false;
    setCurrent(number - 1);
    return true;
}

bool Query::first()
{
    if (isEmpty())
        return false;
    if (!m_atTop && m_state == State::Browse)
        return openPaged({}, false);
    setCurrent(0);
    return true;
}

bool Query::last()
{
    if (isEmpty())
        return false;
    if (!m_atBottom && m_state == State::Browse)
        return openPaged({}, true);
    setCurrent(rowCount() - 1);
    return true;
}

bool Query::next()
{
    if (isEmpty())
        return false;
    if (m_current + 1 >= rowCount() && canFetchMore(Edge::Bottom) && !fetchMore(Edge::Bottom))
        return false;
    if (m_current + 1 >= rowCount()) {
        m_eof = true;
        return false;
    }
    setCurrent(m_current + 1);
    return true;
}

bool Query::prior()
{
    if (isEmpty())
        return false;
    if (m_current <= 0 && canFetchMore(Edge::Top) && !fetchMore(Edge::Top))
        return false;
    if (m_current <= 0) {
        m_bof = true;
        return false;
    }
    setCurrent(m_current - 1);
    return true;
}

int Query::columnIndex(QStringView name) const
{
    const QStringList &columns = m_columns;
    for (int i = 0; i < columns.size(); ++i)
        if (name.compare(columns.at(i), Qt::CaseInsensitive) == 0)
            return i;
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0) {
        // "Points.Code" for a column the statement named just "Code".
        const QStringView last = name.mid(dot + 1);
        for (int i = 0; i < columns.size(); ++i)
            if (last.compare(columns.at(i), Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }
    // "ID" for a column named "Punkts.ID".
    for (int i = 0; i < columns.size(); ++i) {
        const QString &c = columns.at(i);
        const qsizetype cdot = c.lastIndexOf(u'.');
        if (cdot >= 0 && name.compare(QStringView(c).mid(cdot + 1), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant Query::valueAt(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return {};
    if (row == m_current && (m_state == State::Edit || m_state == State::Insert))
        return m_buffer.at(column);
    return m_store.value(row, column);
}

QVariant Query::valueAt(int row, QStringView column) const
{
    return valueAt(row, columnIndex(column));
}

QVariant Query::value(QStringView column) const
{
    return valueAt(m_current, columnIndex(column));
}

QString Query::locateCondition(int column, const QVariant &value, Locate mode, QVariantList *values) const
{
    const QString name = quoteIdentifier(m_columns.at(column));
    if (mode == Locate::Exact) {
        values->append(forBinding(value));
        return name + QStringLiteral(" IS ?");
    }
    const QString prefix = value.toString();
    values->append(prefix);
    return QStringLiteral("substr(%1, 1, %2) = ? COLLATE %3")
        .arg(name)
        .arg(prefix.toUcs4().size())
        .arg(QLatin1String(kCollation));
}

bool Query::locate(QStringView column, const QVariant &value, Locate mode)
{
    const int c = columnIndex(column);
    if (c < 0)
        return false;
    if (isPaged()) {
        QVariantList values;
        const QString condition = locateCondition(c, value, mode, &values);
        return locateWhere(condition, values);
    }
    const int row = mode == Locate::Exact ? m_store.findEqual(c, value) : m_store.findPrefixNoCase(c, value.toString());
    if (row < 0)
        return false;
    setCurrent(row);
    return true;
}

std::optional<QVariantList> Query::firstKeysWhere(const QString &condition, const QVariantList &values)
{
    RowStore found;
    if (!readPage(&found, condition, values, false, 1, true) || found.rowCount() == 0)
        return std::nullopt;
    return found.row(0);
}

bool Query::locateWhere(const QString &condition, const QVariantList &values)
{
    if (!isPaged() || m_state == State::Closed)
        return false;
    const std::optional<QVariantList> keys = firstKeysWhere(condition, values);
    if (!keys)
        return false;
    // A row held already is only made current. The last key tells rows apart
    // nearly always, so only its match is compared in full.
    const int row = m_store.findEqual(m_store.columnCount() - 1, keys->last());
    if (row >= 0 && keysOf(row) == *keys) {
        setCurrent(row);
        return true;
    }
    if (m_state != State::Browse)
        return fail(QStringLiteral("%1: the row being edited keeps its place").arg(m_name));
    return openPaged(*keys, false);
}

bool Query::refresh()
{
    if ((m_state == State::Edit || m_state == State::Insert) && !post())
        return false;
    return open();
}

bool Query::refreshAt(QStringView column, const QVariant &value)
{
    if (!isPaged()) {
        if (!refresh())
            return false;
        locate(column, value);
        return true;
    }
    if ((m_state == State::Edit || m_state == State::Insert) && !post())
        return false;
    // Read afresh around the row, the stretch held so far being stale.
    if (m_state == State::Closed && !open())
        return false;
    const int c = columnIndex(column);
    QVariantList values;
    const std::optional<QVariantList> keys =
        c < 0 ? std::nullopt : firstKeysWhere(locateCondition(c, value, Locate::Exact, &values), values);
    return keys ? openPaged(*keys, false) : open();
}

bool Query::edit()
{
    if (m_state == State::Edit || m_state == State::Insert)
        return true;
    if (m_state != State::Browse || m_current < 0)
        return fail(QStringLiteral("%1: no current row to edit").arg(m_name));
    m_buffer = m_store.row(m_current);
    m_modified.assign(static_cast<size_t>(m_store.columnCount()), false);
    setState(State::Edit);
    return true;
}

bool Query::append()
{
    if (m_state == State::Edit || m_state == State::Insert)
        if (!post())
            return false;
    if (m_state != State::Browse)
        return fail(QStringLiteral("%1 is not open").arg(m_name));
    const int row = rowCount();
    QVariantList empty;
    for (int i = 0; i < m_store.columnCount(); ++i)
        empty.append(QVariant());
    emit aboutToInsertRows(row, row);
    m_store.appendRow(empty);
    m_buffer = empty;
    m_modified.assign(static_cast<size_t>(m_store.columnCount()), false);
    m_state = State::Insert;
    emit rowsInserted(row, row);
    emit stateChanged();
    setCurrent(row);
    return true;
}

void Query::setValue(QStringView column, const QVariant &value)
{
    const int c = columnIndex(column);
    Q_ASSERT_X(c >= 0, "Query::setValue", "unknown column");
    Q_ASSERT_X(m_state == State::Edit || m_state == State::Insert, "Query::setValue", "not editing");
    if (c < 0 || (m_state != State::Edit && m_state != State::Insert))
        return;
    m_buffer[c] = value;
    m_modified[static_cast<size_t>(c)] = true;
    emit rowValuesChanged(m_current);
}

bool Query::isModified() const
{
    for (const bool m : m_modified)
        if (m)
            return true;
    return false;
}

QString Query::baseColumn(int column) const
{
    const QString &c = m_store.columns().at(column);
    const qsizetype dot = c.lastIndexOf(u'.');
    return dot >= 0 ? c.mid(dot + 1) : c;
}

bool Query::post()
{
    if (m_state != State::Edit && m_state != State::Insert)
        return true;
    if (m_table.isEmpty())
        return fail(QStringLiteral("%1 cannot be changed").arg(m_name));
    m_error.clear();
    const int keyIndex = columnIndex(m_key);
    QStringList names;
    QVariantList values;
    for (int i = 0; i < columnCount(); ++i) {
        if (!m_modified[static_cast<size_t>(i)] || i == keyIndex)
            continue;
        names.append(quoteIdentifier(baseColumn(i)));
        values.append(forBinding(m_buffer.at(i)));
    }

    QSqlQuery q(m_db.sql());
    if (m_state == State::Edit) {
        if (!names.isEmpty()) {
            if (keyIndex < 0)
                return fail(QStringLiteral("%1 has no key column %2").arg(m_name, m_key));
            QStringList sets;
            for (const QString &n : std::as_const(names))
                sets.append(n + QStringLiteral(" = ?"));
            const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                                    .arg(quoteIdentifier(m_table), sets.join(QStringLiteral(", ")), quoteIdentifier(m_key));
            if (!q.prepare(sql))
                return fail(q.lastError().text());
            values.append(m_buffer.at(keyIndex));
            bindAll(q, values);
            if (!q.exec())
                return fail(q.lastError().text());
            if (q.numRowsAffected() == 0)
                return fail(QStringLiteral("%1: the row to update no longer exists").arg(m_name));
        }
    } else {
        const QString sql = names.isEmpty()
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteIdentifier(m_table))
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(quoteIdentifier(m_table), names.join(QStringLiteral(", ")),
                       QStringList(names.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
        if (!q.prepare(sql))
            return fail(q.lastError().text());
        bindAll(q, values);
        if (!q.exec())
            return fail(q.lastError().text());
        if (keyIndex >= 0)
            m_buffer[keyIndex] = q.lastInsertId();
    }
    m_store.setRow(m_current, m_buffer);
    m_buffer.clear();
    m_modified.clear();
    setState(State::Browse);
    emit rowValuesChanged(m_current);
    return true;
}

void Query::cancel()
{
    if (m_state == State::Edit) {
        m_buffer.clear();
        m_modified.clear();
        setState(State::Browse);
        emit rowValuesChanged(m_current);
    } else if (m_state == State::Insert) {
        const int row = m_current;
        m_buffer.clear();
        m_modified.clear();
        emit aboutToRemoveRows(row, row);
        m_store.removeRow(row);
        m_state = State::Browse;
        emit rowsRemoved(row, row);
        emit stateChanged();
        m_current = -2; // the row index may be the same, but it is another row now
        setCurrent(isEmpty() ? -1 : std::min(row, rowCount() - 1));
    }
}

bool Query::deleteRow()
{
    if (m_state == State::Insert) {
        cancel();
        return true;
    }
    if (m_state == State::Edit)
        cancel();
    if (m_state != State::Browse || m_current < 0)
        return fail(QStringLiteral("%1: no current row to delete").arg(m_name));
    if (m_table.isEmpty())
        return fail(QStringLiteral("%1 cannot be changed").arg(m_name));
    const int keyIndex = columnIndex(m_key);
    if (keyIndex < 0)
        return fail(QStringLiteral("%1 has no key column %2").arg(m_name, m_key));
    QSqlQuery q(m_db.sql());
    if (!q.prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(quoteIdentifier(m_table), quoteIdentifier(m_key))))
        return fail(q.lastError().text());
    q.addBindValue(m_store.value(m_current, keyIndex));
    if (!q.exec())
        return fail(q.lastError().text());
    const int row = m_current;
    const QVariantList keys = hasKeys(row) ? keysOf(row) : QVariantList();
    emit aboutToRemoveRows(row, row);
    m_store.removeRow(row);
    emit rowsRemoved(row, row);
    m_current = -2; // the row index may be the same, but it is another row now
    // The row that followed the deleted one becomes current, or the one before
    // it at the end of the list; a paged list may have either in the database
    // only.
    int next = row;
    if (row >= rowCount() && !m_atBottom && !keys.isEmpty() && !fetchBeyond(keys, true))
        return false;
    if (isEmpty() && !m_atTop && !keys.isEmpty()) {
        if (!fetchBeyond(keys, false))
            return false;
        next = rowCount() - 1;
    }
    setCurrent(isEmpty() ? -1 : std::min(next, rowCount() - 1));
    return true;
}

} // namespace kx::store
