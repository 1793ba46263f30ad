#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace kx::catalogues {

class ImportProgress;

// The four files OurAirports publishes (ourairports.com/data, public domain),
// as they lie in the folder a pilot downloaded them into.
inline constexpr char16_t kAirportsFile[] = u"airports.csv";
inline constexpr char16_t kFrequenciesFile[] = u"airport-frequencies.csv";
inline constexpr char16_t kRunwaysFile[] = u"runways.csv";
inline constexpr char16_t kNavaidsFile[] = u"navaids.csv";

// The world's files are about 12 MB at most; anything this large is not one,
// and its rows, all kept in memory until they are written, could exhaust it.
inline constexpr qint64 kMaxOurAirportsFileBytes = 64LL * 1024 * 1024;

// Which airports an import takes. Runways and ATIS follow their airports; the
// country filter applies to the radio aids as well.
struct OurAirportsFilter
{
    QStringList countries; // ISO 3166-1 codes in capitals ("RU"); empty: every country
    QStringList types;     // OurAirports airport types; empty: defaultAirportTypes()
};

// Every airport type OurAirports uses.
QStringList airportTypes();
// The types an import takes unless told otherwise: the three kinds of airport,
// without heliports, seaplane and balloon bases and closed airports.
QStringList defaultAirportTypes();

// A comma-separated list as the command line gives it ("RU,ua, KZ"); false with
// *error naming the first entry that is not a two-letter code, or not an
// airport type.
bool parseCountryList(const QString &text, QStringList *countries, QString *error);
bool parseTypeList(const QString &text, QStringList *types, QString *error);

// The rows of the files that go into the catalogue, each identity once (the
// first row of the file that has it), in file order. Positions are the
// program's coordinate texts; Null where the file has no value.
struct OaAirport
{
    QString ident;
    QString name;       // at most 50 characters
    QString lat;
    QString lon;
    QVariant elevation; // feet
    QVariant atis;      // MHz, of the ATIS row with the lowest id
};

struct OaRunway
{
    QString airport;    // the airport's ident
    QString designator; // of this end
    QVariant heading;   // true track of this end, 0.1..360, one decimal
};

struct OaNavaid
{
    QString ident;
    QString type;       // "VOR" (VOR, VOR-DME, VORTAC) or "NDB" (NDB, NDB-DME)
    QString name;       // at most 50 characters
    QString lat;
    QString lon;
    QString region;     // ICAO prefix of the nearest airport with an ICAO ident; empty when none is near
    QVariant freq;      // MHz for a VOR, kHz for an NDB
};

struct OurAirportsData
{
    QList<OaAirport> airports;
    QList<OaRunway> runways;
    QList<OaNavaid> navaids;
};

enum class ImportOutcome { Done, Failed, Cancelled };

// Reads the four files of the folder, each column found by its header name,
// and keeps what the filter takes. Nothing is written anywhere. Failed with
// *error when a file is missing or bad (naming the file and the line): any
// bad row fails the whole read, whether the filter takes it or not.
// Cancelled when progress asks for it. progress may be null.
ImportOutcome readOurAirports(const QString &folder, const OurAirportsFilter &filter, ImportProgress *progress,
                              OurAirportsData *data, QString *error);

// Two positions (radians) within this distance are one place: the same radio
// aid, an airport that has not moved.
inline constexpr long double kSamePlaceKm = 1.0;

} // namespace kx::catalogues
