#include "CursorBusy.h"

#include <QCursor>
#include <QGuiApplication>

namespace kx::ui {

void CursorBusy::show()
{
    ++m_depth;
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void CursorBusy::restore()
{
    if (m_depth == 0)
        return;
    --m_depth;
    QGuiApplication::restoreOverrideCursor();
}

} // namespace kx::ui
