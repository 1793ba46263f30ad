#include "Startup.h"

#include "ShellTexts.h"

#include "base/Busy.h"
#include "base/Prompter.h"
#include "geo/MagVar.h"
#include "store/Compaction.h"
#include "store/Schema.h"
#include "store/Session.h"
#include "store/StoreTexts.h"

#include <QFileInfo>

#include <tuple>

namespace kx::shell {
namespace {

bool tableExists(const QString &fsPath)
{
    return QFileInfo(geo::magdecPath(fsPath)).isFile();
}

// Step 5: the simulator folder is accepted when its table exists; otherwise the
// chooser is shown until the user picks a folder whose table reads as one, or
// cancels.
bool settleSimulatorFolder(store::Session &session, const StartupOptions &options)
{
    QString &fsPath = session.settings.fsPath;
    if (tableExists(fsPath))
        return true;
    if (!options.chooser) {
        session.prompter().error(options.owner, texts::variationTableNotFound(geo::magdecPath(fsPath)));
        return false;
    }
    return askSimulatorFolder(session, *options.chooser, options.owner);
}

} // namespace

bool askSimulatorFolder(store::Session &session, FolderChooser &chooser, QObject *owner)
{
    Prompter &prompter = session.prompter();
    QString &fsPath = session.settings.fsPath;
    const QString before = fsPath;
    for (;;) {
        fsPath = chooser.choose(fsPath);
        if (fsPath.isEmpty()) {
            // Nothing chosen: the folder stays as it was, and nothing is written.
            fsPath = before;
            return false;
        }
        if (!tableExists(fsPath)) {
            prompter.error(owner, texts::variationTableNotFound(geo::magdecPath(fsPath)));
            continue;
        }
        if (!geo::isVariationTable(fsPath)) {
            prompter.error(owner, texts::notAVariationTable(geo::magdecPath(fsPath)));
            continue;
        }
        return true;
    }
}

StartupResult runStartup(store::Session &session, const StartupOptions &options)
{
    BusyGuard busy(session.busy());
    Prompter &prompter = session.prompter();

    // A missing settings file reads as the defaults; it is written once the
    // simulator folder is settled, so that a start cancelled in the chooser
    // leaves nothing behind.
    session.readSettings();
    if (!options.fsOverride.isEmpty())
        session.settings.fsPath = options.fsOverride;

    const QString databasePath = session.databasePath();
    if (!QFileInfo(databasePath).isFile()) {
        prompter.error(options.owner, texts::databaseNotFound(databasePath));
        return StartupResult::EndRequested;
    }

    const bool accepted = settleSimulatorFolder(session, options);
    if (!accepted && !options.chooser)
        return StartupResult::EndRequested;
    // The folder chosen just now survives even if the program is stopped
    // abruptly. A start cancelled in the chooser writes nothing; a program
    // folder that cannot be written keeps the choice for this run.
    if (accepted && options.writeSettings)
        std::ignore = session.writeSettings();

    session.ADOC.close();
    // The exclusive lock says no other copy of the program, window or command
    // line, is running: only then may the file be replaced or its schema
    // changed. Otherwise this copy waits while another one holds it (which
    // is replacing the file right now) and then works on the file as it is.
    // Either way it holds the shared lock from here to its end, so that no
    // later copy replaces the file under it.
    // No lock at all can be had in a folder that cannot be written and holds
    // no lock file; the database there opens read-only, so no copy replaces
    // it either.
    const bool alone = session.lock.tryLockExclusive();
    if (!alone)
        std::ignore = session.lock.lockShared();
    // A file with little to give back is not copied whole at every start. A
    // compaction that fails leaves the database as it was, and says nothing.
    if (alone && options.compact) {
        if (store::isWorthCompacting(databasePath))
            std::ignore = store::compactDatabase(databasePath, session.scratchPath());
        else
            store::removeScratchCopy(session.scratchPath());
    }
    const bool opened = session.ADOC.open(databasePath);
    const int version = opened ? store::schemaVersion(session.ADOC) : -1;
    if (opened && alone && version >= 0 && version < store::kSchemaVersion && !session.ADOC.isReadOnly()) {
        // A failed upgrade leaves the file as it was, which this program still
        // reads and writes; the next start tries again.
        QString why;
        if (!store::upgradeSchema(session.ADOC, &why))
            qWarning("database schema not upgraded: %s", qPrintable(why));
    }
    // Should the exclusive lock not turn into a shared one, this copy keeps
    // it: other copies then wait at their start, which is safe, rather than
    // get in while nothing guards the file.
    if (alone)
        std::ignore = session.lock.lockShared();
    if (!opened) {
        prompter.error(options.owner, texts::connectionFailed());
        return StartupResult::EndRequested;
    }
    if (version > store::kSchemaVersion) {
        session.ADOC.close();
        prompter.error(options.owner, store::newerSchemaMessage(databasePath, version));
        return StartupResult::EndRequested;
    }
    if (!session.openRoutes()) {
        prompter.error(options.owner, store::texts::queryOpenFailed(QStringLiteral("Routes")));
    }
    return accepted ? StartupResult::Running : StartupResult::EndRequested;
}

} // namespace kx::shell
