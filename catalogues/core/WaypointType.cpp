#include "WaypointType.h"

namespace kx::catalogues {

QStringList waypointTypeItems()
{
    return {QStringLiteral("Пересечение"), QStringLiteral("Airport"), QStringLiteral("NDB"), QStringLiteral("VOR")};
}

int waypointTypeIndex(const QVariant &storedType)
{
    const QString text = storedType.isNull() ? QString() : storedType.toString();
    if (text.isEmpty())
        return kIntersection;
    const qsizetype index = waypointTypeItems().indexOf(text);
    return index > 0 ? static_cast<int>(index) : kNoType;
}

QVariant storedWaypointType(int index)
{
    if (index <= kIntersection || index > kVor)
        return {};
    return waypointTypeItems().at(index);
}

} // namespace kx::catalogues
