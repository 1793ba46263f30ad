#pragma once

#include "GridColumn.h"

#include <QColor>
#include <QTableView>

#include <functional>
#include <initializer_list>
#include <utility>

namespace kx::store {
class Query;
}

namespace kx::ui {

class ListModel;

// The colours of one cell, set before the cell is drawn in the default way.
// An invalid colour keeps the style's.
struct CellColors
{
    QColor background;
    QColor text;
};

// Chooses a cell's colours from its row (0-based), column, whether the row is
// the selected one, and whether the grid has the keyboard focus.
using CellStyler = std::function<CellColors(int row, int column, bool selected, bool focused)>;

// A read-only grid over a list, whole rows selected, with column and row
// lines and resizable columns. The grid's selected row and the list's current
// row are one: moving either moves the other. Over a paged list it reads the
// pages below and above as it scrolls; Ctrl+Home and Ctrl+End go to the list's
// first and last rows.
class GridView : public QTableView
{
    Q_OBJECT
public:
    explicit GridView(QWidget *parent = nullptr);

    void setList(store::Query &list, const GridColumns &columns);
    ListModel *listModel() const { return m_model; }
    store::Query *list() const { return m_list; }
    // The widths of the columns named, as (column, width in pixels) pairs;
    // the others keep theirs.
    void setColumnWidths(std::initializer_list<std::pair<int, int>> widths);
    void setCellStyler(CellStyler styler);
    void setTitleColor(const QColor &color);
    const CellStyler &cellStyler() const { return m_styler; }

signals:
    // The person chose the current row: a double click anywhere in the grid
    // (on a row, or on the empty part below the rows) or Enter. Enter is left
    // to the window when nothing listens.
    void chosen();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void followList(int row, ScrollHint hint);
    // A paged list's rows above those it holds, read when the grid scrolls
    // up to its first row.
    void fetchAbove();
    void followView(const QModelIndex &current);

    store::Query *m_list = nullptr;
    ListModel *m_model = nullptr;
    CellStyler m_styler;
    QColor m_titleColor;
    bool m_syncing = false;
};

} // namespace kx::ui
