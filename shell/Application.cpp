#include "Application.h"

#include "base/Error.h"
#include "base/Prompter.h"

#include <QWidget>

namespace kx::shell {

Application::Application(int &argc, char **argv) : QApplication(argc, argv) {}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        if (m_prompter)
            m_prompter->error(activeWindow(), errorText(e));
        else
            qWarning("%s", e.what());
    } catch (...) {
        if (m_prompter)
            m_prompter->error(activeWindow(), QStringLiteral("Неизвестная ошибка"));
    }
    return false;
}

} // namespace kx::shell
