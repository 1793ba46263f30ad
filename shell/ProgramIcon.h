#pragma once

#include <QIcon>

namespace kx::shell {

// The program's icon: a compass rose, drawn rather than shipped as an image.
QIcon programIcon();

} // namespace kx::shell
