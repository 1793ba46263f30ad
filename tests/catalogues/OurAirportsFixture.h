#pragma once

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace kx::test {

// The small OurAirports folders of tests/catalogues/data/ourairports: the same
// rows once with today's columns ("current") and once with every file's
// columns in reverse order, CR LF line ends and a byte order mark
// ("reordered").
inline QString ourAirportsFixture(const QString &variant)
{
    return QStringLiteral(KX_SOURCE_DIR "/tests/catalogues/data/ourairports/") + variant;
}

// Copies a fixture folder, so that a test can spoil one of its files.
inline bool copyFixture(const QString &variant, const QString &to)
{
    QDir().mkpath(to);
    const QDir from(ourAirportsFixture(variant));
    for (const QString &name : from.entryList(QDir::Files)) {
        QFile::remove(QDir(to).filePath(name));
        if (!QFile::copy(from.filePath(name), QDir(to).filePath(name)))
            return false;
    }
    return true;
}

// A cell as the dumps write it: Null as "~", numbers in their shortest form.
inline QString cell(const QVariant &value)
{
    if (value.isNull())
        return QStringLiteral("~");
    if (value.typeId() == QMetaType::Double)
        return QString::number(value.toDouble(), 'g', 15);
    return value.toString();
}

inline QStringList rows(QSqlDatabase db, const QString &sql)
{
    QStringList out;
    QSqlQuery q(db);
    if (!q.exec(sql)) {
        out << QStringLiteral("failed: ") + sql;
        return out;
    }
    while (q.next()) {
        QStringList cells;
        for (int i = 0; i < q.record().count(); ++i)
            cells << cell(q.value(i));
        out << cells.join(u'|');
    }
    return out;
}

// The waypoints in key order: ID|Region|Name|Type|Freq|LAT|LON|MS|H|ATIS.
inline QStringList waypointRows(QSqlDatabase db)
{
    return rows(db, QStringLiteral("SELECT ID, Region, Name, Type, Freq, LAT, LON, MS, H, ATIS FROM Punkts ORDER BY Code"));
}

// The runways in key order: airport ID|Runway|IZPU_P.
inline QStringList runwayRows(QSqlDatabase db)
{
    return rows(db, QStringLiteral("SELECT Punkts.ID, Runways.Runway, Runways.IZPU_P FROM Runways "
                                   "JOIN Punkts ON Punkts.Code = Runways.AP ORDER BY Runways.Code"));
}

// Everything an import may touch, keys and key counters included: equal
// dumps mean an unchanged catalogue.
inline QStringList wholeDump(QSqlDatabase db)
{
    return rows(db, QStringLiteral("SELECT * FROM Punkts ORDER BY Code"))
        + rows(db, QStringLiteral("SELECT * FROM Runways ORDER BY Code"))
        + rows(db, QStringLiteral("SELECT Code, DateTime FROM Routes ORDER BY Code"))
        + rows(db, QStringLiteral("SELECT name, seq FROM sqlite_sequence ORDER BY name"));
}

} // namespace kx::test
