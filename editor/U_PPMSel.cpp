#include "U_PPMSel.h"

#include "EditorTexts.h"

#include "store/Collation.h"
#include "store/Query.h"
#include "store/Session.h"
#include "ui/GridView.h"
#include "ui/SearchEdit.h"

#include <QHBoxLayout>
#include <QLabel>

namespace kx::editor {

TF_PPMSel::TF_PPMSel(store::Session &session, QWidget *parent)
    : ui::PickerDialog({"TF_PPMSel", QStringLiteral("QP"), QStringLiteral("Вставить"), QStringLiteral("Code"),
                        texts::waypointListFailed()},
                       session.ADOC, session.prompter(), parent)
{
    ui::GridView *list = grid();
    list->setList(this->list(), {
        ui::GridColumn::centred(QStringLiteral("Region"), QStringLiteral("Регион")),
        ui::GridColumn::centred(QStringLiteral("ID"), QStringLiteral("Пункт")),
        ui::GridColumn::left(QStringLiteral("Name"), QStringLiteral("Наименование")),
        ui::GridColumn::centred(QStringLiteral("Type"), QStringLiteral("Тип")),
    });
    list->setColumnWidth(0, 60);
    list->setColumnWidth(1, 80);
    list->setColumnWidth(2, 260);
    list->setColumnWidth(3, 70);

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
            [this](const QString &text) { this->list().locate(u"ID", text, store::Locate::PrefixNoCase); });
    connect(m_name, &ui::SearchEdit::settled, this,
            [this](const QString &text) { this->list().locate(u"Name", text, store::Locate::PrefixNoCase); });
    for (ui::SearchEdit *edit : {m_id, m_name}) {
        connect(edit, &ui::SearchEdit::upPressed, this, [this] { this->list().prior(); });
        connect(edit, &ui::SearchEdit::downPressed, this, [this] { this->list().next(); });
        connect(edit, &ui::SearchEdit::enterPressed, this, [this] { grid()->setFocus(); });
    }

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
    layOut(search, {m_id, m_name});
    setFixedSize(520, 420);
}

QString TF_PPMSel::listSql() const
{
    return QStringLiteral("SELECT Punkts.Code, Punkts.Region, Punkts.ID, Punkts.Name, Punkts.Type "
                          "FROM Punkts "
                          "ORDER BY Punkts.ID COLLATE %1")
        .arg(QLatin1String(store::kCollation));
}

void TF_PPMSel::prepare(Mode mode, const QString &caption, qint64 currentPunkt)
{
    m_mode = mode;
    m_current = currentPunkt;
    setWindowTitle(caption);
}

qint64 TF_PPMSel::pickWaypoint(Mode mode, const QString &caption, qint64 currentPunkt)
{
    prepare(mode, caption, currentPunkt);
    exec();
    return chosen();
}

void TF_PPMSel::listRead()
{
    if (m_mode == Mode::Replace)
        list().locate(u"Code", m_current);
    m_id->clear();
    m_name->clear();
}

} // namespace kx::editor
