#include "GridCopy.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

#include <algorithm>

namespace kx::ui {
namespace {

QString oneLine(QString text)
{
    for (QChar &c : text)
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
    return text;
}

} // namespace

QString rowsAsText(const QTableView &grid, const QList<int> &rows)
{
    const QAbstractItemModel *model = grid.model();
    if (!model)
        return {};
    // Columns as the person sees them: in the header's order, hidden ones left out.
    const QHeaderView *header = grid.horizontalHeader();
    QList<int> columns;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        if (!grid.isColumnHidden(column))
            columns << column;
    }
    const auto line = [&](auto cell) {
        QStringList cells;
        for (const int column : std::as_const(columns))
            cells << oneLine(cell(column));
        return cells.join(u'\t');
    };
    QStringList lines;
    lines << line([&](int column) { return model->headerData(column, Qt::Horizontal).toString(); });
    for (const int row : rows)
        lines << line([&](int column) { return model->index(row, column).data().toString(); });
    return lines.join(u'\n') + u'\n';
}

void copySelectedRows(const QTableView &grid)
{
    if (!grid.model() || grid.model()->rowCount() == 0)
        return;
    QList<int> rows;
    if (const QItemSelectionModel *selection = grid.selectionModel()) {
        for (const QModelIndex &index : selection->selectedRows())
            rows << index.row();
        if (rows.isEmpty() && selection->currentIndex().isValid())
            rows << selection->currentIndex().row();
    }
    if (rows.isEmpty())
        return;
    std::sort(rows.begin(), rows.end());
    QGuiApplication::clipboard()->setText(rowsAsText(grid, rows));
}

} // namespace kx::ui
