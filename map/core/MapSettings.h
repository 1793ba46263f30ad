#pragma once

#include "MapLayers.h"

#include <QString>

namespace kx::map {

// The map window's settings, kept in kalyx.ini in a section of their own,
// [MAP]: the layers shown and the zoom (as a factor of the zoom that fits the
// route, so that it means the same on the next route). The window's place and
// size are kept in the same section by the window itself.
struct MapSettings
{
    Layers layers = defaultLayers();
    double zoom = 1;

    static constexpr double kMinZoom = 1.0 / 64;
    static constexpr double kMaxZoom = 4096;
};

// Missing or unreadable keys read as the defaults.
MapSettings readMapSettings(const QString &iniPath);
// Writes these keys of section MAP only; every other line of the file stays as it was.
bool writeMapSettings(const QString &iniPath, const MapSettings &settings);

} // namespace kx::map
