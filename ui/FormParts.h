#pragma once

#include "GridView.h"

#include <QColor>
#include <QString>
#include <QStringView>

#include <functional>
#include <initializer_list>
#include <utility>

class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace kx::store {
class Query;
enum class Locate;
} // namespace kx::store

namespace kx::ui {
class Navigator;
class NumberEdit;
class SearchEdit;
} // namespace kx::ui

// The pieces the windows' forms are built from, named as the windows name
// their controls.
namespace kx::ui::form {

// The selected row of a list: white on dark blue.
inline QColor selectedRow() { return QColor(0, 0, 0x66); }
// Column titles of a catalogue's list.
inline QColor titleColor() { return QColor(0, 0, 0x80); }

QGroupBox *group(QWidget *parent, const char *name, const QString &title);
// A text edit; capitals: letters turned into capitals as they are typed.
QLineEdit *edit(QWidget *parent, const char *name, int maxLength = 32767, bool capitals = false);
// A number edit, its digits on the right.
NumberEdit *numberEdit(QWidget *parent, const char *name, int decimals, double minimum, double maximum);
QLabel *label(QWidget *parent, const QString &text, QWidget *buddy = nullptr);

// Binds an edit to a column of a list's current row (as FieldLink does).
void bind(QLineEdit *edit, store::Query &list, const QString &column);
// Binds a number edit: the column's value shown in the edit's picture, what is
// typed taken as the edit takes a value (range and decimals).
void bind(NumberEdit *edit, store::Query &list, const QString &column);

// The search edit of a catalogue window (PID): idents in capitals, at most 10.
SearchEdit *identSearch(QWidget *parent);
// The navigation bar of a list (DBNavigator1).
Navigator *navigator(QWidget *parent, store::Query &list);
// A catalogue window's body: its group box over the whole window and
// "Закрыть" (BClose) below it, which closes the window.
void closableGroup(QDialog *window, QGroupBox *group);

// Enter in a catalogue's search edit: the row found becomes current and the
// grid gets the focus; when none is found the search text is selected.
void findOnEnter(store::Query &list, QStringView column, store::Locate mode, QLineEdit *search, GridView *grid);

// A search edit that finds as the person types: a moment after the last change
// of a non-empty text, find moves the list to what the text finds, or answers
// false, the current row staying, and the edit turns red. Enter finds at once
// (and is swallowed): the grid gets the focus when something was found or
// nothing was typed, else the text is selected. Up and Down move the list's
// current row.
void findAsTyped(SearchEdit *search, store::Query &list, GridView *grid, std::function<bool(const QString &)> find);
// The moment findAsTyped waits after a change, in milliseconds.
inline constexpr int kSearchDelay = 100;

// Label and field rows in a group box, each label the buddy of its field.
void labelledRows(QGroupBox *group, std::initializer_list<std::pair<QString, QWidget *>> rows);

// The colours of a list's rows: the selected one white on `selected` (on
// `selectedUnfocused`, when valid, while the grid has no focus), the others
// black on `tint` (odd row numbers, counted from 1) or on white.
struct RowScheme
{
    QColor tint;
    QColor selected = selectedRow();
    QColor selectedUnfocused = {};
};
CellColors stripedRow(const RowScheme &scheme, int row, bool selected, bool focused);

} // namespace kx::ui::form
