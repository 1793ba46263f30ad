#include "MapSettings.h"

#include "base/IniFile.h"

#include <algorithm>
#include <cmath>

namespace kx::map {
namespace {

const QString kSection = QStringLiteral("MAP");

} // namespace

MapSettings readMapSettings(const QString &iniPath)
{
    IniFile ini;
    ini.load(iniPath);
    MapSettings s;
    for (const LayerInfo &info : layerInfos()) {
        const int shown = ini.readInteger(kSection, info.key, info.shown ? 1 : 0);
        s.layers.setFlag(info.layer, shown != 0);
    }
    bool ok = false;
    const double zoom = ini.readString(kSection, QStringLiteral("Zoom")).toDouble(&ok);
    if (ok && std::isfinite(zoom) && zoom > 0)
        s.zoom = std::clamp(zoom, MapSettings::kMinZoom, MapSettings::kMaxZoom);
    return s;
}

bool writeMapSettings(const QString &iniPath, const MapSettings &settings)
{
    IniFile ini;
    if (!ini.load(iniPath))
        return false;
    for (const LayerInfo &info : layerInfos())
        ini.writeInteger(kSection, info.key, settings.layers.testFlag(info.layer) ? 1 : 0);
    ini.writeString(kSection, QStringLiteral("Zoom"), QString::number(settings.zoom, 'g', 6));
    return ini.save(iniPath);
}

} // namespace kx::map
