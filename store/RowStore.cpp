#include "RowStore.h"


#include "base/Numbers.h"

#include <QDateTime>

#include <algorithm>
#include <cstring>

#include <sqlite3.h>

namespace kx::store {
namespace {

// Numbers, and truth values stored as 0 and 1.
bool isNumber(const QVariant &v)
{
    return kx::isNumber(v) || v.typeId() == QMetaType::Bool;
}

bool bind(sqlite3_stmt *statement, int index, const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return sqlite3_bind_null(statement, index) == SQLITE_OK;
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(statement, index, value.toDouble()) == SQLITE_OK;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return sqlite3_bind_blob64(statement, index, bytes.constData(), static_cast<sqlite3_uint64>(bytes.size()),
                                   SQLITE_TRANSIENT)
            == SQLITE_OK;
    }
    case QMetaType::QDateTime: {
        const QByteArray text = value.toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toUtf8();
        return sqlite3_bind_text64(statement, index, text.constData(), static_cast<sqlite3_uint64>(text.size()),
                                   SQLITE_TRANSIENT, SQLITE_UTF8)
            == SQLITE_OK;
    }
    default:
        if (isNumber(value))
            return sqlite3_bind_int64(statement, index, value.toLongLong()) == SQLITE_OK;
        const QByteArray text = value.toString().toUtf8();
        return sqlite3_bind_text64(statement, index, text.constData(), static_cast<sqlite3_uint64>(text.size()),
                                   SQLITE_TRANSIENT, SQLITE_UTF8)
            == SQLITE_OK;
    }
}

} // namespace

void RowStore::clear()
{
    m_columns.clear();
    m_cells.clear();
    m_cells.shrink_to_fit();
    m_bytes.clear();
    m_bytes.squeeze();
    m_rows = 0;
}

bool RowStore::load(sqlite3_stmt *statement, const QVariantList &params, QString *error)
{
    clear();
    // The statement is left reset, whatever happens, so that it holds no read
    // transaction open and can run again.
    struct Reset
    {
        sqlite3_stmt *s;
        ~Reset() { sqlite3_reset(s); }
    } reset{statement};
    sqlite3 *handle = sqlite3_db_handle(statement);

    if (params.size() != sqlite3_bind_parameter_count(statement)) {
        *error = QStringLiteral("%1 values given for %2 parameters").arg(params.size()).arg(sqlite3_bind_parameter_count(statement));
        return false;
    }
    for (int i = 0; i < params.size(); ++i)
        if (!bind(statement, i + 1, params.at(i))) {
            *error = QString::fromUtf8(sqlite3_errmsg(handle));
            return false;
        }

    const int n = sqlite3_column_count(statement);
    for (int i = 0; i < n; ++i)
        m_columns.append(QString::fromUtf8(sqlite3_column_name(statement, i)));
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        for (int i = 0; i < n; ++i) {
            Cell c;
            switch (sqlite3_column_type(statement, i)) {
            case SQLITE_INTEGER:
                c.kind = Kind::Integer;
                c.integer = sqlite3_column_int64(statement, i);
                break;
            case SQLITE_FLOAT:
                c.kind = Kind::Real;
                c.real = sqlite3_column_double(statement, i);
                break;
            case SQLITE_TEXT:
            case SQLITE_BLOB: {
                const bool isText = sqlite3_column_type(statement, i) == SQLITE_TEXT;
                const auto *data = isText ? reinterpret_cast<const char *>(sqlite3_column_text(statement, i))
                                          : static_cast<const char *>(sqlite3_column_blob(statement, i));
                const int length = sqlite3_column_bytes(statement, i);
                c.kind = isText ? Kind::Text : Kind::Blob;
                c.offset = static_cast<quint64>(m_bytes.size());
                c.length = static_cast<quint32>(length);
                m_bytes.append(data, length);
                break;
            }
            default:
                break;
            }
            m_cells.push_back(c);
        }
        ++m_rows;
    }
    if (rc != SQLITE_DONE) {
        *error = QString::fromUtf8(sqlite3_errmsg(handle));
        clear();
        return false;
    }
    return true;
}

QVariant RowStore::value(int row, int column) const
{
    const Cell &c = cell(row, column);
    switch (c.kind) {
    case Kind::Null:
        return {};
    case Kind::Integer:
        return QVariant(static_cast<qlonglong>(c.integer));
    case Kind::Real:
        return QVariant(c.real);
    case Kind::Text:
        return QVariant(QString::fromUtf8(m_bytes.constData() + c.offset, c.length));
    case Kind::Blob:
        return QVariant(QByteArray(m_bytes.constData() + c.offset, c.length));
    }
    return {};
}

QVariantList RowStore::row(int row) const
{
    QVariantList values;
    values.reserve(columnCount());
    for (int c = 0; c < columnCount(); ++c)
        values.append(value(row, c));
    return values;
}

RowStore::Cell RowStore::makeCell(const QVariant &value)
{
    Cell c;
    if (value.isNull() || !value.isValid())
        return c;
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
        c.kind = Kind::Real;
        c.real = value.toDouble();
    } else if (isNumber(value)) {
        c.kind = Kind::Integer;
        c.integer = value.toLongLong();
    } else {
        QByteArray bytes;
        if (value.typeId() == QMetaType::QByteArray) {
            c.kind = Kind::Blob;
            bytes = value.toByteArray();
        } else {
            c.kind = Kind::Text;
            bytes = value.typeId() == QMetaType::QDateTime
                ? value.toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toUtf8()
                : value.toString().toUtf8();
        }
        c.offset = static_cast<quint64>(m_bytes.size());
        c.length = static_cast<quint32>(bytes.size());
        m_bytes.append(bytes);
    }
    return c;
}

void RowStore::setRow(int row, const QVariantList &values)
{
    for (int c = 0; c < columnCount(); ++c)
        m_cells[static_cast<size_t>(row) * m_columns.size() + c] = makeCell(values.value(c));
}

void RowStore::appendRow(const QVariantList &values)
{
    for (int c = 0; c < columnCount(); ++c)
        m_cells.push_back(makeCell(values.value(c)));
    ++m_rows;
}

void RowStore::removeRow(int row)
{
    const auto first = m_cells.begin() + static_cast<std::ptrdiff_t>(row) * m_columns.size();
    m_cells.erase(first, first + m_columns.size());
    --m_rows;
}

void RowStore::insertRows(int at, RowStore &&other)
{
    if (other.m_rows == 0)
        return;
    const quint64 shift = static_cast<quint64>(m_bytes.size());
    m_bytes.append(other.m_bytes);
    for (Cell &c : other.m_cells)
        if (c.kind == Kind::Text || c.kind == Kind::Blob)
            c.offset += shift;
    m_cells.insert(m_cells.begin() + static_cast<std::ptrdiff_t>(at) * m_columns.size(), other.m_cells.cbegin(),
                   other.m_cells.cend());
    m_rows += other.m_rows;
    other.clear();
}

void RowStore::reverseRows()
{
    const auto width = static_cast<std::ptrdiff_t>(m_columns.size());
    for (int top = 0, bottom = m_rows - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(m_cells.begin() + top * width, m_cells.begin() + (top + 1) * width,
                         m_cells.begin() + bottom * width);
}

int RowStore::findEqual(int column, const QVariant &value) const
{
    const bool wantNull = value.isNull() || !value.isValid();
    const bool wantNumber = !wantNull && isNumber(value);
    const double number = wantNumber ? value.toDouble() : 0.0;
    const QByteArray text = wantNull || wantNumber ? QByteArray() : value.toString().toUtf8();
    for (int r = 0; r < m_rows; ++r) {
        const Cell &c = cell(r, column);
        bool match = false;
        if (wantNull || c.kind == Kind::Null)
            match = wantNull && c.kind == Kind::Null;
        else if (wantNumber && (c.kind == Kind::Integer || c.kind == Kind::Real))
            match = (c.kind == Kind::Integer ? static_cast<double>(c.integer) : c.real) == number;
        else if (c.kind == Kind::Text || c.kind == Kind::Blob)
            match = !wantNumber && bytes(c) == QByteArrayView(text);
        else
            match = this->value(r, column).toString() == value.toString();
        if (match)
            return r;
    }
    return -1;
}

int RowStore::findPrefixNoCase(int column, const QString &prefix) const
{
    const QByteArray wanted = prefix.toUtf8();
    const bool ascii = std::all_of(wanted.cbegin(), wanted.cend(), [](char ch) { return static_cast<uchar>(ch) < 0x80; });
    const auto fold = [](char ch) { return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch + ('a' - 'A')) : ch; };
    for (int r = 0; r < m_rows; ++r) {
        const Cell &c = cell(r, column);
        if (c.kind == Kind::Null)
            continue;
        if (ascii && c.kind == Kind::Text) {
            // Most names and idents: compare the leading bytes without decoding.
            const QByteArrayView have = bytes(c);
            if (have.size() < wanted.size())
                continue;
            bool match = true;
            for (qsizetype i = 0; match && i < wanted.size(); ++i)
                match = fold(have[i]) == fold(wanted[i]);
            if (match)
                return r;
            continue;
        }
        if (value(r, column).toString().startsWith(prefix, Qt::CaseInsensitive))
            return r;
    }
    return -1;
}

} // namespace kx::store
