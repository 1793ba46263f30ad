#include "CliPrompter.h"
#include "Command.h"
#include "Console.h"

#include "geo/MagVar.h"
#include "store/Session.h"

namespace kx::cli {
namespace {

int listRoutes(CommandContext &context)
{
    store::Query &routes = context.session.QRoutes;
    ConsoleStream out(stdout);
    for (int row = 0; row < routes.rowCount(); ++row) {
        const bool calculated = !routes.valueAt(row, u"DateTime").isNull();
        out << routes.valueAt(row, u"Code").toLongLong() << '\t' << routes.valueAt(row, u"Name").toString() << '\t'
            << (calculated ? "calculated" : "not calculated") << '\n';
    }
    return ExitOk;
}

int status(CommandContext &context)
{
    store::Session &session = context.session;
    ConsoleStream out(stdout);
    out << "program folder: " << session.programFolder() << '\n'
        << "database: " << session.databasePath() << '\n'
        << "simulator folder: " << session.settings.fsPath << '\n'
        << "variation table: " << geo::magdecPath(session.settings.fsPath) << '\n'
        << "variation at N57*20.00 E061*55.00: "
        << geo::MagVar(session.settings.fsPath, QStringLiteral("N57*20.00"), QStringLiteral("E061*55.00")) << '\n'
        << "beacon search range: " << session.settings.rsbnRange << " km\n"
        << "routes: " << session.QRoutes.rowCount() << '\n';
    return ExitOk;
}

} // namespace

bool selectRoute(CommandContext &context, qint64 *code)
{
    const QString text = context.args.value(0);
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok || !context.session.QRoutes.locate(u"Code", value)) {
        context.prompter.error(nullptr, QStringLiteral("Маршрут %1 не найден").arg(text));
        return false;
    }
    if (code)
        *code = value;
    return true;
}

void addRouteCommands(CommandSet &commands)
{
    commands.append({QStringLiteral("status"), QString(),
                     QStringLiteral("show the program folder, database, simulator folder and route count"), 0, 0,
                     status});
    commands.append({QStringLiteral("routes"), QString(),
                     QStringLiteral("list the routes: Code, Name, calculated or not calculated (tab-separated)"), 0, 0,
                     listRoutes});
}

} // namespace kx::cli
