#include "Fixture.h"
#include "OurAirportsFixture.h"
#include "RecordingPrompter.h"
#include "SessionTest.h"
#include "TestFolder.h"

#include "base/Cp1251.h"
#include "catalogues/core/CsvReader.h"
#include "catalogues/core/ImportProgress.h"
#include "catalogues/core/OurAirportsImport.h"
#include "geo/MagVar.h"
#include "store/Session.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace kx;
using namespace kx::catalogues;
using Kind = test::RecordingPrompter::Kind;

namespace {

const QString kUnchanged = QStringLiteral("\r\nКаталог пунктов не изменен.");

// A progress display that asks to stop once the import reaches a stage and a
// position, and remembers the stages it was shown.
class StoppingProgress : public ImportProgress
{
public:
    StoppingProgress(QString stage, int position) : m_stage(std::move(stage)), m_position(position) {}

    void setStage(const QString &text) override
    {
        stages << text;
        m_current = text;
    }
    void setMaximum(int maximum) override { maxima << maximum; }
    void setPosition(int position) override { m_at = position; }
    bool cancelRequested() override
    {
        asked = asked || (m_current == m_stage && m_at >= m_position);
        return asked;
    }
    void finished() override { ++finishes; }

    QStringList stages;
    QList<int> maxima;
    bool asked = false;
    int finishes = 0;

private:
    QString m_stage;
    int m_position;
    QString m_current;
    int m_at = 0;
};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The catalogue the "current" fixture makes in an empty database.
const QStringList kWaypoints = {
    "UUEE||Sheremetyevo International Airport|Airport|~|N55*58.36|E037*24.88|13.1|622|125.125",
    "UUWW||Vnukovo International Airport|Airport|~|N55*35.49|E037*15.69|13.1|685|125.875",
    "URSS||Sochi International Airport|Airport|~|N43*26.99|E039*57.40|8.9|89|~",
    "UNKL||Красноярск, Емельяново|Airport|~|N56*10.37|E092*29.60|7.6|942|~",
    "UKBB||Boryspil \"KBP\" International, Kyiv|Airport|~|N50*20.70|E030*53.68|11.9|427|~",
    "SBGR||Guarulhos - Governador André Franco Montoro Intern|Airport|~|S23*25.92|W046*28.07|-38.3|2461|127.75",
    "YSSY||Sydney Kingsford Smith International Airport|Airport|~|S33*56.77|E151*10.62|-25.3|21|~",
    "KJFK||John F Kennedy International Airport|Airport|~|N40*38.37|W073*46.76|-16.3|13|128.725",
    "RU-0042||Поле Ивановка|Airport|~|N56*00.01|E038*00.01|13|~|~",
    "SU|UU|Sheremetyevo|VOR|114.6|N55*58.28|E037*23.30|13.1|~|~",
    "DE|UU|Шереметьево, ДПРМ|NDB|338|N56*00.71|E037*33.70|13|~|~",
    "ADL|UR|Adler|VOR|115.9|N43*26.55|E039*55.80|8.9|~|~",
    "KN|UU|Vnukovo|NDB|400.5|N55*36.60|E037*12.00|13.1|~|~",
    "BCO|SB|Bonsucesso|VOR|116.9|S23*24.00|W046*30.00|-38.3|~|~",
    "OCE||Pacific Ocean Beacon|NDB|290|S50*00.00|W140*00.00|-37|~|~",
    "DE|KJ|Deer Park|NDB|~|N40*42.00|W073*18.00|-16.4|~|~",
    "KV|UK|Kyiv|VOR|115.5|N50*24.00|E030*54.00|11.9|~|~",
};
const QStringList kRunways = {
    "UUEE|06R|67.1", "UUEE|24L|247.1", "UUEE|06C|69.7", "UUEE|24C|249.8", "UUWW|01|15",    "UUWW|19|195",
    "URSS|02|~",     "URSS|20|~",      "URSS|36|360",   "URSS|18|180",   "SBGR|10L|113.5", "SBGR|28R|293.5",
    "KJFK|H1|~",
};

QString summary(int airports[3], int runways[3], int navaids[3])
{
    return QStringLiteral("Импорт из OurAirports выполнен.\r\n\r\n"
                          "Аэропорты: новых %1, обновлено %2, без изменений %3\r\n"
                          "ВПП: новых %4, обновлено %5, без изменений %6\r\n"
                          "Радиомаяки VOR и NDB: новых %7, обновлено %8, без изменений %9")
        .arg(airports[0]).arg(airports[1]).arg(airports[2])
        .arg(runways[0]).arg(runways[1]).arg(runways[2])
        .arg(navaids[0]).arg(navaids[1]).arg(navaids[2]);
}

} // namespace

// The import of OurAirports' files without windows: what becomes of each row,
// the identities by which a second import updates instead of adding, and
// that a bad file, a failed write or a cancel leave the catalogue as it was.
class TestOurAirports : public test::SessionTest
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void csvRecordsAndFaults_data();
    void csvRecordsAndFaults();

    void eachKindOfRow_data();
    void eachKindOfRow();
    void filters_data();
    void filters();
    void secondImportChangesNothing();
    void existingRowsAreUpdatedInPlace();

    void cancelledImportChangesNothing_data();
    void cancelledImportChangesNothing();
    void badFilesChangeNothing_data();
    void badFilesChangeNothing();
    void failedWriteChangesNothing();

private:
    ImportOutcome import(const QString &folder, const OurAirportsFilter &filter = {},
                         ImportProgress *progress = nullptr)
    {
        return importOurAirports(*m_session, folder, filter, progress, nullptr);
    }
    QSqlDatabase db() { return m_session->ADOC.sql(); }
    void exec(const QString &sql)
    {
        QSqlQuery q(db());
        QVERIFY2(q.exec(sql), qPrintable(sql));
    }
    // What a person and earlier imports of flight plans left in the catalogue.
    void addPersonsCatalogue();

};

void TestOurAirports::init()
{
    QVERIFY(openSession(test::SessionSetup::withSimulator()));
}

void TestOurAirports::cleanup()
{
    closeSession();
}

void TestOurAirports::csvRecordsAndFaults_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected"); // "line: field|field", or the fault's text last

    QTest::newRow("quoted comma, LF") << QByteArray("a,b\n1,\"x, y\"\n") << QStringList{"2: 1|x, y"};
    QTest::newRow("BOM, CR LF, blank lines, no last line end")
        << QByteArray("\xEF\xBB\xBF\"a\",b\r\n\r\n1,2\r\n\r\n3,4") << QStringList{"3: 1|2", "5: 3|4"};
    QTest::newRow("old Mac line ends") << QByteArray("a,b\r1,2\r3,4\r") << QStringList{"2: 1|2", "3: 3|4"};
    QTest::newRow("doubled quote, line break in quotes, empty fields")
        << QByteArray("a,b,c\n\"say \"\"hi\"\"\",\"two\nlines\",\n,,\"\"\n")
        << QStringList{"2: say \"hi\"|two\nlines|", "4: ||"};
    QTest::newRow("Cyrillic") << QByteArray("a\n\"Шереметьево\"\n") << QStringList{"2: Шереметьево"};

    QTest::newRow("quote left open") << QByteArray("a,b\n1,2\n3,\"four\n5,6\n")
                                     << QStringList{"2: 1|2", "Файл t.csv, строка 3: кавычка не закрыта до конца файла"};
    QTest::newRow("text after a closing quote")
        << QByteArray("a,b\n\"x\"y,2\n") << QStringList{"Файл t.csv, строка 2: после закрывающей кавычки нет запятой"};
    QTest::newRow("quote inside an unquoted field")
        << QByteArray("a,b\nx\"y,2\n") << QStringList{"Файл t.csv, строка 2: кавычка внутри поля без кавычек"};
    QTest::newRow("fields counted after a quoted line break")
        << QByteArray("a,b\n\"1\n2\",3\n4,5,6\n")
        << QStringList{"2: 1\n2|3", "Файл t.csv, строка 4: полей 3, а в строке заголовка 2"};
    QTest::newRow("NUL byte") << QByteArray("a,b\n1,2\n3,\0\n", 12)
                              << QStringList{"2: 1|2", "Файл t.csv, строка 3: не текст: двоичные данные"};
    QTest::newRow("windows-1251 text") << (QByteArray("a\n") + toCp1251(QStringLiteral("При\n")))
                                       << QStringList{"Файл t.csv, строка 2: не текст в кодировке UTF-8"};
    QTest::newRow("a record of more than 64 KB")
        << (QByteArray("a\n") + QByteArray(70000, 'x') + '\n') << QStringList{"Файл t.csv, строка 2: запись длиннее 64 КБ"};
    QTest::newRow("binary header") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)
                                   << QStringList{"Файл t.csv, строка 1: не текст в кодировке UTF-8"};
    QTest::newRow("empty file") << QByteArray() << QStringList{"Файл t.csv: нет строки заголовка"};
}

void TestOurAirports::csvRecordsAndFaults()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.csv"));
    QVERIFY(writeAll(path, bytes));
    CsvReader reader(path, QStringLiteral("t.csv"), 1 << 20);
    QStringList got;
    QString error;
    if (reader.open(&error)) {
        while (reader.next(&error)) {
            QStringList fields;
            for (int i = 0; i < reader.header().size(); ++i)
                fields << reader.text(i);
            got << QString::number(reader.line()) + QStringLiteral(": ") + fields.join(u'|');
        }
    }
    if (!error.isEmpty())
        got << error;
    QCOMPARE(got, expected);
}

void TestOurAirports::eachKindOfRow_data()
{
    QTest::addColumn<QString>("variant");
    QTest::newRow("today's columns") << "current";
    QTest::newRow("columns in reverse order, CR LF, BOM") << "reordered";
}

void TestOurAirports::eachKindOfRow()
{
    QFETCH(QString, variant);
    StoppingProgress progress(QString(), INT_MAX);
    QCOMPARE(import(test::ourAirportsFixture(variant), {}, &progress), ImportOutcome::Done);
    // Airports in file order (no heliport, no closed airport by default), then
    // VOR, VOR-DME, VORTAC as VOR and NDB, NDB-DME as NDB (no DME, no TACAN;
    // the second DE within 1 km of the first is the same beacon). Positions
    // south and west carry S and W; MS from the simulator's table at them.
    QCOMPARE(test::waypointRows(db()), kWaypoints);
    // Per runway end; tracks from the thresholds, else the file's heading or
    // the other end's reversed; closed runways and other airports' left out.
    QCOMPARE(test::runwayRows(db()), kRunways);
    int airports[] = {9, 0, 0};
    int runways[] = {13, 0, 0};
    int navaids[] = {8, 0, 0};
    QCOMPARE(m_prompter->texts(), QStringList{summary(airports, runways, navaids)});
    QCOMPARE(m_prompter->messages().first().kind, Kind::Info);
    QCOMPARE(progress.stages, (QStringList{"Чтение файлов OurAirports...", "Запись в каталог пунктов..."}));
    QCOMPARE(progress.maxima, (QList<int>{1000, 9 + 13 + 8}));
    QCOMPARE(progress.finishes, 1);

    // Every MS as the flight plan import takes it for a new waypoint.
    QSqlQuery q(db());
    QVERIFY(q.exec(QStringLiteral("SELECT LAT, LON, MS FROM Punkts")));
    while (q.next())
        QCOMPARE(q.value(2).toDouble(), geo::MagVar(m_folder->fsPath(), q.value(0).toString(), q.value(1).toString()));
    // Airports keep an empty region, as the waypoint editor and the shipped
    // catalogue keep them; nothing else is filled.
    QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM Punkts WHERE Region IS NULL OR RSBN IS NOT NULL "
                                  "OR H_PER IS NOT NULL OR FL_PER IS NOT NULL")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 0);
    QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM Runways WHERE DPRM IS NOT NULL OR BPRM IS NOT NULL "
                                  "OR ILSAngle IS NOT NULL OR ILSFreq IS NOT NULL OR Zm_P IS NOT NULL OR Sm_P IS NOT NULL")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 0);
}

void TestOurAirports::filters_data()
{
    QTest::addColumn<QString>("countries");
    QTest::addColumn<QString>("types");
    QTest::addColumn<QStringList>("idents");

    QTest::newRow("every country, airports by default")
        << "" << "" << QStringList{"UUEE", "UUWW", "URSS", "UNKL", "UKBB", "SBGR", "YSSY", "KJFK", "RU-0042",
                                   "SU",   "DE",   "ADL",  "KN",   "BCO",  "OCE",  "DE",   "KV"};
    QTest::newRow("Russia") << "ru" << "" << QStringList{"UUEE", "UUWW", "URSS", "UNKL", "RU-0042", "SU", "DE", "ADL", "KN"};
    QTest::newRow("heliports of Russia and Ukraine")
        << "RU, UA" << "heliport" << QStringList{"UUHM", "SU", "DE", "ADL", "KN", "KV"};
    QTest::newRow("Brazil, large and closed airports") << "BR" << "large_airport,closed" << QStringList{"SBGR", "BCO"};
}

void TestOurAirports::filters()
{
    QFETCH(QString, countries);
    QFETCH(QString, types);
    QFETCH(QStringList, idents);
    OurAirportsFilter filter;
    QString error;
    QVERIFY(parseCountryList(countries, &filter.countries, &error));
    QVERIFY(parseTypeList(types, &filter.types, &error));
    QCOMPARE(import(test::ourAirportsFixture(QStringLiteral("current")), filter), ImportOutcome::Done);
    QCOMPARE(test::rows(db(), QStringLiteral("SELECT ID FROM Punkts ORDER BY Code")), idents);
    // Runways only of the airports taken.
    QCOMPARE(test::rows(db(), QStringLiteral("SELECT count(*) FROM Runways WHERE AP NOT IN "
                                             "(SELECT Code FROM Punkts WHERE Type = 'Airport')")),
             QStringList{"0"});
}

void TestOurAirports::secondImportChangesNothing()
{
    const QString folder = test::ourAirportsFixture(QStringLiteral("current"));
    QCOMPARE(import(folder), ImportOutcome::Done);
    const QStringList first = test::wholeDump(db());
    // The other column order names the same rows.
    QCOMPARE(import(test::ourAirportsFixture(QStringLiteral("reordered"))), ImportOutcome::Done);
    QCOMPARE(import(folder), ImportOutcome::Done);
    QCOMPARE(test::wholeDump(db()), first);
    int airports[] = {0, 0, 9};
    int runways[] = {0, 0, 13};
    int navaids[] = {0, 0, 8};
    QCOMPARE(m_prompter->texts().mid(1), QStringList(2, summary(airports, runways, navaids)));
}

void TestOurAirports::addPersonsCatalogue()
{
    test::Fixture::Waypoint w;
    w.type = QStringLiteral("Airport");
    w.id = QStringLiteral("UUEE"); // 60 m from the file's position
    w.name = QStringLiteral("Шереметьево");
    w.lat = QStringLiteral("N55*58.33");
    w.lon = QStringLiteral("E037*24.87");
    w.ms = 9.9;
    const qint64 uuee = m_fix->addPunkt(w);
    exec(QStringLiteral("UPDATE Punkts SET H_PER = 1800, FL_PER = 1500, RSBN = 7, ATIS = 122.0 WHERE Code = %1").arg(uuee));
    w.id = QStringLiteral("uuww"); // the same airport in other letter case, nothing to change
    w.name = QStringLiteral("Vnukovo International Airport");
    w.lat = QStringLiteral("N55*35.49");
    w.lon = QStringLiteral("E037*15.69");
    w.ms = 13.1;
    const qint64 uuww = m_fix->addPunkt(w);
    exec(QStringLiteral("UPDATE Punkts SET H = 685, ATIS = 125.875 WHERE Code = %1").arg(uuww));
    w.id = QStringLiteral("URSS"); // 60 km from where the file has it
    w.name = QString();
    w.lat = QStringLiteral("N44*00.00");
    w.lon = QStringLiteral("E040*00.00");
    w.ms = 0.0;
    const qint64 urss = m_fix->addPunkt(w);
    w.id = QStringLiteral("ZZZZ"); // only the person knows it
    w.lat = QStringLiteral("N50*00.00");
    const qint64 zzzz = m_fix->addPunkt(w);

    w = {};
    w.type = QStringLiteral("NDB"); // from a flight plan: 20 m off, no name, no frequency
    w.region = QStringLiteral("UU");
    w.id = QStringLiteral("DE");
    w.lat = QStringLiteral("N56*00.70");
    w.lon = QStringLiteral("E037*33.70");
    m_fix->addPunkt(w);
    w.type = QStringLiteral("VOR"); // typed without a region
    w.region = QString();
    w.id = QStringLiteral("SU");
    w.name = QStringLiteral("Шереметьево VOR");
    w.lat = QStringLiteral("N55*58.28");
    w.lon = QStringLiteral("E037*23.31");
    m_fix->addPunkt(w);
    w.type = QVariant(); // an intersection of the same name and place
    w.region = QStringLiteral("UU");
    m_fix->addPunkt(w);
    w.type = QStringLiteral("VOR"); // another ADL 50 km north
    w.id = QStringLiteral("ADL");
    w.name = QStringLiteral("Adler old");
    w.lat = QStringLiteral("N43*53.00");
    w.lon = QStringLiteral("E039*55.80");
    m_fix->addPunkt(w);

    exec(QStringLiteral("INSERT INTO Runways (AP, Runway, DPRM, BPRM, ILSAngle, ILSFreq, IZPU_P, Zm_P) VALUES "
                        "(%1, '06c', 0.86, 0.33, 77, 108.1, 75.1, 12.5), (%2, '09', NULL, NULL, NULL, NULL, 90, NULL)")
             .arg(uuee)
             .arg(zzzz));
    const QDateTime calculated(QDate(2024, 5, 1), QTime(12, 0));
    const qint64 sochi = m_fix->addRoute(QStringLiteral("Москва - Сочи"), 1498.8, calculated);
    m_fix->addPoint(sochi, 1, uuee);
    m_fix->addPoint(sochi, 2, urss);
    const qint64 local = m_fix->addRoute(QStringLiteral("Круг"), 10.0, calculated);
    m_fix->addPoint(local, 1, uuee);
    m_fix->addPoint(local, 2, uuww);
}

void TestOurAirports::existingRowsAreUpdatedInPlace()
{
    addPersonsCatalogue();
    QCOMPARE(import(test::ourAirportsFixture(QStringLiteral("current"))), ImportOutcome::Done);
    QCOMPARE(test::waypointRows(db()).mid(0, 9),
             (QStringList{
                 // The name, elevation and ATIS from the file; the stored position
                 // (60 m away) and its variation stay.
                 "UUEE|~|Sheremetyevo International Airport|Airport|~|N55*58.33|E037*24.87|9.9|622|125.125",
                 "uuww|~|Vnukovo International Airport|Airport|~|N55*35.49|E037*15.69|13.1|685|125.875",
                 // Moved by 60 km: the file's position with the variation there.
                 "URSS|~|Sochi International Airport|Airport|~|N43*26.99|E039*57.40|8.9|89|~",
                 "ZZZZ|~|~|Airport|~|N50*00.00|E040*00.00|0|~|~",
                 // The frequency and name added; the plan's position kept, so
                 // that the plan finds its beacon again.
                 "DE|UU|Шереметьево, ДПРМ|NDB|338|N56*00.70|E037*33.70|0|~|~",
                 "SU|UU|Sheremetyevo|VOR|114.6|N55*58.28|E037*23.31|0|~|~",
                 "SU|UU|Шереметьево VOR|~|~|N55*58.28|E037*23.31|0|~|~",
                 "ADL|UU|Adler old|VOR|~|N43*53.00|E039*55.80|0|~|~",
                 "UNKL||Красноярск, Емельяново|Airport|~|N56*10.37|E092*29.60|7.6|942|~",
             }));
    QCOMPARE(test::waypointRows(db()).mid(9),
             (QStringList{kWaypoints.at(4), kWaypoints.at(5), kWaypoints.at(6), kWaypoints.at(7), kWaypoints.at(8),
                          kWaypoints.at(11), kWaypoints.at(12), kWaypoints.at(13), kWaypoints.at(14),
                          kWaypoints.at(15), kWaypoints.at(16)}));
    // What the person typed stays.
    QCOMPARE(test::rows(db(), QStringLiteral("SELECT H_PER, FL_PER, RSBN FROM Punkts WHERE ID = 'UUEE'")),
             QStringList{"1800|1500|7"});
    QCOMPARE(test::rows(db(), QStringLiteral("SELECT Runway, DPRM, BPRM, ILSAngle, ILSFreq, IZPU_P, Zm_P FROM Runways "
                                             "ORDER BY Code LIMIT 2")),
             (QStringList{"06c|0.86|0.33|77|108.1|69.7|12.5", "09|~|~|~|~|90|~"}));
    QCOMPARE(test::runwayRows(db()).mid(2).size(), 12);
    // The route through the moved airport is no longer calculated.
    QCOMPARE(test::rows(db(), QStringLiteral("SELECT Name, DateTime IS NULL FROM Routes ORDER BY Code")),
             (QStringList{"Москва - Сочи|1", "Круг|0"}));
    int airports[] = {6, 2, 1};
    int runways[] = {12, 1, 0};
    int navaids[] = {6, 2, 0};
    QCOMPARE(m_prompter->texts(),
             QStringList{summary(airports, runways, navaids)
                         + QStringLiteral("\r\nАэропорты сдвинуты более чем на 1 км, маршрутов через них отмечено "
                                          "как не расчитанные: 1")});

    const QStringList once = test::wholeDump(db());
    QCOMPARE(import(test::ourAirportsFixture(QStringLiteral("current"))), ImportOutcome::Done);
    QCOMPARE(test::wholeDump(db()), once);
}

void TestOurAirports::cancelledImportChangesNothing_data()
{
    QTest::addColumn<QString>("stage");
    QTest::addColumn<int>("position");

    QTest::newRow("while reading") << "Чтение файлов OurAirports..." << 0;
    QTest::newRow("before the first row") << "Запись в каталог пунктов..." << 0;
    QTest::newRow("after the first airport") << "Запись в каталог пунктов..." << 1;
    QTest::newRow("after an update and a moved airport") << "Запись в каталог пунктов..." << 4;
    QTest::newRow("after the last row") << "Запись в каталог пунктов..." << 30;
}

void TestOurAirports::cancelledImportChangesNothing()
{
    QFETCH(QString, stage);
    QFETCH(int, position);
    addPersonsCatalogue();
    const QStringList before = test::wholeDump(db());
    StoppingProgress progress(stage, position);
    QCOMPARE(import(test::ourAirportsFixture(QStringLiteral("current")), {}, &progress), ImportOutcome::Cancelled);
    QVERIFY(progress.asked);
    QCOMPARE(progress.finishes, 1);
    QCOMPARE(test::wholeDump(db()), before);
    QCOMPARE(m_prompter->texts(), QStringList{"Импорт из OurAirports отменен." + kUnchanged});
    QCOMPARE(m_prompter->messages().first().kind, Kind::Info);
    QVERIFY(!m_session->ADOC.inTransaction());
}

void TestOurAirports::badFilesChangeNothing_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("from"); // replaced by `to`; empty: the whole file is `to`
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("message");

    QTest::newRow("column missing")
        << "airports.csv" << QByteArray("\"latitude_deg\"") << QByteArray("\"lat\"")
        << "Файл airports.csv, строка 1: в строке заголовка нет столбца «latitude_deg»";
    QTest::newRow("elevation not a number")
        << "airports.csv" << QByteArray("37.4146,622,") << QByteArray("37.4146,high,")
        << "Файл airports.csv, строка 2: превышение не число: «high»";
    QTest::newRow("bad row of an airport the filter leaves out")
        << "airports.csv" << QByteArray("37.539,480,") << QByteArray("37.539,4 80,")
        << "Файл airports.csv, строка 10: превышение не число: «4 80»";
    QTest::newRow("latitude beyond the pole")
        << "airports.csv" << QByteArray("55.972599,") << QByteArray("95.5,")
        << "Файл airports.csv, строка 2: неправильная широта: «95.5»";
    QTest::newRow("quote left open") << "airports.csv" << QByteArray("\"Ивановка\",\"no\",") << QByteArray("\"Ивановка\",\"no,")
                                     << "Файл airports.csv, строка 12: кавычка не закрыта до конца файла";
    QTest::newRow("text after a closing quote")
        << "navaids.csv" << QByteArray("\"Adler\"") << QByteArray("\"Adler\" VOR")
        << "Файл navaids.csv, строка 5: после закрывающей кавычки нет запятой";
    QTest::newRow("a field too many") << "runways.csv" << QByteArray("244.0,\n1002") << QByteArray("244.0,,\n1002")
                                      << "Файл runways.csv, строка 2: полей 21, а в строке заголовка 20";
    QTest::newRow("closed neither 0 nor 1") << "runways.csv" << QByteArray("\"CON\",1,0,\"06C\"")
                                            << QByteArray("\"CON\",1,yes,\"06C\"")
                                            << "Файл runways.csv, строка 3: признак закрытой ВПП не 0 и не 1: «yes»";
    QTest::newRow("frequency not a number")
        << "airport-frequencies.csv" << QByteArray(",118.1") << QByteArray(",\"118.1 MHz\"")
        << "Файл airport-frequencies.csv, строка 4: частота не число: «118.1 MHz»";
    QTest::newRow("ident too long") << "navaids.csv" << QByteArray("\"KV\",\"Kyiv\"")
                                    << QByteArray("\"KYIVBORYSPIL\",\"Kyiv\"")
                                    << "Файл navaids.csv, строка 12: неправильный идентификатор (нужно от 1 до 10 "
                                       "знаков): «KYIVBORYSPIL»";
    QTest::newRow("windows-1251 instead of UTF-8")
        << "navaids.csv" << QByteArray("Шереметьево, ДПРМ") << toCp1251(QStringLiteral("Шереметьево, ДПРМ"))
        << "Файл navaids.csv, строка 3: не текст в кодировке UTF-8";
    QTest::newRow("binary") << "airport-frequencies.csv" << QByteArray() << QByteArray("\0\0\0\x14" "ftypmp42", 12)
                            << "Файл airport-frequencies.csv, строка 1: не текст: двоичные данные";
    QTest::newRow("empty") << "airports.csv" << QByteArray() << QByteArray()
                           << "Файл airports.csv: нет строки заголовка";
    QTest::newRow("1 GB") << "runways.csv" << QByteArray() << QByteArray("1 GB")
                          << "Файл runways.csv: слишком велик (1024 МБ, файлы OurAirports меньше 64 МБ)";
    QTest::newRow("a folder in its place") << "airports.csv" << QByteArray() << QByteArray("folder")
                                           << "Файл airports.csv: не удалось прочитать (это папка)";
    QTest::newRow("a named pipe in its place (nothing would ever come)")
        << "runways.csv" << QByteArray() << QByteArray("pipe")
        << "Файл runways.csv: не удалось прочитать (это не обычный файл)";
    QTest::newRow("missing") << "navaids.csv" << QByteArray() << QByteArray("missing")
                             << "В папке %1 нет файлов OurAirports: navaids.csv";
}

void TestOurAirports::badFilesChangeNothing()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("oa"));
    QVERIFY(test::copyFixture(QStringLiteral("current"), folder));
    const QString path = QDir(folder).filePath(file);
    if (to == "1 GB") {
        QFile big(path);
        QVERIFY(big.open(QIODevice::ReadWrite));
        QVERIFY(big.resize(1024LL * 1024 * 1024)); // sparse: no gigabyte is written
    } else if (to == "pipe") {
#ifdef Q_OS_UNIX
        QVERIFY(QFile::remove(path));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#else
        QSKIP("no named pipes in the file system here");
#endif
    } else if (to == "folder" || to == "missing") {
        QVERIFY(QFile::remove(path));
        if (to == "folder")
            QVERIFY(QDir().mkpath(path));
    } else if (from.isEmpty()) {
        QVERIFY(writeAll(path, to));
    } else {
        QByteArray bytes = readAll(path);
        QCOMPARE(bytes.count(from), 1);
        QVERIFY(writeAll(path, bytes.replace(from, to)));
    }
    addPersonsCatalogue();
    const QStringList before = test::wholeDump(db());

    QCOMPARE(import(folder), ImportOutcome::Failed);
    if (message.contains(QStringLiteral("%1")))
        message = message.arg(QDir::toNativeSeparators(folder));
    QCOMPARE(m_prompter->texts(), QStringList{message + kUnchanged});
    QCOMPARE(m_prompter->messages().first().kind, Kind::Error);
    QCOMPARE(test::wholeDump(db()), before);
}

void TestOurAirports::failedWriteChangesNothing()
{
    addPersonsCatalogue();
    // The database refuses the runways of YSSY: the airports before them and
    // the updates of the person's rows are undone with them.
    exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON Runways WHEN NEW.Runway = '10L' "
                        "BEGIN SELECT RAISE(ABORT, 'no room for 10L'); END"));
    const QStringList before = test::wholeDump(db());
    QCOMPARE(import(test::ourAirportsFixture(QStringLiteral("current"))), ImportOutcome::Failed);
    QCOMPARE(test::wholeDump(db()), before);
    const QString message = m_prompter->lastText();
    QVERIFY2(message.startsWith(QStringLiteral("Ошибка записи в таблицу [Runways]!\r\n")), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("no room for 10L")), qPrintable(message));
    QVERIFY(message.endsWith(kUnchanged));
    QVERIFY(!m_session->ADOC.inTransaction());
}

QTEST_GUILESS_MAIN(TestOurAirports)
#include "tst_ourairports.moc"
