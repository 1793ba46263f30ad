#pragma once

#include <QString>

#include <initializer_list>

class QHBoxLayout;
class QPushButton;
class QWidget;

namespace kx::ui {

// A push button named as the window names its control (BOK, BCancel, ...),
// pressed by Enter while it has the focus (ui::PushButton).
QPushButton *namedButton(QWidget *parent, const char *name, const QString &caption);

// Buttons in a row at the right edge of a window.
QHBoxLayout *buttonRow(std::initializer_list<QPushButton *> buttons);

} // namespace kx::ui
