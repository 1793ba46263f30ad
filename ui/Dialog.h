#pragma once

#include <QDialog>
#include <QList>
#include <QSize>
#include <QString>

#include <memory>

class QTableView;

namespace kx::ui {

class WindowMemory;

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

    // Gives the window its remembered place, size and widths the first time
    // it shows, before the window system maps it: a window moved once it is
    // mapped has no frame yet, and would be placed a title bar's height too
    // high (by an X11 window manager), creeping up at every run.
    void setVisible(bool visible) override;
    // Writes the remembered place, size and widths, then closes the window.
    void done(int result) override;

protected:
    virtual void shown() {}
    void showEvent(QShowEvent *event) final;

    // The size the window opens at, and its smallest. Its place, size and the
    // grid's column widths are kept in the settings file at iniPath, section
    // [WINDOWS], keys beginning with prefix: given back the first time the
    // window shows, written each time it closes. The grid's
    // name columns take the room a grown window gives the grid.
    void rememberPlace(QSize openingSize, QString iniPath, const QString &prefix, QTableView *grid,
                       QList<int> nameColumns);

private:
    std::unique_ptr<WindowMemory> m_memory;
    QString m_iniPath;
    bool m_placed = false; // given its remembered place and size
};

} // namespace kx::ui
