#include "Settings.h"

#include "IniFile.h"

#include <QFileInfo>

#include <tuple>

namespace kx {
namespace {
const QString kSection = QStringLiteral("SETUP");
const QString kFsPath = QStringLiteral("FSPath");
const QString kPlnPath = QStringLiteral("PLNPath");
const QString kRsbnRange = QStringLiteral("L_RSBN");
} // namespace

bool SettingsFile::exists() const
{
    return QFileInfo::exists(m_path);
}

bool SettingsFile::createDefaults() const
{
    return write(Settings{});
}

Settings SettingsFile::read() const
{
    IniFile ini;
    // A file that cannot be read gives the defaults, as a missing one does.
    std::ignore = ini.load(m_path);
    Settings s;
    s.fsPath = ini.readString(kSection, kFsPath);
    s.plnPath = ini.readString(kSection, kPlnPath);
    s.rsbnRange = ini.readInteger(kSection, kRsbnRange, kDefaultRsbnRange);
    return s;
}

bool SettingsFile::write(const Settings &settings) const
{
    IniFile ini;
    if (!ini.load(m_path))
        return false;
    ini.writeString(kSection, kFsPath, settings.fsPath);
    ini.writeString(kSection, kPlnPath, settings.plnPath);
    ini.writeInteger(kSection, kRsbnRange, settings.rsbnRange);
    return ini.save(m_path);
}

} // namespace kx
