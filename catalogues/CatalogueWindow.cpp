#include "CatalogueWindow.h"

#include "base/Busy.h"
#include "base/Prompter.h"
#include "store/Session.h"
#include "ui/ButtonsAndTabs.h"
#include "ui/FormParts.h"
#include "ui/GridView.h"
#include "ui/Navigator.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kx::catalogues {

CatalogueWindow::CatalogueWindow(const Setup &setup, store::Session &session, store::Query &list, QWidget *parent)
    : ui::Dialog(setup.objectName, ui::Dialog::Frame::Sizable, parent)
    , m_setup(setup)
    , m_session(session)
    , m_list(list)
{
    setWindowTitle(setup.caption);
    m_group = ui::form::group(this, "GroupBox1", setup.caption);
    m_grid = new ui::GridView(m_group);
    m_grid->setObjectName(QStringLiteral("G1"));
    m_grid->setTitleColor(ui::form::titleColor());
}

CatalogueWindow::~CatalogueWindow() = default;

void CatalogueWindow::layOut(QHBoxLayout *below, std::initializer_list<QWidget *> tabBetween)
{
    below->addStretch();
    below->addWidget(ui::form::navigator(m_group, m_list));
    auto *inGroup = new QVBoxLayout(m_group);
    inGroup->addWidget(m_grid, 1);
    inGroup->addLayout(below);
    ui::form::closableGroup(this, m_group);

    QWidget *previous = m_grid;
    for (QWidget *w : tabBetween) {
        setTabOrder(previous, w);
        previous = w;
    }
    setTabOrder(previous, findChild<QPushButton *>(QStringLiteral("BClose")));
}

void CatalogueWindow::setOpeningSize(QSize size, QList<int> nameColumns)
{
    rememberPlace(size, m_session.settingsFile().path(), m_setup.memoryPrefix, m_grid, std::move(nameColumns));
}

void CatalogueWindow::shown()
{
    for (QLineEdit *search : std::as_const(m_searches))
        search->clear();
    {
        BusyGuard busy(m_session.busy());
        if (!openList()) {
            m_session.prompter().error(this, m_setup.openFailed);
            return;
        }
    }
    m_grid->setFocus(Qt::OtherFocusReason);
}

void CatalogueWindow::done(int result)
{
    {
        BusyGuard busy(m_session.busy());
        m_list.close();
        listClosed();
    }
    Dialog::done(result);
}

} // namespace kx::catalogues
