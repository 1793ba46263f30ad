#include "SimRoute.h"

#include "RoutePointsQuery.h"
#include "SimTexts.h"

#include "geo/DecimalCoord.h"
#include "geo/Rounding.h"
#include "store/Session.h"

#include <cmath>
#include <optional>

namespace kx::interchange {
namespace {

QString textOf(const QVariant &value) { return value.isNull() ? QString() : value.toString(); }

std::optional<double> numberOf(const QVariant &value)
{
    if (value.isNull())
        return std::nullopt;
    bool ok = false;
    const double d = value.toDouble(&ok);
    return ok && std::isfinite(d) ? std::optional<double>(d) : std::nullopt;
}

// Latitudes beyond the poles and longitudes beyond the date line are not
// positions any simulator can fly to.
std::optional<QString> degreesOf(const QVariant &text, double limit)
{
    const std::optional<QString> degrees = geo::decimalFromCoordinate(textOf(text), 6);
    if (!degrees || std::abs(degrees->toDouble()) > limit)
        return std::nullopt;
    return degrees;
}

// The catalogue's type as the program writes it, whatever the letter case a
// database edited by other means holds; empty for any other.
QString catalogueTypeName(const QString &type)
{
    for (const char16_t *name : {u"Airport", u"NDB", u"VOR"})
        if (type.trimmed().compare(QStringView(name), Qt::CaseInsensitive) == 0)
            return QString::fromUtf16(name);
    return QString();
}

} // namespace

bool SimPoint::hasFileIdent() const
{
    if (id.isEmpty())
        return false;
    for (const QChar c : id)
        if (c.isSpace())
            return false;
    return true;
}

QString SimPoint::fileIdent() const
{
    if (hasFileIdent())
        return id;
    const auto part = [](const QString &degrees, int width) {
        const double value = degrees.toDouble();
        return (value < 0 ? u'-' : u'+')
               + QStringLiteral("%1").arg(std::abs(value), width + 4, 'f', 3, QLatin1Char('0'));
    };
    return part(lat, 2) + u'_' + part(lon, 3);
}

QString SimRoute::airportPair() const
{
    const QString from = departure.isEmpty() && !points.isEmpty() ? points.first().id : departure;
    const QString to = destination.isEmpty() && !points.isEmpty() ? points.last().id : destination;
    return from + u'-' + to;
}

bool readSimRoute(store::Session &session, SimRoute *route, QString *why, QString *dbError)
{
    why->clear();
    dbError->clear();
    const store::Query &routes = session.QRoutes;
    if (routes.isEmpty()) {
        *why = texts::routeTooShort();
        return false;
    }
    SimRoute r;
    r.name = textOf(routes.value(u"Name"));
    r.departure = textOf(routes.value(u"AP_V")).trimmed();
    r.destination = textOf(routes.value(u"AP_P")).trimmed();
    r.departureName = textOf(routes.value(u"Dep_Name"));
    r.destinationName = textOf(routes.value(u"Dest_Name"));
    r.totalKm = numberOf(routes.value(u"S")).value_or(0);

    store::Query qp(session.ADOC, QStringLiteral("QP"));
    if (!openRoutePoints(qp, routes.value(u"Code").toLongLong())) {
        *dbError = qp.lastError();
        return false;
    }
    if (qp.rowCount() < 2) {
        *why = texts::routeTooShort();
        return false;
    }
    for (int row = 0; row < qp.rowCount(); ++row) {
        SimPoint p;
        p.id = textOf(qp.valueAt(row, u"Punkts.ID")).trimmed();
        p.type = catalogueTypeName(textOf(qp.valueAt(row, u"Type")));
        const std::optional<QString> lat = degreesOf(qp.valueAt(row, u"LAT"), 90);
        const std::optional<QString> lon = degreesOf(qp.valueAt(row, u"LON"), 180);
        if (!lat || !lon) {
            *why = texts::pointWithoutPosition(row + 1, p.id);
            return false;
        }
        p.lat = *lat;
        p.lon = *lon;
        p.feet = numberOf(qp.valueAt(row, u"H")).value_or(0);
        r.points.append(p);
    }
    // The leg from point k to point k + 1 is stored in the row of point k.
    for (int row = 0; row + 1 < qp.rowCount(); ++row) {
        const std::optional<double> length = numberOf(qp.valueAt(row, u"S"));
        const std::optional<double> course = numberOf(qp.valueAt(row, u"OZMPU_V"));
        if (!length || !course) {
            *why = texts::legNotCalculated(row + 1, r.points.at(row).id, r.points.at(row + 1).id);
            return false;
        }
        r.legs.append({std::abs(geo::roundFractionToTenth(*length)), geo::roundFractionToTenth(*course)});
    }
    *route = r;
    return true;
}

} // namespace kx::interchange
