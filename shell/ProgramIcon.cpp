#include "ProgramIcon.h"

// The icon's pictures are compiled into this static library; a resource of a
// static library is registered by hand, as nothing else refers to it.
static void registerIconResource()
{
    Q_INIT_RESOURCE(icon);
}

namespace kx::shell {

QIcon programIcon()
{
    registerIconResource();
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icon/kalyx-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace kx::shell
