#pragma once

#include <QString>

namespace kx {

// The settings held in memory for the whole run.
struct Settings
{
    QString fsPath;       // simulator folder, with its trailing separator
    QString plnPath;      // folder of the last imported flight plan, with its trailing separator
    int rsbnRange = 300;  // beacon search range, km
};

// kalyx.ini in the program's folder, section SETUP.
class SettingsFile
{
public:
    static constexpr int kDefaultRsbnRange = 300;

    explicit SettingsFile(QString path) : m_path(std::move(path)) {}

    const QString &path() const { return m_path; }
    bool exists() const;
    [[nodiscard]] bool createDefaults() const;
    Settings read() const;
    // Writes the three values into section SETUP, keeping every other line of the
    // file. False when the file cannot be written (a read-only program folder).
    [[nodiscard]] bool write(const Settings &settings) const;

private:
    QString m_path;
};

} // namespace kx
