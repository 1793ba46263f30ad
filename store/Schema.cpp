#include "Schema.h"

#include "Database.h"
#include "SqlText.h"
#include "Transaction.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace kx::store {
namespace {

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

bool run(QSqlQuery &q, const QString &sql, QString *error)
{
    if (q.exec(sql)) {
        q.finish();
        return true;
    }
    return fail(error, q.lastError().text() + QStringLiteral(": ") + sql);
}

// Schema 0 to 1: every index that names the program's collation goes (the
// first schema's order indexes, and any a user may have added alike); the
// ident index comes back with SQLite's own NOCASE. The program's statements
// still order and compare with KALYX_NOCASE, so it behaves exactly as before.
bool upgradeFrom0(Database &db, QString *error)
{
    QSqlQuery q(db.sql());
    if (!q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND sql LIKE '%KALYX_NOCASE%'")))
        return fail(error, q.lastError().text());
    QStringList indexes;
    while (q.next())
        indexes.append(q.value(0).toString());
    q.finish();
    for (const QString &index : std::as_const(indexes))
        if (!run(q, QStringLiteral("DROP INDEX %1").arg(quoteIdentifier(index)), error))
            return false;
    return run(q,
               QStringLiteral("CREATE INDEX IF NOT EXISTS Punkts_ID_Region ON Punkts "
                              "(ID COLLATE NOCASE, Region COLLATE NOCASE)"),
               error);
}

// To 3: the map's index of the waypoints' positions, as the schema makes it,
// with every waypoint noted as changed, so that the program fills the index
// the first time the map needs it.
bool upgradeTo3(Database &db, QString *error)
{
    QSqlQuery q(db.sql());
    const char *const statements[] = {
        "CREATE VIRTUAL TABLE IF NOT EXISTS PunktsArea USING rtree(Code, LatMin, LatMax, LonMin, LonMax, RankMin, "
        "RankMax, +ID, +Kind)",
        "CREATE TABLE IF NOT EXISTS PunktsAreaStale (Code INTEGER PRIMARY KEY)",
        "CREATE TRIGGER IF NOT EXISTS Punkts_Area_Insert AFTER INSERT ON Punkts "
        "BEGIN INSERT OR IGNORE INTO PunktsAreaStale (Code) VALUES (new.Code); END",
        "CREATE TRIGGER IF NOT EXISTS Punkts_Area_Update AFTER UPDATE OF Code, ID, Type, LAT, LON, ATIS ON Punkts "
        "WHEN old.Code IS NOT new.Code OR old.ID IS NOT new.ID OR old.Type IS NOT new.Type OR old.LAT IS NOT new.LAT "
        "OR old.LON IS NOT new.LON OR old.ATIS IS NOT new.ATIS "
        "BEGIN INSERT OR IGNORE INTO PunktsAreaStale (Code) VALUES (old.Code), (new.Code); END",
        "CREATE TRIGGER IF NOT EXISTS Punkts_Area_Delete AFTER DELETE ON Punkts "
        "BEGIN INSERT OR IGNORE INTO PunktsAreaStale (Code) VALUES (old.Code); END",
        "INSERT OR IGNORE INTO PunktsAreaStale (Code) SELECT Code FROM Punkts",
    };
    for (const char *statement : statements)
        if (!run(q, QString::fromLatin1(statement), error))
            return false;
    return true;
}

} // namespace

int schemaVersion(Database &db)
{
    QSqlQuery q(db.sql());
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
        return -1;
    return q.value(0).toInt();
}

bool upgradeSchema(Database &db, QString *error)
{
    const int version = schemaVersion(db);
    if (version < 0)
        return fail(error, QStringLiteral("the schema version cannot be read"));
    if (version >= kSchemaVersion)
        return true;
    Transaction transaction(db);
    if (!transaction.isActive())
        return fail(error, db.lastError());
    if (version == 0 && !upgradeFrom0(db, error))
        return false;
    if (version < 3 && !upgradeTo3(db, error))
        return false;
    QSqlQuery q(db.sql());
    // A pragma takes no bound value; the number is the program's own.
    if (!run(q, QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion), error))
        return false;
    if (!transaction.commit())
        return fail(error, db.lastError());
    return true;
}

QString newerSchemaMessage(const QString &databasePath, int version)
{
    return QStringLiteral("Файл базы данных %1 создан более новой версией программы (версия схемы %2, "
                          "эта версия программы знает версии до %3).\r\nОбновите программу.")
        .arg(databasePath)
        .arg(version)
        .arg(kSchemaVersion);
}

} // namespace kx::store
