#include "Fixture.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace kx::test {

Fixture::Fixture(QSqlDatabase db) : m_connection(db.connectionName()) {}

bool Fixture::exec(const QString &sql, const QVariantList &values, QVariant *insertId)
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        qWarning("fixture: %s in %s", qPrintable(q.lastError().text()), qPrintable(sql));
        return false;
    }
    if (insertId)
        *insertId = q.lastInsertId();
    return true;
}

qint64 Fixture::insert(const QString &sql, const QVariantList &values)
{
    QVariant id;
    return exec(sql, values, &id) ? id.toLongLong() : 0;
}

qint64 Fixture::addPunkt(const Waypoint &w)
{
    return insert(QStringLiteral("INSERT INTO Punkts (ID, Region, Name, Type, LAT, LON, MS) VALUES (?,?,?,?,?,?,?)"),
                  {w.id, w.region, w.name, w.type, w.lat, w.lon, w.ms});
}

qint64 Fixture::addRoute(const QString &name, const QVariant &s, const QVariant &dateTime)
{
    QVariant stored = dateTime;
    if (dateTime.typeId() == QMetaType::QDateTime)
        stored = dateTime.toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    return insert(QStringLiteral("INSERT INTO Routes (Name, S, DateTime, FL, RouteType, Type) VALUES (?,?,?,?,?,?)"),
                  {name, s, stored, 9449, 0, QStringLiteral("IFR")});
}

qint64 Fixture::addPoint(qint64 route, int number, qint64 punkt, const QVariant &rsbn)
{
    return insert(QStringLiteral("INSERT INTO Points (Route, Number, Punkt, RSBN) VALUES (?,?,?,?)"),
                  {route, number, punkt, rsbn});
}

qint64 Fixture::addRsbn(const QString &id, const QString &name, const QString &lat, const QString &lon,
                        const QString &region)
{
    return insert(QStringLiteral("INSERT INTO RSBN (Region, ID, Name, LAT, LON, Freq) VALUES (?,?,?,?,?,?)"),
                  {region, id, name, lat, lon, 116.0});
}

Fixture::WorkedExample Fixture::addWorkedExample()
{
    WorkedExample example;
    example.uuee = addPunkt(QStringLiteral("UUEE"), QStringLiteral("N55*58.27"), QStringLiteral("E037*24.88"), 9.5);
    example.wpt = addPunkt(QStringLiteral("WPT"), QStringLiteral("N56*50.00"), QStringLiteral("E049*10.00"), 11.2);
    example.usss = addPunkt(QStringLiteral("USSS"), QStringLiteral("N57*20.00"), QStringLiteral("E061*55.00"), 13.4);
    example.beacon = addRsbn(QStringLiteral("RB"), QStringLiteral("Beacon"), QStringLiteral("N56*30.00"),
                             QStringLiteral("E047*00.00"));
    example.route = addRoute(QStringLiteral("UUEE-USSS"));
    addPoint(example.route, 1, example.uuee, example.beacon);
    addPoint(example.route, 2, example.wpt);
    addPoint(example.route, 3, example.usss);
    return example;
}

QVariant Fixture::value(const QString &table, qint64 code, const QString &column) const
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("SELECT \"%1\" FROM \"%2\" WHERE Code = ?").arg(column, table));
    q.addBindValue(code);
    if (!q.exec() || !q.next())
        return {};
    return q.value(0);
}

qint64 Fixture::count(const QString &table) const
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    if (!q.exec(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table)) || !q.next())
        return -1;
    return q.value(0).toLongLong();
}

QStringList Fixture::sequence(qint64 route) const
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("SELECT Points.Number, Punkts.ID FROM Points JOIN Punkts ON Punkts.Code = Points.Punkt "
                             "WHERE Points.Route = ? ORDER BY Points.Number, Points.Code"));
    q.addBindValue(route);
    QStringList out;
    if (q.exec())
        while (q.next())
            out << q.value(0).toString() + u' ' + q.value(1).toString();
    return out;
}

QList<qint64> Fixture::punktsOf(qint64 route) const
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("SELECT Punkt FROM Points WHERE Route = ? ORDER BY Number, Code"));
    q.addBindValue(route);
    QList<qint64> codes;
    if (q.exec())
        while (q.next())
            codes << q.value(0).toLongLong();
    return codes;
}

} // namespace kx::test
