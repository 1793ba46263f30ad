#pragma once

#include <QDialog>

namespace kx::ui {

// The program's modal windows. Each is made once and shown again and again:
// what a window does every time the program shows it goes in shown(). The
// system showing a window again after it was minimised is not a showing.
class Dialog : public QDialog
{
    Q_OBJECT
public:
    enum class Frame {
        Fixed,    // caption, system menu and close button; not resizable
        Caption,  // caption only, no title-bar buttons (the pickers)
        Closable, // caption and close button
        Sizable,  // caption, system menu, maximise and close buttons; resizable
        SizableCaption, // caption only, no title-bar buttons; resizable (the pickers)
    };

    Dialog(const char *objectName, Frame frame, QWidget *parent);
    // Silences the window's widgets before they go: a field that loses the
    // focus while it is deleted would otherwise tell a window whose own part
    // is already gone (an edit taking its value on leaving).
    ~Dialog() override;

protected:
    virtual void shown() {}
    void showEvent(QShowEvent *event) final;
};

} // namespace kx::ui
