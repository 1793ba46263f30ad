#pragma once

#include <QString>

class QObject;

namespace kx::store {
class Session;
}

namespace kx::shell {

// The simulator folder chooser as the start-up sequence sees it.
class FolderChooser
{
public:
    virtual ~FolderChooser() = default;
    // Shows the chooser opened at the current simulator folder and returns the
    // simulator folder as it stands after the chooser closed: the chosen folder
    // with its trailing separator, empty when the user cancelled, or current
    // unchanged when the chooser was closed by its window's close button.
    virtual QString choose(const QString &current) = 0;
};

struct StartupOptions
{
    QObject *owner = nullptr;          // owner of the messages
    FolderChooser *chooser = nullptr;  // none: a missing table ends the start-up
    bool compact = true;               // compact the database before opening it, when worth it
    bool writeSettings = true;         // write the settings once the folder is settled
    QString fsOverride;                // non-empty: the simulator folder for this run only
};

enum class StartupResult {
    Running,      // the route list is open, or could not be opened (the list stays empty)
    EndRequested, // the program is to end
};

// The start-up sequence: settings (the defaults when the file is missing),
// the database file, the simulator folder (asking for it until its variation
// table is found and reads as one), settings written (unless the person
// cancelled the chooser: then nothing is written), the instance lock,
// compaction when the file has enough free pages to give back (otherwise only
// a left-over scratch copy goes) and the upgrade of an older schema (only by a
// copy of the program that runs alone: the exclusive instance lock), the
// connection, the route
// list. A database of a newer schema than the program knows ends the program
// with a message. The session holds the shared instance lock from then on.
// Shows its messages through the session's prompter; the busy cursor is on for
// the whole sequence.
[[nodiscard]] StartupResult runStartup(store::Session &session, const StartupOptions &options);

// The chooser, shown until the person picks a folder whose variation table
// reads as one (true: the session's simulator folder is that folder) or
// cancels (false: the simulator folder stays as it was). Writes nothing.
bool askSimulatorFolder(store::Session &session, FolderChooser &chooser, QObject *owner);

} // namespace kx::shell
