#include "CliRun.h"
#include "TestFolder.h"

#include "store/Database.h"

#include "../catalogues/OurAirportsFixture.h"

#include <QtTest>

// kalyx-cli import-ourairports, run as a script runs it: its options, the
// summary on standard output, the reason on standard error, the exit codes.
class TestCliCatalogue : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void importWithFiltersThenAgain();
    void wrongCommandLines_data();
    void wrongCommandLines();
    void badFolderFailsAndChangesNothing();
    void leftOutRowsAreSaidOnStderr();
    void publishedFilesImportWhole();
    void helpShowsTheCommand();

private:
    kx::test::CliRun run(const QStringList &args)
    {
        return kx::test::runCli(QStringLiteral(KX_CLI), m_folder->path(), args);
    }
    QStringList idents()
    {
        kx::store::Database db(QStringLiteral("cli-check"));
        if (!db.open(m_folder->file(QStringLiteral("kalyxdb.kdb"))))
            return {QStringLiteral("cannot open")};
        return kx::test::rows(db.sql(), QStringLiteral("SELECT ID || ' ' || ifnull(Type, '') FROM Punkts ORDER BY Code"));
    }

    std::unique_ptr<kx::test::TestFolder> m_folder;
};

void TestCliCatalogue::init()
{
    m_folder = std::make_unique<kx::test::TestFolder>();
    QVERIFY(m_folder->createDatabase());
    QVERIFY(m_folder->createSimulator());
    QVERIFY(m_folder->writeDefaultIni());
}

void TestCliCatalogue::cleanup()
{
    m_folder.reset();
}

void TestCliCatalogue::importWithFiltersThenAgain()
{
    const QString fixture = kx::test::ourAirportsFixture(QStringLiteral("current"));
    const kx::test::CliRun first = run({"import-ourairports", fixture, "--countries", "ua,BR", "--types", "large_airport"});
    QCOMPARE(first.err, QString());
    QCOMPARE(first.exitCode, 0);
    QCOMPARE(first.out, QString("Импорт из OurAirports выполнен.\n\n"
                                "Аэропорты: новых 2, обновлено 0, без изменений 0\n"
                                "ВПП: новых 2, обновлено 0, без изменений 0\n"
                                "Радиомаяки VOR и NDB: новых 2, обновлено 0, без изменений 0\n"));
    QCOMPARE(idents(), (QStringList{"UKBB Airport", "SBGR Airport", "BCO VOR", "KV VOR"}));

    // The folder's files again, every country, the default types.
    const kx::test::CliRun again = run({"import-ourairports", fixture});
    QCOMPARE(again.exitCode, 0);
    QVERIFY2(again.out.contains("Аэропорты: новых 7, обновлено 0, без изменений 2\n"), qPrintable(again.out));
    QCOMPARE(idents().size(), 17);
}

void TestCliCatalogue::wrongCommandLines_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("err");
    QTest::newRow("no folder") << QStringList{"import-ourairports", "--countries", "RU"}
                               << "kalyx-cli import-ourairports: the folder of the OurAirports files is missing\n";
    QTest::newRow("a list missing") << QStringList{"import-ourairports", "x", "--types"}
                                    << "kalyx-cli import-ourairports: --types needs a comma-separated list\n";
    QTest::newRow("a country of three letters")
        << QStringList{"import-ourairports", "x", "--countries", "RU,RUS"}
        << "kalyx-cli import-ourairports: Код страны не из двух латинских букв: «RUS»\n";
    QTest::newRow("an unknown type")
        << QStringList{"import-ourairports", "x", "--types", "airport"}
        << "kalyx-cli import-ourairports: Неизвестный тип аэропорта: «airport» (известны large_airport, "
           "medium_airport, small_airport, heliport, seaplane_base, balloonport, closed)\n";
    QTest::newRow("two folders") << QStringList{"import-ourairports", "x", "y"}
                                 << "kalyx-cli import-ourairports: unexpected argument y\n";
}

void TestCliCatalogue::wrongCommandLines()
{
    QFETCH(QStringList, args);
    QFETCH(QString, err);
    const kx::test::CliRun result = run(args);
    QCOMPARE(result.err, err);
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(result.out, QString());
    QCOMPARE(idents(), QStringList());
}

void TestCliCatalogue::badFolderFailsAndChangesNothing()
{
    const QString folder = m_folder->file(QStringLiteral("oa"));
    QVERIFY(kx::test::copyFixture(QStringLiteral("current"), folder));
    QFile navaids(folder + QStringLiteral("/navaids.csv"));
    QVERIFY(navaids.open(QIODevice::Append));
    navaids.write("90012,\"x\",\"ZZ\",\"Broken\",\"NDB\",300,45.0,\"200,,\"RU\",,,,,,,,,,\n");
    navaids.close();
    const kx::test::CliRun result = run({"import-ourairports", folder});
    QCOMPARE(result.err, QString("Файл navaids.csv, строка 13: после закрывающей кавычки нет запятой\n"
                                 "Каталог пунктов не изменен.\n"));
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.out, QString());
    QCOMPARE(idents(), QStringList());
}

void TestCliCatalogue::leftOutRowsAreSaidOnStderr()
{
    const QString folder = m_folder->file(QStringLiteral("oa"));
    QVERIFY(kx::test::copyFixture(QStringLiteral("current"), folder));
    QFile navaids(folder + QStringLiteral("/navaids.csv"));
    QVERIFY(navaids.open(QIODevice::Append));
    navaids.write("90012,\"x\",\"ZZ\",\"Broken\",\"NDB\",300,45.0,\"200\",,\"RU\",,,,,,,,,,\n");
    navaids.close();
    const kx::test::CliRun result = run({"import-ourairports", folder});
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(result.out.endsWith("Радиомаяки VOR и NDB: новых 8, обновлено 0, без изменений 0\n\n"
                                 "Не взято из файлов:\nnavaids.csv: пропущено строк 1, не взято значений 0\n"),
             qPrintable(result.out));
    QCOMPARE(result.err, QString("Все случаи:\nnavaids.csv, строка 13: неправильная долгота: «200»; строка пропущена\n"));
    QCOMPARE(idents().size(), 17);
}

void TestCliCatalogue::publishedFilesImportWhole()
{
    const kx::test::CliRun result =
        run({"import-ourairports", QStringLiteral(KX_SOURCE_DIR "/tests/catalogues/data/ourairports/ussr")});
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(result.out.startsWith("Импорт из OurAirports выполнен.\n\nАэропорты: новых 404, обновлено 0, без изменений 0\n"),
             qPrintable(result.out));
    QVERIFY2(result.err.contains("runways.csv, строка 10: неправильный истинный курс: «362»; значение не взято\n"),
             qPrintable(result.err));
}

void TestCliCatalogue::helpShowsTheCommand()
{
    const kx::test::CliRun result = run({"--help"});
    QCOMPARE(result.exitCode, 0);
    // A synopsis longer than its column has its help on the next line.
    QVERIFY2(result.out.contains("\n  import-ourairports FOLDER [--countries LIST] [--types LIST]\n"
                                 "                              import airports.csv, runways.csv, "),
             qPrintable(result.out));
}

QTEST_GUILESS_MAIN(TestCliCatalogue)
#include "tst_clicatalogue.moc"
