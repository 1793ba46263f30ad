#include "EnterWalk.h"

#include "NumberEdit.h"

#include <QKeyEvent>
#include <QWidget>

namespace kx::ui {

void EnterWalk::add(QWidget *from, std::function<void()> step)
{
    m_steps.insert(from, std::move(step));
    from->installEventFilter(this);
}

void EnterWalk::add(QWidget *from, QWidget *to)
{
    add(from, [to] { to->setFocus(Qt::TabFocusReason); });
}

bool EnterWalk::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            const auto it = m_steps.constFind(watched);
            if (it != m_steps.cend()) {
                // Enter takes a typed number as leaving the edit does.
                if (auto *number = qobject_cast<NumberEdit *>(watched))
                    number->takeValue();
                const std::function<void()> step = it.value();
                step();
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kx::ui
