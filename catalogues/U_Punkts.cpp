#include "U_Punkts.h"

#include "catalogues/core/CatalogueLists.h"
#include "catalogues/core/CatalogueTexts.h"
#include "ui/FormParts.h"
#include "U_PPM.h"
#include "catalogues/core/WaypointDeletion.h"
#include "catalogues/core/OurAirportsTexts.h"
#include "ImportOurAirports.h"

#include "base/Busy.h"
#include "base/Prompter.h"
#include "store/Session.h"
#include "ui/ButtonsAndTabs.h"
#include "ui/FileDialogs.h"
#include "ui/GridView.h"
#include "ui/Navigator.h"
#include "ui/SearchEdit.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include <tuple>

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
    : ui::Dialog("TF_Punkts", ui::Dialog::Frame::Fixed, parent)
    , m_session(session)
    , m_lists(lists)
    , m_editor(editor)
{
    setWindowTitle(QStringLiteral("Пункты"));

    auto *group = ui::form::group(this, "GroupBox1", QStringLiteral("Пункты"));
    store::Query &punkts = lists.QPunkts;
    m_grid = new ui::GridView(group);
    m_grid->setObjectName(QStringLiteral("G1"));
    m_grid->setTitleColor(ui::form::titleColor());
    m_grid->setList(punkts, {
        ui::GridColumn::centred(QStringLiteral("Region"), QStringLiteral("Регион")),
        ui::GridColumn::centred(QStringLiteral("ID"), QStringLiteral("Пункт")),
        ui::GridColumn::left(QStringLiteral("Name"), QStringLiteral("Наименование")),
        ui::GridColumn::centred(QStringLiteral("Type"), QStringLiteral("Тип")),
        ui::GridColumn::centred(QStringLiteral("Freq"), QStringLiteral("Частота"), QStringLiteral("#.00")),
        ui::GridColumn::centred(QStringLiteral("LAT"), QStringLiteral("Широта")),
        ui::GridColumn::centred(QStringLiteral("LON"), QStringLiteral("Долгота")),
        ui::GridColumn::centred(QStringLiteral("MS"), QStringLiteral("МС"), QStringLiteral("0.0")),
    });
    const int widths[] = {52, 70, 210, 60, 64, 84, 92, 48};
    for (int c = 0; c < 8; ++c)
        m_grid->setColumnWidth(c, widths[c]);
    m_grid->setCellStyler([&punkts](int row, int column, bool selected, bool focused) {
        ui::CellColors colours = ui::form::stripedRow({kTint}, row, selected, focused);
        if (column == kTypeColumn) {
            const QColor own = typeColour(punkts.valueAt(row, u"Type"));
            if (own.isValid())
                colours.text = own;
        }
        return colours;
    });
    connect(m_grid, &ui::GridView::chosen, this, &TF_Punkts::editWaypoint);

    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("PopupMenu1"));
    QAction *import = menu->addAction(texts::importMenuEntry());
    import->setObjectName(QStringLiteral("NOurAirports"));
    connect(import, &QAction::triggered, this, &TF_Punkts::importOurAirports);
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this, menu](const QPoint &pos) { menu->popup(m_grid->viewport()->mapToGlobal(pos)); });

    m_search = ui::form::identSearch(group);
    connect(m_search, &ui::SearchEdit::enterPressed, this, &TF_Punkts::search);

    auto *navigator = ui::form::navigator(group, punkts);

    auto *add = ui::namedButton(group, "BNew", QStringLiteral("Новый"));
    auto *edit = ui::namedButton(group, "BEdit", QStringLiteral("Правка"));
    auto *remove = ui::namedButton(group, "BDel", QStringLiteral("Удалить"));
    connect(add, &QPushButton::clicked, this, &TF_Punkts::newWaypoint);
    connect(edit, &QPushButton::clicked, this, &TF_Punkts::editWaypoint);
    connect(remove, &QPushButton::clicked, this, &TF_Punkts::deleteWaypoint);

    auto *below = new QHBoxLayout;
    below->addWidget(ui::form::label(group, QStringLiteral("Поиск"), m_search));
    below->addWidget(m_search);
    below->addSpacing(12);
    below->addWidget(add);
    below->addWidget(edit);
    below->addWidget(remove);
    below->addStretch();
    below->addWidget(navigator);
    auto *inGroup = new QVBoxLayout(group);
    inGroup->addWidget(m_grid, 1);
    inGroup->addLayout(below);

    ui::form::closableGroup(this, group);
    ui::setTabOrder({m_grid, m_search, add, edit, remove, findChild<QPushButton *>(QStringLiteral("BClose"))});
    setFixedSize(740, 520);
}

TF_Punkts::~TF_Punkts() = default;

void TF_Punkts::shown()
{
    m_search->clear();
    {
        BusyGuard busy(m_session.busy());
        if (!m_lists.openPunkts()) {
            m_session.prompter().error(this, texts::punktsOpenFailed());
            return;
        }
    }
    m_grid->setFocus(Qt::OtherFocusReason);
}

void TF_Punkts::search()
{
    ui::form::findOnEnter(m_lists.QPunkts, u"ID", store::Locate::Exact, m_search, m_grid);
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
    catalogues::deleteWaypoint(m_session, m_lists.QPunkts, this);
}

void TF_Punkts::importOurAirports()
{
    if (!m_fileDialogs) {
        m_ownFileDialogs = std::make_unique<ui::QtFileDialogs>();
        m_fileDialogs = m_ownFileDialogs.get();
    }
    importOurAirportsFolder(m_session, m_lists.QPunkts, *m_fileDialogs, &m_importFolder, this);
}

void TF_Punkts::done(int result)
{
    {
        BusyGuard busy(m_session.busy());
        m_lists.QPunkts.close();
        store::Query &routes = m_session.QRoutes;
        // A route list that cannot be read again is left closed and shows
        // no routes, as at a start-up that cannot open it.
        if (!routes.isEmpty())
            std::ignore = m_session.reopenRoutesAt(m_session.currentRouteCode());
    }
    QDialog::done(result);
}

} // namespace kx::catalogues
