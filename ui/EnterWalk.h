#pragma once

#include <QHash>
#include <QObject>

#include <functional>

class QWidget;

namespace kx::ui {

// Enter in an entry form: each field has a step that runs on Enter (usually
// moving the focus to the next field, sometimes only after a check); the
// Enter key itself is swallowed.
class EnterWalk : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // On Enter in from, run step.
    void add(QWidget *from, std::function<void()> step);
    // On Enter in from, move the focus to to.
    void add(QWidget *from, QWidget *to);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QHash<QObject *, std::function<void()>> m_steps;
};

} // namespace kx::ui
