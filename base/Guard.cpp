#include "Guard.h"

#include "Error.h"
#include "Prompter.h"

#include <QString>

namespace kx {

bool runGuarded(Prompter &prompter, QObject *owner, const std::function<void()> &command)
{
    try {
        command();
        return true;
    } catch (const std::exception &e) {
        prompter.error(owner, errorText(e));
    } catch (...) {
        prompter.error(owner, QStringLiteral("Неизвестная ошибка"));
    }
    return false;
}

} // namespace kx
