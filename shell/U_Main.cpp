#include "U_Main.h"

#include "FolderChooser.h"
#include "U_About.h"
#include "Version.h"
#include "WaypointProperties.h"
#include "core/ShellTexts.h"

#include "catalogues/core/CatalogueLists.h"
#include "catalogues/U_PPM.h"
#include "catalogues/U_Punkts.h"
#include "catalogues/U_RSBN.h"

#include "base/BaseTexts.h"
#include "base/Busy.h"
#include "base/Guard.h"
#include "base/Prompter.h"
#include "base/SimPath.h"
#include "editor/ExportCommands.h"
#include "editor/U_NewRoute.h"
#include "editor/U_PSH.h"
#include "editor/U_Points.h"
#include "editor/U_SimExport.h"
#include "editor/core/EditorTexts.h"
#include "editor/core/RouteHeader.h"
#include "editor/core/RouteStatus.h"
#include "interchange/ImportPln.h"
#include "interchange/InterchangeTexts.h"
#include "map/U_Map.h"
#include "store/Session.h"
#include "ui/ButtonsAndTabs.h"
#include "ui/FileDialogs.h"
#include "ui/GridView.h"
#include "ui/Navigator.h"
#include "ui/SearchEdit.h"
#include "ui/WindowMemory.h"

#include <algorithm>
#include <tuple>

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

namespace kx::shell {
namespace {

const QColor kNotCalculatedSelected(176, 0, 0);
const QColor kNotCalculated(255, 0, 0);
const QColor kCalculated(0, 64, 0);

} // namespace

TF_Main::TF_Main(const QString &programFolder, Prompter &prompter, BusyIndicator *busy, FolderChooser *chooser,
                 ui::FileDialogs *fileDialogs, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                              | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint)
    , m_session(std::make_unique<store::Session>(programFolder, prompter, busy))
    , m_chooser(chooser)
    , m_fileDialogs(fileDialogs)
    , m_qp(std::make_unique<store::Query>(m_session->ADOC, QStringLiteral("QP")))
    , m_lists(std::make_unique<catalogues::CatalogueLists>(m_session->ADOC))
    , m_windowCopies(programFolder)
{
    setObjectName(QStringLiteral("TF_Main"));
    setWindowTitle(QStringLiteral("Kalyx - Трасмер (V. ") + QString::fromUtf16(kVersionText) + u')');
    if (!m_chooser) {
        m_ownChooser = std::make_unique<ShellFolderChooser>(this);
        m_chooser = m_ownChooser.get();
    }
    if (!m_fileDialogs) {
        m_ownFileDialogs = std::make_unique<ui::QtFileDialogs>();
        m_fileDialogs = m_ownFileDialogs.get();
    }
    buildWindow();
    createWindows();
    m_memory->restore(m_session->settingsFile().path());
}

// The program's windows, made once and kept for the whole run, so that what
// they hold (the chosen NVU cell, for one) lasts from one use to the next.
void TF_Main::createWindows()
{
    m_ppm = new catalogues::TF_PPM(*m_session, *m_lists, this); // with the airport and runway windows
    m_points = new editor::TF_Points(*m_session, this);        // with both pickers
    m_punkts = new catalogues::TF_Punkts(*m_session, *m_lists, *m_ppm, this);
    m_punkts->setFileDialogs(m_fileDialogs);
    m_rsbn = new catalogues::TF_RSBN(*m_session, *m_lists, this);
    m_psh = new editor::TF_PSH(*m_session, this);
    m_simExport = new editor::TF_SimExport(*m_session, *m_fileDialogs, m_points);
    m_newRoute = new editor::TF_NewRoute(*m_session, this);
    m_about = new TF_About(this);
    // Beside the route editor, so that it works while the editor is modal.
    m_map = new map::TF_Map(*m_session, m_points->pointList(), *m_fileDialogs, m_points, &m_points->editing());

    editor::PointsHooks hooks;
    hooks.print = [this] {
        editor::showRouteSheet(*m_session, *m_qp, this, *m_fileDialogs, m_points);
    };
    hooks.exportPln = [this] { editor::runPlnExport(*m_session, *m_fileDialogs, m_points, this); };
    hooks.exportI21 = [this] { editor::runI21Export(*m_session, m_points); };
    hooks.exportCell = [this] { editor::runCellExport(*m_psh, m_points); };
    hooks.exportOtherSim = [this] { m_simExport->exec(); };
    hooks.pointProperties = [this] { showWaypointProperties(*m_session, *m_points, *m_lists, *m_ppm); };
    hooks.showMap = [this] { m_map->showMap(); };
    m_points->setHooks(std::move(hooks));
}

TF_Main::~TF_Main() = default;

void TF_Main::buildWindow()
{
    auto *central = new QWidget(this);
    auto *group = new QGroupBox(QStringLiteral("Маршруты"), central);
    group->setObjectName(QStringLiteral("GroupBox1"));

    m_grid = new ui::GridView(group);
    m_grid->setObjectName(QStringLiteral("G1"));
    m_grid->setTitleColor(QColor(0, 0, 0x80));
    m_grid->setList(m_session->QRoutes, {
        ui::GridColumn::left(QStringLiteral("Name"), QStringLiteral("Наименование")),
        ui::GridColumn::centred(QStringLiteral("AP_V"), QStringLiteral("АП вылета")),
        ui::GridColumn::centred(QStringLiteral("AP_P"), QStringLiteral("АП посадки")),
        ui::GridColumn::centred(QStringLiteral("S"), QStringLiteral("Расстояние"), QStringLiteral("### ### ### ###.#")),
        ui::GridColumn::centred(QStringLiteral("Vilka"), QStringLiteral("Вилка"), QStringLiteral("0.0")),
        ui::GridColumn::centred(QStringLiteral("FL"), QStringLiteral("Эшелон"), QStringLiteral("### ### ###")),
    });
    m_grid->setColumnWidths({{0, 206}, {1, 80}, {2, 80}, {3, 80}, {4, 80}, {5, 80}});
    m_grid->setCellStyler([this](int row, int, bool selected, bool) {
        const bool calculated = !m_session->QRoutes.valueAt(row, u"DateTime").isNull();
        if (selected)
            return ui::CellColors{calculated ? kCalculated : kNotCalculatedSelected, Qt::white};
        return ui::CellColors{QColor(), calculated ? kCalculated : kNotCalculated};
    });
    connect(m_grid, &ui::GridView::chosen, this, &TF_Main::openCurrentRoute);
    // A red row says why in its tooltip: the route must be calculated again.
    m_grid->viewport()->installEventFilter(this);

    m_search = new ui::SearchEdit(group);
    m_search->setObjectName(QStringLiteral("PName"));
    m_search->setMaxLength(100);
    m_search->setDelay(100);
    m_search->setClearOnFocusOut(true);
    m_search->setPlaceholderText(QStringLiteral("Поиск по наименованию"));
    connect(m_search, &ui::SearchEdit::settled, this, &TF_Main::searchRoute);
    connect(m_search, &ui::SearchEdit::upPressed, this, [this] { m_session->QRoutes.prior(); });
    connect(m_search, &ui::SearchEdit::downPressed, this, [this] { m_session->QRoutes.next(); });
    connect(m_search, &ui::SearchEdit::enterPressed, this, [this] { m_grid->setFocus(); });

    m_navigator = new ui::Navigator(group);
    m_navigator->setObjectName(QStringLiteral("DBNavigator1"));
    m_navigator->setList(m_session->QRoutes);

    auto *edit = ui::namedButton(group, "BEdit", QStringLiteral("Просмотр"));
    auto *import = ui::namedButton(group, "BNew", QStringLiteral("Импорт из *.PLN"));
    auto *remove = ui::namedButton(group, "BDel", QStringLiteral("Удалить"));
    // Below the original buttons, so that none of them moves.
    auto *create = ui::namedButton(group, "BNewRoute", QStringLiteral("Новый"));
    create->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    create->setToolTip(QStringLiteral("Новый маршрут (Ctrl+N)"));
    connect(create, &QPushButton::clicked, this, &TF_Main::newRoute);
    auto *quit = ui::namedButton(group, "BQuit", QStringLiteral("Выход"));
    connect(edit, &QPushButton::clicked, this, &TF_Main::openCurrentRoute);
    connect(import, &QPushButton::clicked, this, &TF_Main::importRoute);
    connect(remove, &QPushButton::clicked, this, &TF_Main::deleteCurrentRoute);
    connect(quit, &QPushButton::clicked, this, &QWidget::close);

    ui::setTabOrder({m_grid, m_search, edit, import, remove, create, quit});

    auto *below = new QHBoxLayout;
    // The search keeps its width at the left, the navigator its at the right,
    // however wide the window.
    m_search->setFixedWidth(180);
    below->addWidget(m_search);
    below->addStretch();
    below->addWidget(m_navigator);
    auto *left = new QVBoxLayout;
    left->addWidget(m_grid);
    left->addLayout(below);
    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {edit, import, remove, create})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(quit);
    auto *inGroup = new QHBoxLayout(group);
    inGroup->addLayout(left, 1);
    inGroup->addLayout(buttons);
    auto *outer = new QVBoxLayout(central);
    outer->setContentsMargins(6, 4, 6, 6);
    outer->addWidget(group);
    setCentralWidget(central);

    // The menu bar: the original items keep their places, the route map
    // comes after them.
    const struct
    {
        const char *name;
        const char *caption;
        void (TF_Main::*run)();
    } items[] = {{"N1", "Пункты", &TF_Main::showWaypoints},
                 {"N2", "Маяки РСБН", &TF_Main::showBeacons},
                 {"N3", "О программе", &TF_Main::showAbout},
                 {"N4", "Выход", &TF_Main::quit},
                 {"NMap", "Карта", &TF_Main::showMap}};
    for (const auto &item : items) {
        QAction *action = menuBar()->addAction(QString::fromUtf8(item.caption));
        action->setObjectName(QString::fromLatin1(item.name));
        connect(action, &QAction::triggered, this, item.run);
    }
    QAction *folder = menuBar()->addAction(texts::chooserMenuItem());
    folder->setObjectName(QStringLiteral("NFS9"));
    connect(folder, &QAction::triggered, this, &TF_Main::chooseSimulatorFolder);

    // The current route's state, in words as well as in colour.
    m_routeStatus = new QLabel(this);
    m_routeStatus->setObjectName(QStringLiteral("RouteStatus"));
    statusBar()->addWidget(m_routeStatus, 1);
    store::Query &routes = m_session->QRoutes;
    connect(&routes, &store::Query::currentRowChanged, this, &TF_Main::showRouteStatus);
    connect(&routes, &store::Query::reset, this, &TF_Main::showRouteStatus);
    connect(&routes, &store::Query::rowValuesChanged, this, &TF_Main::showRouteStatus);

    // A client area of 772 x 486 under the menu bar when it first opens; a
    // larger window gives the list the room, and the route names the width.
    const QSize opening(772, 486 + menuBar()->sizeHint().height());
    setMinimumSize(opening);
    resize(opening);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    m_memory = std::make_unique<ui::WindowMemory>(this, QStringLiteral("Main"));
    m_memory->addGrid(m_grid, {0});
}

void TF_Main::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_showStarted) {
        m_showStarted = true;
        QTimer::singleShot(0, this, &TF_Main::startUp);
    }
}

void TF_Main::startUp()
{
    if (m_started)
        return;
    m_started = true;
    if (m_windowCopies.anotherRunning() && m_askAboutAnotherCopy
        && !m_session->prompter().ask(this, texts::anotherCopyRunning(QDir::toNativeSeparators(m_session->programFolder())),
                                      false)) {
        m_ending = true;
        emit startupFinished(StartupResult::EndRequested);
        emit endRequested();
        return;
    }
    StartupOptions options;
    options.owner = this;
    options.chooser = m_chooser;
    const StartupResult result = runStartup(*m_session, options);
    m_ending = result == StartupResult::EndRequested;
    if (result == StartupResult::Running)
        m_grid->setFocus();
    emit startupFinished(result);
    if (result == StartupResult::EndRequested)
        emit endRequested();
}

void TF_Main::showRouteStatus()
{
    const store::Query &routes = m_session->QRoutes;
    if (!routes.isOpen() || routes.isEmpty()) {
        m_routeStatus->clear();
        return;
    }
    const QVariant calculated = routes.value(u"DateTime");
    m_routeStatus->setText(editor::routeStatusText(calculated));
    QPalette palette = m_routeStatus->palette();
    palette.setColor(QPalette::WindowText, calculated.isNull() ? kNotCalculated : kCalculated);
    m_routeStatus->setPalette(palette);
}

bool TF_Main::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid->viewport() && event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const int row = m_grid->indexAt(help->pos()).row();
        const store::Query &routes = m_session->QRoutes;
        if (row >= 0 && row < routes.rowCount() && routes.valueAt(row, u"DateTime").isNull()) {
            QRect rowRect = m_grid->visualRect(m_grid->model()->index(row, 0));
            rowRect.setLeft(0);
            rowRect.setRight(m_grid->viewport()->width());
            QToolTip::showText(help->globalPos(),
                               routes.valueAt(row, u"Name").toString() + u'\n' + editor::texts::notCalculated(),
                               m_grid->viewport(), rowRect);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TF_Main::searchRoute(const QString &text)
{
    m_session->QRoutes.locate(u"Name", text, store::Locate::PrefixNoCase);
}

void TF_Main::openCurrentRoute()
{
    if (m_session->QRoutes.isEmpty())
        return;
    m_points->exec();
}

void TF_Main::importRoute()
{
    Settings &settings = m_session->settings;
    const QString folder = settings.plnPath.isEmpty() ? m_session->programFolder() : settings.plnPath;
    const QString file = m_fileDialogs->openFile(
        this, folder, interchange::texts::planOpenFilters());
    if (file.isEmpty())
        return;
    settings.plnPath = withTrailingSeparator(QFileInfo(file).absolutePath());
    // A program folder that cannot be written keeps the plan folder for this
    // run only.
    std::ignore = m_session->writeSettings();
    QCoreApplication::processEvents(); // repaint what the dialog covered
    qint64 route = 0;
    const bool ranThrough =
        runGuarded(m_session->prompter(), this, [&] { route = interchange::ImportPLN(*m_session, file, this); });
    // The import appended the route to the list and made it current.
    if (ranThrough && route > 0)
        m_points->exec();
}

void TF_Main::newRoute()
{
    if (m_newRoute->exec() != QDialog::Accepted || m_newRoute->route() == 0)
        return;
    {
        BusyGuard busy(m_session->busy());
        if (!m_session->reopenRoutesAt(m_newRoute->route())) {
            m_session->prompter().error(this, editor::texts::routeListFailed());
            return;
        }
    }
    m_points->exec();
}

void TF_Main::deleteCurrentRoute()
{
    store::Query &routes = m_session->QRoutes;
    if (routes.isEmpty())
        return;
    Prompter &prompter = m_session->prompter();
    if (!prompter.ask(this, QStringLiteral("Удалить маршрут ") + routes.value(u"Name").toString() + QStringLiteral(" ?"),
                      false))
        return;
    const int row = routes.rowNumber();
    if (!editor::deleteRouteWithPoints(*m_session, this, routes.value(u"Code").toLongLong()))
        return;
    // The list is read again and stays at the same place: on the route that
    // followed the deleted one, or on the last.
    BusyGuard busy(m_session->busy());
    if (!routes.refresh()) {
        prompter.error(this, editor::texts::routeListFailed());
        return;
    }
    routes.setRowNumber(std::min(row, routes.rowCount()));
}

void TF_Main::showWaypoints()
{
    m_punkts->run();
}

void TF_Main::showBeacons()
{
    m_rsbn->run();
}

void TF_Main::showAbout()
{
    m_about->exec();
}

void TF_Main::showMap()
{
    if (!m_session->QRoutes.isEmpty())
        m_map->showMap();
}

void TF_Main::chooseSimulatorFolder()
{
    // The same chooser and checks as at the start; a folder taken is written
    // at once, and nothing is written when none was.
    if (askSimulatorFolder(*m_session, *m_chooser, this) && !m_session->writeSettings())
        m_session->prompter().error(this, kx::texts::fileWriteFailed());
}

void TF_Main::quit()
{
    close();
}

void TF_Main::closeEvent(QCloseEvent *event)
{
    // A start that asked the program to end leaves without the end of a run:
    // Qt closes the windows on its way out, and a settings file written then
    // would undo what the start left alone (a cancelled chooser writes nothing).
    if (m_ending) {
        event->accept();
        return;
    }
    BusyGuard busy(m_session->busy());
    m_lists->QPunkts.close();
    m_lists->QRSBN.close();
    m_qp->close();
    m_session->closeAll();
    // Nothing is left to do about a program folder that cannot be written.
    std::ignore = m_session->writeSettings();
    m_memory->save(m_session->settingsFile().path());
    event->accept();
}

} // namespace kx::shell
