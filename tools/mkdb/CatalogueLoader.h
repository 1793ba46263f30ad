#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QVariantList>

namespace kx::store {
class Database;
}

namespace kx::dbbuild {

class CsvTable;

// Rows written by one catalogue load.
struct CatalogueCounts
{
    int airports = 0;
    int navaids = 0;
    int runways = 0;
    int rsbn = 0;
    int rsbnInBothLists = 0; // rows of rsbn_ussr.csv whose station rsbn.csv holds
};

// Fills the catalogue tables of a new route database from the demonstration
// catalogue files (see data/catalogue/SOURCES.md):
// - Punkts from airports.csv (Type "Airport", Region empty as the waypoint
//   editor keeps airports, H in feet, ATIS) and navaids.csv (Type "NDB"/"VOR",
//   Region, Freq); every waypoint's MS from the simulator's variation table;
// - Runways from runways.csv (IZPU_P, the true heading) joined by airport and
//   designator with gpl/runway_ils.csv (ILSFreq, ILSAngle, DPRM, BPRM) unless
//   the GPL-derived file is left out;
// - RSBN from rsbn.csv, then the stations of rsbn_ussr.csv that rsbn.csv does
//   not hold (the same channel within 1 km is the same station, kept as the
//   post-1991 list names it), Name = channel + " " + name.
// Coordinates become coordinate texts (geo/DecimalCoord.h). The caller owns the
// transaction; any bad value stops the load with a message naming file and line.
class CatalogueLoader
{
public:
    // fsPath: the simulator folder whose magdec.bgl gives the variations.
    CatalogueLoader(store::Database &db, QString fsPath);

    [[nodiscard]] bool load(const QString &folder, bool withGpl, QString *error);
    const CatalogueCounts &counts() const { return m_counts; }

private:
    [[nodiscard]] bool loadAirports(const QString &path, QString *error);
    [[nodiscard]] bool loadNavaids(const QString &path, QString *error);
    [[nodiscard]] bool loadRunways(const QString &path, const QString &gplPath, QString *error);
    [[nodiscard]] bool loadRsbn(const QString &path, QString *error);
    [[nodiscard]] bool insert(const QString &sql, const QVariantList &values, qint64 *code, QString *error);

    // An RSBN station as the two lists are matched: channel and position (radians).
    struct Station
    {
        QString channel;
        long double lat = 0;
        long double lon = 0;
    };
    static constexpr long double kSameStationKm = 1.0;
    bool isKnownStation(const Station &station) const;

    store::Database &m_db;
    QString m_fsPath;
    QHash<QString, qint64> m_airportCodes; // ident -> Punkts.Code
    QList<Station> m_stations;             // the RSBN stations loaded so far
    CatalogueCounts m_counts;
};

} // namespace kx::dbbuild
