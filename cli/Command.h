#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace kx::store {
class Session;
}

namespace kx::cli {

class CliPrompter;

// What a command gets: the started session (database open, route list open,
// settings read, simulator folder settled), its arguments, and the prompter.
struct CommandContext
{
    store::Session &session;
    CliPrompter &prompter;
    QStringList args;
};

// Exit codes shared by every command.
enum ExitCode {
    ExitOk = 0,
    ExitFailed = 1,   // the command reported a failure (its message is on stderr)
    ExitUsage = 2,    // wrong command line
    ExitStartup = 3,  // the start-up failed (database, settings, simulator folder)
};

struct Command
{
    QString name;
    QString arguments;   // e.g. "CODE"
    QString help;        // one line
    int minArgs = 0;
    int maxArgs = 0;
    std::function<int(CommandContext &)> run;
};

using CommandSet = QList<Command>;

// Makes the route named by the command's first argument (its Code) the current
// route of the route list; false, with "Маршрут CODE не найден" on stderr, when
// there is none.
[[nodiscard]] bool selectRoute(CommandContext &context, qint64 *code = nullptr);

// Each group of commands registers itself here (one function per file).
void addRouteCommands(CommandSet &commands);
void addCalcCommands(CommandSet &commands);
void addInterchangeCommands(CommandSet &commands);
void addMapCommands(CommandSet &commands);
void addCatalogueCommands(CommandSet &commands);
void addSimCommands(CommandSet &commands);
void addEditCommands(CommandSet &commands);

} // namespace kx::cli
