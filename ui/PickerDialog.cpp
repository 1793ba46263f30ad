#include "PickerDialog.h"

#include "ButtonsAndTabs.h"
#include "GridView.h"

#include "base/Prompter.h"
#include "store/Query.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace kx::ui {

PickerDialog::PickerDialog(const Setup &setup, store::Database &db, Prompter &prompter, QWidget *parent)
    : Dialog(setup.objectName, Frame::SizableCaption, parent)
    , m_setup(setup)
    , m_prompter(prompter)
    , m_list(std::make_unique<store::Query>(db, setup.listName))
{
    m_grid = new GridView(this);
    m_grid->setObjectName(QStringLiteral("GM"));
    connect(m_grid, &GridView::chosen, this, &PickerDialog::choose);
    m_ok = namedButton(this, "BOK", setup.okCaption);
    m_cancel = namedButton(this, "BCancel", QStringLiteral("Отмена"));
    connect(m_ok, &QPushButton::clicked, this, &PickerDialog::choose);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

PickerDialog::~PickerDialog() = default;

void PickerDialog::layOut(QLayout *between, std::initializer_list<QWidget *> tabBetween)
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    if (between)
        layout->addLayout(between);
    layout->addLayout(buttonRow({m_ok, m_cancel}));
    QWidget *previous = m_grid;
    for (QWidget *w : tabBetween) {
        setTabOrder(previous, w);
        previous = w;
    }
    setTabOrder(previous, m_ok);
    setTabOrder(m_ok, m_cancel);
}

void PickerDialog::setOpeningSize(QSize size, QString iniPath, const QString &memoryPrefix, QList<int> nameColumns)
{
    rememberPlace(size, std::move(iniPath), memoryPrefix, m_grid, std::move(nameColumns));
}

void PickerDialog::shown()
{
    m_chosen = 0;
    m_list->close();
    m_list->setPagedSql(listSql());
    if (!m_list->open()) {
        m_prompter.error(this, m_setup.failedText);
        return;
    }
    listRead();
    m_grid->setFocus();
}

void PickerDialog::choose()
{
    m_chosen = m_list->isEmpty() ? 0 : m_list->value(m_setup.keyColumn).toLongLong();
    accept();
}

void PickerDialog::done(int result)
{
    if (result != Accepted)
        m_chosen = 0;
    m_list->close();
    Dialog::done(result);
}

} // namespace kx::ui
