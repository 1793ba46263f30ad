#pragma once

#include <QString>

namespace kx {

// The file name a save dialog proposes for something of a route's: the
// route's name with every character no file system takes (\ / : * ? " < > |
// and control characters) made "_", then the suffix ("UUEE-URSS.pdf"). A
// name that is empty or blank gives "route" + suffix.
QString routeFileName(const QString &routeName, const QString &suffix);

} // namespace kx
