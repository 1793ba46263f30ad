#include "CliPrompter.h"
#include "Command.h"
#include "Console.h"

#include "base/Guard.h"
#include "base/Numbers.h"
#include "calc/CalculateRoute.h"
#include "geo/CoordText.h"
#include "geo/MagVar.h"
#include "store/Session.h"

namespace kx::cli {
namespace {

const char16_t kLegsSql[] =
    u"SELECT Points.Number, Punkts.ID, Points.IPU, Points.MPU, Points.S, Points.Sp, Points.P_V, Points.P_P, "
    u"Points.OZMPU_V, Points.OZMPU_P, Points.UKm, Points.Sm, Points.Zm, Points.Am, Points.Dm, Points.LUR "
    u"FROM Points LEFT JOIN Punkts ON Points.Punkt = Punkts.Code "
    u"WHERE Points.Route = ? ORDER BY Points.Number, Points.Code";

const char kLegsHeader[] = "Number,ID,IPU,MPU,S,Sp,P_V,P_P,OZMPU_V,OZMPU_P,UKm,Sm,Zm,Am,Dm,LUR";

void printError(const QString &text)
{
    ConsoleStream(stderr) << terminalText(text) << Qt::endl;
}

int calculate(CommandContext &context)
{
    qint64 code = 0;
    if (!selectRoute(context, &code))
        return ExitFailed;
    const int errorsBefore = context.prompter.errorCount();
    bool calculated = false;
    if (!runGuarded(context.prompter, nullptr,
                    [&] { calculated = calc::CalculateRoute(context.session, code, nullptr, nullptr); }))
        return ExitFailed;
    if (calculated)
        return ExitOk;
    // The one failure the calculation does not report itself: a point's row
    // vanished under it.
    if (context.prompter.errorCount() == errorsBefore)
        printError(QStringLiteral("Маршрут %1 не рассчитан!").arg(code));
    return ExitFailed;
}

// A stored value as CSV: empty for Null, numbers in their shortest form with
// the decimal point, text quoted when it has to be.
QString csvField(const QVariant &value)
{
    if (value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return QString::number(value.toLongLong());
    case QMetaType::Double:
        return generalNumber(value.toDouble());
    default:
        break;
    }
    QString text = value.toString();
    if (text.contains(u',') || text.contains(u'"') || text.contains(u'\n') || text.contains(u'\r'))
        text = u'"' + text.replace(u'"', QStringLiteral("\"\"")) + u'"';
    return text;
}

int legs(CommandContext &context)
{
    qint64 code = 0;
    if (!selectRoute(context, &code))
        return ExitFailed;
    store::Query q(context.session.ADOC, QStringLiteral("Points"));
    if (!q.open(QString::fromUtf16(kLegsSql), {code})) {
        printError(QStringLiteral("Ошибка открытия запроса [Points]!\n%1").arg(q.lastError()));
        return ExitFailed;
    }
    ConsoleStream out(stdout);
    out << kLegsHeader << '\n';
    for (int row = 0; row < q.rowCount(); ++row) {
        QStringList fields;
        for (int column = 0; column < q.columnNames().size(); ++column)
            fields.append(csvField(q.valueAt(row, column)));
        out << fields.join(u',') << '\n';
    }
    return ExitOk;
}

int magvar(CommandContext &context)
{
    const QString lat = context.args.at(0);
    const QString lon = context.args.at(1);
    for (const QString &text : {lat, lon}) {
        if (!geo::readCoordinate(text)) {
            printError(geo::badCoordinateText(text));
            return ExitFailed;
        }
    }
    if (geo::magdecOffset(lat, lon) < 0) {
        printError(QStringLiteral("Координаты %1 %2 вне справочника магнитных склонений").arg(lat, lon));
        return ExitFailed;
    }
    ConsoleStream(stdout) << generalNumber(geo::MagVar(context.session.settings.fsPath, lat, lon)) << '\n';
    return ExitOk;
}

} // namespace

void addCalcCommands(CommandSet &commands)
{
    commands.append({QStringLiteral("calc"), QStringLiteral("CODE"),
                     QStringLiteral("calculate the route and print the distance and the fork"), 1, 1, calculate});
    commands.append({QStringLiteral("legs"), QStringLiteral("CODE"),
                     QStringLiteral("print the route's points with their calculated values (CSV)"), 1, 1, legs});
    commands.append({QStringLiteral("magvar"), QStringLiteral("LAT LON"),
                     QStringLiteral("print the simulator's magnetic variation at a position (N57*20.00 E061*55.00)"),
                     2, 2, magvar});
}

} // namespace kx::cli
