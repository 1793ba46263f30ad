#include "BuildMachineTools.h"
#include "Fixture.h"
#include "SqlColumn.h"
#include "TestFolder.h"

#include "store/Collation.h"
#include "store/Database.h"
#include "store/Schema.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QtTest>

using namespace kx;
using kx::test::column;
using namespace kx::store;

namespace {

struct ShellRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

// The stock sqlite3 shell, no extension loaded, on a database file.
ShellRun sqliteShell(const QString &database, const QString &script)
{
    ShellRun run;
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (shell.isEmpty()) {
        run.err = QStringLiteral("the sqlite3 shell is not installed (scripts/debian-packages.txt lists it)");
        return run;
    }
    QProcess process;
    process.start(shell, {QStringLiteral("-batch"), QStringLiteral("-bail"), database});
    process.write(script.toUtf8());
    process.closeWriteChannel();
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// Every row of every table, in key order, as text: what an upgrade must keep.
// The map's index of positions (the R*Tree and its notes) is made from the
// rows, not kept with them.
QStringList dump(QSqlDatabase db)
{
    QStringList rows;
    QSqlQuery tables(db);
    tables.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'PunktsArea%' "
                               "ORDER BY name"));
    QStringList names;
    while (tables.next())
        names << tables.value(0).toString();
    for (const QString &table : std::as_const(names)) {
        QSqlQuery q(db);
        // A table without rowid is in the order of its key.
        if (!q.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table)))
            q.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY 1, 2").arg(table));
        while (q.next()) {
            QStringList values;
            for (int i = 0; i < q.record().count(); ++i)
                values << (q.isNull(i) ? QStringLiteral("<null>") : q.value(i).toString());
            rows << table + u':' + values.join(u'|');
        }
    }
    return rows;
}

// How SQLite would run a statement: the detail lines of its query plan.
QString queryPlan(QSqlDatabase db, const QString &sql, const QVariantList &values)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec())
        return QStringLiteral("error: ") + sql;
    QStringList details;
    while (q.next())
        details << q.value(3).toString();
    return details.join(u'\n');
}

// Rows in every table, with Latin and Cyrillic texts in mixed letter case.
void fillEveryTable(QSqlDatabase db)
{
    test::Fixture fix(db);
    const qint64 moscow = fix.addPunkt({"UUEE", "N55*58.36", "E037*24.88", 11.0, "Airport", "", "Шереметьево"});
    const qint64 sochi = fix.addPunkt({"urss", "N43*26.99", "E039*56.48", 6.5, "Airport", "", "сочи"});
    fix.addPunkt({"ЖУК", "N56*00.00", "E038*00.00", 10.0, {}, "UU", "Жуковский"});
    fix.addPunkt({"жук", "N57*00.00", "E039*00.00", 10.0, {}, "uu", "жуковка"});
    fix.addPunkt({"Mr", "N55*57.70", "E037*20.90", 9.9, "VOR", "UU", "Мэр"});
    const qint64 beacon = fix.addRsbn("ЛК", "Пулково", "N59*48.00", "E030*15.00", "UL");
    fix.addRsbn("ak", "Аэро", "N55*00.00", "E037*00.00", "ul");
    const qint64 route = fix.addRoute(QStringLiteral("Москва - Сочи"), 1400.0);
    fix.addRoute(QStringLiteral("москва - сочи 2"));
    fix.addRoute(QStringLiteral("Ёлки"));
    fix.addRoute(QStringLiteral("apple"));
    fix.addPoint(route, 1, moscow, beacon);
    fix.addPoint(route, 2, sochi);
    QSqlQuery q(db);
    q.exec(QStringLiteral("INSERT INTO Runways (AP, Runway, ILSAngle, IZPU_P) VALUES (%1, '24C', 247, 246.9)").arg(moscow));
    q.exec(QStringLiteral("INSERT INTO Runways (AP, Runway, ILSAngle, IZPU_P) VALUES (%1, '06', 60, 59.5)").arg(sochi));
    q.exec(QStringLiteral("INSERT INTO RSBNSelect (RSBN, L) VALUES (%1, 120.5)").arg(beacon));
}

// A database made by a schema of the given version (the current one: a new
// database).
bool createDatabaseOf(test::TestFolder &folder, int version)
{
    switch (version) {
    case 0:
        return folder.createFirstSchemaDatabase();
    case 1:
        return folder.createSecondSchemaDatabase();
    default:
        return folder.createDatabase();
    }
}

// What schema 2 added, as the file holds it.
QStringList searchObjects(QSqlDatabase db)
{
    return column(db, QStringLiteral("SELECT type || ' ' || name || ': ' || sql FROM sqlite_master "
                                     "WHERE name IN ('Punkts_Order', 'PunktWords') OR name LIKE 'Punkts\\_Words\\_%' ESCAPE '\\' "
                                     "ORDER BY name"));
}

} // namespace

class TestSchema : public QObject
{
    Q_OBJECT
private slots:
    void stockClientUsesEveryTable_data();
    void stockClientUsesEveryTable();
    void upgradeKeepsEveryRowAndOrder_data();
    void upgradeKeepsEveryRowAndOrder();
    void upgradeMakesWhatANewDatabaseHas_data();
    void upgradeMakesWhatANewDatabaseHas();
    void failedUpgradeLeavesTheFile();
};

void TestSchema::stockClientUsesEveryTable_data()
{
    QTest::addColumn<int>("madeBy"); // the schema version that made it, then upgraded
    QTest::newRow("new database") << kSchemaVersion;
    QTest::newRow("database of schema 1, upgraded") << 1;
    QTest::newRow("database of schema 0, upgraded") << 0;
}

void TestSchema::stockClientUsesEveryTable()
{
    QFETCH(int, madeBy);
    test::TestFolder folder;
    QVERIFY(createDatabaseOf(folder, madeBy));
    const QString path = folder.file(QStringLiteral("kalyxdb.kdb"));
    {
        Database db(QStringLiteral("program"));
        QVERIFY(db.open(path));
        fillEveryTable(db.sql());
        if (madeBy < kSchemaVersion) {
            QCOMPARE(schemaVersion(db), madeBy);
            QString why;
            QVERIFY2(upgradeSchema(db, &why), qPrintable(why));
        }
        QCOMPARE(schemaVersion(db), kSchemaVersion);
        QCOMPARE(column(db.sql(), QStringLiteral("SELECT name FROM sqlite_master WHERE sql LIKE '%KALYX%'")),
                 QStringList());
        // The program's look-ups by ident are searched in the ident index, in
        // a new file and an upgraded one alike: an index that did not compare
        // as SQLite's NOCASE does could at best be read through, row by row.
        QVariantList values;
        const QString narrow = noCaseIndexCondition(QStringLiteral("ID"), QStringLiteral("uuee"), &values);
        const QString plan = queryPlan(db.sql(), QStringLiteral("SELECT Code FROM Punkts WHERE ") + narrow, values);
        static const QRegularExpression search(
            QStringLiteral("SEARCH Punkts USING (COVERING )?INDEX Punkts_ID_Region \\(ID=\\?\\)"));
        QVERIFY2(plan.contains(search), qPrintable(plan));
    }

    // Read, count, order, look up, insert, update and delete in every table,
    // as a desktop client or a pilot's script does.
    KX_NEEDS_BUILD_MACHINE_TOOL("the sqlite3 shell");
    const ShellRun run = sqliteShell(path, QStringLiteral(
        "SELECT count(*) FROM Routes; SELECT count(*) FROM Points; SELECT count(*) FROM Punkts;\n"
        "SELECT count(*) FROM RSBN; SELECT count(*) FROM RSBNSelect; SELECT count(*) FROM Runways;\n"
        "SELECT group_concat(ID, ',') FROM (SELECT ID FROM Punkts ORDER BY ID, Region);\n"
        "SELECT group_concat(Code, ',') FROM (SELECT Code FROM Punkts WHERE ID = 'UUEE' COLLATE NOCASE);\n"
        "SELECT Code FROM Punkts WHERE ID = 'Mr' AND Region = 'UU';\n"
        "SELECT group_concat(ID, ',') FROM (SELECT ID FROM RSBN ORDER BY Region, ID);\n"
        "SELECT group_concat(Name, ',') FROM (SELECT Name FROM Routes ORDER BY Name, S);\n"
        "SELECT group_concat(Runway, ',') FROM (SELECT Runway FROM Runways ORDER BY AP, Runway);\n"
        "INSERT INTO Punkts (ID, Region, Name, Type, LAT, LON, MS) VALUES ('uuww', 'UU', 'Внуково', 'Airport', 'N55*35.55', 'E037*15.07', 10.8);\n"
        "INSERT INTO Routes (Name, FL) VALUES ('Новый', 9000);\n"
        "INSERT INTO Points (Route, Number, Punkt) VALUES (last_insert_rowid(), 1, 1);\n"
        "INSERT INTO RSBN (Region, ID, Name, LAT, LON, Freq) VALUES ('UU', 'НВ', 'Новый', 'N55*00.00', 'E037*00.00', 116.0);\n"
        "INSERT INTO RSBNSelect (RSBN, L) VALUES (1, 5.5);\n"
        "INSERT INTO Runways (AP, Runway) VALUES (1, '24L');\n"
        "UPDATE Punkts SET Name = 'Шереметьево-2' WHERE ID = 'UUEE';\n"
        "UPDATE Routes SET Name = 'Яблоко' WHERE Name = 'apple';\n"
        "UPDATE Points SET Number = 3 WHERE Number = 2; UPDATE RSBN SET Freq = 117.0;\n"
        "UPDATE RSBNSelect SET L = 1.0; UPDATE Runways SET ILSAngle = 248 WHERE Runway = '24C';\n"
        "DELETE FROM Punkts WHERE ID = 'жук'; DELETE FROM Routes WHERE Name = 'Ёлки';\n"
        "DELETE FROM Points WHERE Number = 3; DELETE FROM RSBN WHERE ID = 'ak';\n"
        "DELETE FROM RSBNSelect; DELETE FROM Runways WHERE Runway = '06';\n"
        "SELECT count(*) FROM Punkts; PRAGMA integrity_check;\n"
        // The words of the names, kept by the client's writes too.
        "SELECT group_concat(Word, ',') FROM (SELECT Word FROM PunktWords ORDER BY Word);\n"));
    QVERIFY2(run.exitCode == 0 && run.err.isEmpty(), qPrintable(run.err));
    QCOMPARE(run.out.split(u'\n', Qt::SkipEmptyParts),
             (QStringList{"4", "2", "5", "2", "1", "2", "Mr,UUEE,urss,ЖУК,жук", "1", "5", "ЛК,ak",
                          "apple,Ёлки,Москва - Сочи,москва - сочи 2", "24C,06", "5", "ok",
                          "2,Внуково,Жуковский,Мэр,Шереметьево-2,сочи"}));

    // The program sees the client's rows and still compares without regard to
    // letter case, Cyrillic included; the waypoint the client wrote is noted
    // for the map's index.
    Database db(QStringLiteral("program"));
    QVERIFY(db.open(path));
    QCOMPARE(column(db.sql(), QStringLiteral("SELECT count(*) FROM PunktsAreaStale WHERE Code IN "
                                             "(SELECT Code FROM Punkts WHERE ID = 'uuww')")),
             QStringList{"1"});
    QCOMPARE(column(db.sql(), QStringLiteral("SELECT Name FROM Punkts WHERE ID = ? COLLATE KALYX_NOCASE"), {"UUWW"}),
             QStringList{"Внуково"});
    QCOMPARE(column(db.sql(), QStringLiteral("SELECT Name FROM Routes ORDER BY Name COLLATE KALYX_NOCASE, S")),
             (QStringList{"Москва - Сочи", "москва - сочи 2", "Новый", "Яблоко"}));
}

void TestSchema::upgradeKeepsEveryRowAndOrder_data()
{
    QTest::addColumn<int>("madeBy");
    QTest::newRow("schema 0") << 0;
    QTest::newRow("schema 1") << 1;
}

void TestSchema::upgradeKeepsEveryRowAndOrder()
{
    QFETCH(int, madeBy);
    test::TestFolder folder;
    QVERIFY(createDatabaseOf(folder, madeBy));
    Database db(QStringLiteral("program"));
    QVERIFY(db.open(folder.file(QStringLiteral("kalyxdb.kdb"))));
    fillEveryTable(db.sql());

    // What the program's own statements give, before and after.
    const auto behaviour = [&] {
        QStringList seen;
        seen << column(db.sql(), QStringLiteral("SELECT Name FROM Routes ORDER BY Name COLLATE KALYX_NOCASE, S"));
        seen << column(db.sql(), QStringLiteral("SELECT Code FROM Punkts ORDER BY ID COLLATE KALYX_NOCASE, "
                                                "Region COLLATE KALYX_NOCASE"));
        seen << column(db.sql(), QStringLiteral("SELECT Code FROM RSBN ORDER BY Region COLLATE KALYX_NOCASE, "
                                                "ID COLLATE KALYX_NOCASE"));
        for (const QString &id : QStringList{"жУк", "uuEE", "URSS", "mR"}) {
            QVariantList values;
            const QString narrow = noCaseIndexCondition(QStringLiteral("ID"), id, &values);
            values << id;
            seen << column(db.sql(),
                           QStringLiteral("SELECT Code FROM Punkts WHERE %1 AND ID = ? COLLATE KALYX_NOCASE ORDER BY Code")
                               .arg(narrow),
                           values);
        }
        return seen;
    };
    const QStringList rowsBefore = dump(db.sql());
    const QStringList before = behaviour();
    QCOMPARE(before.mid(0, 4), (QStringList{"apple", "Москва - Сочи", "москва - сочи 2", "Ёлки"}));

    QString why;
    QVERIFY2(upgradeSchema(db, &why), qPrintable(why));
    QCOMPARE(schemaVersion(db), kSchemaVersion);
    // Every row of every table stays; the new table holds the words of every
    // name already there.
    const auto rowsOfOldTables = [&] {
        QStringList rows = dump(db.sql());
        rows.removeIf([](const QString &row) { return row.startsWith(QStringLiteral("PunktWords:")); });
        return rows;
    };
    QCOMPARE(rowsOfOldTables(), rowsBefore);
    QCOMPARE(behaviour(), before);
    QStringList words = column(db.sql(), QStringLiteral("SELECT Word || '=' || Punkt FROM PunktWords"));
    QStringList names = column(db.sql(), QStringLiteral("SELECT Name || '=' || Code FROM Punkts")); // one word each
    words.sort();
    names.sort();
    QCOMPARE(words, names);
    // The map's index is there, every waypoint noted for it.
    QCOMPARE(column(db.sql(), QStringLiteral("SELECT count(*) FROM PunktsAreaStale")),
             column(db.sql(), QStringLiteral("SELECT count(*) FROM Punkts")));
    QCOMPARE(column(db.sql(), QStringLiteral("SELECT count(*) FROM PunktsArea")), QStringList{"0"});
    // Once is enough: a second upgrade finds nothing to do.
    const QStringList all = dump(db.sql());
    QVERIFY(upgradeSchema(db));
    QCOMPARE(dump(db.sql()), all);
}

void TestSchema::upgradeMakesWhatANewDatabaseHas_data()
{
    QTest::addColumn<int>("madeBy");
    QTest::newRow("schema 0") << 0;
    QTest::newRow("schema 1") << 1;
}

void TestSchema::upgradeMakesWhatANewDatabaseHas()
{
    // The upgrade writes what schema.sql writes, word for word: an index a
    // statement does not name exactly as the list names its keys would not
    // serve it.
    QFETCH(int, madeBy);
    test::TestFolder fresh;
    QVERIFY(fresh.createDatabase());
    test::TestFolder old;
    QVERIFY(createDatabaseOf(old, madeBy));
    Database made(QStringLiteral("made"));
    QVERIFY(made.open(fresh.file(QStringLiteral("kalyxdb.kdb"))));
    Database upgraded(QStringLiteral("upgraded"));
    QVERIFY(upgraded.open(old.file(QStringLiteral("kalyxdb.kdb"))));
    QVERIFY(upgradeSchema(upgraded));
    QCOMPARE(searchObjects(upgraded.sql()), searchObjects(made.sql()));
    QCOMPARE(searchObjects(made.sql()).size(), 5);
    const QString objects = QStringLiteral("SELECT type || ' ' || name FROM sqlite_master ORDER BY name");
    QCOMPARE(column(upgraded.sql(), objects), column(made.sql(), objects));
}

void TestSchema::failedUpgradeLeavesTheFile()
{
    // A first-schema file some other tool damaged: the upgrade cannot make its
    // ident index, so nothing of it happens, not even the dropped indexes.
    test::TestFolder folder;
    QVERIFY(folder.createFirstSchemaDatabase());
    Database db(QStringLiteral("program"));
    QVERIFY(db.open(folder.file(QStringLiteral("kalyxdb.kdb"))));
    QSqlQuery q(db.sql());
    QVERIFY(q.exec(QStringLiteral("DROP TABLE Punkts")));
    const QStringList indexes = column(db.sql(), QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' ORDER BY name"));
    QVERIFY(indexes.contains(QStringLiteral("Routes_Name")));
    QString why;
    QVERIFY(!upgradeSchema(db, &why));
    QVERIFY(!why.isEmpty());
    QVERIFY(!db.inTransaction());
    QCOMPARE(schemaVersion(db), 0);
    QCOMPARE(column(db.sql(), QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' ORDER BY name")),
             indexes);
}

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
