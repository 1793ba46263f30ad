#include "CliRun.h"
#include "TestFolder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

// kalyx-cli's flight plan and gauge commands, run as scripts run them: the
// whole road from a sample plan to the three outputs, and the failures with
// their messages and exit codes.
class TestCliInterchange : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void importCalculateAndExportEverything();
    void failuresExplainOnStderr_data();
    void failuresExplainOnStderr();
    void existingPlanIsReplacedOnlyWhenAnswered();

private:
    kx::test::CliRun run(const QStringList &args) { return kx::test::runCli(QStringLiteral(KX_CLI), m_folder->path(), args); }
    QString importSample();

    std::unique_ptr<kx::test::TestFolder> m_folder;
};

namespace {

const QString kSample = QStringLiteral(KX_SOURCE_DIR "/data/plans/UUEE-URSS.PLN");

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The sample plan as the export writes it back: 31000 ft are 9449 m, which
// are 31001 ft.
QByteArray sampleWrittenBack()
{
    return readBytes(kSample).replace("cruising_altitude=31000\r\n", "cruising_altitude=31001\r\n");
}

} // namespace

void TestCliInterchange::init()
{
    m_folder = std::make_unique<kx::test::TestFolder>();
    QVERIFY(m_folder->createDatabase());
    QVERIFY(m_folder->createSimulator());
    QVERIFY(m_folder->writeDefaultIni());
}

void TestCliInterchange::cleanup()
{
    m_folder.reset();
}

QString TestCliInterchange::importSample()
{
    const kx::test::CliRun imported = run({"import", kSample});
    if (imported.exitCode != 0)
        qWarning("import: %s", qPrintable(imported.err));
    return imported.out.trimmed();
}

void TestCliInterchange::importCalculateAndExportEverything()
{
    const kx::test::CliRun imported = run({"import", kSample});
    QCOMPARE(imported.err, QString());
    QCOMPARE(imported.exitCode, 0);
    const QString code = imported.out.trimmed();
    QVERIFY(code.toLongLong() > 0);
    QVERIFY(run({"routes"}).out.contains(code + "\tUUEE-URSS\tnot calculated\n"));
    QCOMPARE(run({"calc", code}).exitCode, 0);

    const kx::test::CliRun cell = run({"export-nvu", code, "7"});
    QCOMPARE(cell.err, QString());
    QCOMPARE(cell.exitCode, 0);
    QCOMPARE(cell.out, "Экспорт в ячейку 7 произведен успешно\n"
                           + QDir::toNativeSeparators(m_folder->fsPath() + "Gauges/Tu154_cfg/nvu_dat_7.dat") + "\n");
    QCOMPARE(readBytes(m_folder->fsPath() + "Gauges/Tu154_cfg/nvu_dat_7.dat").size(), 4096);

    const kx::test::CliRun i21 = run({"export-i21", code});
    QCOMPARE(i21.exitCode, 0);
    // The simulator folder keeps its trailing separator in the gauge's path.
    QCOMPARE(i21.out, "Экспорт произведен успешно\n"
                          + QDir::toNativeSeparators(m_folder->fsPath() + "/Gauges/i21_cfg/I21_PPM.CFG") + "\n");
    const QByteArray gauge = readBytes(m_folder->fsPath() + "Gauges/i21_cfg/I21_PPM.CFG");
    QVERIFY(gauge.endsWith("[ppm]\r\nppm_01=55*58.36,037*24.88\r\nppm_02=55*22.00,037*58.70\r\n"
                           "ppm_03=47*45.00,039*48.00\r\nppm_04=47*17.50,039*52.00\r\nppm_05=43*24.20,039*56.90\r\n"
                           "ppm_06=43*26.99,039*57.40\r\n"));

    const kx::test::CliRun plan = run({"export-pln", code, m_folder->file("again")});
    QCOMPARE(plan.exitCode, 0);
    QCOMPARE(plan.out, "Экспорт произведен успешно\n" + QDir::toNativeSeparators(m_folder->file("again.PLN")) + "\n");
    QCOMPARE(readBytes(m_folder->file("again.PLN")), sampleWrittenBack());
}

void TestCliInterchange::failuresExplainOnStderr_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("err");
    QTest::addColumn<int>("exitCode");

    QTest::newRow("import of a plan of one waypoint")
        << QStringList{"import", "%one"} << "Неправильный формат файла one.PLN !\n" << 1;
    QTest::newRow("import of a file that is not there")
        << QStringList{"import", "%missing"} << "Не удалось открыть файл %missing\nФайл не найден.\n" << 1;
    QTest::newRow("import of a folder")
        << QStringList{"import", "%folder/FS9"} << "Не удалось открыть файл %folder/FS9\nЭто папка, а не файл.\n" << 1;
    QTest::newRow("export of a route not calculated") << QStringList{"export-i21", "%route"} << "Маршрут не расчитан!\n"
                                                       << 1;
    QTest::newRow("export of an unknown route") << QStringList{"export-nvu", "999", "1"} << "Маршрут 999 не найден\n"
                                                << 1;
    QTest::newRow("cell beyond 20") << QStringList{"export-nvu", "%route", "21"}
                                    << "kalyx-cli export-nvu: the cell number must be 1 to 20\n" << 2;
    QTest::newRow("plan into a missing folder")
        << QStringList{"export-pln", "%calculated", "%folder/nowhere/plan.PLN"}
        << "Ошибка записи в файл!\n%folder/nowhere/plan.PLN\nПапка не найдена.\n" << 1;
}

void TestCliInterchange::failuresExplainOnStderr()
{
    QFETCH(QStringList, args);
    QFETCH(QString, err);
    QFile one(m_folder->file("one.PLN"));
    QVERIFY(one.open(QIODevice::WriteOnly));
    one.write("[flightplan]\r\nwaypoint.0=UU, UUEE, , UUEE, A, N55* 58.36', E37* 24.88', +000622.00, \r\n");
    one.close();
    const QString route = importSample();
    const QString calculated = importSample();
    QCOMPARE(run({"calc", calculated}).exitCode, 0);
    const QString missing = m_folder->file("missing.PLN");
    for (QString &arg : args)
        arg.replace("%one", one.fileName())
            .replace("%missing", missing)
            .replace("%route", route)
            .replace("%calculated", calculated)
            .replace("%folder/", m_folder->path());
    const kx::test::CliRun result = run(args);
    // The messages name files as the system writes them.
    err.replace("%missing", QDir::toNativeSeparators(missing))
        .replace("%folder/nowhere/plan.PLN", QDir::toNativeSeparators(m_folder->file("nowhere/plan.PLN")))
        .replace("%folder/", QDir::toNativeSeparators(m_folder->path()));
    QVERIFY2(result.err.startsWith(err), qPrintable(result.err));
    QTEST(result.exitCode, "exitCode");
}

void TestCliInterchange::existingPlanIsReplacedOnlyWhenAnswered()
{
    const QString code = importSample();
    QCOMPARE(run({"calc", code}).exitCode, 0);
    const QString path = m_folder->file("plan.PLN");
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();

    const kx::test::CliRun declined = run({"export-pln", code, path});
    QCOMPARE(declined.exitCode, 1);
    QVERIFY(declined.err.startsWith("Файл " + QDir::toNativeSeparators(path)
                                    + " уже существует.\nЗаменить существующий файл?"));
    QCOMPARE(readBytes(path), QByteArray("old"));

    const kx::test::CliRun answered = run({"--yes", "export-pln", code, path});
    QCOMPARE(answered.exitCode, 0);
    QCOMPARE(readBytes(path), sampleWrittenBack());
}

QTEST_GUILESS_MAIN(TestCliInterchange)
#include "tst_cliinterchange.moc"
