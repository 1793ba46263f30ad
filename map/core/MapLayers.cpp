#include "MapLayers.h"

namespace kx::map {

const QList<LayerInfo> &layerInfos()
{
    static const QList<LayerInfo> infos = {
        {Layer::Land, QStringLiteral("Land"), QStringLiteral("Суша"), true},
        {Layer::Lakes, QStringLiteral("Lakes"), QStringLiteral("Озера"), true},
        {Layer::Coastlines, QStringLiteral("Coastlines"), QStringLiteral("Береговая линия"), true},
        {Layer::Borders, QStringLiteral("Borders"), QStringLiteral("Границы государств"), true},
        {Layer::Graticule, QStringLiteral("Graticule"), QStringLiteral("Сетка меридианов и параллелей"), true},
        {Layer::Legs, QStringLiteral("Legs"), QStringLiteral("Участки маршрута"), true},
        {Layer::Waypoints, QStringLiteral("Waypoints"), QStringLiteral("ППМ маршрута"), true},
        {Layer::Corrections, QStringLiteral("Corrections"), QStringLiteral("Маяки коррекции и дальность L_RSBN"), true},
        {Layer::Rsbn, QStringLiteral("RSBN"), QStringLiteral("Другие маяки РСБН"), true},
        {Layer::Airports, QStringLiteral("Airports"), QStringLiteral("Аэропорты каталога"), true},
        {Layer::Vor, QStringLiteral("VOR"), QStringLiteral("Маяки VOR"), true},
        {Layer::Ndb, QStringLiteral("NDB"), QStringLiteral("Приводы NDB"), true},
        {Layer::Intersections, QStringLiteral("Intersections"), QStringLiteral("Пересечения каталога"), true},
    };
    return infos;
}

Layers defaultLayers()
{
    Layers layers;
    for (const LayerInfo &info : layerInfos())
        if (info.shown)
            layers |= info.layer;
    return layers;
}

} // namespace kx::map
