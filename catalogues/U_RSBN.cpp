#include "U_RSBN.h"

#include "catalogues/core/CatalogueLists.h"
#include "catalogues/core/CatalogueTexts.h"
#include "ui/FormParts.h"

#include "base/Busy.h"
#include "base/Prompter.h"
#include "store/Session.h"
#include "ui/ButtonsAndTabs.h"
#include "ui/GridView.h"
#include "ui/Navigator.h"
#include "ui/SearchEdit.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kx::catalogues {
namespace {

const QColor kCream(0xFF, 0xFB, 0xF0);

} // namespace

TF_RSBN::TF_RSBN(store::Session &session, CatalogueLists &lists, QWidget *parent)
    : ui::Dialog("TF_RSBN", ui::Dialog::Frame::Fixed, parent)
    , m_session(session)
    , m_lists(lists)
{
    setWindowTitle(texts::rsbnCaption());

    auto *group = ui::form::group(this, "GroupBox1", texts::rsbnCaption());
    store::Query &beacons = lists.QRSBN;
    m_grid = new ui::GridView(group);
    m_grid->setObjectName(QStringLiteral("G1"));
    m_grid->setTitleColor(ui::form::titleColor());
    m_grid->setList(beacons, {
        ui::GridColumn::centred(QStringLiteral("Region"), QStringLiteral("Регион")),
        ui::GridColumn::centred(QStringLiteral("ID"), QStringLiteral("Маяк")),
        ui::GridColumn::left(QStringLiteral("Name"), QStringLiteral("Наименование")),
        ui::GridColumn::centred(QStringLiteral("LAT"), QStringLiteral("Шм")),
        ui::GridColumn::centred(QStringLiteral("LON"), QStringLiteral("Дм")),
        ui::GridColumn::centred(QStringLiteral("Freq"), QStringLiteral("Частота"), QStringLiteral("0.00")),
    });
    const int widths[] = {56, 60, 220, 86, 96, 70};
    for (int c = 0; c < 6; ++c)
        m_grid->setColumnWidth(c, widths[c]);
    m_grid->setCellStyler([](int row, int, bool selected, bool focused) {
        return ui::form::stripedRow({kCream}, row, selected, focused);
    });

    m_search = ui::form::identSearch(group);
    connect(m_search, &ui::SearchEdit::enterPressed, this, &TF_RSBN::search);

    auto *navigator = ui::form::navigator(group, beacons);

    auto *below = new QHBoxLayout;
    below->addWidget(ui::form::label(group, QStringLiteral("Поиск"), m_search));
    below->addWidget(m_search);
    below->addStretch();
    below->addWidget(navigator);
    auto *inGroup = new QVBoxLayout(group);
    inGroup->addWidget(m_grid, 1);
    inGroup->addLayout(below);

    ui::form::closableGroup(this, group);
    ui::setTabOrder({m_grid, m_search, findChild<QPushButton *>(QStringLiteral("BClose"))});
    setFixedSize(640, 460);
}

TF_RSBN::~TF_RSBN() = default;

void TF_RSBN::shown()
{
    m_search->clear();
    {
        BusyGuard busy(m_session.busy());
        if (!m_lists.openRsbn()) {
            m_session.prompter().error(this, texts::rsbnOpenFailed());
            return;
        }
    }
    m_grid->setFocus(Qt::OtherFocusReason);
}

void TF_RSBN::search()
{
    ui::form::findOnEnter(m_lists.QRSBN, u"ID", store::Locate::PrefixNoCase, m_search, m_grid);
}

void TF_RSBN::done(int result)
{
    m_lists.QRSBN.close();
    QDialog::done(result);
}

} // namespace kx::catalogues
