#pragma once

#include <QWidget>

class QToolButton;

namespace kx::store {
class Query;
}

namespace kx::ui {

// The navigation bar of a list: first, prior, next, last. Buttons that would
// not move are disabled.
class Navigator : public QWidget
{
    Q_OBJECT
public:
    explicit Navigator(QWidget *parent = nullptr);
    void setList(store::Query &list);

private:
    void update();

    store::Query *m_list = nullptr;
    QToolButton *m_first;
    QToolButton *m_prior;
    QToolButton *m_next;
    QToolButton *m_last;
};

} // namespace kx::ui
