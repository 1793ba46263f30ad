#include "Settings.h"

#include "IniFile.h"

#include <QFileInfo>

namespace kx {
namespace {
const QString kSection = QStringLiteral("SETUP");
const QString kFsPath = QStringLiteral("FSPath");
const QString kPlnPath = QStringLiteral("PLNPath");
const QString kRsbnRange = QStringLiteral("L_RSBN");

Settings readFrom(const IniFile &ini)
{
    Settings s;
    s.fsPath = ini.readString(kSection, kFsPath);
    s.plnPath = ini.readString(kSection, kPlnPath);
    s.rsbnRange = ini.readInteger(kSection, kRsbnRange, SettingsFile::kDefaultRsbnRange);
    return s;
}

// A key the file lacks, or whose text does not read as a value (a range that
// is not a whole number), is written whoever changed it.
bool missing(const IniFile &ini, const QString &key)
{
    const QString none = QStringLiteral("\n"); // a value no line can hold
    const QString text = ini.readString(kSection, key, none);
    int number = 0;
    return text == none || (key == kRsbnRange && !parseWholeNumber(text, &number));
}

} // namespace

bool SettingsFile::exists() const
{
    return QFileInfo::exists(m_path);
}

bool SettingsFile::createDefaults()
{
    m_known.reset();
    return write(Settings{});
}

Settings SettingsFile::read()
{
    IniFile ini;
    ini.load(m_path);
    m_known = readFrom(ini);
    return *m_known;
}

bool SettingsFile::write(const Settings &settings)
{
    IniFile ini;
    if (!ini.load(m_path))
        return false;
    const auto take = [&](const QString &key, bool changed) { return !m_known || changed || missing(ini, key); };
    bool any = false;
    if (take(kFsPath, settings.fsPath != m_known.value_or(Settings{}).fsPath)) {
        ini.writeString(kSection, kFsPath, settings.fsPath);
        any = true;
    }
    if (take(kPlnPath, settings.plnPath != m_known.value_or(Settings{}).plnPath)) {
        ini.writeString(kSection, kPlnPath, settings.plnPath);
        any = true;
    }
    if (take(kRsbnRange, settings.rsbnRange != m_known.value_or(Settings{}).rsbnRange)) {
        ini.writeInteger(kSection, kRsbnRange, settings.rsbnRange);
        any = true;
    }
    // Nothing to change: the file stays as it is, byte for byte.
    if (any && !ini.save(m_path))
        return false;
    m_known = settings;
    return true;
}

} // namespace kx
