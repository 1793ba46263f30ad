#pragma once

#include <QPushButton>

namespace kx::ui {

// A push button that Enter presses while it has the focus, as Windows users
// expect of every button. It never becomes a dialog's default button by
// itself: Enter in a field belongs to the field, which walks the focus
// through a form.
class PushButton : public QPushButton
{
    Q_OBJECT
public:
    explicit PushButton(const QString &caption, QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace kx::ui
