#include "CliPrompter.h"
#include "Command.h"
#include "Console.h"

#include "base/Guard.h"
#include "interchange/ExportI21.h"
#include "interchange/ExportNvu.h"
#include "interchange/ExportPln.h"
#include "interchange/ImportPln.h"
#include "interchange/InterchangeTexts.h"
#include "interchange/PlnFormat.h"
#include "reports/core/RouteSheet.h"
#include "store/Session.h"

#include <QDir>
#include <QFileInfo>

namespace kx::cli {
namespace {

namespace texts = interchange::texts;

QString absolutePath(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

int import(CommandContext &context)
{
    qint64 code = 0;
    if (!runGuarded(context.prompter, nullptr,
                    [&] { code = interchange::ImportPLN(context.session, absolutePath(context.args.at(0)), nullptr); }))
        return ExitFailed;
    if (code == 0)
        return ExitFailed;
    ConsoleStream(stdout) << code << Qt::endl;
    return ExitOk;
}

qint64 routePointCount(store::Session &session, qint64 route)
{
    store::Query q(session.ADOC, QStringLiteral("Points"));
    const bool ok = q.open(QStringLiteral("SELECT count(*) AS Points FROM Points INNER JOIN Punkts "
                                          "ON Points.Punkt = Punkts.Code WHERE Points.Route = ?"),
                           {route});
    return ok ? q.value(u"Points").toLongLong() : 0;
}

// Makes the route of the command line's CODE the current route, as the route
// editor has it when its export buttons run: it must exist, have points and
// be calculated. False after the reason was printed.
bool exportableRoute(CommandContext &context)
{
    qint64 code = 0;
    if (!selectRoute(context, &code))
        return false;
    if (routePointCount(context.session, code) == 0) {
        context.prompter.error(nullptr, QStringLiteral("В маршруте %1 нет ни одного ППМ").arg(code));
        return false;
    }
    if (context.session.QRoutes.value(u"DateTime").isNull()) {
        context.prompter.error(nullptr, texts::notCalculated());
        return false;
    }
    return true;
}

int exportPln(CommandContext &context)
{
    if (!exportableRoute(context))
        return ExitFailed;
    const QString path = interchange::withPlanExtension(absolutePath(context.args.at(1)));
    if (QFileInfo::exists(path) && !context.prompter.ask(nullptr, texts::replaceFileQuestion(path), true))
        return ExitFailed;
    if (!interchange::ExportPLN(context.session, path, nullptr))
        return ExitFailed;
    context.prompter.info(nullptr, texts::withWrittenFile(texts::exportDone(), path));
    return ExitOk;
}

int exportNvu(CommandContext &context)
{
    bool ok = false;
    const int cell = context.args.at(1).toInt(&ok);
    if (!ok || cell < 1 || cell > interchange::kNvuCellCount) {
        ConsoleStream(stderr) << "kalyx-cli export-nvu: the cell number must be 1 to 20\n";
        return ExitUsage;
    }
    if (!exportableRoute(context))
        return ExitFailed;
    store::Query qp(context.session.ADOC, QStringLiteral("QP"));
    if (!interchange::ExportNVU(context.session, qp, cell, nullptr, nullptr))
        return ExitFailed;
    context.prompter.info(nullptr, texts::withWrittenFile(texts::cellExportDone(cell),
                                                          interchange::nvuCellPath(context.session.settings.fsPath, cell)));
    return ExitOk;
}

int exportI21(CommandContext &context)
{
    if (!exportableRoute(context))
        return ExitFailed;
    store::Query qp(context.session.ADOC, QStringLiteral("QP"));
    if (!interchange::ExportI21(context.session, qp, nullptr))
        return ExitFailed;
    context.prompter.info(nullptr, texts::withWrittenFile(texts::exportDone(),
                                                          interchange::i21GaugeFile(context.session.settings.fsPath)));
    return ExitOk;
}

int report(CommandContext &context)
{
    if (!exportableRoute(context))
        return ExitFailed;
    store::Query qp(context.session.ADOC, QStringLiteral("QP"));
    QString detail;
    if (!reports::writeRouteSheetPdf(context.session, qp, nullptr, absolutePath(context.args.at(1)), &detail)) {
        // The layout's reason is part of the message already.
        if (!detail.isEmpty() && !context.prompter.lastError().contains(detail))
            ConsoleStream(stderr) << detail << Qt::endl;
        return ExitFailed;
    }
    return ExitOk;
}

} // namespace

void addInterchangeCommands(CommandSet &commands)
{
    commands.append({QStringLiteral("import"), QStringLiteral("FILE"),
                     QStringLiteral("import a flight plan (*.PLN of FS2004 or XML, X-Plane .fms, FlightGear route) "
                                    "as a new route and print the route's Code"),
                     1, 1, import});
    commands.append({QStringLiteral("export-pln"), QStringLiteral("CODE FILE"),
                     QStringLiteral("write the calculated route as a flight plan (--yes replaces a file)"), 2, 2,
                     exportPln});
    commands.append({QStringLiteral("export-nvu"), QStringLiteral("CODE N"),
                     QStringLiteral("write the calculated route into the Tu-154 NVU cell N (1 to 20)"), 2, 2,
                     exportNvu});
    commands.append({QStringLiteral("export-i21"), QStringLiteral("CODE"),
                     QStringLiteral("write the calculated route's points into the I-21 gauge's list"), 1, 1,
                     exportI21});
    commands.append({QStringLiteral("report"), QStringLiteral("CODE FILE.pdf"),
                     QStringLiteral("write the calculated route's printed route sheet (layout pp.fr3) as PDF"), 2, 2,
                     report});
}

} // namespace kx::cli
