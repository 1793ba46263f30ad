#include "U_PSH.h"

#include "ui/DialogParts.h"
#include "ui/PushButton.h"

#include "base/Prompter.h"
#include "interchange/ExportNvu.h"
#include "interchange/InterchangeTexts.h"
#include "store/Session.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace kx::editor {
namespace {

constexpr int kRows = 5;

} // namespace

TF_PSH::TF_PSH(store::Session &session, QWidget *parent)
    : ui::Dialog("TF_PSH", ui::Dialog::Frame::Closable, parent)
    , m_session(session)
{
    setWindowTitle(QStringLiteral("Экспорт в ПШ"));

    auto *group = new QGroupBox(QStringLiteral("Укажите номер ячейки для экспорта"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto *grid = new QGridLayout(group);
    m_cells = new QButtonGroup(this);
    m_cells->setExclusive(true);
    for (int cell = 1; cell <= interchange::kNvuCellCount; ++cell) {
        auto *button = new ui::PushButton(QString::number(cell), group);
        button->setObjectName(QStringLiteral("B%1").arg(cell, 2, 10, QChar(u'0')));
        button->setCheckable(true);
        button->setFixedSize(40, 28);
        m_cells->addButton(button, cell);
        grid->addWidget(button, (cell - 1) % kRows, (cell - 1) / kRows);
    }
    m_cells->button(1)->setChecked(true);
    connect(m_cells, &QButtonGroup::idClicked, this, [this](int cell) { m_cell = cell; });

    auto *ok = ui::namedButton(this, "BOK", QStringLiteral("OK"));
    auto *cancel = ui::namedButton(this, "BCancel", QStringLiteral("Отмена"));
    connect(ok, &QPushButton::clicked, this, &TF_PSH::exportChosenCell);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(ui::buttonRow({ok, cancel}));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TF_PSH::exportFor(QWidget *editor)
{
    prepare(editor);
    exec();
}

void TF_PSH::shown()
{
    m_cell = m_cells->checkedId();
}

void TF_PSH::exportChosenCell()
{
    const int cell = m_cell;
    if (cell >= 1 && cell <= interchange::kNvuCellCount) {
        store::Query qp(m_session.ADOC, QStringLiteral("QP"));
        if (interchange::ExportNVU(m_session, qp, cell, m_editor, this))
            m_session.prompter().info(m_editor, interchange::texts::withWrittenFile(
                                                    interchange::texts::cellExportDone(cell),
                                                    interchange::nvuCellPath(m_session.settings.fsPath, cell)));
    }
    accept();
}

} // namespace kx::editor
