#include "CliRun.h"
#include "Fixture.h"
#include "TestFolder.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlDatabase>
#include <QStandardPaths>
#include <QtTest>

// kalyx-cli's commands for the Tu-154 of X-Plane and FlightGear, run as
// scripts run them: the demo route out in the three formats, each read by a
// parser that is not the program's, the refusals, and the comparison of an
// aircraft's RSBN list with the beacon catalogue.
class TestCliSim : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void demoRouteGoesOutInEveryFormat();
    void refusals_data();
    void refusals();
    void rsbnListComparedByChannel();

private:
    kx::test::CliRun run(const QStringList &args)
    {
        return kx::test::runCli(QStringLiteral(KX_CLI), m_folder->path(), args);
    }
    QString importAndCalculate();

    std::unique_ptr<kx::test::TestFolder> m_folder;
};

namespace {

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

void TestCliSim::init()
{
    m_folder = std::make_unique<kx::test::TestFolder>();
    QVERIFY(m_folder->createDatabase());
    QVERIFY(m_folder->createSimulator());
    QVERIFY(m_folder->writeDefaultIni());
}

void TestCliSim::cleanup() { m_folder.reset(); }

QString TestCliSim::importAndCalculate()
{
    const kx::test::CliRun imported = run({"import", KX_SOURCE_DIR "/data/plans/UUEE-URSS.PLN"});
    const QString code = imported.out.trimmed();
    if (imported.exitCode != 0 || run({"calc", code}).exitCode != 0)
        qWarning("import or calculation failed: %s", qPrintable(imported.err));
    return code;
}

void TestCliSim::demoRouteGoesOutInEveryFormat()
{
    const QString code = importAndCalculate();
    const QString fms = m_folder->file("UUEE-URSS.fms");
    const QString xml = m_folder->file("UUEE-URSS.xml");
    const QString json = m_folder->file("fpln.json");
    for (const auto &[command, path] :
         {std::pair{"export-fms", fms}, std::pair{"export-fg", xml}, std::pair{"export-pa3", json}}) {
        const kx::test::CliRun result = run({command, code, path});
        QCOMPARE(result.err, QString());
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out, "Экспорт произведен успешно\n" + QDir::toNativeSeparators(path) + "\n");
    }
    // The legs of the calculation, as the NVU cell gets them.
    const QStringList legs = run({"legs", code}).out.split('\n', Qt::SkipEmptyParts).mid(1);
    QCOMPARE(legs.size(), 6);

    QVERIFY(readBytes(fms).contains("\nNUMENR 6\n1 UUEE ADEP 622.000000 55.972667 37.414667\n"
                                    "2 DE DRCT 0.000000 55.366667 37.978333\n"));
    QVERIFY(readBytes(xml).contains("<version type=\"int\">2</version>"));

    // Both plans import again as routes of the same points.
    // "Number,ID" of every point, as the legs command prints them.
    const auto points = [&](const QString &route) {
        QStringList numbered;
        for (const QString &line : run({"legs", route}).out.split('\n', Qt::SkipEmptyParts).mid(1))
            numbered << line.section(',', 0, 1);
        return numbered;
    };
    const QStringList ids = points(code);
    QCOMPARE(ids, QStringList({"1,UUEE", "2,DE", "3,SB", "4,RW", "5,ADL", "6,URSS"}));
    for (const QString &plan : {fms, xml}) {
        const kx::test::CliRun imported = run({"import", plan});
        QCOMPARE(imported.err, QString());
        QCOMPARE(imported.exitCode, 0);
        const QString again = imported.out.trimmed();
        QVERIFY(again != code);
        QCOMPARE(points(again), ids);
    }

    const QString python = QStandardPaths::findExecutable("python3");
    if (python.isEmpty())
        QSKIP("python3 is not here to read the files with parsers of its own");
    // Python's own JSON and XML parsers, and the legs printed by the program.
    QStringList args{"-c",
                     "import json, sys, xml.etree.ElementTree as et\n"
                     "plan = json.load(open(sys.argv[1], encoding='utf-8'))\n"
                     "legs = [l.split(',') for l in sys.argv[3:]]\n"
                     "for leg, row, nxt in zip(plan['Legs'], legs, legs[1:]):\n"
                     "    assert leg['NAME'] == row[1] + '-' + nxt[1], leg\n"
                     "    assert leg['S'] == abs(float(row[4])), (leg, row)\n"
                     "    assert leg['DTK'] == float(row[8]), (leg, row)\n"
                     "    assert leg['Z'] == 0\n"
                     "assert len(plan['Legs']) == len(legs) - 1\n"
                     "root = et.parse(sys.argv[2]).getroot()\n"
                     "wps = root.find('route').findall('wp')\n"
                     "print(plan['Name'], len(wps), wps[4].find('ident').text, wps[4].find('lat').text, "
                     "root.find('destination/airport').text)\n",
                     json, xml};
    QProcess check;
    check.start(python, args << legs);
    QVERIFY(check.waitForFinished());
    QCOMPARE(QString::fromUtf8(check.readAllStandardError()), QString());
    QCOMPARE(check.readAllStandardOutput().trimmed(), QByteArray("UUEE-URSS 6 ADL 43.403333 URSS"));
}

void TestCliSim::refusals_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("err");
    QTest::addColumn<int>("exitCode");

    QTest::newRow("route not calculated")
        << QStringList{"export-fms", "%route", "%folder/plan.fms"} << "Маршрут не расчитан!\n"
        << 1;
    QTest::newRow("unknown route") << QStringList{"export-pa3", "999", "%folder/plan.json"} << "Маршрут 999 не найден\n"
                                   << 1;
    QTest::newRow("missing folder") << QStringList{"export-fg", "%calculated", "%folder/nowhere/plan.xml"}
                                    << "Ошибка записи в файл!\n%folder/nowhere/plan.xml\nПапка не найдена.\n"
                                    << 1;
    QTest::newRow("existing file without --yes")
        << QStringList{"export-fms", "%calculated", "%folder/kalyx.ini"}
        << "Файл %folder/kalyx.ini уже существует.\nЗаменить существующий файл? -> no (use --yes to answer yes)\n"
        << 1;
    QTest::newRow("no file name") << QStringList{"export-fms", "%calculated"}
                                  << "Usage: kalyx-cli export-fms CODE FILE\n"
                                  << 2;
    QTest::newRow("station list missing") << QStringList{"compare-rsbn", "%folder/rsbn.dat"}
                                          << "Не удалось открыть файл %folder/rsbn.dat\nФайл не найден.\n"
                                          << 1;
    QTest::newRow("station list that is a folder")
        << QStringList{"compare-rsbn", "%folder/FS9"} << "Не удалось открыть файл %folder/FS9\nЭто папка, а не файл.\n"
        << 1;
    QTest::newRow("station list without stations")
        << QStringList{"compare-rsbn", "%folder/kalyx.ini"}
        << "Неправильный формат файла %folder/kalyx.ini !\nВ файле нет ни одной станции РСБН.\n"
        << 1;
}

void TestCliSim::refusals()
{
    QFETCH(QStringList, args);
    QFETCH(QString, err);
    const QString route = run({"import", KX_SOURCE_DIR "/data/plans/UUEE-URSS.PLN"}).out.trimmed();
    const QString calculated = importAndCalculate();
    const QByteArray ini = readBytes(m_folder->file("kalyx.ini"));
    for (QString &arg : args)
        arg.replace("%route", route).replace("%calculated", calculated).replace("%folder/", m_folder->path());
    const kx::test::CliRun result = run(args);
    // A file a message names is written with the system's separators.
    static const QRegularExpression named(QStringLiteral("%folder/(\\S*)"));
    for (QRegularExpressionMatch m = named.match(err); m.hasMatch(); m = named.match(err))
        err.replace(m.capturedStart(), m.capturedLength(), QDir::toNativeSeparators(m_folder->path() + m.captured(1)));
    QCOMPARE(result.err, err);
    QTEST(result.exitCode, "exitCode");
    QCOMPARE(readBytes(m_folder->file("kalyx.ini")), ini);
}

void TestCliSim::rsbnListComparedByChannel()
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "rsbn");
        db.setDatabaseName(m_folder->file("kalyxdb.kdb"));
        QVERIFY(db.open());
        kx::test::Fixture fix(db);
        QVERIFY(fix.addRsbn("NP", "37 PSKOV", "N57*47.10", "E028*24.40") > 0);
        QVERIFY(fix.addRsbn("RS", "40 St PETERSBURG Siversky", "N59*21.50", "E030*02.70") > 0);
        QVERIFY(fix.addRsbn("PO", "02 St PETERSBURG Pulkovo", "N59*48.70", "E030*16.30") > 0);
        QVERIFY(fix.addRsbn("FB", "28 SOLTSY", "N58*08.90", "E030*19.00") > 0);
        QVERIFY(fix.addRsbn("OR", "12 ORYOL", "N52*55.80", "E036*00.00") > 0);
        QVERIFY(fix.addRsbn("BR", "15 BRYANSK", "N53*12.00", "E034*12.00") > 0);
        db.close();
    }
    QSqlDatabase::removeDatabase("rsbn");
    const kx::test::CliRun result = run({"compare-rsbn", KX_SOURCE_DIR "/tests/interchange/data/rsbn.dat"});
    QCOMPARE(result.err, QString());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, QString("Канал 11  NG NOVGOROD: нет в каталоге программы (в файле N58*30.00 E031*15.00)\n"
                                 "Канал 12  KS KURSK: нет в каталоге программы (в файле N51*45.00 E036*18.00)\n"
                                 "Канал 12  OR ORYOL: нет в файле (в каталоге N52*55.80 E036*00.00)\n"
                                 "Канал 15  BR BRYANSK: нет в файле (в каталоге N53*12.00 E034*12.00)\n"
                                 "Канал 40  RS St PETERSBURG Siversky: положение расходится на 1,3 км "
                                 "(в каталоге N59*21.50 E030*02.70, в файле N59*22.20 E030*02.70)\n"
                                 "Станций в файле: 6, в каталоге: 6. Совпадают: 3, расходятся: 1, нет в каталоге: 2, "
                                 "нет в файле: 2.\n"
                                 "Пропущено строк файла: 2 (первая: строка 9).\n"));
}

QTEST_GUILESS_MAIN(TestCliSim)
#include "tst_clisim.moc"
