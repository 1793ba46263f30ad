#pragma once

#include "GridColumn.h"

#include <QAbstractTableModel>
#include <QChar>
#include <QColor>

namespace kx::store {
class Query;
}

namespace kx::ui {

// A grid's view of a list: one row per list row, the columns as given. It
// follows every change of the list (re-reading, appended, cancelled and deleted
// rows, edited values, pages read) with the model signals the views expect.
class ListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    ListModel(store::Query &list, GridColumns columns, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    // A paged list's next page, read as the grid scrolls down to its end.
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    store::Query &list() const { return m_list; }
    const GridColumns &columns() const { return m_columns; }
    // The text a cell shows.
    QString cellText(int row, int column) const;
    // Decimal separator for number pictures; the user's by default.
    void setDecimalPoint(QChar point) { m_point = point; }
    // Colour of the column titles; none set: the style's.
    void setTitleColor(const QColor &color) { m_titleColor = color; }

private:
    void resolveColumns();

    store::Query &m_list;
    GridColumns m_columns;
    QList<int> m_listColumn; // list column index of each grid column, -1 if missing
    QChar m_point;
    QColor m_titleColor;
    int m_rows = 0;          // rows as the views know them
};

} // namespace kx::ui
