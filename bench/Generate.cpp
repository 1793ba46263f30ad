#include "Generate.h"

#include "geo/DecimalCoord.h"
#include "store/Database.h"
#include "store/Statement.h"
#include "store/Transaction.h"
#include "tools/mkdb/DbBuild.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QtEndian>

#include <cmath>

namespace kx::bench {
namespace {

QString ident(QRandomGenerator &random, int length)
{
    QString id;
    for (int i = 0; i < length; ++i)
        id += QChar(u'A' + random.bounded(26));
    return id;
}

const char16_t *const kWords[] = {u"Москва", u"Сочи", u"Пулково", u"Внуково", u"Казань", u"Самара", u"Омск",
                                  u"Новосибирск", u"Екатеринбург", u"Ростов", u"Минск", u"Киев", u"Алматы",
                                  u"Ташкент", u"Баку", u"Tbilisi", u"Riga", u"Vilnius", u"Helsinki", u"Praha"};

} // namespace

bool generateDatabase(const QString &path, const GeneratedSize &size, QString *why)
{
    // For profiling, the data of an earlier run may be kept and copied.
    const QString cache = qEnvironmentVariable("KX_BENCH_CACHE");
    const QString cached = cache.isEmpty() ? QString()
                                           : QStringLiteral("%1/%2-%3-%4-%5.kdb")
                                                 .arg(cache)
                                                 .arg(size.waypoints)
                                                 .arg(size.routes)
                                                 .arg(size.pointsPerRoute)
                                                 .arg(size.beacons);
    if (!cached.isEmpty() && QFile::exists(cached))
        return QFile::copy(cached, path);
    if (!generateTables(path, size, why))
        return false;
    return cached.isEmpty() || (QDir().mkpath(cache) && QFile::copy(path, cached));
}

bool generateTables(const QString &path, const GeneratedSize &size, QString *why)
{
    if (!dbbuild::createDatabase(path, why))
        return false;
    store::Database db(QStringLiteral("kalyx-bench-generate"));
    if (!db.open(path)) {
        *why = db.lastError();
        return false;
    }
    store::Transaction transaction(db);
    QRandomGenerator random(20261210);
    store::Statement punkt(db, QStringLiteral("INSERT INTO Punkts (ID, Region, Name, Type, Freq, LAT, LON, MS) "
                                              "VALUES (?,?,?,?,?,?,?,?)"));
    bool ok = transaction.isActive();
    const QVariant types[] = {QVariant(), QStringLiteral("NDB"), QStringLiteral("VOR"), QStringLiteral("Airport")};
    for (int i = 0; ok && i < size.waypoints; ++i) {
        const double lat = 40 + random.generateDouble() * 30;
        const double lon = 20 + random.generateDouble() * 120;
        const QVariant type = types[random.bounded(4)];
        const QString id = ident(random, type.isNull() ? 5 : (type.toString() == u"Airport" ? 4 : 3));
        const QString region = type.toString() == u"Airport" ? QString() : ident(random, 2);
        const QString name = QString::fromUtf16(kWords[random.bounded(20)]) + u' ' + QString::number(i);
        const QVariant freq = type.isNull() ? QVariant() : QVariant(108.0 + random.bounded(100) / 10.0);
        ok = punkt.exec({id, region, name, type, freq, geo::latitudeText(lat), geo::longitudeText(lon),
                         std::round((lon - 30) / 8.0 * 10) / 10});
    }
    store::Statement beacon(db, QStringLiteral("INSERT INTO RSBN (Region, ID, Name, LAT, LON, Freq) "
                                               "VALUES ('', ?, ?, ?, ?, ?)"));
    for (int i = 0; ok && i < size.beacons; ++i) {
        const double lat = 40 + random.generateDouble() * 30;
        const double lon = 20 + random.generateDouble() * 120;
        const QString id = ident(random, 2);
        const QString name = QStringLiteral("%1 BEACON %2").arg(random.bounded(1, 41), 2, 10, QChar(u'0')).arg(i);
        ok =
            beacon.exec({id, name, geo::latitudeText(lat), geo::longitudeText(lon), 116.0 + random.bounded(40) * 0.05});
    }
    store::Statement points(db, QStringLiteral("INSERT INTO Points (Route, Number, Punkt) VALUES (?,?,?)"));
    store::Statement routes(db, QStringLiteral("INSERT INTO Routes (Name, FL, Type, RouteType, AP_V, AP_P, S, Vilka, "
                                               "DateTime) VALUES (?,?,?,?,?,?,?,?,?)"));
    for (int r = 0; ok && r < size.routes; ++r) {
        const bool calculated = random.bounded(2) == 0;
        const QString name = QString::fromUtf16(kWords[random.bounded(20)]) + QStringLiteral(" - ")
                             + QString::fromUtf16(kWords[random.bounded(20)]) + u' ' + QString::number(r);
        const QString departure = ident(random, 4);
        const QString destination = ident(random, 4);
        const QVariant distance = calculated ? QVariant(100.0 + random.bounded(5000)) : QVariant();
        const QVariant fork = calculated ? QVariant(random.bounded(400) / 10.0 - 20) : QVariant();
        const QVariant dateTime = calculated ? QVariant(QStringLiteral("2026-12-01T10:00:00")) : QVariant();
        ok = routes.exec({name, 9449, QStringLiteral("IFR"), 1, departure, destination, distance, fork, dateTime});
        const qint64 route = routes.lastInsertId().toLongLong();
        for (int n = 1; ok && n <= size.pointsPerRoute; ++n)
            ok = points.exec({route, n, 1 + random.bounded(std::max(1, size.waypoints))});
    }
    if (!ok) {
        for (const store::Statement *s : {&punkt, &beacon, &routes, &points})
            *why += s->lastError();
        return false;
    }
    if (!transaction.commit()) {
        *why = db.lastError();
        return false;
    }
    return true;
}

bool generateSimulator(const QString &fsPath, QString *why)
{
    const QString scenery = fsPath + QStringLiteral("Scenery/BASE/Scenery");
    if (!QDir().mkpath(scenery) || !QDir().mkpath(fsPath + QStringLiteral("Gauges/Tu154_cfg"))
        || !QDir().mkpath(fsPath + QStringLiteral("Gauges/i21_cfg"))) {
        *why = QStringLiteral("cannot create %1").arg(fsPath);
        return false;
    }
    QByteArray table(136, '\0');
    for (int column = 0; column < 360; ++column)
        for (int row = 0; row <= 180; ++row) {
            const double degrees = 15 * std::sin(column * M_PI / 180) * std::cos((row - 90) * M_PI / 360) + 1;
            char le[2];
            qToLittleEndian<qint16>(static_cast<qint16>(std::lround(degrees * 65536 / 360)), le);
            table.append(le, 2);
        }
    table.append(QByteArray(12, '\0'));
    QFile magdec(scenery + QStringLiteral("/magdec.bgl"));
    QFile gauge(fsPath + QStringLiteral("Gauges/i21_cfg/I21_PPM.CFG"));
    if (!magdec.open(QIODevice::WriteOnly) || magdec.write(table) != table.size() || !gauge.open(QIODevice::WriteOnly)
        || gauge.write("[ppm]\r\n") < 0) {
        *why = QStringLiteral("cannot write the simulator folder %1").arg(fsPath);
        return false;
    }
    return true;
}

bool execBound(store::Database &db, const QString &sql, const QVariantList &values, QString *why, qint64 *insertId)
{
    store::Statement statement(db, sql);
    if (!statement.exec(values)) {
        *why = statement.lastError();
        return false;
    }
    if (insertId)
        *insertId = statement.lastInsertId().toLongLong();
    return true;
}

bool insertBeacon(store::Database &db, int n, double lat, double lon, qint64 *code, QString *why)
{
    return execBound(
        db, QStringLiteral("INSERT INTO RSBN (Region, ID, Name, LAT, LON, Freq) VALUES ('UU', ?, ?, ?, ?, 116)"),
        {QStringLiteral("B%1").arg(n), QStringLiteral("Beacon %1").arg(n), geo::latitudeText(lat),
         geo::longitudeText(lon)},
        why, code);
}

bool insertWaypoint(store::Database &db, int n, double lat, double lon, const QVariant &type, qint64 *code,
                    QString *why)
{
    return execBound(
        db,
        QStringLiteral("INSERT INTO Punkts (ID, Region, Name, Type, LAT, LON, MS) VALUES (?, 'UU', ?, ?, ?, ?, 10)"),
        {QStringLiteral("P%1").arg(n), QStringLiteral("Point %1").arg(n), type, geo::latitudeText(lat),
         geo::longitudeText(lon)},
        why, code);
}

bool insertRoutePoint(store::Database &db, qint64 route, int n, qint64 punkt, const QVariant &beacon, QString *why)
{
    return execBound(db, QStringLiteral("INSERT INTO Points (Route, Number, Punkt, RSBN) VALUES (?, ?, ?, ?)"),
                     {route, n, punkt, beacon}, why);
}

} // namespace kx::bench
