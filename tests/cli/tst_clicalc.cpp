#include "Fixture.h"
#include "CliRun.h"
#include "TestFolder.h"

#include "store/Database.h"

#include <QProcess>
#include <QtTest>

// kalyx-cli's calculation commands, run as scripts run them: a program folder
// with its database, settings and simulator folder, the tool started as a
// process, its exit code, standard output and standard error checked.
class TestCliCalc : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void calcThenLegsOfTheWorkedRoute();
    void failingCommandsExplainOnStderr_data();
    void failingCommandsExplainOnStderr();
    void magvarReadsTheSimulatorsTable_data();
    void magvarReadsTheSimulatorsTable();
    void helpListsTheCommands();

private:
    kx::test::CliRun run(const QStringList &args) { return kx::test::runCli(QStringLiteral(KX_CLI), m_folder->path(), args); }

    std::unique_ptr<kx::test::TestFolder> m_folder;
    qint64 m_route = 0;     // the three-point route with a beacon on its first leg
    qint64 m_onePoint = 0;  // a route of one point
    qint64 m_noCoords = 0;  // a route whose second waypoint has no latitude
};

void TestCliCalc::init()
{
    m_folder = std::make_unique<kx::test::TestFolder>();
    QVERIFY(m_folder->createDatabase());
    // The variation table: 11.0 E everywhere but at the node of N57*20 E061*55.
    QVERIFY(m_folder->createSimulator([](int column, int row) -> qint16 { return column == 62 && row == 147 ? 2457 : 2003; }));
    QVERIFY(m_folder->writeDefaultIni());

    kx::store::Database db("cli-fixture");
    QVERIFY(db.open(m_folder->file("kalyxdb.kdb")));
    kx::test::Fixture fix(db.sql());
    const kx::test::Fixture::WorkedExample example = fix.addWorkedExample();
    const qint64 a = example.uuee, c = example.usss;
    m_route = example.route;
    m_onePoint = fix.addRoute("Lonely");
    fix.addPoint(m_onePoint, 1, a);
    m_noCoords = fix.addRoute("Broken");
    fix.addPoint(m_noCoords, 1, a);
    fix.addPoint(m_noCoords, 2, fix.addPunkt("NOPOS", QString(), QString(), 10.0));
    fix.addPoint(m_noCoords, 3, c);
    db.close();
}

void TestCliCalc::cleanup()
{
    m_folder.reset();
}

void TestCliCalc::calcThenLegsOfTheWorkedRoute()
{
    const QString code = QString::number(m_route);
    QVERIFY(run({"routes"}).out.contains(code + "\tUUEE-USSS\tnot calculated\n"));

    const kx::test::CliRun calc = run({"calc", code});
    QCOMPARE(calc.err, QString());
    QCOMPARE(calc.exitCode, 0);
    QCOMPARE(calc.out, QString("Расчет выполнен.\n\nРасстояние = 1498,8 км\nВилка = 16,7 град.\n"));

    const kx::test::CliRun legs = run({"legs", code});
    QCOMPARE(legs.exitCode, 0);
    QCOMPARE(legs.out, QString("Number,ID,IPU,MPU,S,Sp,P_V,P_P,OZMPU_V,OZMPU_P,UKm,Sm,Zm,Am,Dm,LUR\n"
                               "1,UUEE,77.6,68.1,-728,0,0,-16.7,68.1,84.7,85.5,-134.3,28.8,73.5,137.4,5\n"
                               "2,WPT,80.5,69.3,-770.8,728,8.1,-8.6,61.2,77.9,,,,,,\n"
                               "3,USSS,,,,1498.8,,,,,,,,,,\n"));

    QVERIFY(run({"routes"}).out.contains(code + "\tUUEE-USSS\tcalculated\n"));
}

void TestCliCalc::failingCommandsExplainOnStderr_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("err");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("calc of an unknown route") << QStringList{"calc", "999"} << "Маршрут 999 не найден\n" << 1;
    QTest::newRow("calc of a code that is no number") << QStringList{"calc", "abc"} << "Маршрут abc не найден\n" << 1;
    QTest::newRow("calc of a one-point route") << QStringList{"calc", "%onePoint"}
                                               << "Маршрут должен содержать не менее двух ППМ!\n" << 1;
    QTest::newRow("calc of a waypoint without position") << QStringList{"calc", "%noCoords"}
                                                         << "У ППМ NOPOS не заданы координаты!\n" << 1;
    QTest::newRow("legs of an unknown route") << QStringList{"legs", "999"} << "Маршрут 999 не найден\n" << 1;
    QTest::newRow("magvar of an unreadable text") << QStringList{"magvar", "N5x*00.00", "E010*00.00"}
                                                  << "Неверная координата: \"N5x*00.00\"\n" << 1;
    QTest::newRow("calc without its code") << QStringList{"calc"} << "Usage: kalyx-cli calc CODE\n" << 2;
}

void TestCliCalc::failingCommandsExplainOnStderr()
{
    QFETCH(QStringList, args);
    QFETCH(QString, err);
    QFETCH(int, exitCode);
    args.replaceInStrings("%onePoint", QString::number(m_onePoint));
    args.replaceInStrings("%noCoords", QString::number(m_noCoords));

    const kx::test::CliRun result = run(args);

    QCOMPARE(result.err, err);
    QCOMPARE(result.exitCode, exitCode);
    QCOMPARE(result.out, QString());
    // A failed calculation leaves every route not calculated.
    QVERIFY(!run({"routes"}).out.contains("\tcalculated"));
}

void TestCliCalc::magvarReadsTheSimulatorsTable_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("out");
    QTest::newRow("the node of the start-up check") << QStringList{"magvar", "N57*20.00", "E061*55.00"} << "13.5\n";
    QTest::newRow("anywhere else") << QStringList{"magvar", "N10*00.00", "E010*00.00"} << "11\n";
    QTest::newRow("another simulator folder with --fs") << QStringList{"--fs", "%other", "magvar", "N10*00.00", "E010*00.00"}
                                                       << "-11.2\n";
}

void TestCliCalc::magvarReadsTheSimulatorsTable()
{
    QFETCH(QStringList, args);
    QFETCH(QString, out);
    const QString other = m_folder->file("Other FS9");
    QVERIFY(kx::test::writeMagdec(other + "/Scenery/BASE/Scenery/magdec.bgl", [](int, int) -> qint16 { return -2048; }));
    args.replaceInStrings("%other", other);

    const kx::test::CliRun result = run(args);

    QCOMPARE(result.err, QString());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, out);
}

void TestCliCalc::helpListsTheCommands()
{
    const kx::test::CliRun result = run({"--help"});
    QCOMPARE(result.exitCode, 0);
    for (const char *command : {"calc CODE", "legs CODE", "magvar LAT LON", "routes"})
        QVERIFY2(result.out.contains(QString("\n  ") + command), command);
}

QTEST_GUILESS_MAIN(TestCliCalc)
#include "tst_clicalc.moc"
