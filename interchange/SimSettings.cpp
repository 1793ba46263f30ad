#include "SimSettings.h"

#include "base/Cp1251.h"
#include "base/IniFile.h"

#include <tuple>

namespace kx::interchange {
namespace {

const QString kSection = QStringLiteral("SIMULATORS");
const QString kXPlane = QStringLiteral("XPlaneAircraft");
const QString kFlightGear = QStringLiteral("FlightGearRoutes");

} // namespace

SimSettings readSimSettings(const QString &iniPath)
{
    IniFile ini;
    // A file that cannot be read proposes no folders, as a missing key does.
    std::ignore = ini.load(iniPath);
    return {ini.readString(kSection, kXPlane), ini.readString(kSection, kFlightGear)};
}

bool writeSimSettings(const QString &iniPath, const SimSettings &settings)
{
    IniFile ini;
    if (!ini.load(iniPath))
        return false;
    // A kalyx.ini in windows-1251 cannot spell every folder; one it cannot
    // would come back as another folder, so it is not remembered.
    const auto write = [&ini](const QString &key, const QString &folder) {
        if (ini.encoding() != TextEncoding::Cp1251 || fromCp1251(toCp1251(folder)) == folder)
            ini.writeString(kSection, key, folder);
    };
    write(kXPlane, settings.xplaneAircraft);
    write(kFlightGear, settings.flightGearRoutes);
    return ini.save(iniPath);
}

} // namespace kx::interchange
