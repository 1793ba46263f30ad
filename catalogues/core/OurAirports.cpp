#include "OurAirports.h"

#include "CsvReader.h"
#include "ImportProgress.h"
#include "OurAirportsTexts.h"

#include "base/CaseFold.h"
#include "base/Numbers.h"
#include "geo/CoordText.h"
#include "geo/DecimalCoord.h"
#include "geo/Sphere.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QtMath>

#include <cmath>
#include <limits>
#include <optional>

namespace kx::catalogues {
namespace {

constexpr int kMaxIdent = 10;      // Punkts.ID
constexpr int kMaxName = 50;       // Punkts.Name
constexpr int kMaxDesignator = 10; // Runways.Runway
constexpr int kRecordsPerStep = 2048;
constexpr int kProgressScale = 1000;
constexpr double kEarthRadiusKm = 6366.707; // the program's sphere: one minute of arc is 1.852 km
constexpr int kRegionRings = 20;           // 1° cells searched around a radio aid for the nearest airport

QString fileName(const char16_t *name)
{
    return QString::fromUtf16(name);
}

// At most length characters, never half of a surrogate pair.
QString limited(const QString &text, int length)
{
    if (text.size() <= length)
        return text;
    QString cut = text.left(length);
    if (cut.back().isHighSurrogate())
        cut.chop(1);
    return cut;
}

// A decimal number ("." whatever the machine's settings, an exponent allowed),
// Null for an empty field, nothing when the field holds anything else.
std::optional<QVariant> number(const QString &field)
{
    const QString text = field.trimmed();
    if (text.isEmpty())
        return QVariant();
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return QVariant(value);
}

// Decimal degrees to a coordinate text, as the shipped catalogue's are made;
// an exponent form ("1.5E-4") is written out first.
std::optional<QString> coordinateText(const QString &field, bool latitude)
{
    const auto convert = [latitude](const QString &text) {
        return latitude ? geo::latitudeFromDecimal(text) : geo::longitudeFromDecimal(text);
    };
    const QString text = field.trimmed();
    if (std::optional<QString> converted = convert(text))
        return converted;
    if (!text.contains(u'e', Qt::CaseInsensitive))
        return std::nullopt;
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::abs(value) > 180)
        return std::nullopt;
    return convert(QString::number(value, 'f', 12));
}

// An ident as the catalogue keeps it: 1 to 10 characters.
bool identOk(const QString &ident)
{
    return !ident.isEmpty() && ident.size() <= kMaxIdent;
}

bool isIcaoIdent(const QString &ident)
{
    if (ident.size() != 4)
        return false;
    for (const QChar c : ident)
        if (c < u'A' || c > u'Z')
            return false;
    return true;
}

// A true track in the runway dialog's range 0.1..360, one decimal: north is 360.
QVariant trackOf(double degrees)
{
    double track = roundHalfEven(degrees * 10) / 10;
    track = std::fmod(track, 360.0);
    if (track <= 0)
        track += 360;
    return track;
}

// Initial great-circle bearing from one point to another, degrees; nothing for
// one and the same point.
std::optional<double> bearing(double lat1, double lon1, double lat2, double lon2)
{
    const double f1 = qDegreesToRadians(lat1);
    const double f2 = qDegreesToRadians(lat2);
    const double dl = qDegreesToRadians(lon2 - lon1);
    const double y = std::sin(dl) * std::cos(f2);
    const double x = std::cos(f1) * std::sin(f2) - std::sin(f1) * std::cos(f2) * std::cos(dl);
    if (std::abs(x) < 1e-15 && std::abs(y) < 1e-15)
        return std::nullopt;
    return qRadiansToDegrees(std::atan2(y, x));
}

double distanceKm(double lat1, double lon1, double lat2, double lon2)
{
    const double f1 = qDegreesToRadians(lat1);
    const double f2 = qDegreesToRadians(lat2);
    const double a = std::pow(std::sin((f2 - f1) / 2), 2)
        + std::cos(f1) * std::cos(f2) * std::pow(std::sin(qDegreesToRadians(lon2 - lon1) / 2), 2);
    return 2 * kEarthRadiusKm * std::asin(std::min(1.0, std::sqrt(a)));
}

// The airports with an ICAO ident on a grid of whole degrees, to find the one
// nearest to a radio aid, whose ICAO prefix becomes the aid's region (the
// shipped catalogue's navaids got theirs the same way).
class RegionGrid
{
public:
    void add(double lat, double lon, const QString &prefix)
    {
        m_cells[key(latCell(lat), lonCell(lon))].append({lat, lon, prefix});
    }

    QString nearest(double lat, double lon) const
    {
        const int row = latCell(lat);
        const int column = lonCell(lon);
        const Airport *best = nullptr;
        double bestKm = std::numeric_limits<double>::max();
        for (int ring = 0; ring <= kRegionRings; ++ring) {
            for (int dr = -ring; dr <= ring; ++dr) {
                const int r = row + dr;
                if (r < -90 || r > 89)
                    continue;
                const int step = (dr == -ring || dr == ring) ? 1 : 2 * ring;
                for (int dc = -ring; dc <= ring; dc += std::max(step, 1)) {
                    const auto it = m_cells.constFind(key(r, column + dc));
                    if (it == m_cells.cend())
                        continue;
                    for (const Airport &a : it.value()) {
                        const double km = distanceKm(lat, lon, a.lat, a.lon);
                        if (km < bestKm) {
                            bestKm = km;
                            best = &a;
                        }
                    }
                }
            }
            // Whatever lies beyond this ring is at least `ring` whole degrees
            // away in latitude or in longitude.
            const double parallel = std::cos(qDegreesToRadians(std::min(89.0, std::abs(lat) + ring + 1)));
            if (best && bestKm <= ring * 111.1 * parallel)
                break;
        }
        return best ? best->prefix : QString(QLatin1String(""));
    }

private:
    struct Airport
    {
        double lat;
        double lon;
        QString prefix;
    };
    static int latCell(double lat) { return std::clamp(static_cast<int>(std::floor(lat)), -90, 89); }
    static int lonCell(double lon) { return static_cast<int>(std::floor(lon)); }
    static int key(int row, int column) { return (row + 90) * 360 + ((column % 360) + 360) % 360; }

    QHash<int, QList<Airport>> m_cells;
};

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
    bool open(CsvReader &reader, const QStringList &columns, QList<int> *indexes);
    // false when the person asked to stop
    bool step(const CsvReader &reader, int records);
    bool takesCountry(const QString &country) const
    {
        return m_filter.countries.isEmpty() || m_filter.countries.contains(country.trimmed());
    }
    bool fail(const CsvReader &reader, const QString &what, const QString &value)
    {
        *m_error = reader.problem(texts::badValue(what, value));
        return false;
    }
    // A position's two fields as coordinate texts; false after the message.
    bool position(const CsvReader &reader, const QString &lat, const QString &lon, QString *latText,
                  QString *lonText);

    bool readAirports();
    bool readFrequencies();
    bool readRunways();
    bool readNavaids();

    QDir m_folder;
    OurAirportsFilter m_filter;
    ImportProgress *m_progress;
    OurAirportsData *m_data;
    QString *m_error;
    bool m_cancelled = false;

    qint64 m_totalBytes = 0;
    qint64 m_bytesBefore = 0; // of the files read completely

    QHash<QString, qsizetype> m_airports; // folded ident -> index in m_data->airports
    QHash<qsizetype, qint64> m_atisIds;   // index in m_data->airports -> id of its ATIS row
    RegionGrid m_regions;
};

bool Reader::open(CsvReader &reader, const QStringList &columns, QList<int> *indexes)
{
    if (!reader.open(m_error))
        return false;
    indexes->clear();
    for (const QString &name : columns) {
        const int index = reader.column(name);
        if (index < 0) {
            *m_error = reader.problem(texts::columnMissing(name));
            return false;
        }
        indexes->append(index);
    }
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

bool Reader::position(const CsvReader &reader, const QString &lat, const QString &lon, QString *latText,
                      QString *lonText)
{
    const std::optional<QString> latitude = coordinateText(lat, true);
    if (!latitude)
        return fail(reader, texts::badLatitude(), lat);
    const std::optional<QString> longitude = coordinateText(lon, false);
    if (!longitude)
        return fail(reader, texts::badLongitude(), lon);
    *latText = *latitude;
    *lonText = *longitude;
    return true;
}

bool Reader::readAirports()
{
    CsvReader reader(m_folder.filePath(fileName(kAirportsFile)), fileName(kAirportsFile), kMaxOurAirportsFileBytes);
    QList<int> c;
    if (!open(reader, {QStringLiteral("ident"), QStringLiteral("type"), QStringLiteral("name"),
                       QStringLiteral("latitude_deg"), QStringLiteral("longitude_deg"),
                       QStringLiteral("elevation_ft"), QStringLiteral("iso_country")},
              &c))
        return false;
    int records = 0;
    while (reader.next(m_error)) {
        if (!step(reader, ++records))
            return false;
        const QString ident = reader.text(c[0]).trimmed();
        if (!identOk(ident))
            return fail(reader, texts::badIdent(), ident);
        OaAirport airport;
        const QString lat = reader.text(c[3]);
        const QString lon = reader.text(c[4]);
        if (!position(reader, lat, lon, &airport.lat, &airport.lon))
            return false;
        const std::optional<QVariant> elevation = number(reader.text(c[5]));
        if (!elevation)
            return fail(reader, texts::badElevation(), reader.text(c[5]));
        if (isIcaoIdent(ident))
            m_regions.add(lat.trimmed().toDouble(), lon.trimmed().toDouble(), ident.left(2));

        const QString type = reader.text(c[1]).trimmed();
        if (!m_filter.types.contains(type) || !takesCountry(reader.text(c[6])))
            continue;
        const QString key = caseFolded(ident);
        if (m_airports.contains(key))
            continue;
        airport.ident = ident;
        airport.name = limited(reader.text(c[2]).trimmed(), kMaxName);
        airport.elevation = *elevation;
        m_airports.insert(key, m_data->airports.size());
        m_data->airports.append(airport);
    }
    m_bytesBefore += reader.size();
    return m_error->isEmpty();
}

bool Reader::readFrequencies()
{
    CsvReader reader(m_folder.filePath(fileName(kFrequenciesFile)), fileName(kFrequenciesFile),
                     kMaxOurAirportsFileBytes);
    QList<int> c;
    if (!open(reader, {QStringLiteral("airport_ident"), QStringLiteral("type"), QStringLiteral("frequency_mhz")}, &c))
        return false;
    // Of two ATIS frequencies the one OurAirports listed first (lower id)
    // serves, as in the shipped catalogue; without ids, the first in the file.
    const int idColumn = reader.column(u"id");
    int records = 0;
    while (reader.next(m_error)) {
        if (!step(reader, ++records))
            return false;
        const std::optional<QVariant> frequency = number(reader.text(c[2]));
        if (!frequency)
            return fail(reader, texts::badFrequency(), reader.text(c[2]));
        qint64 id = records;
        if (idColumn >= 0) {
            const std::optional<QVariant> rowId = number(reader.text(idColumn));
            if (!rowId || rowId->isNull())
                return fail(reader, texts::badRowId(), reader.text(idColumn));
            id = static_cast<qint64>(rowId->toDouble());
        }
        if (frequency->isNull() || reader.text(c[1]).trimmed().compare(u"ATIS", Qt::CaseInsensitive) != 0)
            continue;
        const auto airport = m_airports.constFind(caseFolded(reader.text(c[0]).trimmed()));
        if (airport == m_airports.cend())
            continue;
        const auto known = m_atisIds.constFind(airport.value());
        if (known != m_atisIds.cend() && known.value() <= id)
            continue;
        m_atisIds.insert(airport.value(), id);
        m_data->airports[airport.value()].atis = *frequency;
    }
    m_bytesBefore += reader.size();
    return m_error->isEmpty();
}

bool Reader::readRunways()
{
    CsvReader reader(m_folder.filePath(fileName(kRunwaysFile)), fileName(kRunwaysFile), kMaxOurAirportsFileBytes);
    QList<int> c;
    if (!open(reader, {QStringLiteral("airport_ident"), QStringLiteral("closed"), QStringLiteral("le_ident"),
                       QStringLiteral("le_latitude_deg"), QStringLiteral("le_longitude_deg"),
                       QStringLiteral("le_heading_degT"), QStringLiteral("he_ident"),
                       QStringLiteral("he_latitude_deg"), QStringLiteral("he_longitude_deg"),
                       QStringLiteral("he_heading_degT")},
              &c))
        return false;
    struct End
    {
        QString ident;
        QVariant lat;
        QVariant lon;
        QVariant heading;
    };
    QSet<QString> seen; // folded airport ident + " " + folded designator
    int records = 0;
    while (reader.next(m_error)) {
        if (!step(reader, ++records))
            return false;
        const QString closed = reader.text(c[1]).trimmed();
        if (!closed.isEmpty() && closed != u"0" && closed != u"1")
            return fail(reader, texts::badClosed(), closed);
        End ends[2];
        for (int e = 0; e < 2; ++e) {
            const int base = 2 + 4 * e;
            End &end = ends[e];
            end.ident = reader.text(c[base]).trimmed();
            if (end.ident.size() > kMaxDesignator)
                return fail(reader, texts::badRunway(), end.ident);
            const std::optional<QVariant> lat = number(reader.text(c[base + 1]));
            if (!lat || (!lat->isNull() && std::abs(lat->toDouble()) > 90))
                return fail(reader, texts::badLatitude(), reader.text(c[base + 1]));
            const std::optional<QVariant> lon = number(reader.text(c[base + 2]));
            if (!lon || (!lon->isNull() && std::abs(lon->toDouble()) > 180))
                return fail(reader, texts::badLongitude(), reader.text(c[base + 2]));
            const std::optional<QVariant> heading = number(reader.text(c[base + 3]));
            if (!heading || (!heading->isNull() && (heading->toDouble() < 0 || heading->toDouble() > 360)))
                return fail(reader, texts::badHeading(), reader.text(c[base + 3]));
            end.lat = *lat;
            end.lon = *lon;
            end.heading = *heading;
        }
        const QString airport = reader.text(c[0]).trimmed();
        if (closed == u"1" || !m_airports.contains(caseFolded(airport)))
            continue;
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
            const QString key = caseFolded(airport) + u' ' + caseFolded(end.ident);
            if (seen.contains(key))
                continue;
            seen.insert(key);
            std::optional<double> track;
            if (thresholds)
                track = bearing(end.lat.toDouble(), end.lon.toDouble(), other.lat.toDouble(), other.lon.toDouble());
            if (!track && !end.heading.isNull())
                track = end.heading.toDouble();
            if (!track && !other.heading.isNull())
                track = other.heading.toDouble() + 180;
            m_data->runways.append({m_data->airports.at(m_airports.value(caseFolded(airport))).ident, end.ident,
                                    track ? trackOf(*track) : QVariant()});
        }
    }
    m_bytesBefore += reader.size();
    return m_error->isEmpty();
}

bool Reader::readNavaids()
{
    CsvReader reader(m_folder.filePath(fileName(kNavaidsFile)), fileName(kNavaidsFile), kMaxOurAirportsFileBytes);
    QList<int> c;
    if (!open(reader, {QStringLiteral("ident"), QStringLiteral("name"), QStringLiteral("type"),
                       QStringLiteral("frequency_khz"), QStringLiteral("latitude_deg"),
                       QStringLiteral("longitude_deg"), QStringLiteral("iso_country")},
              &c))
        return false;
    QHash<QString, QList<geo::Position>> seen; // type + " " + folded ident -> positions taken
    int records = 0;
    while (reader.next(m_error)) {
        if (!step(reader, ++records))
            return false;
        const QString ident = reader.text(c[0]).trimmed();
        if (!identOk(ident))
            return fail(reader, texts::badIdent(), ident);
        OaNavaid navaid;
        const QString lat = reader.text(c[4]);
        const QString lon = reader.text(c[5]);
        if (!position(reader, lat, lon, &navaid.lat, &navaid.lon))
            return false;
        const std::optional<QVariant> khz = number(reader.text(c[3]));
        if (!khz)
            return fail(reader, texts::badFrequency(), reader.text(c[3]));

        const QString kind = reader.text(c[2]).trimmed().toUpper();
        if (kind == u"VOR" || kind == u"VOR-DME" || kind == u"VORTAC")
            navaid.type = QStringLiteral("VOR");
        else if (kind == u"NDB" || kind == u"NDB-DME")
            navaid.type = QStringLiteral("NDB");
        else
            continue; // DME and TACAN alone are no waypoints of the NVU
        if (!takesCountry(reader.text(c[6])))
            continue;
        const std::optional<geo::Position> at = geo::readPosition(navaid.lat, navaid.lon);
        QList<geo::Position> &taken = seen[navaid.type + u' ' + caseFolded(ident)];
        const bool known = std::any_of(taken.cbegin(), taken.cend(), [&](const geo::Position &p) {
            return geo::OrthoDistance(p.lat, p.lon, at->lat, at->lon) <= kSamePlaceKm;
        });
        if (known)
            continue;
        taken.append(*at);
        navaid.ident = ident;
        navaid.name = limited(reader.text(c[1]).trimmed(), kMaxName);
        // The catalogue keeps a VOR's frequency in MHz and an NDB's in kHz.
        if (!khz->isNull())
            navaid.freq = navaid.type == u"VOR" ? roundHalfEven(khz->toDouble() / 10) / 100
                                                : roundHalfEven(khz->toDouble() * 100) / 100;
        navaid.region = m_regions.nearest(lat.trimmed().toDouble(), lon.trimmed().toDouble());
        m_data->navaids.append(navaid);
    }
    m_bytesBefore += reader.size();
    return m_error->isEmpty();
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
