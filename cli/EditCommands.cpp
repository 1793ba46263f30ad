// Making a route and changing its points from the command line: the same
// checks and the same statements as the route editor, each change one
// transaction, and the route marked as not calculated after it.
#include "CliPrompter.h"
#include "Command.h"

#include "editor/core/CalcMarker.h"
#include "editor/core/CatalogueLookup.h"
#include "editor/core/EditorTexts.h"
#include "editor/core/NewRoute.h"
#include "editor/core/PointEditing.h"
#include "editor/core/PointList.h"
#include "editor/core/RouteEditing.h"
#include "store/Session.h"

#include <QTextStream>

namespace kx::cli {
namespace {

namespace texts = editor::texts;

// Takes "--name VALUE" out of the arguments; false when the option is there
// without a value.
bool takeOption(QStringList &args, const QString &name, std::optional<QString> *value)
{
    const qsizetype at = args.indexOf(name);
    if (at < 0)
        return true;
    if (at + 1 >= args.size())
        return false;
    *value = args.at(at + 1);
    args.remove(at, 2);
    return true;
}

int usage(const QString &command, const QString &arguments)
{
    QTextStream(stderr) << "Usage: kalyx-cli " << command << ' ' << arguments << '\n';
    return ExitUsage;
}

// A whole number argument; nothing (and the usage printed) when it is not one.
std::optional<int> number(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// The route's points as the editor lists them, and the row of a Number in it.
struct RoutePoints
{
    explicit RoutePoints(store::Session &session) : list(session.ADOC) {}
    editor::PointList list;

    int rowOf(int pointNumber) const
    {
        for (int row = 0; row < list.rowCount(); ++row)
            if (list.query().valueAt(row, u"Points.Number").toInt() == pointNumber)
                return row + 1;
        return 0;
    }
    qint64 codeAt(int row) const { return list.query().valueAt(row - 1, u"Points.Code").toLongLong(); }
};

constexpr char kAddPointArguments[] = "CODE AFTER IDENT [--type T] [--region R]";
constexpr char kMovePointArguments[] = "CODE NUMBER IDENT [--type T] [--region R]";

// What add-point and move-point are given besides the route: a point's Number
// and the waypoint, by ident and, when given, by type and region.
struct WaypointArguments
{
    int pointNumber = 0;
    QString ident;
    std::optional<QString> type;
    std::optional<QString> region;
};

// Reads "CODE NUMBER IDENT [--type T] [--region R]" (the options anywhere)
// and leaves CODE NUMBER IDENT in context.args; nothing (and the usage
// printed) when they are not that.
std::optional<WaypointArguments> waypointArguments(CommandContext &context, const QString &command,
                                                   const char *synopsis)
{
    QStringList args = context.args;
    WaypointArguments read;
    if (!takeOption(args, QStringLiteral("--type"), &read.type)
        || !takeOption(args, QStringLiteral("--region"), &read.region) || args.size() != 3 || !number(args.at(1))) {
        usage(command, QString::fromLatin1(synopsis));
        return std::nullopt;
    }
    read.pointNumber = *number(args.at(1));
    read.ident = args.at(2);
    context.args = args;
    return read;
}

// The waypoint a command names: by ident, and by type and region when given.
qint64 waypointNamed(CommandContext &context, const WaypointArguments &named)
{
    std::optional<QVariant> type;
    if (named.type) {
        type = editor::typeNamed(*named.type);
        if (!type) {
            context.prompter.error(nullptr, texts::unknownWaypointType(*named.type));
            return 0;
        }
    }
    const QString &id = named.ident;
    bool failed = false;
    const QList<editor::CatalogueWaypoint> found =
        editor::findWaypoints(context.session, id, type, named.region, &failed);
    if (failed) {
        context.prompter.error(nullptr, texts::airportLookupFailed());
        return 0;
    }
    if (found.isEmpty()) {
        context.prompter.error(nullptr, texts::waypointNotFound(id));
        return 0;
    }
    if (found.size() > 1) {
        QStringList candidates;
        for (const editor::CatalogueWaypoint &w : found)
            candidates << w.description();
        context.prompter.error(nullptr, texts::waypointAmbiguous(id, candidates));
        return 0;
    }
    return found.first().code;
}

// Opens the route named by the first argument and its points.
bool openRoute(CommandContext &context, RoutePoints &points, qint64 *route)
{
    if (!selectRoute(context, route))
        return false;
    if (!points.list.open(*route)) {
        context.prompter.error(nullptr, texts::pointListOpenFailed());
        return false;
    }
    return true;
}

// After a change, done or not: the route is no longer calculated.
int marked(CommandContext &context, bool done)
{
    editor::CalcMarker marker;
    if (marker.mark(context.session, nullptr) == editor::CalcMarker::Result::Failed)
        return ExitFailed;
    return done ? ExitOk : ExitFailed;
}

int newRoute(CommandContext &context)
{
    QStringList args = context.args;
    std::optional<QString> level;
    if (!takeOption(args, QStringLiteral("--fl"), &level) || args.size() != 3)
        return usage(QStringLiteral("new-route"), QStringLiteral("NAME DEP ARR [--fl METRES]"));
    editor::NewRouteEntry entry{args.at(0), args.at(1), args.at(2), 0};
    if (level) {
        const std::optional<int> metres = number(*level);
        if (!metres)
            return usage(QStringLiteral("new-route"), QStringLiteral("NAME DEP ARR [--fl METRES]"));
        entry.fl = *metres;
    }
    const qint64 code = editor::createRoute(context.session, nullptr, entry);
    if (code == 0)
        return ExitFailed;
    QTextStream(stdout) << code << '\n';
    return ExitOk;
}

int addPoint(CommandContext &context)
{
    const std::optional<WaypointArguments> named =
        waypointArguments(context, QStringLiteral("add-point"), kAddPointArguments);
    if (!named)
        return ExitUsage;
    RoutePoints points(context.session);
    qint64 route = 0;
    if (!openRoute(context, points, &route))
        return ExitFailed;
    const int after = named->pointNumber;
    const int row = after == 0 && points.list.isEmpty() ? 0 : points.rowOf(after);
    if (row == 0 && !points.list.isEmpty()) {
        context.prompter.error(nullptr, texts::noSuchPoint(after));
        return ExitFailed;
    }
    if (!editor::canInsertAfter(row, points.list.rowCount())) {
        context.prompter.error(nullptr, texts::cannotInsertAfterLast());
        return ExitFailed;
    }
    const qint64 punkt = waypointNamed(context, *named);
    if (punkt == 0)
        return ExitFailed;
    return marked(context, editor::insertPointAfter(context.session, nullptr, route, after, punkt) != 0);
}

// The point of the second argument, which must be one the editor may change.
int changeablePoint(CommandContext &context, RoutePoints &points, qint64 *route, int *pointNumber)
{
    if (!openRoute(context, points, route))
        return 0;
    *pointNumber = *number(context.args.at(1));
    const int row = points.rowOf(*pointNumber);
    if (row == 0) {
        context.prompter.error(nullptr, texts::noSuchPoint(*pointNumber));
        return 0;
    }
    if (!editor::canChangePoint(row, points.list.rowCount())) {
        context.prompter.error(nullptr, texts::cannotChangeEnds());
        return 0;
    }
    return row;
}

int removePoint(CommandContext &context)
{
    if (!number(context.args.value(1)))
        return usage(QStringLiteral("remove-point"), QStringLiteral("CODE NUMBER"));
    RoutePoints points(context.session);
    qint64 route = 0;
    int pointNumber = 0;
    const int row = changeablePoint(context, points, &route, &pointNumber);
    if (row == 0)
        return ExitFailed;
    const QString id = points.list.query().valueAt(row - 1, u"Punkts.ID").toString();
    if (!context.prompter.ask(nullptr, texts::deletePointQuestion(pointNumber, id), true))
        return ExitFailed;
    return marked(context, editor::deletePoint(context.session, nullptr, route, points.codeAt(row), pointNumber));
}

int movePoint(CommandContext &context)
{
    const std::optional<WaypointArguments> named =
        waypointArguments(context, QStringLiteral("move-point"), kMovePointArguments);
    if (!named)
        return ExitUsage;
    RoutePoints points(context.session);
    qint64 route = 0;
    int pointNumber = 0;
    const int row = changeablePoint(context, points, &route, &pointNumber);
    if (row == 0)
        return ExitFailed;
    const qint64 punkt = waypointNamed(context, *named);
    if (punkt == 0)
        return ExitFailed;
    return marked(context, editor::replacePointWaypoint(context.session, nullptr, points.codeAt(row), punkt));
}

} // namespace

void addEditCommands(CommandSet &commands)
{
    commands.append({QStringLiteral("new-route"), QStringLiteral("NAME DEP ARR [--fl METRES]"),
                     QStringLiteral("make a route from airport DEP to ARR (idents), level in metres; prints its Code"), 3,
                     5, newRoute});
    commands.append({QStringLiteral("add-point"), QString::fromLatin1(kAddPointArguments),
                     QStringLiteral("insert waypoint IDENT after point AFTER (type A, N, V or I)"), 3, 7, addPoint});
    commands.append({QStringLiteral("remove-point"), QStringLiteral("CODE NUMBER"),
                     QStringLiteral("delete point NUMBER of the route (asks; --yes answers)"), 2, 2, removePoint});
    commands.append({QStringLiteral("move-point"), QString::fromLatin1(kMovePointArguments),
                     QStringLiteral("put point NUMBER on waypoint IDENT instead"), 3, 7, movePoint});
}

} // namespace kx::cli
