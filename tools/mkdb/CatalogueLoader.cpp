#include "CatalogueLoader.h"

#include "CsvTable.h"

#include "base/Numbers.h"
#include "geo/DecimalCoord.h"
#include "geo/MagVar.h"
#include "geo/Sphere.h"
#include "store/Statement.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <optional>

namespace kx::dbbuild {

namespace {

// The columns a file must have, by header name, in the order asked for.
std::optional<QList<int>> columns(const CsvTable &table, const QStringList &names, const QString &path, QString *error)
{
    QList<int> indexes;
    for (const QString &name : names) {
        const int index = table.column(name);
        if (index < 0) {
            *error = QStringLiteral("%1: no column %2").arg(path, name);
            return std::nullopt;
        }
        indexes.append(index);
    }
    return indexes;
}

QString at(const QString &path, const CsvTable &table, qsizetype row)
{
    return QStringLiteral("%1:%2").arg(path).arg(table.lineOf(row));
}

// A decimal number with "." or nothing (Null); false for anything else.
bool readReal(const QString &text, QVariant *value)
{
    if (text.isEmpty()) {
        *value = QVariant();
        return true;
    }
    bool ok = false;
    const double number = text.toDouble(&ok); // C locale: "." whatever the machine's settings
    if (!ok || !std::isfinite(number))
        return false;
    *value = number;
    return true;
}

struct Position
{
    QString lat;
    QString lon;
};

std::optional<Position> position(const QString &lat, const QString &lon)
{
    const std::optional<QString> latText = geo::latitudeFromDecimal(lat);
    const std::optional<QString> lonText = geo::longitudeFromDecimal(lon);
    if (!latText || !lonText)
        return std::nullopt;
    return Position{*latText, *lonText};
}

// The ILS course is stored as a whole degree 1..360: north is 360, not 0.
int wholeCourse(double degrees)
{
    int course = static_cast<int>(roundHalfEven(degrees));
    course %= 360;
    if (course <= 0)
        course += 360;
    return course;
}

} // namespace

CatalogueLoader::CatalogueLoader(store::Database &db, QString fsPath) : m_db(db), m_fsPath(std::move(fsPath)) { }

bool CatalogueLoader::load(const QString &folder, bool withGpl, QString *error)
{
    const QDir dir(folder);
    m_counts = {};
    m_airportCodes.clear();
    m_stations.clear();
    const QString gpl = withGpl ? dir.filePath(QStringLiteral("gpl/runway_ils.csv")) : QString();
    return loadAirports(dir.filePath(QStringLiteral("airports.csv")), error)
        && loadNavaids(dir.filePath(QStringLiteral("navaids.csv")), error)
        && loadRunways(dir.filePath(QStringLiteral("runways.csv")), gpl, error)
        && loadRsbn(dir.filePath(QStringLiteral("rsbn.csv")), error)
        && loadRsbn(dir.filePath(QStringLiteral("rsbn_ussr.csv")), error);
}

bool CatalogueLoader::insert(const QString &sql, const QVariantList &values, qint64 *code, QString *error)
{
    store::Statement q(m_db, sql);
    if (!q.exec(values)) {
        *error = q.lastError();
        return false;
    }
    if (code)
        *code = q.lastInsertId().toLongLong();
    return true;
}

bool CatalogueLoader::loadAirports(const QString &path, QString *error)
{
    CsvTable table;
    if (!table.load(path, error))
        return false;
    const auto c = columns(table,
                           {QStringLiteral("ident"), QStringLiteral("name"), QStringLiteral("lat_deg"),
                            QStringLiteral("lon_deg"), QStringLiteral("elevation_ft"), QStringLiteral("atis_mhz")},
                           path, error);
    if (!c)
        return false;
    for (qsizetype i = 0; i < table.rowCount(); ++i) {
        const QStringList &row = table.row(i);
        const QString ident = row.at(c->at(0));
        const std::optional<Position> pos = position(row.at(c->at(2)), row.at(c->at(3)));
        QVariant elevation;
        QVariant atis;
        if (ident.isEmpty()) {
            *error = at(path, table, i) + QStringLiteral(": no ident");
            return false;
        }
        if (m_airportCodes.contains(ident)) {
            *error = at(path, table, i) + QStringLiteral(": airport %1 listed twice").arg(ident);
            return false;
        }
        if (!pos) {
            *error = at(path, table, i) + QStringLiteral(": unreadable position");
            return false;
        }
        if (!readReal(row.at(c->at(4)), &elevation) || !readReal(row.at(c->at(5)), &atis)) {
            *error = at(path, table, i) + QStringLiteral(": unreadable elevation or ATIS frequency");
            return false;
        }
        qint64 code = 0;
        if (!insert(QStringLiteral("INSERT INTO Punkts (ID, Region, Name, Type, LAT, LON, MS, H, ATIS) "
                                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                    {ident, QString(QLatin1String("")), row.at(c->at(1)), QStringLiteral("Airport"), pos->lat, pos->lon,
                     geo::MagVar(m_fsPath, pos->lat, pos->lon), elevation, atis},
                    &code, error)) {
            *error = at(path, table, i) + QStringLiteral(": ") + *error;
            return false;
        }
        m_airportCodes.insert(ident, code);
        ++m_counts.airports;
    }
    return true;
}

bool CatalogueLoader::loadNavaids(const QString &path, QString *error)
{
    CsvTable table;
    if (!table.load(path, error))
        return false;
    const auto c = columns(table,
                           {QStringLiteral("ident"), QStringLiteral("region"), QStringLiteral("name"),
                            QStringLiteral("type"), QStringLiteral("freq"), QStringLiteral("lat_deg"),
                            QStringLiteral("lon_deg")},
                           path, error);
    if (!c)
        return false;
    for (qsizetype i = 0; i < table.rowCount(); ++i) {
        const QStringList &row = table.row(i);
        const QString type = row.at(c->at(3));
        const std::optional<Position> pos = position(row.at(c->at(5)), row.at(c->at(6)));
        QVariant freq;
        if (row.at(c->at(0)).isEmpty()) {
            *error = at(path, table, i) + QStringLiteral(": no ident");
            return false;
        }
        if (type != QLatin1String("NDB") && type != QLatin1String("VOR")) {
            *error = at(path, table, i) + QStringLiteral(": type %1 is neither NDB nor VOR").arg(type);
            return false;
        }
        if (!pos) {
            *error = at(path, table, i) + QStringLiteral(": unreadable position");
            return false;
        }
        if (!readReal(row.at(c->at(4)), &freq)) {
            *error = at(path, table, i) + QStringLiteral(": unreadable frequency");
            return false;
        }
        if (!insert(QStringLiteral("INSERT INTO Punkts (ID, Region, Name, Type, Freq, LAT, LON, MS) "
                                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                    {row.at(c->at(0)), row.at(c->at(1)), row.at(c->at(2)), type, freq, pos->lat, pos->lon,
                     geo::MagVar(m_fsPath, pos->lat, pos->lon)},
                    nullptr, error)) {
            *error = at(path, table, i) + QStringLiteral(": ") + *error;
            return false;
        }
        ++m_counts.navaids;
    }
    return true;
}

bool CatalogueLoader::loadRunways(const QString &path, const QString &gplPath, QString *error)
{
    struct Runway
    {
        QString airport;
        QString designator;
        QVariant heading;
        QVariant ilsFreq;
        QVariant ilsAngle;
        QVariant outer;
        QVariant inner;
    };
    QList<Runway> runways;
    QHash<QString, qsizetype> byKey; // airport + " " + designator -> index in runways

    auto knownAirport = [&](const QString &file, const CsvTable &table, qsizetype i, const QString &airport) {
        if (m_airportCodes.contains(airport))
            return true;
        *error = at(file, table, i) + QStringLiteral(": airport %1 is not in airports.csv").arg(airport);
        return false;
    };

    CsvTable table;
    if (!table.load(path, error))
        return false;
    const auto c = columns(table,
                           {QStringLiteral("airport_ident"), QStringLiteral("runway"),
                            QStringLiteral("true_heading_deg")},
                           path, error);
    if (!c)
        return false;
    for (qsizetype i = 0; i < table.rowCount(); ++i) {
        const QStringList &row = table.row(i);
        Runway runway{row.at(c->at(0)), row.at(c->at(1)), {}, {}, {}, {}, {}};
        if (!knownAirport(path, table, i, runway.airport))
            return false;
        const QString key = runway.airport + u' ' + runway.designator;
        if (runway.designator.isEmpty() || byKey.contains(key)) {
            *error = at(path, table, i) + QStringLiteral(": runway designator empty or listed twice");
            return false;
        }
        QVariant heading;
        if (!readReal(row.at(c->at(2)), &heading) || (!heading.isNull() && (heading.toDouble() < 0 || heading.toDouble() > 360))) {
            *error = at(path, table, i) + QStringLiteral(": unreadable true heading");
            return false;
        }
        // The runway dialog keeps headings in 0.1..360: north is 360.
        if (!heading.isNull() && heading.toDouble() == 0)
            heading = 360.0;
        runway.heading = heading;
        byKey.insert(key, runways.size());
        runways.append(runway);
    }

    if (!gplPath.isEmpty()) {
        CsvTable ils;
        if (!ils.load(gplPath, error))
            return false;
        const auto g = columns(ils,
                               {QStringLiteral("airport_ident"), QStringLiteral("runway"),
                                QStringLiteral("ils_freq_mhz"), QStringLiteral("ils_course_deg"),
                                QStringLiteral("outer_locator_khz"), QStringLiteral("inner_locator_khz")},
                               gplPath, error);
        if (!g)
            return false;
        QSet<QString> seen;
        for (qsizetype i = 0; i < ils.rowCount(); ++i) {
            const QStringList &row = ils.row(i);
            const QString airport = row.at(g->at(0));
            const QString designator = row.at(g->at(1));
            const QString key = airport + u' ' + designator;
            if (!knownAirport(gplPath, ils, i, airport))
                return false;
            if (designator.isEmpty() || seen.contains(key)) {
                *error = at(gplPath, ils, i) + QStringLiteral(": runway designator empty or listed twice");
                return false;
            }
            seen.insert(key);
            QVariant freq;
            QVariant course;
            QVariant outer;
            QVariant inner;
            if (!readReal(row.at(g->at(2)), &freq) || !readReal(row.at(g->at(3)), &course)
                || !readReal(row.at(g->at(4)), &outer) || !readReal(row.at(g->at(5)), &inner)) {
                *error = at(gplPath, ils, i) + QStringLiteral(": unreadable frequency or course");
                return false;
            }
            // A runway that only the GPL-derived source knows joins the list
            // without a heading.
            if (!byKey.contains(key)) {
                byKey.insert(key, runways.size());
                runways.append(Runway{airport, designator, {}, {}, {}, {}, {}});
            }
            Runway &runway = runways[byKey.value(key)];
            runway.ilsFreq = freq;
            runway.ilsAngle = course.isNull() ? QVariant() : QVariant(wholeCourse(course.toDouble()));
            runway.outer = outer;
            runway.inner = inner;
        }
    }

    for (const Runway &runway : std::as_const(runways)) {
        if (!insert(QStringLiteral("INSERT INTO Runways (AP, Runway, DPRM, BPRM, ILSAngle, ILSFreq, IZPU_P) "
                                   "VALUES (?, ?, ?, ?, ?, ?, ?)"),
                    {m_airportCodes.value(runway.airport), runway.designator, runway.outer, runway.inner,
                     runway.ilsAngle, runway.ilsFreq, runway.heading},
                    nullptr, error)) {
            *error = QStringLiteral("runway %1 %2: %3").arg(runway.airport, runway.designator, *error);
            return false;
        }
        ++m_counts.runways;
    }
    return true;
}

bool CatalogueLoader::loadRsbn(const QString &path, QString *error)
{
    CsvTable table;
    if (!table.load(path, error))
        return false;
    const auto c = columns(table,
                           {QStringLiteral("region"), QStringLiteral("ident"), QStringLiteral("name"),
                            QStringLiteral("channel"), QStringLiteral("lat_deg"), QStringLiteral("lon_deg"),
                            QStringLiteral("freq")},
                           path, error);
    if (!c)
        return false;
    for (qsizetype i = 0; i < table.rowCount(); ++i) {
        const QStringList &row = table.row(i);
        const QString channel = row.at(c->at(3));
        const std::optional<Position> pos = position(row.at(c->at(4)), row.at(c->at(5)));
        QVariant freq;
        // The NVU cell export takes the channel from the first two characters
        // of the beacon's name.
        if (channel.size() != 2 || !channel.at(0).isDigit() || !channel.at(1).isDigit()) {
            *error = at(path, table, i) + QStringLiteral(": channel %1 is not two digits").arg(channel);
            return false;
        }
        if (!pos) {
            *error = at(path, table, i) + QStringLiteral(": unreadable position");
            return false;
        }
        if (!readReal(row.at(c->at(6)), &freq)) {
            *error = at(path, table, i) + QStringLiteral(": unreadable frequency");
            return false;
        }
        const Station station{channel, qDegreesToRadians(row.at(c->at(4)).toDouble()),
                              qDegreesToRadians(row.at(c->at(5)).toDouble())};
        if (isKnownStation(station)) {
            ++m_counts.rsbnInBothLists;
            continue;
        }
        if (!insert(QStringLiteral("INSERT INTO RSBN (Region, ID, Name, LAT, LON, Freq) VALUES (?, ?, ?, ?, ?, ?)"),
                    {row.at(c->at(0)), row.at(c->at(1)), channel + u' ' + row.at(c->at(2)), pos->lat, pos->lon,
                     freq},
                    nullptr, error)) {
            *error = at(path, table, i) + QStringLiteral(": ") + *error;
            return false;
        }
        m_stations.append(station);
        ++m_counts.rsbn;
    }
    return true;
}

bool CatalogueLoader::isKnownStation(const Station &station) const
{
    return std::any_of(m_stations.cbegin(), m_stations.cend(), [&](const Station &known) {
        return known.channel == station.channel
            && geo::OrthoDistance(known.lat, known.lon, station.lat, station.lon) <= kSameStationKm;
    });
}

} // namespace kx::dbbuild
