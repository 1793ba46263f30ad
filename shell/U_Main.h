#pragma once

#include "shell/core/Startup.h"
#include "shell/core/WindowCopies.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QGroupBox;
class QLabel;
class QPushButton;

namespace kx {
class Prompter;
class BusyIndicator;
namespace store {
class Query;
class Session;
} // namespace store
namespace ui {
class FileDialogs;
class GridView;
class Navigator;
class SearchEdit;
class WindowMemory;
} // namespace ui
namespace editor {
class TF_NewRoute;
class TF_Points;
class TF_PSH;
class TF_SimExport;
} // namespace editor
namespace map {
class TF_Map;
} // namespace map
namespace catalogues {
class CatalogueLists;
class TF_PPM;
class TF_Punkts;
class TF_RSBN;
} // namespace catalogues
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
    // simulator folder chooser for the start-up (none: the real TF_Shell);
    // fileDialogs: the open and save dialogs (none: the platform's).
    TF_Main(const QString &programFolder, Prompter &prompter, BusyIndicator *busy,
            FolderChooser *chooser = nullptr, ui::FileDialogs *fileDialogs = nullptr, QWidget *parent = nullptr);
    ~TF_Main() override;

    store::Session &session() { return *m_session; }
    editor::TF_Points &routeEditor() { return *m_points; }
    editor::TF_NewRoute &newRouteDialog() { return *m_newRoute; }
    map::TF_Map &routeMap() { return *m_map; }

    // Whether the start asks before it goes on beside another window copy of
    // the program on the same folder (it does unless told otherwise).
    void setAskAboutAnotherCopy(bool ask) { m_askAboutAnotherCopy = ask; }
    // The start-up sequence; runs by itself when the window is first shown.
    void startUp();
    bool hasStarted() const { return m_started; }

    // The commands of the window's buttons and menu.
    void openCurrentRoute();
    void importRoute();
    void newRoute(); // "Новый": a route made here, opened in the editor
    void deleteCurrentRoute();
    void showWaypoints();
    void showBeacons();
    void showAbout();
    void showMap(); // "Карта": the current route on the map
    void chooseSimulatorFolder(); // "Папка FS9…"
    void quit();    // "Выход"

signals:
    void startupFinished(kx::shell::StartupResult result);
    // The program is to end at the next turn of the message loop.
    void endRequested();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    void createWindows();
    void searchRoute(const QString &text);
    void showRouteStatus();

    std::unique_ptr<store::Session> m_session;
    FolderChooser *m_chooser;
    std::unique_ptr<FolderChooser> m_ownChooser;
    ui::FileDialogs *m_fileDialogs;
    std::unique_ptr<ui::FileDialogs> m_ownFileDialogs;
    // The route editor's list of the route's points with their waypoints and
    // beacons, read by the printed sheet and the gauge exports.
    std::unique_ptr<store::Query> m_qp;
    // The catalogue lists QPunkts and QRSBN that the catalogue windows share.
    std::unique_ptr<catalogues::CatalogueLists> m_lists;
    bool m_started = false;
    bool m_showStarted = false;
    bool m_ending = false; // the start asked the program to end
    WindowCopies m_windowCopies;
    bool m_askAboutAnotherCopy = true;

    ui::GridView *m_grid = nullptr;
    ui::SearchEdit *m_search = nullptr;
    ui::Navigator *m_navigator = nullptr;
    QLabel *m_routeStatus = nullptr;
    std::unique_ptr<ui::WindowMemory> m_memory;
    catalogues::TF_PPM *m_ppm = nullptr;
    editor::TF_Points *m_points = nullptr;
    catalogues::TF_Punkts *m_punkts = nullptr;
    catalogues::TF_RSBN *m_rsbn = nullptr;
    editor::TF_PSH *m_psh = nullptr;
    editor::TF_SimExport *m_simExport = nullptr;
    editor::TF_NewRoute *m_newRoute = nullptr;
    map::TF_Map *m_map = nullptr;
    TF_About *m_about = nullptr;
};

} // namespace kx::shell
