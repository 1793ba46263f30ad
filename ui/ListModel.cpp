#include "ListModel.h"

#include "base/NumberPicture.h"
#include "store/Query.h"

#include <QLocale>

namespace kx::ui {

GridColumn GridColumn::left(QString field, QString title)
{
    GridColumn c;
    c.field = std::move(field);
    c.title = std::move(title);
    return c;
}

GridColumn GridColumn::centred(QString field, QString title, QString picture)
{
    GridColumn c;
    c.field = std::move(field);
    c.title = std::move(title);
    c.alignment = Qt::AlignCenter;
    c.picture = std::move(picture);
    return c;
}

GridColumn GridColumn::computed(QString title, Qt::Alignment alignment, QString picture,
                                std::function<QVariant(int row)> rowValue)
{
    GridColumn c;
    c.title = std::move(title);
    c.alignment = alignment;
    c.picture = std::move(picture);
    c.rowValue = std::move(rowValue);
    return c;
}

ListModel::ListModel(store::Query &list, GridColumns columns, QObject *parent)
    : QAbstractTableModel(parent), m_list(list), m_columns(std::move(columns)), m_point(QLocale().decimalPoint().at(0))
{
    resolveColumns();
    m_rows = m_list.rowCount();
    connect(&m_list, &store::Query::aboutToReset, this, [this] { beginResetModel(); });
    connect(&m_list, &store::Query::reset, this, [this] {
        resolveColumns();
        m_rows = m_list.rowCount();
        endResetModel();
    });
    connect(&m_list, &store::Query::aboutToInsertRows, this,
            [this](int first, int last) { beginInsertRows({}, first, last); });
    connect(&m_list, &store::Query::rowsInserted, this, [this] {
        m_rows = m_list.rowCount();
        endInsertRows();
    });
    connect(&m_list, &store::Query::aboutToRemoveRows, this,
            [this](int first, int last) { beginRemoveRows({}, first, last); });
    connect(&m_list, &store::Query::rowsRemoved, this, [this] {
        m_rows = m_list.rowCount();
        endRemoveRows();
    });
    connect(&m_list, &store::Query::rowValuesChanged, this, [this](int row) {
        if (row >= 0 && row < m_rows && !m_columns.isEmpty())
            emit dataChanged(index(row, 0), index(row, columnCount() - 1), {Qt::DisplayRole});
    });
}

void ListModel::resolveColumns()
{
    m_listColumn.clear();
    for (const GridColumn &c : std::as_const(m_columns))
        m_listColumn.append(m_list.columnIndex(c.field));
}

int ListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int ListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

bool ListModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_list.canFetchMore(store::Query::Edge::Bottom);
}

void ListModel::fetchMore(const QModelIndex &parent)
{
    // A page that cannot be read leaves the grid as it is; the next scroll tries again.
    if (!parent.isValid() && !m_list.fetchMore(store::Query::Edge::Bottom))
        qWarning("%s: %s", qPrintable(m_list.name()), qPrintable(m_list.lastError()));
}

QString ListModel::cellText(int row, int column) const
{
    if (column < 0 || column >= m_columns.size())
        return {};
    const GridColumn &c = m_columns.at(column);
    const QVariant v = c.rowValue ? c.rowValue(row) : m_list.valueAt(row, m_listColumn.at(column));
    if (c.text)
        return c.text(v);
    if (v.isNull())
        return {};
    if (!c.picture.isEmpty())
        return formatValue(c.picture, v, m_point);
    return v.toString();
}

QVariant ListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows || index.column() >= m_columns.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return cellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(m_columns.at(index.column()).alignment);
    default:
        return {};
    }
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
        return m_columns.at(section).title;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    case Qt::ForegroundRole:
        return m_titleColor.isValid() ? QVariant(m_titleColor) : QVariant();
    default:
        return {};
    }
}

} // namespace kx::ui
