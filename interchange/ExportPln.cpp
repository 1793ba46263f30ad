#include "ExportPln.h"

#include "ExportFailure.h"
#include "InterchangeTexts.h"
#include "PlnFormat.h"

#include "base/AtomicFile.h"
#include "base/Busy.h"
#include "base/Cp1251.h"
#include "base/FileError.h"
#include "base/Prompter.h"
#include "store/Session.h"

#include <cmath>

namespace kx::interchange {
namespace {

QString waypointsSql()
{
    return QStringLiteral("SELECT Points.Code, Points.Number, Points.Route, Punkts.Region, Punkts.ID, Punkts.Type, "
                          "Punkts.LAT, Punkts.LON, Punkts.H "
                          "FROM Points INNER JOIN Punkts ON Points.Punkt = Punkts.Code "
                          "WHERE Points.Route = ? "
                          "ORDER BY Points.Number");
}

QString textOf(const QVariant &value)
{
    return value.isNull() ? QString() : value.toString();
}

QString entry(const QString &key, const QString &value)
{
    return key + u'=' + value + QStringLiteral("\r\n");
}

// Elevations beyond this are no elevations; they would not fit the field.
constexpr double kMaxFeet = 1e15;

// The plan's text for the current route (before the code page); false with
// the message for a person when the route has no points or its waypoints
// cannot be read, or a value cannot be converted into the file's.
bool planText(store::Session &session, const QString &fileName, QString *text, QString *message)
{
    const store::Query &routes = session.QRoutes;
    if (routes.isEmpty()) {
        *message = texts::routeQueryFailed();
        return false;
    }
    const QString unusable = exportFailureText(fileName, texts::routeValuesUnusable());
    const QVariant fl = routes.value(u"FL");
    const QVariant routeType = routes.value(u"RouteType");
    bool flOk = false;
    bool typeOk = false;
    const double metres = fl.isNull() ? 0 : fl.toDouble(&flOk);
    const int type = routeType.isNull() ? 0 : routeType.toInt(&typeOk);
    if (!flOk || !typeOk || !std::isfinite(metres) || std::abs(metres) > kMaxFeet) {
        *message = unusable;
        return false;
    }

    const QString apV = textOf(routes.value(u"AP_V"));
    const QString apP = textOf(routes.value(u"AP_P"));
    QString plan = u'[' + QString::fromUtf16(kPlanSection) + QStringLiteral("]\r\n");
    plan += entry(QStringLiteral("AppVersion"), QString::fromUtf16(kPlanAppVersion));
    plan += entry(QStringLiteral("title"), apV + QStringLiteral(" to ") + apP);
    plan += entry(QStringLiteral("description"), apV + QStringLiteral(", ") + apP);
    plan += entry(QStringLiteral("type"), textOf(routes.value(u"Type")));
    plan += entry(QStringLiteral("routetype"), QString::number(type));
    plan += entry(QStringLiteral("cruising_altitude"), QString::number(cruisingAltitudeFeet(metres)));
    plan += entry(QStringLiteral("departure_id"), textOf(routes.value(u"Dep_ID")));
    plan += entry(QStringLiteral("departure_position"), textOf(routes.value(u"Dep_Pos")));
    plan += entry(QStringLiteral("destination_id"), textOf(routes.value(u"Dest_ID")));
    plan += entry(QStringLiteral("departure_name"), textOf(routes.value(u"Dep_Name")));
    plan += entry(QStringLiteral("destination_name"), textOf(routes.value(u"Dest_Name")));

    store::Query q(session.ADOC, QStringLiteral("Points"));
    if (!q.open(waypointsSql(), {routes.value(u"Code")})) {
        *message = texts::routeListFailed(q.lastError());
        return false;
    }
    if (q.isEmpty()) {
        *message = texts::routeQueryFailed();
        return false;
    }
    for (int row = 0; row < q.rowCount(); ++row) {
        const QVariant h = q.valueAt(row, u"H");
        bool hOk = true;
        const double feet = h.isNull() ? 0 : h.toDouble(&hOk);
        if (!hOk || !std::isfinite(feet) || std::abs(feet) > kMaxFeet) {
            *message = unusable;
            return false;
        }
        plan += entry(QStringLiteral("waypoint.") + QString::number(row),
                      waypointLine(textOf(q.valueAt(row, u"Region")), textOf(q.valueAt(row, u"Punkts.ID")),
                                   q.valueAt(row, u"Type"), textOf(q.valueAt(row, u"LAT")),
                                   textOf(q.valueAt(row, u"LON")), feet));
    }
    *text = plan;
    return true;
}

} // namespace

bool ExportPLN(store::Session &session, const QString &fileName, QObject *owner)
{
    BusyGuard busy(session.busy());
    QString text;
    QString message;
    if (!planText(session, fileName, &text, &message)) {
        busy.restoreNow();
        session.prompter().error(owner, message);
        return false;
    }
    FileFailure failure;
    if (!writeFileAtomically(fileName, toCp1251(text), &failure)) {
        busy.restoreNow();
        session.prompter().error(owner, exportFailureText(fileName, failure));
        return false;
    }
    return true;
}

} // namespace kx::interchange
