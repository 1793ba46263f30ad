#include "U_Points.h"

#include "editor/core/BeaconSearch.h"
#include "editor/core/EditorTexts.h"
#include "editor/core/PointEditing.h"
#include "editor/core/RouteHeader.h"
#include "editor/core/RouteStatus.h"
#include "U_PPMSel.h"
#include "U_RSBNSel.h"

#include "base/Busy.h"
#include "base/Guard.h"
#include "base/NumberPicture.h"
#include "base/Prompter.h"
#include "calc/CalculateRoute.h"
#include "interchange/SimTexts.h"
#include "store/Session.h"
#include "ui/ButtonsAndTabs.h"
#include "ui/EnterWalk.h"
#include "ui/FieldLink.h"
#include "ui/FormParts.h"
#include "ui/GridView.h"
#include "ui/Meter.h"
#include "ui/Navigator.h"
#include "ui/PictureSpinBox.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QUndoStack>
#include <QVBoxLayout>

namespace kx::editor {
namespace {

const QColor kNotCalculatedText(255, 0, 0);
const QColor kCalculatedText(0, 128, 0);
// Points: pale green odd rows; the selected one dark blue, grey while the
// grid has no focus.
const ui::form::RowScheme kPointRows{QColor(240, 255, 240), QColor(0, 0, 102), QColor(128, 128, 128)};

// A read-only or Tab-skipped header field shows a grey background.
void makeGrey(QLineEdit *edit)
{
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    edit->setPalette(palette);
}

ui::FieldLink::Display picture(const QString &format)
{
    return [format](const QVariant &v) { return formatValue(format, v, QLocale().decimalPoint().at(0)); };
}

} // namespace

TF_Points::TF_Points(store::Session &session, QWidget *parent, WaypointPicker *waypoints, BeaconPicker *beacons)
    : ui::Dialog("TF_Points", ui::Dialog::Frame::Sizable, parent)
    , m_session(session)
    , m_editing(session)
    , m_points(m_editing.points())
    , m_waypoints(waypoints)
    , m_beacons(beacons)
{
    setWindowTitle(QStringLiteral(" Просмотр/изменение маршрута"));
    if (!m_waypoints)
        m_waypoints = new TF_PPMSel(session, this);
    if (!m_beacons)
        m_beacons = new TF_RSBNSel(session, this);
    connect(&m_editing, &RouteEditing::markingNotCalculated, this, &TF_Points::showNotCalculated);
    buildWindow();
}

TF_Points::~TF_Points() = default;

void TF_Points::buildWindow()
{
    auto *right = new QVBoxLayout;
    auto *pointsGroup = ui::form::group(this, "GroupBox3", QStringLiteral("ППМ"));
    m_newP = ui::namedButton(pointsGroup, "BNewP", QStringLiteral("Добавить"));
    m_editP = ui::namedButton(pointsGroup, "BEditP", QStringLiteral("Изменить"));
    m_delP = ui::namedButton(pointsGroup, "BDelP", QStringLiteral("Удалить"));
    auto *pointsLayout = new QVBoxLayout(pointsGroup);
    for (QPushButton *b : {m_newP, m_editP, m_delP})
        pointsLayout->addWidget(b);
    connect(m_newP, &QPushButton::clicked, this, &TF_Points::newPoint);
    connect(m_editP, &QPushButton::clicked, this, &TF_Points::replacePoint);
    connect(m_delP, &QPushButton::clicked, this, &TF_Points::deletePoint);

    auto *beaconGroup = ui::form::group(this, "GroupBox4", QStringLiteral("Коррекция по РСБН"));
    m_selectM = ui::namedButton(beaconGroup, "BSelectM", QStringLiteral("Выбрать маяк"));
    m_delM = ui::namedButton(beaconGroup, "BDelM", QStringLiteral("Удалить корр."));
    auto *beaconLayout = new QVBoxLayout(beaconGroup);
    beaconLayout->addWidget(m_selectM);
    beaconLayout->addWidget(m_delM);
    connect(m_selectM, &QPushButton::clicked, this, &TF_Points::selectBeacon);
    connect(m_delM, &QPushButton::clicked, this, &TF_Points::removeBeacon);

    auto *serviceGroup = ui::form::group(this, "GroupBox1", QStringLiteral("Сервис"));
    auto *serviceLayout = new QVBoxLayout(serviceGroup);
    const struct
    {
        const char *name;
        const char *caption;
        std::function<void()> PointsHooks::*command;
    } services[] = {{"BPrint", "Печать", &PointsHooks::print},
                    {"BToPLN", "Экспорт в *.PLN", &PointsHooks::exportPln},
                    {"BTo21", "Экспорт в И-21", &PointsHooks::exportI21},
                    {"BToPSh", "Экспорт в ПШ", &PointsHooks::exportCell}};
    for (const auto &service : services) {
        QPushButton *b = ui::namedButton(serviceGroup, service.name, QString::fromUtf8(service.caption));
        serviceLayout->addWidget(b);
        const auto command = service.command;
        connect(b, &QPushButton::clicked, this, [this, command] { runService(m_hooks.*command); });
    }

    auto *closeGroup = ui::form::group(this, "GroupBox6", QString());
    auto *ok = ui::namedButton(closeGroup, "BOK", QStringLiteral("Закрыть"));
    (new QVBoxLayout(closeGroup))->addWidget(ok);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    for (QGroupBox *g : {pointsGroup, beaconGroup, serviceGroup})
        right->addWidget(g);
    right->addStretch();
    right->addWidget(closeGroup);

    auto *body = new QHBoxLayout;
    body->addWidget(buildPointsGroup(), 1);
    body->addLayout(right);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->addWidget(buildHeader());
    layout->addLayout(body, 1);

    // The header's name and level, the points with "Расчет", then the command
    // groups down the right side; Tab passes the fields it has no business in.
    const auto button = [this](const char *name) { return findChild<QPushButton *>(QString::fromLatin1(name)); };
    ui::setTabOrder({m_name, m_fl, m_grid, button("BCalc"), m_newP, m_editP, m_delP, m_selectM, m_delM,
                     button("BPrint"), button("BToPLN"), button("BTo21"), button("BToPSh"), ok});
    // 791 x 505 when it first opens; a larger window gives the points the room.
    // The waypoint's and the beacon's names take the room.
    rememberPlace(QSize(791, 505), m_session.settingsFile().path(), QStringLiteral("Points"), m_grid, {2, 6});
}

QWidget *TF_Points::buildHeader()
{
    store::Query &routes = m_session.QRoutes;
    auto *group = ui::form::group(this, "GroupBox5", QStringLiteral("Маршрут"));
    m_name = ui::form::edit(group, "PName");
    new ui::FieldLink(m_name, routes, QStringLiteral("Name"));
    m_fl = new ui::PictureSpinBox(QStringLiteral("### ### ### ###"), group);
    m_fl->setObjectName(QStringLiteral("PFL"));
    m_fl->setRange(0, 99999);
    m_fl->setSingleStep(100);
    m_fl->setAlignment(Qt::AlignRight);
    new ui::FieldLink(m_fl, routes, QStringLiteral("FL"));
    m_apV = ui::form::edit(group, "PAP_V");
    m_apV->setAlignment(Qt::AlignCenter);
    m_apV->setFocusPolicy(Qt::ClickFocus);
    makeGrey(m_apV);
    new ui::FieldLink(m_apV, routes, QStringLiteral("AP_V"));
    m_apP = ui::form::edit(group, "PAP_P");
    m_apP->setAlignment(Qt::AlignCenter);
    m_apP->setReadOnly(true);
    ui::skipByTab(m_apP);
    makeGrey(m_apP);
    new ui::FieldLink(m_apP, routes, QStringLiteral("AP_P"));
    QLineEdit *s = ui::form::edit(group, "PS");
    s->setReadOnly(true);
    ui::skipByTab(s);
    makeGrey(s);
    new ui::FieldLink(s, routes, QStringLiteral("S"), picture(QStringLiteral("0.#")));
    QLineEdit *vilka = ui::form::edit(group, "PVilka");
    vilka->setReadOnly(true);
    ui::skipByTab(vilka);
    makeGrey(vilka);
    new ui::FieldLink(vilka, routes, QStringLiteral("Vilka"), picture(QStringLiteral("0.#")));
    // Enter in the name and the airports moves to the level, and only that.
    auto *walk = new ui::EnterWalk(this);
    for (QLineEdit *e : {m_name, m_apV, m_apP})
        walk->add(e, m_fl);

    // The name takes what a wider window gives the header; the numbers keep
    // their width at the right.
    auto *grid = new QGridLayout(group);
    const struct
    {
        const char *label;
        QWidget *field;
    } fields[] = {{"Наименование", m_name}, {"Эшелон, м", m_fl}, {"АП вылета", m_apV},
                  {"АП посадки", m_apP},    {"S общ, км", s},    {"Вилка, гр.", vilka}};
    int column = 0;
    for (const auto &f : fields) {
        auto *label = new QLabel(QString::fromUtf8(f.label), group);
        label->setBuddy(f.field);
        grid->addWidget(label, 0, column);
        grid->addWidget(f.field, 1, column);
        if (f.field != m_name)
            f.field->setFixedWidth(80);
        ++column;
    }
    grid->setColumnStretch(0, 1);
    return group;
}

QWidget *TF_Points::buildPointsGroup()
{
    auto *group = ui::form::group(this, "GroupBox2", QStringLiteral("Пункты маршрута"));
    store::Query &list = m_points.query();
    m_grid = new ui::GridView(group);
    m_grid->setObjectName(QStringLiteral("GPPM"));
    ui::GridColumn dm = ui::GridColumn::centred(QStringLiteral("Points.Dm"), QStringLiteral("Dm"), QStringLiteral("0.0"));
    dm.hidden = true;
    m_grid->setList(list, {
        ui::GridColumn::centred(QStringLiteral("Points.Number"), QStringLiteral("№")),
        ui::GridColumn::centred(QStringLiteral("Punkts.ID"), QStringLiteral("ППМ")),
        ui::GridColumn::left(QStringLiteral("Punkts.Name"), QStringLiteral("Наименование")),
        ui::GridColumn::centred(QStringLiteral("Points.MPU"), QStringLiteral("MPU"), QStringLiteral("0.0")),
        ui::GridColumn::centred(QStringLiteral("Points.S"), QStringLiteral("S"), QStringLiteral(";0.0")),
        ui::GridColumn::centred(QStringLiteral("RSBN.ID"), QStringLiteral("РСБН")),
        ui::GridColumn::left(QStringLiteral("RSBN.Name"), QStringLiteral("Наименование")),
        dm,
    });
    m_grid->setColumnWidths({{0, 32}, {1, 64}, {2, 160}, {3, 56}, {4, 64}, {5, 56}, {6, 160}});
    m_grid->setCellStyler([](int row, int, bool selected, bool focused) {
        return ui::form::stripedRow(kPointRows, row, selected, focused);
    });
    // Enter or a double click on a point opens its waypoint, as "Cвойства пункта" does.
    connect(m_grid, &ui::GridView::chosen, this, [this] {
        if (!m_points.isEmpty() && m_hooks.pointProperties)
            m_hooks.pointProperties();
    });
    connect(&list, &store::Query::currentRowChanged, this, &TF_Points::updateButtons);
    connect(&list, &store::Query::reset, this, &TF_Points::updateButtons);

    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("PopupMenu1"));
    QAction *properties = menu->addAction(QStringLiteral("Cвойства пункта"));
    properties->setObjectName(QStringLiteral("C1"));
    connect(properties, &QAction::triggered, this, [this] {
        if (m_hooks.pointProperties)
            m_hooks.pointProperties();
    });
    QAction *routeMap = menu->addAction(QStringLiteral("Карта маршрута"));
    routeMap->setObjectName(QStringLiteral("NMap"));
    routeMap->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    addAction(routeMap); // Ctrl+M anywhere in the window
    connect(routeMap, &QAction::triggered, this, [this] {
        if (m_hooks.showMap)
            m_hooks.showMap();
    });
    // The files of X-Plane and FlightGear go out like the window's other exports.
    QAction *otherSim = menu->addAction(interchange::texts::simMenuItem());
    otherSim->setObjectName(QStringLiteral("NOtherSim"));
    connect(otherSim, &QAction::triggered, this, [this] { runService(m_hooks.exportOtherSim); });
    // The point edits made here or on the map, undone and redone.
    menu->addSeparator();
    m_undo = menu->addAction(texts::undoCaption());
    m_undo->setObjectName(QStringLiteral("NUndo"));
    m_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redo = menu->addAction(texts::redoCaption());
    m_redo->setObjectName(QStringLiteral("NRedo"));
    m_redo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    addAction(m_undo);
    addAction(m_redo);
    connect(m_undo, &QAction::triggered, this, &TF_Points::undo);
    connect(m_redo, &QAction::triggered, this, &TF_Points::redo);
    QUndoStack &steps = m_editing.undoStack();
    connect(&steps, &QUndoStack::indexChanged, this, &TF_Points::updateUndoActions);
    connect(&steps, &QUndoStack::cleanChanged, this, &TF_Points::updateUndoActions);
    updateUndoActions();
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this, menu](const QPoint &pos) { menu->popup(m_grid->viewport()->mapToGlobal(pos)); });

    m_meter = new ui::Meter(group);
    m_meter->setObjectName(QStringLiteral("Meter"));
    auto *calc = ui::namedButton(group, "BCalc", QStringLiteral("Расчет"));
    QFont bold = calc->font();
    bold.setBold(true);
    calc->setFont(bold);
    connect(calc, &QPushButton::clicked, this, &TF_Points::calculate);
    m_navigator = new ui::Navigator(group);
    m_navigator->setObjectName(QStringLiteral("DBNavigator1"));
    m_navigator->setList(list);

    auto *below = new QHBoxLayout;
    below->addWidget(m_meter, 1);
    below->addWidget(calc);
    below->addWidget(m_navigator);
    auto *layout = new QVBoxLayout(group);
    layout->addWidget(m_grid, 1);
    layout->addLayout(below);
    updateButtons();
    return group;
}

void TF_Points::shown()
{
    m_editing.reset();
    BusyGuard busy(m_session.busy());
    setWindowTitle(QStringLiteral(" Просмотр/изменение маршрута"));
    showRouteStatus();
    m_meter->setPosition(0);
    if (!m_points.open(m_session.currentRouteCode().toLongLong())) {
        m_session.prompter().error(this, texts::pointListOpenFailed());
        return;
    }
    m_name->setFocus();
}

void TF_Points::showRouteStatus()
{
    const QVariant dateTime = m_session.QRoutes.isEmpty() ? QVariant() : m_session.QRoutes.value(u"DateTime");
    if (dateTime.isNull()) {
        showNotCalculated();
        return;
    }
    m_meter->setBackground(palette().color(QPalette::Button));
    m_meter->setTextColor(kCalculatedText);
    m_meter->setText(routeStatusText(dateTime));
}

void TF_Points::showNotCalculated()
{
    m_meter->setBackground(Qt::white);
    m_meter->setTextColor(kNotCalculatedText);
    m_meter->setText(texts::notCalculated());
}

void TF_Points::markNotCalculated()
{
    m_editing.markNotCalculated(this);
}

void TF_Points::updateUndoActions()
{
    const QUndoStack &steps = m_editing.undoStack();
    m_undo->setEnabled(steps.canUndo());
    m_undo->setText(texts::withStep(texts::undoCaption(), steps.undoText()));
    m_redo->setEnabled(steps.canRedo());
    m_redo->setText(texts::withStep(texts::redoCaption(), steps.redoText()));
}

void TF_Points::undo()
{
    m_editing.undo(this);
}

void TF_Points::redo()
{
    m_editing.redo(this);
}

bool TF_Points::reloaded(bool ok)
{
    if (!ok)
        m_session.prompter().error(this, texts::pointListOpenFailed());
    return ok;
}

bool TF_Points::reloadPointsAtCode(qint64 pointCode)
{
    return reloaded(m_points.reopenAtCode(pointCode));
}

bool TF_Points::reloadPointsAtRow(int rowNumber)
{
    return reloaded(m_points.reopenAtRow(rowNumber));
}

void TF_Points::updateButtons()
{
    const int count = m_points.rowCount();
    const int row = m_points.rowNumber();
    const bool first = count > 0 && row == 1;
    const bool last = count > 0 && row == count;
    m_newP->setEnabled(!last);
    m_editP->setEnabled(count > 0 && !first && !last);
    m_delP->setEnabled(count > 0 && !first && !last);
    m_selectM->setEnabled(count > 0 && !last);
    m_delM->setEnabled(count > 0 && !m_points.currentBeacon().isNull());
}

void TF_Points::calculate()
{
    Prompter &prompter = m_session.prompter();
    if (m_points.rowCount() < 2) {
        prompter.error(this, texts::tooFewPoints());
        return;
    }
    BusyGuard busy(m_session.busy());
    const int row = m_points.rowNumber();
    m_meter->setPosition(0);
    m_meter->setTextColor(Qt::black);
    m_meter->setText(texts::calculating());
    bool calculated = false;
    // A waypoint whose position or variation cannot be read ends the
    // calculation with an error of its own; the route then stays not calculated.
    const bool ranThrough = runGuarded(
        prompter, this, [&] { calculated = calc::CalculateRoute(m_session, m_points.route(), m_meter, this); });
    if (!ranThrough || !calculated) {
        showNotCalculated();
        return;
    }
    reloadPointsAtRow(row);
    QCoreApplication::processEvents();
    showRouteStatus();
    m_meter->setPosition(0);
    m_editing.marker().clear();
}

void TF_Points::newPoint()
{
    if (!m_points.isOpen())
        return;
    const int after = m_points.isEmpty() ? 0 : m_points.currentNumber();
    const qint64 punkt =
        m_waypoints->pickWaypoint(WaypointPicker::Mode::Add, texts::addPointCaption(), m_points.currentPunkt());
    if (punkt == 0)
        return;
    m_editing.insertAfter(this, after, punkt);
}

void TF_Points::replacePoint()
{
    if (!m_points.isOpen() || m_points.isEmpty())
        return;
    const qint64 punkt =
        m_waypoints->pickWaypoint(WaypointPicker::Mode::Replace, texts::addPointCaption(), m_points.currentPunkt());
    if (punkt == 0)
        return;
    m_editing.replace(this, m_points.currentCode(), punkt);
}

void TF_Points::deletePoint()
{
    if (!m_points.isOpen() || m_points.isEmpty())
        return;
    const int number = m_points.currentNumber();
    if (!m_session.prompter().ask(this, texts::deletePointQuestion(number, m_points.currentId()), true))
        return;
    m_editing.remove(this, m_points.currentCode());
}

void TF_Points::selectBeacon()
{
    if (m_points.isEmpty())
        return;
    if (searchBeacons(m_session, this, m_points.currentLat(), m_points.currentLon(), m_session.settings.rsbnRange) == 0)
        return;
    const qint64 beacon = m_beacons->pickBeacon(m_points.currentBeacon());
    if (beacon == 0)
        return;
    const int row = m_points.rowNumber();
    const qint64 point = m_points.currentCode();
    markNotCalculated();
    setPointBeacon(m_session, this, point, beacon);
    reloadPointsAtRow(row);
}

void TF_Points::removeBeacon()
{
    if (!m_points.isOpen() || m_points.isEmpty())
        return;
    if (!m_session.prompter().ask(this, texts::removeBeaconQuestion(), true))
        return;
    const int row = m_points.rowNumber();
    setPointBeacon(m_session, this, m_points.currentCode(), QVariant());
    reloadPointsAtRow(row);
    markNotCalculated();
}

void TF_Points::runService(const std::function<void()> &command)
{
    if (m_points.isEmpty())
        return;
    store::Query &routes = m_session.QRoutes;
    if (routes.isEmpty() || routes.value(u"DateTime").isNull()) {
        m_session.prompter().error(this, texts::notCalculated());
        return;
    }
    if (command)
        command();
}

void TF_Points::done(int result)
{
    const qint64 route = m_points.route();
    const QVariant current = m_session.currentRouteCode();
    bool deleted = false;
    // Only a list that was read can tell that the route has no points: after a
    // failed reading the route may well have some, and deleting it would lose them.
    if (m_points.isOpen() && m_points.isEmpty()
        && m_session.prompter().ask(this, texts::emptyRouteQuestion(), true))
        deleted = deleteRouteWithPoints(m_session, this, route);
    {
        BusyGuard busy(m_session.busy());
        if (deleted)
            m_session.QRoutes.cancel(); // nothing left to save
        else
            saveRouteHeader(m_session, this);
        const bool reread = m_session.reopenRoutesAt(current);
        m_points.close();
        m_editing.reset();
        if (!reread)
            m_session.prompter().error(this, texts::routeListFailed());
    }
    Dialog::done(result);
}

} // namespace kx::editor
