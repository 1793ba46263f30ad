#pragma once

#include <functional>

class QObject;

namespace kx {
class Prompter;
}

namespace kx::ui {

// The general error display: runs a command and shows any error it does not
// handle itself, with the error's own text, owned by the given window. The
// program keeps running. Returns false when an error was shown.
bool runGuarded(Prompter &prompter, QObject *owner, const std::function<void()> &command);

} // namespace kx::ui
