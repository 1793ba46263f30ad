#include "Schema.h"

#include "Database.h"
#include "NameWords.h"
#include "SqlText.h"
#include "TextKey.h"
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

// The ident and the region keys, as the index has them.
constexpr int kIdentCyrillic = 10;  // an ident's length
constexpr int kRegionCyrillic = 2;  // a region's length

QString identKey(const QString &table)
{
    return textKeySql(table + QStringLiteral("ID"), kIdentCyrillic);
}

QString regionKey(const QString &table)
{
    return textKeySql(table + QStringLiteral("Region"), kRegionCyrillic);
}

// The word starts of the name of row (a table name, NEW or OLD) as rows
// (Word, Punkt), for an INSERT or an IN; from: the FROM clause's tables
// besides the positions.
QString nameWords(const QString &row, const QString &from)
{
    QStringList positions;
    for (int i = 1; i <= kWordPositions; ++i)
        positions << QStringLiteral("(%1)").arg(i);
    const QString separators = QString::fromUtf16(kWordSeparators);
    const QString name = row + QStringLiteral(".Name");
    return QStringLiteral("SELECT substr(%1, p.column1, %2) AS Word, %3.Code AS Punkt FROM %4(VALUES %5) AS p "
                          "WHERE p.column1 <= length(%1) "
                          "AND (p.column1 = 1 OR instr('%6', substr(%1, p.column1 - 1, 1)) > 0) "
                          "AND instr('%6', substr(%1, p.column1, 1)) = 0")
        .arg(name)
        .arg(kWordLength)
        .arg(row, from, positions.join(QStringLiteral(",")), separators);
}

QString dropNameWords(const QString &row)
{
    return QStringLiteral("DELETE FROM PunktWords WHERE Punkt = %1.Code AND Word IN (SELECT Word FROM (%2));")
        .arg(row, nameWords(row, {}));
}

QString insertNameWords(const QString &row, const QString &from)
{
    // Two starts of one name may keep the same characters; one row is enough.
    return QStringLiteral("INSERT OR IGNORE INTO PunktWords (Word, Punkt) %1").arg(nameWords(row, from));
}

// Schema 1 to 2: the index of the catalogue's order, and the table of name
// words with the words of every waypoint already there. Rows only come in.
bool upgradeFrom1(Database &db, QString *error)
{
    QSqlQuery q(db.sql());
    const QStringList statements = waypointSearchSchema();
    // The table first, then the names already there, then what keeps it.
    for (const QString &statement : statements) {
        if (!run(q, statement, error))
            return false;
        if (statement.startsWith(QStringLiteral("CREATE TABLE PunktWords"))
            && !run(q, insertNameWords(QStringLiteral("Punkts"), QStringLiteral("Punkts, ")), error))
            return false;
    }
    return true;
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

QStringList waypointOrderKeys()
{
    return {identKey(QStringLiteral("Punkts.")), regionKey(QStringLiteral("Punkts.")), QStringLiteral("Punkts.Code")};
}

QString waypointIdentKey(const QString &ident)
{
    return textKey(ident, kIdentCyrillic);
}

QStringList waypointSearchSchema()
{
    return {
        QStringLiteral("CREATE INDEX Punkts_Order ON Punkts (%1, %2)").arg(identKey({}), regionKey({})),
        QStringLiteral("CREATE TABLE PunktWords (\n  Word  TEXT COLLATE NOCASE,\n  Punkt INTEGER,\n"
                       "  PRIMARY KEY (Word, Punkt)\n) WITHOUT ROWID"),
        QStringLiteral("CREATE TRIGGER Punkts_Words_Insert AFTER INSERT ON Punkts BEGIN\n  %1;\nEND")
            .arg(insertNameWords(QStringLiteral("NEW"), {})),
        QStringLiteral("CREATE TRIGGER Punkts_Words_Update AFTER UPDATE OF Name, Code ON Punkts\n"
                       "WHEN OLD.Name IS NOT NEW.Name OR OLD.Code IS NOT NEW.Code BEGIN\n  %1\n  %2;\nEND")
            .arg(dropNameWords(QStringLiteral("OLD")), insertNameWords(QStringLiteral("NEW"), {})),
        QStringLiteral("CREATE TRIGGER Punkts_Words_Delete AFTER DELETE ON Punkts BEGIN\n  %1\nEND")
            .arg(dropNameWords(QStringLiteral("OLD"))),
    };
}

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
    if (version < 2 && !upgradeFrom1(db, error))
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
