// kalyx-cli: the program's commands without windows, for scripts and tests.
#include "CliPrompter.h"
#include "Command.h"
#include "Console.h"

#include "base/Error.h"
#include "base/Platform.h"
#include "base/SimPath.h"
#include "shell/core/Startup.h"
#include "store/Session.h"

#include <QGuiApplication>
#include <QDir>

namespace {

using namespace kx::cli;

// Qt's own notes about the platform (such as a missing XDG_RUNTIME_DIR with
// the offscreen platform, or a display scaling mode Windows refuses) are not
// the command's output.
void quietMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtDebugMsg || type == QtInfoMsg || message.startsWith(QLatin1String("QStandardPaths:"))
        || (type == QtWarningMsg && context.category && qstrncmp(context.category, "qt.qpa.", 7) == 0))
        return;
    ConsoleStream(stderr) << qFormatLogMessage(type, context, message) << Qt::endl;
}

void printHelp(const CommandSet &commands, QTextStream &out)
{
    out << "Usage: kalyx-cli [--dir PROGRAM_FOLDER] [--fs SIMULATOR_FOLDER] [--yes] COMMAND ARGS...\n\n"
           "  --dir  folder of kalyx.ini and kalyxdb.kdb (default: the executable's folder)\n"
           "  --fs   simulator (FS2004) folder for this run, instead of FSPath in kalyx.ini\n"
           "  --yes  answer Yes to the program's questions\n\n"
           "Commands:\n";
    constexpr int kColumn = 28;
    for (const Command &c : commands) {
        const QString synopsis = c.name + u' ' + c.arguments;
        // A synopsis too long for its column puts the help under it.
        if (synopsis.size() < kColumn)
            out << "  " << synopsis.leftJustified(kColumn) << c.help << '\n';
        else
            out << "  " << synopsis << '\n' << QString(kColumn + 2, u' ') << c.help << '\n';
    }
    out << "\nExit codes: 0 done, 1 the command failed (message on stderr), 2 wrong command line, "
           "3 start-up failed.\n"
           "Output: UTF-8 when written to a file or a pipe; in a Windows console window as its\n"
           "characters, whatever the console's code page. Arguments are taken as typed, Cyrillic included.\n";
}

} // namespace

int main(int argc, char *argv[])
{
    // Printing a route sheet lays text out with fonts, which needs a GUI
    // application; without a display it uses Qt's offscreen platform. Windows
    // always has its desktop (and the package ships only the windows platform).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !kx::platform::hasDesktop())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kalyx-cli"));

    CommandSet commands;
    addRouteCommands(commands);
    addEditCommands(commands);
    addCalcCommands(commands);
    addInterchangeCommands(commands);
    addMapCommands(commands);
    addCatalogueCommands(commands);
    addSimCommands(commands);

    // As the person typed them: on Windows Qt takes the arguments from the
    // wide command line (GetCommandLineW), not from the code page's argv.
    QStringList args = app.arguments().mid(1);
    QString folder = QCoreApplication::applicationDirPath();
    QString fsOverride;
    bool yes = false;
    ConsoleStream err(stderr);
    while (!args.isEmpty() && args.first().startsWith(QStringLiteral("--"))) {
        const QString option = args.takeFirst();
        if (option == u"--help") {
            ConsoleStream out(stdout);
            printHelp(commands, out);
            return ExitOk;
        }
        if (option == u"--yes") {
            yes = true;
        } else if ((option == u"--dir" || option == u"--fs") && !args.isEmpty()) {
            (option == u"--dir" ? folder : fsOverride) = args.takeFirst();
        } else {
            err << "kalyx-cli: unknown option or missing value: " << option << "\n\n";
            printHelp(commands, err);
            return ExitUsage;
        }
    }
    if (args.isEmpty()) {
        printHelp(commands, err);
        return ExitUsage;
    }
    const QString name = args.takeFirst();
    const auto command = std::find_if(commands.cbegin(), commands.cend(), [&](const Command &c) { return c.name == name; });
    if (command == commands.cend()) {
        err << "kalyx-cli: unknown command: " << name << "\n\n";
        printHelp(commands, err);
        return ExitUsage;
    }
    if (args.size() < command->minArgs || args.size() > command->maxArgs) {
        err << "Usage: kalyx-cli " << command->name << ' ' << command->arguments << '\n';
        return ExitUsage;
    }

    CliPrompter prompter(yes);
    kx::store::Session session(QDir(folder).absolutePath(), prompter);
    kx::shell::StartupOptions options;
    options.compact = false;       // compaction belongs to the program's own start
    options.writeSettings = false; // a --fs folder is for this run only
    if (!fsOverride.isEmpty())
        options.fsOverride = kx::withTrailingSeparator(QDir(fsOverride).absolutePath());
    if (kx::shell::runStartup(session, options) != kx::shell::StartupResult::Running || prompter.errorCount() > 0)
        return ExitStartup;

    CommandContext context{session, prompter, args};
    try {
        return command->run(context);
    } catch (const std::exception &e) {
        // An error no command handled itself: its own text, as the program shows it.
        prompter.error(nullptr, kx::errorText(e));
        return ExitFailed;
    }
}
