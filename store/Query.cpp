#include "Query.h"

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

} // namespace

Query::Query(Database &db, QString name, QObject *parent) : QObject(parent), m_db(db), m_name(std::move(name)) {}

Query::~Query() = default;

void Query::setSql(const QString &sql, const QVariantList &params)
{
    m_sql = sql;
    m_params = params;
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
    m_buffer.clear();
    m_modified.clear();
    m_current = -1;
    m_eof = m_bof = false;
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
    RowStore rows;
    QString error;
    if (!rows.load(m_db.sql(), m_sql, m_params, &error))
        return fail(error);

    emit aboutToReset();
    m_store = std::move(rows);
    m_current = isEmpty() ? -1 : 0;
    m_eof = m_bof = false;
    m_state = State::Browse;
    emit reset();
    emit stateChanged();
    emit currentRowChanged(m_current);
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
    setCurrent(0);
    return true;
}

bool Query::last()
{
    if (isEmpty())
        return false;
    setCurrent(rowCount() - 1);
    return true;
}

bool Query::next()
{
    if (isEmpty())
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
    if (m_current <= 0) {
        m_bof = true;
        return false;
    }
    setCurrent(m_current - 1);
    return true;
}

int Query::columnIndex(QStringView name) const
{
    const QStringList &columns = m_store.columns();
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
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_store.columnCount())
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

bool Query::locate(QStringView column, const QVariant &value, Locate mode)
{
    const int c = columnIndex(column);
    if (c < 0)
        return false;
    const int row = mode == Locate::Exact ? m_store.findEqual(c, value) : m_store.findPrefixNoCase(c, value.toString());
    if (row < 0)
        return false;
    setCurrent(row);
    return true;
}

bool Query::refresh()
{
    if ((m_state == State::Edit || m_state == State::Insert) && !post())
        return false;
    return open();
}

bool Query::refreshAt(QStringView column, const QVariant &value)
{
    if (!refresh())
        return false;
    locate(column, value);
    return true;
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
    emit aboutToInsertRow(row);
    m_store.appendRow(empty);
    m_buffer = empty;
    m_modified.assign(static_cast<size_t>(m_store.columnCount()), false);
    m_state = State::Insert;
    emit rowInserted(row);
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
    for (int i = 0; i < m_store.columnCount(); ++i) {
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
        emit aboutToRemoveRow(row);
        m_store.removeRow(row);
        m_state = State::Browse;
        emit rowRemoved(row);
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
    emit aboutToRemoveRow(row);
    m_store.removeRow(row);
    emit rowRemoved(row);
    m_current = -2; // the row index may be the same, but it is another row now
    setCurrent(isEmpty() ? -1 : std::min(row, rowCount() - 1));
    return true;
}

} // namespace kx::store
