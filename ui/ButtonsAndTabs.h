#pragma once

#include <QString>

#include <initializer_list>

class QComboBox;
class QHBoxLayout;
class QPushButton;
class QWidget;

// What every window does with its buttons and the Tab key (the pieces of a
// form itself, groups, edits and labels, are in FormParts.h).
namespace kx::ui {

// A push button named as the window names its control (BOK, BCancel, ...),
// pressed by Enter while it has the focus (ui::PushButton).
QPushButton *namedButton(QWidget *parent, const char *name, const QString &caption);

// Buttons in a row at the right edge of a window.
QHBoxLayout *buttonRow(std::initializer_list<QPushButton *> buttons);

// The Tab key's order through these controls, as the window lays them out:
// top to bottom, left to right, group by group; Tab after the last one
// returns to the first.
void setTabOrder(std::initializer_list<QWidget *> widgets);

// A drop-down list that opens `rows` rows high, whatever the style: some
// styles open a list that cannot be typed in as tall as the screen allows.
void setDropDownRows(QComboBox *box, int rows);

// A control the Tab key passes by (it still takes the focus by click or Enter).
void skipByTab(QWidget *widget);

} // namespace kx::ui
