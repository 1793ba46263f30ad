#pragma once

#include <QList>
#include <QString>

class QTableView;

namespace kx::ui {

// Rows of a grid as text to paste into a spreadsheet, a message or a notepad:
// a line of the shown columns' titles, then a line per row (in the order
// given) of the texts the grid shows, each separated by a tab. A tab or a line
// break inside a text becomes a blank, so every row stays one line.
QString rowsAsText(const QTableView &grid, const QList<int> &rows);

// Puts the grid's selected rows, in the grid's order, on the clipboard as
// rowsAsText gives them; the current row when nothing is selected, nothing
// when the grid has no rows.
void copySelectedRows(const QTableView &grid);

} // namespace kx::ui
