#include "U_PPMSel.h"

#include "editor/core/EditorTexts.h"

#include "catalogues/core/CatalogueLists.h"
#include "geo/Sphere.h"
#include "store/Query.h"
#include "store/Session.h"
#include "ui/FormParts.h"
#include "ui/GridView.h"
#include "ui/SearchEdit.h"

#include <QHBoxLayout>
#include <QLabel>

#include <utility>

namespace kx::editor {

TF_PPMSel::TF_PPMSel(store::Session &session, QWidget *parent)
    : ui::PickerDialog({"TF_PPMSel", QStringLiteral("QP"), QStringLiteral("Вставить"), QStringLiteral("Code"),
                        texts::waypointListFailed()},
                       session.ADOC, session.prompter(), parent)
    , m_db(session.ADOC)
{
    // Beside the four columns by which a waypoint is named, what tells apart
    // waypoints of one ident: frequency, position and how far it is.
    ui::GridView *list = grid();
    list->setList(this->list(), {
        ui::GridColumn::centred(QStringLiteral("Region"), QStringLiteral("Регион")),
        ui::GridColumn::centred(QStringLiteral("ID"), QStringLiteral("Пункт")),
        ui::GridColumn::left(QStringLiteral("Name"), QStringLiteral("Наименование")),
        ui::GridColumn::centred(QStringLiteral("Type"), QStringLiteral("Тип")),
        ui::GridColumn::centred(QStringLiteral("Freq"), QStringLiteral("Частота"), QStringLiteral("#.00")),
        ui::GridColumn::centred(QStringLiteral("LAT"), QStringLiteral("Широта")),
        ui::GridColumn::centred(QStringLiteral("LON"), QStringLiteral("Долгота")),
        ui::GridColumn::computed(texts::distanceColumn(), Qt::AlignCenter, QStringLiteral("0"),
                                 [this](int row) { return distanceAt(row); }),
    });
    list->setColumnWidths({{0, 52}, {1, 70}, {2, 230}, {3, 60}, {4, 64}, {5, 84}, {6, 92}, {7, 84}});

    m_id = ui::form::identSearch(this);
    m_name = new ui::SearchEdit(this);
    m_name->setObjectName(QStringLiteral("PName"));
    m_name->setMaxLength(100);
    ui::form::findAsTyped(m_id, this->list(), list,
                          [this](const QString &text) { return catalogues::findWaypointByIdent(this->list(), text); });
    ui::form::findAsTyped(m_name, this->list(), list,
                          [this](const QString &text) { return catalogues::findWaypointByName(this->list(), text); });

    auto *search = new QHBoxLayout;
    auto *idLabel = new QLabel(QStringLiteral("Пункт"), this);
    idLabel->setBuddy(m_id);
    auto *nameLabel = new QLabel(QStringLiteral("Наименование"), this);
    nameLabel->setBuddy(m_name);
    search->addWidget(idLabel);
    search->addWidget(m_id, 1);
    search->addSpacing(12);
    search->addWidget(nameLabel);
    search->addWidget(m_name, 3);
    layOut(search, {m_id, m_name});
    setOpeningSize(QSize(800, 440), session.settingsFile().path(), QStringLiteral("PPMSel"), {2});
}

store::PagedSql TF_PPMSel::listSql() const
{
    return catalogues::waypointListSql(QStringLiteral("Punkts.Code, Punkts.Region, Punkts.ID, Punkts.Name, "
                                                      "Punkts.Type, Punkts.Freq, Punkts.LAT, Punkts.LON"));
}

void TF_PPMSel::prepare(Mode mode, const QString &caption, qint64 currentPunkt)
{
    m_mode = mode;
    m_current = currentPunkt;
    setWindowTitle(caption);
    // Distances are from the route's current point, in either mode.
    m_origin.reset();
    if (currentPunkt != 0)
        if (const auto place = catalogues::waypointPlace(m_db, currentPunkt))
            m_origin = geo::readPosition(place->lat, place->lon);
}

qint64 TF_PPMSel::pickWaypoint(Mode mode, const QString &caption, qint64 currentPunkt)
{
    prepare(mode, caption, currentPunkt);
    exec();
    return chosen();
}

QVariant TF_PPMSel::distanceAt(int row)
{
    if (!m_origin)
        return {};
    store::Query &waypoints = list();
    const std::optional<geo::Position> at = geo::readPosition(waypoints.valueAt(row, u"LAT"), waypoints.valueAt(row, u"LON"));
    if (!at)
        return {};
    return static_cast<double>(geo::OrthoDistance(m_origin->lat, m_origin->lon, at->lat, at->lon));
}

void TF_PPMSel::listRead()
{
    if (m_mode == Mode::Replace)
        list().locate(u"Code", m_current);
    m_id->clear();
    m_name->clear();
}

} // namespace kx::editor
