#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

class QTableView;
class QWidget;

namespace kx::ui {

// A grid's column widths, and the name columns that take the room a grown
// window gives the grid: the fill columns share whatever width the grid has
// beyond the other columns and their own base widths, so that long names are
// not cut while there is room. The person may still drag any column: a fill
// column dragged keeps what the drag gave it over the room it shares.
class GridWidths : public QObject
{
    Q_OBJECT
public:
    // Takes the widths the grid has now as the fill columns' base widths.
    GridWidths(QTableView *grid, QList<int> fillColumns);

    // Widths as "206,80,80" (one per column, in column order; a hidden
    // column's entry is kept but not used), the fill columns' base widths.
    QString text() const;
    // Sets the widths from such a text; false, and nothing changed, when it
    // is not one (another number of columns, a width that is not a number).
    bool setText(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillRoom();
    void columnResized(int column, int oldWidth, int newWidth);

    QTableView *m_grid;
    // The grid's viewport, watched for its size. Kept here: while the grid is
    // being destroyed the viewport still sends events, and the grid can no
    // longer be asked for it.
    const QObject *m_viewport;
    QList<int> m_fill;
    QHash<int, int> m_base;
    bool m_filling = false;
};

// A window's place and size and its grids' column widths, kept in kalyx.ini
// in section [WINDOWS] under the window's own prefix ("Main", "Points": keys
// MainLeft, MainTop, MainWidth, MainHeight, MainMaximized, MainColumns). Each
// write changes only the window's own keys.
class WindowMemory
{
public:
    static constexpr char kSection[] = "WINDOWS";

    WindowMemory(QWidget *window, QString prefix);
    ~WindowMemory();
    WindowMemory(const WindowMemory &) = delete;
    WindowMemory &operator=(const WindowMemory &) = delete;

    // A grid of the window; its widths are kept under <prefix><key>.
    void addGrid(QTableView *grid, QList<int> fillColumns, const QString &key = QStringLiteral("Columns"));

    // Gives the window the place, size and widths it had when it last closed.
    // A window never saved keeps the place and size it opens at (a dialog
    // centred on its owner). Call before the window is shown.
    void restore(const QString &iniPath);
    // Writes them; false when the file cannot be written.
    bool save(const QString &iniPath) const;

private:
    struct Grid
    {
        GridWidths *widths;
        QString key;
    };
    QWidget *m_window;
    QString m_prefix;
    QList<Grid> m_grids;
};

} // namespace kx::ui
