#include "U_PPM.h"

#include "catalogues/core/CatalogueLists.h"
#include "catalogues/core/CatalogueTexts.h"
#include "ui/EnterWalk.h"
#include "ui/FormParts.h"
#include "U_AP.h"
#include "catalogues/core/WaypointSave.h"
#include "catalogues/core/WaypointType.h"

#include "base/Prompter.h"
#include "geo/CoordEdit.h"
#include "store/Session.h"
#include "ui/ButtonsAndTabs.h"
#include "ui/CoordinateEdit.h"
#include "ui/NumberEdit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <tuple>

namespace kx::catalogues {
namespace {

// Hidden controls keep their place, so that the form does not jump.
void keepPlaceWhenHidden(QWidget *widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

void focusAndSelect(QLineEdit *edit)
{
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

} // namespace

TF_PPM::TF_PPM(store::Session &session, CatalogueLists &lists, QWidget *parent)
    : ui::Dialog("TF_PPM", ui::Dialog::Frame::Fixed, parent)
    , m_session(session)
    , m_lists(lists)
    , m_punkts(lists.QPunkts)
{
    setWindowTitle(texts::editCaption());
    m_airport = new TF_AP(session, lists, this);
    buildWindow();
}

TF_PPM::~TF_PPM() = default;

void TF_PPM::buildWindow()
{
    m_type = new QComboBox(this);
    m_type->setObjectName(QStringLiteral("PType"));
    m_type->addItems(waypointTypeItems());
    connect(m_type, &QComboBox::currentIndexChanged, this, &TF_PPM::typeChanged);

    m_region = ui::form::edit(this, "PRegion", 2, true);
    ui::form::bind(m_region, m_punkts, QStringLiteral("Region"));
    m_regionLabel = ui::form::label(this, QStringLiteral("Регион"), m_region);
    m_regionLabel->setObjectName(QStringLiteral("LR"));
    keepPlaceWhenHidden(m_region);
    keepPlaceWhenHidden(m_regionLabel);

    m_id = ui::form::edit(this, "PID", 10, true);
    ui::form::bind(m_id, m_punkts, QStringLiteral("ID"));
    m_name = ui::form::edit(this, "PName", 50);
    ui::form::bind(m_name, m_punkts, QStringLiteral("Name"));

    m_lat = new ui::CoordinateEdit(ui::CoordinateEdit::Axis::Latitude, this);
    m_lat->setObjectName(QStringLiteral("PLAT"));
    m_lon = new ui::CoordinateEdit(ui::CoordinateEdit::Axis::Longitude, this);
    m_lon->setObjectName(QStringLiteral("PLON"));
    ui::CoordinateEdit::pair(m_lat, m_lon);

    m_freq = new ui::NumberEdit(2, 0, 10000, this);
    m_freq->setObjectName(QStringLiteral("PFreq"));
    ui::form::bind(m_freq, m_punkts, QStringLiteral("Freq"));

    m_ok = ui::namedButton(this, "BOK", QStringLiteral("Сохранить"));
    m_cancel = ui::namedButton(this, "BCancel", QStringLiteral("Отмена"));
    m_ap = ui::namedButton(this, "BAP", texts::airportCaption());
    keepPlaceWhenHidden(m_ap);
    connect(m_ok, &QPushButton::clicked, this, &TF_PPM::save);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ap, &QPushButton::clicked, this, &TF_PPM::openAirport);

    auto *grid = new QGridLayout;
    grid->addWidget(ui::form::label(this, QStringLiteral("Тип ППМ"), m_type), 0, 0);
    grid->addWidget(m_type, 1, 0);
    grid->addWidget(m_regionLabel, 0, 1);
    grid->addWidget(m_region, 1, 1);
    grid->addWidget(ui::form::label(this, QStringLiteral("Пункт"), m_id), 0, 2);
    grid->addWidget(m_id, 1, 2);
    grid->addWidget(ui::form::label(this, QStringLiteral("Наименование пукта"), m_name), 2, 0, 1, 3);
    grid->addWidget(m_name, 3, 0, 1, 3);
    grid->addWidget(ui::form::label(this, QStringLiteral("Широта"), m_lat), 4, 0);
    grid->addWidget(m_lat, 5, 0);
    grid->addWidget(ui::form::label(this, QStringLiteral("Долгота"), m_lon), 4, 1);
    grid->addWidget(m_lon, 5, 1);
    grid->addWidget(ui::form::label(this, QStringLiteral("Частота маяка"), m_freq), 4, 2);
    grid->addWidget(m_freq, 5, 2);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(2, 3);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_ap);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);

    m_walk = new ui::EnterWalk(this);
    m_walk->add(m_type, [this] { enterInType(); });
    m_walk->add(m_region, m_id);
    m_walk->add(m_id, m_name);
    m_walk->add(m_name, m_lat);
    m_walk->add(m_lat, [this] {
        if (acceptLat())
            m_lon->setFocus(Qt::TabFocusReason);
    });
    m_walk->add(m_lon, [this] {
        if (acceptLon())
            m_freq->setFocus(Qt::TabFocusReason);
    });
    m_walk->add(m_freq, m_ok);
    ui::setTabOrder({m_type, m_region, m_id, m_name, m_lat, m_lon, m_freq, m_ap, m_ok, m_cancel});

    setFixedSize(440, 220);
}

int TF_PPM::run(Mode mode)
{
    setMode(mode);
    return exec();
}

void TF_PPM::shown()
{
    m_positionSaved = false;
    if (m_mode == Mode::Edit) {
        setWindowTitle(texts::editCaption());
        const QVariant type = m_punkts.isEmpty() ? QVariant() : m_punkts.value(u"Type");
        m_type->setCurrentIndex(waypointTypeIndex(type));
        m_openingLat = m_punkts.value(u"LAT").toString();
        m_openingLon = m_punkts.value(u"LON").toString();
        m_lat->setFieldText(m_openingLat);
        m_lon->setFieldText(m_openingLon);
        m_openingLatField = m_lat->fieldText();
        m_openingLonField = m_lon->fieldText();
        // A row that cannot be put into editing is refused when it is saved,
        // with the saving's message.
        std::ignore = m_punkts.edit();
    } else {
        setWindowTitle(texts::newCaption());
        m_type->setCurrentIndex(kIntersection);
        m_lat->clearDigits();
        m_lon->clearDigits();
        m_openingLat.clear();
        m_openingLon.clear();
        m_openingLatField.clear();
        m_openingLonField.clear();
        std::ignore = m_punkts.append(); // as edit() above
    }
    typeChanged(m_type->currentIndex());
    m_type->setFocus(Qt::OtherFocusReason);
}

void TF_PPM::typeChanged(int index)
{
    const bool airport = index == kAirport;
    m_region->setVisible(!airport);
    m_regionLabel->setVisible(!airport);
    m_ap->setVisible(airport && m_mode == Mode::Edit);
}

void TF_PPM::enterInType()
{
    if (m_type->view()->isVisible())
        return;
    if (m_region->isVisible())
        m_region->setFocus(Qt::TabFocusReason);
    else
        m_id->setFocus(Qt::TabFocusReason);
}

bool TF_PPM::acceptLat()
{
    const geo::EditCheck check = geo::CheckLatEdit(m_lat->fieldText());
    m_lat->setFieldText(check.text);
    if (geo::reportLatEdit(check, m_session.prompter(), this))
        return true;
    focusAndSelect(m_lat);
    return false;
}

bool TF_PPM::acceptLon()
{
    const geo::EditCheck check = geo::CheckLonEdit(m_lon->fieldText());
    m_lon->setFieldText(check.text);
    if (geo::reportLonEdit(check, m_session.prompter(), this))
        return true;
    focusAndSelect(m_lon);
    return false;
}

QString TF_PPM::enteredLat() const
{
    const QString field = m_lat->fieldText();
    return m_mode == Mode::Edit && field == m_openingLatField ? m_openingLat : field;
}

QString TF_PPM::enteredLon() const
{
    const QString field = m_lon->fieldText();
    return m_mode == Mode::Edit && field == m_openingLonField ? m_openingLon : field;
}

void TF_PPM::save()
{
    if (!m_punkts.isOpen() || m_punkts.isEmpty())
        return;
    if (!acceptLat() || !acceptLon())
        return;

    const int type = m_type->currentIndex();
    if (type == kAirport && !m_punkts.value(u"Region").isNull() && m_punkts.edit())
        m_punkts.setValue(u"Region", QVariant());
    WaypointEntry entry;
    entry.typeIndex = type;
    entry.storedType = m_punkts.value(u"Type");
    entry.region = m_punkts.value(u"Region").toString();
    entry.id = m_punkts.value(u"ID").toString();
    entry.lat = enteredLat();
    entry.lon = enteredLon();

    const qint64 own = m_punkts.value(u"Code").toLongLong();
    const EntryProblem problem = checkEntry(m_session, entry, own);
    if (problem != EntryProblem::None) {
        m_session.prompter().error(this, entryProblemText(problem));
        switch (problem) {
        case EntryProblem::RegionMissing:
            m_region->setFocus(Qt::OtherFocusReason);
            break;
        case EntryProblem::IdentMissing:
            m_id->setFocus(Qt::OtherFocusReason);
            break;
        default:
            m_lat->setFocus(Qt::OtherFocusReason);
            break;
        }
        return;
    }

    const bool moved = m_mode == Mode::Edit && (entry.lat != m_openingLat || entry.lon != m_openingLon);
    switch (storeWaypoint(m_session, m_punkts, entry, moved, this)) {
    case StoreResult::Saved:
        m_positionSaved = m_positionSaved || moved;
        QDialog::done(Accepted);
        break;
    case StoreResult::Lost:
        QDialog::done(Rejected);
        break;
    case StoreResult::SavedIncomplete:
        m_positionSaved = m_positionSaved || moved;
        break; // stored; the message has been shown, the user may save again or cancel
    case StoreResult::NotSaved:
        break; // the message has been shown; the user may save again or cancel
    }
}

void TF_PPM::openAirport()
{
    if (m_mode != Mode::Edit || m_punkts.isEmpty())
        return;
    m_airport->run();
}

void TF_PPM::done(int result)
{
    if (result != Accepted)
        m_punkts.cancel();
    QDialog::done(result);
}

} // namespace kx::catalogues
