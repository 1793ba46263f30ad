#include "FileName.h"

namespace kx {

QString routeFileName(const QString &routeName, const QString &suffix)
{
    QString name = routeName.trimmed();
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (QChar &c : name)
        if (forbidden.contains(c) || c.unicode() < 32)
            c = u'_';
    if (name.isEmpty())
        name = QStringLiteral("route");
    return name + suffix;
}

} // namespace kx
