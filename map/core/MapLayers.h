#pragma once

#include <QFlags>
#include <QList>
#include <QString>

namespace kx::map {

// What the person can switch on and off, each drawn apart.
enum class Layer : unsigned {
    Land = 1u << 0,
    Lakes = 1u << 1,
    Coastlines = 1u << 2,
    Borders = 1u << 3,
    Graticule = 1u << 4,
    Legs = 1u << 5,
    Waypoints = 1u << 6,
    Corrections = 1u << 7, // the route's correction beacons, their lines to the leg and range circles
    Rsbn = 1u << 8,        // the other RSBN beacons of the catalogue
    // The catalogue's waypoints in view, from the zoom at which they can be read.
    Vor = 1u << 9,
    Ndb = 1u << 10,
    Airports = 1u << 11,
    Intersections = 1u << 12,
};
Q_DECLARE_FLAGS(Layers, Layer)
Q_DECLARE_OPERATORS_FOR_FLAGS(Layers)

struct LayerInfo
{
    Layer layer;
    QString key;   // in kalyx.ini, section MAP
    QString title; // in the window's menu
    bool shown;    // by default
};

// In the order of the menu.
const QList<LayerInfo> &layerInfos();
Layers defaultLayers();
inline Layers allLayers()
{
    Layers all;
    for (const LayerInfo &info : layerInfos())
        all |= info.layer;
    return all;
}

} // namespace kx::map
