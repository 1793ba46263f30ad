#include "DemoRouteLoader.h"

#include "base/IniFile.h"
#include "base/Numbers.h"
#include "geo/CoordText.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace kx::dbbuild {

namespace {

constexpr double kFeetPerMetre = 3.280839895;

struct Waypoint
{
    QString region;
    QString id;
    QChar letter;
    QString lat;
    QString lon;
    QString altitude;
};

// Field i (1-based) of a waypoint line, as the import cuts it.
QString field(const QString &line, int i)
{
    return geo::FieldBeforeComma(geo::SkipFields(line, i - 1));
}

QString trimLeft(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    return text.mid(i);
}

Waypoint parseWaypoint(const QString &line)
{
    Waypoint w;
    w.region = trimLeft(field(line, 1));
    w.id = trimLeft(field(line, 2));
    const QString type = field(line, 5).trimmed();
    w.letter = type.isEmpty() ? QChar(u' ') : type.front();
    w.lat = geo::PlnLatToText(field(line, 6));
    w.lon = geo::PlnLonToText(field(line, 7));
    w.altitude = field(line, 8).trimmed();
    return w;
}

QString typeName(QChar letter)
{
    switch (letter.unicode()) {
    case u'A':
        return QStringLiteral("Airport");
    case u'N':
        return QStringLiteral("NDB");
    case u'V':
        return QStringLiteral("VOR");
    default:
        return {};
    }
}

// The index N of the last line "waypoint.N=...", or -1.
int lastWaypointIndex(const QStringList &lines)
{
    if (lines.isEmpty())
        return -1;
    const QString key = lines.last().section(u'=', 0, 0).trimmed();
    if (!key.startsWith(QLatin1String("waypoint."), Qt::CaseInsensitive))
        return -1;
    int index = -1;
    return parseWholeNumber(key.mid(9), &index) && index >= 0 ? index : -1;
}

} // namespace

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
    const int last = lastWaypointIndex(splitTextLines(text));
    if (last < 1)
        return fail(QStringLiteral("the last line must be the line of the last waypoint, of two or more"));

    // Every waypoint first, so that a bad plan adds no route at all.
    QList<qint64> punkts;
    for (int k = 0; k <= last; ++k) {
        const QString line = plan.readString(section, QStringLiteral("waypoint.%1").arg(k));
        if (line.isEmpty())
            return fail(QStringLiteral("waypoint.%1 is missing").arg(k));
        const Waypoint w = parseWaypoint(line);
        const QString type = typeName(w.letter);
        QSqlQuery q(m_db);
        if (w.letter == u'A') {
            q.prepare(QStringLiteral("SELECT Code, LAT, LON, H FROM Punkts "
                                     "WHERE ID = ? COLLATE KALYX_NOCASE AND Type = 'Airport' COLLATE KALYX_NOCASE "
                                     "ORDER BY Code"));
            q.addBindValue(w.id);
        } else if (!type.isEmpty()) {
            q.prepare(QStringLiteral("SELECT Code, LAT, LON, H FROM Punkts "
                                     "WHERE Region = ? COLLATE KALYX_NOCASE AND ID = ? COLLATE KALYX_NOCASE "
                                     "AND Type = ? COLLATE KALYX_NOCASE AND LAT = ? AND LON = ? ORDER BY Code"));
            q.addBindValue(w.region);
            q.addBindValue(w.id);
            q.addBindValue(type);
            q.addBindValue(w.lat);
            q.addBindValue(w.lon);
        } else {
            return fail(QStringLiteral("waypoint.%1 (%2) is of no catalogue type").arg(k).arg(w.id));
        }
        if (!q.exec())
            return fail(q.lastError().text());
        if (!q.next())
            return fail(QStringLiteral("waypoint.%1 (%2 %3 at %4 %5) is not in the catalogue")
                            .arg(k)
                            .arg(w.id, type, w.lat, w.lon));
        if (q.value(1).toString() != w.lat || q.value(2).toString() != w.lon)
            return fail(QStringLiteral("waypoint.%1 (%2) lies at %3 %4, the catalogue has %5 %6")
                            .arg(k)
                            .arg(w.id, w.lat, w.lon, q.value(1).toString(), q.value(2).toString()));
        if (w.letter == u'A') {
            const QString elevation = geo::AltitudeText(static_cast<qint64>(roundHalfEven(q.value(3).toDouble())));
            if (w.altitude != elevation)
                return fail(QStringLiteral("waypoint.%1 (%2) has altitude %3, the airport's elevation is %4")
                                .arg(k)
                                .arg(w.id, w.altitude, elevation));
        }
        punkts.append(q.value(0).toLongLong());
    }

    const QString departure = plan.readString(section, QStringLiteral("departure_id"));
    const QString destination = plan.readString(section, QStringLiteral("destination_id"));
    const int feet = plan.readInteger(section, QStringLiteral("cruising_altitude"), 0);
    QSqlQuery route(m_db);
    route.prepare(QStringLiteral("INSERT INTO Routes (Name, FL, Type, RouteType, AP_V, AP_P, Dep_ID, Dep_Name, "
                                 "Dep_Pos, Dest_ID, Dest_Name) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    // The route is named after the file, without its last extension.
    route.addBindValue(QFileInfo(fileName).completeBaseName());
    route.addBindValue(static_cast<int>(roundHalfEven(feet / kFeetPerMetre)));
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
