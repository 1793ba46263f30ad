#include "DemoRouteLoader.h"

#include "base/IniFile.h"
#include "geo/CoordText.h"
#include "interchange/PlnFormat.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace kx::dbbuild {

using interchange::typeOfLetter;

DemoRouteLoader::DemoRouteLoader(QSqlDatabase db) : m_db(std::move(db)) {}

bool DemoRouteLoader::load(const QString &planPath, QString *error)
{
    const QString fileName = QFileInfo(planPath).fileName();
    auto fail = [&](const QString &text) {
        *error = QStringLiteral("%1: %2").arg(planPath, text);
        return false;
    };

    QFile file(planPath);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    const QString text = decodeTextFile(file.readAll()).text;
    const IniFile plan(text);
    const QString section = QStringLiteral("flightplan");
    if (!plan.hasSection(section))
        return fail(QStringLiteral("no [flightplan] section"));
    const int last = interchange::lastWaypointIndexOfLines(splitTextLines(text));
    if (last < 1)
        return fail(QStringLiteral("the last line must be the line of the last waypoint, of two or more"));

    // Every waypoint first, so that a bad plan adds no route at all.
    QList<qint64> punkts;
    for (int k = 0; k <= last; ++k) {
        const QString line = plan.readString(section, QStringLiteral("waypoint.%1").arg(k));
        if (line.isEmpty())
            return fail(QStringLiteral("waypoint.%1 is missing").arg(k));
        const interchange::PlanWaypoint w = interchange::parseWaypointLine(line);
        if (!w.problem.isEmpty())
            return fail(QStringLiteral("waypoint.%1: %2").arg(k).arg(w.problem));
        if (typeOfLetter(w.typeLetter).isNull())
            return fail(QStringLiteral("waypoint.%1 (%2) is of no catalogue type").arg(k).arg(w.id));
        // Stricter than the import: the sample plans must name catalogue
        // waypoints exactly, ident, type and position as the catalogue has them.
        QSqlQuery q(m_db);
        q.prepare(QStringLiteral("SELECT Code, LAT, LON FROM Punkts WHERE ID = ? AND Type = ? ORDER BY Code LIMIT 1"));
        q.addBindValue(w.id);
        q.addBindValue(typeOfLetter(w.typeLetter));
        if (!q.exec())
            return fail(q.lastError().text());
        if (!q.next())
            return fail(QStringLiteral("waypoint.%1 (%2 %3 at %4 %5) is not in the catalogue")
                            .arg(k)
                            .arg(w.id, typeOfLetter(w.typeLetter).toString(), w.lat, w.lon));
        const qint64 code = q.value(QStringLiteral("Code")).toLongLong();
        if (q.value(QStringLiteral("LAT")).toString() != w.lat || q.value(QStringLiteral("LON")).toString() != w.lon)
            return fail(QStringLiteral("waypoint.%1 (%2) lies at %3 %4, the catalogue has %5 %6")
                            .arg(k)
                            .arg(w.id, w.lat, w.lon, q.value(QStringLiteral("LAT")).toString(), q.value(QStringLiteral("LON")).toString()));
        if (w.typeLetter == u'A') {
            QSqlQuery elevation(m_db);
            elevation.prepare(QStringLiteral("SELECT H FROM Punkts WHERE Code = ?"));
            elevation.addBindValue(code);
            if (!elevation.exec() || !elevation.next())
                return fail(elevation.lastError().text());
            if (w.h != elevation.value(0).toDouble())
                return fail(QStringLiteral("waypoint.%1 (%2) has altitude %3, the airport's elevation is %4")
                                .arg(k)
                                .arg(w.id)
                                .arg(w.h)
                                .arg(elevation.value(0).toDouble()));
        }
        punkts.append(code);
    }

    const QString departure = plan.readString(section, QStringLiteral("departure_id"));
    const QString destination = plan.readString(section, QStringLiteral("destination_id"));
    const int feet = plan.readInteger(section, QStringLiteral("cruising_altitude"), 0);
    QSqlQuery route(m_db);
    route.prepare(QStringLiteral("INSERT INTO Routes (Name, FL, Type, RouteType, AP_V, AP_P, Dep_ID, Dep_Name, "
                                 "Dep_Pos, Dest_ID, Dest_Name) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    // The route is named after the file, without its last extension.
    route.addBindValue(interchange::routeNameOf(fileName));
    route.addBindValue(interchange::cruisingLevelMetres(feet));
    route.addBindValue(plan.readString(section, QStringLiteral("type")));
    route.addBindValue(plan.readInteger(section, QStringLiteral("routetype"), 0));
    route.addBindValue(geo::FieldBeforeComma(departure));
    route.addBindValue(geo::FieldBeforeComma(destination));
    route.addBindValue(departure);
    route.addBindValue(plan.readString(section, QStringLiteral("departure_name")));
    route.addBindValue(plan.readString(section, QStringLiteral("departure_position")));
    route.addBindValue(destination);
    route.addBindValue(plan.readString(section, QStringLiteral("destination_name")));
    if (!route.exec())
        return fail(route.lastError().text());
    const qint64 routeCode = route.lastInsertId().toLongLong();

    for (int k = 0; k < punkts.size(); ++k) {
        QSqlQuery point(m_db);
        point.prepare(QStringLiteral("INSERT INTO Points (Route, Number, Punkt) VALUES (?, ?, ?)"));
        point.addBindValue(routeCode);
        point.addBindValue(k + 1);
        point.addBindValue(punkts.at(k));
        if (!point.exec())
            return fail(point.lastError().text());
        ++m_points;
    }
    ++m_routes;
    return true;
}

} // namespace kx::dbbuild
