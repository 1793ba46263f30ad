#include "U_Map.h"

#include "MapCanvas.h"

#include "base/BaseTexts.h"
#include "base/Busy.h"
#include "base/FileName.h"
#include "base/Numbers.h"
#include "base/Prompter.h"
#include "geo/DecimalCoord.h"
#include "geo/GreatCircle.h"
#include "map/core/MapDocument.h"
#include "geo/Sphere.h"
#include "editor/core/EditorTexts.h"
#include "editor/core/RouteEditing.h"
#include "map/core/CatalogueIndex.h"
#include "map/core/MapPage.h"
#include "map/core/MapTexts.h"
#include "map/core/RouteMapReader.h"
#include "store/Session.h"
#include "ui/FileDialogs.h"
#include "ui/ReportPreviewDialog.h"
#include "ui/UpperCaseValidator.h"
#include "ui/WindowGeometry.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace kx::map {
namespace {

constexpr QSize kDefaultSize(1000, 700);
// How near a catalogue waypoint an own point's region is looked for.
constexpr double kRegionReachKm = 1000;

// The window's place and size, in the map's own section.
ui::WindowGeometry windowGeometryIn(const store::Session &session)
{
    return ui::WindowGeometry(session.settingsFile().path(), QStringLiteral("MAP"));
}

// The layers menu stays open while layers are switched on and off: a click or
// Enter on a layer toggles it; Esc or a click elsewhere closes the menu.
class LayersMenu : public QMenu
{
public:
    using QMenu::QMenu;

protected:
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        QAction *action = actionAt(event->position().toPoint());
        if (action && action->isCheckable() && action->isEnabled()) {
            action->trigger();
            return;
        }
        QMenu::mouseReleaseEvent(event);
    }
    void keyPressEvent(QKeyEvent *event) override
    {
        QAction *action = activeAction();
        const int key = event->key();
        if (action && action->isCheckable() && action->isEnabled()
            && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)) {
            action->trigger();
            return;
        }
        QMenu::keyPressEvent(event);
    }
};

} // namespace

TF_Map::TF_Map(store::Session &session, store::Query &pointList, ui::FileDialogs &fileDialogs, QWidget *parent,
               editor::RouteEditing *editing)
    : QWidget(parent, Qt::Window)
    , m_session(session)
    , m_pointList(pointList)
    , m_editing(editing)
    , m_fileDialogs(fileDialogs)
{
    setObjectName(QStringLiteral("TF_Map"));
    setWindowTitle(map::texts::windowTitle());
    buildWindow();
    m_reload.setSingleShot(true);
    m_reload.setInterval(0);
    connect(&m_reload, &QTimer::timeout, this, &TF_Map::reload);

    // Following the route: another route of the list, a calculation, an
    // edit or a beacon choice in the editor. Several of them come at once
    // (the editor re-reads its list after every change), so they are taken
    // together at the next turn of the event loop.
    store::Query &routes = m_session.QRoutes;
    connect(&routes, &store::Query::reset, this, &TF_Map::scheduleReload);
    connect(&routes, &store::Query::currentRowChanged, this, &TF_Map::scheduleReload);
    connect(&routes, &store::Query::rowValuesChanged, this, &TF_Map::scheduleReload);
    connect(&m_pointList, &store::Query::reset, this, &TF_Map::scheduleReload);
    connect(&m_pointList, &store::Query::currentRowChanged, this, &TF_Map::updateCurrentPoint);
    m_pngFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // A program closed with the map open keeps the map's settings too (the
    // session is gone by the time the window is destroyed).
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (isVisible())
            saveSettings();
    });
}

TF_Map::~TF_Map() = default;

void TF_Map::buildWindow()
{
    m_canvas = new MapCanvas(m_scene, this);
    m_canvas->setCatalogueSource([this](const map::MapView &view) { loadCatalogue(view); });
    connect(m_canvas, &MapCanvas::pointClicked, this, &TF_Map::pointClicked);
    connect(m_canvas, &MapCanvas::cursorMoved, this, &TF_Map::cursorMoved);
    connect(m_canvas, &MapCanvas::replaceRequested, this, &TF_Map::replacePoint);
    connect(m_canvas, &MapCanvas::insertRequested, this, &TF_Map::insertIntoLeg);
    connect(m_canvas, &MapCanvas::contextRequested, this, &TF_Map::showContextMenu);
    connect(m_canvas, &MapCanvas::cursorLeft, this, [this] { m_status->clear(); });

    auto *tools = new QToolBar(this);
    tools->setObjectName(QStringLiteral("MapTools"));
    tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto addCommand = [&](const char *name, const QString &text, const QKeySequence &key) {
        auto *action = new QAction(text, this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(key);
        action->setToolTip(key.isEmpty() ? text : text + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) + u')');
        addAction(action);
        tools->addAction(action);
        return action;
    };
    // Home works on the canvas itself; the button says so and does the same.
    QAction *fit = addCommand("NFit", QStringLiteral("Весь маршрут"), QKeySequence());
    fit->setToolTip(QStringLiteral("Весь маршрут (Home)"));
    connect(fit, &QAction::triggered, this, [this] { m_canvas->fitRoute(); });
    connect(addCommand("NPrint", QStringLiteral("Печать"), QKeySequence::Print), &QAction::triggered, this,
            &TF_Map::printMap);
    connect(addCommand("NPng", QStringLiteral("Сохранить PNG"), QKeySequence::Save), &QAction::triggered, this,
            &TF_Map::savePng);
    // The editor's undo and redo, here too (not on the tool bar).
    // A flag rather than a member pointer: GCC's sanitizer build warns that a
    // captured member pointer may be used uninitialised.
    const auto addKey = [&](const char *name, const QKeySequence &key, bool redo) {
        auto *action = new QAction(this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(key);
        addAction(action);
        connect(action, &QAction::triggered, this, [this, redo] {
            // No point of the picture is needed: the picture may still be
            // catching up with the step before.
            if (m_editing && m_editing->points().isOpen() && m_editing->points().route() == routeCode()) {
                if (redo)
                    m_editing->redo(this);
                else
                    m_editing->undo(this);
            }
        });
    };
    addKey("NUndo", QKeySequence(Qt::CTRL | Qt::Key_Z), false);
    addKey("NRedo", QKeySequence(Qt::CTRL | Qt::Key_Y), true);

    auto *layersMenu = new LayersMenu(this);
    layersMenu->setObjectName(QStringLiteral("MapLayers"));
    for (const map::LayerInfo &info : map::layerInfos()) {
        QAction *action = layersMenu->addAction(info.title);
        action->setObjectName(QStringLiteral("NLayer") + info.key);
        action->setCheckable(true);
        action->setChecked(m_settings.layers.testFlag(info.layer));
        action->setData(static_cast<unsigned>(info.layer));
        const map::Layer layer = info.layer;
        connect(action, &QAction::toggled, this, [this, layer](bool on) { setLayer(layer, on); });
    }
    auto *layersButton = new QToolButton(tools);
    layersButton->setObjectName(QStringLiteral("BLayers"));
    layersButton->setText(QStringLiteral("Слои"));
    layersButton->setMenu(layersMenu);
    layersButton->setPopupMode(QToolButton::InstantPopup);
    tools->addWidget(layersButton);

    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("MapStatus"));
    status->setSizeGripEnabled(true);
    m_status = new QLabel(status);
    m_status->setObjectName(QStringLiteral("LCursor"));
    status->addWidget(m_status, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tools);
    layout->addWidget(m_canvas, 1);
    layout->addWidget(status);
    resize(kDefaultSize);
}

QAction *TF_Map::layerAction(map::Layer layer) const
{
    for (QAction *a : findChildren<QAction *>())
        if (a->isCheckable() && a->data().toUInt() == static_cast<unsigned>(layer))
            return a;
    return nullptr;
}

void TF_Map::showMap()
{
    if (!isVisible()) {
        if (!m_settingsRead) {
            m_settings = map::readMapSettings(m_session.settingsFile().path());
            m_settingsRead = true;
            for (const map::LayerInfo &info : map::layerInfos())
                if (QAction *a = layerAction(info.layer)) {
                    const QSignalBlocker block(a);
                    a->setChecked(m_settings.layers.testFlag(info.layer));
                }
            m_canvas->setLayers(m_settings.layers);
            windowGeometryIn(m_session).restore(this);
        }
        m_route = -1; // the view is fitted anew
        show();
        reload();
    }
    raise();
    activateWindow();
    m_canvas->setFocus();
}

bool TF_Map::loadBase()
{
    if (m_baseTried)
        return m_scene.hasBase();
    m_baseTried = true;
    const map::MapDataLoad load = map::loadMapData(map::locateMapData(m_session.programFolder()));
    m_scene.setBaseData(load.data);
    if (!load.data)
        m_session.prompter().error(this, load.error);
    return load.data != nullptr;
}

qint64 TF_Map::routeCode() const
{
    const QVariant code = m_session.currentRouteCode();
    return code.isValid() ? code.toLongLong() : 0;
}

bool TF_Map::editorShowsRoute() const
{
    return m_pointList.isOpen() && !m_pointList.isEmpty() && m_scene.route().code == routeCode()
        && m_scene.route().points.size() == m_pointList.rowCount();
}

void TF_Map::scheduleReload()
{
    if (isVisible())
        m_reload.start();
}

void TF_Map::reload()
{
    if (!isVisible())
        return;
    BusyGuard busy(m_session.busy());
    const bool firstTime = !m_baseTried;
    loadBase();
    const qint64 code = routeCode();
    map::RouteMap route;
    QString why;
    if (code == 0 || !map::readRouteMap(m_session.ADOC, code, m_session.settings.rsbnRange, &route, &why)) {
        if (!why.isEmpty())
            qWarning("route map: %s", qPrintable(why));
        route = map::RouteMap();
    }
    const bool sameRoute = code == m_route;
    if (firstTime || !sameRoute) {
        map::MapCatalogue catalogue;
        if (!map::readMapCatalogue(m_session.ADOC, &catalogue, &why))
            qWarning("route map: %s", qPrintable(why));
        m_scene.setCatalogue(catalogue);
    }
    // The catalogue may have changed meanwhile (a point of one's own, an import).
    m_indexFresh = false;
    if (!sameRoute)
        m_ownCurrent = -1;
    m_scene.setRoute(route, sameRoute);
    m_route = code;
    setWindowTitle(map::texts::windowTitle() + (route.name.isEmpty() ? QString() : QStringLiteral(" - ") + route.name));
    m_canvas->setNotes(map::mapNotes(m_scene));
    if (!sameRoute) {
        map::MapView view = m_canvas->fittedView();
        view.setScale(view.scale * m_settings.zoom);
        m_canvas->setView(view);
    }
    m_canvas->sceneChanged();
    updateCurrentPoint();
}

void TF_Map::updateCurrentPoint()
{
    int index = m_ownCurrent;
    if (editorShowsRoute()) {
        index = -1;
        const qint64 point = m_pointList.value(u"Points.Code").toLongLong();
        const QList<map::MapPoint> &points = m_scene.route().points;
        for (int i = 0; i < points.size(); ++i)
            if (points.at(i).pointCode == point)
                index = i;
    }
    m_canvas->setCurrentPoint(index);
    m_canvas->setEditable(isEditing());
    // The status line speaks of the current point: at once, not at the next
    // move of the mouse.
    showStatus();
}

bool TF_Map::isEditing() const
{
    return m_editing && m_editing->points().isOpen() && m_editing->points().route() == m_scene.route().code
        && editorShowsRoute();
}

int TF_Map::currentRow() const
{
    return m_pointList.isEmpty() ? 0 : m_pointList.rowNumber();
}

void TF_Map::loadCatalogue(const map::MapView &view)
{
    QString why;
    if (!m_indexFresh) {
        // Waypoints written since the last look (an import, a point of one's
        // own) are put in their places first.
        BusyGuard busy(m_session.busy());
        m_indexFresh = map::catalogueindex::refresh(m_session.ADOC, &why);
        if (!m_indexFresh)
            qWarning("route map: %s", qPrintable(why));
    }
    QList<map::CataloguePoint> points;
    if (!map::catalogueindex::read(m_session.ADOC, m_scene.visibleBoxes(view), map::maxRankAt(view.scale), &points,
                                   &why))
        qWarning("route map: %s", qPrintable(why));
    m_scene.setCataloguePoints(points);
}

void TF_Map::pointClicked(int index)
{
    const QList<map::MapPoint> &points = m_scene.route().points;
    if (index < 0 || index >= points.size())
        return;
    if (editorShowsRoute()) {
        m_pointList.locate(u"Points.Code", points.at(index).pointCode);
    } else {
        m_ownCurrent = index;
        updateCurrentPoint();
    }
}

QString TF_Map::statusText() const
{
    return m_status->text();
}

void TF_Map::cursorMoved(QPointF)
{
    showStatus();
}

void TF_Map::showStatus()
{
    const std::optional<QPointF> cursor = m_canvas->cursorKm();
    if (!cursor || std::hypot(cursor->x(), cursor->y()) >= map::Projection::rimKm()) {
        m_status->clear();
        return;
    }
    const geo::GeoPoint at = m_scene.projection().reverse(*cursor);
    QString text = geo::latitudeText(at.lat) + u' ' + geo::longitudeText(at.lon);
    const int current = m_canvas->options().currentPoint;
    const QList<map::MapPoint> &points = m_scene.route().points;
    if (current >= 0 && current < points.size() && points.at(current).position) {
        // Distance and course by the program's own formulas, as the
        // calculation would give them.
        const geo::GeoPoint from = *points.at(current).position;
        text = map::texts::cursorFromPoint(text, points.at(current).label(),
                                           fixedNumberComma(double(geo::orthoDistanceKm(from, at)), 1),
                                           fixedNumberComma(double(geo::orthoCourse(from, at)), 1));
    }
    m_status->setText(text);
}

void TF_Map::showContextMenu(QPoint globalPos, int pointIndex, int catalogueIndex, QPointF km)
{
    if (!isEditing())
        return;
    const QList<map::MapPoint> &points = m_scene.route().points;
    const int count = static_cast<int>(points.size());
    const int row = currentRow();
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("MapEditMenu"));
    if (pointIndex >= 0) {
        QAction *remove = menu.addAction(map::texts::deletePoint());
        remove->setObjectName(QStringLiteral("NDeletePoint"));
        remove->setEnabled(editor::canChangePoint(pointIndex + 1, count));
        connect(remove, &QAction::triggered, this, [this, pointIndex] { deletePoint(pointIndex); });
    } else if (catalogueIndex >= 0) {
        QAction *insert = menu.addAction(map::texts::insertAfter(row > 0 ? points.at(row - 1).number : 0));
        insert->setObjectName(QStringLiteral("NInsertAfter"));
        insert->setEnabled(editor::canInsertAfter(row, count));
        connect(insert, &QAction::triggered, this, [this, catalogueIndex] { insertCatalogueWaypoint(catalogueIndex); });
    } else {
        QAction *own = menu.addAction(map::texts::newPointHere());
        own->setObjectName(QStringLiteral("NNewPointHere"));
        own->setEnabled(editor::canInsertAfter(row, count));
        connect(own, &QAction::triggered, this, [this, km] { newOwnPoint(km); });
    }
    menu.exec(globalPos);
}

void TF_Map::insertCatalogueWaypoint(int catalogueIndex)
{
    const int row = currentRow();
    const QList<map::MapPoint> &points = m_scene.route().points;
    if (!isEditing() || catalogueIndex < 0 || catalogueIndex >= m_scene.catalogueMarks().size()
        || !editor::canInsertAfter(row, static_cast<int>(points.size())))
        return;
    const int after = row > 0 ? points.at(row - 1).number : 0;
    m_editing->insertAfter(this, after, m_scene.catalogueMarks().at(catalogueIndex).code);
}

void TF_Map::insertIntoLeg(int fromIndex, int catalogueIndex)
{
    const QList<map::MapPoint> &points = m_scene.route().points;
    if (!isEditing() || fromIndex < 0 || fromIndex + 1 >= points.size() || catalogueIndex < 0
        || catalogueIndex >= m_scene.catalogueMarks().size())
        return;
    m_editing->insertAfter(this, points.at(fromIndex).number, m_scene.catalogueMarks().at(catalogueIndex).code);
}

void TF_Map::replacePoint(int pointIndex, int catalogueIndex)
{
    const QList<map::MapPoint> &points = m_scene.route().points;
    if (!isEditing() || !editor::canChangePoint(pointIndex + 1, static_cast<int>(points.size())) || catalogueIndex < 0
        || catalogueIndex >= m_scene.catalogueMarks().size())
        return;
    m_editing->replace(this, points.at(pointIndex).pointCode, m_scene.catalogueMarks().at(catalogueIndex).code);
}

void TF_Map::deletePoint(int pointIndex)
{
    const QList<map::MapPoint> &points = m_scene.route().points;
    if (!isEditing() || !editor::canChangePoint(pointIndex + 1, static_cast<int>(points.size())))
        return;
    const map::MapPoint point = points.at(pointIndex);
    if (!m_session.prompter().ask(this, editor::texts::deletePointQuestion(point.number, point.id), true))
        return;
    m_editing->remove(this, point.pointCode);
}

void TF_Map::newOwnPoint(QPointF km)
{
    const int row = currentRow();
    const QList<map::MapPoint> &points = m_scene.route().points;
    if (!isEditing() || !editor::canInsertAfter(row, static_cast<int>(points.size()))
        || std::hypot(km.x(), km.y()) >= map::Projection::rimKm())
        return;
    const geo::GeoPoint at = m_scene.projection().reverse(km);
    // The ident is asked; the region is that of the nearest airport with an
    // ICAO ident, as the imports give radio aids theirs.
    QInputDialog ask(this);
    ask.setObjectName(QStringLiteral("TF_NewPunkt"));
    ask.setWindowTitle(map::texts::newPointCaption());
    ask.setLabelText(map::texts::newPointLabel(geo::latitudeText(at.lat), geo::longitudeText(at.lon)));
    ask.setTextValue(QString());
    if (auto *edit = ask.findChild<QLineEdit *>()) {
        edit->setMaxLength(10);
        edit->setValidator(new ui::UpperCaseValidator(edit));
    }
    if (ask.exec() != QDialog::Accepted)
        return;
    const QString id = ask.textValue().trimmed().toUpper();
    if (id.isEmpty()) {
        m_session.prompter().error(this, map::texts::identMissing());
        return;
    }
    editor::OwnWaypoint waypoint;
    waypoint.id = id;
    waypoint.lat = geo::latitudeText(at.lat);
    waypoint.lon = geo::longitudeText(at.lon);
    QString why;
    if (m_indexFresh || map::catalogueindex::refresh(m_session.ADOC, &why))
        waypoint.region = map::catalogueindex::regionNear(m_session.ADOC, at, kRegionReachKm);
    const int after = row > 0 ? points.at(row - 1).number : 0;
    m_editing->insertOwn(this, after, waypoint);
}

void TF_Map::setLayer(map::Layer layer, bool on)
{
    m_settings.layers.setFlag(layer, on);
    m_canvas->setLayers(m_settings.layers);
}

void TF_Map::printMap()
{
    auto document = std::make_unique<map::MapDocument>(m_scene, m_canvas->options(), m_canvas->view());
    ui::ReportPreviewDialog preview(std::move(document), m_session.prompter(), m_fileDialogs, this);
    preview.exec();
}

void TF_Map::savePng()
{
    QString path = m_fileDialogs.saveFile(
        this, m_pngFolder, routeFileName(m_scene.route().name, map::texts::pngSuffix()), QStringLiteral("PNG (*.png)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".png");
    m_pngFolder = QFileInfo(path).absolutePath();
    QString why;
    if (!map::writeViewPng(path, m_scene, m_canvas->view(), m_canvas->options(), &why)) {
        qWarning("route map: %s", qPrintable(why));
        m_session.prompter().error(this, kx::texts::fileWriteFailed());
    }
}

void TF_Map::saveSettings()
{
    if (!m_settingsRead)
        return;
    windowGeometryIn(m_session).save(this);
    const double fitted = m_canvas->fittedView().scale;
    if (fitted > 0)
        m_settings.zoom = std::clamp(m_canvas->view().scale / fitted, map::MapSettings::kMinZoom,
                                     map::MapSettings::kMaxZoom);
    // A program folder that cannot be written keeps the map's settings for
    // this run only, as it keeps the others.
    std::ignore = map::writeMapSettings(m_session.settingsFile().path(), m_settings);
}

void TF_Map::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        saveSettings();
    m_reload.stop();
}

void TF_Map::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace kx::map
