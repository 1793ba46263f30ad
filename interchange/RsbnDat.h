#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace kx::store {
class Database;
}

// The RSBN stations of X-Plane's Tu-154B2 (rsbn.dat in the aircraft folder),
// one a line:
//   channel|name|ident|freq|lat|lon|elev
// with latitude and longitude in signed decimal degrees and the elevation in
// metres; and their comparison with the program's beacon catalogue, whose
// corrections are only right when both sides put a beacon in the same place.
namespace kx::interchange {

struct RsbnStation
{
    int channel = 0;
    QString ident;
    QString name;
    double lat = 0; // decimal degrees
    double lon = 0;
    int line = 0; // in the file; 0 for the catalogue's
};

struct RsbnDat
{
    QList<RsbnStation> stations;
    int skipped = 0;          // lines that are not a station (comments and blank lines aside)
    int firstSkippedLine = 0; // 0 when none
};

// The bytes of the list in the file path; false with *error (the file named,
// and why) when it cannot be read or is far larger than any such list.
bool readRsbnFile(const QString &path, QByteArray *bytes, QString *error);

// Reads the list (UTF-8, or windows-1251 when the bytes are not UTF-8; any
// line ends). Blank lines and lines starting with "#" are passed over; a line
// that is not a station (too few fields, a channel that is not a whole number
// from 1 to 999, a position that is not a number or beyond the poles or the
// date line) is skipped and counted.
RsbnDat readRsbnDat(const QByteArray &bytes);

// The catalogue's beacons: the channel is the number that starts their name
// ("37 PSKOV"); a beacon whose name starts otherwise has no channel and is left
// out. False with *error set when the table cannot be read.
bool readCatalogueBeacons(store::Database &db, QList<RsbnStation> *beacons, QString *error);

// Stations farther apart than this are not where the other side has them.
inline constexpr double kRsbnToleranceKm = 0.5;
// Stations of one channel within this distance are the same station, moved;
// farther apart they are different stations that share the channel, as RSBN
// channels are given again some hundreds of kilometres away.
inline constexpr double kRsbnSameStationKm = 50.0;

struct RsbnComparison
{
    QStringList lines; // one a finding, by channel, then the summary
    int same = 0;
    int differ = 0;
    int notInCatalogue = 0;
    int notInFile = 0;
};

// Pairs the stations channel by channel, nearest first, and reports the pairs
// farther apart than the tolerance and the stations either side lacks.
RsbnComparison compareRsbn(const RsbnDat &file, const QList<RsbnStation> &catalogue);

} // namespace kx::interchange
