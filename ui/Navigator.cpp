#include "Navigator.h"

#include "store/Query.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

namespace kx::ui {
namespace {

QToolButton *makeButton(QWidget *parent, const QString &name, QStyle::StandardPixmap icon, const QString &tip)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setIcon(parent->style()->standardIcon(icon));
    b->setToolTip(tip);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRaise(false);
    return b;
}

} // namespace

Navigator::Navigator(QWidget *parent) : QWidget(parent)
{
    m_first = makeButton(this, QStringLiteral("First"), QStyle::SP_MediaSkipBackward, QStringLiteral("Первая запись"));
    m_prior = makeButton(this, QStringLiteral("Prior"), QStyle::SP_MediaSeekBackward, QStringLiteral("Предыдущая запись"));
    m_next = makeButton(this, QStringLiteral("Next"), QStyle::SP_MediaSeekForward, QStringLiteral("Следующая запись"));
    m_last = makeButton(this, QStringLiteral("Last"), QStyle::SP_MediaSkipForward, QStringLiteral("Последняя запись"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton *b : {m_first, m_prior, m_next, m_last})
        layout->addWidget(b);
    update();
}

void Navigator::setList(store::Query &list)
{
    m_list = &list;
    connect(m_first, &QToolButton::clicked, &list, [&list] { list.first(); });
    connect(m_prior, &QToolButton::clicked, &list, [&list] { list.prior(); });
    connect(m_next, &QToolButton::clicked, &list, [&list] { list.next(); });
    connect(m_last, &QToolButton::clicked, &list, [&list] { list.last(); });
    connect(&list, &store::Query::currentRowChanged, this, &Navigator::update);
    connect(&list, &store::Query::reset, this, &Navigator::update);
    // A paged list's pages move its end without moving its current row.
    connect(&list, &store::Query::rowsInserted, this, &Navigator::update);
    connect(&list, &store::Query::rowsRemoved, this, &Navigator::update);
    update();
}

void Navigator::update()
{
    const bool prior = m_list && !m_list->isEmpty() && m_list->hasPrior();
    const bool next = m_list && !m_list->isEmpty() && m_list->hasNext();
    m_first->setEnabled(prior);
    m_prior->setEnabled(prior);
    m_next->setEnabled(next);
    m_last->setEnabled(next);
}

} // namespace kx::ui
