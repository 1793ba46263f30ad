#pragma once

#include <QString>

#include <optional>

namespace kx {

// The settings held in memory for the whole run.
struct Settings
{
    QString fsPath;       // simulator folder, with its trailing separator
    QString plnPath;      // folder of the last imported flight plan, with its trailing separator
    int rsbnRange = 300;  // beacon search range, km

    friend bool operator==(const Settings &, const Settings &) = default;
};

// kalyx.ini in the program's folder, section SETUP.
//
// Several copies of the program may run on one program folder, each with the
// settings it read at its start. So that one copy does not undo what another
// wrote since, a copy writes only the keys whose values it changed itself
// since it last read or wrote the file (and any key the file lacks or holds
// in a form that does not read); every other key stays as the file has it.
class SettingsFile
{
public:
    static constexpr int kDefaultRsbnRange = 300;

    explicit SettingsFile(QString path) : m_path(std::move(path)) {}

    const QString &path() const { return m_path; }
    bool exists() const;
    // A new file of the three keys with their defaults.
    bool createDefaults();
    // The three keys, each missing or unreadable one as its default.
    Settings read();
    // Writes into section SETUP what changed (above), keeping every other line
    // of the file; the whole file when it was never read. False when the file
    // cannot be written (a read-only program folder).
    bool write(const Settings &settings);

private:
    QString m_path;
    std::optional<Settings> m_known; // the values as this copy last read or wrote them
};

} // namespace kx
