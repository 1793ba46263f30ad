#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <algorithm>

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
    QString ident;      // its identity (airportIdentity)
    QString fileIdent;  // OurAirports' own ident, by which the other files name it
    QString name;       // at most 50 characters
    QString lat;
    QString lon;
    QVariant elevation; // feet
    QVariant atis;      // MHz, of the ATIS row with the lowest id
};

struct OaRunway
{
    QString airport;    // the airport's identity
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
    QString region;     // ICAO prefix of the nearest airport with an ICAO code; empty when none is near
    QVariant freq;      // MHz for a VOR, kHz for an NDB
};

// What a read left out of one file: rows it skipped (their identity or
// position could not be read) and values it dropped from rows it kept (a
// heading, an elevation, a frequency, a threshold that could not be read or
// lies out of range).
struct OaFileReport
{
    QString file;
    int skippedRows = 0;
    int droppedValues = 0;
};

// What a read left out of the four files: the counts per file, in the order
// the files are read, and the first kMaxReportedIssues of them, each as
// "airports.csv, строка 12: неправильная широта: «abc»; строка пропущена".
struct OaReadReport
{
    static constexpr int kMaxReportedIssues = 10;
    QList<OaFileReport> files;
    QStringList firstIssues;

    bool isEmpty() const
    {
        return std::all_of(files.cbegin(), files.cend(),
                           [](const OaFileReport &f) { return f.skippedRows == 0 && f.droppedValues == 0; });
    }
};

struct OurAirportsData
{
    QList<OaAirport> airports;
    QList<OaRunway> runways;
    QList<OaNavaid> navaids;
    OaReadReport report;
};

enum class ImportOutcome { Done, Failed, Cancelled };

// The identity of an airport row: its icao_code where the file has that
// column and the row a value in it, else its gps_code where that is an ICAO
// code (four capital letters), else its ident. OurAirports gives some
// airports with an ICAO code an ident of its own ("RU-0035", "AHJ"), which no
// flight plan names.
QString airportIdentity(const QString &ident, const QString &gpsCode, const QString &icaoCode);

// Reads the four files of the folder, each column found by its header name,
// and keeps what the filter takes. Nothing is written anywhere. A row whose
// identity or position cannot be read is skipped, an optional value that
// cannot be read or lies out of range is dropped (data->report counts both,
// whether the filter takes the row or not). Failed with *error naming the
// file (and the line) when a file itself is faulty: missing, unreadable, too
// large, not UTF-8 text, without a required column, with broken quoting.
// Cancelled when progress asks for it. progress may be null.
ImportOutcome readOurAirports(const QString &folder, const OurAirportsFilter &filter, ImportProgress *progress,
                              OurAirportsData *data, QString *error);

} // namespace kx::catalogues
