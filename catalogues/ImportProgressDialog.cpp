#include "ImportProgressDialog.h"

#include "catalogues/core/OurAirportsTexts.h"
#include "ui/ButtonsAndTabs.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace kx::catalogues {
namespace {

// Often enough for the bar to move and Cancel to answer at once, seldom
// enough to cost the import nothing.
constexpr int kEventsEveryMs = 40;

} // namespace

ImportProgressDialog::ImportProgressDialog(const QString &caption, QWidget *parent)
    : ui::Dialog("ImportProgress", ui::Dialog::Frame::Caption, parent)
{
    setWindowTitle(caption);
    m_stage = new QLabel(this);
    m_stage->setObjectName(QStringLiteral("PStage"));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("PBar"));
    m_bar->setTextVisible(true);
    m_cancel = ui::namedButton(this, "BCancel", QStringLiteral("Отмена"));
    connect(m_cancel, &QPushButton::clicked, this, &ImportProgressDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_stage);
    layout->addWidget(m_bar);
    layout->addLayout(ui::buttonRow({m_cancel}));
    setFixedSize(420, 130);
}

void ImportProgressDialog::setStage(const QString &text)
{
    m_stage->setText(m_cancelRequested ? texts::cancellingStage() : text);
    if (!m_running) {
        m_running = true;
        m_cancelRequested = false;
        m_cancel->setEnabled(true);
        show();
    }
    letEventsThrough(true);
}

void ImportProgressDialog::setMaximum(int maximum)
{
    m_bar->setRange(0, std::max(maximum, 1));
}

void ImportProgressDialog::setPosition(int position)
{
    if (m_sinceEvents.isValid() && m_sinceEvents.elapsed() < kEventsEveryMs)
        return;
    m_bar->setValue(std::min(position, m_bar->maximum()));
    letEventsThrough(false);
}

void ImportProgressDialog::finished()
{
    m_running = false;
    hide();
}

void ImportProgressDialog::reject()
{
    if (!m_running) {
        ui::Dialog::reject();
        return;
    }
    m_cancelRequested = true;
    m_cancel->setEnabled(false);
    m_stage->setText(texts::cancellingStage());
}

void ImportProgressDialog::letEventsThrough(bool now)
{
    if (!now && m_sinceEvents.isValid() && m_sinceEvents.elapsed() < kEventsEveryMs)
        return;
    QCoreApplication::processEvents();
    m_sinceEvents.start();
}

} // namespace kx::catalogues
