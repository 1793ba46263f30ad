#include "U_PPMSel.h"

#include "ui/DialogParts.h"

#include "EditorTexts.h"

#include "base/Prompter.h"
#include "store/Collation.h"
#include "store/Session.h"
#include "ui/GridView.h"
#include "ui/SearchEdit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace kx::editor {
namespace {

QString waypointsSql()
{
    return QStringLiteral("SELECT Punkts.Code, Punkts.Region, Punkts.ID, Punkts.Name, Punkts.Type "
                          "FROM Punkts "
                          "ORDER BY Punkts.ID COLLATE %1")
        .arg(QLatin1String(store::kCollation));
}

} // namespace

TF_PPMSel::TF_PPMSel(store::Session &session, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_session(session)
    , m_list(std::make_unique<store::Query>(session.ADOC, QStringLiteral("QP")))
{
    setObjectName(QStringLiteral("TF_PPMSel"));
    setModal(true);

    m_grid = new ui::GridView(this);
    m_grid->setObjectName(QStringLiteral("GM"));
    m_grid->setList(*m_list, {
        ui::GridColumn::centred(QStringLiteral("Region"), QStringLiteral("Регион")),
        ui::GridColumn::centred(QStringLiteral("ID"), QStringLiteral("Пункт")),
        ui::GridColumn::left(QStringLiteral("Name"), QStringLiteral("Наименование")),
        ui::GridColumn::centred(QStringLiteral("Type"), QStringLiteral("Тип")),
    });
    m_grid->setColumnWidth(0, 60);
    m_grid->setColumnWidth(1, 80);
    m_grid->setColumnWidth(2, 260);
    m_grid->setColumnWidth(3, 70);
    connect(m_grid, &ui::GridView::chosen, this, &TF_PPMSel::choose);

    m_id = new ui::SearchEdit(this);
    m_id->setObjectName(QStringLiteral("PID"));
    m_id->setMaxLength(10);
    m_id->setUpperCase(true);
    m_id->setDelay(100);
    m_name = new ui::SearchEdit(this);
    m_name->setObjectName(QStringLiteral("PName"));
    m_name->setMaxLength(100);
    m_name->setDelay(100);
    connect(m_id, &ui::SearchEdit::settled, this,
            [this](const QString &text) { m_list->locate(u"ID", text, store::Locate::PrefixNoCase); });
    connect(m_name, &ui::SearchEdit::settled, this,
            [this](const QString &text) { m_list->locate(u"Name", text, store::Locate::PrefixNoCase); });
    for (ui::SearchEdit *edit : {m_id, m_name}) {
        connect(edit, &ui::SearchEdit::upPressed, this, [this] { m_list->prior(); });
        connect(edit, &ui::SearchEdit::downPressed, this, [this] { m_list->next(); });
        connect(edit, &ui::SearchEdit::enterPressed, this, [this] { m_grid->setFocus(); });
    }

    auto *ok = ui::namedButton(this, "BOK", QStringLiteral("Вставить"));
    auto *cancel = ui::namedButton(this, "BCancel", QStringLiteral("Отмена"));
    connect(ok, &QPushButton::clicked, this, &TF_PPMSel::choose);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

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
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addLayout(search);
    layout->addLayout(ui::buttonRow({ok, cancel}));
    ui::setTabOrder({m_grid, m_id, m_name, ok, cancel});
    setFixedSize(520, 420);
}

TF_PPMSel::~TF_PPMSel() = default;

void TF_PPMSel::prepare(Mode mode, const QString &caption, qint64 currentPunkt)
{
    m_mode = mode;
    m_current = currentPunkt;
    m_chosen = 0;
    setWindowTitle(caption);
}

qint64 TF_PPMSel::pickWaypoint(Mode mode, const QString &caption, qint64 currentPunkt)
{
    prepare(mode, caption, currentPunkt);
    exec();
    return m_chosen;
}

void TF_PPMSel::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    m_chosen = 0;
    m_list->close();
    if (!m_list->open(waypointsSql())) {
        m_session.prompter().error(this, texts::waypointListFailed());
        return;
    }
    if (m_mode == Mode::Replace)
        m_list->locate(u"Code", m_current);
    m_id->clear();
    m_name->clear();
    m_grid->setFocus();
}

void TF_PPMSel::choose()
{
    m_chosen = m_list->isEmpty() ? 0 : m_list->value(u"Code").toLongLong();
    accept();
}

void TF_PPMSel::done(int result)
{
    if (result != Accepted)
        m_chosen = 0;
    m_list->close();
    QDialog::done(result);
}

} // namespace kx::editor
