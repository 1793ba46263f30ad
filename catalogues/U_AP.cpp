#include "U_AP.h"

#include "catalogues/core/AirportStore.h"
#include "catalogues/core/CatalogueLists.h"
#include "catalogues/core/CatalogueTexts.h"
#include "ui/EnterWalk.h"
#include "ui/FormParts.h"
#include "U_VPP.h"

#include "base/Busy.h"
#include "base/Prompter.h"
#include "geo/Rounding.h"
#include "store/Session.h"
#include "ui/ButtonsAndTabs.h"
#include "ui/GridView.h"
#include "ui/NumberEdit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kx::catalogues {
namespace {

constexpr double kMaxElevationFeet = 32800;

bool sameNumber(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    return a.toDouble() == b.toDouble();
}

} // namespace

TF_AP::TF_AP(store::Session &session, CatalogueLists &lists, QWidget *parent)
    : ui::Dialog("TF_AP", ui::Dialog::Frame::Fixed, parent)
    , m_session(session)
    , m_lists(lists)
    , m_punkts(lists.QPunkts)
    , m_qap(session.ADOC, QStringLiteral("QAP"))
{
    setWindowTitle(texts::airportCaption());
    m_qap.setUpdateTable(QStringLiteral("Runways"));
    m_vpp = new TF_VPP(session, m_qap, this);
    buildWindow();
}

TF_AP::~TF_AP() = default;

void TF_AP::buildWindow()
{
    auto *airportGroup = ui::form::group(this, "GroupBox1", texts::airportCaption());
    m_id = ui::form::edit(airportGroup, "PID", 10);
    m_name = ui::form::edit(airportGroup, "PName", 50);
    for (QLineEdit *e : {m_id, m_name}) {
        e->setReadOnly(true);
        ui::skipByTab(e);
    }
    ui::form::bind(m_id, m_punkts, QStringLiteral("ID"));
    ui::form::bind(m_name, m_punkts, QStringLiteral("Name"));

    m_feet = ui::form::numberEdit(airportGroup, "PHFt", 0, 0, kMaxElevationFeet);
    ui::form::bind(m_feet, m_punkts, QStringLiteral("H"));
    m_metres = ui::form::numberEdit(airportGroup, "PHMt", 1, 0, 10000);
    m_metres->setPicture(QStringLiteral("0.0"));
    m_flPer = ui::form::numberEdit(airportGroup, "PFLPer", 0, 0, 100000);
    ui::form::bind(m_flPer, m_punkts, QStringLiteral("FL_PER"));
    m_hPer = ui::form::numberEdit(airportGroup, "PHPer", 0, 0, 100000);
    ui::form::bind(m_hPer, m_punkts, QStringLiteral("H_PER"));
    m_atis = ui::form::numberEdit(airportGroup, "PATIS", 2, 0, 10000);
    ui::form::bind(m_atis, m_punkts, QStringLiteral("ATIS"));
    m_rsbn = new QComboBox(airportGroup);
    m_rsbn->setObjectName(QStringLiteral("PRSBN"));
    ui::setDropDownRows(m_rsbn, 20);
    m_rsbn->installEventFilter(this);

    connect(m_feet, &QLineEdit::textEdited, this, &TF_AP::metresFromFeet);
    connect(m_feet, &ui::NumberEdit::valueTaken, this, &TF_AP::metresFromFeet);
    connect(m_metres, &QLineEdit::textEdited, this, &TF_AP::feetFromMetres);
    connect(m_metres, &ui::NumberEdit::valueTaken, this, &TF_AP::feetFromMetres);

    auto *grid = new QGridLayout(airportGroup);
    grid->addWidget(m_id, 0, 0);
    grid->addWidget(m_name, 0, 1, 1, 4);
    grid->addWidget(ui::form::label(airportGroup, QStringLiteral("Превышение аэродрома:"), m_feet), 1, 0);
    grid->addWidget(m_feet, 1, 1);
    grid->addWidget(ui::form::label(airportGroup, QStringLiteral("футов")), 1, 2);
    grid->addWidget(m_metres, 1, 3);
    grid->addWidget(ui::form::label(airportGroup, QStringLiteral("метров")), 1, 4);
    grid->addWidget(ui::form::label(airportGroup, QStringLiteral("Эшелон перехода"), m_flPer), 2, 0);
    grid->addWidget(m_flPer, 2, 1);
    grid->addWidget(ui::form::label(airportGroup, QStringLiteral("Высота перехода"), m_hPer), 2, 2);
    grid->addWidget(m_hPer, 2, 3);
    grid->addWidget(ui::form::label(airportGroup, QStringLiteral("Частота ATIS"), m_atis), 3, 0);
    grid->addWidget(m_atis, 3, 1);
    grid->addWidget(ui::form::label(airportGroup, QStringLiteral("Маяк РСБН"), m_rsbn), 3, 2);
    grid->addWidget(m_rsbn, 3, 3, 1, 2);
    grid->setColumnStretch(4, 1);

    auto *close = ui::namedButton(this, "BClose", QStringLiteral("Закрыть"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(airportGroup);
    layout->addWidget(buildRunwayGroup(), 1);
    layout->addLayout(ui::buttonRow({close}));

    ui::setTabOrder({m_feet, m_metres, m_flPer, m_hPer, m_atis, m_rsbn, m_grid, findChild<QPushButton *>(QStringLiteral("BAdd")),
                     m_edit, m_delete, close});

    m_walk = new ui::EnterWalk(this);
    const QList<QWidget *> order{m_id, m_name, m_feet, m_metres, m_flPer, m_hPer, m_atis, m_rsbn};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        m_walk->add(order.at(i), order.at(i + 1));
    m_walk->add(m_rsbn, [this] {
        if (m_grid->isVisible())
            m_grid->setFocus(Qt::TabFocusReason);
    });

    setFixedSize(680, 470);
}

QWidget *TF_AP::buildRunwayGroup()
{
    auto *group = ui::form::group(this, "GroupBox2", QStringLiteral("ВПП"));
    m_grid = new ui::GridView(group);
    m_grid->setObjectName(QStringLiteral("G1"));
    m_grid->setList(m_qap, {
        ui::GridColumn::centred(QStringLiteral("Runway"), QStringLiteral("Полоса")),
        ui::GridColumn::centred(QStringLiteral("DPRM"), QStringLiteral("ДПРМ"), QStringLiteral("0.00")),
        ui::GridColumn::centred(QStringLiteral("BPRM"), QStringLiteral("БПРМ"), QStringLiteral("0.00")),
        ui::GridColumn::centred(QStringLiteral("ILSAngle"), QStringLiteral("ILS курс"), QStringLiteral("0")),
        ui::GridColumn::centred(QStringLiteral("ILSFreq"), QStringLiteral("ILS частота"), QStringLiteral("0.00")),
        ui::GridColumn::centred(QStringLiteral("IZPU_P"), QStringLiteral("ИЗПУ"), QStringLiteral("0.0")),
        ui::GridColumn::centred(QStringLiteral("Zm_P"), QStringLiteral("РСБН Zm"), QStringLiteral("0.0")),
        ui::GridColumn::centred(QStringLiteral("Sm_P"), QStringLiteral("РСБН Sm"), QStringLiteral("0.0")),
    });
    // Each column as wide as its title needs, the grid without a scroll bar.
    for (int c = 0; c < 8; ++c) {
        const QString title = m_grid->model()->headerData(c, Qt::Horizontal).toString();
        m_grid->setColumnWidth(c, std::max(52, m_grid->fontMetrics().horizontalAdvance(title) + 14));
    }
    m_noRunways = ui::form::label(group, texts::noRunways());
    m_noRunways->setObjectName(QStringLiteral("LNoRunways"));
    m_noRunways->setAlignment(Qt::AlignCenter);

    auto *add = ui::namedButton(group, "BAdd", QStringLiteral("Добавить ВПП"));
    m_edit = ui::namedButton(group, "BEdit", QStringLiteral("Свойства ВПП"));
    m_delete = ui::namedButton(group, "BDel", QStringLiteral("Удалить ВПП"));
    connect(add, &QPushButton::clicked, this, &TF_AP::addRunway);
    connect(m_edit, &QPushButton::clicked, this, &TF_AP::editRunway);
    connect(m_delete, &QPushButton::clicked, this, &TF_AP::deleteRunway);

    connect(&m_qap, &store::Query::reset, this, &TF_AP::updateRunwayState);
    connect(&m_qap, &store::Query::rowsInserted, this, &TF_AP::updateRunwayState);
    connect(&m_qap, &store::Query::rowsRemoved, this, &TF_AP::updateRunwayState);
    connect(&m_qap, &store::Query::currentRowChanged, this, &TF_AP::updateRunwayState);

    // The label lies behind the grid: it shows when the grid is hidden.
    auto *stack = new QGridLayout;
    stack->addWidget(m_noRunways, 0, 0);
    stack->addWidget(m_grid, 0, 0);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(m_edit);
    buttons->addWidget(m_delete);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(group);
    layout->addLayout(stack, 1);
    layout->addLayout(buttons);
    updateRunwayState();
    return group;
}

void TF_AP::shown()
{
    m_beaconsLoaded = false;
    m_rsbn->clear();
    const QVariant code = m_punkts.isEmpty() ? QVariant() : m_punkts.value(u"Code");
    m_airport = code.isNull() ? 0 : code.toLongLong();
    if (m_airport == 0)
        return;
    Prompter &prompter = m_session.prompter();
    m_qap.close();
    if (!m_qap.open(runwaysSql(), {m_airport})) {
        prompter.error(this, texts::runwaysOpenFailed());
        return;
    }
    // Every beacon is offered in the list.
    if (!m_lists.openRsbn() || !m_lists.QRSBN.fetchAll()) {
        prompter.error(this, texts::beaconsOpenFailed());
        return;
    }
    loadBeacons();
    metresFromFeet();
    if (!m_qap.isEmpty())
        m_grid->setFocus(Qt::OtherFocusReason);
    else
        m_feet->setFocus(Qt::OtherFocusReason);
}

void TF_AP::loadBeacons()
{
    const store::Query &beacons = m_lists.QRSBN;
    // The first item is "no beacon".
    m_rsbn->addItem(QString(), QVariant());
    const int code = beacons.columnIndex(u"Code");
    const int name = beacons.columnIndex(u"LongName");
    for (int row = 0; row < beacons.rowCount(); ++row)
        m_rsbn->addItem(beacons.valueAt(row, name).toString(), beacons.valueAt(row, code));
    const QVariant current = m_punkts.value(u"RSBN");
    const int index = current.isNull() ? -1 : m_rsbn->findData(current.toLongLong());
    m_rsbn->setCurrentIndex(std::max(index, 0));
    m_beaconsLoaded = true;
}

QVariant TF_AP::chosenBeacon() const
{
    const QVariant code = m_rsbn->currentData();
    return code.isNull() ? QVariant() : QVariant(code.toLongLong());
}

void TF_AP::updateRunwayState()
{
    const bool any = m_qap.rowCount() > 0;
    m_grid->setVisible(any);
    m_noRunways->setVisible(!any);
    m_edit->setEnabled(any);
    m_delete->setEnabled(any);
}

void TF_AP::metresFromFeet()
{
    const QVariant feet = m_feet->value();
    if (feet.isNull())
        m_metres->clear();
    else
        m_metres->setValue(geo::FeetToMetres(feet.toLongLong()));
}

void TF_AP::feetFromMetres()
{
    if (m_punkts.isEmpty())
        return;
    const QVariant metres = m_metres->value();
    QVariant feet;
    if (!metres.isNull())
        feet = static_cast<qlonglong>(
            std::clamp<long long>(geo::MetresToFeet(metres.toDouble()), 0, static_cast<long long>(kMaxElevationFeet)));
    if (sameNumber(feet, m_punkts.value(u"H")))
        return;
    if (m_punkts.edit())
        m_punkts.setValue(u"H", feet); // the feet edit shows the row's H
}

void TF_AP::addRunway()
{
    if (m_airport == 0 || !m_qap.isOpen() || !m_qap.append())
        return;
    m_vpp->run(texts::addRunwayCaption(), m_airport);
}

void TF_AP::editRunway()
{
    if (m_airport == 0 || m_qap.isEmpty() || !m_qap.edit())
        return;
    m_vpp->run(texts::editRunwayCaption(), m_airport);
}

void TF_AP::deleteRunway()
{
    if (m_qap.isEmpty())
        return;
    Prompter &prompter = m_session.prompter();
    if (!prompter.ask(this, texts::runwayDeleteQuestion(), false))
        return;
    if (!m_qap.deleteRow())
        prompter.error(this, texts::runwayDeleteFailed());
}

bool TF_AP::eventFilter(QObject *watched, QEvent *event)
{
    // The beacon list opens by itself when the user types in it, and Delete
    // or Backspace takes the beacon away.
    if (watched == m_rsbn && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace) {
            m_rsbn->setCurrentIndex(0);
            return true;
        }
        const QString text = key->text();
        if (!text.isEmpty() && text.front().isPrint() && !m_rsbn->view()->isVisible()) {
            m_rsbn->showPopup();
            QKeyEvent copy(key->type(), key->key(), key->modifiers(), text);
            QCoreApplication::sendEvent(m_rsbn->view(), &copy);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TF_AP::done(int result)
{
    if (m_airport != 0) {
        BusyGuard busy(m_session.busy());
        // Without its list the beacon field shows nothing: keep the row's beacon then.
        const QVariant beacon = m_beaconsLoaded ? chosenBeacon() : m_punkts.value(u"RSBN");
        storeAirport(m_session, m_punkts, beacon, this);
        if (m_qap.isOpen())
            storeRunways(m_session, m_qap, m_airport, this);
    }
    m_lists.QRSBN.close();
    m_qap.close();
    m_rsbn->clear();
    m_beaconsLoaded = false;
    m_airport = 0;
    QDialog::done(result);
}

} // namespace kx::catalogues
