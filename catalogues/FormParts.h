#pragma once

#include <QColor>
#include <QString>

#include <initializer_list>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace kx::store {
class Query;
}

namespace kx::ui {
class GridView;
class NumberEdit;
} // namespace kx::ui

// The pieces the catalogue windows are built from, named as the windows name
// their controls.
namespace kx::catalogues::form {

// The selected row of a catalogue grid: white on dark blue.
inline QColor selectedRow() { return QColor(0, 0, 0x66); }
// Column titles of a catalogue grid.
inline QColor titleColor() { return QColor(0, 0, 0x80); }

QPushButton *button(QWidget *parent, const char *name, const QString &caption);
QGroupBox *group(QWidget *parent, const char *name, const QString &title);
// A text edit; capitals: letters turned into capitals as they are typed.
QLineEdit *edit(QWidget *parent, const char *name, int maxLength, bool capitals = false);
QLabel *label(QWidget *parent, const QString &text, QWidget *buddy = nullptr);

// Binds an edit to a column of a list's current row (as ui::FieldLink does).
void bind(QLineEdit *edit, store::Query &list, const QString &column);
// Binds a number edit: the column's value shown in the edit's picture, what is
// typed taken as the edit takes a value (range and decimals).
void bind(ui::NumberEdit *edit, store::Query &list, const QString &column);

// The Tab key's order through these controls.
void tabOrder(std::initializer_list<QWidget *> widgets);

// A control the Tab key passes by (it still takes the focus by click or Enter).
void skipByTab(QWidget *widget);

// Grid rows: the selected one white on dark blue, the others black on tint
// (odd row numbers, counted from 1) or white.
struct RowColours
{
    QColor background;
    QColor text;
};
RowColours rowColours(int row, bool selected, const QColor &tint);

} // namespace kx::catalogues::form
