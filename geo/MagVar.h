#pragma once

#include <QByteArray>
#include <QString>

namespace kx::geo {

// The simulator's magnetic variation table under a simulator folder (kept with
// its trailing separator): Scenery\BASE\Scenery\magdec.bgl.
QString magdecPath(const QString &fsPath);

// Byte offset in the table of the grid node nearest to a position given as
// coordinate texts ("N57*20.00", "E061*55.00" gives 22874), or -1 when the
// texts cannot be read or lie outside the grid. Grid: 136-byte header, then
// per whole degree of longitude east of Greenwich (0..359) one column of 181
// signed 16-bit little-endian entries, row 0 at 90S to row 180 at 90N. A
// longitude that rounds to 360 is the meridian of column 0.
qint64 magdecOffset(const QString &lat, const QString &lon);

// Magnetic variation at a position, degrees east positive, rounded to 0.1
// (halves to even). Reads one entry of the table, nothing is cached. Never
// fails: a missing or unreadable table, a table too short for the entry or an
// unreadable position gives 0.0.
double MagVar(const QString &fsPath, const QString &lat, const QString &lon);

// The table read once, for work that looks up many positions in one run (an
// import that adds thousands of waypoints): at() gives what MagVar gives for
// the same folder and texts, without opening the file each time. A table
// missing or unreadable when it is made gives 0.0 everywhere.
class VariationTable
{
public:
    explicit VariationTable(const QString &fsPath);
    double at(const QString &lat, const QString &lon) const;

private:
    QByteArray m_bytes;
};

// Whether the folder holds a usable variation table: the file exists and the
// lookup at N57*20.00 E061*55.00 gives a value within -180..180 other than 0.
bool isVariationTable(const QString &fsPath);

} // namespace kx::geo
