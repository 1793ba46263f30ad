#pragma once

#include "Database.h"
#include "InstanceLock.h"
#include "Query.h"
#include "Table.h"

#include "base/Settings.h"

#include <QString>

namespace kx {
class Prompter;
class BusyIndicator;
} // namespace kx

namespace kx::store {

// The shared work objects of a program run, owned by the main window (or the
// command-line tool) and borrowed by every command for one operation at a time:
// the connection ADOC, the statement objects Q2 and Q3, the table object AWork
// and the route list QRoutes, whose current row is the current route.
// Also holds the program folder, the settings and the seams to the person.
class Session
{
public:
    static constexpr char kDatabaseName[] = "kalyxdb.kdb";
    static constexpr char kScratchName[] = "temp.kdb";
    static constexpr char kSettingsName[] = "kalyx.ini";

    // programFolder: where kalyx.ini and kalyxdb.kdb live.
    Session(const QString &programFolder, Prompter &prompter, BusyIndicator *busy = nullptr);
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    const QString &programFolder() const { return m_folder; } // with its trailing separator
    QString databasePath() const { return m_folder + QLatin1String(kDatabaseName); }
    QString scratchPath() const { return m_folder + QLatin1String(kScratchName); }
    const SettingsFile &settingsFile() const { return m_settingsFile; }
    // Reads kalyx.ini into settings (the defaults when it is missing).
    void readSettings() { settings = m_settingsFile.read(); }
    // Writes into kalyx.ini the settings this copy changed since it read or
    // last wrote them (see SettingsFile).
    bool writeSettings() { return m_settingsFile.write(settings); }

    Prompter &prompter() const { return m_prompter; }
    BusyIndicator *busy() const { return m_busy; }

    // Opens the route list (closing it first). Its rows are ordered by name,
    // letter case ignored, then by total distance.
    bool openRoutes();
    // Re-reads the route list and makes the route with this code current again
    // (the first row when it is gone).
    bool reopenRoutesAt(const QVariant &code);
    // Code of the current route; an invalid QVariant when the list is empty.
    QVariant currentRouteCode() const;

    // Closes Q2, Q3, AWork and QRoutes, then the connection.
    void closeAll();

    Settings settings;
    Database ADOC;
    Query Q2;
    Query Q3;
    Table AWork;
    Query QRoutes;
    InstanceLock lock;

private:
    QString m_folder;
    SettingsFile m_settingsFile;
    Prompter &m_prompter;
    BusyIndicator *m_busy;
};

} // namespace kx::store
