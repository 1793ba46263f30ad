#pragma once

#include <QIcon>

namespace kx::shell {

// The program's icon, the one the executables carry (packaging/icon): a
// compass rose with a route over it, at every size it is drawn in.
QIcon programIcon();

} // namespace kx::shell
