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

// A folder of the four files with only the columns the import reads (found by
// name), and the rows given for each; airports as
// "ident,type,name,latitude_deg,longitude_deg,elevation_ft,iso_country,gps_code,icao_code".
struct SmallFiles
{
    QStringList airports;
    QStringList runways;  // airport_ident,closed,le_ident,le_latitude_deg,le_longitude_deg,le_heading_degT,he_...
    QStringList navaids;  // ident,name,type,frequency_khz,latitude_deg,longitude_deg,iso_country
    QStringList frequencies; // id,airport_ident,type,frequency_mhz
};

bool writeSmallFiles(const QString &folder, const SmallFiles &files)
{
    const auto file = [&](const char *name, const char *header, const QStringList &rows) {
        return writeAll(QDir(folder).filePath(QLatin1String(name)),
                        (QLatin1String(header) + u'\n' + rows.join(u'\n') + u'\n').toUtf8());
    };
    return QDir().mkpath(folder)
        && file("airports.csv", "ident,type,name,latitude_deg,longitude_deg,elevation_ft,iso_country,gps_code,icao_code",
                files.airports)
        && file("runways.csv",
                "airport_ident,closed,le_ident,le_latitude_deg,le_longitude_deg,le_heading_degT,he_ident,"
                "he_latitude_deg,he_longitude_deg,he_heading_degT",
                files.runways)
        && file("navaids.csv", "ident,name,type,frequency_khz,latitude_deg,longitude_deg,iso_country", files.navaids)
        && file("airport-frequencies.csv", "id,airport_ident,type,frequency_mhz", files.frequencies);
}

// OurAirports' own rows of the former USSR, as published (data/ourairports/ussr/SOURCES.md).
QString ussrFiles()
{
    return QStringLiteral(KX_SOURCE_DIR "/tests/catalogues/data/ourairports/ussr");
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

    void airportIdentity_data();
    void airportIdentity();
    void airportsOfAnEarlierImportAreCorrectedInPlace();
    void runwayTracks_data();
    void runwayTracks();
    void navaidRows_data();
    void navaidRows();
    void leftOutRowsAndValues_data();
    void leftOutRowsAndValues();
    void atMostTenLeftOutAreListed();
    void realFilesImportWhole();

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
    QTest::addColumn<QStringList>("expected"); // "header: name|name", "line: field|field", or the fault's text last

    QTest::newRow("quoted comma, LF") << QByteArray("a,b\n1,\"x, y\"\n") << QStringList{"header: a|b", "2: 1|x, y"};
    QTest::newRow("blanks around header names") << QByteArray(" a ,\tb\n1,2\n") << QStringList{"header: a|b", "2: 1|2"};
    QTest::newRow("BOM, CR LF, blank lines, no last line end")
        << QByteArray("\xEF\xBB\xBF\"a\",b\r\n\r\n1,2\r\n\r\n3,4") << QStringList{"header: a|b", "3: 1|2", "5: 3|4"};
    QTest::newRow("old Mac line ends") << QByteArray("a,b\r1,2\r3,4\r") << QStringList{"header: a|b", "2: 1|2", "3: 3|4"};
    QTest::newRow("doubled quote, line break in quotes, empty fields")
        << QByteArray("a,b,c\n\"say \"\"hi\"\"\",\"two\nlines\",\n,,\"\"\n")
        << QStringList{"header: a|b|c", "2: say \"hi\"|two\nlines|", "4: ||"};
    QTest::newRow("Cyrillic") << QByteArray("a\n\"Шереметьево\"\n") << QStringList{"header: a", "2: Шереметьево"};

    QTest::newRow("quote left open") << QByteArray("a,b\n1,2\n3,\"four\n5,6\n")
                                     << QStringList{"header: a|b", "2: 1|2", "Файл t.csv, строка 3: кавычка не закрыта до конца файла"};
    QTest::newRow("text after a closing quote")
        << QByteArray("a,b\n\"x\"y,2\n") << QStringList{"header: a|b", "Файл t.csv, строка 2: после закрывающей кавычки нет запятой"};
    QTest::newRow("quote inside an unquoted field")
        << QByteArray("a,b\nx\"y,2\n") << QStringList{"header: a|b", "Файл t.csv, строка 2: кавычка внутри поля без кавычек"};
    QTest::newRow("fields counted after a quoted line break")
        << QByteArray("a,b\n\"1\n2\",3\n4,5,6\n")
        << QStringList{"header: a|b", "2: 1\n2|3", "Файл t.csv, строка 4: полей 3, а в строке заголовка 2"};
    QTest::newRow("NUL byte") << QByteArray("a,b\n1,2\n3,\0\n", 12)
                              << QStringList{"header: a|b", "2: 1|2", "Файл t.csv, строка 3: не текст: двоичные данные"};
    QTest::newRow("windows-1251 text") << (QByteArray("a\n") + toCp1251(QStringLiteral("При\n")))
                                       << QStringList{"header: a", "Файл t.csv, строка 2: не текст в кодировке UTF-8"};
    QTest::newRow("a record of more than 64 KB")
        << (QByteArray("a\n") + QByteArray(70000, 'x') + '\n')
        << QStringList{"header: a", "Файл t.csv, строка 2: запись длиннее 64 КБ"};
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
        got << QStringLiteral("header: ") + reader.header().join(u'|');
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
    QTest::addColumn<QStringList>("idents"); // ID|Region

    QTest::newRow("every country, airports by default")
        << "" << "" << QStringList{"UUEE|", "UUWW|", "URSS|", "UNKL|", "UKBB|", "SBGR|", "YSSY|", "KJFK|", "RU-0042|",
                                   "SU|UU", "DE|UU", "ADL|UR", "KN|UU", "BCO|SB", "OCE|", "DE|KJ", "KV|UK"};
    QTest::newRow("Russia") << "ru" << "" << QStringList{"UUEE|", "UUWW|", "URSS|", "UNKL|", "RU-0042|", "SU|UU", "DE|UU",
                                                         "ADL|UR", "KN|UU"};
    // The radio aids' regions come from every airport of the files, not only
    // from those the filter takes: Adler's from Sochi, Kyiv's from Boryspil.
    QTest::newRow("heliports of Russia and Ukraine")
        << "RU, UA" << "heliport" << QStringList{"UUHM|", "SU|UU", "DE|UU", "ADL|UR", "KN|UU", "KV|UK"};
    QTest::newRow("Brazil, large and closed airports") << "BR" << "large_airport,closed" << QStringList{"SBGR|", "BCO|SB"};
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
    QCOMPARE(test::rows(db(), QStringLiteral("SELECT ID, Region FROM Punkts ORDER BY Code")), idents);
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
    w.type = QStringLiteral("NDB"); // from FS9's flight plan: 20 m off, its placeholder region, no name, no frequency
    w.region = QStringLiteral("KK");
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
                        "(%1, '06c', 0.86, 0.33, 77, 108.1, 75.1, 12.5), (%2, '09', NULL, NULL, NULL, NULL, 90, NULL), "
                        "(%3, '02', NULL, NULL, NULL, NULL, 21.5, NULL)")
             .arg(uuee)
             .arg(zzzz)
             .arg(urss));
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
                 // The frequency and name added; the plan's position and
                 // region kept, so that the plan finds its beacon again.
                 "DE|KK|Шереметьево, ДПРМ|NDB|338|N56*00.70|E037*33.70|0|~|~",
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
    // A track the file does not have stays as the person typed it.
    QCOMPARE(test::rows(db(), QStringLiteral("SELECT Runway, DPRM, BPRM, ILSAngle, ILSFreq, IZPU_P, Zm_P FROM Runways "
                                             "ORDER BY Code LIMIT 3")),
             (QStringList{"06c|0.86|0.33|77|108.1|69.7|12.5", "09|~|~|~|~|90|~", "02|~|~|~|~|21.5|~"}));
    QCOMPARE(test::runwayRows(db()).mid(3).size(), 11);
    // The route through the moved airport is no longer calculated.
    QCOMPARE(test::rows(db(), QStringLiteral("SELECT Name, DateTime IS NULL FROM Routes ORDER BY Code")),
             (QStringList{"Москва - Сочи|1", "Круг|0"}));
    int airports[] = {6, 2, 1};
    int runways[] = {11, 1, 1};
    int navaids[] = {6, 2, 0};
    QCOMPARE(m_prompter->texts(),
             QStringList{summary(airports, runways, navaids)
                         + QStringLiteral("\r\nАэропорты сдвинуты более чем на 1 км, маршрутов через них отмечено "
                                          "как не расчитанные: 1")});

    const QStringList once = test::wholeDump(db());
    QCOMPARE(import(test::ourAirportsFixture(QStringLiteral("current"))), ImportOutcome::Done);
    QCOMPARE(test::wholeDump(db()), once);
}

void TestOurAirports::airportIdentity_data()
{
    QTest::addColumn<QString>("ident");
    QTest::addColumn<QString>("gpsCode");
    QTest::addColumn<QString>("icaoCode");
    QTest::addColumn<QString>("identity");

    QTest::newRow("the ICAO code of today's files") << "AF-0005" << "OAKS" << "OAKS" << "OAKS";
    QTest::newRow("icao_code before gps_code") << "AHJ" << "ZUHY" << "ZUHX" << "ZUHX";
    QTest::newRow("a four-letter gps_code of older files") << "RU-0035" << "URMG" << "" << "URMG";
    QTest::newRow("a gps_code that is a local code") << "00AK" << "00AK" << "" << "00AK";
    QTest::newRow("a gps_code of digits and letters") << "US-0001" << "K2W0" << "" << "US-0001";
    QTest::newRow("a gps_code of three letters") << "XX-0001" << "ABC" << "" << "XX-0001";
    QTest::newRow("neither") << "UUEE" << "" << "" << "UUEE";
}

void TestOurAirports::airportIdentity()
{
    QFETCH(QString, ident);
    QFETCH(QString, gpsCode);
    QFETCH(QString, icaoCode);
    QTEST(catalogues::airportIdentity(ident, gpsCode, icaoCode), "identity");
}

void TestOurAirports::airportsOfAnEarlierImportAreCorrectedInPlace()
{
    // What an earlier version stored: airports under OurAirports' own idents,
    // one of them with a runway and on a calculated route.
    test::Fixture::Waypoint w;
    w.type = QStringLiteral("Airport");
    w.id = QStringLiteral("RU-0035");
    w.lat = QStringLiteral("N43*23.29");
    w.lon = QStringLiteral("E045*41.99");
    const qint64 grozny = m_fix->addPunkt(w);
    exec(QStringLiteral("INSERT INTO Runways (AP, Runway, IZPU_P) VALUES (%1, '08', 79.0)").arg(grozny));
    const qint64 route = m_fix->addRoute(QStringLiteral("Грозный"), 100.0, QDateTime(QDate(2024, 5, 1), QTime(12, 0)));
    m_fix->addPoint(route, 1, grozny);
    w.id = QStringLiteral("AHJ");
    w.lat = QStringLiteral("N32*31.86");
    w.lon = QStringLiteral("E101*41.05");
    const qint64 hongyuan = m_fix->addPunkt(w);
    w.id = QStringLiteral("UUEE"); // the ICAO code of another airport of the files
    w.lat = QStringLiteral("N55*58.36");
    w.lon = QStringLiteral("E037*24.88");
    const qint64 uuee = m_fix->addPunkt(w);

    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("oa"));
    QVERIFY(writeSmallFiles(folder, {{"RU-0035,medium_airport,Grozny Airport,43.388106,45.699772,548,RU,URMG,",
                                      "AHJ,medium_airport,Hongyuan,32.531,101.684,11600,CN,ZUHY,ZUHY",
                                      "UUEE,large_airport,Sheremetyevo,55.9726,37.4146,622,RU,UUEE,UUEE",
                                      // Its old ident is UUEE, the identity of the row above: not its row.
                                      "UUEE,small_airport,Old field,55.0,37.0,600,RU,UUEF,"},
                                     {"RU-0035,0,08,,,,26,,,"},
                                     {},
                                     {}}));
    QCOMPARE(import(folder), ImportOutcome::Done);
    QCOMPARE(test::rows(db(), QStringLiteral("SELECT Code, ID, Name FROM Punkts ORDER BY Code")),
             (QStringList{QStringLiteral("%1|URMG|Grozny Airport").arg(grozny),
                          QStringLiteral("%1|ZUHY|Hongyuan").arg(hongyuan),
                          QStringLiteral("%1|UUEE|Sheremetyevo").arg(uuee), QStringLiteral("%1|UUEF|Old field").arg(uuee + 1)}));
    // The runway stays the airport's, the route through it calculated: it has not moved.
    QCOMPARE(test::rows(db(), QStringLiteral("SELECT AP, Runway, IZPU_P FROM Runways ORDER BY Code")),
             (QStringList{QStringLiteral("%1|08|79").arg(grozny), QStringLiteral("%1|26|~").arg(grozny)}));
    QCOMPARE(test::rows(db(), QStringLiteral("SELECT DateTime IS NULL FROM Routes")), QStringList{"0"});
    int airports[] = {1, 3, 0};
    int runways[] = {1, 0, 1};
    int navaids[] = {0, 0, 0};
    QCOMPARE(m_prompter->texts(), QStringList{summary(airports, runways, navaids)});

    const QStringList once = test::wholeDump(db());
    QCOMPARE(import(folder), ImportOutcome::Done);
    QCOMPARE(test::wholeDump(db()), once);
}

void TestOurAirports::runwayTracks_data()
{
    QTest::addColumn<QString>("row"); // le_ident to he_heading_degT
    QTest::addColumn<QStringList>("runways"); // designator|track

    // The thresholds give the true track by the great circle from one end to the other.
    QTest::newRow("thresholds, east and west") << "09,0,0,,27,0,0.05," << QStringList{"09|90", "27|270"};
    QTest::newRow("thresholds on one meridian") << "36,10,20,,18,9.97,20," << QStringList{"36|180", "18|360"};
    QTest::newRow("thresholds a little off the meridian")
        << "01,50,30,,19,50.03,30.0003," << QStringList{"01|0.4", "19|180.4"};
    // With any of the four missing, the file's headings.
    QTest::newRow("three thresholds and the headings") << "05,10,20,5,23,10.05,,185" << QStringList{"05|5", "23|185"};
    QTest::newRow("one end's heading, the other's reversed") << "05,,,,23,,,185" << QStringList{"05|5", "23|185"};
    QTest::newRow("no heading at all") << "05,,,,23,,," << QStringList{"05|~", "23|~"};
    QTest::newRow("a heading of 362 is no heading") << "18,,,362,36,,,182" << QStringList{"18|2", "36|182"};
    QTest::newRow("a threshold beyond the pole is none") << "09,95,0,91,27,0,0.05,271" << QStringList{"09|91", "27|271"};
    QTest::newRow("one end only") << "H1,,,,,,," << QStringList{"H1|~"};
    QTest::newRow("a designator longer than ten characters") << "RUNWAYEIGHTEEN,,,,36,,," << QStringList{};
}

void TestOurAirports::runwayTracks()
{
    QFETCH(QString, row);
    QFETCH(QStringList, runways);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("oa"));
    QVERIFY(writeSmallFiles(folder, {{"ZZZZ,small_airport,Field,10,20,100,RU,,"}, {"ZZZZ,0," + row}, {}, {}}));
    QCOMPARE(import(folder), ImportOutcome::Done);
    QStringList got;
    for (const QString &r : test::runwayRows(db()))
        got << r.section(u'|', 1);
    QCOMPARE(got, runways);
}

void TestOurAirports::navaidRows_data()
{
    QTest::addColumn<QStringList>("rows"); // navaids.csv
    QTest::addColumn<QStringList>("waypoints"); // ID|Region|Type|Freq|LAT|LON of the radio aids

    QTest::newRow("a VOR on a 50 kHz channel") << QStringList{"RIA,Riga,VOR-DME,112050,56.9209,23.9652,LV"}
                                               << QStringList{"RIA|UU|VOR|112.05|N56*55.25|E023*57.91"};
    QTest::newRow("an NDB of half a kilohertz") << QStringList{"KN,Vnukovo,NDB-DME,400.5,55.61,37.2,RU"}
                                                << QStringList{"KN|UU|NDB|400.5|N55*36.60|E037*12.00"};
    QTest::newRow("a VOR's frequency off the band is dropped")
        << QStringList{"SU,Sheremetyevo,VOR,1146,55.9714,37.3883,RU"} << QStringList{"SU|UU|VOR|~|N55*58.28|E037*23.30"};
    QTest::newRow("an NDB's frequency off the band is dropped")
        << QStringList{"DE,Domodedovo,NDB,5000,55.5,37.9,RU"} << QStringList{"DE|UU|NDB|~|N55*30.00|E037*54.00"};
    QTest::newRow("one NDB twice, 0.6 km apart")
        << QStringList{"DE,Domodedovo,NDB,338,55.5,37.9,RU", "DE,Domodedovo copy,NDB,338,55.5054,37.9,RU"}
        << QStringList{"DE|UU|NDB|338|N55*30.00|E037*54.00"};
    QTest::newRow("two NDBs of one ident, 5 km apart")
        << QStringList{"DE,Domodedovo,NDB,338,55.5,37.9,RU", "DE,Dubrovka,NDB,338,55.545,37.9,RU"}
        << QStringList{"DE|UU|NDB|338|N55*30.00|E037*54.00", "DE|UU|NDB|338|N55*32.70|E037*54.00"};
    QTest::newRow("a VOR and an NDB of one ident and place")
        << QStringList{"MR,Moscow,VOR,114600,55.96,37.35,RU", "MR,Moscow,NDB,338,55.96,37.35,RU"}
        << QStringList{"MR|UU|VOR|114.6|N55*57.60|E037*21.00", "MR|UU|NDB|338|N55*57.60|E037*21.00"};
    QTest::newRow("DME and TACAN alone are no waypoints")
        << QStringList{"VND,Vnukovo,DME,113900,55.59,37.26,RU", "MKT,Moscow,TACAN,112000,55.7,37.6,RU"} << QStringList{};
    QTest::newRow("a position that is none skips the row")
        << QStringList{"XX,Nowhere,NDB,338,55.5,380.0,RU", "YY,Somewhere,NDB,338,55.5,-37.9,RU"}
        << QStringList{"YY||NDB|338|N55*30.00|W037*54.00"};
}

void TestOurAirports::navaidRows()
{
    QFETCH(QStringList, rows);
    QFETCH(QStringList, waypoints);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("oa"));
    QVERIFY(writeSmallFiles(folder, {{"UUEE,large_airport,Sheremetyevo,55.9726,37.4146,622,RU,UUEE,UUEE"}, {}, rows, {}}));
    QCOMPARE(import(folder), ImportOutcome::Done);
    QCOMPARE(test::rows(db(), QStringLiteral("SELECT ID, Region, Type, Freq, LAT, LON FROM Punkts WHERE Type <> 'Airport' "
                                             "ORDER BY Code")),
             waypoints);
}

void TestOurAirports::leftOutRowsAndValues_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("from"); // in the "current" fixture, replaced by `to`
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("issue");   // the details' line
    QTest::addColumn<QString>("counts");  // the summary's line for the file
    QTest::addColumn<QString>("check");   // a statement over what was imported
    QTest::addColumn<QString>("result");

    QTest::newRow("elevation not a number")
        << "airports.csv" << QByteArray("37.4146,622,") << QByteArray("37.4146,high,")
        << "airports.csv, строка 2: неправильное превышение: «high»; значение не взято"
        << "airports.csv: пропущено строк 0, не взято значений 1" << "SELECT H FROM Punkts WHERE ID = 'UUEE'" << "~";
    QTest::newRow("elevation out of range")
        << "airports.csv" << QByteArray("37.4146,622,") << QByteArray("37.4146,62200,")
        << "airports.csv, строка 2: неправильное превышение: «62200»; значение не взято"
        << "airports.csv: пропущено строк 0, не взято значений 1" << "SELECT H FROM Punkts WHERE ID = 'UUEE'" << "~";
    QTest::newRow("a row of an airport the filter leaves out")
        << "airports.csv" << QByteArray("37.539,480,") << QByteArray("37.539,4 80,")
        << "airports.csv, строка 10: неправильное превышение: «4 80»; значение не взято"
        << "airports.csv: пропущено строк 0, не взято значений 1" << "SELECT count(*) FROM Punkts" << "17";
    QTest::newRow("latitude beyond the pole")
        << "airports.csv" << QByteArray("55.972599,") << QByteArray("95.5,")
        << "airports.csv, строка 2: неправильная широта: «95.5»; строка пропущена"
        << "airports.csv: пропущено строк 1, не взято значений 0"
        << "SELECT count(*) FROM Punkts WHERE ID = 'UUEE' UNION ALL SELECT count(*) FROM Runways" << "0|9";
    QTest::newRow("an ident too long")
        << "navaids.csv" << QByteArray("\"KV\",\"Kyiv\"") << QByteArray("\"KYIVBORYSPIL\",\"Kyiv\"")
        << "navaids.csv, строка 12: неправильный идентификатор (нужно от 1 до 10 знаков): «KYIVBORYSPIL»; строка пропущена"
        << "navaids.csv: пропущено строк 1, не взято значений 0" << "SELECT count(*) FROM Punkts WHERE Name = 'Kyiv'"
        << "0";
    QTest::newRow("a VOR off the band")
        << "navaids.csv" << QByteArray("115500,50.4") << QByteArray("1155,50.4")
        << "navaids.csv, строка 12: неправильная частота: «1155»; значение не взято"
        << "navaids.csv: пропущено строк 0, не взято значений 1" << "SELECT Freq FROM Punkts WHERE ID = 'KV'" << "~";
    QTest::newRow("closed neither 0 nor 1") << "runways.csv" << QByteArray("\"CON\",1,0,\"06C\"")
                                            << QByteArray("\"CON\",1,yes,\"06C\"")
                                            << "runways.csv, строка 3: признак закрытой ВПП не 0 и не 1: «yes»; строка пропущена"
                                            << "runways.csv: пропущено строк 1, не взято значений 0"
                                            << "SELECT count(*) FROM Runways WHERE Runway IN ('06C', '24C')" << "0";
    QTest::newRow("a threshold beyond the pole")
        << "runways.csv" << QByteArray("55.9757,") << QByteArray("95.9757,")
        << "runways.csv, строка 2: неправильная широта: «95.9757»; значение не взято"
        << "runways.csv: пропущено строк 0, не взято значений 1"
        << "SELECT IZPU_P FROM Runways WHERE Runway = '06R'" << "64";
    QTest::newRow("ATIS not a number")
        << "airport-frequencies.csv" << QByteArray(",125.875") << QByteArray(",\"125.875 MHz\"")
        << "airport-frequencies.csv, строка 5: неправильная частота: «125.875 MHz»; значение не взято"
        << "airport-frequencies.csv: пропущено строк 0, не взято значений 1"
        << "SELECT ATIS FROM Punkts WHERE ID = 'UUWW'" << "~";
    QTest::newRow("ATIS row id not a number")
        << "airport-frequencies.csv" << QByteArray("60090,") << QByteArray("x,")
        << "airport-frequencies.csv, строка 3: номер строки (id) не число: «x»; строка пропущена"
        << "airport-frequencies.csv: пропущено строк 1, не взято значений 0"
        << "SELECT ATIS FROM Punkts WHERE ID = 'UUEE'" << "122.075";
}

void TestOurAirports::leftOutRowsAndValues()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, issue);
    QFETCH(QString, counts);
    QFETCH(QString, check);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("oa"));
    QVERIFY(test::copyFixture(QStringLiteral("current"), folder));
    const QString path = QDir(folder).filePath(file);
    QByteArray bytes = readAll(path);
    QCOMPARE(bytes.count(from), 1);
    QVERIFY(writeAll(path, bytes.replace(from, to)));

    // A bad row or value does not stop the import of the rest.
    QCOMPARE(import(folder), ImportOutcome::Done);
    QCOMPARE(m_prompter->messages().size(), 1);
    const test::RecordingPrompter::Message &message = m_prompter->messages().first();
    QCOMPARE(message.kind, Kind::Info);
    QVERIFY2(message.text.startsWith(QStringLiteral("Импорт из OurAirports выполнен.")), qPrintable(message.text));
    QVERIFY2(message.text.endsWith(QStringLiteral("\r\n\r\nНе взято из файлов:\r\n") + counts), qPrintable(message.text));
    QCOMPARE(message.details, QStringLiteral("Все случаи:\r\n") + issue);
    QTEST(test::rows(db(), check).join(u'|'), "result");
}

void TestOurAirports::atMostTenLeftOutAreListed()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("oa"));
    QStringList airports;
    for (int i = 0; i < 12; ++i)
        airports << QStringLiteral("ZZ%1,small_airport,Field,%2,20,high,RU,,").arg(i, 2, 10, QChar(u'0')).arg(10 + i);
    airports << QStringLiteral("ZZ12,small_airport,Field,north,20,100,RU,,");
    QVERIFY(writeSmallFiles(folder, {airports, {"ZZ00,0,09,,,400,27,,,275.5"}, {}, {}}));
    QCOMPARE(import(folder), ImportOutcome::Done);
    const test::RecordingPrompter::Message &message = m_prompter->messages().first();
    QVERIFY2(message.text.endsWith(QStringLiteral("\r\n\r\nНе взято из файлов:\r\n"
                                                  "airports.csv: пропущено строк 1, не взято значений 12\r\n"
                                                  "runways.csv: пропущено строк 0, не взято значений 1")),
             qPrintable(message.text));
    QStringList expected{QStringLiteral("Первые 10 из 14:")};
    for (int i = 0; i < 10; ++i)
        expected << QStringLiteral("airports.csv, строка %1: неправильное превышение: «high»; значение не взято").arg(i + 2);
    QCOMPARE(message.details.split(QStringLiteral("\r\n")), expected);
    QCOMPARE(test::rows(db(), QStringLiteral("SELECT count(*), count(H) FROM Punkts")), QStringList{"12|0"});
}

void TestOurAirports::realFilesImportWhole()
{
    // OurAirports' files as published import whole: the bad heading of one
    // runway is left out, and said.
    QCOMPARE(import(ussrFiles()), ImportOutcome::Done);
    const test::RecordingPrompter::Message &message = m_prompter->messages().first();
    QVERIFY2(message.text.startsWith(QStringLiteral("Импорт из OurAirports выполнен.\r\n\r\nАэропорты: новых 404,")),
             qPrintable(message.text));
    QVERIFY2(message.text.contains(QStringLiteral("runways.csv: пропущено строк 0, не взято значений 1")),
             qPrintable(message.text));
    QVERIFY2(message.details.contains(
                 QStringLiteral("runways.csv, строка 10: неправильный истинный курс: «362»; значение не взято")),
             qPrintable(message.details));
    // Grozny is listed twice, once under OurAirports' own ident with its
    // ICAO code in gps_code: the first row is URMG, the second said and left out.
    QVERIFY2(message.details.contains(
                 QStringLiteral("airports.csv, строка 291: аэропорт этого кода уже взят из строки 48: «URMG»; "
                                "строка пропущена")),
             qPrintable(message.details));
    QCOMPARE(test::rows(db(), QStringLiteral("SELECT ID, Name, LAT, LON, H, ATIS FROM Punkts WHERE ID IN "
                                             "('URMG', 'RU-0035', 'UUEE') ORDER BY ID")),
             (QStringList{"URMG|Grozny Airport|N43*23.29|E045*41.99|548|127.2",
                          "UUEE|Sheremetyevo International Airport|N55*58.36|E037*24.88|622|122.075"}));
    // The runway the file names by the airport's old ident is Grozny's.
    QCOMPARE(test::rows(db(), QStringLiteral("SELECT Runways.Runway FROM Runways JOIN Punkts ON Punkts.Code = Runways.AP "
                                             "WHERE Punkts.ID = 'URMG' ORDER BY Runways.Runway")),
             (QStringList{"08", "26"}));
    // No airport under a local code where the files give an ICAO code.
    QCOMPARE(test::rows(db(), QStringLiteral("SELECT count(*) FROM Punkts WHERE Type = 'Airport' AND ID IN "
                                             "('AZ-0001', 'BY-0001', 'BY-0006', 'KG-0001', 'KZ-0067', 'KZ-7470')")),
             QStringList{"0"});
    QCOMPARE(test::rows(db(), QStringLiteral("SELECT ID, Freq FROM Punkts WHERE ID IN ('ODS', 'RIA') AND Type = 'VOR' "
                                             "ORDER BY ID")),
             (QStringList{"ODS|113.95", "RIA|112.05"}));

    const QStringList once = test::wholeDump(db());
    m_prompter->clear();
    QCOMPARE(import(ussrFiles()), ImportOutcome::Done);
    QCOMPARE(test::wholeDump(db()), once);
    QVERIFY2(m_prompter->lastText().contains(QStringLiteral("Аэропорты: новых 0, обновлено 0, без изменений 404")),
             qPrintable(m_prompter->lastText()));
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
    QTest::newRow("quote left open") << "airports.csv" << QByteArray("\"Ивановка\",\"no\",") << QByteArray("\"Ивановка\",\"no,")
                                     << "Файл airports.csv, строка 12: кавычка не закрыта до конца файла";
    QTest::newRow("text after a closing quote")
        << "navaids.csv" << QByteArray("\"Adler\"") << QByteArray("\"Adler\" VOR")
        << "Файл navaids.csv, строка 5: после закрывающей кавычки нет запятой";
    QTest::newRow("a field too many") << "runways.csv" << QByteArray("244.0,\n1002") << QByteArray("244.0,,\n1002")
                                      << "Файл runways.csv, строка 2: полей 21, а в строке заголовка 20";
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
