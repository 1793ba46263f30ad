#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class QSqlDatabase;

namespace kx::test {

// Rows written straight into a test database, the way the catalogue and earlier
// runs of the program leave them. Each returns the new row's key (0 on failure,
// with a warning).
class Fixture
{
public:
    explicit Fixture(QSqlDatabase db);

    // A waypoint row, written with designated initialisers: what is not
    // named keeps its default (an intersection without region or name).
    struct Waypoint
    {
        QString id{};
        QString lat{};
        QString lon{};
        QVariant ms = 0.0;
        QVariant type{}; // Null: intersection
        QString region{};
        QString name{};
    };
    qint64 addPunkt(const Waypoint &w);
    qint64 addPunkt(const QString &id, const QString &lat, const QString &lon, double ms = 0.0)
    {
        return addPunkt({.id = id, .lat = lat, .lon = lon, .ms = ms});
    }
    qint64 addRoute(const QString &name, const QVariant &s = {}, const QVariant &dateTime = {});
    qint64 addPoint(qint64 route, int number, qint64 punkt, const QVariant &rsbn = {});
    qint64 addRsbn(const QString &id, const QString &name, const QString &lat, const QString &lon,
                   const QString &region = {});

    // The calculation's worked example, the route "UUEE-USSS" of three
    // points: UUEE (N55*58.27 E037*24.88, variation 9.5) corrected by the
    // beacon RB at N56*30.00 E047*00.00, WPT (N56*50.00 E049*10.00, 11.2) and
    // USSS (N57*20.00 E061*55.00, 13.4).
    struct WorkedExample
    {
        qint64 route = 0;
        qint64 uuee = 0;
        qint64 wpt = 0;
        qint64 usss = 0;
        qint64 beacon = 0;
    };
    WorkedExample addWorkedExample();

    // Any statement with its values, e.g. exec("UPDATE Routes SET FL = ?", {0});
    // false, with a warning naming the statement, when it fails.
    bool exec(const QString &sql, const QVariantList &values = {}, QVariant *insertId = nullptr);

    // One value of one row, e.g. value("Points", code, "IPU").
    QVariant value(const QString &table, qint64 code, const QString &column) const;
    qint64 count(const QString &table) const;
    // A route's points in order as "Number ID" ("1 UUEE", "2 DE", ...).
    QStringList sequence(qint64 route) const;
    // The catalogue rows (Punkts.Code) of a route's points, in order.
    QList<qint64> punktsOf(qint64 route) const;

private:
    qint64 insert(const QString &sql, const QVariantList &values);
    QString m_connection;
};

} // namespace kx::test
