// The import of OurAirports' world files into the waypoint catalogue: files
// of the world's size and shape (about 80,000 airports of every type, 50,000
// runways, 11,000 radio aids, 30,000 frequencies; quoted text, Latin and
// Cyrillic names with commas, all four hemispheres), made here. Timed with
// every airport type taken, so that every row is written: the first import
// into the catalogue a new installation has, and an import of the same files
// again, which finds every row and changes nothing.
#include "Bench.h"
#include "Generate.h"
#include "Groups.h"
#include "SilentPrompter.h"

#include "catalogues/core/OurAirportsImport.h"
#include "tools/mkdb/DbBuild.h"
#include "store/Session.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>

#include <vector>

namespace kx::bench {
namespace {

constexpr int kAirports = 80000;
constexpr int kRunways = 50000;
constexpr int kNavaids = 11000;
constexpr int kFrequencies = 30000;
constexpr int kRuns = 3; // an import takes seconds

const char *const kCountries[] = {"RU", "UA", "KZ", "BY", "US", "CA", "BR", "AU", "DE", "FR", "GB", "CN",
                                  "IN", "AR", "ZA", "MX", "JP", "NO", "SE", "FI", "PL", "TR", "IR", "ID"};

QByteArray quoted(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    bytes.replace('"', "\"\"");
    return '"' + bytes + '"';
}

QByteArray number(double value, int decimals)
{
    return QByteArray::number(value, 'f', decimals);
}

// A coordinate as the published files write it: a double's digits, 15 to 18
// decimals ("52.55889892578125", "-158.617996216000004").
QByteArray coordinate(QRandomGenerator &random, double value)
{
    return number(value, 15 + random.bounded(4));
}

struct World
{
    struct Airport
    {
        QString ident;
        double lat;
        double lon;
        bool withRunways;
    };
    std::vector<Airport> airports;
};

// One of the names, each as often as its share of all the shares.
template<std::size_t N>
const char *weightedPick(QRandomGenerator &random, const std::pair<const char *, int> (&shares)[N])
{
    int total = 0;
    for (const auto &share : shares)
        total += share.second;
    int pick = random.bounded(total);
    for (const auto &[name, share] : shares) {
        if (pick < share)
            return name;
        pick -= share;
    }
    return shares[0].first;
}

QByteArray airportsCsv(QRandomGenerator &random, World *world)
{
    // The types in about the proportions of the real file.
    const std::pair<const char *, int> types[] = {{"small_airport", 520}, {"heliport", 250}, {"closed", 140},
                                                  {"medium_airport", 60}, {"seaplane_base", 15}, {"large_airport", 6},
                                                  {"balloonport", 1}};
    QByteArray out = "\"id\",\"ident\",\"type\",\"name\",\"latitude_deg\",\"longitude_deg\",\"elevation_ft\","
                     "\"continent\",\"iso_country\",\"iso_region\",\"municipality\",\"scheduled_service\","
                     "\"icao_code\",\"iata_code\",\"gps_code\",\"local_code\",\"home_link\",\"wikipedia_link\","
                     "\"keywords\"\n";
    for (int i = 0; i < kAirports; ++i) {
        const char *type = weightedPick(random, types);
        const char *country = kCountries[random.bounded(static_cast<int>(std::size(kCountries)))];
        // Every other airport has an ICAO ident of four letters, the rest a
        // local code or OurAirports' own; of those, some have their ICAO code
        // in gps_code only, as 116 of the real medium and large airports do.
        const auto icao = [](int n) {
            QString code;
            for (int k = 0; k < 4; ++k, n /= 26)
                code.prepend(QChar(u'A' + n % 26));
            return code;
        };
        const QString ident = i % 2 == 0 ? icao(i / 2)
                                         : QStringLiteral("%1-%2").arg(QLatin1String(country)).arg(i, 5, 10, QChar(u'0'));
        const QString gpsCode = i % 2 == 0 ? ident : (i % 40 == 1 ? icao(100000 + i) : QString());
        const double lat = random.bounded(150.0) - 60;
        const double lon = random.bounded(360.0) - 180;
        const QString name = i % 7 == 0 ? QStringLiteral("Аэродром %1, Заречье").arg(i)
                                        : QStringLiteral("Field %1 \"Old\", County %2 Regional Airport").arg(i).arg(i % 97);
        world->airports.push_back({ident, lat, lon, qstrcmp(type, "heliport") != 0 && qstrcmp(type, "closed") != 0});
        out += QByteArray::number(i + 1) + ',' + quoted(ident) + ',' + quoted(QLatin1String(type)) + ','
            + quoted(name) + ',' + coordinate(random, lat) + ',' + coordinate(random, lon) + ','
            + (i % 10 == 3 ? QByteArray() : QByteArray::number(random.bounded(9000))) + ",\"EU\"," + quoted(QLatin1String(country))
            + ',' + quoted(QLatin1String(country) + QStringLiteral("-01")) + ",\"Town\",\"no\","
            + (i % 2 == 0 ? quoted(ident) : QByteArray()) + ",," + (gpsCode.isEmpty() ? QByteArray() : quoted(gpsCode))
            + ",,,\"https://en.wikipedia.org/wiki/Field\"," + quoted(QStringLiteral("field, strip")) + '\n';
    }
    return out;
}

QByteArray runwaysCsv(QRandomGenerator &random, const World &world)
{
    QByteArray out = "\"id\",\"airport_ref\",\"airport_ident\",\"length_ft\",\"width_ft\",\"surface\",\"lighted\","
                     "\"closed\",\"le_ident\",\"le_latitude_deg\",\"le_longitude_deg\",\"le_elevation_ft\","
                     "\"le_heading_degT\",\"le_displaced_threshold_ft\",\"he_ident\",\"he_latitude_deg\","
                     "\"he_longitude_deg\",\"he_elevation_ft\",\"he_heading_degT\",\"he_displaced_threshold_ft\"\n";
    for (int i = 0; i < kRunways; ++i) {
        int a = random.bounded(static_cast<int>(world.airports.size()));
        while (!world.airports[static_cast<size_t>(a)].withRunways)
            a = (a + 1) % static_cast<int>(world.airports.size());
        const World::Airport &airport = world.airports[static_cast<size_t>(a)];
        const int heading = 1 + random.bounded(18);
        const char *side = i % 5 == 0 ? "L" : (i % 5 == 1 ? "R" : "");
        const QByteArray le = QByteArray::number(heading).rightJustified(2, '0') + side;
        const QByteArray he = QByteArray::number(heading + 18) + (*side == 'L' ? "R" : (*side == 'R' ? "L" : ""));
        const bool thresholds = i % 3 != 0;
        const double dlat = 0.01 * std::cos(heading * 10 * M_PI / 180);
        const double dlon = 0.01 * std::sin(heading * 10 * M_PI / 180);
        out += QByteArray::number(i + 1) + ',' + QByteArray::number(a + 1) + ',' + quoted(airport.ident) + ','
            + QByteArray::number(2000 + random.bounded(10000)) + ",100,\"ASP\",1," + (i % 40 == 0 ? "1" : "0") + ','
            + quoted(QString::fromLatin1(le)) + ','
            + (thresholds ? coordinate(random, airport.lat - dlat) + ',' + coordinate(random, airport.lon - dlon)
                          : QByteArray(","))
            + ",500," + number(heading * 10.0, 1) + ",," + quoted(QString::fromLatin1(he)) + ','
            + (thresholds ? coordinate(random, airport.lat + dlat) + ',' + coordinate(random, airport.lon + dlon)
                          : QByteArray(","))
            + ",500," + number(heading * 10.0 + 180, 1) + ",\n";
    }
    return out;
}

QByteArray navaidsCsv(QRandomGenerator &random)
{
    const std::pair<const char *, int> types[] = {{"NDB", 40}, {"VOR-DME", 30}, {"DME", 12}, {"VORTAC", 10},
                                                  {"TACAN", 4},  {"VOR", 3},      {"NDB-DME", 1}};
    QByteArray out = "\"id\",\"filename\",\"ident\",\"name\",\"type\",\"frequency_khz\",\"latitude_deg\","
                     "\"longitude_deg\",\"elevation_ft\",\"iso_country\",\"dme_frequency_khz\",\"dme_channel\","
                     "\"dme_latitude_deg\",\"dme_longitude_deg\",\"dme_elevation_ft\",\"slaved_variation_deg\","
                     "\"magnetic_variation_deg\",\"usageType\",\"power\",\"associated_airport\"\n";
    for (int i = 0; i < kNavaids; ++i) {
        const char *type = weightedPick(random, types);
        QString ident;
        for (int n = i, k = 0; k < 3; ++k, n /= 26)
            ident.prepend(QChar(u'A' + n % 26));
        const bool ndb = qstrncmp(type, "NDB", 3) == 0;
        const int khz = ndb ? 190 + random.bounded(1500) : 108000 + 50 * random.bounded(200);
        out += QByteArray::number(i + 1) + ",\"file\"," + quoted(ident) + ','
            + quoted(i % 5 == 0 ? QStringLiteral("Привод %1, ДПРМ").arg(i) : QStringLiteral("Beacon %1").arg(i)) + ','
            + quoted(QLatin1String(type)) + ',' + QByteArray::number(khz) + ','
            + coordinate(random, random.bounded(150.0) - 60) + ',' + coordinate(random, random.bounded(360.0) - 180)
            + ",500,"
            + quoted(QLatin1String(kCountries[random.bounded(static_cast<int>(std::size(kCountries)))]))
            + ",,,,,,,,\"BOTH\",\"HIGH\",\n";
    }
    return out;
}

QByteArray frequenciesCsv(QRandomGenerator &random, const World &world)
{
    const char *const types[] = {"TWR", "GND", "APP", "ATIS", "CTAF", "UNIC", "ATIS", "DEP"};
    QByteArray out = "\"id\",\"airport_ref\",\"airport_ident\",\"type\",\"description\",\"frequency_mhz\"\n";
    for (int i = 0; i < kFrequencies; ++i) {
        const int a = random.bounded(static_cast<int>(world.airports.size()));
        const char *type = types[random.bounded(8)];
        out += QByteArray::number(i + 1) + ',' + QByteArray::number(a + 1) + ','
            + quoted(world.airports[static_cast<size_t>(a)].ident) + ',' + quoted(QLatin1String(type)) + ','
            + quoted(QStringLiteral("%1, main").arg(QLatin1String(type))) + ','
            + number(118 + random.bounded(1900) * 0.005, 3) + '\n';
    }
    return out;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool makeWorld(const QString &folder, QString *why)
{
    QRandomGenerator random(1554);
    World world;
    const QByteArray airports = airportsCsv(random, &world);
    const std::pair<const char *, QByteArray> files[] = {
        {"airports.csv", airports},
        {"runways.csv", runwaysCsv(random, world)},
        {"navaids.csv", navaidsCsv(random)},
        {"airport-frequencies.csv", frequenciesCsv(random, world)},
    };
    for (const auto &[name, bytes] : files) {
        if (!writeFile(folder + QLatin1String(name), bytes)) {
            *why = QStringLiteral("cannot write %1").arg(folder + QLatin1String(name));
            return false;
        }
    }
    return true;
}

// A fresh copy of the new installation's empty catalogue under the session's folder.
bool freshDatabase(const QString &templatePath, const QString &folder)
{
    const QString path = folder + QLatin1String(store::Session::kDatabaseName);
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(path + suffix);
    return QFile::copy(templatePath, path);
}

} // namespace

void benchOurAirports(Bench &bench)
{
    const QString first = QStringLiteral("ourairports_import_ms");
    const QString again = QStringLiteral("ourairports_reimport_ms");
    if (!bench.wants(first) && !bench.wants(again))
        return;
    const QString folder = bench.newFolder(QStringLiteral("ourairports"));
    const QString world = folder + QStringLiteral("world/");
    const QString program = folder + QStringLiteral("program/");
    const QString templatePath = folder + QStringLiteral("empty.kdb");
    QString why;
    QDir().mkpath(world);
    QDir().mkpath(program);
    if (!makeWorld(world, &why) || !generateSimulator(program + QStringLiteral("FS9/"), &why)
        || !dbbuild::createDatabase(templatePath, &why)) {
        bench.fail(first, why);
        return;
    }
    catalogues::OurAirportsFilter filter;
    filter.types = catalogues::airportTypes();

    std::vector<double> firstTimes;
    std::vector<double> againTimes;
    for (int run = 0; run < std::min(bench.runs(), kRuns); ++run) {
        SilentPrompter prompter;
        store::Session session(program, prompter);
        session.settings.fsPath = program + QStringLiteral("FS9/");
        if (!freshDatabase(templatePath, program) || !session.ADOC.open(session.databasePath())) {
            bench.fail(first, QStringLiteral("cannot open a fresh database: ") + session.ADOC.lastError());
            return;
        }
        for (auto *times : {&firstTimes, &againTimes}) {
            QElapsedTimer timer;
            timer.start();
            const auto outcome = catalogues::importOurAirports(session, world, filter, nullptr, nullptr);
            if (outcome != catalogues::ImportOutcome::Done) {
                bench.fail(times == &firstTimes ? first : again, prompter.lastError());
                return;
            }
            times->push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        }
        session.ADOC.close();
    }
    if (bench.wants(first))
        bench.report(first, Bench::median(firstTimes), QStringLiteral("ms"));
    if (bench.wants(again))
        bench.report(again, Bench::median(againTimes), QStringLiteral("ms"));
}

} // namespace kx::bench
