#include "CliRun.h"
#include "Fixture.h"
#include "TestFolder.h"

#include "store/Database.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

// kalyx-cli new-route, add-point, remove-point and move-point, run as scripts
// run them: the database after each, what they print, and the editor's checks
// (the first and the last point stay, nothing goes after the last).
class TestCliEdit : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void newRouteIsWhatAPlanBetweenItsAirportsGives();
    void pointsAddedMovedRemoved();
    void refusals_data();
    void refusals();

private:
    kx::test::CliRun run(const QStringList &args)
    {
        return kx::test::runCli(QStringLiteral(KX_CLI), m_folder->path(), args);
    }
    // One row of a statement, its columns joined by "|"; every row for sequence().
    QStringList query(const QString &sql);
    QStringList sequence(const QString &route)
    {
        return query(QStringLiteral("SELECT Points.Number || ' ' || Punkts.ID FROM Points JOIN Punkts "
                                    "ON Punkts.Code = Points.Punkt WHERE Route = %1 ORDER BY Number")
                         .arg(route));
    }

    std::unique_ptr<kx::test::TestFolder> m_folder;
};

void TestCliEdit::init()
{
    m_folder = std::make_unique<kx::test::TestFolder>();
    QVERIFY(m_folder->createDatabase());
    QVERIFY(m_folder->createSimulator());
    QVERIFY(m_folder->writeDefaultIni());
    kx::store::Database db(QStringLiteral("cli-fixture"));
    QVERIFY(db.open(m_folder->file(QStringLiteral("kalyxdb.kdb"))));
    kx::test::Fixture fix(db.sql());
    fix.addPunkt({"UUEE", "N55*58.36", "E037*24.88", 9.5, "Airport", "", "Sheremetyevo International Airport"});
    fix.addPunkt({"URSS", "N43*26.99", "E039*57.40", 7.0, "Airport", "", "Sochi International Airport"});
    fix.addPunkt({"UUWW", "N55*35.49", "E037*15.69", 9.6, "Airport", "", "Внуково"});
    // Two NDBs called SB, in two regions; a VOR of the same name.
    fix.addPunkt({"SB", "N47*45.00", "E039*48.00", 7.0, "NDB", "UR", "Sambek"});
    fix.addPunkt({"SB", "N57*10.00", "E035*00.00", 8.0, "NDB", "UU", "Sobino"});
    fix.addPunkt({"SB", "N45*00.00", "E041*00.00", 7.0, "VOR", "UR", ""});
    fix.addPunkt({"RW", "N47*17.50", "E039*52.00", 7.0, "NDB", "UR", "Rostov"});
    QSqlQuery q(db.sql());
    QVERIFY(q.exec(QStringLiteral("UPDATE Punkts SET H = 622 WHERE ID = 'UUEE'")));
    QVERIFY(q.exec(QStringLiteral("UPDATE Punkts SET H = 89 WHERE ID = 'URSS'")));
}

void TestCliEdit::cleanup()
{
    m_folder.reset();
}

QStringList TestCliEdit::query(const QString &sql)
{
    kx::store::Database db(QStringLiteral("cli-check"));
    if (!db.open(m_folder->file(QStringLiteral("kalyxdb.kdb"))))
        return {QStringLiteral("cannot open")};
    QSqlQuery q(db.sql());
    QStringList out;
    if (!q.exec(sql))
        return {QStringLiteral("error: ") + sql};
    while (q.next()) {
        QStringList columns;
        for (int i = 0; i < q.record().count(); ++i)
            columns << (q.isNull(i) ? QStringLiteral("<null>") : q.value(i).toString());
        out << columns.join(u'|');
    }
    return out;
}

void TestCliEdit::newRouteIsWhatAPlanBetweenItsAirportsGives()
{
    // The sample plan between the same two airports, imported; its waypoints
    // are the catalogue's (airports by ident).
    const kx::test::CliRun imported = run({"import", QStringLiteral(KX_SOURCE_DIR "/data/plans/UUEE-URSS.PLN")});
    QCOMPARE(imported.exitCode, 0);
    const QString plan = imported.out.trimmed();

    const kx::test::CliRun made = run({"new-route", "Москва - Сочи", "uuee", "URSS", "--fl", "9449"});
    QCOMPARE(made.err, QString());
    QCOMPARE(made.exitCode, 0);
    const QString route = made.out.trimmed();
    QVERIFY(route.toLongLong() > plan.toLongLong());

    // Every column as the import fills it, but the name, the departure
    // position (a plan names the gate or runway; a new route has none yet)
    // and the route type (0: a direct plan, where the sample was made VOR to VOR).
    const QString columns = QStringLiteral("FL, Type, AP_V, AP_P, Dep_ID, Dep_Name, Dest_ID, Dest_Name, S, Vilka, DateTime");
    const QString row = QStringLiteral("SELECT %1 FROM Routes WHERE Code = %2");
    QCOMPARE(query(row.arg(columns, route)), query(row.arg(columns, plan)));
    QCOMPARE(query(row.arg(QStringLiteral("Name, Dep_Pos, RouteType"), route)),
             QStringList{"Москва - Сочи||0"});
    QCOMPARE(query(row.arg(QStringLiteral("Dep_ID, Dest_ID"), route)),
             QStringList{"UUEE, N55* 58.36', E37* 24.88', +000622.00|URSS, N43* 26.99', E39* 57.40', +000089.00"});
    QCOMPARE(sequence(route), (QStringList{"1 UUEE", "2 URSS"}));
    QCOMPARE(run({"routes"}).out.split(u'\n').filter(route + u'\t').value(0),
             route + QStringLiteral("\tМосква - Сочи\tnot calculated"));
}

void TestCliEdit::pointsAddedMovedRemoved()
{
    const QString route = run({"new-route", "R", "UUEE", "URSS"}).out.trimmed();
    QVERIFY(!route.isEmpty());
    QCOMPARE(run({"add-point", route, "1", "sb", "--type", "n", "--region", "ur"}).exitCode, 0);
    QCOMPARE(run({"add-point", route, "2", "RW"}).exitCode, 0);
    QCOMPARE(run({"add-point", route, "1", "SB", "--type", "VOR"}).exitCode, 0);
    QCOMPARE(sequence(route), (QStringList{"1 UUEE", "2 SB", "3 SB", "4 RW", "5 URSS"}));
    QCOMPARE(query(QStringLiteral("SELECT Punkts.Type FROM Points JOIN Punkts ON Punkts.Code = Punkt "
                                  "WHERE Route = %1 AND Number IN (2, 3) ORDER BY Number")
                       .arg(route)),
             (QStringList{"VOR", "NDB"}));

    // The route is calculated; a change makes it not calculated again.
    QCOMPARE(run({"calc", route}).exitCode, 0);
    QCOMPARE(run({"move-point", route, "2", "SB", "--type", "N", "--region", "UU"}).exitCode, 0);
    QCOMPARE(query(QStringLiteral("SELECT DateTime FROM Routes WHERE Code = %1").arg(route)), QStringList{"<null>"});
    QCOMPARE(query(QStringLiteral("SELECT Punkts.Region, Points.MPU FROM Points JOIN Punkts ON Punkts.Code = Punkt "
                                  "WHERE Route = %1 AND Number = 2")
                       .arg(route)),
             QStringList{"UU|<null>"});

    // Deleting asks; without --yes the answer is No and nothing goes.
    const kx::test::CliRun asked = run({"remove-point", route, "3"});
    QCOMPARE(asked.exitCode, 1);
    QVERIFY2(asked.err.contains(QStringLiteral("Удалить пункт 3 - SB из маршрута?")), qPrintable(asked.err));
    QCOMPARE(sequence(route).size(), 5);
    QCOMPARE(run({"--yes", "remove-point", route, "3"}).exitCode, 0);
    QCOMPARE(sequence(route), (QStringList{"1 UUEE", "2 SB", "3 RW", "4 URSS"}));
}

void TestCliEdit::refusals_data()
{
    QTest::addColumn<QStringList>("args"); // ROUTE stands for the route's Code
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("err");
    QTest::newRow("unknown departure") << QStringList{"new-route", "X", "XXXX", "URSS"} << 1
                                       << "Аэропорт XXXX не найден в каталоге!\n";
    QTest::newRow("a navaid is no airport") << QStringList{"new-route", "X", "UUEE", "RW"} << 1
                                            << "Аэропорт RW не найден в каталоге!\n";
    QTest::newRow("empty name") << QStringList{"new-route", " ", "UUEE", "URSS"} << 1
                                << "Не заполнено поле [Наименование]!\n";
    QTest::newRow("level too high") << QStringList{"new-route", "X", "UUEE", "URSS", "--fl", "100000"} << 1
                                    << "Эшелон должен быть от 0 до 99 999 м!\n";
    QTest::newRow("level not a number") << QStringList{"new-route", "X", "UUEE", "URSS", "--fl", "high"} << 2
                                        << "Usage: kalyx-cli new-route NAME DEP ARR [--fl METRES]\n";
    QTest::newRow("after the last") << QStringList{"add-point", "ROUTE", "2", "RW"} << 1
                                    << "После последнего ППМ маршрута пункт не вставляется!\n";
    QTest::newRow("no such point") << QStringList{"add-point", "ROUTE", "7", "RW"} << 1
                                   << "В маршруте нет ППМ с номером 7!\n";
    QTest::newRow("ambiguous ident")
        << QStringList{"add-point", "ROUTE", "1", "SB"} << 1
        << "Пунктов SB в каталоге несколько, уточните тип (--type) и регион (--region):\n"
           "UR SB NDB N47*45.00 E039*48.00\nUR SB VOR N45*00.00 E041*00.00\nUU SB NDB N57*10.00 E035*00.00\n";
    QTest::newRow("unknown ident") << QStringList{"add-point", "ROUTE", "1", "ZZZ"} << 1
                                   << "Пункт ZZZ не найден в каталоге!\n";
    QTest::newRow("unknown type") << QStringList{"add-point", "ROUTE", "1", "RW", "--type", "Q"} << 1
                                  << "Неизвестный тип пункта: Q (A, N, V или I)\n";
    QTest::newRow("first point") << QStringList{"--yes", "remove-point", "ROUTE", "1"} << 1
                                 << "Первый и последний ППМ маршрута не заменяются и не удаляются!\n";
    QTest::newRow("last point") << QStringList{"move-point", "ROUTE", "2", "RW"} << 1
                                << "Первый и последний ППМ маршрута не заменяются и не удаляются!\n";
    QTest::newRow("no such route") << QStringList{"add-point", "999", "1", "RW"} << 1 << "Маршрут 999 не найден\n";
    // The point commands read their arguments alike, and each names its own usage.
    QTest::newRow("option without its value")
        << QStringList{"add-point", "ROUTE", "1", "RW", "--region"} << 2
        << "Usage: kalyx-cli add-point CODE AFTER IDENT [--type T] [--region R]\n";
    QTest::newRow("point not a number") << QStringList{"move-point", "ROUTE", "two", "RW", "--type", "N"} << 2
                                        << "Usage: kalyx-cli move-point CODE NUMBER IDENT [--type T] [--region R]\n";
}

void TestCliEdit::refusals()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, err);
    const QString route = run({"new-route", "R", "UUEE", "URSS"}).out.trimmed();
    args.replaceInStrings(QStringLiteral("ROUTE"), route);
    const QStringList routes = query(QStringLiteral("SELECT * FROM Routes ORDER BY Code"));
    const QStringList points = query(QStringLiteral("SELECT * FROM Points ORDER BY Code"));
    const kx::test::CliRun refused = run(args);
    QCOMPARE(refused.err, err);
    QCOMPARE(refused.exitCode, exitCode);
    QCOMPARE(refused.out, QString());
    QCOMPARE(query(QStringLiteral("SELECT * FROM Routes ORDER BY Code")), routes);
    QCOMPARE(query(QStringLiteral("SELECT * FROM Points ORDER BY Code")), points);
}

QTEST_GUILESS_MAIN(TestCliEdit)
#include "tst_cliedit.moc"
