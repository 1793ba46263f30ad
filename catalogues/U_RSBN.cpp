#include "U_RSBN.h"

#include "catalogues/core/CatalogueLists.h"
#include "catalogues/core/CatalogueTexts.h"

#include "ui/FormParts.h"
#include "ui/GridView.h"
#include "ui/SearchEdit.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>

#include <utility>

namespace kx::catalogues {
namespace {

const QColor kCream(0xFF, 0xFB, 0xF0);

} // namespace

TF_RSBN::TF_RSBN(store::Session &session, CatalogueLists &lists, QWidget *parent)
    : CatalogueWindow({"TF_RSBN", texts::rsbnCaption(), texts::rsbnOpenFailed(), QStringLiteral("RSBN")}, session, lists.QRSBN, parent)
    , m_lists(lists)
{
    ui::GridView *list = grid();
    list->setList(lists.QRSBN, {
        ui::GridColumn::centred(QStringLiteral("Region"), QStringLiteral("Регион")),
        ui::GridColumn::centred(QStringLiteral("ID"), QStringLiteral("Маяк")),
        ui::GridColumn::left(QStringLiteral("Name"), QStringLiteral("Наименование")),
        ui::GridColumn::centred(QStringLiteral("LAT"), QStringLiteral("Шм")),
        ui::GridColumn::centred(QStringLiteral("LON"), QStringLiteral("Дм")),
        ui::GridColumn::centred(QStringLiteral("Freq"), QStringLiteral("Частота"), QStringLiteral("0.00")),
    });
    list->setColumnWidths({{0, 56}, {1, 60}, {2, 220}, {3, 86}, {4, 96}, {5, 70}});
    list->setCellStyler([](int row, int, bool selected, bool focused) {
        return ui::form::stripedRow({kCream}, row, selected, focused);
    });

    m_search = ui::form::identSearch(group());
    connect(m_search, &ui::SearchEdit::enterPressed, this, &TF_RSBN::search);
    addSearch(m_search);

    auto *below = new QHBoxLayout;
    below->addWidget(ui::form::label(group(), QStringLiteral("Поиск"), m_search));
    below->addWidget(m_search);
    layOut(below, {m_search});
    setOpeningSize(QSize(640, 460), {2}); // the name takes the room
}

TF_RSBN::~TF_RSBN() = default;

bool TF_RSBN::openList()
{
    return m_lists.openRsbn();
}

void TF_RSBN::search()
{
    ui::form::findOnEnter(m_lists.QRSBN, u"ID", store::Locate::PrefixNoCase, m_search, grid());
}

} // namespace kx::catalogues
