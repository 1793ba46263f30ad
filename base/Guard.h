#pragma once

#include <functional>

class QObject;

namespace kx {

class Prompter;

// The general error display: runs a command and shows any error it does not
// handle itself (see Error.h), with the error's own text, owned by the given
// window (the GUI), or on stderr (kalyx-cli). The program keeps running.
// Returns false when an error was shown.
[[nodiscard]] bool runGuarded(Prompter &prompter, QObject *owner, const std::function<void()> &command);

} // namespace kx
