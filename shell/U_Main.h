#pragma once

#include "Startup.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QGroupBox;
class QPushButton;

namespace kx {
class Prompter;
class BusyIndicator;
namespace store {
class Session;
}
namespace ui {
class GridView;
class Navigator;
class SearchEdit;
} // namespace ui
} // namespace kx

namespace kx::shell {

class TF_About;

// The main window: the route list, the commands on routes, the menu. Owns the
// session (connection, work objects, settings) that every other window borrows.
class TF_Main : public QMainWindow
{
    Q_OBJECT
public:
    // programFolder: where kalyx.ini and kalyxdb.kdb live. chooser: the
    // simulator folder chooser for the start-up (none: the real TF_Shell).
    TF_Main(const QString &programFolder, Prompter &prompter, BusyIndicator *busy,
            FolderChooser *chooser = nullptr, QWidget *parent = nullptr);
    ~TF_Main() override;

    store::Session &session() { return *m_session; }

    // The start-up sequence; runs by itself when the window is first shown.
    void startUp();
    bool hasStarted() const { return m_started; }

    // The commands of the window's buttons and menu.
    void openCurrentRoute();
    void deleteCurrentRoute();
    void showAbout();

signals:
    void startupFinished(kx::shell::StartupResult result);
    // The program is to end at the next turn of the message loop.
    void endRequested();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildWindow();
    void searchRoute(const QString &text);

    std::unique_ptr<store::Session> m_session;
    FolderChooser *m_chooser;
    std::unique_ptr<FolderChooser> m_ownChooser;
    bool m_started = false;
    bool m_showStarted = false;

    ui::GridView *m_grid = nullptr;
    ui::SearchEdit *m_search = nullptr;
    ui::Navigator *m_navigator = nullptr;
    TF_About *m_about = nullptr;
};

} // namespace kx::shell
