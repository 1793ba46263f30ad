#include "OurAirports.h"

#include "CsvReader.h"
#include "ImportProgress.h"
#include "OurAirportsFields.h"
#include "OurAirportsTexts.h"
#include "RegionGrid.h"

#include "base/CaseFold.h"
#include "geo/CoordText.h"
#include "geo/Sphere.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <numbers>
#include <optional>
#include <utility>

namespace kx::catalogues {
namespace {

constexpr int kRecordsPerStep = 2048;
constexpr int kProgressScale = 1000;
constexpr long double kRadiansPerDegree = std::numbers::pi_v<long double> / 180;

QString fileName(const char16_t *name)
{
    return QString::fromUtf16(name);
}

// A column found by its header name: the name and where its index goes.
using Column = std::pair<const char16_t *, int *>;

// One read of the four files.
class Reader
{
public:
    Reader(const QString &folder, const OurAirportsFilter &filter, ImportProgress *progress, OurAirportsData *data,
           QString *error)
        : m_folder(folder), m_filter(filter), m_progress(progress), m_data(data), m_error(error)
    {
        if (m_filter.types.isEmpty())
            m_filter.types = defaultAirportTypes();
    }

    ImportOutcome run();

private:
    // Opens a file and finds its columns once: the required ones, false with
    // *m_error when one is missing, and the optional ones, -1 when missing.
    bool open(CsvReader &reader, std::initializer_list<Column> required, std::initializer_list<Column> optional = {});
    // false when the person asked to stop
    bool step(const CsvReader &reader, int records);
    bool takesCountry(const QString &country) const
    {
        return m_filter.countries.isEmpty() || m_filter.countries.contains(country.trimmed());
    }
    // A row left out, or a value left out of a row that is kept: counted for
    // the file and, among the first few, told with its line.
    void skipRow(const CsvReader &reader, const QString &what, const QString &value);
    void dropValue(const CsvReader &reader, const QString &what, const QString &value);
    void tell(const CsvReader &reader, const QString &issue);
    // A position's two fields as coordinate texts; false after skipRow.
    bool position(const CsvReader &reader, const QString &lat, const QString &lon, QString *latText,
                  QString *lonText);
    // An optional number within its range; Null after dropValue when the
    // field holds something else.
    QVariant optionalNumber(const CsvReader &reader, int column, double minimum, double maximum, const QString &what);

    // The taken airport (index in m_data->airports) a row of another file
    // names; -1 when the filter left it out or the airports file lacks it.
    qsizetype airportOf(const CsvReader &reader, int refColumn, int identColumn) const;

    bool readAirports();
    bool readFrequencies();
    bool readRunways();
    bool readNavaids();
    // Ends one file's reading; false when it stopped at a fault.
    bool finish(const CsvReader &reader);

    QDir m_folder;
    OurAirportsFilter m_filter;
    ImportProgress *m_progress;
    OurAirportsData *m_data;
    QString *m_error;
    bool m_cancelled = false;

    qint64 m_totalBytes = 0;
    qint64 m_bytesBefore = 0; // of the files read completely

    QHash<QString, qsizetype> m_airports;      // folded identity -> index in m_data->airports
    QHash<QString, int> m_airportLines;        // folded identity -> the line of the row it was taken from
    QHash<QString, qsizetype> m_byFileIdent;   // folded OurAirports ident -> index in m_data->airports
    QHash<qint64, qsizetype> m_byId;           // OurAirports' airport id -> index in m_data->airports
    bool m_airportIds = false;                 // airports.csv has its id column
    QHash<qsizetype, qint64> m_atisIds;        // index in m_data->airports -> id of its ATIS row
    RegionGrid m_regions;
};

bool Reader::open(CsvReader &reader, std::initializer_list<Column> required, std::initializer_list<Column> optional)
{
    m_data->report.files.append({reader.shownName()});
    if (!reader.open(m_error))
        return false;
    for (const auto &[name, index] : required) {
        *index = reader.column(QStringView(name));
        if (*index < 0) {
            *m_error = reader.problem(texts::columnMissing(QString::fromUtf16(name)));
            return false;
        }
    }
    for (const auto &[name, index] : optional)
        *index = reader.column(QStringView(name));
    return true;
}

bool Reader::step(const CsvReader &reader, int records)
{
    if (records % kRecordsPerStep != 0)
        return true;
    if (!m_progress)
        return true;
    const qint64 done = m_bytesBefore + reader.position();
    m_progress->setPosition(static_cast<int>(m_totalBytes > 0 ? done * kProgressScale / m_totalBytes : 0));
    if (m_progress->cancelRequested()) {
        m_cancelled = true;
        return false;
    }
    return true;
}

void Reader::tell(const CsvReader &reader, const QString &issue)
{
    QStringList &first = m_data->report.firstIssues;
    if (first.size() < OaReadReport::kMaxReportedIssues)
        first.append(texts::issueLine(reader.shownName(), reader.line(), issue));
}

void Reader::skipRow(const CsvReader &reader, const QString &what, const QString &value)
{
    ++m_data->report.files.last().skippedRows;
    tell(reader, texts::rowSkipped(texts::badValue(what, value)));
}

void Reader::dropValue(const CsvReader &reader, const QString &what, const QString &value)
{
    ++m_data->report.files.last().droppedValues;
    tell(reader, texts::valueDropped(texts::badValue(what, value)));
}

bool Reader::position(const CsvReader &reader, const QString &lat, const QString &lon, QString *latText,
                      QString *lonText)
{
    const std::optional<QString> latitude = fields::latitude(lat);
    if (!latitude) {
        skipRow(reader, texts::badLatitude(), lat);
        return false;
    }
    const std::optional<QString> longitude = fields::longitude(lon);
    if (!longitude) {
        skipRow(reader, texts::badLongitude(), lon);
        return false;
    }
    *latText = *latitude;
    *lonText = *longitude;
    return true;
}

QVariant Reader::optionalNumber(const CsvReader &reader, int column, double minimum, double maximum, const QString &what)
{
    const std::optional<QVariant> value = fields::numberWithin(reader.bytes(column), minimum, maximum);
    if (value)
        return *value;
    dropValue(reader, what, reader.text(column));
    return {};
}

bool Reader::finish(const CsvReader &reader)
{
    m_bytesBefore += reader.size();
    return m_error->isEmpty();
}

qsizetype Reader::airportOf(const CsvReader &reader, int refColumn, int identColumn) const
{
    // OurAirports' id is the join the files are made with: an airport_ident
    // may still carry an ident the airport has since given up (a runway of
    // Grozny "URMG" whose airport row reads "RU-0035" while another row's
    // ident is URMG).
    if (m_airportIds && refColumn >= 0) {
        bool ok = false;
        const qint64 ref = reader.text(refColumn).trimmed().toLongLong(&ok);
        if (ok)
            return m_byId.value(ref, -1);
    }
    return m_byFileIdent.value(caseFolded(reader.text(identColumn).trimmed()), -1);
}

bool Reader::readAirports()
{
    CsvReader reader(m_folder.filePath(fileName(kAirportsFile)), fileName(kAirportsFile), kMaxOurAirportsFileBytes);
    struct
    {
        int ident, type, name, latitude, longitude, elevation, country;
        int id, gpsCode, icaoCode; // older files have no icao_code, and some no gps_code or id either
    } c{};
    if (!open(reader,
              {{u"ident", &c.ident},
               {u"type", &c.type},
               {u"name", &c.name},
               {u"latitude_deg", &c.latitude},
               {u"longitude_deg", &c.longitude},
               {u"elevation_ft", &c.elevation},
               {u"iso_country", &c.country}},
              {{u"id", &c.id}, {u"gps_code", &c.gpsCode}, {u"icao_code", &c.icaoCode}}))
        return false;
    m_airportIds = c.id >= 0;
    int records = 0;
    while (reader.next(m_error)) {
        if (!step(reader, ++records))
            return false;
        const QString fileIdent = reader.text(c.ident).trimmed();
        const QString ident =
            airportIdentity(fileIdent, reader.text(c.gpsCode).trimmed(), reader.text(c.icaoCode).trimmed());
        if (!fields::isIdent(ident)) {
            skipRow(reader, texts::badIdent(), ident);
            continue;
        }
        OaAirport airport;
        if (!position(reader, reader.text(c.latitude), reader.text(c.longitude), &airport.lat, &airport.lon))
            continue;
        airport.elevation =
            optionalNumber(reader, c.elevation, fields::kMinElevationFeet, fields::kMaxElevationFeet, texts::badElevation());
        // Every airport with an ICAO code, whatever the filter takes, tells
        // the radio aids near it their region.
        if (fields::isIcaoCode(ident)) {
            const std::optional<geo::Position> at = geo::readPosition(airport.lat, airport.lon);
            m_regions.add(at->lat, at->lon, ident.left(2));
        }

        const QString type = reader.text(c.type).trimmed();
        if (!m_filter.types.contains(type) || !takesCountry(reader.text(c.country)))
            continue;
        const QString key = caseFolded(ident);
        if (m_airports.contains(key)) {
            skipRow(reader, texts::sameIdentity(m_airportLines.value(key)), ident);
            continue;
        }
        airport.ident = ident;
        airport.fileIdent = fileIdent;
        airport.name = fields::limited(reader.text(c.name).trimmed(), fields::kMaxName);
        const qsizetype index = m_data->airports.size();
        m_airports.insert(key, index);
        m_airportLines.insert(key, reader.line());
        if (!m_byFileIdent.contains(caseFolded(fileIdent)))
            m_byFileIdent.insert(caseFolded(fileIdent), index);
        bool idOk = false;
        const qint64 id = reader.text(c.id).trimmed().toLongLong(&idOk);
        if (idOk)
            m_byId.insert(id, index);
        m_data->airports.append(airport);
    }
    return finish(reader);
}

bool Reader::readFrequencies()
{
    CsvReader reader(m_folder.filePath(fileName(kFrequenciesFile)), fileName(kFrequenciesFile),
                     kMaxOurAirportsFileBytes);
    struct
    {
        int airport, type, frequency;
        int id, airportRef;
    } c{};
    if (!open(reader, {{u"airport_ident", &c.airport}, {u"type", &c.type}, {u"frequency_mhz", &c.frequency}},
              {{u"id", &c.id}, {u"airport_ref", &c.airportRef}}))
        return false;
    // Of two ATIS frequencies the one OurAirports listed first (lower id)
    // serves, as in the shipped catalogue; without ids, the first in the file.
    int records = 0;
    while (reader.next(m_error)) {
        if (!step(reader, ++records))
            return false;
        if (reader.text(c.type).trimmed().compare(u"ATIS", Qt::CaseInsensitive) != 0)
            continue;
        qint64 id = records;
        if (c.id >= 0) {
            const std::optional<QVariant> rowId = fields::number(reader.bytes(c.id));
            if (!rowId || rowId->isNull()) {
                skipRow(reader, texts::badRowId(), reader.text(c.id));
                continue;
            }
            id = static_cast<qint64>(rowId->toDouble());
        }
        const QVariant frequency = optionalNumber(reader, c.frequency, fields::kMinAtisMegahertz,
                                                  fields::kMaxAtisMegahertz, texts::badFrequency());
        if (frequency.isNull())
            continue;
        const qsizetype airport = airportOf(reader, c.airportRef, c.airport);
        if (airport < 0)
            continue;
        const auto known = m_atisIds.constFind(airport);
        if (known != m_atisIds.cend() && known.value() <= id)
            continue;
        m_atisIds.insert(airport, id);
        m_data->airports[airport].atis = frequency;
    }
    return finish(reader);
}

bool Reader::readRunways()
{
    CsvReader reader(m_folder.filePath(fileName(kRunwaysFile)), fileName(kRunwaysFile), kMaxOurAirportsFileBytes);
    // One end's columns.
    struct EndColumns
    {
        int ident, latitude, longitude, heading;
    };
    struct
    {
        int airport, closed;
        EndColumns ends[2];
        int airportRef;
    } c{};
    if (!open(reader,
              {{u"airport_ident", &c.airport},
               {u"closed", &c.closed},
               {u"le_ident", &c.ends[0].ident},
               {u"le_latitude_deg", &c.ends[0].latitude},
               {u"le_longitude_deg", &c.ends[0].longitude},
               {u"le_heading_degT", &c.ends[0].heading},
               {u"he_ident", &c.ends[1].ident},
               {u"he_latitude_deg", &c.ends[1].latitude},
               {u"he_longitude_deg", &c.ends[1].longitude},
               {u"he_heading_degT", &c.ends[1].heading}},
              {{u"airport_ref", &c.airportRef}}))
        return false;
    struct End
    {
        QString ident;
        QVariant lat;
        QVariant lon;
        QVariant heading;
    };
    QSet<QString> seen; // folded airport identity + " " + folded designator
    int records = 0;
    while (reader.next(m_error)) {
        if (!step(reader, ++records))
            return false;
        const QString closed = reader.text(c.closed).trimmed();
        if (!closed.isEmpty() && closed != u"0" && closed != u"1") {
            skipRow(reader, texts::badClosed(), closed);
            continue;
        }
        End ends[2];
        bool designatorsOk = true;
        for (int e = 0; e < 2 && designatorsOk; ++e) {
            ends[e].ident = reader.text(c.ends[e].ident).trimmed();
            if (ends[e].ident.size() > fields::kMaxDesignator) {
                skipRow(reader, texts::badRunway(), ends[e].ident);
                designatorsOk = false;
            }
        }
        if (!designatorsOk)
            continue;
        for (int e = 0; e < 2; ++e) {
            const EndColumns &columns = c.ends[e];
            End &end = ends[e];
            end.lat = optionalNumber(reader, columns.latitude, -90, 90, texts::badLatitude());
            end.lon = optionalNumber(reader, columns.longitude, -180, 180, texts::badLongitude());
            end.heading = optionalNumber(reader, columns.heading, 0, 360, texts::badHeading());
        }
        const qsizetype airport = airportOf(reader, c.airportRef, c.airport);
        if (closed == u"1" || airport < 0)
            continue;
        const QString identity = m_data->airports.at(airport).ident;
        // The thresholds give the true track; the file's own heading only
        // where they are missing, since for some airports it is magnetic or
        // the reverse (data/catalogue/SOURCES.md).
        const bool thresholds = !ends[0].lat.isNull() && !ends[0].lon.isNull() && !ends[1].lat.isNull()
            && !ends[1].lon.isNull();
        for (int e = 0; e < 2; ++e) {
            const End &end = ends[e];
            const End &other = ends[1 - e];
            if (end.ident.isEmpty())
                continue;
            const QString key = caseFolded(identity) + u' ' + caseFolded(end.ident);
            if (seen.contains(key))
                continue;
            seen.insert(key);
            std::optional<long double> track;
            if (thresholds)
                track = geo::InitialCourse(end.lat.toDouble() * kRadiansPerDegree,
                                           end.lon.toDouble() * kRadiansPerDegree,
                                           other.lat.toDouble() * kRadiansPerDegree,
                                           other.lon.toDouble() * kRadiansPerDegree);
            if (!track && !end.heading.isNull())
                track = end.heading.toDouble();
            if (!track && !other.heading.isNull())
                track = other.heading.toDouble() + 180;
            m_data->runways.append(
                {identity, end.ident, track ? fields::track(static_cast<double>(*track)) : QVariant()});
        }
    }
    return finish(reader);
}

bool Reader::readNavaids()
{
    CsvReader reader(m_folder.filePath(fileName(kNavaidsFile)), fileName(kNavaidsFile), kMaxOurAirportsFileBytes);
    struct
    {
        int ident, name, type, frequency, latitude, longitude, country;
    } c{};
    if (!open(reader, {{u"ident", &c.ident}, {u"name", &c.name}, {u"type", &c.type}, {u"frequency_khz", &c.frequency},
                       {u"latitude_deg", &c.latitude}, {u"longitude_deg", &c.longitude},
                       {u"iso_country", &c.country}}))
        return false;
    QHash<QString, QList<geo::Position>> seen; // type + " " + folded ident -> positions taken
    int records = 0;
    while (reader.next(m_error)) {
        if (!step(reader, ++records))
            return false;
        const QString kind = reader.text(c.type).trimmed().toUpper();
        OaNavaid navaid;
        if (kind == u"VOR" || kind == u"VOR-DME" || kind == u"VORTAC")
            navaid.type = QStringLiteral("VOR");
        else if (kind == u"NDB" || kind == u"NDB-DME")
            navaid.type = QStringLiteral("NDB");
        else
            continue; // DME and TACAN alone are no waypoints of the NVU
        const QString ident = reader.text(c.ident).trimmed();
        if (!fields::isIdent(ident)) {
            skipRow(reader, texts::badIdent(), ident);
            continue;
        }
        if (!position(reader, reader.text(c.latitude), reader.text(c.longitude), &navaid.lat, &navaid.lon))
            continue;
        const bool vor = navaid.type == u"VOR";
        const QVariant khz = optionalNumber(reader, c.frequency,
                                            vor ? fields::kMinVorKilohertz : fields::kMinNdbKilohertz,
                                            vor ? fields::kMaxVorKilohertz : fields::kMaxNdbKilohertz,
                                            texts::badFrequency());
        if (!takesCountry(reader.text(c.country)))
            continue;
        const std::optional<geo::Position> at = geo::readPosition(navaid.lat, navaid.lon);
        QList<geo::Position> &taken = seen[navaid.type + u' ' + caseFolded(ident)];
        const bool known = std::any_of(taken.cbegin(), taken.cend(), [&](const geo::Position &p) {
            return geo::OrthoDistance(p.lat, p.lon, at->lat, at->lon) <= geo::kSamePlaceKm;
        });
        if (known)
            continue;
        taken.append(*at);
        navaid.ident = ident;
        navaid.name = fields::limited(reader.text(c.name).trimmed(), fields::kMaxName);
        // The catalogue keeps a VOR's frequency in MHz and an NDB's in kHz.
        if (!khz.isNull())
            navaid.freq = vor ? fields::vorMegahertz(khz.toDouble()) : fields::ndbKilohertz(khz.toDouble());
        navaid.region = m_regions.nearest(at->lat, at->lon);
        m_data->navaids.append(navaid);
    }
    return finish(reader);
}

ImportOutcome Reader::run()
{
    QStringList missing;
    for (const char16_t *name : {kAirportsFile, kFrequenciesFile, kRunwaysFile, kNavaidsFile}) {
        const QFileInfo info(m_folder.filePath(fileName(name)));
        if (!info.exists())
            missing.append(fileName(name));
        else
            m_totalBytes += info.size();
    }
    if (!missing.isEmpty()) {
        *m_error = texts::filesMissing(QDir::toNativeSeparators(m_folder.absolutePath()), missing.join(QStringLiteral(", ")));
        return ImportOutcome::Failed;
    }
    if (m_progress) {
        m_progress->setStage(texts::readingStage());
        m_progress->setMaximum(kProgressScale);
        m_progress->setPosition(0);
    }
    const bool read = readAirports() && readFrequencies() && readRunways() && readNavaids();
    if (m_cancelled || (m_progress && m_progress->cancelRequested()))
        return ImportOutcome::Cancelled;
    return read ? ImportOutcome::Done : ImportOutcome::Failed;
}

} // namespace

QString airportIdentity(const QString &ident, const QString &gpsCode, const QString &icaoCode)
{
    if (!icaoCode.isEmpty())
        return icaoCode;
    if (fields::isIcaoCode(gpsCode))
        return gpsCode;
    return ident;
}

QStringList airportTypes()
{
    return {QStringLiteral("large_airport"), QStringLiteral("medium_airport"), QStringLiteral("small_airport"),
            QStringLiteral("heliport"),      QStringLiteral("seaplane_base"),  QStringLiteral("balloonport"),
            QStringLiteral("closed")};
}

QStringList defaultAirportTypes()
{
    return airportTypes().mid(0, 3);
}

bool parseCountryList(const QString &text, QStringList *countries, QString *error)
{
    countries->clear();
    for (const QString &entry : text.split(u',')) {
        const QString code = entry.trimmed().toUpper();
        if (code.isEmpty())
            continue;
        if (code.size() != 2 || code.at(0) < u'A' || code.at(0) > u'Z' || code.at(1) < u'A' || code.at(1) > u'Z') {
            *error = texts::badCountry(entry.trimmed());
            return false;
        }
        if (!countries->contains(code))
            countries->append(code);
    }
    return true;
}

bool parseTypeList(const QString &text, QStringList *types, QString *error)
{
    types->clear();
    const QStringList known = airportTypes();
    for (const QString &entry : text.split(u',')) {
        const QString type = entry.trimmed().toLower();
        if (type.isEmpty())
            continue;
        if (!known.contains(type)) {
            *error = texts::badAirportType(entry.trimmed(), known.join(QStringLiteral(", ")));
            return false;
        }
        if (!types->contains(type))
            types->append(type);
    }
    return true;
}

ImportOutcome readOurAirports(const QString &folder, const OurAirportsFilter &filter, ImportProgress *progress,
                              OurAirportsData *data, QString *error)
{
    *data = {};
    error->clear();
    return Reader(folder, filter, progress, data, error).run();
}

} // namespace kx::catalogues
