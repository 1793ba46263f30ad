#include "U_RSBNSel.h"

#include "ui/DialogParts.h"

#include "EditorTexts.h"

#include "base/Prompter.h"
#include "store/Session.h"
#include "ui/GridView.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace kx::editor {
namespace {

// Candidates at equal distance keep the order the database gives them.
const QString kCandidatesSql = QStringLiteral(
    "SELECT RSBNSelect.RSBN, RSBN.ID, RSBN.Code, RSBN.Name, RSBNSelect.L "
    "FROM RSBNSelect INNER JOIN RSBN ON RSBNSelect.RSBN = RSBN.Code "
    "ORDER BY RSBNSelect.L");

} // namespace

TF_RSBNSel::TF_RSBNSel(store::Session &session, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_session(session)
    , m_list(std::make_unique<store::Query>(session.ADOC, QStringLiteral("QM")))
{
    setObjectName(QStringLiteral("TF_RSBNSel"));
    setWindowTitle(QStringLiteral(" Выбор маяка РСБН"));
    setModal(true);

    m_grid = new ui::GridView(this);
    m_grid->setObjectName(QStringLiteral("GM"));
    m_grid->setList(*m_list, {
        ui::GridColumn::centred(QStringLiteral("ID"), QStringLiteral("Маяк")),
        ui::GridColumn::left(QStringLiteral("Name"), QStringLiteral("Наименование")),
        ui::GridColumn::centred(QStringLiteral("L"), QStringLiteral("Растояние"), QStringLiteral("0.0")),
    });
    m_grid->setColumnWidth(0, 70);
    m_grid->setColumnWidth(1, 220);
    m_grid->setColumnWidth(2, 90);
    connect(m_grid, &ui::GridView::chosen, this, &TF_RSBNSel::choose);

    auto *ok = ui::namedButton(this, "BOK", QStringLiteral("OK"));
    auto *cancel = ui::namedButton(this, "BCancel", QStringLiteral("Отмена"));
    connect(ok, &QPushButton::clicked, this, &TF_RSBNSel::choose);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addLayout(ui::buttonRow({ok, cancel}));
    ui::setTabOrder({m_grid, ok, cancel});
    setFixedSize(420, 320);
}

TF_RSBNSel::~TF_RSBNSel() = default;

void TF_RSBNSel::prepare(const QVariant &currentBeacon)
{
    m_current = currentBeacon;
    m_chosen = 0;
}

qint64 TF_RSBNSel::pickBeacon(const QVariant &currentBeacon)
{
    prepare(currentBeacon);
    exec();
    return m_chosen;
}

void TF_RSBNSel::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    m_chosen = 0;
    m_list->close();
    if (!m_list->open(kCandidatesSql)) {
        m_session.prompter().error(this, texts::beaconListFailed());
        return;
    }
    if (!m_current.isNull())
        m_list->locate(u"Code", m_current);
    m_grid->setFocus();
}

void TF_RSBNSel::choose()
{
    m_chosen = m_list->isEmpty() ? 0 : m_list->value(u"RSBN").toLongLong();
    accept();
}

void TF_RSBNSel::done(int result)
{
    if (result != Accepted)
        m_chosen = 0;
    m_list->close();
    QDialog::done(result);
}

} // namespace kx::editor
