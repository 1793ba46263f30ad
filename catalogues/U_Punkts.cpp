#include "U_Punkts.h"

#include "catalogues/core/CatalogueLists.h"
#include "catalogues/core/CatalogueTexts.h"
#include "catalogues/core/OurAirportsTexts.h"
#include "catalogues/core/WaypointDeletion.h"
#include "ImportOurAirports.h"
#include "U_PPM.h"

#include "store/Session.h"
#include "ui/ButtonsAndTabs.h"
#include "ui/FileDialogs.h"
#include "ui/FormParts.h"
#include "ui/GridView.h"
#include "ui/SearchEdit.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include <tuple>
#include <utility>

namespace kx::catalogues {
namespace {

const QColor kTint(0xEB, 0xF5, 0xF5);
constexpr int kTypeColumn = 3;

// The type's own text colour; invalid for an intersection (the row's colour).
QColor typeColour(const QVariant &type)
{
    const QString t = type.toString();
    if (t == u"Airport")
        return QColor(0, 0x80, 0);
    if (t == u"VOR")
        return QColor(0, 0, 0xFF);
    if (t == u"NDB")
        return QColor(0xFF, 0, 0);
    return {};
}

} // namespace

TF_Punkts::TF_Punkts(store::Session &session, CatalogueLists &lists, TF_PPM &editor, QWidget *parent)
    : CatalogueWindow({"TF_Punkts", QStringLiteral("Пункты"), texts::punktsOpenFailed(), QStringLiteral("Punkts")}, session, lists.QPunkts,
                      parent)
    , m_lists(lists)
    , m_editor(editor)
{
    store::Query &punkts = lists.QPunkts;
    QGroupBox *box = group();
    ui::GridView *list = grid();
    list->setList(punkts, {
        ui::GridColumn::centred(QStringLiteral("Region"), QStringLiteral("Регион")),
        ui::GridColumn::centred(QStringLiteral("ID"), QStringLiteral("Пункт")),
        ui::GridColumn::left(QStringLiteral("Name"), QStringLiteral("Наименование")),
        ui::GridColumn::centred(QStringLiteral("Type"), QStringLiteral("Тип")),
        ui::GridColumn::centred(QStringLiteral("Freq"), QStringLiteral("Частота"), QStringLiteral("#.00")),
        ui::GridColumn::centred(QStringLiteral("LAT"), QStringLiteral("Широта")),
        ui::GridColumn::centred(QStringLiteral("LON"), QStringLiteral("Долгота")),
        ui::GridColumn::centred(QStringLiteral("MS"), QStringLiteral("МС"), QStringLiteral("0.0")),
    });
    list->setColumnWidths({{0, 52}, {1, 70}, {2, 250}, {3, 60}, {4, 64}, {5, 84}, {6, 92}, {7, 48}});
    list->setCellStyler([&punkts](int row, int column, bool selected, bool focused) {
        ui::CellColors colours = ui::form::stripedRow({kTint}, row, selected, focused);
        if (column == kTypeColumn) {
            const QColor own = typeColour(punkts.valueAt(row, u"Type"));
            if (own.isValid())
                colours.text = own;
        }
        return colours;
    });
    connect(list, &ui::GridView::chosen, this, &TF_Punkts::editWaypoint);

    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("PopupMenu1"));
    QAction *import = menu->addAction(texts::importMenuEntry());
    import->setObjectName(QStringLiteral("NOurAirports"));
    connect(import, &QAction::triggered, this, &TF_Punkts::importOurAirports);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this,
            [list, menu](const QPoint &pos) { menu->popup(list->viewport()->mapToGlobal(pos)); });

    // Found as typed, as the waypoint picker finds them.
    m_id = ui::form::identSearch(box);
    m_name = new ui::SearchEdit(box);
    m_name->setObjectName(QStringLiteral("PName"));
    m_name->setMaxLength(100);
    ui::form::findAsTyped(m_id, punkts, list, [&punkts](const QString &text) { return findWaypointByIdent(punkts, text); });
    ui::form::findAsTyped(m_name, punkts, list, [&punkts](const QString &text) { return findWaypointByName(punkts, text); });
    addSearch(m_id);
    addSearch(m_name);

    auto *add = ui::namedButton(box, "BNew", QStringLiteral("Новый"));
    auto *edit = ui::namedButton(box, "BEdit", QStringLiteral("Правка"));
    auto *remove = ui::namedButton(box, "BDel", QStringLiteral("Удалить"));
    connect(add, &QPushButton::clicked, this, &TF_Punkts::newWaypoint);
    connect(edit, &QPushButton::clicked, this, &TF_Punkts::editWaypoint);
    connect(remove, &QPushButton::clicked, this, &TF_Punkts::deleteWaypoint);

    auto *below = new QHBoxLayout;
    below->addWidget(ui::form::label(box, QStringLiteral("Пункт"), m_id));
    below->addWidget(m_id);
    below->addWidget(ui::form::label(box, QStringLiteral("Наименование"), m_name));
    below->addWidget(m_name, 1);
    below->addSpacing(12);
    below->addWidget(add);
    below->addWidget(edit);
    below->addWidget(remove);
    layOut(below, {m_id, m_name, add, edit, remove});
    setOpeningSize(QSize(800, 520), {2}); // the name takes the room
}

TF_Punkts::~TF_Punkts() = default;

bool TF_Punkts::openList()
{
    return m_lists.openPunkts();
}

void TF_Punkts::listClosed()
{
    // A route list that cannot be read again is left closed and shows no
    // routes, as at a start-up that cannot open it.
    if (!session().QRoutes.isEmpty())
        std::ignore = session().reopenRoutesAt(session().currentRouteCode());
}

void TF_Punkts::newWaypoint()
{
    if (!m_lists.QPunkts.isOpen())
        return;
    m_editor.run(TF_PPM::Mode::New);
}

void TF_Punkts::editWaypoint()
{
    if (!m_lists.QPunkts.isOpen() || m_lists.QPunkts.isEmpty())
        return;
    m_editor.run(TF_PPM::Mode::Edit);
}

void TF_Punkts::deleteWaypoint()
{
    catalogues::deleteWaypoint(session(), m_lists.QPunkts, this);
}

void TF_Punkts::importOurAirports()
{
    if (!m_fileDialogs) {
        m_ownFileDialogs = std::make_unique<ui::QtFileDialogs>();
        m_fileDialogs = m_ownFileDialogs.get();
    }
    importOurAirportsFolder(session(), m_lists.QPunkts, *m_fileDialogs, &m_importFolder, this);
}

} // namespace kx::catalogues
