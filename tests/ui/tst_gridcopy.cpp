#include "ui/GridCopy.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QtTest>

using namespace kx;

// Rows of a grid as text for the clipboard.
class TestGridCopy : public QObject
{
    Q_OBJECT
private slots:
    void rowsAsTheGridShowsThem();
    void selectionOrCurrentRow();
};

namespace {

// Four columns, the third hidden, as a list with a key column is shown.
struct Grid
{
    Grid()
    {
        model.setHorizontalHeaderLabels({QStringLiteral("Пункт"), QStringLiteral("Наименование"),
                                         QStringLiteral("Code"), QStringLiteral("Частота")});
        const QStringList rows[] = {{"SB", "Sambek", "7", "435,00"},
                                    {"UUEE", "Шереметьево\tМосква\nSVO", "1", ""},
                                    {"DE", "Domodedovo", "3", "437,00"}};
        for (const QStringList &row : rows) {
            QList<QStandardItem *> items;
            for (const QString &text : row)
                items << new QStandardItem(text);
            model.appendRow(items);
        }
        view.setModel(&model);
        view.setColumnHidden(2, true);
        view.setSelectionBehavior(QAbstractItemView::SelectRows);
    }
    QStandardItemModel model;
    QTableView view;
};

} // namespace

void TestGridCopy::rowsAsTheGridShowsThem()
{
    Grid grid;
    // A hidden column stays out, a tab or a line break in a name becomes a
    // blank, an empty cell stays an empty field.
    QCOMPARE(ui::rowsAsText(grid.view, {1, 2}), QStringLiteral("Пункт\tНаименование\tЧастота\n"
                                                               "UUEE\tШереметьево Москва SVO\t\n"
                                                               "DE\tDomodedovo\t437,00\n"));
    // Columns dragged into another order are copied in that order.
    grid.view.horizontalHeader()->moveSection(3, 0);
    QCOMPARE(ui::rowsAsText(grid.view, {0}), QStringLiteral("Частота\tПункт\tНаименование\n435,00\tSB\tSambek\n"));
}

void TestGridCopy::selectionOrCurrentRow()
{
    Grid grid;
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    grid.view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid.view.selectRow(2);
    grid.view.selectionModel()->select(grid.model.index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    ui::copySelectedRows(grid.view);
    // In the grid's order, whatever the order of selecting.
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("Пункт\tНаименование\tЧастота\nSB\tSambek\t435,00\nDE\tDomodedovo\t437,00\n"));

    // An empty grid leaves the clipboard alone.
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    grid.model.removeRows(0, 3);
    ui::copySelectedRows(grid.view);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
}

QTEST_MAIN(TestGridCopy)
#include "tst_gridcopy.moc"
